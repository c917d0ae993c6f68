// Sound's test engine: storage's, with the audio sub-table.

#include "engine/runtime/tests/test_engine.h"
#include "engine/sound/audio_api.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/tests/storage_engine.h"

void SetUpTestEngine() {
    ZKFileSystem::Deinitialize();
    SetUpStateWithStorage();
    ZKI_FillAudioInterface(zk->audio);
}
