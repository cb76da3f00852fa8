#pragma once
// Small stand-ins for the framework's tests: a block cipher whose one-block
// operation is a keyed byte permutation (so the modes can be checked for their
// own rules), and a stream cipher that XORs a constant and records its calls.

#include <cstring>
#include <vector>

#include "crypto/block_modes.h"
#include "crypto/components.h"

namespace velsor::test {

template <class Base>
class ToyBlockCipher final : public CipherMetadata<ToyBlockCipher<Base>, Base> {
 public:
  using CipherMetadata<ToyBlockCipher<Base>, Base>::CipherMetadata;
  static int32_t GetMaxKeySize() { return 64; }
  static constexpr std::size_t B = Base::kBlockBytes;

  void EncryptECB(const void* Indata, void* Outdata) override {
    this->CheckInitialized();
    uint8_t block[B];
    std::memcpy(block, Indata, B);
    uint8_t* out = static_cast<uint8_t*>(Outdata);
    // Rotate by one byte, add the key and a position-dependent constant.
    for (std::size_t i = 0; i < B; ++i) out[i] = static_cast<uint8_t>(block[(i + 1) % B] + key_ + 17 * i);
  }
  void DecryptECB(const void* Indata, void* Outdata) override {
    this->CheckInitialized();
    uint8_t block[B];
    std::memcpy(block, Indata, B);
    uint8_t* out = static_cast<uint8_t*>(Outdata);
    for (std::size_t i = 0; i < B; ++i) out[(i + 1) % B] = static_cast<uint8_t>(block[i] - key_ - 17 * i);
  }

 protected:
  void ScheduleKey(const void* Key, uint32_t Size) override {
    key_ = Size >= 8 ? *static_cast<const uint8_t*>(Key) : 0;
  }

 private:
  uint8_t key_ = 0;
};

using Toy64 = ToyBlockCipher<BlockCipher64>;
using Toy128 = ToyBlockCipher<BlockCipher128>;

// XORs 0x5A into every byte and records the size of each Encrypt call.
class RecordingCipher final : public Cipher {
 public:
  using Cipher::Cipher;
  int32_t MaxKeySize() const override { return max_key_bits; }

  void Init(const void* Key, uint32_t Size, const void* InitVector) override {
    Cipher::Init(Key, Size, InitVector);
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
