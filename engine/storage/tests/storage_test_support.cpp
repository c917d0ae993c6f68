#include "engine/storage/tests/storage_test_support.h"

#include <errno.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include "engine/runtime/state.h"
#include "engine/runtime/tests/test_engine.h"
#include "engine/storage/filesystem.h"

namespace storage_test {

void SetUpEngine() {
    static bool done = false;
    if (done) return;
    done = true;
    SetUpTestEngine();
    ZKI_CreateCoreMutexes();
    ZKFileSystem::Initialize();
    datamodel_test::RecordMessages();
}

// Mounts made by the tests stay inside the process: they vanish with it even
// when a test crashes, and other processes never see them.
static bool EnterPrivateMountNamespace() {
    static const bool entered =
        unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return entered;
}

SmallDisk::SmallDisk(const std::string& folder) : folder(folder) {
    mounted = EnterPrivateMountNamespace() && mount("zk-test", folder.c_str(), "tmpfs", 0, "size=64k") == 0;
}

SmallDisk::~SmallDisk() {
    if (mounted) umount2(folder.c_str(), MNT_DETACH);
}

void SmallDisk::Fill() {
    int file = open((folder + "/filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file < 0) return;
    char block[4096] = {};
    while (write(file, block, sizeof block) > 0) {
    }
    close(file);
}

int FailingClose(int descriptor) {
    close(descriptor);
    errno = EIO;
    return -1;
}

}  // namespace storage_test
