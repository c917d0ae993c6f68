// Writing a whole file so that it is never lost half-way, for the engine:
// the safe write of engine/safewrite (a new temporary file with an
// unpredictable name beside the target, created exclusively and never
// through a symbolic link, renamed over the target only after every write
// and the close have succeeded), with its reasons in an nString.
#pragma once

#include <cstddef>

#include "engine/base/nstring.h"
#include "engine/safewrite/safe_write_file.h"

// Saves size bytes of data as the file at path. False when anything fails;
// the old file is then kept, no temporary file is left, and error (when not
// null) says why in words.
bool ZKI_SaveFileSafely(const char* path, const void* data, size_t size, nString* error);

namespace ZKFileSystem {

// The stages of ZKI_SaveFileSafely, for callers that report a failure to
// create the file apart from a failure to write it. A file destroyed
// before Commit leaves the target untouched.
class SafeFile {
public:
    SafeFile() = default;
    ~SafeFile() { Abandon(); }
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    // Creates the temporary file beside path. A caller that knows there is
    // no file at path yet says so with target_may_exist false, which spares
    // looking up the permissions of a file that is not there.
    bool Begin(const char* path, nString* error, bool target_may_exist = true);
    // Appends all size bytes.
    bool Write(const void* data, size_t size, nString* error);
    // Closes the temporary file and moves it over the target.
    bool Commit(nString* error);
    // Removes the temporary file; the target stays as it was.
    void Abandon();

private:
    zk_safe_write_t file = {};
};

// A SafeFile behind a plain write callback, as the engine's file formats
// take one (size_t write(context, data, size), fewer bytes on failure);
// the error of the first failure is kept.
struct SafeFileOutput {
    SafeFile file;
    nString error;

    static size_t Write(void* context, const void* data, size_t size) {
        SafeFileOutput* output = static_cast<SafeFileOutput*>(context);
        return output->file.Write(data, size, &output->error) ? size : 0;
    }
};

// Test hook: the function that closes the temporary file, close(2) when
// null. A close that fails is the one failure a test cannot bring about on
// a local disk.
void SetSafeFileCloseForTesting(int (*close_function)(int descriptor));

}  // namespace ZKFileSystem
