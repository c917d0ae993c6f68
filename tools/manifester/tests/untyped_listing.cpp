// Put in front of the C library in zk-manifester by its run tests
// (LD_PRELOAD): every entry read from a folder's listing comes without its
// type, as on the file systems that do not keep it, so that the program
// must look each one up.
#include <dirent.h>
#include <dlfcn.h>

#include <cerrno>

namespace {

typedef dirent* (*ReadDir)(DIR*);

// The C library's own, found without touching errno: a listing's end is
// told from its failure only through errno.
ReadDir Next() {
    int error = errno;
    static ReadDir next = reinterpret_cast<ReadDir>(dlsym(RTLD_NEXT, "readdir"));
    errno = error;
    return next;
}

}  // namespace

extern "C" dirent* readdir(DIR* listing) {
    dirent* entry = Next()(listing);
    if (entry) entry->d_type = DT_UNKNOWN;
    return entry;
}
