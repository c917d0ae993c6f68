// Sound's test engine: storage's, with the audio sub-table.

#include "engine/runtime/state_setup.h"
#include "engine/runtime/state.h"
#include "engine/runtime/tests/test_engine.h"
#include "engine/sound/audio_api.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/filesystem_api.h"
#include "platform/macos/device/platform.h"

void SetUpTestEngine() {
    ZKFileSystem::Deinitialize();
    ZKI_SetUpState(nullptr);
    ZKD_RegisterDevice();
    ZKD_FillDeviceInterface(zk);
    ZKI_FillStorageInterface(zk);
    ZKI_FillAudioInterface(zk->audio);
}
