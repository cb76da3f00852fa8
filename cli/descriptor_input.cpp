#include "cli/descriptor_input.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "cli/cli_error.h"
#include "crypto/bytes.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace velsor::cli {

#if defined(_WIN32)
int OpenForReading(const char* path) { return ::_open(path, _O_RDONLY | _O_BINARY); }
long ReadSome(int fd, char* out, std::size_t size) { return ::_read(fd, out, static_cast<unsigned>(size)); }
void CloseDescriptor(int fd) { ::_close(fd); }
#else
int OpenForReading(const char* path) { return ::open(path, O_RDONLY | O_CLOEXEC); }
long ReadSome(int fd, char* out, std::size_t size) { return static_cast<long>(::read(fd, out, size)); }
void CloseDescriptor(int fd) { ::close(fd); }
#endif

DescriptorInput::~DescriptorInput() { secure_wipe(fBuffer.data(), fUsed); }

DescriptorInput::int_type DescriptorInput::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  while (true) {
    const long n = ReadSome(fFd, fBuffer.data(), fBuffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw Failure("cannot read " + fName + ": " + std::strerror(errno));
    if (n == 0) return traits_type::eof();
    fUsed = std::max(fUsed, static_cast<std::size_t>(n));
    setg(fBuffer.data(), fBuffer.data(), fBuffer.data() + n);
    return traits_type::to_int_type(*gptr());
  }
}

std::streamsize DescriptorInput::xsgetn(char_type* out, std::streamsize count) {
  std::streamsize done = std::min<std::streamsize>(egptr() - gptr(), count);
  if (done > 0) {
    std::memcpy(out, gptr(), static_cast<std::size_t>(done));
    gbump(static_cast<int>(done));
  }
  const auto buffer_size = static_cast<std::streamsize>(fBuffer.size());
  while (count - done >= buffer_size) {
    const long n = ReadSome(fFd, out + done, static_cast<std::size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw Failure("cannot read " + fName + ": " + std::strerror(errno));
    if (n == 0) return done;
    done += n;
  }
  return done < count ? done + std::streambuf::xsgetn(out + done, count - done) : done;
}

}  // namespace velsor::cli
