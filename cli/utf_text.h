#pragma once
// Text conversions at the terminal's edge: UTF-8 in and out, and the line
// breaks of the message format (CR LF) against those of a Unix terminal (LF).

#include <optional>
#include <string>

namespace velsor::cli {

// The UTF-16 text of UTF-8 bytes, or nothing when they are not valid UTF-8
// (overlong forms, surrogates and values above U+10FFFF included).
std::optional<std::u16string> Utf8ToUtf16(const std::string& bytes);

// UTF-8 of UTF-16 code units; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);

// LF becomes CR LF; a CR LF already there stays as it is.
std::u16string ToCrLf(const std::u16string& text);
// CR LF becomes LF; a lone CR stays.
std::u16string ToLf(const std::u16string& text);

// Raw UTF-16LE bytes and back; an odd byte count is not UTF-16LE.
std::optional<std::u16string> Utf16LeBytesToText(const std::string& bytes);
std::string TextToUtf16LeBytes(const std::u16string& text);

}  // namespace velsor::cli
