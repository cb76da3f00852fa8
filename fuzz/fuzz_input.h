#pragma once
// Takes a fuzzer's bytes apart: small choices from the front, the payload as
// what remains. Reads past the end give zeros, so every input is usable.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace velsor::fuzz {

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, std::size_t size) : fData(data), fSize(size) {}

  uint8_t Byte() { return fPosition < fSize ? fData[fPosition++] : 0; }
  uint32_t Word() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = (value << 8) | Byte();
    return value;
  }
  // Up to count bytes from the front.
  std::string_view Bytes(std::size_t count) {
    const std::size_t n = count < Remaining() ? count : Remaining();
    const std::string_view taken(reinterpret_cast<const char*>(fData + fPosition), n);
    fPosition += n;
    return taken;
  }
  std::string_view Rest() { return Bytes(Remaining()); }
  std::size_t Remaining() const { return fSize - fPosition; }

 private:
  const uint8_t* fData;
  std::size_t fSize;
  std::size_t fPosition = 0;
};

// Stops the run with a message: libFuzzer saves the input that got here.
[[noreturn]] inline void Fault(const char* what) {
  std::fprintf(stderr, "fault: %s\n", what);
  std::abort();
}

inline void Check(bool condition, const char* what) {
  if (!condition) Fault(what);
}

}  // namespace velsor::fuzz
