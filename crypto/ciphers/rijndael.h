#pragma once
// Rijndael as FIPS-197 standardises it (AES-128, AES-192, AES-256), chosen by
// the key length; a key of another length is zero-padded up to the next of
// these, so a 160-bit key runs AES-192 on its 20 bytes and 4 zero bytes.
//
// Two paths give the same bytes: the AES instructions where the processor has
// them (chosen when the key is set, see cpu_features.h), and the portable
// table-driven code elsewhere. The hardware path is constant-time; the table
// path is not: its look-ups depend on key and data, so the cache can leak
// them to code sharing the processor.

#include "crypto/algorithm_ids.h"
#include "crypto/block_modes.h"
#include "crypto/bytes.h"

namespace velsor {

class Rijndael final : public CipherMetadata<Rijndael, BlockCipher128> {
 public:
  using CipherMetadata::CipherMetadata;

  static constexpr CipherIdentity kIdentity{kIdRijndael, u"Rijndael", 256};
  static bool SelfTest();

  void Burn() override;
  void EncryptECB(const void* Indata, void* Outdata) override;
  void DecryptECB(const void* Indata, void* Outdata) override;

 protected:
  // Up to 16 key bytes: AES-128; 17 to 24: AES-192; 25 to 32: AES-256.
  // A key of 4 bits holds no whole byte and is refused.
  void ScheduleKey(const void* Key, uint32_t Size) override;
  void EncryptCbcBlocks(const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) override;
  void DecryptCbcBlocks(const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) override;

 private:
  static constexpr int kRows = 15;  // round keys 0..14
  static constexpr int kRowWords = 8;
  using RoundKeys = SecretArray<uint32_t, kRows * kRowWords>;

  int32_t numrounds = 0;   // 10, 12 or 14; 0 without a key
  RoundKeys rk;            // row r, words 0..3: round key r of the cipher
  RoundKeys drk;           // the same with InvMixColumns on rows 1..numrounds-1
  bool fHardware = false;  // the AES instructions run this key
  bool fWide = false;      // and CBC decryption runs them on 256-bit vectors
};

}  // namespace velsor
