// The device services this layer gives the runtime.

#include "engine/runtime/registration.h"

#include "platform/macos/device/platform.h"

void ZKD_RegisterDevice() {
    zk_device.Popup = ZKD_Popup;
    zk_device.SetThreadPrecedence = ZKD_SetThreadPrecedence;
    zk_device.SetThreadFixedPolicy = ZKD_SetThreadFixedPolicy;
}
