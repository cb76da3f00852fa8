#include "cli/windows_streams.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>

#include "cli/utf_text.h"
#include "crypto/bytes.h"

namespace velsor::cli {

namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && ::GetConsoleMode(handle, &mode) != 0;
}

void WipeString(std::string& s) {
  secure_wipe(s.data(), s.size());
  s.clear();
}

// Console input as UTF-8: the console delivers UTF-16 code units, which do
// not depend on the code page. Ctrl+Z ends the input, as it does for the
// console in text mode.
class ConsoleInput final : public std::streambuf {
 public:
  explicit ConsoleInput(HANDLE handle) : fHandle(handle) {}
  ~ConsoleInput() override { WipeString(fBytes); }

 protected:
  int_type underflow() override {
    while (gptr() == egptr()) {
      if (fEnded) return traits_type::eof();
      Refill();
    }
    return traits_type::to_int_type(*gptr());
  }

 private:
  static constexpr DWORD kUnits = 4096;

  void Refill() {
    WipeString(fBytes);
    std::u16string units(fHeldHighSurrogate ? 1 : 0, fHeldHighSurrogate);
    fHeldHighSurrogate = 0;
    const std::size_t start = units.size();
    units.resize(start + kUnits);
    DWORD count = 0;
    if (!::ReadConsoleW(fHandle, units.data() + start, kUnits, &count, nullptr) || count == 0) fEnded = true;
    units.resize(start + count);
    if (const std::size_t end = units.find(u'\x1a'); end != std::u16string::npos) {
      units.resize(end);
      fEnded = true;
    }
    // A surrogate pair that a read splits is joined with the next read.
    if (!fEnded && !units.empty() && units.back() >= 0xd800 && units.back() <= 0xdbff) {
      fHeldHighSurrogate = units.back();
      units.pop_back();
    }
    fBytes = Utf16ToUtf8(units);
    secure_wipe(units.data(), units.size() * sizeof(char16_t));
    setg(fBytes.data(), fBytes.data(), fBytes.data() + fBytes.size());
  }

  HANDLE fHandle;
  std::string fBytes;
  char16_t fHeldHighSurrogate = 0;
  bool fEnded = false;
};

// Console output from UTF-8: shown through the console's UTF-16 interface, so
// no code page stands between the text and the screen.
class ConsoleOutput final : public std::streambuf {
 public:
  explicit ConsoleOutput(HANDLE handle) : fHandle(handle) {}
  ~ConsoleOutput() override { WipeString(fPending); }

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) fPending.push_back(traits_type::to_char_type(c));
    return fPending.size() < kFlushAt || sync() == 0 ? traits_type::not_eof(c) : traits_type::eof();
  }

  std::streamsize xsputn(const char* s, std::streamsize n) override {
    fPending.append(s, static_cast<std::size_t>(n));
    return fPending.size() < kFlushAt || sync() == 0 ? n : 0;
  }

  // Writes every complete UTF-8 sequence; a sequence cut at the end waits
  // for the rest of its bytes.
  int sync() override {
    const std::size_t complete = CompletePrefix(fPending);
    if (complete == 0) return 0;
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, fPending.data(), static_cast<int>(complete), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, fPending.data(), static_cast<int>(complete), wide.data(), units);
    bool ok = true;
    for (std::size_t done = 0; ok && done < wide.size();) {
      DWORD written = 0;
      ok = ::WriteConsoleW(fHandle, wide.data() + done, static_cast<DWORD>(wide.size() - done), &written, nullptr) &&
           written > 0;
      done += written;
    }
    secure_wipe(wide.data(), wide.size() * sizeof(wchar_t));
    secure_wipe(fPending.data(), complete);
    fPending.erase(0, complete);
    return ok ? 0 : -1;
  }

 private:
  static constexpr std::size_t kFlushAt = 1 << 16;

  // The length of the longest prefix that does not end inside a UTF-8 sequence.
  static std::size_t CompletePrefix(const std::string& bytes) {
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
      const auto byte = static_cast<unsigned char>(bytes[size - back]);
      if ((byte & 0xc0) == 0x80) continue;  // a continuation byte: look further back
      const std::size_t length = byte >= 0xf0 ? 4 : byte >= 0xe0 ? 3 : byte >= 0xc0 ? 2 : 1;
      return length > back ? size - back : size;
    }
    return size;
  }

  HANDLE fHandle;
  std::string fPending;
};

void PrepareOutput(std::ostream& stream, FILE* file, DWORD std_handle) {
  ::_setmode(::_fileno(file), _O_BINARY);
  const HANDLE handle = ::GetStdHandle(std_handle);
  if (!IsConsole(handle)) return;
  // Lives as long as the process: the stream may still flush at exit.
  stream.rdbuf(new ConsoleOutput(handle));
}

}  // namespace

void PrepareWindowsStreams() {
  ::_setmode(::_fileno(stdin), _O_BINARY);
  PrepareOutput(std::cout, stdout, STD_OUTPUT_HANDLE);
  PrepareOutput(std::cerr, stderr, STD_ERROR_HANDLE);
}

std::streambuf* WindowsConsoleInput() {
  const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
  if (!IsConsole(in)) return nullptr;
  static ConsoleInput console(in);
  return &console;
}

}  // namespace velsor::cli
