// Arbitrary bytes as a database file: the first byte chooses how the rest is
// read, as a ';'-separated table, as an XML text, or scrambled first (so
// that the unscrambling path and the XML reader behind it are reached
// without the fuzzer having to find a checksum). The file is served from
// memory through the file-system table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/app/interface.h"
#include "engine/runtime/log.h"
#include "engine/runtime/zekar.h"
#include "engine/datamodel/datamodel.h"
#include "engine/storage/filesystem_api.h"
#include "engine/datamodel/scrambler.h"

namespace {

std::string content;
size_t position = 0;
zk_file_t handle;

zk_file_t* OpenFromMemory(const char*, const char*) {
    position = 0;
    handle.size = int64_t(content.size());
    return &handle;
}

size_t ReadFromMemory(void* buffer, size_t size, zk_file_t*) {
    size_t left = content.size() - position;
    if (size > left) size = left;
    content.copy(static_cast<char*>(buffer), size, position);
    position += size;
    return size;
}

int SeekInMemory(zk_file_t*, int offset, zk_seek_t origin) {
    long long base = origin == 1 ? (long long)position : origin == 2 ? (long long)content.size() : 0;
    long long target = base + offset;
    if (target < 0 || target > (long long)content.size()) return -1;
    position = size_t(target);
    return 0;
}

bool CloseInMemory(zk_file_t*) { return true; }

void SetUpEngine() {
    zk_run_no_popups = 1;
    ZKI_SetBasicInterface(&zekar);
    zk = &zekar;
    zk->file_system->ZK_FileSystem_OpenFile = OpenFromMemory;
    zk->file_system->ZK_FileSystem_ReadFile = ReadFromMemory;
    zk->file_system->ZK_FileSystem_SetFilePosition = SeekInMemory;
    zk->file_system->ZK_FileSystem_CloseFile = CloseInMemory;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = (SetUpEngine(), true);
    (void)ready;
    if (size == 0) return 0;
    std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const char* name = "fuzz.xml";
    switch (data[0] % 3) {
        case 0:
            name = "fuzz.csv";
            content = rest;
            break;
        case 1:
            content = rest;
            break;
        default: {
            int length = 0;
            char* scrambled = Scrambler::Encrypt(rest.data(), int(rest.size()), &length);
            if (!scrambled) return 0;
            content.assign(scrambled, size_t(length));
            free(scrambled);
            break;
        }
    }
    InnerZK::DMDatabase database;
    database.Load(name);
    return 0;
}
