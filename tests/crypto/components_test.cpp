// The framework's own rules: ownership, the key size check, key set-up from a
// string, chunked stream processing with progress, and the hash helpers.

#include "crypto/components.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "crypto/ciphers/tea.h"
#include "crypto/hashes/md5.h"
#include "crypto/hashes/sha1.h"
#include "crypto/hashes/sha256.h"
#include "support/hex.h"
#include "support/recording_cipher.h"

namespace velsor {
namespace {

using test::Hex;
using test::RecordingCipher;

// A stream that delivers (offset * 13) mod 251 without storing anything, and
// counts its reads; and one that only counts what is written to it.
class PatternStream final : public Stream {
 public:
  explicit PatternStream(int64_t size) : size_(size) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    ++reads;
    const auto n = static_cast<std::size_t>(std::min<int64_t>(static_cast<int64_t>(count), size_ - position_));
    auto* out = static_cast<uint8_t*>(buffer);
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>((position_ + static_cast<int64_t>(i)) * 13 % 251);
    position_ += static_cast<int64_t>(n);
    return n;
  }
  void Write(const void*, std::size_t) override { ADD_FAILURE() << "write to an input stream"; }
  int64_t Position() const override { return position_; }
  void SetPosition(int64_t p) override { position_ = p; }
  int64_t Size() const override { return size_; }
  int reads = 0;

 private:
  int64_t size_;
  int64_t position_ = 0;
};

class CountingSink final : public Stream {
 public:
  std::size_t Read(void*, std::size_t) override { return 0; }
  void Write(const void*, std::size_t count) override {
    written += static_cast<int64_t>(count);
    ++writes;
  }
  int64_t Position() const override { return written; }
  void SetPosition(int64_t) override {}
  int64_t Size() const override { return written; }
  int64_t written = 0;
  int writes = 0;
};

// Records what reaches Update; HashSize is settable.
class RecordingHash final : public HashMetadata<RecordingHash, Hash> {
 public:
  using HashMetadata::HashMetadata;
  static constexpr HashIdentity kIdentity{-1, u"", 128};
  int32_t HashSize() const override { return bits; }
  void Init() override { fInitialized = true; }
  void Burn() override { fInitialized = false; }
  void Update(const void* Buffer, uint32_t Size) override {
    sizes.push_back(Size);
    const auto* b = static_cast<const uint8_t*>(Buffer);
    bytes.insert(bytes.end(), b, b + Size);
  }
  void Final(void* Digest) override {
    std::memset(Digest, 0xA5, static_cast<std::size_t>(bits / 8));
    fInitialized = false;
  }
  int32_t bits = 128;
  std::vector<uint32_t> sizes;
  std::vector<uint8_t> bytes;
};

// A hash class of 42 bits, whose digest no cipher accepts as a key size.
class Hash42 final : public HashMetadata<Hash42, Hash> {
 public:
  using HashMetadata::HashMetadata;
  static constexpr HashIdentity kIdentity{-1, u"", 42};
  void Init() override {}
  void Update(const void*, uint32_t) override {}
  void Final(void* Digest) override { std::memset(Digest, 0, 5); }
  void Burn() override {}
};

class Destroyed final : public Component {
 public:
  Destroyed(Component* owner, std::vector<int>* log, int id) : Component(owner), log_(log), id_(id) {}
  ~Destroyed() override { log_->push_back(id_); }

 private:
  std::vector<int>* log_;
  int id_;
};

TEST(Component, OwnerListsAndDestroysItsComponents) {
  std::vector<int> destroyed;
  auto owner = std::make_unique<Component>();
  auto* first = new Destroyed(owner.get(), &destroyed, 1);
  auto* second = new Destroyed(owner.get(), &destroyed, 2);
  EXPECT_EQ(owner->Components(), (std::vector<Component*>{first, second}));
  EXPECT_EQ(first->Owner(), owner.get());

  delete first;  // an owned component that goes first leaves the list
  EXPECT_EQ(owner->Components(), std::vector<Component*>{second});
  owner.reset();
  EXPECT_EQ(destroyed, (std::vector<int>{1, 2}));
}

TEST(Cipher, KeySizeCheck) {
  struct Case {
    uint32_t bits;
    bool accepted;
  };
  const Case cases[] = {{4, true}, {6, false}, {0, false}, {60, true}, {64, true}, {68, false}, {0xFFFFFFFC, false}};
  RecordingCipher cipher;
  const uint8_t key[16] = {};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bits);
    if (c.accepted) {
      cipher.Init(key, c.bits, nullptr);
      EXPECT_TRUE(cipher.Initialized());
    } else {
      try {
        cipher.Init(key, c.bits, nullptr);
        ADD_FAILURE() << "accepted";
      } catch (const CipherError& e) {
        EXPECT_STREQ(e.what(), "Invalid key size");
      }
      EXPECT_FALSE(cipher.Initialized());
    }
  }
}

TEST(Cipher, SecondInitBurnsTheFirstKey) {
  RecordingCipher cipher;
  const uint8_t key[8] = {};
  cipher.Init(key, 64, nullptr);
  const int burns = cipher.burns;
  cipher.Init(key, 64, nullptr);
  EXPECT_EQ(cipher.burns, burns + 1);
  EXPECT_THROW(cipher.Init(key, 6, nullptr), CipherError);
  EXPECT_FALSE(cipher.Initialized());
}

TEST(Cipher, InitStrKeysWithTheDigestCutToTheSmallerSize) {
  RecordingCipher cipher;
  cipher.InitStr("abc", HashClass::Of<Md5>());  // 128-bit digest, 64-bit cipher: first 8 bytes
  EXPECT_EQ(cipher.last_key_bits, 64U);
  EXPECT_EQ(Hex(cipher.last_key), "900150983cd24fb0");  // RFC 1321 MD5("abc")

  cipher.max_key_bits = 256;  // shorter hash: the whole digest
  cipher.InitUnicodeStr(u"abc", HashClass::Of<Md5>());
  EXPECT_EQ(cipher.last_key_bits, 128U);
  EXPECT_EQ(Hex(cipher.last_key), "ce1473cf80c6b3fda8e3dfc006adc315");  // hashlib MD5 of 61 00 62 00 63 00
  EXPECT_TRUE(cipher.Components().empty());                             // the temporary hash is gone
}

TEST(Cipher, InitStrReportsEveryFailureAsDigestAllocation) {
  RecordingCipher cipher;
  cipher.max_key_bits = 256;
  try {
    cipher.InitStr("abc", HashClass::Of<Hash42>());  // Init refuses 42 bits
    ADD_FAILURE() << "accepted";
  } catch (const CipherError& e) {
    EXPECT_STREQ(e.what(), "Unable to allocate sufficient memory for hash digest");
  }
  EXPECT_FALSE(cipher.Initialized());
}

TEST(CipherStream, SmallSizeIsOneCallWithOneReport) {
  RecordingCipher cipher;
  std::vector<int32_t> reports;
  cipher.SetOnProgressEvent([&](Component* sender, int32_t p) {
    EXPECT_EQ(sender, &cipher);
    reports.push_back(p);
  });
  const std::string text(100, 'x');
  MemoryStream in(text.data(), text.size());
  MemoryStream out;
  EXPECT_EQ(cipher.EncryptStream(in, out, 100), 100U);
  EXPECT_EQ(cipher.calls, std::vector<uint32_t>{100});
  EXPECT_EQ(reports, std::vector<int32_t>{100});
  ASSERT_EQ(out.Size(), 100);
  EXPECT_EQ(out.Memory()[0], 'x' ^ 0x5A);
}

TEST(CipherStream, LargeSizesReportAfterEachWholeChunk) {
  constexpr int64_t kChunk = 8388608;
  struct Case {
    int64_t size;
    std::vector<int32_t> reports;
    std::size_t calls;
  };
  const Case cases[] = {
      {kChunk, {100}, 1},
      {8 * kChunk + 5, {12, 25, 38, 50, 62, 75, 88, 100}, 9},  // ties go to the even neighbour
      {3 * kChunk + 1, {33, 67, 100}, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    RecordingCipher cipher;
    std::vector<int32_t> reports;
    cipher.SetOnProgressEvent([&](Component*, int32_t p) { reports.push_back(p); });
    PatternStream in(c.size);
    CountingSink out;
    EXPECT_EQ(cipher.DecryptStream(in, out, c.size), static_cast<uint32_t>(c.size));
    EXPECT_EQ(reports, c.reports);
    EXPECT_EQ(cipher.calls.size(), c.calls);
    EXPECT_EQ(cipher.calls.front(), static_cast<uint32_t>(kChunk));
    EXPECT_EQ(out.written, c.size);
  }
}

TEST(CipherStream, SizeZeroFailsBeforeReading) {
  RecordingCipher cipher;
  PatternStream in(10);
  CountingSink out;
  EXPECT_THROW(cipher.EncryptStream(in, out, 0), Exception);
  EXPECT_THROW(cipher.DecryptStream(in, out, -1), Exception);
  try {
    cipher.EncryptStream(in, out, 0);
  } catch (const CipherError& e) {
    EXPECT_STREQ(e.what(), "Stream size must be positive");
  }
  EXPECT_EQ(in.reads, 0);
  EXPECT_EQ(out.writes, 0);
  EXPECT_TRUE(cipher.calls.empty());
}

TEST(CipherStream, ShortInputCountsWhatWasRead) {
  RecordingCipher cipher;
  PatternStream in(10);
  MemoryStream out;
  EXPECT_EQ(cipher.EncryptStream(in, out, 100), 10U);
  EXPECT_EQ(out.Size(), 10);
  EXPECT_EQ(cipher.calls, std::vector<uint32_t>{10});
}

TEST(CipherStream, CancelStopsAfterTheChunkWithoutReport) {
  constexpr int64_t kChunk = 8388608;
  RecordingCipher cipher;
  int reports = 0;
  cipher.SetOnProgressEvent([&](Component*, int32_t) { ++reports; });
  cipher.SetCancelByCallingThread(true);
  PatternStream in(3 * kChunk + 3);
  CountingSink out;
  // One whole chunk, then the remainder step as in any call.
  EXPECT_EQ(cipher.EncryptStream(in, out, 3 * kChunk + 3), static_cast<uint32_t>(kChunk + 3));
  EXPECT_EQ(reports, 0);
  EXPECT_TRUE(cipher.CancelByCallingThread());
}

TEST(CipherStream, PartialStreamsTransformTheStartOfTheMemoryInPlace) {
  RecordingCipher cipher;
  std::vector<uint8_t> data(20000, 0x11);
  MemoryStream stream(data.data(), data.size());
  stream.SetPosition(123);
  EXPECT_EQ(cipher.PartialEncryptStream(stream, 20000), 16384U);
  EXPECT_EQ(stream.Memory()[0], 0x11 ^ 0x5A);
  EXPECT_EQ(stream.Memory()[16383], 0x11 ^ 0x5A);
  EXPECT_EQ(stream.Memory()[16384], 0x11);
  EXPECT_EQ(stream.Position(), 123);
  EXPECT_EQ(stream.Size(), 20000);
  EXPECT_EQ(cipher.PartialDecryptStream(stream, 7), 7U);
  EXPECT_EQ(stream.Memory()[6], 0x11);
}

TEST(HashHelpers, FeedUpdateWithTheRightBytes) {
  RecordingHash hash;
  hash.Init();
  hash.UpdateStr("");
  EXPECT_EQ(hash.sizes, std::vector<uint32_t>{0});
  hash.UpdateUnicodeStr(u"abc");
  EXPECT_EQ(Hex(hash.bytes), "610062006300");

  RecordingHash streamed;
  streamed.Init();
  PatternStream in(2 * 8192 + 5);
  streamed.UpdateStream(in, 2 * 8192 + 5);
  EXPECT_EQ(streamed.sizes, (std::vector<uint32_t>{8192, 8192, 5}));
  EXPECT_EQ(streamed.bytes[8193], static_cast<uint8_t>(8193 * 13 % 251));
}

// Every way of adding nothing leaves the digest of the empty message, without
// handing a null pointer to memcpy (the sanitize preset fails on that).
// Empty-message digests: RFC 1321 (MD5), FIPS 180-2 via Python hashlib (SHA1, SHA256).
TEST(HashHelpers, ZeroLengthUpdatesAreNoOps) {
  const HashClass classes[] = {HashClass::Of<Md5>(), HashClass::Of<Sha1>(), HashClass::Of<Sha256>()};
  const std::string empty_digests[] = {"d41d8cd98f00b204e9800998ecf8427e", "da39a3ee5e6b4b0d3255bfef95601890afd80709",
                                       "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"};
  for (std::size_t k = 0; k < std::size(classes); ++k) {
    SCOPED_TRACE(empty_digests[k]);
    const std::unique_ptr<Hash> hash = classes[k].Create();
    std::vector<uint8_t> digest(static_cast<std::size_t>(hash->HashSize() / 8));
    hash->Init();
    hash->UpdateUnicodeStr(u"");
    hash->UpdateStr("");
    hash->Update(nullptr, 0);
    hash->Final(digest.data());
    EXPECT_EQ(Hex(digest), empty_digests[k]);
  }
}

TEST(Cipher, EmptyKeyStringsKeyWithTheEmptyDigest) {
  RecordingCipher cipher;
  cipher.InitUnicodeStr(u"", HashClass::Of<Md5>());  // MD5 of no bytes, RFC 1321
  EXPECT_EQ(Hex(cipher.last_key), "d41d8cd98f00b204");
  cipher.InitStr("", HashClass::Of<Md5>());
  EXPECT_EQ(Hex(cipher.last_key), "d41d8cd98f00b204");
}

TEST(HashClass, ReachesClassOperationsWithoutAnInstance) {
  const HashClass md5 = HashClass::Of<Md5>();
  EXPECT_EQ(md5.GetId(), 16);
  EXPECT_EQ(md5.GetAlgorithm(), u"MD5");
  EXPECT_EQ(md5.GetHashSize(), 128);
  EXPECT_TRUE(md5.SelfTest());
  Component owner;
  const std::unique_ptr<Hash> created = md5.Create(&owner);
  EXPECT_EQ(owner.Components(), std::vector<Component*>{created.get()});
  EXPECT_EQ(created->Algorithm(), u"MD5");
  EXPECT_EQ(md5.Create()->Owner(), nullptr);
}

// The base classes cannot be instantiated (every hook a component must
// supply is pure); their class-level defaults stay reachable.
static_assert(std::is_abstract_v<Hash> && std::is_abstract_v<Cipher> && std::is_abstract_v<BlockCipher>);

TEST(BaseClasses, ReportTheDefaults) {
  EXPECT_EQ(Hash::GetId(), -1);
  EXPECT_EQ(Hash::GetAlgorithm(), u"");
  EXPECT_EQ(Hash::GetHashSize(), -1);
  EXPECT_FALSE(Hash::SelfTest());
  EXPECT_EQ(Cipher::GetId(), -1);
  EXPECT_EQ(Cipher::GetMaxKeySize(), -1);
  EXPECT_FALSE(Cipher::SelfTest());
  EXPECT_EQ(BlockCipher::GetBlockSize(), -1);
  EXPECT_EQ(Tea().CipherMode(), cmCBC);
  RecordingCipher cipher;
  cipher.max_key_bits = -1;
  const uint8_t key[1] = {};
  EXPECT_THROW(cipher.Init(key, 8, nullptr), CipherError);  // no size fits a cipher of -1 bits
}

TEST(XorBuffer, XorsTheFirstCountBytes) {
  uint8_t a[4] = {0x0F, 0xF0, 0xAA, 0x55};
  const uint8_t b[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  XorBuffer(a, b, 3);
  EXPECT_EQ(Hex(a, 4), "f00f5555");
}

}  // namespace
}  // namespace velsor
