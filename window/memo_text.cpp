#include "window/memo_text.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "crypto/bytes.h"
#include "message/hex_reader.h"
#include "message/message_error.h"

namespace velsor {

namespace {

std::u16string_view View(QStringView text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

qsizetype CountCharacters(std::u16string_view text) {
  if (text.empty()) return 0;
  // Every unit counts but the second of a pair: branch-free, so the compiler
  // reads the text in vectors.
  const auto bit = [](bool b) { return static_cast<qsizetype>(b); };
  qsizetype seconds = 0;
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char16_t before = text[i - 1];
    const char16_t c = text[i];
    seconds += (bit(IsLowSurrogate(c)) & bit(IsHighSurrogate(before))) | (bit(c == u'\n') & bit(before == u'\r'));
  }
  return static_cast<qsizetype>(text.size()) - seconds;
}

std::size_t LengthBeforeNul(std::u16string_view text) {
  // Runs without a 0 are passed over branch-free, in vectors.
  constexpr std::size_t kRun = 32;
  std::size_t i = 0;
  for (; i + kRun <= text.size(); i += kRun) {
    unsigned zero = 0;
    for (std::size_t j = 0; j < kRun; ++j) zero |= static_cast<unsigned>(text[i + j] == 0);
    if (zero != 0) break;
  }
  while (i < text.size() && text[i] != 0) ++i;
  return i;
}

qsizetype CountCharacters(QStringView text) { return CountCharacters(View(text)); }

bool IsBlank(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= u' '; });
}

bool HoldsHexText(std::u16string_view text) {
  HexTextReader reader;
  std::array<uint8_t, 4096> scratch;
  try {
    while (!text.empty()) {
      const HexTextReader::Step step = reader.Read(text, scratch.data(), scratch.size());
      text.remove_prefix(step.consumed);
    }
    reader.Finish();
    return true;
  } catch (const MessageError&) {
    return false;
  }
}

bool HoldsHexText(QStringView text) { return HoldsHexText(View(text)); }

void WipeOwnedText(QString& text) {
  if (text.isEmpty() || !text.isDetached()) return;
  secure_wipe(text.data(), static_cast<std::size_t>(text.size()) * sizeof(QChar));
}

}  // namespace velsor
