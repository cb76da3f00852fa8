// The hex text reader over any text cut into any pieces: the pieces give the
// bytes of the whole, and a text it accepts is the hex of those bytes.

#include <cstring>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "message/hex_reader.h"
#include "message/hex_text.h"
#include "message/message_error.h"

using velsor::HexTextReader;

namespace {

// Reads text in pieces of the given size (0: whole) into bytes; false when
// refused, with the reason in error.
bool ReadAll(std::string_view text, std::size_t piece, std::vector<uint8_t>& bytes,
             velsor::SimdLevel level = velsor::ActiveSimdLevel(), std::string* error = nullptr) {
  HexTextReader reader(level);
  bytes.assign(text.size() / 2 + 2, 0);
  std::size_t written = 0;
  try {
    std::size_t at = 0;
    do {
      const std::size_t n = piece == 0 ? text.size() - at : std::min(piece, text.size() - at);
      std::string_view rest = text.substr(at, n);
      while (!rest.empty()) {
        const auto step = reader.Read(rest, bytes.data() + written, bytes.size() - written);
        written += step.written;
        rest.remove_prefix(step.consumed);
        velsor::fuzz::Check(step.consumed > 0 || step.written > 0, "the reader makes no progress");
      }
      at += n;
    } while (at < text.size());
    reader.Finish();
  } catch (const velsor::MessageError& e) {
    if (error != nullptr) *error = e.what();
    return false;
  }
  bytes.resize(written);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  velsor::fuzz::FuzzInput input(data, size);
  const std::size_t piece = input.Byte() % 17;
  const std::string_view text = input.Rest();

  std::vector<uint8_t> whole;
  std::vector<uint8_t> pieces;
  const bool accepted = ReadAll(text, 0, whole);
  velsor::fuzz::Check(ReadAll(text, piece, pieces) == accepted, "pieces change whether a text is accepted");

  // Every vector level reads as the scalar code does: the same bytes or the same error.
  std::vector<uint8_t> scalar;
  std::string scalar_error;
  const bool scalar_accepted = ReadAll(text, piece, scalar, velsor::SimdLevel::kScalar, &scalar_error);
  for (const velsor::SimdLevel level : velsor::AvailableSimdLevels()) {
    std::vector<uint8_t> vector;
    std::string vector_error;
    const bool vector_accepted = ReadAll(text, piece, vector, level, &vector_error);
    velsor::fuzz::Check(
        vector_accepted == scalar_accepted && vector_error == scalar_error && (!scalar_accepted || vector == scalar),
        "a vector level reads otherwise than the scalar code");
  }
  if (!accepted) return 0;
  velsor::fuzz::Check(whole == pieces, "pieces change the bytes");
  velsor::fuzz::Check(whole.size() % 2 == 0, "an accepted text gives an odd byte count");

  // The accepted text is those bytes as hex: its digits, uppercased, equal
  // the envelope's own hex text.
  std::string digits;
  for (char c : text) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) digits.push_back(c);
    if (c >= 'a' && c <= 'f') digits.push_back(static_cast<char>(c - 'a' + 'A'));
  }
  std::string hex(whole.size() * 2, '\0');
  velsor::EnvelopeToHex(whole.data(), whole.size(), hex.data());
  velsor::fuzz::Check(hex == digits, "the bytes are not the text's digits");

  // And the conversion functions agree with the reader on it.
  const std::u16string wide(digits.begin(), digits.end());
  velsor::fuzz::Check(velsor::IsHexString(wide), "IsHexString refuses an accepted text");
  velsor::fuzz::Check(velsor::StringToHex(velsor::HexToString(wide)) == wide, "hex does not round-trip");
  return 0;
}
