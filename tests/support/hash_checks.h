#pragma once
// Checks that every hash shares: digests through the component interface,
// splitting a message into Updates, use after Final.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypto/components.h"
#include "support/hex.h"

namespace velsor::test {

inline std::string DigestHex(Hash& hash, const std::string& message) {
  std::vector<uint8_t> digest(static_cast<std::size_t>(hash.HashSize() / 8));
  hash.Init();
  hash.Update(message.data(), static_cast<uint32_t>(message.size()));
  hash.Final(digest.data());
  return Hex(digest);
}

// The digest of a message fed as pieces of the given sizes (the rest in one piece).
inline std::string DigestInPieces(Hash& hash, const std::string& message, const std::vector<std::size_t>& pieces) {
  std::vector<uint8_t> digest(static_cast<std::size_t>(hash.HashSize() / 8));
  hash.Init();
  std::size_t at = 0;
  for (std::size_t piece : pieces) {
    hash.Update(message.data() + at, static_cast<uint32_t>(piece));
    at += piece;
  }
  hash.Update(message.data() + at, static_cast<uint32_t>(message.size() - at));
  hash.Final(digest.data());
  return Hex(digest);
}

// One byte at a time, pieces straddling block boundaries, a piece ending
// exactly on one, empty Updates: all equal one Update of the whole message.
inline void ExpectSplitsAgree(Hash& hash) {
  std::string message;
  for (int i = 0; i < 777; ++i) message.push_back(static_cast<char>(i * 7 + 3));
  const std::string whole = DigestHex(hash, message);
  const std::vector<std::vector<std::size_t>> splits = {
      std::vector<std::size_t>(message.size(), 1),
      {0, 63, 2, 0, 129},
      {64, 64, 128},
      {1, 127, 0, 111, 17},
      {200, 300},
  };
  for (const auto& split : splits) EXPECT_EQ(DigestInPieces(hash, message, split), whole) << hash.HashSize();
}

inline void ExpectUseAfterFinalRaises(Hash& hash) {
  std::vector<uint8_t> digest(static_cast<std::size_t>(hash.HashSize() / 8));
  hash.Init();
  hash.Final(digest.data());
  EXPECT_FALSE(hash.Initialized());
  try {
    hash.Update("x", 1);
    ADD_FAILURE() << "Update after Final did not raise";
  } catch (const HashError& e) {
    EXPECT_STREQ(e.what(), "Hash not initialized");
  }
  EXPECT_THROW(hash.Final(digest.data()), HashError);
}

}  // namespace velsor::test
