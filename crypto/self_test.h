#pragma once
// Small helpers for the components' own known-answer self-tests.

#include <cstdint>
#include <cstring>
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

// One known answer, all in hex; the key size is 4 bits per key digit. For a
// block cipher plain and cipher are one block.
struct CipherKnownAnswer {
  std::string key;
  std::string plain;
  std::string cipher;
};

// For each known answer on one instance of C: Init with a null IV, EncryptECB
// into a buffer and compare, DecryptECB the buffer in place, Burn, compare
// with the plaintext.
template <class C>
bool BlockCipherKnownAnswers(const std::vector<CipherKnownAnswer>& cases) {
  constexpr std::size_t B = C::kBlockBytes;
  C cipher;
  uint8_t buffer[B] = {};
  bool ok = true;
  for (const auto& c : cases) {
    const std::vector<uint8_t> key = HexBytes(c.key);
    const std::vector<uint8_t> plain = HexBytes(c.plain);
    const std::vector<uint8_t> expected = HexBytes(c.cipher);
    if (plain.size() != B || expected.size() != B) return false;
    cipher.Init(key.data(), static_cast<uint32_t>(4 * c.key.size()), nullptr);
    cipher.EncryptECB(plain.data(), buffer);
    ok = ok && std::memcmp(buffer, expected.data(), B) == 0;
    cipher.DecryptECB(buffer, buffer);
    cipher.Burn();
    ok = ok && std::memcmp(buffer, plain.data(), B) == 0;
  }
  return ok;
}

// For each known answer on one instance of C: Init with a null IV, Encrypt
// into a buffer and compare, Reset, Decrypt the buffer in place, Burn,
// compare with the plaintext.
template <class C>
bool StreamCipherKnownAnswers(const std::vector<CipherKnownAnswer>& cases) {
  C cipher;
  bool ok = true;
  for (const auto& c : cases) {
    const std::vector<uint8_t> key = HexBytes(c.key);
    const std::vector<uint8_t> plain = HexBytes(c.plain);
    const std::vector<uint8_t> expected = HexBytes(c.cipher);
    if (plain.size() != expected.size()) return false;
    std::vector<uint8_t> buffer(plain.size());
    const auto size = static_cast<uint32_t>(plain.size());
    cipher.Init(key.data(), static_cast<uint32_t>(4 * c.key.size()), nullptr);
    cipher.Encrypt(plain.data(), buffer.data(), size);
    ok = ok && buffer == expected;
    cipher.Reset();
    cipher.Decrypt(buffer.data(), buffer.data(), size);
    cipher.Burn();
    ok = ok && buffer == plain;
  }
  return ok;
}

}  // namespace velsor::self_test
