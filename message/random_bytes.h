#pragma once
// Salt and IV bytes from the operating system's cryptographic generator.

#include <cstddef>

#include "crypto/components.h"

namespace velsor {

class RandomSourceError : public Exception {
 public:
  using Exception::Exception;
};

// Fills size bytes; raises RandomSourceError when the system cannot deliver.
void SystemRandomBytes(void* out, std::size_t size);

}  // namespace velsor
