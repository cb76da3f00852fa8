// The hardware paths (AES instructions, SHA extensions, AVX2) against the portable
// code: the same bytes for random keys, IVs, lengths and call splits in every
// mode, and the switches that choose between them.

#include "crypto/cpu_features.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "crypto/ciphers/rijndael.h"
#include "crypto/ciphers/serpent.h"
#include "crypto/hashes/sha1.h"
#include "crypto/hashes/sha256.h"
#include "crypto/hashes/sha512.h"
#include "support/hex.h"

namespace velsor {
namespace {

using test::Hex;

std::vector<uint8_t> RandomBytes(std::mt19937& rng, std::size_t n) {
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = static_cast<uint8_t>(rng());
  return v;
}

TEST(CpuFeatures, PortableScopeTurnsTheExtensionsOff) {
  {
    PortableCryptoScope portable;
    EXPECT_FALSE(ActiveCpu().aes);
    EXPECT_FALSE(ActiveCpu().vaes);
    EXPECT_FALSE(ActiveCpu().sha);
    EXPECT_FALSE(ActiveCpu().avx2);
    EXPECT_FALSE(ActiveCpu().bmi2);
  }
  EXPECT_EQ(ActiveCpu().aes, DetectedCpu().aes);
  EXPECT_EQ(ActiveCpu().vaes, DetectedCpu().vaes);
  EXPECT_EQ(ActiveCpu().sha, DetectedCpu().sha);
  EXPECT_EQ(ActiveCpu().avx2, DetectedCpu().avx2);
  EXPECT_EQ(ActiveCpu().bmi2, DetectedCpu().bmi2);
}

// CTest runs this suite a second time with the variable set.
TEST(CpuFeatures, EnvironmentVariableForcesThePortableCode) {
  const char* value = std::getenv("VELSOR_PORTABLE_CRYPTO");
  if (value == nullptr || std::string(value) != "1") GTEST_SKIP() << "VELSOR_PORTABLE_CRYPTO is not set";
  EXPECT_FALSE(DetectedCpu().aes);
  EXPECT_FALSE(DetectedCpu().vaes);
  EXPECT_FALSE(DetectedCpu().sha);
  EXPECT_FALSE(DetectedCpu().avx2);
  EXPECT_FALSE(DetectedCpu().bmi2);
}

// One cipher keyed on each path; the same operations must give the same bytes:
// encryption in two calls split at split (the hardware one in place), then
// decryption with the same split, in place on both, back to the plaintext.
template <class C>
void ExpectCipherPathsAgree(std::mt19937& rng, uint32_t bits, ChainMode mode, std::size_t length, std::size_t split,
                            bool null_iv) {
  const auto key = RandomBytes(rng, 32);
  const auto iv = RandomBytes(rng, 16);
  const auto plain = RandomBytes(rng, length);
  SCOPED_TRACE("bits " + std::to_string(bits) + ", mode " + std::to_string(mode) + ", length " +
               std::to_string(length) + ", split " + std::to_string(split));

  C hardware;
  C portable;
  hardware.Init(key.data(), bits, null_iv ? nullptr : iv.data());
  {
    PortableCryptoScope scope;
    portable.Init(key.data(), bits, null_iv ? nullptr : iv.data());
  }
  hardware.SetCipherMode(mode);
  portable.SetCipherMode(mode);

  auto fast = plain;
  std::vector<uint8_t> slow(length);
  hardware.Encrypt(fast.data(), fast.data(), static_cast<uint32_t>(split));
  hardware.Encrypt(fast.data() + split, fast.data() + split, static_cast<uint32_t>(length - split));
  portable.Encrypt(plain.data(), slow.data(), static_cast<uint32_t>(split));
  portable.Encrypt(plain.data() + split, slow.data() + split, static_cast<uint32_t>(length - split));
  ASSERT_EQ(Hex(fast), Hex(slow));
  uint8_t cv_fast[16];
  uint8_t cv_slow[16];
  hardware.GetIV(cv_fast);
  portable.GetIV(cv_slow);
  ASSERT_EQ(Hex(cv_fast, 16), Hex(cv_slow, 16));

  // A split inside a block changes the chain, so decryption splits alike.
  hardware.Reset();
  portable.Reset();
  for (auto [at, size] : {std::pair<std::size_t, std::size_t>{0, split}, {split, length - split}}) {
    hardware.Decrypt(fast.data() + at, fast.data() + at, static_cast<uint32_t>(size));
    portable.Decrypt(slow.data() + at, slow.data() + at, static_cast<uint32_t>(size));
  }
  ASSERT_EQ(Hex(fast), Hex(plain));
  ASSERT_EQ(Hex(slow), Hex(plain));
  hardware.GetIV(cv_fast);
  portable.GetIV(cv_slow);
  ASSERT_EQ(Hex(cv_fast, 16), Hex(cv_slow, 16));
}

TEST(CpuFeatures, RijndaelHardwareMatchesPortableInEveryMode) {
  if (!DetectedCpu().aes) GTEST_SKIP() << "no AES instructions in use here";
  std::mt19937 rng(20261210);
  // The sizes the application passes (128, 160, 192, 256) and the odd ones the zero padding serves.
  const uint32_t kKeyBits[] = {8, 64, 120, 128, 132, 140, 160, 168, 192, 200, 224, 256};
  for (uint32_t bits : kKeyBits) {
    for (ChainMode mode : {cmCBC, cmCFB8bit, cmCFBblock, cmOFB, cmCTR}) {
      for (int trial = 0; trial < 6; ++trial) {
        const std::size_t length = rng() % 400;
        const std::size_t split = length == 0 ? 0 : rng() % (length + 1);
        ExpectCipherPathsAgree<Rijndael>(rng, bits, mode, length, split, trial == 0);
        if (HasFatalFailure()) return;
      }
    }
  }
}

// Serpent's AVX2 code decrypts CBC sixteen and eight blocks at a time, the
// portable code four; the block counts sit on both sides of those groups and
// of the 32-block chunks of CBC decryption, with and without a partial block.
TEST(CpuFeatures, SerpentAvx2MatchesPortable) {
  if (!DetectedCpu().avx2) GTEST_SKIP() << "no AVX2 in use here";
  std::mt19937 rng(26);
  const std::size_t kBlocks[] = {1, 7, 8, 9, 12, 15, 16, 17, 23, 24, 25, 29, 31, 32, 33, 40, 47, 48, 63, 64, 65, 97};
  for (uint32_t bits : {128U, 192U, 256U, 136U}) {
    for (std::size_t blocks : kBlocks) {
      const std::size_t length = 16 * blocks + (rng() % 2 == 0 ? 0 : 1 + rng() % 15);
      // One call, then two calls split at a random byte.
      ExpectCipherPathsAgree<Serpent>(rng, bits, cmCBC, length, length, false);
      ExpectCipherPathsAgree<Serpent>(rng, bits, cmCBC, length, rng() % (length + 1), false);
      if (HasFatalFailure()) return;
    }
  }
}

template <class H>
void ExpectHashPathsAgree(std::mt19937& rng) {
  // The padding edges of 64-byte blocks (55, 56, 119, 120) and of 128-byte
  // blocks (111, 112, 239, 240), block multiples, and long messages.
  const std::size_t kLengths[] = {0,   1,   55,  56,  63,  64,  65,  111, 112,  119,  120,
                                  127, 128, 129, 239, 240, 255, 256, 257, 1000, 4096, 65537};
  for (std::size_t length : kLengths) {
    const auto message = RandomBytes(rng, length);
    const std::size_t split = length == 0 ? 0 : rng() % (length + 1);
    SCOPED_TRACE("length " + std::to_string(length) + ", split " + std::to_string(split));
    H hardware;
    H portable;
    std::vector<uint8_t> fast(static_cast<std::size_t>(H::GetHashSize() / 8));
    std::vector<uint8_t> slow(fast.size());
    hardware.Init();
    {
      PortableCryptoScope scope;
      portable.Init();
    }
    hardware.Update(message.data(), static_cast<uint32_t>(split));
    hardware.Update(message.data() + split, static_cast<uint32_t>(length - split));
    portable.Update(message.data(), static_cast<uint32_t>(length));
    hardware.Final(fast.data());
    portable.Final(slow.data());
    EXPECT_EQ(Hex(fast), Hex(slow));
  }
}

TEST(CpuFeatures, ShaHardwareMatchesPortable) {
  if (!DetectedCpu().sha) GTEST_SKIP() << "no SHA extensions in use here";
  std::mt19937 rng(180);
  ExpectHashPathsAgree<Sha1>(rng);
  ExpectHashPathsAgree<Sha256>(rng);
}

TEST(CpuFeatures, Sha512Bmi2Avx2MatchesPortable) {
  if (!DetectedCpu().avx2 || !DetectedCpu().bmi2) GTEST_SKIP() << "no AVX2 and BMI2 in use here";
  std::mt19937 rng(512);
  ExpectHashPathsAgree<Sha384>(rng);
  ExpectHashPathsAgree<Sha512>(rng);
}

}  // namespace
}  // namespace velsor
