// For tests of code that must notice a write that does not reach the disk:
// while a FileSizeLimit lives, no file of the process may grow beyond the
// limit, and a write past it fails as on a full disk (EFBIG; the signal it
// would raise is ignored meanwhile). Data still buffered in a stream fails
// only when it is flushed, at the latest at the close.
#pragma once

#include <signal.h>
#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &saved);
        old_handler = signal(SIGXFSZ, SIG_IGN);
        struct rlimit lowered = saved;
        lowered.rlim_cur = limit;
        set = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, old_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool set = false;

private:
    struct rlimit saved;
    void (*old_handler)(int);
};
