// The table of open files over C stdio streams; files are always opened in
// binary mode.
#include <cstdlib>
#include <cstring>

#include "tools/manifester/runtime.h"

namespace manifester {

// The modes a caller may ask for and what they open.
static const struct {
    const char* asked;
    const char* opened;
} file_modes[] = {{"r", "rb"}, {"w", "wb"}, {"a", "ab"}, {"rb", "rb"}, {"wb", "wb"}, {"ab", "ab"}};

static const char* OpenedMode(const char* mode) {
    for (const auto& m : file_modes) {
        if (strcmp(mode, m.asked) == 0) return m.opened;
    }
    return nullptr;
}

zk_file_t* ZKI_OpenFile(const char* name, const char* mode) {
    const char* opened = mode ? OpenedMode(mode) : nullptr;
    if (!opened) {
        zk->Popupf(1,
                   "zk->OpenFile: Illegal mode '%s' while opening file '%s'\nValid modes are read (\"r\"), write "
                   "(\"w\"), and append (\"a\").\n",
                   mode ? mode : "(null)", name ? name : "(null)");
        return nullptr;
    }
    FILE* stream = name ? fopen(name, opened) : nullptr;
    if (!stream) return nullptr;
    zk_file_t* file = static_cast<zk_file_t*>(calloc(1, sizeof(zk_file_t)));
    if (!file) {
        fclose(stream);
        return nullptr;
    }
    file->name = ZKI_StrDup(name);
    fseek(stream, 0, SEEK_END);
    long length = ftell(stream);
    fseek(stream, 0, SEEK_SET);
    file->size = length > 0 ? uint32_t(length) : 0;
    file->stream = stream;
    ++zk_state.open_files;
    return file;
}

int ZKI_CloseFile(zk_file_t* file) {
    if (zk_state.open_files <= 0) zk->PrintDebugf(1, "CloseFile closing too many file handles!\n");
    --zk_state.open_files;
    if (!file) return 0;
    fclose(file->stream);
    free(file->name);
    free(file);
    return 0;
}

size_t ZKI_ReadFile(void* buffer, size_t size, zk_file_t* file) { return fread(buffer, size, 1, file->stream); }

size_t ZKI_WriteFile(const void* buffer, size_t size, zk_file_t* file) {
    return fwrite(buffer, size, 1, file->stream);
}

int ZKI_FlushFile(zk_file_t* file) { return fflush(file->stream) == 0 ? 0 : -1; }

long ZKI_GetFilePosition(zk_file_t* file) { return ftell(file->stream); }

int ZKI_SetFilePosition(zk_file_t* file, long offset, int origin) {
    static const int origins[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < 0 || origin > 2) return -1;
    return fseek(file->stream, offset, origins[origin]);
}

int ZKI_GetChar(zk_file_t* file) {
    int c = fgetc(file->stream);
    return c == EOF ? -1 : c;
}

size_t ZKI_ReadItems(void* buffer, size_t size, size_t count, zk_file_t* file) {
    return fread(buffer, size, count, file->stream);
}

size_t ZKI_WriteItems(const void* buffer, size_t size, size_t count, zk_file_t* file) {
    return fwrite(buffer, size, count, file->stream);
}

}  // namespace manifester
