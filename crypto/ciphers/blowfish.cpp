#include "crypto/ciphers/blowfish.h"

#include <cstring>

#include "crypto/self_test.h"

namespace velsor {

Blowfish::Blowfish(Component* owner) : CipherMetadata(owner) { Burn(); }

inline uint32_t Blowfish::F(uint32_t x) const {
  const uint32_t a = fSBox[0][x >> 24];
  const uint32_t b = fSBox[1][(x >> 16) & 0xFF];
  const uint32_t c = fSBox[2][(x >> 8) & 0xFF];
  const uint32_t d = fSBox[3][x & 0xFF];
  return ((a + b) ^ c) + d;
}

void Blowfish::ScheduleKey(const void* Key, uint32_t Size) {
  const uint32_t n = Size / 8;
  const uint8_t* key = static_cast<const uint8_t*>(Key);

  // Every key set-up starts again from the digits of pi, so no earlier key leaves a trace.
  for (std::size_t k = 0; k < 4; ++k) std::memcpy(fSBox[k].data(), kBlowfishS[k].data(), sizeof(fSBox[k]));
  std::memcpy(fPBox.data(), kBlowfishP.data(), sizeof(fPBox));

  // The key bytes form one cyclic stream, taken four at a time, big-endian.
  uint32_t j = 0;
  for (std::size_t i = 0; i < fPBox.size(); ++i) {
    uint32_t word = 0;
    for (int b = 0; b < 4; ++b) {
      word = (word << 8) | key[j];
      j = (j + 1) % n;
    }
    fPBox[i] ^= word;
  }

  // The cipher replaces its own tables, two words per encryption, each
  // encryption already using the entries replaced before it.
  uint8_t block[8] = {};
  auto next_pair = [&](uint32_t& left, uint32_t& right) {
    EncryptECB(block, block);
    left = load_be32(block);
    right = load_be32(block + 4);
  };
  for (std::size_t i = 0; i < fPBox.size(); i += 2) next_pair(fPBox[i], fPBox[i + 1]);
  for (auto& box : fSBox) {
    for (std::size_t i = 0; i < box.size(); i += 2) next_pair(box[i], box[i + 1]);
  }
  secure_wipe(block, sizeof(block));
}

void Blowfish::EncryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint32_t left = load_be32(in);
  uint32_t right = load_be32(in + 4);
  for (std::size_t i = 0; i < 16; i += 2) {
    left ^= fPBox[i];
    right ^= F(left);
    right ^= fPBox[i + 1];
    left ^= F(right);
  }
  left ^= fPBox[16];
  right ^= fPBox[17];
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  store_be32(out, right);
  store_be32(out + 4, left);
}

void Blowfish::DecryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint32_t left = load_be32(in);
  uint32_t right = load_be32(in + 4);
  for (std::size_t i = 17; i > 1; i -= 2) {
    left ^= fPBox[i];
    right ^= F(left);
    right ^= fPBox[i - 1];
    left ^= F(right);
  }
  left ^= fPBox[1];
  right ^= fPBox[0];
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  store_be32(out, right);
  store_be32(out + 4, left);
}

void Blowfish::Burn() {
  fSBox.Wipe(0xFF);
  fPBox.Wipe(0xFF);
  BlockCipher64::Burn();
}

bool Blowfish::SelfTest() {
  // The designer's published ECB vectors for 64-bit keys.
  return self_test::BlockCipherKnownAnswers<Blowfish>({
      {"0000000000000000", "0000000000000000", "4ef997456198dd78"},
      {"fedcba9876543210", "0123456789abcdef", "0aceab0fc6a0a28d"},
  });
}

}  // namespace velsor
