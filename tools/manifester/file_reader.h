// Reading an open file through a window of a fixed size, so that what a
// file costs in memory stays the same whatever its size: the decoders'
// sources read the window, and move it on when they have used it up.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

namespace manifester {

const size_t zk_file_window_bytes = 64 << 10;

typedef ssize_t (*zk_read_at_t)(int descriptor, void* buffer, size_t size, off_t offset);

// Only the bytes the file held when its size was taken are read. A read
// error, or a file that ends before that size (it shrank since), ends the
// reading for good: the reader is then marked failed and gives no byte
// more, so that nothing is ever measured from bytes that were not read.
struct zk_file_reader_t {
    int descriptor;
    uint64_t size;          // the size the file had when it was opened
    zk_read_at_t read_at;   // pread(2), or a test's stand-in
    uint64_t window_start;  // the offset of window[0] in the file
    size_t window_filled;   // the bytes of the window that were read
    bool failed;
    uint8_t window[zk_file_window_bytes];
};

// Starts reading the open file of the given size (read_at null: pread).
void ZKI_BeginFileReader(zk_file_reader_t* reader, int descriptor, uint64_t size, zk_read_at_t read_at);
// The bytes from the offset on that the window holds, the window first
// moved there when it does not hold the offset: their count, 0 at the
// file's end or once the reader failed.
size_t ZKI_FileBytesAt(zk_file_reader_t* reader, uint64_t offset, const uint8_t** bytes);
// Copies count bytes from the offset; false when the file does not hold
// them all (or the reader failed).
bool ZKI_CopyFileBytes(zk_file_reader_t* reader, uint64_t offset, void* out, size_t count);

}  // namespace manifester
