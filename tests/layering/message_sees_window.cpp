// Forbidden: the message format knows nothing of the window.
#include "window/main_window.h"

int LayeringProbeMessageSeesWindow() { return 0; }
