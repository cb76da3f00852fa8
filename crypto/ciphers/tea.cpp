#include "crypto/ciphers/tea.h"

#include <cstring>

#include "crypto/self_test.h"

namespace velsor {

namespace {

constexpr uint32_t kDelta = 0x9E3779B9;  // 2^32 / golden ratio, as in TEA
constexpr int kCycles = 32;

// This cipher's step: (v << 4) + (ka ^ v) + (sum ^ (v >> 5)) + kb. The
// published TEA would compute ((v << 4) + ka) ^ (v + sum) ^ ((v >> 5) + kb).
inline uint32_t Step(uint32_t v, uint32_t sum, uint32_t ka, uint32_t kb) {
  return (v << 4) + (ka ^ v) + (sum ^ (v >> 5)) + kb;
}

}  // namespace

void Tea::ScheduleKey(const void* Key, uint32_t Size) {
  SecretArray<uint8_t, 16> key;
  std::memcpy(key.data(), Key, Size / 8);
  for (std::size_t i = 0; i < 4; ++i) KeyData[i] = load_be32(&key[4 * i]);
}

void Tea::Burn() {
  KeyData.Wipe();
  BlockCipher64::Burn();
}

void Tea::EncryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint32_t x = load_be32(in);
  uint32_t y = load_be32(in + 4);
  uint32_t sum = 0;
  for (int i = 0; i < kCycles; ++i) {
    sum += kDelta;
    x += Step(y, sum, KeyData[0], KeyData[1]);
    y += Step(x, sum, KeyData[2], KeyData[3]);
  }
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  store_be32(out, x);
  store_be32(out + 4, y);
}

void Tea::DecryptECB(const void* Indata, void* Outdata) {
  CheckInitialized();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint32_t x = load_be32(in);
  uint32_t y = load_be32(in + 4);
  uint32_t sum = kDelta * static_cast<uint32_t>(kCycles);  // wraps mod 2^32
  for (int i = 0; i < kCycles; ++i) {
    y -= Step(x, sum, KeyData[2], KeyData[3]);
    x -= Step(y, sum, KeyData[0], KeyData[1]);
    sum -= kDelta;
  }
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  store_be32(out, x);
  store_be32(out + 4, y);
}

bool Tea::SelfTest() {
  // The values this variant's definition gives (tests/oracles/tea_variant.py
  // computes them apart from this code); the published TEA differs on both.
  return self_test::BlockCipherKnownAnswers<Tea>({
      {"00000000000000000000000000000000", "0000000000000000", "f88b1c2d0684458e"},
      {"000102030405060708090a0b0c0d0e0f", "0123456789abcdef", "7e1af625ea9bd0e9"},
  });
}

}  // namespace velsor
