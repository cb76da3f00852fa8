// Allowed: the message layer includes the component library.
#include "crypto/components.h"
#include "message/hex_text.h"

int LayeringProbeAllowed() { return 0; }
