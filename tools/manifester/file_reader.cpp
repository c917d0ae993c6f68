#include "tools/manifester/file_reader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace manifester {

namespace {

// How much a move of the window to the offset sets out to read: twice the
// last move's when it goes on where the window ended, up to the window's
// size; the first read's size otherwise.
size_t WindowBytesFor(const zk_file_reader_t* reader, uint64_t offset) {
    bool goes_on = reader->window_wanted > 0 && offset == reader->window_start + reader->window_filled;
    if (!goes_on) return zk_file_first_read_bytes;
    size_t doubled = 2 * reader->window_wanted;
    return doubled < zk_file_window_bytes ? doubled : zk_file_window_bytes;
}

// Fills the window from the offset on, as far as WindowBytesFor says or the
// file's size. A read may give fewer bytes than asked for without the file
// having ended: only a read that gives nothing before the file's size means
// it shrank.
void MoveWindow(zk_file_reader_t* reader, uint64_t offset) {
    size_t window_bytes = WindowBytesFor(reader, offset);
    reader->window_start = offset;
    reader->window_filled = 0;
    reader->window_wanted = window_bytes;
    uint64_t left = reader->size - offset;
    size_t wanted = left < window_bytes ? size_t(left) : window_bytes;
    int interrupted = 0;
    while (reader->window_filled < wanted) {
        size_t got = reader->window_filled;
        ssize_t n = reader->read_at(reader->descriptor, reader->window + got, wanted - got, off_t(offset + got));
        if (n < 0 && errno == EINTR && ++interrupted < zk_interrupted_reads_in_a_row) continue;
        if (n <= 0 || size_t(n) > wanted - got) {
            reader->failed = true;
            reader->window_filled = 0;
            return;
        }
        interrupted = 0;
        reader->window_filled += size_t(n);
    }
}

}  // namespace

void ZKI_BeginFileReader(zk_file_reader_t* reader, int descriptor, uint64_t size, zk_read_at_t read_at) {
    reader->descriptor = descriptor;
    reader->size = size;
    reader->read_at = read_at ? read_at : pread;
    reader->window_start = 0;
    reader->window_filled = 0;
    reader->window_wanted = 0;
    reader->failed = false;
}

size_t ZKI_FileBytesAt(zk_file_reader_t* reader, uint64_t offset, const uint8_t** bytes) {
    *bytes = nullptr;
    if (reader->failed || offset >= reader->size) return 0;
    bool in_window = offset >= reader->window_start && offset - reader->window_start < reader->window_filled;
    if (!in_window) MoveWindow(reader, offset);
    if (reader->failed) return 0;
    size_t at = size_t(offset - reader->window_start);
    *bytes = reader->window + at;
    return reader->window_filled - at;
}

bool ZKI_CopyFileBytes(zk_file_reader_t* reader, uint64_t offset, void* out, size_t count) {
    uint8_t* to = static_cast<uint8_t*>(out);
    // Each pass copies at least one byte, or ends.
    while (count > 0) {
        const uint8_t* bytes;
        size_t got = ZKI_FileBytesAt(reader, offset, &bytes);
        if (got == 0) return false;
        if (got > count) got = count;
        memcpy(to, bytes, got);
        to += got;
        offset += got;
        count -= got;
    }
    return true;
}

}  // namespace manifester
