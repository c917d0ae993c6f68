// The set-up the test engines of storage and the layers above share: a
// fresh state with the runtime's, the device's and storage's parts of the
// table. What holds a mutex of the old state lets go of it before (the
// caller's part: the file systems, and whatever its own layer keeps).
#pragma once

#include "engine/runtime/state.h"
#include "engine/runtime/state_setup.h"
#include "engine/storage/filesystem_api.h"
#include "platform/macos/device/platform.h"

inline void SetUpStateWithStorage() {
    ZKI_SetUpState(nullptr);
    ZKD_RegisterDevice();
    ZKD_FillDeviceInterface(zk);
    ZKI_FillStorageInterface(zk);
}
