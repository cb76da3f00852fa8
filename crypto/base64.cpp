#include "crypto/base64.h"

#include <array>

#include "crypto/bytes.h"

namespace velsor {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr uint8_t kPad = 255;      // the value "=" takes in the decoder's arithmetic
constexpr uint8_t kForeign = 254;  // not in the alphabet: the position keeps its old value

constexpr std::array<uint8_t, 256> MakeDecodeTable() {
  std::array<uint8_t, 256> table{};
  for (auto& v : table) v = kForeign;
  for (uint8_t i = 0; i < 64; ++i) table[static_cast<uint8_t>(kAlphabet[i])] = i;
  table['='] = kPad;
  return table;
}
constexpr std::array<uint8_t, 256> kDecode = MakeDecodeTable();

}  // namespace

int32_t Base64EncodeBytes(const void* in, int32_t n, char* out) {
  if (n <= 0) return 0;
  const uint8_t* b = static_cast<const uint8_t*>(in);
  int32_t o = 0;
  int32_t i = 0;
  for (; i + 3 <= n; i += 3) {
    out[o++] = kAlphabet[b[i] >> 2];
    out[o++] = kAlphabet[((b[i] & 3) << 4) | (b[i + 1] >> 4)];
    out[o++] = kAlphabet[((b[i + 1] & 15) << 2) | (b[i + 2] >> 6)];
    out[o++] = kAlphabet[b[i + 2] & 63];
  }
  if (n - i == 1) {
    out[o++] = kAlphabet[b[i] >> 2];
    out[o++] = kAlphabet[(b[i] & 3) << 4];
    out[o++] = '=';
    out[o++] = '=';
  } else if (n - i == 2) {
    out[o++] = kAlphabet[b[i] >> 2];
    out[o++] = kAlphabet[((b[i] & 3) << 4) | (b[i + 1] >> 4)];
    out[o++] = kAlphabet[(b[i + 1] & 15) << 2];
    out[o++] = '=';
  }
  return o;
}

int32_t Base64DecodeBytes(const char* in, int32_t m, void* out) {
  if (m / 4 <= 0) return 0;
  uint8_t* o = static_cast<uint8_t*>(out);
  int32_t written = 0;
  std::array<uint8_t, 4> s{};  // lives across quartets; zero before the first one
  for (int32_t q = 0; q < m / 4; ++q) {
    for (int k = 0; k < 4; ++k) {
      const uint8_t v = kDecode[static_cast<uint8_t>(in[4 * q + k])];
      if (v != kForeign) s[k] = v;
    }
    o[written++] = static_cast<uint8_t>((s[0] << 2) | (s[1] >> 4));
    if (s[2] == kPad) continue;
    o[written++] = static_cast<uint8_t>((s[1] << 4) | (s[2] >> 2));
    if (s[3] == kPad) continue;
    o[written++] = static_cast<uint8_t>((s[2] << 6) | s[3]);
  }
  return written;
}

std::string Base64EncodeText(const void* data, std::size_t size) {
  std::string out((size + 2) / 3 * 4, '\0');
  Base64EncodeBytes(data, static_cast<int32_t>(size), out.data());
  return out;
}

std::string Base64EncodeAnsi(const std::string& S) { return Base64EncodeText(S.data(), S.size()); }

std::string Base64DecodeAnsi(const std::string& S) {
  std::string out(S.size() / 4 * 3, '\0');
  out.resize(static_cast<std::size_t>(Base64DecodeBytes(S.data(), static_cast<int32_t>(S.size()), out.data())));
  return out;
}

std::u16string Base64EncodeUnicode(const std::u16string& S) {
  const SecretBytes bytes = Utf16LeBytes(S);
  const std::string text = Base64EncodeText(bytes.data(), bytes.size());
  return std::u16string(text.begin(), text.end());
}

std::u16string Base64DecodeUnicode(const std::u16string& S) {
  // Base64 text is ASCII; any other character cannot be in the alphabet, so
  // it narrows to a byte that is not either.
  std::string narrow(S.size(), '?');
  for (std::size_t i = 0; i < S.size(); ++i) {
    if (S[i] < 0x80) narrow[i] = static_cast<char>(S[i]);
  }
  SecretBytes bytes(narrow.size() / 4 * 3);
  const int32_t n = Base64DecodeBytes(narrow.data(), static_cast<int32_t>(narrow.size()), bytes.data());
  return Utf16LeText(bytes.data(), static_cast<std::size_t>(n));
}

}  // namespace velsor
