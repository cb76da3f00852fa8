// Forbidden: the component library knows nothing of the message format.
#include "message/hex_text.h"

int LayeringProbeCryptoSeesMessage() { return 0; }
