// Storage's test engine: the runtime's, with storage's part of the table.

#include "engine/runtime/tests/test_engine.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/tests/storage_engine.h"

void SetUpTestEngine() {
    // The PAK system locks its mutex as it is destroyed: before the state
    // that holds the mutex is reset.
    ZKFileSystem::Deinitialize();
    SetUpStateWithStorage();
}
