// Thread scheduling on POSIX threads.

#include <pthread.h>

#include "platform/macos/device/platform.h"

// A detached engine thread may already have ended when its creator asks to
// lower its weight, so the handle is never used: the policies stay as the
// system chose them.
int ZKD_SetThreadPrecedence(pthread_t /*thread*/, int /*importance*/) { return 0; }
int ZKD_SetThreadFixedPolicy(pthread_t /*thread*/) { return 0; }
