#pragma once
// Checks that every block cipher shares: single blocks, mode vectors from an
// independent implementation (tests/oracles/mode_vectors.py), and the
// chaining rules of the modes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypto/components.h"
#include "support/hex.h"

namespace velsor::test {

// Plaintext byte i is (i * 31 + 5) mod 256, as in tests/oracles/mode_vectors.py.
inline std::vector<uint8_t> PlaintextOfLength(std::size_t n) {
  std::vector<uint8_t> p(n);
  for (std::size_t i = 0; i < n; ++i) p[i] = static_cast<uint8_t>((i * 31 + 5) % 256);
  return p;
}

struct EcbVector {
  std::string key;  // hex: exactly the bytes that hold the key, a partial last one included
  std::string plain;
  std::string cipher;
  uint32_t bits = 0;  // key size in bits; 0 means 8 x key bytes
};

// Each vector through EncryptECB and DecryptECB.
inline void ExpectEcbVectors(BlockCipher& c, const std::vector<EcbVector>& vectors) {
  for (const auto& v : vectors) {
    SCOPED_TRACE("key " + v.key + ", block " + v.plain);
    const auto key = Bytes(v.key);
    c.Init(key.data(), v.bits != 0 ? v.bits : static_cast<uint32_t>(key.size() * 8), nullptr);
    auto block = Bytes(v.plain);
    c.EncryptECB(block.data(), block.data());
    EXPECT_EQ(Hex(block), v.cipher);
    c.DecryptECB(block.data(), block.data());
    EXPECT_EQ(Hex(block), v.plain);
  }
}

struct ModeVector {
  ChainMode mode;
  std::size_t length;
  std::string cipher;  // hex ciphertext of PlaintextOfLength(length)
};

// Each vector through Encrypt and Decrypt with CipherMode set, out of place
// and in place, from a fresh Init with key and IV.
inline void ExpectModeVectors(BlockCipher& c, const std::string& key_hex, const std::string& iv_hex,
                              const std::vector<ModeVector>& vectors) {
  const auto key = Bytes(key_hex);
  const auto iv = Bytes(iv_hex);
  const auto bits = static_cast<uint32_t>(key.size() * 8);
  for (const auto& v : vectors) {
    SCOPED_TRACE("mode " + std::to_string(v.mode) + ", length " + std::to_string(v.length));
    const auto plain = PlaintextOfLength(v.length);
    std::vector<uint8_t> out(v.length);
    c.Init(key.data(), bits, iv.data());
    c.SetCipherMode(v.mode);
    c.Encrypt(plain.data(), out.data(), static_cast<uint32_t>(v.length));
    EXPECT_EQ(Hex(out), v.cipher);

    c.Init(key.data(), bits, iv.data());
    auto in_place = Bytes(v.cipher);
    c.Decrypt(in_place.data(), in_place.data(), static_cast<uint32_t>(v.length));
    EXPECT_EQ(in_place, plain);
  }
  c.SetCipherMode(cmCBC);
}

// The rules every mode keeps whatever the cipher: decryption inverts
// encryption, in place equals out of place, whole-block calls concatenate,
// a split inside a block changes the result (all but CFB8, which is
// insensitive to splitting), and the mode is read at every call.
inline void ExpectChainingRules(BlockCipher& c, const std::string& key_hex) {
  const auto key = Bytes(key_hex);
  const auto bits = static_cast<uint32_t>(key.size() * 8);
  const std::size_t B = static_cast<std::size_t>(c.BlockSize() / 8);
  const std::vector<uint8_t> iv(B, 0x3C);
  const auto plain = PlaintextOfLength(2 * B + 5);
  for (ChainMode mode : {cmCBC, cmCFB8bit, cmCFBblock, cmOFB, cmCTR}) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    c.SetCipherMode(mode);
    auto run = [&](const std::vector<std::size_t>& pieces, bool encrypt, const std::vector<uint8_t>& in) {
      std::vector<uint8_t> out(in.size());
      c.Init(key.data(), bits, iv.data());
      std::size_t at = 0;
      for (std::size_t piece : pieces) {
        if (encrypt) {
          c.Encrypt(in.data() + at, out.data() + at, static_cast<uint32_t>(piece));
        } else {
          c.Decrypt(in.data() + at, out.data() + at, static_cast<uint32_t>(piece));
        }
        at += piece;
      }
      return out;
    };
    const auto whole = run({plain.size()}, true, plain);
    EXPECT_EQ(run({plain.size()}, false, whole), plain);
    EXPECT_NE(whole, plain);

    auto in_place = plain;
    c.Init(key.data(), bits, iv.data());
    c.Encrypt(in_place.data(), in_place.data(), static_cast<uint32_t>(in_place.size()));
    EXPECT_EQ(in_place, whole);

    const std::vector<uint8_t> two_blocks(plain.begin(), plain.begin() + static_cast<long>(2 * B));
    EXPECT_EQ(run({B, B}, true, two_blocks), run({2 * B}, true, two_blocks));

    const std::vector<uint8_t> one_block(plain.begin(), plain.begin() + static_cast<long>(B));
    if (mode == cmCFB8bit) {
      EXPECT_EQ(run(std::vector<std::size_t>(plain.size(), 1), true, plain), whole);
    } else {
      EXPECT_NE(run({5, B - 5}, true, one_block), run({B}, true, one_block));
    }
  }
  c.SetCipherMode(cmCBC);
}

// Key sizes every block cipher refuses with "Invalid key size": 4 bits (no
// whole key byte), 0, 6 (not a multiple of 4) and MaxKeySize + 4. Each failed
// Init leaves the cipher uninitialised, the previous key burnt; MaxKeySize
// itself is accepted.
inline void ExpectRefusedKeySizes(BlockCipher& c) {
  const auto max = static_cast<uint32_t>(c.MaxKeySize());
  const std::vector<uint8_t> key(max / 8 + 1, 0x5A);
  for (uint32_t bits : {4U, 0U, 6U, max + 4}) {
    SCOPED_TRACE("key bits " + std::to_string(bits));
    c.Init(key.data(), 64, nullptr);
    try {
      c.Init(key.data(), bits, nullptr);
      ADD_FAILURE() << "accepted";
    } catch (const CipherError& e) {
      EXPECT_STREQ(e.what(), "Invalid key size");
    }
    EXPECT_FALSE(c.Initialized());
    uint8_t block[16] = {};
    EXPECT_THROW(c.EncryptECB(block, block), BlockCipherError);
  }
  c.Init(key.data(), max, nullptr);
  EXPECT_TRUE(c.Initialized());
}

// Uninitialised: every mode and IV operation raises "Cipher not initialized".
inline void ExpectRefusesWithoutKey(BlockCipher& c) {
  c.Burn();
  uint8_t block[16] = {};
  auto expect_refusal = [](auto&& call) {
    try {
      call();
      ADD_FAILURE() << "no exception";
    } catch (const BlockCipherError& e) {
      EXPECT_STREQ(e.what(), "Cipher not initialized");
    }
  };
  expect_refusal([&] { c.EncryptECB(block, block); });
  expect_refusal([&] { c.DecryptECB(block, block); });
  expect_refusal([&] { c.Encrypt(block, block, 16); });
  expect_refusal([&] { c.Decrypt(block, block, 16); });
  expect_refusal([&] { c.SetIV(block); });
  expect_refusal([&] { c.GetIV(block); });
  expect_refusal([&] { c.Reset(); });
}

}  // namespace velsor::test
