// The platform layer of the file systems: base directories and the systems
// that serve each prefix.
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/storage/http_system.h"
#include "engine/storage/mount_system.h"
#include "engine/storage/posix_system.h"
#include "platform/macos/device/folders.h"

namespace ZKFileSystem {
namespace Platform {

// Platform paths fit 261 bytes; a longer one is refused rather than cut.
static const int platform_path_size = 262;

nString GetDirectoryPath(bool documents) {
    char path[platform_path_size];
    if (!ZKD_GetUserDirectory(documents, path, sizeof path)) return nString("");
    NormalizePath(path);
    return nString(path);
}

bool InitializeBasePaths(nString* bases) {
    bases[PATH_PREFIX_DOCS] = GetDirectoryPath(true);
    char resources[platform_path_size];
    if (ZKD_GetResourcesDirectory(resources, sizeof resources)) {
        NormalizePath(resources);
        bases[PATH_PREFIX_RES] = resources;
    }
    bases[PATH_PREFIX_USER] = GetDirectoryPath(false);
    return !bases[PATH_PREFIX_USER].IsEmpty();
}

bool InitializeSystems(System** systems) {
    zk_mutex_t* pak_mutex = zk ? zk->ZK_GetMutex("PAKSystemOpenPAK") : nullptr;
    System* local = new MacOSPOSIXSystem(pak_mutex);
    const PathPrefix local_prefixes[] = {PATH_PREFIX_CACHE, PATH_PREFIX_DOCS, PATH_PREFIX_LOGS,
                                         PATH_PREFIX_RES,   PATH_PREFIX_USER, PATH_PREFIX_UGC};
    for (PathPrefix prefix : local_prefixes) systems[prefix] = local;
    systems[PATH_PREFIX_HTTP] = new HTTPSystem(local);
    systems[PATH_PREFIX_SAVE] = new MountSystem(local);
    is_resources_path_writable = true;
    return true;
}

void DeinitializeSystems(System** systems) {
    // The shared local system is owned by the prefix-0 entry.
    delete systems[PATH_PREFIX_SAVE];
    delete systems[PATH_PREFIX_HTTP];
    delete systems[PATH_PREFIX_CACHE];
}

// mkdir with 0777 under the process's own file-creation mask, which is left
// as it is. An existing entry counts only when it is a directory.
bool CreateDirectory(PathPrefix, const nString& path) {
    if (mkdir(path.c_str(), 0777) == 0) return true;
    struct stat status;
    return errno == EEXIST && stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool DeleteDirectory(const nString& path) { return rmdir(path.c_str()) == 0; }

bool DeleteFile(const nString& path) { return unlink(path.c_str()) == 0; }

bool CreateUserDirectory(System** systems, const nString& path) {
    System* system = systems[PATH_PREFIX_USER];
    return system && system->CreateDirectory(PATH_PREFIX_USER, path);
}

void ShowNotImplementedPopup(PathPrefix prefix, const char* function, const char* platform) {
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "File System: %s() is not implemented for files in '%s://' on %s.", function,
                  GetPathPrefixString(prefix), platform);
}

}  // namespace Platform
}  // namespace ZKFileSystem
