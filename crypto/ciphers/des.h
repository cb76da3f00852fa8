#pragma once
// DES (FIPS 46-3) and Triple DES in encrypt-decrypt-encrypt form (ANSI X9.52,
// NIST SP 800-67) on one shared base. Parity bits are ignored and weak keys
// are accepted: every key schedules, as the standard defines it.
//
// Constant time: no. The combined S-box/P tables are indexed with secret
// bits in every round and the key schedule looks up PC-2 pieces; a cache
// timing leak needs an attacker on the same machine, accepted here.

#include <array>
#include <cstdint>

#include "crypto/algorithm_ids.h"
#include "crypto/block_modes.h"
#include "crypto/bytes.h"

namespace velsor {

// The single-DES machinery both components share. It reports no identity of
// its own (the base-class defaults).
class DesBase : public BlockCipher64 {
 public:
  using BlockCipher64::BlockCipher64;

  static constexpr std::size_t kScheduleWords = 32;  // 16 round subkeys, two words each

 protected:
  // Expands an 8-byte key into a schedule of kScheduleWords words.
  static void ExpandKey(const uint8_t* key, uint32_t* schedule);
  // One block under a schedule; the whole input is read before the output is written.
  static void EncryptBlock(const uint32_t* schedule, const uint8_t* in, uint8_t* out);
  static void DecryptBlock(const uint32_t* schedule, const uint8_t* in, uint8_t* out);
  // CBC encryption of n blocks chained from cv, which receives the last
  // ciphertext block; in and out may be the same memory.
  static void EncryptCbc(const uint32_t* schedule, const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv);
  // n blocks, four at a time with their rounds interleaved; in and out are
  // either the same memory or apart.
  static void DecryptMany(const uint32_t* schedule, const uint8_t* in, uint8_t* out, std::size_t n);
  // The same for Triple DES, E(k3, D(k2, E(k1, block))) and its inverse, with
  // one initial and one final permutation around all 48 rounds.
  static void EncryptBlock3(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3, const uint8_t* in,
                            uint8_t* out);
  static void DecryptBlock3(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3, const uint8_t* in,
                            uint8_t* out);
  static void EncryptCbc3(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3, const uint8_t* in, uint8_t* out,
                          std::size_t n, uint8_t* cv);
  static void DecryptMany3(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3, const uint8_t* in, uint8_t* out,
                           std::size_t n);
};

class Des final : public CipherMetadata<Des, DesBase> {
 public:
  using CipherMetadata::CipherMetadata;

  static constexpr CipherIdentity kIdentity{kIdDes, u"DES", 64};
  static bool SelfTest();

  void Burn() override;
  void EncryptECB(const void* Indata, void* Outdata) override;
  void DecryptECB(const void* Indata, void* Outdata) override;

 protected:
  // A key shorter than 64 bits is followed by zero bytes; below 8 bits there
  // is no key byte at all and the size is refused.
  void ScheduleKey(const void* Key, uint32_t Size) override;
  void EncryptCbcBlocks(const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) override;
  void DecryptBlocks(const uint8_t* in, uint8_t* out, std::size_t n) override;

 private:
  SecretArray<uint32_t, kScheduleWords> KeyData;
};

// E(K3, D(K2, E(K1, block))). Up to 128 bits K3 repeats K1 (two-key Triple
// DES); above, K3 comes from key bytes 16..23, zero-padded, so a 160-bit key
// gives K3 = bytes 16..19 followed by four zero bytes.
class TripleDes final : public CipherMetadata<TripleDes, DesBase> {
 public:
  using CipherMetadata::CipherMetadata;

  static constexpr CipherIdentity kIdentity{kIdTripleDes, u"3DES", 192};
  static bool SelfTest();

  void Burn() override;
  void EncryptECB(const void* Indata, void* Outdata) override;
  void DecryptECB(const void* Indata, void* Outdata) override;

 protected:
  void ScheduleKey(const void* Key, uint32_t Size) override;
  void EncryptCbcBlocks(const uint8_t* in, uint8_t* out, std::size_t n, uint8_t* cv) override;
  void DecryptBlocks(const uint8_t* in, uint8_t* out, std::size_t n) override;

 private:
  const uint32_t* K(int n) const { return KeyData.data() + (n - 1) * kScheduleWords; }

  SecretArray<uint32_t, 3 * kScheduleWords> KeyData;  // the schedules K1, K2, K3
};

// Lookup tables built from the FIPS 46-3 tables (des_tables.cpp): each S-box
// combined with the permutation P, and PC-2 split into eight 6-bit pieces.
extern const std::array<std::array<uint32_t, 64>, 8> kDesSpBox;
extern const std::array<std::array<uint32_t, 64>, 8> kDesPc2Box;

}  // namespace velsor
