// The device services this layer gives the runtime, and its slot of the
// interface table.

#include "engine/runtime/device_services.h"
#include "engine/runtime/interface_functions.h"
#include "platform/macos/device/platform.h"

void ZKD_RegisterDevice() {
    zk_device.Popup = ZKD_Popup;
    zk_device.SetThreadPrecedence = ZKD_SetThreadPrecedence;
    zk_device.SetThreadFixedPolicy = ZKD_SetThreadFixedPolicy;
}

void ZKD_FillDeviceInterface(zekar_t* table) { table->ZKD_SetCursor = ZKD_SetCursor; }
