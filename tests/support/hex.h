#pragma once
// Test helpers: hex bytes both ways.

#include <cstdint>
#include <string>
#include <vector>

namespace velsor::test {

inline std::vector<uint8_t> Bytes(const std::string& hex) {
  std::string digits;
  for (char c : hex) {
    if (c != ' ') digits.push_back(c);
  }
  std::vector<uint8_t> out(digits.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<uint8_t>(std::stoul(digits.substr(2 * i, 2), nullptr, 16));
  return out;
}

inline std::string Hex(const uint8_t* p, std::size_t n) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (std::size_t i = 0; i < n; ++i) {
    s.push_back(digits[p[i] >> 4]);
    s.push_back(digits[p[i] & 15]);
  }
  return s;
}

inline std::string Hex(const std::vector<uint8_t>& v) { return Hex(v.data(), v.size()); }

inline std::vector<uint8_t> Ascii(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

}  // namespace velsor::test
