// Arbitrary bytes as the archive "data.pak" in a folder of its own, served
// for that folder's "data" directory: the archive is opened (its table read
// and checked), every entry it lists is opened through it, read whole,
// sought about and read again, the directories of the entries are listed,
// and the archive is closed before the next input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/engine_fuzz_setup.h"
#include "engine/storage/pak_system.h"
#include "engine/storage/posix_system.h"

using namespace ZKFileSystem;

namespace {

// Entries and listings looked at per input; an archive may name many more.
const int kEntriesLookedAt = 64;
const int kListingsMade = 8;

void ReadEntry(POSIXSystem& system, const std::string& path) {
    File* file = system.PAKSystem::OpenFile(PATH_PREFIX_UGC, nString(path.c_str()), OPEN_MODE_READ);
    if (!file) return;
    char buffer[4096];
    while (file->Read(buffer, sizeof buffer) > 0) {
    }
    static const struct {
        int offset;
        zk_seek_t origin;
    } seeks[] = {{0, 2}, {-1, 2}, {-5, 1}, {3, 0}, {-1, 0}, {1 << 30, 1}, {0, 0}};
    for (const auto& seek : seeks) {
        file->SetPosition(seek.offset, seek.origin);
        file->GetPosition();
        file->Read(buffer, 16);
    }
    int offset = 0;
    file->GetFileDescriptor(offset);
    system.CloseFile(file);
}

void ListDirectoryOf(POSIXSystem& system, const std::string& folder, const std::string& name) {
    size_t slash = name.rfind('/');
    if (slash == std::string::npos) return;
    nString base(("ugc://data/" + name.substr(0, slash + 1)).c_str());
    nString directory((folder + "/data/" + name.substr(0, slash)).c_str());
    nArray<nString> wildcards;
    wildcards.InsertLast(nString("*"));
    nArray<nString> results;
    system.PAKSystem::FindFiles(PATH_PREFIX_UGC, base, directory, wildcards, true, results);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string& folder = ZKFuzzEngineFolder("zk-pak-fuzz");
    // Kept to the end of the run (the state's mutexes go first at exit).
    static POSIXSystem& system = []() -> POSIXSystem& {
        ChangePath(PATH_PREFIX_UGC, folder.c_str());
        return *new POSIXSystem(zk->ZK_GetMutex("PAKSystemOpenPAK"));
    }();
    ZKFuzzWriteFile(folder + "/data.pak", data, size);
    nString pak_path = system.ConvertFilePathToPAKPath(PATH_PREFIX_UGC, nString((folder + "/data/x").c_str()));
    PAKSystem::PAK* pak = system.GetPAK(PATH_PREFIX_UGC, pak_path);
    if (pak) {
        int listings = 0;
        for (int i = 0; i < pak->entries.Count() && i < kEntriesLookedAt; ++i) {
            std::string name = pak->entries.NameAt(i);
            ReadEntry(system, folder + "/data/" + name);
            if (listings++ < kListingsMade) ListDirectoryOf(system, folder, name);
        }
    }
    system.ClosePAKs();
    return 0;
}
