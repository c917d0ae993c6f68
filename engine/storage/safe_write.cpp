#include "engine/storage/safe_write.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace ZKFileSystem {

static int (*close_temporary)(int) = nullptr;

void SetSafeFileCloseForTesting(int (*close_function)(int)) { close_temporary = close_function; }

// Names are tried afresh when one is taken; after this many the folder is
// taken to be unusable.
static const int name_attempts = 16;
// Enough of the target's name to tell whose temporary file a leftover is.
static const int kept_name_length = 40;
// One write(2) call never asks for more than this.
static const size_t largest_write = size_t(1) << 30;

static void SetError(nString* error, const char* format, const char* path, int number) {
    if (!error) return;
    char reason[256];
    const char* text = strerror_r(number, reason, sizeof reason);
    error->SetFormatted(format, path, text);
}

// Eight bytes that another process cannot guess. They come from the
// kernel's generator, fetched a block at a time so that one system call
// serves many saves; the clock and the process id only keep names apart
// when the generator is missing. (The exclusive create keeps the save safe
// either way, and turns a name used twice, as by a forked child that took
// the rest of the block along, into one more attempt.)
static uint64_t UnpredictableNumber() {
    static thread_local uint64_t block[32];
    static thread_local int left = 0;
    if (left == 0 && getrandom(block, sizeof block, GRND_NONBLOCK) == ssize_t(sizeof block)) left = 32;
    if (left > 0) return block[--left];
    static uint64_t counter = 0;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return (uint64_t(now.tv_sec) << 32) ^ uint64_t(now.tv_nsec) ^ (uint64_t(getpid()) << 16) ^ ++counter;
}

static const char* NameOf(const char* path) {
    const char* slash = strrchr(path, '/');
    return slash ? slash + 1 : path;
}

// "<folder>.<up to 40 characters of the name>.zekar-<16 hex digits>", put
// together by hand: a save can be one of thousands in a run.
static nString TemporaryNameBeside(const char* path, uint64_t number) {
    const char* name = NameOf(path);
    size_t folder = size_t(name - path);
    size_t kept = strlen(name);
    if (kept > size_t(kept_name_length)) kept = size_t(kept_name_length);
    static const char suffix[] = ".zekar-";
    size_t size = folder + 1 + kept + (sizeof suffix - 1) + 16;
    char stack[512];
    char* text = size < sizeof stack ? stack : new char[size + 1];
    char* at = text;
    memcpy(at, path, folder);
    at += folder;
    *at++ = '.';
    memcpy(at, name, kept);
    at += kept;
    memcpy(at, suffix, sizeof suffix - 1);
    at += sizeof suffix - 1;
    for (int shift = 60; shift >= 0; shift -= 4) *at++ = "0123456789abcdef"[(number >> shift) & 15];
    *at = '\0';
    nString result(text);
    if (text != stack) delete[] text;
    return result;
}

// A saved file keeps the permissions of the file it replaces; a new one
// gets the usual ones for a created file.
static void KeepPermissionsOf(const char* path, int descriptor) {
    struct stat status;
    if (stat(path, &status) == 0 && S_ISREG(status.st_mode)) fchmod(descriptor, status.st_mode & 07777);
}

bool SafeFile::Begin(const char* path, nString* error, bool target_may_exist) {
    Abandon();
    if (!path || !*NameOf(path)) {
        if (error) *error = "no file name was given";
        return false;
    }
    for (int attempt = 0; attempt < name_attempts; ++attempt) {
        nString name = TemporaryNameBeside(path, UnpredictableNumber());
        int opened = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (opened >= 0) {
            descriptor = opened;
            target = path;
            temporary = name;
            if (target_may_exist) KeepPermissionsOf(path, descriptor);
            return true;
        }
        if (errno != EEXIST) {
            SetError(error, "cannot create a temporary file beside '%s': %s", path, errno);
            return false;
        }
    }
    SetError(error, "cannot create a temporary file beside '%s': %s", path, EEXIST);
    return false;
}

bool SafeFile::Write(const void* data, size_t size, nString* error) {
    if (descriptor < 0) {
        if (error) *error = "the file is not open for saving";
        return false;
    }
    if (size > 0 && !data) {
        if (error) error->SetFormatted("no data was given for '%s'", target.c_str());
        return false;
    }
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = write(descriptor, bytes, size < largest_write ? size : largest_write);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            // A write that stores nothing without an error would repeat for ever.
            SetError(error, "writing '%s' failed: %s", target.c_str(), written < 0 ? errno : ENOSPC);
            return false;
        }
        bytes += written;
        size -= size_t(written);
    }
    return true;
}

bool SafeFile::Commit(nString* error) {
    if (descriptor < 0) {
        if (error) *error = "the file is not open for saving";
        return false;
    }
    // Some file systems report a failed write only here. The descriptor is
    // gone after close whatever it answers, so it is never closed twice.
    int closed = close_temporary ? close_temporary(descriptor) : close(descriptor);
    int close_error = errno;
    descriptor = -1;
    if (closed != 0) {
        SetError(error, "closing '%s' failed: %s", target.c_str(), close_error);
        Abandon();
        return false;
    }
    if (rename(temporary.c_str(), target.c_str()) != 0) {
        SetError(error, "cannot replace '%s': %s", target.c_str(), errno);
        Abandon();
        return false;
    }
    temporary = nString();
    target = nString();
    return true;
}

void SafeFile::Abandon() {
    if (descriptor >= 0) close(descriptor);
    descriptor = -1;
    if (!temporary.IsEmpty()) unlink(temporary.c_str());
    temporary = nString();
    target = nString();
}

}  // namespace ZKFileSystem

bool ZKI_SaveFileSafely(const char* path, const void* data, size_t size, nString* error) {
    ZKFileSystem::SafeFile file;
    return file.Begin(path, error) && file.Write(data, size, error) && file.Commit(error);
}
