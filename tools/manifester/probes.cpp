// Header probes of the engine's own files: the height of a font file and
// the size of a bitmap sequence.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "tools/manifester/codecs.h"

namespace manifester {

namespace {

// Font files of these versions carry the height this probe reads.
const char* const font_magics[] = {"OLK_Font_v1", "OLK_Font_v2", "OLK_Font_v3", "OLK_Font_v4", "OLK_Font_v5"};
const size_t font_magic_size = 11;
// The encoding name after the magic ends at a 0 byte within this many.
const int max_encoding_name = 511;
const char sequence_magic[] = "ZK_Bm_Seq_v1";  // 13 bytes with its 0
const char atlas_chunk[8] = "ATLAS";

int32_t I32At(const uint8_t* bytes) {
    return int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24);
}

bool ReadI32(FILE* stream, int32_t* value) {
    uint8_t bytes[4];
    if (fread(bytes, 1, 4, stream) != 4) return false;
    *value = I32At(bytes);
    return true;
}

bool IsKnownFont(const char* magic) {
    for (const char* known : font_magics) {
        if (memcmp(magic, known, font_magic_size) == 0) return true;
    }
    return false;
}

// Skips the magic's 0 byte and the encoding name with its 0; false when
// the file ends first or the name is too long.
bool SkipEncodingName(FILE* stream) {
    if (fgetc(stream) == EOF) return false;
    for (int i = 0; i <= max_encoding_name; ++i) {
        int c = fgetc(stream);
        if (c == EOF) return false;
        if (c == 0) return true;
    }
    return false;
}

int BadFontHeader(FILE* stream) {
    fclose(stream);
    printf("(bad header)");
    return 0;
}

bool BadSequenceHeader(const char* path) {
    zk->Printf("Bad header in bitmap sequence '%s'\n", path);
    return false;
}

}  // namespace

int GetFontFileHeight(const char* path) {
    FILE* stream = path ? fopen(path, "rb") : nullptr;
    if (!stream) {
        printf("(not found)");
        return 0;
    }
    char magic[font_magic_size + 1] = {};
    if (fread(magic, 1, font_magic_size, stream) != font_magic_size || !IsKnownFont(magic)) {
        return BadFontHeader(stream);
    }
    int32_t baseline, height, line_spacing;
    if (!SkipEncodingName(stream) || !ReadI32(stream, &baseline) || !ReadI32(stream, &height) ||
        !ReadI32(stream, &line_spacing)) {
        return BadFontHeader(stream);
    }
    fclose(stream);
    return height;
}

bool ZKI_MeasureBitmapSequence(zk_bitmap_t* bitmap, const void* data, long size, const char* path) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    size_t length = data && size > 0 ? size_t(size) : 0;
    const size_t frame_count_at = sizeof sequence_magic, chunk_at = frame_count_at + 8, atlas_at = chunk_at + 8;
    if (length < chunk_at + sizeof atlas_chunk || memcmp(bytes, sequence_magic, sizeof sequence_magic) != 0) {
        return BadSequenceHeader(path);
    }
    int32_t frame_count = I32At(bytes + frame_count_at);
    bitmap->frame_count = frame_count;
    if (strncmp(reinterpret_cast<const char*>(bytes + chunk_at), atlas_chunk, sizeof atlas_chunk) == 0) {
        // A reserved word, then the first frame's width and height.
        size_t needed = atlas_at + 4 + (frame_count > 0 ? 8 : 0);
        if (length < needed) return BadSequenceHeader(path);
        if (frame_count > 0) {
            bitmap->width = I32At(bytes + atlas_at + 4);
            bitmap->height = I32At(bytes + atlas_at + 8);
        }
    }
    return true;
}

bool GetBitmapSequenceSize(zk_bitmap_t* bitmap, const char* path) {
    FILE* stream = path ? fopen(path, "rb") : nullptr;
    if (!stream) return false;
    uint8_t header[zk_bitmap_sequence_measure_bytes];
    size_t got = fread(header, 1, sizeof header, stream);
    fclose(stream);
    return ZKI_MeasureBitmapSequence(bitmap, header, long(got), path);
}

}  // namespace manifester
