// The manifester's files are written through the safe write's stream form:
// a new temporary beside the target with an unpredictable name, created
// exclusively and never through a link, closed with every write checked
// and renamed into place only when nothing failed.
#include "tools/manifester/runtime.h"

namespace manifester {

bool ZKI_OpenSafeFile(zk_safe_file_t* file, const char* path) {
    return ZKI_BeginSafeWriteStream(file, path, nullptr, 0);
}

bool ZKI_CommitSafeFile(zk_safe_file_t* file, bool failed) {
    if (!file->temporary) return false;
    if (!failed) return ZKI_CommitSafeWrite(file, nullptr, 0);
    ZKI_AbandonSafeWrite(file);
    return false;
}

}  // namespace manifester
