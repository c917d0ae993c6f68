// The runtime's test engine: the state and the table of the runtime, with
// the platform's device services registered (popups are recorded there).

#include "engine/runtime/state_setup.h"
#include "engine/runtime/state.h"
#include "engine/runtime/tests/test_engine.h"
#include "platform/macos/device/platform.h"

void SetUpTestEngine() {
    ZKI_SetUpState(nullptr);
    ZKD_RegisterDevice();
    ZKD_FillDeviceInterface(zk);
}
