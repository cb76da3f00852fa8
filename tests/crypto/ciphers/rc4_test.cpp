// RC4: the standard key stream for one call, the restart of i and j at every
// call, Reset, and the key sizes.

#include "crypto/ciphers/rc4.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/hex.h"

namespace velsor {
namespace {

using test::Bytes;
using test::Hex;

std::vector<uint8_t> KeyStream(Rc4& rc4, const std::vector<uint8_t>& key, uint32_t bits, std::size_t n) {
  rc4.Init(key.data(), bits, nullptr);
  std::vector<uint8_t> out(n);
  rc4.Encrypt(std::vector<uint8_t>(n).data(), out.data(), static_cast<uint32_t>(n));
  return out;
}

TEST(Rc4, MatchesPublishedKeyStreams) {
  struct Case {
    std::string key;
    std::string stream;
  };
  const Case cases[] = {
      // RFC 6229, offset 0, 40-bit and 128-bit keys.
      {"0102030405", "b2396305f03dc027ccc3524a0a1118a8"},
      {"0102030405060708090a0b0c0d0e0f10", "9ac7cc9a609d1ef7b2932899cde41b97"},
      // Keys of 20, 24 and 48 bytes (a partial last repetition), pycryptodome ARC4.
      {"000102030405060708090a0b0c0d0e0f10111213", "5e9740e23708b69e4ad4"},
      {"000102030405060708090a0b0c0d0e0f1011121314151617", "2a93f5888b1481a9b7e6"},
      {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f"
       "202122232425262728292a2b2c2d2e2f",
       "a9b2bdab52608d2751ab"},
  };
  Rc4 rc4;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    const auto key = Bytes(c.key);
    EXPECT_EQ(Hex(KeyStream(rc4, key, static_cast<uint32_t>(key.size() * 8), c.stream.size() / 2)), c.stream);
  }
}

TEST(Rc4, KeySizes) {
  Rc4 rc4;
  std::vector<uint8_t> key(260);
  for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<uint8_t>(i * 7);
  // 2048 bits uses every byte once (pycryptodome ARC4 with the same 256 bytes).
  EXPECT_EQ(Hex(KeyStream(rc4, key, 2048, 10)), "1e4c162352860fbf9add");

  // 12 bits use one whole byte; the extra nibble is ignored.
  const std::vector<uint8_t> one = {0xAB, 0xCD};
  EXPECT_EQ(KeyStream(rc4, one, 12, 16), KeyStream(rc4, one, 8, 16));

  for (uint32_t bad : {0U, 4U, 6U, 2052U}) {
    SCOPED_TRACE(bad);
    try {
      rc4.Init(key.data(), bad, nullptr);
      ADD_FAILURE() << "accepted";
    } catch (const CipherError& e) {
      EXPECT_STREQ(e.what(), "Invalid key size");
    }
    EXPECT_FALSE(rc4.Initialized());
  }
}

TEST(Rc4, InitVectorIsIgnored) {
  Rc4 rc4;
  const auto key = Bytes("0102030405");
  const auto iv = Bytes("ffffffffffffffff");
  const auto plain = KeyStream(rc4, key, 40, 16);
  rc4.Init(key.data(), 40, iv.data());
  std::vector<uint8_t> out(16);
  rc4.Encrypt(std::vector<uint8_t>(16).data(), out.data(), 16);
  EXPECT_EQ(out, plain);
}

TEST(Rc4, EveryCallRestartsTheIndicesButKeepsThePermutation) {
  Rc4 rc4;
  const auto key = Bytes("0102030405");
  const std::vector<uint8_t> plain = Bytes("00112233445566778899");
  std::vector<uint8_t> one_call(10), two_calls(10);
  rc4.Init(key.data(), 40, nullptr);
  rc4.Encrypt(plain.data(), one_call.data(), 10);
  rc4.Reset();
  rc4.Encrypt(plain.data(), two_calls.data(), 5);
  rc4.Encrypt(plain.data() + 5, two_calls.data() + 5, 5);

  // The first call is standard RC4 (RFC 6229 stream b2396305f0... XOR the plaintext).
  EXPECT_EQ(Hex(one_call), "b2284136b468a650445a");
  EXPECT_EQ(std::vector<uint8_t>(two_calls.begin(), two_calls.begin() + 5),
            std::vector<uint8_t>(one_call.begin(), one_call.begin() + 5));
  EXPECT_NE(two_calls, one_call);

  // Decryption in the same pieces from the same state restores the text, in place.
  rc4.Reset();
  rc4.Decrypt(two_calls.data(), two_calls.data(), 5);
  rc4.Decrypt(two_calls.data() + 5, two_calls.data() + 5, 5);
  EXPECT_EQ(two_calls, plain);
}

TEST(Rc4, ResetRepeatsTheFirstCallAndSizeZeroChangesNothing) {
  Rc4 rc4;
  const auto key = Bytes("0102030405060708090a0b0c0d0e0f10");
  const auto first = KeyStream(rc4, key, 128, 32);
  rc4.Encrypt(nullptr, nullptr, 0);
  rc4.Reset();
  rc4.Encrypt(nullptr, nullptr, 0);
  std::vector<uint8_t> again(32);
  rc4.Encrypt(std::vector<uint8_t>(32).data(), again.data(), 32);
  EXPECT_EQ(again, first);
}

TEST(Rc4, RefusesWithoutKey) {
  Rc4 rc4;
  uint8_t b[4] = {1, 2, 3, 4};
  EXPECT_THROW(rc4.Encrypt(b, b, 4), CipherError);
  const auto key = Bytes("0102030405");
  rc4.Init(key.data(), 40, nullptr);
  rc4.Burn();
  try {
    rc4.Decrypt(b, b, 4);
    ADD_FAILURE() << "no exception";
  } catch (const CipherError& e) {
    EXPECT_STREQ(e.what(), "Cipher not initialized");
  }
  EXPECT_EQ(Hex(b, 4), "01020304");
}

TEST(Rc4, IdentityAndSelfTest) {
  Rc4 rc4;
  Cipher& base = rc4;
  EXPECT_EQ(base.Id(), 19);
  EXPECT_EQ(base.Algorithm(), u"RC4");
  EXPECT_EQ(base.MaxKeySize(), 2048);
  EXPECT_EQ(dynamic_cast<BlockCipher*>(&base), nullptr);
  EXPECT_TRUE(Rc4::SelfTest());
}

}  // namespace
}  // namespace velsor
