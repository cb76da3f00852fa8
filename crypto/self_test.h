#pragma once
// Small helpers for the components' own known-answer self-tests.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velsor::self_test {

// The bytes of a hexadecimal text ("00ff1a" gives 00 FF 1A); either case.
inline std::vector<uint8_t> HexBytes(const std::string& hex) {
  auto nibble = [](char c) -> uint8_t {
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
    return static_cast<uint8_t>(c - 'A' + 10);
  };
  std::vector<uint8_t> bytes(hex.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<uint8_t>((nibble(hex[2 * i]) << 4) | nibble(hex[2 * i + 1]));
  }
  return bytes;
}

// Hashes each message on one instance of H (Init, UpdateStr, Final) and
// compares with the expected digest in hex.
template <class H>
bool HashKnownAnswers(const std::vector<std::pair<std::string, std::string>>& cases) {
  H hash;
  for (const auto& [message, expected_hex] : cases) {
    const std::vector<uint8_t> expected = HexBytes(expected_hex);
    std::vector<uint8_t> digest(static_cast<std::size_t>(H::GetHashSize() / 8));
    if (digest.size() != expected.size()) return false;
    hash.Init();
    hash.UpdateStr(message);
    hash.Final(digest.data());
    if (digest != expected) return false;
  }
  return true;
}

}  // namespace velsor::self_test
