#include "engine/datamodel/tests/stdio_file_table.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/runtime/interface_filling.h"

namespace {

// The handle handed out, with the stream behind it; the handle comes first
// so that the table's zk_file_t* leads back to the whole record.
struct StdioFile {
    zk_file_t handle;
    FILE* stream;
};

FILE* StreamOf(zk_file_t* file) { return file ? reinterpret_cast<StdioFile*>(file)->stream : nullptr; }

// Only regular files, as the engine's file systems open for reading.
bool IsRegularFile(FILE* stream, int64_t* size) {
    struct stat status;
    if (fstat(fileno(stream), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    *size = status.st_size;
    return true;
}

zk_file_t* OpenFile(const char* path, const char* mode) {
    if (!path || !mode || mode[0] != 'r') return nullptr;
    FILE* stream = fopen(path, "rb");
    if (!stream) return nullptr;
    int64_t size = 0;
    if (!IsRegularFile(stream, &size)) {
        fclose(stream);
        return nullptr;
    }
    StdioFile* file = new StdioFile{{strdup(path), size, nullptr}, stream};
    return &file->handle;
}

size_t ReadFile(void* buffer, size_t size, zk_file_t* file) {
    FILE* stream = StreamOf(file);
    return stream && buffer ? fread(buffer, 1, size, stream) : 0;
}

int SetFilePosition(zk_file_t* file, int offset, zk_seek_t origin) {
    static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    FILE* stream = StreamOf(file);
    if (!stream || origin < 0 || origin > 2) return -1;
    return fseek(stream, offset, whence[origin]);
}

bool CloseFile(zk_file_t* file) {
    if (!file) return false;
    StdioFile* record = reinterpret_cast<StdioFile*>(file);
    bool closed = fclose(record->stream) == 0;
    free(record->handle.name);
    delete record;
    return closed;
}

}  // namespace

void FillStdioFileTable(zk_file_system_api_t* files) {
#define ZK_FILE_SYSTEM_SLOT(ret, name, params, attributes) files->name = zk_neutral<ret(*) params>::Call;
#include "engine/runtime/interface.def"
    files->ZK_FileSystem_OpenFile = OpenFile;
    files->ZK_FileSystem_ReadFile = ReadFile;
    files->ZK_FileSystem_SetFilePosition = SetFilePosition;
    files->ZK_FileSystem_CloseFile = CloseFile;
}
