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
  uint8_t* s = KeyData.data();
  uint8_t i = 0;
  uint8_t j = 0;
  for (uint32_t k = 0; k < Size; ++k) {
    i = static_cast<uint8_t>(i + 1);
    const uint8_t t = s[i];
    j = static_cast<uint8_t>(j + t);
    s[i] = s[j];
    s[j] = t;
    out[k] = static_cast<uint8_t>(in[k] ^ s[static_cast<uint8_t>(t + s[i])]);
  }
}

void Rc4::Decrypt(const void* Indata, void* Outdata, uint32_t Size) { Encrypt(Indata, Outdata, Size); }

bool Rc4::SelfTest() {
  // 40-bit key 0102030405: the first five bytes of its key stream (RFC 6229),
  // which are the ciphertext of five zero bytes.
  return self_test::StreamCipherKnownAnswers<Rc4>({{"0102030405", "0000000000", "b2396305f0"}});
}

}  // namespace velsor
