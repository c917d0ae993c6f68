#include "engine/safewrite/safe_write_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

int (*close_temporary)(int) = nullptr;
uint64_t (*draw_number)() = nullptr;

// Names are tried afresh when one is taken; after this many the folder is
// taken to be unusable.
const int name_attempts = 16;
// Enough of the target's name to tell whose temporary file a leftover is.
const int kept_name_length = 40;
// One write(2) call never asks for more than this.
const size_t largest_write = size_t(1) << 30;

void Say(char* reason, size_t reason_size, const char* format, ...) __attribute__((format(printf, 3, 4)));
void Say(char* reason, size_t reason_size, const char* format, ...) {
    if (!reason || reason_size == 0) return;
    va_list args;
    va_start(args, format);
    vsnprintf(reason, reason_size, format, args);
    va_end(args);
}

// The format takes the path and the system's words for the error number.
void SayFailure(char* reason, size_t reason_size, const char* format, const char* path, int number) {
    if (!reason || reason_size == 0) return;
    char words[256];
    const char* text = strerror_r(number, words, sizeof words);
    snprintf(reason, reason_size, format, path, text);
}

// Eight bytes that another process cannot guess. They come from the
// kernel's generator, fetched a block at a time so that one system call
// serves many writes; the clock and the process id only keep names apart
// when the generator is missing. (The exclusive create keeps the write safe
// either way, and turns a name used twice, as by a forked child that took
// the rest of the block along, into one more attempt.)
uint64_t UnpredictableNumber() {
    static thread_local uint64_t block[32];
    static thread_local int left = 0;
    if (left == 0 && getrandom(block, sizeof block, GRND_NONBLOCK) == ssize_t(sizeof block)) left = 32;
    if (left > 0) return block[--left];
    static uint64_t counter = 0;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return (uint64_t(now.tv_sec) << 32) ^ uint64_t(now.tv_nsec) ^ (uint64_t(getpid()) << 16) ^ ++counter;
}

const char* NameOf(const char* path) {
    const char* slash = strrchr(path, '/');
    return slash ? slash + 1 : path;
}

char* Copy(const char* text) {
    size_t size = strlen(text) + 1;
    char* copy = static_cast<char*>(malloc(size));
    if (copy) memcpy(copy, text, size);
    return copy;
}

// "<folder>.<name>.zekar-<16 hex digits>" beside the target; the folder
// part keeps its last '/'. Put together by hand: a write can be one of
// thousands in a run.
char* TemporaryNameFor(const char* path) {
    const char* name = NameOf(path);
    size_t folder_length = size_t(name - path);
    size_t name_length = strnlen(name, kept_name_length);
    static const char suffix[] = ".zekar-";
    size_t size = folder_length + 1 + name_length + (sizeof suffix - 1) + 16 + 1;
    char* temporary = static_cast<char*>(malloc(size));
    if (!temporary) return nullptr;
    char* at = temporary;
    memcpy(at, path, folder_length);
    at += folder_length;
    *at++ = '.';
    memcpy(at, name, name_length);
    at += name_length;
    memcpy(at, suffix, sizeof suffix - 1);
    at += sizeof suffix - 1;
    uint64_t number = draw_number ? draw_number() : UnpredictableNumber();
    for (int shift = 60; shift >= 0; shift -= 4) *at++ = "0123456789abcdef"[(number >> shift) & 15];
    *at = '\0';
    return temporary;
}

// A written file keeps the permissions of the file it replaces; a new one
// gets the usual ones for a created file.
void KeepPermissionsOf(const char* path, int descriptor) {
    struct stat status;
    if (stat(path, &status) == 0 && S_ISREG(status.st_mode)) fchmod(descriptor, status.st_mode & 07777);
}

void Empty(zk_safe_write_t* file) {
    free(file->target);
    free(file->temporary);
    *file = zk_safe_write_t{};
}

// Closes the temporary file; false (with errno kept) when the close, or for
// a stream anything written before it, failed. The descriptor is gone
// afterwards whatever the close answers, so it is never closed twice.
bool CloseTemporary(zk_safe_write_t* file) {
    if (file->stream) {
        bool written = fflush(file->stream) == 0 && !ferror(file->stream);
        int flush_error = errno;
        bool closed = fclose(file->stream) == 0;
        file->stream = nullptr;
        if (!written) errno = flush_error;
        return written && closed;
    }
    return (close_temporary ? close_temporary(file->descriptor) : close(file->descriptor)) == 0;
}

}  // namespace

void ZKI_SetSafeWriteCloseForTesting(int (*close_function)(int)) { close_temporary = close_function; }

void ZKI_SetSafeWriteNumberForTesting(uint64_t (*number_function)()) { draw_number = number_function; }

bool ZKI_BeginSafeWrite(zk_safe_write_t* file, const char* path, char* reason, size_t reason_size,
                        bool target_may_exist) {
    *file = zk_safe_write_t{};
    if (!path || !*NameOf(path)) {
        Say(reason, reason_size, "no file name was given");
        return false;
    }
    for (int attempt = 0; attempt < name_attempts; ++attempt) {
        char* name = TemporaryNameFor(path);
        char* target = name ? Copy(path) : nullptr;
        if (!target) {
            free(name);
            SayFailure(reason, reason_size, "cannot create a temporary file beside '%s': %s", path, ENOMEM);
            return false;
        }
        int opened = open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        int open_error = errno;
        if (opened >= 0) {
            *file = zk_safe_write_t{opened, nullptr, target, name};
            if (target_may_exist) KeepPermissionsOf(path, opened);
            return true;
        }
        free(name);
        free(target);
        if (open_error != EEXIST) {
            SayFailure(reason, reason_size, "cannot create a temporary file beside '%s': %s", path, open_error);
            return false;
        }
    }
    SayFailure(reason, reason_size, "cannot create a temporary file beside '%s': %s", path, EEXIST);
    return false;
}

bool ZKI_BeginSafeWriteStream(zk_safe_write_t* file, const char* path, char* reason, size_t reason_size) {
    if (!ZKI_BeginSafeWrite(file, path, reason, reason_size)) return false;
    file->stream = fdopen(file->descriptor, "wb");
    if (!file->stream) {
        SayFailure(reason, reason_size, "cannot write a temporary file beside '%s': %s", path, errno);
        ZKI_AbandonSafeWrite(file);
        return false;
    }
    return true;
}

bool ZKI_WriteSafely(zk_safe_write_t* file, const void* data, size_t size, char* reason, size_t reason_size) {
    if (!file->temporary || file->stream) {
        Say(reason, reason_size, "the file is not open for saving");
        return false;
    }
    if (size > 0 && !data) {
        Say(reason, reason_size, "no data was given for '%s'", file->target);
        return false;
    }
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = write(file->descriptor, bytes, size < largest_write ? size : largest_write);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            // A write that stores nothing without an error would repeat for ever.
            SayFailure(reason, reason_size, "writing '%s' failed: %s", file->target, written < 0 ? errno : ENOSPC);
            return false;
        }
        bytes += written;
        size -= size_t(written);
    }
    return true;
}

bool ZKI_CommitSafeWrite(zk_safe_write_t* file, char* reason, size_t reason_size) {
    if (!file->temporary) {
        Say(reason, reason_size, "the file is not open for saving");
        return false;
    }
    // Some file systems report a failed write only at the close.
    bool closed = CloseTemporary(file);
    int close_error = errno;
    file->descriptor = -1;
    if (!closed) {
        SayFailure(reason, reason_size, "closing '%s' failed: %s", file->target, close_error);
        ZKI_AbandonSafeWrite(file);
        return false;
    }
    if (rename(file->temporary, file->target) != 0) {
        SayFailure(reason, reason_size, "cannot replace '%s': %s", file->target, errno);
        ZKI_AbandonSafeWrite(file);
        return false;
    }
    Empty(file);
    return true;
}

void ZKI_AbandonSafeWrite(zk_safe_write_t* file) {
    if (!file->temporary) {
        Empty(file);
        return;
    }
    if (file->stream) {
        fclose(file->stream);
    } else if (file->descriptor >= 0) {
        close(file->descriptor);
    }
    unlink(file->temporary);
    Empty(file);
}
