#include "cli/hex_input.h"

#include <cstdio>

#include "cli/cli_error.h"

namespace velsor::cli {

std::u16string NormalizeHexInput(const std::string& input) {
  std::u16string hex;
  hex.reserve(input.size());
  for (std::size_t i = 0; i < input.size(); ++i) {
    const char c = input[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') continue;
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) {
      hex.push_back(static_cast<char16_t>(c));
    } else if (c >= 'a' && c <= 'f') {
      hex.push_back(static_cast<char16_t>(c - 'a' + 'A'));
    } else {
      std::string shown;
      if (c > ' ' && c < 0x7F) {
        shown = std::string("'") + c + "'";
      } else {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
        shown = std::string("byte ") + code;
      }
      throw Failure("the hex text holds " + shown + " at position " + std::to_string(i + 1) +
                    "; only hex digits, spaces and line breaks are allowed");
    }
  }
  return hex;
}

}  // namespace velsor::cli
