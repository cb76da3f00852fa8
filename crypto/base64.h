#pragma once
// Base64 with the standard alphabet and "=" padding. The encoder is plain
// RFC 4648; the decoder is lenient in fixed ways: only whole quartets are
// read, a character outside the alphabet keeps the value its position had in
// the previous quartet, "=" takes part in the arithmetic as 255, and a padded
// quartet does not end decoding.

#include <cstddef>
#include <cstdint>
#include <string>

namespace velsor {

// Writes (n + 2) / 3 * 4 characters to out and returns that count.
int32_t Base64EncodeBytes(const void* in, int32_t n, char* out);
// Reads the first m / 4 * 4 characters; out must hold m / 4 * 3 bytes.
// Returns the number of bytes written.
int32_t Base64DecodeBytes(const char* in, int32_t m, void* out);

// The Base64 text of size bytes.
std::string Base64EncodeText(const void* data, std::size_t size);

std::string Base64EncodeAnsi(const std::string& S);
std::string Base64DecodeAnsi(const std::string& S);
// The Base64 text of the code units' bytes, low byte first.
std::u16string Base64EncodeUnicode(const std::u16string& S);
// The decoded bytes taken in pairs as code units; an odd last byte is dropped.
std::u16string Base64DecodeUnicode(const std::u16string& S);

}  // namespace velsor
