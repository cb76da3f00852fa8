#include "cli/utf_text.h"

#include <algorithm>
#include <cstdint>

#include "cli/cli_error.h"
#include "crypto/bytes.h"
#include "message/ascii_simd.h"
#include "message/utf8.h"

namespace velsor::cli {

namespace {

// Appends the UTF-16 of UTF-8 bytes to out; false at the first malformed sequence.
template <class Text>
bool AppendUtf8AsUtf16(std::string_view bytes, Text& out) {
  out.reserve(out.size() + bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<uint8_t>(bytes[i]);
    const Utf8Lead ascii{lead, 0, 0};
    const std::optional<Utf8Lead> sequence = lead < 0x80 ? ascii : Utf8LeadOf(lead);
    if (!sequence) return false;
    uint32_t cp = sequence->bits;
    const std::size_t extra = sequence->trail;
    if (extra > 0 && i + extra >= bytes.size()) return false;  // truncated sequence
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<uint8_t>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (next & 0x3Fu);
    }
    if (!Utf8Allows(cp, *sequence)) return false;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += extra + 1;
  }
  return true;
}

}  // namespace

std::optional<std::u16string> Utf8ToUtf16(const std::string& bytes) {
  std::u16string out;
  if (!AppendUtf8AsUtf16(bytes, out)) return std::nullopt;
  return out;
}

bool Utf8ToUtf16(std::string_view bytes, SecretText& out) {
  out.clear();
  return AppendUtf8AsUtf16(bytes, out);
}

std::string Utf16ToUtf8(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;  // unpaired surrogate
    }
    char bytes[4];
    out.append(bytes, PutUtf8(cp, bytes));
  }
  return out;
}

std::u16string ToCrLf(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) out.push_back(u'\r');
    out.push_back(text[i]);
  }
  return out;
}

std::u16string ToLf(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

std::optional<std::u16string> Utf16LeBytesToText(const std::string& bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  return Utf16LeText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string TextToUtf16LeBytes(const std::u16string& text) {
  std::string bytes(text.size() * 2, '\0');
  StoreUtf16Le(text, reinterpret_cast<uint8_t*>(bytes.data()));
  return bytes;
}

}  // namespace velsor::cli

namespace velsor::cli {

void Utf8ToUtf16LeStream::Fail(std::size_t at) const {
  throw Failure("the input is not valid UTF-8 at byte offset " + std::to_string(fOffset + at) +
                " (use --utf16 for raw UTF-16LE)");
}

std::size_t Utf8ToUtf16LeStream::Convert(std::string_view& input, uint8_t* out, std::size_t size, bool at_end) {
  std::size_t written = 0;
  if (fCarry != 0) {
    if (size < 2) return 0;
    store_le16(out, fCarry);
    fCarry = 0;
    written = 2;
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(input.data());
  const std::size_t count = input.size();
  std::size_t i = 0;
  while (i < count && written + 2 <= size) {
    const uint8_t lead = bytes[i];
    if (lead < 0x80 && lead != '\n') {
      // A run of ASCII other than LF, the common case of a text, needs no decoding.
      const std::size_t n =
          WidenAscii(bytes + i, std::min(count - i, (size - written) / 2), '\n', out + written, fLevel);
      written += 2 * n;
      i += n;
      fLastCr = bytes[i - 1] == '\r';
      continue;
    }
    char16_t units[2];
    std::size_t n = 1;
    std::size_t length = 1;
    if (lead == '\n') {
      if (fLastCr) {
        units[0] = u'\n';
      } else {
        units[0] = u'\r';
        units[1] = u'\n';
        n = 2;
      }
    } else {
      const std::optional<Utf8Lead> sequence = Utf8LeadOf(lead);
      if (!sequence) Fail(i);
      uint32_t cp = sequence->bits;
      const std::size_t extra = sequence->trail;
      for (std::size_t k = 1; k <= extra; ++k) {
        if (i + k >= count) {
          if (!at_end) {  // the rest comes with the next input
            fOffset += i;
            input.remove_prefix(i);
            return written;
          }
          Fail(i);
        }
        const uint8_t next = bytes[i + k];
        if ((next & 0xC0) != 0x80) Fail(i);
        cp = (cp << 6) | (next & 0x3Fu);
      }
      if (!Utf8Allows(cp, *sequence)) Fail(i);
      length = extra + 1;
      if (cp >= 0x10000) {
        cp -= 0x10000;
        units[0] = static_cast<char16_t>(0xD800 + (cp >> 10));
        units[1] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        n = 2;
      } else {
        units[0] = static_cast<char16_t>(cp);
      }
    }
    store_le16(out + written, units[0]);
    written += 2;
    if (n == 2) {
      if (written + 2 <= size) {
        store_le16(out + written, units[1]);
        written += 2;
      } else {
        fCarry = units[1];
      }
    }
    fLastCr = false;
    i += length;
  }
  fOffset += i;
  input.remove_prefix(i);
  return written;
}

std::size_t Utf16LeToUtf8Stream::Convert(const uint8_t* bytes, std::size_t size, bool last, char* out) {
  const std::size_t units = size / 2;
  std::size_t i = 0;
  std::size_t n = 0;
  auto unit_at = [&](std::size_t k) { return static_cast<char16_t>(load_le16(bytes + 2 * k)); };
  auto is_low = [](char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; };
  if (fHeld != 0 && units > 0) {
    const char16_t held = fHeld;
    fHeld = 0;
    const char16_t next = unit_at(0);
    if (held == u'\r') {
      if (next != u'\n') out[n++] = '\r';
    } else if (is_low(next)) {
      n += PutUtf8(0x10000 + ((held - 0xD800u) << 10) + (next - 0xDC00u), out + n);
      i = 1;
    } else {
      n += PutUtf8(0xFFFD, out + n);
    }
  }
  while (i < units) {
    const char16_t u = unit_at(i);
    if (u < 0x80 && u != u'\r') {
      // A run of ASCII other than CR narrows to its bytes.
      const std::size_t run = NarrowAscii(bytes + 2 * i, units - i, u'\r', out + n, fLevel);
      n += run;
      i += run;
      continue;
    }
    const bool has_next = i + 1 < units;
    if (u == u'\r') {
      if (!has_next) {
        if (last) {
          out[n++] = '\r';
        } else {
          fHeld = u;  // a LF may start the next piece
        }
      } else if (unit_at(i + 1) != u'\n') {
        out[n++] = '\r';
      }
      ++i;
    } else if (u >= 0xD800 && u <= 0xDBFF) {
      if (!has_next) {
        if (last) {
          n += PutUtf8(0xFFFD, out + n);
        } else {
          fHeld = u;  // its low half may start the next piece
        }
        ++i;
      } else if (is_low(unit_at(i + 1))) {
        n += PutUtf8(0x10000 + ((u - 0xD800u) << 10) + (unit_at(i + 1) - 0xDC00u), out + n);
        i += 2;
      } else {
        n += PutUtf8(0xFFFD, out + n);
        ++i;
      }
    } else {
      n += PutUtf8(is_low(u) ? 0xFFFD : u, out + n);
      ++i;
    }
  }
  if (last && fHeld != 0) {  // a held unit with nothing after it
    if (fHeld == u'\r') {
      out[n++] = '\r';
    } else {
      n += PutUtf8(0xFFFD, out + n);
    }
    fHeld = 0;
  }
  return n;
}

}  // namespace velsor::cli
