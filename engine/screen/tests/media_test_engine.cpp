// The media layer's test engine: storage's, with the sound and media parts
// of the table.

#include "engine/drawing/drawing_interface.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"
#include "engine/runtime/tests/test_engine.h"
#include "engine/screen/graphics_interface.h"
#include "engine/shaders/run_time_shaders.h"
#include "engine/sound/audio_api.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/tests/storage_engine.h"

void SetUpTestEngine() {
    // What holds a mutex of the old state lets go of it before the reset.
    ZKFileSystem::Deinitialize();
    ZKI_ForgetRunTimeShaders();
    SetUpStateWithStorage();
    ZKI_FillAudioInterface(zk->audio);
    ZKM_FillGraphicsInterface(zk->graphics);
    ZKM_FillExtensionInterface(zk->ext);
    zk->ZK_ReinitializeWithParameters = ZK_ReinitializeWithParameters;
}
