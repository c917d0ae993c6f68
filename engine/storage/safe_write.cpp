#include "engine/storage/safe_write.h"

namespace ZKFileSystem {

void SetSafeFileCloseForTesting(int (*close_function)(int)) { ZKI_SetSafeWriteCloseForTesting(close_function); }

// The reason of a failed step, in the caller's error when it wants one.
class Reason {
public:
    explicit Reason(nString* error) : error(error) { text[0] = '\0'; }
    ~Reason() {
        if (error && text[0]) *error = text;
    }
    char* Text() { return text; }
    size_t Size() const { return sizeof text; }

private:
    nString* error;
    char text[768];
};

bool SafeFile::Begin(const char* path, nString* error, bool target_may_exist) {
    Abandon();
    Reason reason(error);
    return ZKI_BeginSafeWrite(&file, path, reason.Text(), reason.Size(), target_may_exist);
}

bool SafeFile::Write(const void* data, size_t size, nString* error) {
    Reason reason(error);
    return ZKI_WriteSafely(&file, data, size, reason.Text(), reason.Size());
}

bool SafeFile::Commit(nString* error) {
    Reason reason(error);
    return ZKI_CommitSafeWrite(&file, reason.Text(), reason.Size());
}

void SafeFile::Abandon() { ZKI_AbandonSafeWrite(&file); }

}  // namespace ZKFileSystem

bool ZKI_SaveFileSafely(const char* path, const void* data, size_t size, nString* error) {
    ZKFileSystem::SafeFile file;
    return file.Begin(path, error) && file.Write(data, size, error) && file.Commit(error);
}
