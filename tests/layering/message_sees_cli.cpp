// Forbidden: the message format knows nothing of velsor-cli.
#include "cli/arguments.h"

int LayeringProbeMessageSeesCli() { return 0; }
