#include "crypto/hashes/sha512.h"

#include "crypto/cpu_features.h"
#include "crypto/hashes/sha512_avx2.h"
#include "crypto/hashes/sha512_rounds.h"
#include "crypto/self_test.h"

namespace velsor {

namespace {

extern const uint64_t kRoundConstants[80];

}  // namespace

void Sha512Base::ChooseCompression() { fHardware = kX86Extensions && ActiveCpu().avx2 && ActiveCpu().bmi2; }

void Sha512Base::CompressBlocks(const uint8_t* blocks, std::size_t count) {
#ifdef VELSOR_X86_EXTENSIONS
  if (fHardware) {
    sha512avx2::Compress(CurrentHash.data(), blocks, count, kRoundConstants, fSchedule.data());
    return;
  }
#endif
  BlockHash::CompressBlocks(blocks, count);
}

void Sha512Base::CompressBlock(const uint8_t* block) {
#ifdef VELSOR_X86_EXTENSIONS
  if (fHardware) {
    sha512avx2::Compress(CurrentHash.data(), block, 1, kRoundConstants, fSchedule.data());
    return;
  }
#endif
  using sha512::sigma0;
  using sha512::sigma1;
  // The schedule ends up holding K[t] + W[t], so each step reads one word.
  uint64_t* w = fSchedule.data();
  for (int t = 0; t < 16; ++t) w[t] = load_be64(block + 8 * t);
  for (int t = 16; t < 80; ++t) w[t] = sigma1(w[t - 2]) + w[t - 7] + sigma0(w[t - 15]) + w[t - 16];
  for (int t = 0; t < 80; ++t) w[t] += kRoundConstants[t];

  uint64_t a = CurrentHash[0], b = CurrentHash[1], c = CurrentHash[2], d = CurrentHash[3];
  uint64_t e = CurrentHash[4], f = CurrentHash[5], g = CurrentHash[6], h = CurrentHash[7];
  uint64_t b_xor_c = b ^ c;
#pragma GCC unroll 10
  for (int t = 0; t < 80; t += 8) {
    sha512::FourSteps(a, b, c, d, e, f, g, h, b_xor_c, w + t);
    sha512::FourSteps(e, f, g, h, a, b, c, d, b_xor_c, w + t + 4);
  }

  CurrentHash[0] += a;
  CurrentHash[1] += b;
  CurrentHash[2] += c;
  CurrentHash[3] += d;
  CurrentHash[4] += e;
  CurrentHash[5] += f;
  CurrentHash[6] += g;
  CurrentHash[7] += h;
}

// SHA-384 is the first six words of the state; the whole state is still wiped by Burn.
void Sha512Base::FinishWithWords(uint8_t* digest, int words) {
  PadWithLength(0x80, Endian::kBig, 16);
  for (int i = 0; i < words; ++i) store_be64(digest + 8 * i, CurrentHash[i]);
}

// FIPS 180-2, 5.3.3: the first 64 bits of the fractional parts of the square
// roots of the ninth through sixteenth primes.
void Sha384::LoadInitialValues() {
  ChooseCompression();
  CurrentHash[0] = 0xcbbb9d5dc1059ed8;
  CurrentHash[1] = 0x629a292a367cd507;
  CurrentHash[2] = 0x9159015a3070dd17;
  CurrentHash[3] = 0x152fecd8f70e5939;
  CurrentHash[4] = 0x67332667ffc00b31;
  CurrentHash[5] = 0x8eb44a8768581511;
  CurrentHash[6] = 0xdb0c2e0d64f98fa7;
  CurrentHash[7] = 0x47b5481dbefa4fa4;
}

// FIPS 180-2, 5.3.4: the first 64 bits of the fractional parts of the square
// roots of the first eight primes.
void Sha512::LoadInitialValues() {
  ChooseCompression();
  CurrentHash[0] = 0x6a09e667f3bcc908;
  CurrentHash[1] = 0xbb67ae8584caa73b;
  CurrentHash[2] = 0x3c6ef372fe94f82b;
  CurrentHash[3] = 0xa54ff53a5f1d36f1;
  CurrentHash[4] = 0x510e527fade682d1;
  CurrentHash[5] = 0x9b05688c2b3e6c1f;
  CurrentHash[6] = 0x1f83d9abfb41bd6b;
  CurrentHash[7] = 0x5be0cd19137e2179;
}

namespace {
// FIPS 180-2, appendices C and D: the one-block and the two-block message.
constexpr const char* kTwoBlockMessage =
    "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu";
}  // namespace

bool Sha384::SelfTest() {
  return self_test::HashKnownAnswers<Sha384>({
      {"abc", "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca134c825a7"},
      {kTwoBlockMessage,
       "09330c33f71147e83d192fc782cd1b4753111b173b3b05d22fa08086e3b0f712fcc7c71a557e2db966c3e9fa91746039"},
  });
}

bool Sha512::SelfTest() {
  return self_test::HashKnownAnswers<Sha512>({
      {"abc",
       "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
       "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
      {kTwoBlockMessage,
       "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018"
       "501d289e4900f7e4331b99dec4b5433ac7d329eeb6dd26545e96e55b874be909"},
  });
}

namespace {

// FIPS 180-2, 4.2.3: the first 64 bits of the fractional parts of the cube
// roots of the first 80 primes.
const uint64_t kRoundConstants[80] = {
    0x428a2f98d728ae22, 0x7137449123ef65cd, 0xb5c0fbcfec4d3b2f, 0xe9b5dba58189dbbc, 0x3956c25bf348b538,
    0x59f111f1b605d019, 0x923f82a4af194f9b, 0xab1c5ed5da6d8118, 0xd807aa98a3030242, 0x12835b0145706fbe,
    0x243185be4ee4b28c, 0x550c7dc3d5ffb4e2, 0x72be5d74f27b896f, 0x80deb1fe3b1696b1, 0x9bdc06a725c71235,
    0xc19bf174cf692694, 0xe49b69c19ef14ad2, 0xefbe4786384f25e3, 0x0fc19dc68b8cd5b5, 0x240ca1cc77ac9c65,
    0x2de92c6f592b0275, 0x4a7484aa6ea6e483, 0x5cb0a9dcbd41fbd4, 0x76f988da831153b5, 0x983e5152ee66dfab,
    0xa831c66d2db43210, 0xb00327c898fb213f, 0xbf597fc7beef0ee4, 0xc6e00bf33da88fc2, 0xd5a79147930aa725,
    0x06ca6351e003826f, 0x142929670a0e6e70, 0x27b70a8546d22ffc, 0x2e1b21385c26c926, 0x4d2c6dfc5ac42aed,
    0x53380d139d95b3df, 0x650a73548baf63de, 0x766a0abb3c77b2a8, 0x81c2c92e47edaee6, 0x92722c851482353b,
    0xa2bfe8a14cf10364, 0xa81a664bbc423001, 0xc24b8b70d0f89791, 0xc76c51a30654be30, 0xd192e819d6ef5218,
    0xd69906245565a910, 0xf40e35855771202a, 0x106aa07032bbd1b8, 0x19a4c116b8d2d0c8, 0x1e376c085141ab53,
    0x2748774cdf8eeb99, 0x34b0bcb5e19b48a8, 0x391c0cb3c5c95a63, 0x4ed8aa4ae3418acb, 0x5b9cca4f7763e373,
    0x682e6ff3d6b2b8a3, 0x748f82ee5defb2fc, 0x78a5636f43172f60, 0x84c87814a1f0ab72, 0x8cc702081a6439ec,
    0x90befffa23631e28, 0xa4506cebde82bde9, 0xbef9a3f7b2c67915, 0xc67178f2e372532b, 0xca273eceea26619c,
    0xd186b8c721c0c207, 0xeada7dd6cde0eb1e, 0xf57d4f7fee6ed178, 0x06f067aa72176fba, 0x0a637dc5a2c898a6,
    0x113f9804bef90dae, 0x1b710b35131c471b, 0x28db77f523047d84, 0x32caab7b40c72493, 0x3c9ebe0a15c9bebc,
    0x431d67c49c100d4c, 0x4cc5d4becb3e42b6, 0x597f299cfc657e2a, 0x5fcb6fab3ad6faec, 0x6c44198c4a475817,
};

}  // namespace

}  // namespace velsor
