#include "crypto/ciphers/rc4.h"

#include <cstring>
#include <utility>

#include "crypto/self_test.h"

namespace velsor {

Rc4::Rc4(Component* owner) : CipherMetadata(owner) { Burn(); }

void Rc4::ScheduleKey(const void* Key, uint32_t Size) {
  const uint8_t* key = static_cast<const uint8_t*>(Key);
  const uint32_t n = Size / 8;
  SecretArray<uint8_t, 256> k;
  for (uint32_t x = 0; x < 256; ++x) {
    KeyData[x] = static_cast<uint8_t>(x);
    k[x] = key[x % n];  // key bytes repeated cyclically
  }
  uint8_t j = 0;
  for (uint32_t x = 0; x < 256; ++x) {
    j = static_cast<uint8_t>(j + KeyData[x] + k[x]);
    std::swap(KeyData[x], KeyData[j]);
  }
  fKeyOrg = KeyData;
}

void Rc4::Burn() {
  fKeyOrg.Wipe(0xFF);
  KeyData.Wipe(0xFF);
  Cipher::Burn();
}

void Rc4::Reset() { KeyData = fKeyOrg; }

void Rc4::Encrypt(const void* Indata, void* Outdata, uint32_t Size) {
  if (!fInitialized) throw CipherError(kCipherNotInitialized);
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  // The permutation is worked on as one word per entry, which spares every
  // swap a partial-register write, and goes back into KeyData at the end.
  uint32_t s[256];
  for (std::size_t x = 0; x < 256; ++x) s[x] = KeyData[x];
  uint32_t i = 0;
  uint32_t j = 0;
  auto next = [&s, &i, &j]() -> uint64_t {
    i = (i + 1) & 0xFF;
    const uint32_t t = s[i];
    j = (j + t) & 0xFF;
    const uint32_t u = s[j];  // kept in a register: no reload of what was just stored
    s[i] = u;
    s[j] = t;
    return s[(t + u) & 0xFF];
  };
  // Eight key-stream bytes at a time, XORed as one little-endian word.
  uint32_t k = 0;
  for (; Size - k >= 8; k += 8) {
    uint64_t stream = 0;
#pragma GCC unroll 8
    for (int b = 0; b < 8; ++b) stream |= next() << (8 * b);
    store_le64(out + k, load_le64(in + k) ^ stream);
  }
  for (; k < Size; ++k) out[k] = static_cast<uint8_t>(in[k] ^ next());
  for (std::size_t x = 0; x < 256; ++x) KeyData[x] = static_cast<uint8_t>(s[x]);
  secure_wipe(s, sizeof s);
}

void Rc4::Decrypt(const void* Indata, void* Outdata, uint32_t Size) { Encrypt(Indata, Outdata, Size); }

bool Rc4::SelfTest() {
  // 40-bit key 0102030405: the first five bytes of its key stream (RFC 6229),
  // which are the ciphertext of five zero bytes.
  return self_test::StreamCipherKnownAnswers<Rc4>({{"0102030405", "0000000000", "b2396305f0"}});
}

}  // namespace velsor
