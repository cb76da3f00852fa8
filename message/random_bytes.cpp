#include "message/random_bytes.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#include <bcrypt.h>
#else
#include <fcntl.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/random.h>
#endif
#endif

namespace velsor {

#if defined(_WIN32)

void SystemRandomBytes(void* out, std::size_t size) {
  if (BCryptGenRandom(nullptr, static_cast<PUCHAR>(out), static_cast<ULONG>(size), BCRYPT_USE_SYSTEM_PREFERRED_RNG) !=
      0) {
    throw RandomSourceError("the system random generator failed");
  }
}

#else

namespace {

bool FromDevice(uint8_t* out, std::size_t size) {
  const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, out + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return done == size;
}

}  // namespace

void SystemRandomBytes(void* out, std::size_t size) {
  uint8_t* bytes = static_cast<uint8_t*>(out);
#if defined(__linux__)
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::getrandom(bytes + done, size - done, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;  // no getrandom here (ENOSYS) or it failed: try the device
    }
    done += static_cast<std::size_t>(n);
  }
  if (done == size) return;
#endif
  if (!FromDevice(bytes, size)) throw RandomSourceError("the system random generator failed");
}

#endif

}  // namespace velsor
