// The engine for the fuzz targets that run its media code: set up once,
// silent, with the image loader and a temporary folder for the files a
// target writes, removed with everything in it at exit.
#pragma once

#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/app/startup.h"
#include "engine/runtime/log.h"
#include "engine/images/image_loader.h"
#include "engine/runtime/state.h"
#include "engine/storage/filesystem.h"

inline int ZKFuzzQuiet(zk_message_type_t, const char*, ...) { return 4; }
inline int ZKFuzzQuietPrint(const char*, ...) { return 0; }

inline std::string& ZKFuzzFolderMade() {
    static std::string folder;
    return folder;
}

inline void ZKFuzzRemoveFolder() {
    const std::string& folder = ZKFuzzFolderMade();
    if (DIR* directory = opendir(folder.c_str())) {
        while (dirent* entry = readdir(directory)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") unlink((folder + "/" + name).c_str());
        }
        closedir(directory);
    }
    rmdir(folder.c_str());
}

// The folder, named /tmp/<prefix>-XXXXXX; the engine is set up on the
// first call.
inline const std::string& ZKFuzzEngineFolder(const char* prefix) {
    static const std::string folder = [prefix] {
        zk_run_silent = 1;
        ZKI_StateSetup(nullptr);
        ZKI_CreateCoreMutexes();
        ZKFileSystem::Initialize();
        ZKI_InitImageLoader();
        zk->ZK_Popupf = ZKFuzzQuiet;
        zk->ZK_PrintDebugf = ZKFuzzQuiet;
        zk->ZK_Printf = ZKFuzzQuietPrint;
        std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
        if (!mkdtemp(&pattern[0])) abort();
        ZKFuzzFolderMade() = pattern;
        atexit(ZKFuzzRemoveFolder);
        return pattern;
    }();
    return folder;
}

// Writes the bytes as a file of their own (through the C library, not the
// engine).
inline void ZKFuzzWriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return;
    if (size) fwrite(data, 1, size, file);
    fclose(file);
}
