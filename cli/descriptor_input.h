#pragma once
// Reading from file descriptors the same way on every system, and an input
// stream over one: a read error (a closed descriptor, a directory) raises a
// Failure with the system's reason instead of looking like the end of the
// input, and the buffer, which holds message text, is wiped when released.

#include <array>
#include <cstddef>
#include <streambuf>
#include <string>

namespace velsor::cli {

// open(2) for reading, binary; -1 with errno set on failure.
int OpenForReading(const char* path);
// read(2): the count read, 0 at the end, -1 with errno set on failure.
long ReadSome(int fd, char* out, std::size_t size);
void CloseDescriptor(int fd);

class DescriptorInput : public std::streambuf {
 public:
  // name says what the descriptor is in errors: "standard input", "'notes.txt'".
  DescriptorInput(int fd, std::string name) : fFd(fd), fName(std::move(name)) {}
  ~DescriptorInput() override;
  DescriptorInput(const DescriptorInput&) = delete;
  DescriptorInput& operator=(const DescriptorInput&) = delete;

 protected:
  // Raises Failure on a read error. An istream turns that into badbit, and
  // rethrows it when badbit is among its exceptions().
  int_type underflow() override;
  // Large reads go straight from the descriptor to the caller, without a copy
  // through the buffer.
  std::streamsize xsgetn(char_type* out, std::streamsize count) override;

 private:
  int fFd;
  std::string fName;
  std::array<char, 65536> fBuffer;  // uninitialised: written before it is read
  std::size_t fUsed = 0;            // bytes that have held input, wiped at the end
};

}  // namespace velsor::cli
