// Put in front of the C library in zk-manifester by its run tests
// (LD_PRELOAD): the kernel's random numbers replaced by a script, so that a
// test knows the names of the temporary files the program will try. With
// ZK_SCRIPTED_RANDOM set to a number n in hex, every block asked for is
// filled with 64-bit words that read the same from either end: n, n + 1,
// n + 2 ... up to the block's middle and back down to n. Without it the
// call fails, as where the kernel has no generator.
#include <sys/random.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" ssize_t getrandom(void* buffer, size_t size, unsigned int) {
    const char* base_text = getenv("ZK_SCRIPTED_RANDOM");
    if (!base_text) {
        errno = ENOSYS;
        return -1;
    }
    uint64_t base = strtoull(base_text, nullptr, 16);
    size_t words = size / sizeof(uint64_t);
    memset(buffer, 0, size);
    for (size_t i = 0; i < words; ++i) {
        uint64_t from_nearer_end = i < words - 1 - i ? i : words - 1 - i;
        uint64_t word = base + from_nearer_end;
        memcpy(static_cast<char*>(buffer) + i * sizeof word, &word, sizeof word);
    }
    return ssize_t(size);
}
