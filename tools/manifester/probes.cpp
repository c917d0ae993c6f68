// Header probes of the engine's own files: the height of a font file and
// the size of a bitmap sequence.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "engine/imageformats/font_file_format.h"
#include "engine/imageformats/little_endian_fields.h"
#include "tools/manifester/codecs.h"

namespace manifester {

namespace {

const char kSequenceMagic[] = "ZK_Bm_Seq_v1";  // 13 bytes with its 0
const char kAtlasChunk[8] = "ATLAS";

// Font files of versions 1 to 5 carry the height this probe reads; their
// encoding name ends at a 0 byte within 512 bytes.
zk_font_file_format_t HeaderFormat() {
    zk_font_file_format_t format = {};
    format.newest_version = 5;
    format.whole_magic = true;
    format.old_name = {512, true};
    return format;
}

size_t ReadFromStream(void* context, void* buffer, size_t size) {
    return fread(buffer, 1, size, static_cast<FILE*>(context));
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
    zk_font_file_t header;
    bool known = ZKI_ReadFontFileHeader({ReadFromStream, stream}, -1, HeaderFormat(), &header, nullptr);
    fclose(stream);
    if (!known) {
        printf("(bad header)");
        return 0;
    }
    return header.height;
}

bool ZKI_MeasureBitmapSequence(zk_bitmap_t* bitmap, const void* data, long size, const char* path) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    size_t length = data && size > 0 ? size_t(size) : 0;
    const size_t frame_count_at = sizeof kSequenceMagic, chunk_at = frame_count_at + 8, atlas_at = chunk_at + 8;
    if (length < chunk_at + sizeof kAtlasChunk || memcmp(bytes, kSequenceMagic, sizeof kSequenceMagic) != 0) {
        return BadSequenceHeader(path);
    }
    int32_t frame_count = ZKI_I32At(bytes + frame_count_at);
    bitmap->frame_count = frame_count;
    if (strncmp(reinterpret_cast<const char*>(bytes + chunk_at), kAtlasChunk, sizeof kAtlasChunk) == 0) {
        // A reserved word, then the first frame's width and height.
        size_t needed = atlas_at + 4 + (frame_count > 0 ? 8 : 0);
        if (length < needed) return BadSequenceHeader(path);
        if (frame_count > 0) {
            bitmap->width = ZKI_I32At(bytes + atlas_at + 4);
            bitmap->height = ZKI_I32At(bytes + atlas_at + 8);
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
