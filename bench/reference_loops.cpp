// A reference for the TEA row, which no library offers: the published XTEA
// round structure (Needham and Wheeler, 1997) with the same 32 cycles and the
// same big-endian block layout as Velsor's TEA, in CBC, written plainly here.
// Its output differs from Velsor's TEA; only the speed is compared.

#include <algorithm>
#include <array>

#include "bench_cases.h"
#include "crypto/bytes.h"

namespace velsor::bench {
namespace {

constexpr uint32_t kDelta = 0x9E3779B9;
constexpr int kCycles = 32;

class XteaLoopRun final : public CipherRun {
 public:
  XteaLoopRun(const uint8_t* key, const uint8_t* iv, bool encrypt) : fEncrypt(encrypt) {
    for (std::size_t i = 0; i < 4; ++i) fKey[i] = load_be32(key + 4 * i);
    std::copy(iv, iv + 8, fChain.begin());
  }

  void Run(const uint8_t* in, uint8_t* out, std::size_t size) override {
    for (std::size_t at = 0; at + 8 <= size; at += 8) {
      if (fEncrypt) {
        std::array<uint8_t, 8> block;
        for (std::size_t i = 0; i < 8; ++i) block[i] = in[at + i] ^ fChain[i];
        EncryptBlock(block.data(), out + at);
        std::copy(out + at, out + at + 8, fChain.begin());
      } else {
        std::array<uint8_t, 8> cipher_block;
        std::copy(in + at, in + at + 8, cipher_block.begin());
        DecryptBlock(cipher_block.data(), out + at);
        for (std::size_t i = 0; i < 8; ++i) out[at + i] ^= fChain[i];
        fChain = cipher_block;
      }
    }
  }

 private:
  void EncryptBlock(const uint8_t* in, uint8_t* out) const {
    uint32_t v0 = load_be32(in), v1 = load_be32(in + 4), sum = 0;
    for (int i = 0; i < kCycles; ++i) {
      v0 += (((v1 << 4) ^ (v1 >> 5)) + v1) ^ (sum + fKey[sum & 3]);
      sum += kDelta;
      v1 += (((v0 << 4) ^ (v0 >> 5)) + v0) ^ (sum + fKey[(sum >> 11) & 3]);
    }
    store_be32(out, v0);
    store_be32(out + 4, v1);
  }

  void DecryptBlock(const uint8_t* in, uint8_t* out) const {
    uint32_t v0 = load_be32(in), v1 = load_be32(in + 4), sum = kDelta * static_cast<uint32_t>(kCycles);
    for (int i = 0; i < kCycles; ++i) {
      v1 -= (((v0 << 4) ^ (v0 >> 5)) + v0) ^ (sum + fKey[(sum >> 11) & 3]);
      sum -= kDelta;
      v0 -= (((v1 << 4) ^ (v1 >> 5)) + v1) ^ (sum + fKey[sum & 3]);
    }
    store_be32(out, v0);
    store_be32(out + 4, v1);
  }

  bool fEncrypt;
  std::array<uint32_t, 4> fKey{};
  std::array<uint8_t, 8> fChain{};
};

void AddReferenceCases() {
  CipherCases().push_back({"Tea", 128, 8, "xtea-loop", "XTEA rounds, not this TEA variant; speed reference only",
                           [](const uint8_t* key, const uint8_t* iv, bool encrypt) {
                             return std::make_unique<XteaLoopRun>(key, iv, encrypt);
                           }});
}

[[maybe_unused]] const bool kRegistered = RegisterCases(&AddReferenceCases);

}  // namespace
}  // namespace velsor::bench
