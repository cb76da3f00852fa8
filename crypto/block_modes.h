#pragma once
// The block-size bases: IV, chaining value and the five chaining modes, shared
// by every block cipher. A concrete cipher derives from BlockCipher64 or
// BlockCipher128 and supplies only its identity, key schedule, one-block
// encryption and decryption, and the wipe of its own key schedule (all pure
// here, so none can be forgotten):
//
//   class Tea final : public CipherMetadata<Tea, BlockCipher64> {
//    public:
//     using CipherMetadata::CipherMetadata;
//     static constexpr CipherIdentity kIdentity{kIdTea, u"Tea", 128};
//     static bool SelfTest();
//     void Burn() override;                       // wipe own schedule, then BlockCipher64::Burn()
//     void EncryptECB(const void* Indata, void* Outdata) override;   // CheckInitialized() first
//     void DecryptECB(const void* Indata, void* Outdata) override;
//    protected:
//     void ScheduleKey(const void* Key, uint32_t Size) override;  // Size already checked
//   };

#include <cstddef>
#include <cstdint>

#include "crypto/bytes.h"
#include "crypto/components.h"

namespace velsor {

template <std::size_t B>
class BlockModes : public BlockCipher {
 public:
  static constexpr std::size_t kBlockBytes = B;

  // A new block cipher holds IV and CV filled with 0xFF, as after Burn.
  explicit BlockModes(Component* owner = nullptr);

  static int32_t GetBlockSize() { return static_cast<int32_t>(8 * B); }
  int32_t BlockSize() const override { return GetBlockSize(); }

  // Key set-up, then the IV: copied from InitVector, or E(all-zero block) when null.
  void Init(const void* Key, uint32_t Size, const void* InitVector) override;
  // Wipes IV and CV, then the base; a concrete cipher wipes its key schedule
  // first and calls this.
  void Burn() override = 0;
  void Reset() override;
  void SetIV(const void* Value) override;
  // Writes the running chaining value CV, not the IV.
  void GetIV(void* Value) override;

  void EncryptCBC(const void* Indata, void* Outdata, uint32_t Size) override;
  void DecryptCBC(const void* Indata, void* Outdata, uint32_t Size) override;
  void EncryptCFB8bit(const void* Indata, void* Outdata, uint32_t Size) override;
  void DecryptCFB8bit(const void* Indata, void* Outdata, uint32_t Size) override;
  void EncryptCFBblock(const void* Indata, void* Outdata, uint32_t Size) override;
  void DecryptCFBblock(const void* Indata, void* Outdata, uint32_t Size) override;
  void EncryptOFB(const void* Indata, void* Outdata, uint32_t Size) override;
  void DecryptOFB(const void* Indata, void* Outdata, uint32_t Size) override;
  void EncryptCTR(const void* Indata, void* Outdata, uint32_t Size) override;
  void DecryptCTR(const void* Indata, void* Outdata, uint32_t Size) override;

 protected:
  SecretArray<uint8_t, B> IV;
  SecretArray<uint8_t, B> CV;

 private:
  void CheckChain() const;  // "Cipher not initialized" from the IV and mode operations
  void IncrementCounter();
  void CFBblock(const uint8_t* in, uint8_t* out, uint32_t size, bool encrypt);
  void KeystreamMode(const uint8_t* in, uint8_t* out, uint32_t size, bool counter);
};

extern template class BlockModes<8>;
extern template class BlockModes<16>;

class BlockCipher64 : public BlockModes<8> {
 public:
  using BlockModes<8>::BlockModes;
};

class BlockCipher128 : public BlockModes<16> {
 public:
  using BlockModes<16>::BlockModes;
};

}  // namespace velsor
