#pragma once
// The ICE family of 64-bit Feistel block ciphers (Information Concealment
// Engine), exactly as its designer's reference implementation computes it:
// a key-dependent bit swap (the salt) before four 10-to-8-bit S-boxes, and a
// level that sets rounds and key length. Thin Ice is level 0 (8 rounds, 64-bit
// key), Ice level 1 (16 rounds, 64-bit key), Ice2 level 2 (32 rounds, 128-bit
// key). IceBase holds all the machinery; the leaves only state who they are.
//
// Blocks are two big-endian 32-bit halves; key bytes are read in big-endian
// pairs. A key shorter than the maximum is padded with zero bytes; the bits of
// a trailing half byte are ignored, and a 4-bit key (no whole byte) is refused.
//
// Constant time: no. The four 1024-word S-boxes are indexed with secret
// 10-bit values in every round; cache timing could leak them to a process on
// the same machine, a risk a local desktop tool accepts.

#include <array>
#include <cstdint>

#include "crypto/algorithm_ids.h"
#include "crypto/block_modes.h"
#include "crypto/bytes.h"

namespace velsor {

// The shared base of ThinIce, Ice and Ice2. It reports the defaults of Cipher
// (no id, no name, no key size): only its leaves are algorithms.
class IceBase : public BlockCipher64 {
 public:
  void Burn() override;
  void EncryptECB(const void* Indata, void* Outdata) override;
  void DecryptECB(const void* Indata, void* Outdata) override;

 protected:
  // The first construction in the process builds the S-box tables.
  explicit IceBase(Component* owner = nullptr);

  // The key schedule of `level`: 8 rounds for level 0, otherwise 16 x level,
  // from size_bits div 8 key bytes padded with zeros.
  void ScheduleIceKey(const void* key_bytes, uint32_t size_bits, int level);

 private:
  using Subkey = std::array<uint32_t, 3>;  // XOR into left, XOR into right, salt mask

  void BuildSubkeys(uint16_t* kb, int first, const int* keyrot);

  SecretValue<int32_t> fRounds;
  SecretArray<Subkey, 32> fSubkeys;
};

class ThinIce final : public CipherMetadata<ThinIce, IceBase> {
 public:
  explicit ThinIce(Component* owner = nullptr) : CipherMetadata(owner) {}

  static constexpr CipherIdentity kIdentity{kIdThinIce, u"Thin Ice", 64};
  static bool SelfTest();

 protected:
  void ScheduleKey(const void* Key, uint32_t Size) override { ScheduleIceKey(Key, Size, 0); }
};

class Ice final : public CipherMetadata<Ice, IceBase> {
 public:
  explicit Ice(Component* owner = nullptr) : CipherMetadata(owner) {}

  static constexpr CipherIdentity kIdentity{kIdIce, u"Ice", 64};
  static bool SelfTest();

 protected:
  void ScheduleKey(const void* Key, uint32_t Size) override { ScheduleIceKey(Key, Size, 1); }
};

class Ice2 final : public CipherMetadata<Ice2, IceBase> {
 public:
  explicit Ice2(Component* owner = nullptr) : CipherMetadata(owner) {}

  static constexpr CipherIdentity kIdentity{kIdIce2, u"Ice2", 128};
  static bool SelfTest();

 protected:
  void ScheduleKey(const void* Key, uint32_t Size) override { ScheduleIceKey(Key, Size, 2); }
};

}  // namespace velsor
