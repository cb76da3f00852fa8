#pragma once
// Rijndael as FIPS-197 standardises it (AES-128, AES-192, AES-256), chosen by
// the key length; a key of another length is zero-padded up to the next of
// these, so a 160-bit key runs AES-192 on its 20 bytes and 4 zero bytes.
//
// Constant time: no. The T-tables (and the S-box in the key schedule and the
// last round) are indexed with secret bytes, the classic cache-timing leak of
// table-driven AES; on a local desktop tool it needs an attacker's code on the
// same machine, and is accepted.

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

 private:
  static constexpr int kRows = 15;  // round keys 0..14
  static constexpr int kRowWords = 8;
  using RoundKeys = SecretArray<uint32_t, kRows * kRowWords>;

  SecretValue<int32_t> fRounds;  // 10, 12 or 14; 0 without a key
  RoundKeys fRoundKeys;          // row r, words 0..3: round key r of the cipher
  RoundKeys fDecryptionKeys;     // the same with InvMixColumns on rows 1..fRounds-1
};

}  // namespace velsor
