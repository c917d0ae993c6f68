// The platform's device services, which the runtime's threads and log call
// and which lie above the runtime.
//
// The platform layer puts its functions into zk_device when start-up
// (ZKI_StateSetup) asks it to register (ZKD_RegisterDevice); until then they
// answer as a platform without them would: no popup shown, scheduling left
// as it is.
#pragma once

#include <pthread.h>

struct zk_device_t {
    // The platform popup behind ZK_Popupf; 4 means "nothing shown".
    int (*Popup)(int type, const char* text);
    // Scheduling of engine threads; 0 on success.
    int (*SetThreadPrecedence)(pthread_t thread, int importance);
    int (*SetThreadFixedPolicy)(pthread_t thread);
};
extern zk_device_t zk_device;

