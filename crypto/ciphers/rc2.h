#pragma once
// RC2 (RFC 2268) with the effective key length fixed at 1024 bits, whatever
// the length of the key: the expansion fills all 128 key bytes and reduces
// none of them, so only byte 0 passes through PITABLE a second time.
//
// Constant time: no. The key expansion indexes PITABLE with key bytes and
// each mashing round indexes the key words with data; exploiting that takes
// cache measurements on the same machine, accepted for a desktop tool.

#include <cstdint>

#include "crypto/algorithm_ids.h"
#include "crypto/block_modes.h"
#include "crypto/bytes.h"

namespace velsor {

class Rc2 final : public CipherMetadata<Rc2, BlockCipher64> {
 public:
  using CipherMetadata::CipherMetadata;

  static constexpr CipherIdentity kIdentity{kIdRc2, u"RC2", 1024};
  static bool SelfTest();

  void Burn() override;
  // One block as four little-endian 16-bit words; the input is read first,
  // so the buffers may coincide.
  void EncryptECB(const void* Indata, void* Outdata) override;
  void DecryptECB(const void* Indata, void* Outdata) override;

 protected:
  // Below 8 bits there is no key byte to expand and the size is refused.
  void ScheduleKey(const void* Key, uint32_t Size) override;
  // Sixteen blocks at a time, each round one loop over the blocks, which
  // compilers turn into 16-bit vector operations.
  void DecryptBlocks(const uint8_t* in, uint8_t* out, std::size_t n) override;

 private:
  template <std::size_t N>
  void DecryptLanes(const uint8_t* in, uint8_t* out) const;

  SecretArray<uint16_t, 64> KeyData;  // K[0..63]
};

}  // namespace velsor
