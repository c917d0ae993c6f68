// The device services' defaults, until the platform registers its own.

#include "engine/runtime/device_services.h"

namespace {

int NoPopup(int /*type*/, const char* /*text*/) { return 4; }
int KeepThreadPrecedence(pthread_t /*thread*/, int /*importance*/) { return 0; }
int KeepThreadPolicy(pthread_t /*thread*/) { return 0; }

}  // namespace

zk_device_t zk_device = {NoPopup, KeepThreadPrecedence, KeepThreadPolicy};
