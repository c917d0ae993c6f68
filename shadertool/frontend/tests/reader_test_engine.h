// Engine set-up for the reader and preprocessor tests: the state record, the
// interface table and the file systems, once per process.
#pragma once

#include "engine/runtime/tests/test_engine.h"
#include "engine/runtime/log.h"
#include "engine/runtime/state.h"
#include "engine/runtime/zekar.h"
#include "engine/storage/filesystem.h"

inline void SetUpEngineForReaderTests() {
    static bool done = false;
    if (done) return;
    done = true;
    SetUpTestEngine();
    ZKI_CreateCoreMutexes();
    ZKFileSystem::Initialize();
}
