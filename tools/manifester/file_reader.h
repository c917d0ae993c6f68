// Reading an open file through a window of a fixed size, so that what a
// file costs in memory stays the same whatever its size: the decoders'
// sources read the window, and move it on when they have used it up.
//
// Most files are measured from their first bytes (a PNG's size stands in
// its first 33), so the window is filled only as far as a small first read
// takes it; each move that goes on where the window ended reads twice as
// much as the one before, up to the window's size, and a move to anywhere
// else (a skip) starts small again.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

namespace manifester {

const size_t zk_file_window_bytes = 64 << 10;
const size_t zk_file_first_read_bytes = 4 << 10;
// A read interrupted by a signal is tried again, until this many reads in a
// row have been interrupted: that one ends the reading.
const int zk_interrupted_reads_in_a_row = 64;

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
    size_t window_wanted;   // what the window's last move set out to read, 0 before the first
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
