#include "crypto/ciphers/serpent.h"

#include <bit>
#include <cstring>

#include "crypto/ciphers/serpent_avx2.h"
#include "crypto/ciphers/serpent_rounds.h"
#include "crypto/ciphers/serpent_sboxes.h"
#include "crypto/cpu_features.h"
#include "crypto/self_test.h"

namespace velsor {

namespace {

using serpent_rounds::DecryptWords;
using serpent_rounds::EncryptWords;

#if defined(__GNUC__) || defined(__clang__)
// Four blocks side by side in the lanes of a 128-bit vector; the compiler maps
// it onto the SIMD registers of the target (SSE2 on baseline x86-64, NEON on
// ARM), or onto plain words where there are none.
constexpr std::size_t kLanes = 4;
using Lanes = uint32_t __attribute__((vector_size(4 * kLanes)));
#endif

// Round key k uses S-box (3 - k) mod 8.
void SubstituteKey(int k, uint32_t* x) {
  switch ((35 - k) % 8) {
    case 0: serpent_sboxes::Substitute<0, false>(x); break;
    case 1: serpent_sboxes::Substitute<1, false>(x); break;
    case 2: serpent_sboxes::Substitute<2, false>(x); break;
    case 3: serpent_sboxes::Substitute<3, false>(x); break;
    case 4: serpent_sboxes::Substitute<4, false>(x); break;
    case 5: serpent_sboxes::Substitute<5, false>(x); break;
    case 6: serpent_sboxes::Substitute<6, false>(x); break;
    default: serpent_sboxes::Substitute<7, false>(x); break;
  }
}

// The golden-ratio constant of the prekey recurrence.
constexpr uint32_t kPhi = 0x9e3779b9;

}  // namespace

void Serpent::ScheduleKey(const void* Key, uint32_t Size) {
  const uint32_t n = Size / 8;
  SecretArray<uint32_t, 140> w;  // the prekeys w0..w139; w0..w7 are the padded key
  SecretArray<uint8_t, 32> key;
  std::memcpy(key.data(), Key, n);
  for (int i = 0; i < 8; ++i) w[i] = load_le32(key.data() + 4 * i);
  // A short key gets a single 1 bit right after it; the bits of a partial
  // last byte are not read and stay 0.
  if (Size < 256) w[Size / 32] |= 1U << (Size % 32);

  for (uint32_t i = 8; i < 140; ++i) w[i] = std::rotl(w[i - 8] ^ w[i - 5] ^ w[i - 3] ^ w[i - 1] ^ kPhi ^ (i - 8), 11);
  for (int k = 0; k < kRoundKeys; ++k) {
    uint32_t* round_key = fRoundKeys.data() + 4 * k;
    std::memcpy(round_key, w.data() + 8 + 4 * k, 4 * sizeof(uint32_t));
    SubstituteKey(k, round_key);
  }
  fAvx2 = kX86Extensions && ActiveCpu().avx2;
}

void Serpent::Burn() {
  fRoundKeys.Wipe();
  fAvx2 = false;
  BlockCipher128::Burn();
}

void Serpent::EncryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint32_t x[4];
  for (int i = 0; i < 4; ++i) x[i] = load_le32(in + 4 * i);
  EncryptWords(x, fRoundKeys.data());
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  for (int i = 0; i < 4; ++i) store_le32(out + 4 * i, x[i]);
}

void Serpent::DecryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint32_t x[4];
  for (int i = 0; i < 4; ++i) x[i] = load_le32(in + 4 * i);
  DecryptWords(x, fRoundKeys.data());
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  for (int i = 0; i < 4; ++i) store_le32(out + 4 * i, x[i]);
}

void Serpent::DecryptCbcBlocks(const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) {
#ifdef VELSOR_X86_EXTENSIONS
  if (fAvx2) {
    const std::size_t done = serpent_avx2::DecryptCbc(fRoundKeys.data(), in, out, n, cv);
    in += 16 * done;
    out += 16 * done;
    n -= done;
  }
#endif
  BlockCipher128::DecryptCbcBlocks(in, out, n, cv);
}

void Serpent::DecryptBlocks(const uint8_t* in, uint8_t* out, std::size_t n) {
#if defined(__GNUC__) || defined(__clang__)
  for (; n >= kLanes; n -= kLanes, in += 16 * kLanes, out += 16 * kLanes) {
    Lanes x[4];
    for (int i = 0; i < 4; ++i) {
      for (std::size_t j = 0; j < kLanes; ++j) x[i][j] = load_le32(in + 16 * j + 4 * i);
    }
    DecryptWords(x, fRoundKeys.data());
    for (int i = 0; i < 4; ++i) {
      for (std::size_t j = 0; j < kLanes; ++j) store_le32(out + 16 * j + 4 * i, x[i][j]);
    }
    secure_wipe(x, sizeof x);
  }
#endif
  BlockCipher128::DecryptBlocks(in, out, n);
}

bool Serpent::SelfTest() {
  // NESSIE Serpent test vectors, set 1 vector 0 for each key size, in this
  // component's byte order (Botan Serpent gives the same).
  return self_test::BlockCipherKnownAnswers<Serpent>({
      {"80000000000000000000000000000000", "00000000000000000000000000000000", "264e5481eff42a4606abda06c0bfda3d"},
      {"800000000000000000000000000000000000000000000000", "00000000000000000000000000000000",
       "9e274ead9b737bb21efcfca548602689"},
      {"8000000000000000000000000000000000000000000000000000000000000000", "00000000000000000000000000000000",
       "a223aa1288463c0e2be38ebd825616c0"},
  });
}

}  // namespace velsor
