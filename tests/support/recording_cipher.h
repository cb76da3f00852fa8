#pragma once
// A stand-in cipher for the framework's tests: it XORs a constant, records
// its calls and the key it was given, and takes any maximum key size.

#include <vector>

#include "crypto/components.h"

namespace velsor::test {

// XORs 0x5A into every byte and records the size of each Encrypt call.
// Its smallest key is 4 bits, so the framework's own size rule shows alone.
class RecordingCipher final : public CipherMetadata<RecordingCipher, Cipher> {
 public:
  using CipherMetadata::CipherMetadata;
  static constexpr CipherIdentity kIdentity{-1, u"", 64, 4};
  int32_t MaxKeySize() const override { return max_key_bits; }

  void ScheduleKey(const void* Key, uint32_t Size) override {
    last_key.assign(static_cast<const uint8_t*>(Key), static_cast<const uint8_t*>(Key) + Size / 8);
    last_key_bits = Size;
  }
  void Burn() override {
    ++burns;
    Cipher::Burn();
  }
  void Encrypt(const void* Indata, void* Outdata, uint32_t Size) override {
    calls.push_back(Size);
    const uint8_t* in = static_cast<const uint8_t*>(Indata);
    uint8_t* out = static_cast<uint8_t*>(Outdata);
    for (uint32_t i = 0; i < Size; ++i) out[i] = in[i] ^ 0x5A;
  }
  void Decrypt(const void* Indata, void* Outdata, uint32_t Size) override { Encrypt(Indata, Outdata, Size); }

  int32_t max_key_bits = 64;
  std::vector<uint32_t> calls;
  std::vector<uint8_t> last_key;
  uint32_t last_key_bits = 0;
  int burns = 0;
};

}  // namespace velsor::test
