#include "tools/manifester/manifest.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "platform/windows/win32.h"
#include "tools/manifester/codecs.h"
#include "tools/manifester/image_loader.h"
#include "tools/manifester/runtime.h"

namespace manifester {

namespace {

const size_t path_size = 512;  // 511 characters and the terminating zero

const char* const manifested_extensions[] = {"png", "jpg", "tga", "bms"};

typedef bool (*Measure)(zk_bitmap_t* bitmap, zk_file_reader_t* reader);

// A TGA and a sequence are measured from their first bytes, which the
// reader's first read takes in.
static_assert(zk_file_first_read_bytes >= size_t(zk_tga_measure_bytes), "a TGA is measured from its first bytes");
static_assert(zk_file_first_read_bytes >= size_t(zk_bitmap_sequence_measure_bytes),
              "a sequence is measured from its first bytes");

bool MeasureTGA(zk_bitmap_t* bitmap, zk_file_reader_t* reader) {
    const uint8_t* bytes;
    long count = long(ZKI_FileBytesAt(reader, 0, &bytes));
    return !reader->failed && ZKI_MeasureTGA(bitmap, bytes, count);
}

bool MeasureBMS(zk_bitmap_t* bitmap, zk_file_reader_t* reader) {
    const uint8_t* bytes;
    long count = long(ZKI_FileBytesAt(reader, 0, &bytes));
    return !reader->failed && ZKI_MeasureBitmapSequence(bitmap, bytes, count, bitmap->name);
}

// How each kind of file is measured: the size its decoder would give,
// without decoding pixels, reading the file only as far as that takes.
const struct {
    const char* ending;
    Measure measure;
} measures[] = {
    {".tga", MeasureTGA},
    {".png", ZKI_MeasurePNGFile},
    {".jpg", ZKI_MeasureJPGFile},
    {".bms", MeasureBMS},
};

zk_read_at_t read_at = pread;

char target[path_size];
size_t target_length = 0;
FILE* manifest = nullptr;
bool write_failed = false;

void Write(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Write(const char* format, ...) {
    va_list args;
    va_start(args, format);
    if (vfprintf(manifest, format, args) < 0) write_failed = true;
    va_end(args);
}

// The path below the target, with '/' separators.
void RelativePathOf(const char* path, char* relative) {
    snprintf(relative, path_size, "%s", strlen(path) > target_length ? path + target_length + 1 : "");
    for (char* p = relative; *p; ++p) {
        if (*p == '\\') *p = '/';
    }
}

// Measures the open file, read through a window of a bounded size; false
// (with a message) when it cannot be read, or ends before its size.
bool MeasureFile(zk_bitmap_t* bitmap, const char* path, int descriptor, off_t file_size) {
    Measure measure = nullptr;
    for (const auto& m : measures) {
        if (ZKI_PathEndsWith(path, m.ending)) measure = m.measure;
    }
    if (!measure || file_size > LONG_MAX) {
        zk->Printf("Unable to read '%s'.\n", path);
        return false;
    }
    static zk_file_reader_t reader;  // one file at a time; its window is too large for the stack
    ZKI_BeginFileReader(&reader, descriptor, uint64_t(file_size), read_at);
    measure(bitmap, &reader);
    if (!reader.failed) return true;
    zk->Printf("Unable to read '%s'.\n", path);
    return false;
}

// Opens the file without waiting: a FIFO or a device put where a listed
// file was would otherwise block the walk until something writes to it.
// Only a regular file is measured. A file removed since the listing is
// passed over without a word; one still there that cannot be opened (no
// read permission, a folder that can be read but not searched) is named,
// or its image would go missing from the manifest unseen.
int OpenRegularFile(const char* path, off_t* size) {
    int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        if (errno != ENOENT && errno != ENOTDIR) zk->Printf("Unable to read '%s'.\n", path);
        return -1;
    }
    struct stat info;
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(descriptor);
        zk->Printf("Unable to read '%s'.\n", path);
        return -2;
    }
    *size = info.st_size;
    return descriptor;
}

}  // namespace

const char* GetFileExtension(const char* path) {
    for (long i = long(strlen(path)) - 2; i >= 0; --i) {
        if (path[i] == '.') return path + i + 1;
    }
    return path;
}

bool IsManifestedExtension(const char* path) {
    const char* extension = GetFileExtension(path);
    for (const char* known : manifested_extensions) {
        if (strcasecmp(extension, known) == 0) return true;
    }
    return false;
}

bool IsManifestedFile(const char*) { return true; }

void ZKI_SetManifestReadForTesting(ssize_t (*read_function)(int, void*, size_t, off_t)) {
    read_at = read_function ? read_function : pread;
}

bool ZKI_SetManifestTarget(const char* directory, FILE* stream) {
    if (!directory || strlen(directory) >= path_size) return false;
    strcpy(target, directory);
    target_length = strlen(target);
    manifest = stream;
    write_failed = false;
    return true;
}

bool ZKI_ManifestWriteFailed() { return write_failed; }

void ZKI_WriteManifestHead(FILE* stream) {
    manifest = stream;
    Write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n");
    Write("<root>\n\n");
    Write(" <!-- Reference Resources. -->\n");
    Write(" <array id=\"RESOURCES\">\n");
}

void ZKI_WriteManifestTail(FILE* stream) {
    manifest = stream;
    Write(" </array>\n\n");
    Write("</root>\n\n");
}

void ZKI_EscapeManifestId(const char* id, char* out) {
    for (; *id; ++id) {
        if (*id == '"') {
            out = stpcpy(out, "&quot;");
        } else if (*id == '&') {
            out = stpcpy(out, "&amp;");
        } else {
            *out++ = *id;
        }
    }
    *out = '\0';
}

bool ManifestDirectory(const char* path) {
    // Hidden folders, "." and "..", from the separator after the target on.
    if (strlen(path) < target_length || strstr(path + target_length, "/.")) return true;
    char pattern[path_size];
    if (snprintf(pattern, sizeof pattern, "%s/*.*", path) >= int(sizeof pattern)) {
        zk->Printf("Skipping '%s': the path is longer than 511 characters.\n", path);
        return true;
    }
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) {
        // A folder that cannot be listed is not an empty one: its images
        // would silently go missing from a manifest that looks complete.
        if (errno == 0) return true;
        zk->Printf("Cannot manifest '%s': %s.\n", path, strerror(errno));
        return false;
    }
    bool listed = true;
    do {
        char entry_path[path_size];
        if (snprintf(entry_path, sizeof entry_path, "%s/%s", path, entry.cFileName) >= int(sizeof entry_path)) {
            zk->Printf("Skipping '%s/%s': the path is longer than 511 characters.\n", path, entry.cFileName);
            continue;
        }
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            listed = ManifestDirectory(entry_path);
        } else {
            ManifestFile(entry_path);
        }
    } while (listed && FindNextFileA(search, &entry));
    FindClose(search);
    return listed;
}

void ManifestFile(const char* path) {
    if (!IsManifestedExtension(path) || !IsManifestedFile(path)) return;
    char relative[path_size];
    RelativePathOf(path, relative);
    const char* slash = strchr(relative, '/');
    const char* id = slash ? slash + 1 : relative;

    off_t size = 0;
    int descriptor = OpenRegularFile(path, &size);
    if (descriptor < 0) return;
    zk_bitmap_t bitmap;
    memset(&bitmap, 0, sizeof bitmap);
    bitmap.name = const_cast<char*>(path);  // decoders name the file in their messages
    bool measured = MeasureFile(&bitmap, path, descriptor, size);
    close(descriptor);
    free(bitmap.pixels);
    if (!measured) return;

    char escaped[path_size * 6];
    ZKI_EscapeManifestId(id, escaped);
    if (bitmap.width != 0) {
        Write("  <node id=\"%s\" w=\"%d\" h=\"%d\" />\n", escaped, bitmap.width, bitmap.height);
    } else {
        Write("  <node id=\"%s\" h=\"%d\" />\n", escaped, bitmap.height);
    }
}

}  // namespace manifester
