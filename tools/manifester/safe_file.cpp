// Files written through a temporary beside the target, so that a failed
// write never leaves a cut file under the target's name.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/manifester/runtime.h"

bool ZKI_OpenSafeFile(zk_safe_file_t* file, const char* path) {
    *file = zk_safe_file_t{};
    if (!path) return false;
    char* temporary = static_cast<char*>(malloc(strlen(path) + 32));
    if (!temporary) return false;
    sprintf(temporary, "%s.%ld.tmp", path, long(getpid()));
    file->stream = fopen(temporary, "wb");
    if (!file->stream) {
        free(temporary);
        return false;
    }
    file->path = ZKI_StrDup(path);
    file->temporary = temporary;
    return true;
}

bool ZKI_CommitSafeFile(zk_safe_file_t* file, bool failed) {
    if (!file->stream) return false;
    failed = failed || fflush(file->stream) != 0 || ferror(file->stream);
    failed = fclose(file->stream) != 0 || failed;
    failed = failed || rename(file->temporary, file->path) != 0;
    if (failed) remove(file->temporary);
    free(file->path);
    free(file->temporary);
    *file = zk_safe_file_t{};
    return !failed;
}
