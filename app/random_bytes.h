#pragma once
// Salt and IV bytes from the operating system's cryptographic generator.

#include <cstddef>
#include <stdexcept>

namespace velsor {

class RandomSourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Fills size bytes; raises RandomSourceError when the system cannot deliver.
void SystemRandomBytes(void* out, std::size_t size);

}  // namespace velsor
