#include "cli/output_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "cli/cli_error.h"
#include "message/random_bytes.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace velsor::cli {

namespace {

// FILE.velsor-XXXXXXXX in FILE's folder, so the rename stays on one file system.
std::string TemporaryNameBeside(const std::string& path) {
  uint8_t random[4];
  SystemRandomBytes(random, sizeof random);
  char suffix[24];
  std::snprintf(suffix, sizeof suffix, ".velsor-%02x%02x%02x%02x", random[0], random[1], random[2], random[3]);
  return path + suffix;
}

// Creates the file, failing when it exists already, owner-only where the
// system has permissions of that kind.
void CreateExclusively(const std::string& path) {
#if defined(_WIN32)
  if (std::filesystem::exists(path)) throw Failure("cannot create '" + path + "': it exists already");
#else
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) throw Failure("cannot create '" + path + "': " + std::strerror(errno));
  ::close(fd);
#endif
}

// A device or a pipe (/dev/null, a FIFO): renaming a file over it would put a
// plain file in its place, so it is written as it is.
bool IsSpecialFile(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  return !error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
         !std::filesystem::is_directory(status);
}

}  // namespace

OutputFile::OutputFile(std::string path) : fPath(std::move(path)) {
  if (IsSpecialFile(fPath)) {
    errno = 0;
    fStream.open(fPath, std::ios::binary);
    if (!fStream)
      throw Failure("cannot write to '" + fPath + "': " + (errno != 0 ? std::strerror(errno) : "open failed"));
    return;
  }
  fTemporary = TemporaryNameBeside(fPath);
  CreateExclusively(fTemporary);
  errno = 0;
  fStream.open(fTemporary, std::ios::binary | std::ios::trunc);
  if (!fStream) {
    const std::string reason = errno != 0 ? std::strerror(errno) : "open failed";
    std::remove(fTemporary.c_str());
    throw Failure("cannot create '" + fTemporary + "': " + reason);
  }
}

OutputFile::~OutputFile() {
  if (fCommitted || fTemporary.empty()) return;
  fStream.close();
  std::remove(fTemporary.c_str());
}

void OutputFile::Commit() {
  errno = 0;
  fStream.close();
  if (!fStream)
    throw Failure(std::string("cannot write the result: ") + (errno != 0 ? std::strerror(errno) : "close failed"));
  fCommitted = true;
  if (fTemporary.empty()) return;
  std::error_code error;
  std::filesystem::rename(fTemporary, fPath, error);
  if (error) {
    fCommitted = false;  // the temporary file goes
    throw Failure("cannot write the result to '" + fPath + "': " + error.message());
  }
}

}  // namespace velsor::cli
