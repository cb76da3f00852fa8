// Streamed messages: cut where the stream operations cut, so a message read and
// written in pieces gives the hex text of the whole message, both ways.

#include "message/message_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "crypto/ciphers/blowfish.h"
#include "crypto/ciphers/rc4.h"
#include "crypto/ciphers/rijndael.h"
#include "crypto/hashes/md5.h"
#include "crypto/hashes/sha1.h"
#include "crypto/hashes/sha256.h"
#include "message/hex_text.h"

namespace velsor {
namespace {

void FixedRandom(void* out, std::size_t size) {
  auto* b = static_cast<uint8_t*>(out);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<uint8_t>(0xA0 + i);
}

// A text of the given number of code units, not periodic in any block size.
std::u16string Text(std::size_t units) {
  std::u16string text(units, u'\0');
  uint32_t x = 12345;
  for (auto& u : text) {
    x = x * 1103515245 + 12345;
    u = static_cast<char16_t>(0x20 + ((x >> 16) % 0x3000));
  }
  return text;
}

// The oracle: the framework's stream operation, one call per chunk of
// chunk_bytes (one call for the whole message when it is the real 8 MiB),
// with the key derived as the format describes.
std::string Reference(const std::u16string& text, const char16_t* passphrase, Hash& hash, Cipher& cipher,
                      std::size_t chunk_bytes) {
  const std::size_t iv = dynamic_cast<BlockCipher*>(&cipher)
                             ? static_cast<std::size_t>(dynamic_cast<BlockCipher*>(&cipher)->BlockSize() / 8)
                             : 0;
  std::vector<uint8_t> header(8 + iv);
  FixedRandom(header.data(), header.size());
  std::vector<uint8_t> digest(static_cast<std::size_t>(hash.HashSize() / 8));
  hash.Init();
  hash.Update(header.data(), 8);
  const std::u16string p(passphrase);
  hash.UpdateStr(std::string(p.begin(), p.end()));  // ASCII passphrases only
  hash.Final(digest.data());
  cipher.Init(digest.data(), static_cast<uint32_t>(std::min(cipher.MaxKeySize(), hash.HashSize())),
              iv > 0 ? header.data() + 8 : nullptr);
  if (auto* block = dynamic_cast<BlockCipher*>(&cipher)) block->SetCipherMode(cmCBC);
  const SecretBytes plain_bytes = Utf16LeBytes(text);
  MemoryStream plain(plain_bytes.data(), plain_bytes.size());
  MemoryStream envelope;
  envelope.Write(header.data(), header.size());
  for (int64_t left = plain.Size(); left > 0; left -= static_cast<int64_t>(chunk_bytes)) {
    cipher.EncryptStream(plain, envelope, std::min<int64_t>(left, static_cast<int64_t>(chunk_bytes)));
  }
  cipher.Burn();
  const std::u16string hex = StringToHex(Utf16LeText(envelope.Memory(), static_cast<std::size_t>(envelope.Size())));
  return std::string(hex.begin(), hex.end());
}

// Hands out data in pieces of at most piece elements, as a reader would.
template <typename T, typename Out>
auto Pieces(const T* data, std::size_t size, std::size_t piece) {
  return [data, size, piece, at = std::size_t{0}](Out* out, std::size_t room) mutable {
    const std::size_t n = std::min({room, piece, size - at});
    std::copy_n(data + at, n, out);
    at += n;
    return n;
  };
}

// Streams text in pieces of piece bytes; returns the hex text, the count of
// sink calls and the largest piece the sink received.
std::string EncryptStreamed(const std::u16string& text, Hash& hash, Cipher& cipher, std::size_t chunk_bytes,
                            std::size_t piece, int* calls = nullptr, std::size_t* largest = nullptr) {
  const SecretBytes bytes = Utf16LeBytes(text);
  std::string hex;
  int sinks = 0;
  EncryptMessageStream(
      Pieces<uint8_t, uint8_t>(bytes.data(), bytes.size(), piece), u"pass", hash, cipher, FixedRandom,
      [&](std::string& part, bool last) {
        EXPECT_FALSE(last && hex.size() + part.size() != 2 * (8 + IvBytes(cipher) + bytes.size()));
        hex += part;
        ++sinks;
        if (largest != nullptr) *largest = std::max(*largest, part.size());
      },
      chunk_bytes);
  if (calls != nullptr) *calls = sinks;
  return hex;
}

// Decrypts a hex text given in pieces of piece characters; returns the text.
std::u16string DecryptStreamed(const std::string& hex, Hash& hash, Cipher& cipher, std::size_t chunk_bytes,
                               std::size_t piece) {
  std::vector<uint8_t> plain;
  bool ended = false;
  DecryptMessageStream(
      Pieces<char, char>(hex.data(), hex.size(), piece), u"pass", hash, cipher,
      [&](const uint8_t* bytes, std::size_t size, bool last) {
        EXPECT_FALSE(ended);
        plain.insert(plain.end(), bytes, bytes + size);
        ended = last;
      },
      chunk_bytes);
  EXPECT_TRUE(ended);
  return Utf16LeText(plain.data(), plain.size());
}

struct Pair {
  const char* name;
  Cipher* cipher;
  Hash* hash;
};

TEST(MessageStream, MessagesAroundChunkBoundariesMatchTheStreamOperations) {
  // A lowered chunk size puts the boundaries where a small message crosses them;
  // RC4 (indices restarted at each chunk), a 64-bit and a 128-bit block cipher.
  Rc4 rc4;
  Blowfish blowfish;
  Rijndael rijndael;
  Md5 md5;
  Sha1 sha1;
  Sha256 sha256;
  const Pair pairs[] = {{"RC4", &rc4, &md5}, {"Blowfish", &blowfish, &sha1}, {"Rijndael", &rijndael, &sha256}};
  constexpr std::size_t kChunk = 4096;
  // Sizes in bytes: one code unit short of a chunk, exact, one past, past two boundaries.
  for (const std::size_t bytes : {kChunk - 2, kChunk, kChunk + 2, 2 * kChunk + 2, 2 * kChunk + 10}) {
    const std::u16string text = Text(bytes / 2);
    for (const auto& p : pairs) {
      SCOPED_TRACE(std::string(p.name) + " " + std::to_string(bytes));
      const std::string expected = Reference(text, u"pass", *p.hash, *p.cipher, kChunk);
      for (const std::size_t piece : {std::size_t{1} << 20, std::size_t{333}}) {
        int calls = 0;
        EXPECT_EQ(EncryptStreamed(text, *p.hash, *p.cipher, kChunk, piece, &calls), expected);
        EXPECT_EQ(calls, 1);  // a short message reaches the sink whole, whatever its chunks
        EXPECT_EQ(DecryptStreamed(expected, *p.hash, *p.cipher, kChunk, piece), text);
      }
      EXPECT_FALSE(p.cipher->Initialized());
      // CBC does not depend on where the chunks fall, so the whole message agrees too.
      if (p.cipher != &rc4 || bytes <= kChunk) {
        EXPECT_EQ(EncryptMessageToHex(text, u"pass", *p.hash, *p.cipher, FixedRandom), expected);
      }
    }
  }
}

TEST(MessageStream, AMessageAcrossTheRealBoundaryMatchesTheWholeMessage) {
  // 8 MiB + 2 bytes with RC4, where the cut changes the ciphertext: the tests
  // above cover the other sizes and ciphers with a lowered chunk size.
  Rc4 rc4;
  Md5 md5;
  const std::u16string text = Text(kMessageChunkBytes / 2 + 1);
  const std::string expected = Reference(text, u"pass", md5, rc4, text.size() * 2);
  std::size_t largest = 0;
  EXPECT_EQ(EncryptStreamed(text, md5, rc4, kMessageChunkBytes, 999999, nullptr, &largest), expected);
  EXPECT_LE(largest, std::size_t{1} << 20);  // the hex text leaves in pieces far smaller than a chunk
  EXPECT_EQ(EncryptMessageToHex(text, u"pass", md5, rc4, FixedRandom), expected);
  EXPECT_TRUE(DecryptStreamed(expected, md5, rc4, kMessageChunkBytes, 999983) == text);
  EXPECT_TRUE(DecryptMessage(std::u16string(expected.begin(), expected.end()), u"pass", md5, rc4).view() == text);
}

TEST(MessageStream, WhitespaceAcrossAChunkBoundaryIsSkipped) {
  Rc4 rc4;
  Md5 md5;
  constexpr std::size_t kChunk = 1024;
  const std::u16string text = Text(kChunk + 7);  // two chunks and a rest
  const std::string hex = Reference(text, u"pass", md5, rc4, kChunk);
  // Mail-style: lowercase, folded at 64 with CR LF, and blanks on both sides
  // of the first chunk's last digit.
  const std::size_t boundary = 2 * (8 + kChunk);
  std::string folded;
  for (std::size_t i = 0; i < hex.size(); ++i) {
    if (i == boundary - 1 || i == boundary) folded += " \t\n ";
    if (i % 64 == 0 && i > 0) folded += "\r\n";
    folded += static_cast<char>(std::tolower(static_cast<unsigned char>(hex[i])));
  }
  for (const std::size_t piece : {std::size_t{7}, boundary, boundary + 3, folded.size()}) {
    EXPECT_EQ(DecryptStreamed(folded, md5, rc4, kChunk, piece), text) << piece;
  }
}

TEST(MessageStream, AnInvalidDigitFarPastTheFirstChunkEndsTheRunThere) {
  Rc4 rc4;
  Md5 md5;
  constexpr std::size_t kChunk = 1024;
  const std::u16string text = Text(3 * kChunk);  // three chunks
  std::string hex = Reference(text, u"pass", md5, rc4, kChunk);
  const std::size_t position = 2 * (8 + 2 * kChunk) + 100;  // inside the third chunk
  hex[position - 1] = 'G';
  std::size_t delivered = 0;
  bool last_seen = false;
  try {
    DecryptMessageStream(
        Pieces<char, char>(hex.data(), hex.size(), hex.size()), u"pass", md5, rc4,
        [&](const uint8_t*, std::size_t size, bool last) {
          delivered += size;
          last_seen = last_seen || last;
        },
        kChunk);
    ADD_FAILURE() << "decrypted";
  } catch (const MessageError& e) {
    EXPECT_EQ(std::string(e.what()), "Not a hex text: 'G' at position " + std::to_string(position));
  }
  EXPECT_EQ(delivered, 2 * kChunk);  // the two complete chunks before it
  EXPECT_FALSE(last_seen);
  EXPECT_FALSE(rc4.Initialized());
}

TEST(MessageStream, StreamedDecryptionGivesTheSameErrorsAsTheWholeOne) {
  Rijndael rijndael;
  Sha1 sha1;
  struct Case {
    std::string hex;
    std::string error;
  };
  const Case cases[] = {
      {"", "The hex text is empty"},
      {" \r\n", "The hex text is empty"},
      {std::string(48, '0'), "Not a message for Rijndael: the hex text holds 24 bytes, a message needs at least 26"},
      {std::string(20, '0'), "Not a message for Rijndael: the hex text holds 10 bytes, a message needs at least 26"},
      {std::string(47, '0'), "The hex text has 47 digits; a message has a multiple of 4: is part of it missing?"},
      {std::string(16, '0') + "G", "Not a hex text: 'G' at position 17"},
  };
  for (const auto& c : cases) {
    for (const bool streamed : {false, true}) {
      try {
        if (streamed) {
          DecryptStreamed(c.hex, sha1, rijndael, 4096, 5);
        } else {
          DecryptMessage(std::u16string(c.hex.begin(), c.hex.end()), u"pass", sha1, rijndael);
        }
        ADD_FAILURE() << c.hex;
      } catch (const MessageError& e) {
        EXPECT_EQ(std::string(e.what()), c.error) << streamed;
      }
    }
  }
}

TEST(MessageStream, EncryptionRefusesAnEmptyOrOddPlaintext) {
  Rc4 rc4;
  Md5 md5;
  for (const std::string& input : {std::string(), std::string("abc")}) {
    bool wrote = false;
    EXPECT_THROW(EncryptMessageStream(Pieces<char, uint8_t>(input.data(), input.size(), input.size()), u"pass", md5,
                                      rc4, FixedRandom, [&](std::string&, bool) { wrote = true; }),
                 MessageError);
    EXPECT_FALSE(wrote);
  }
}

}  // namespace
}  // namespace velsor
