#include "cli/descriptor_input.h"

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

DescriptorInput::~DescriptorInput() { secure_wipe(fBuffer.data(), fBuffer.size()); }

DescriptorInput::int_type DescriptorInput::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  while (true) {
    const long n = ReadSome(fFd, fBuffer.data(), fBuffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw Failure("cannot read " + fName + ": " + std::strerror(errno));
    if (n == 0) return traits_type::eof();
    setg(fBuffer.data(), fBuffer.data(), fBuffer.data() + n);
    return traits_type::to_int_type(*gptr());
  }
}

}  // namespace velsor::cli
