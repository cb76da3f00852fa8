#pragma once
// The one error of the message layer: its text is written for the person who
// pasted the hex text or typed the passphrase, and the window and velsor-cli
// show it as it is.

#include "crypto/components.h"

namespace velsor {

class MessageError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace velsor
