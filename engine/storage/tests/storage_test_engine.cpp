// Storage's test engine: the runtime's, with storage's part of the table.

#include "engine/runtime/state_setup.h"
#include "engine/runtime/state.h"
#include "engine/runtime/tests/test_engine.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/filesystem_api.h"
#include "platform/macos/device/platform.h"

void SetUpTestEngine() {
    // The PAK system locks its mutex as it is destroyed: before the state
    // that holds the mutex is reset.
    ZKFileSystem::Deinitialize();
    ZKI_SetUpState(nullptr);
    ZKD_RegisterDevice();
    ZKD_FillDeviceInterface(zk);
    ZKI_FillStorageInterface(zk);
}
