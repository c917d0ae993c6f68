// What a fuzz target over the engine needs: the engine set up once (state,
// table, core mutexes, file systems) with every printer and popup silent,
// and a temporary folder for its files that goes, with them, at exit.
#pragma once

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/app/startup.h"
#include "engine/runtime/log.h"
#include "engine/runtime/state.h"
#include "engine/storage/filesystem.h"

namespace zk_fuzz {

inline int Quiet(zk_message_type_t, const char*, ...) { return 4; }
inline int QuietPrint(const char*, ...) { return 0; }

inline std::string& FolderMade() {
    static std::string folder;
    return folder;
}

inline void RemoveFolderMade() {
    std::error_code ignored;
    std::filesystem::remove_all(FolderMade(), ignored);
}

// Sets the engine up and returns a new folder "/tmp/<name>-XXXXXX"; call
// it once.
inline std::string SetUpQuietEngine(const char* name) {
    zk_run_silent = 1;
    ZKI_StateSetup(nullptr);
    ZKI_CreateCoreMutexes();
    ZKFileSystem::Initialize();
    zk->ZK_Popupf = Quiet;
    zk->ZK_PrintDebugf = Quiet;
    zk->ZK_Printf = QuietPrint;
    std::string pattern = std::string("/tmp/") + name + "-XXXXXX";
    if (!mkdtemp(&pattern[0])) abort();
    FolderMade() = pattern;
    atexit(RemoveFolderMade);
    return pattern;
}

// Writes the bytes as a whole file; a file that cannot be made is left out.
inline void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return;
    if (size) fwrite(data, 1, size, file);
    fclose(file);
}

}  // namespace zk_fuzz
