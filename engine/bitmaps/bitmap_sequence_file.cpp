// The sequence file: reading it (both chunk forms) and writing it.

#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "engine/base/nbytebuffer.h"
#include "engine/base/nstring.h"
#include "engine/bitmaps/bitmap_api.h"
#include "engine/bitmaps/bitmap_packing.h"
#include "engine/images/bitmap_pixels.h"
#include "engine/images/bitmap_pool.h"
#include "engine/bitmaps/bitmap_sequences.h"
#include "engine/images/image_codecs.h"
#include "engine/imageformats/little_endian_fields.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"
#include "engine/storage/safe_write.h"

namespace {

const char kMagic[13] = "ZK_Bm_Seq_v1";
const char kPixelFormat[4] = {'R', 'G', 'B', 'A'};
const char kAtlasChunk[8] = "ATLAS";
const char kFrameChunk[8] = "FRAME";
const char kRLE[4] = "RLE";
const char kPNG[4] = "PNG";
// The fewest bytes one frame takes in either form (a frame record of the
// atlas, or a frame chunk after the first one's name); it bounds the frame
// count a file of its size can hold.
const size_t kSmallestFrameBytes = 32;

// Reads the file's fields in order, little-endian, never past its end.
struct Reader : LittleEndianFields<Reader> {
    Reader(const uint8_t* bytes, size_t length) : data(bytes), size(length), at(0) {}

    const uint8_t* data;
    size_t size;
    size_t at;

    size_t Left() const { return size - at; }
    bool Bytes(void* out, size_t count) {
        if (count > Left()) return false;
        memcpy(out, data + at, count);
        at += count;
        return true;
    }
    bool Skip(size_t count) {
        if (count > Left()) return false;
        at += count;
        return true;
    }
};

size_t ReadFromReader(void* context, void* buffer, size_t size) {
    Reader* reader = static_cast<Reader*>(context);
    if (size > reader->Left()) size = reader->Left();
    reader->Bytes(buffer, size);
    return size;
}

// A chunk name or encoding is compared over all its bytes, so a name
// without its NULs is no match.
bool ChunkIs(const char* chunk, const char (&name)[8]) { return memcmp(chunk, name, 8) == 0; }
bool EncodingIs(const char* encoding, const char (&name)[4]) { return strncasecmp(encoding, name, 4) == 0; }

// The 8 name bytes are printed as text of their own: the file need not end
// them with a NUL.
void ReportUnimplementedChunk(const char* chunk) {
    char name[9];
    memcpy(name, chunk, 8);
    name[8] = '\0';
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "unimplemented chunk: '%s'", name);
}

void ReportEncoding(const char* encoding, const char* chunk) {
    char name[5];
    memcpy(name, encoding, 4);
    name[4] = '\0';
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "encoding: '%s'", name);
    ReportUnimplementedChunk(chunk);
}

bool ReportBadHeader(const char* path) {
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Bad header in bitmap sequence '%s'", path);
    return false;
}

bool ReportCutShort(const char* path) {
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Bitmap sequence '%s' ends before its last frame.", path);
    return false;
}

// What every frame and atlas of a sequence is.
void SetUpImageRecord(zk_bitmap_t* record) {
    record->depth = 1;
    record->format = ZK_TEXTURE_FORMAT_COLOR;
    record->type = ZK_TEXTURE_2D;
    record->renderer_hint = 1;
    record->pack_mode = 3;
}

// A pixel block just read: its size is the record's.
void TakeBlockSize(zk_bitmap_t* record) {
    record->texture_width = record->width;
    record->texture_height = record->height;
}

zk_bitmap_t* NewAtlas(const char* path) {
    zk_bitmap_t* atlas = static_cast<zk_bitmap_t*>(calloc(1, sizeof(zk_bitmap_t)));
    if (!atlas) return nullptr;
    nString name("atlas:");
    name.Append(path);
    ZKI_InitBitmap(atlas, name.c_str());
    SetUpImageRecord(atlas);
    return atlas;
}

bool ReadAtlasForm(zk_bitmap_t* bitmap, Reader* reader, const char* path) {
    if (!reader->Skip(4)) return ReportCutShort(path);
    zk_bitmap_t* atlas = NewAtlas(path);
    if (!atlas) return false;
    bitmap->atlas = atlas;
    for (int i = 0; i < bitmap->frame_count; ++i) {
        zk_bitmap_t* frame = &bitmap->frames[i];
        SetUpImageRecord(frame);
        frame->atlas = atlas;
        float* uv = frame->hw_data.uv;
        bool read = reader->I32(&frame->width) && reader->I32(&frame->height) && reader->I32(&frame->frame_index) &&
                    reader->F32(&frame->frame_rate) && reader->F32(&uv[0]) && reader->F32(&uv[1]) &&
                    reader->F32(&uv[2]) && reader->F32(&uv[3]);
        if (!read) return ReportCutShort(path);
    }
    char encoding[4];
    if (!reader->Bytes(encoding, 4)) return ReportCutShort(path);
    if (EncodingIs(encoding, kRLE)) {
        if (!ZKI_ReadRLEBitmapFrom(atlas, {ReadFromReader, reader})) {
            ReportUnimplementedChunk(kAtlasChunk);
            return false;
        }
    } else if (EncodingIs(encoding, kPNG)) {
        uint32_t length = 0;
        if (!reader->U32(&length)) return ReportCutShort(path);
        reader->Skip(length < reader->Left() ? length : reader->Left());
        ZKI_TEMPCREATEBITMAP(atlas);
        if (!atlas->pixels) return false;
    } else {
        ReportEncoding(encoding, kAtlasChunk);
        return false;
    }
    TakeBlockSize(atlas);
    atlas->state = ZK_BITMAP_READY;
    return true;
}

bool ReadFrameForm(zk_bitmap_t* bitmap, Reader* reader, const char* path) {
    for (int i = 0; i < bitmap->frame_count; ++i) {
        zk_bitmap_t* frame = &bitmap->frames[i];
        if (i > 0) {
            char chunk[8];
            if (!reader->Bytes(chunk, 8)) return ReportCutShort(path);
            if (!ChunkIs(chunk, kFrameChunk)) {
                ReportUnimplementedChunk(chunk);
                return false;
            }
        }
        SetUpImageRecord(frame);
        int32_t width, height;
        char encoding[4];
        bool read = reader->Skip(4) && reader->I32(&width) && reader->I32(&height) &&
                    reader->I32(&frame->frame_index) && reader->F32(&frame->frame_rate) &&
                    reader->Bytes(encoding, 4);
        if (!read) return ReportCutShort(path);
        if (!EncodingIs(encoding, kRLE)) {
            ReportEncoding(encoding, kFrameChunk);
            return false;
        }
        // The frame's size is its pixel block's, whatever the size fields
        // before it say.
        if (!ZKI_ReadRLEBitmapFrom(frame, {ReadFromReader, reader})) {
            ReportUnimplementedChunk(kFrameChunk);
            return false;
        }
        TakeBlockSize(frame);
        ZKI_AddBitmapFlags(frame, ZK_BITMAP_HAS_ALPHA);
    }
    return true;
}

bool ReadSequence(zk_bitmap_t* bitmap, const void* data, size_t size, const char* path) {
    Reader reader(static_cast<const uint8_t*>(data), size);
    char magic[sizeof kMagic];
    if (!reader.Bytes(magic, sizeof magic) || memcmp(magic, kMagic, sizeof kMagic) != 0) return ReportBadHeader(path);
    uint32_t count = 0;
    char chunk[8];
    if (!reader.U32(&count) || !reader.Skip(sizeof kPixelFormat) || !reader.Bytes(chunk, sizeof chunk))
        return ReportBadHeader(path);
    // Every frame takes bytes of the file: a count the rest cannot hold is
    // refused before anything is allocated for it.
    if (count == 0 || count > reader.Left() / kSmallestFrameBytes) return ReportBadHeader(path);
    ZKI_FreeBitmapSequenceParts(bitmap);
    bitmap->frames = static_cast<zk_bitmap_t*>(calloc(count, sizeof(zk_bitmap_t)));
    if (!bitmap->frames) return false;
    bitmap->frame_count = int32_t(count);
    bool read = false;
    if (ChunkIs(chunk, kAtlasChunk)) {
        read = ReadAtlasForm(bitmap, &reader, path);
    } else if (ChunkIs(chunk, kFrameChunk)) {
        read = ReadFrameForm(bitmap, &reader, path);
    } else {
        ReportUnimplementedChunk(chunk);
    }
    // No half-read sequence is kept.
    if (!read) ZKI_FreeBitmapSequenceParts(bitmap);
    return read;
}

// --- Writing -------------------------------------------------------------------------------

size_t AppendToBuffer(void* context, const void* data, size_t size) {
    nByteBuffer* buffer = static_cast<nByteBuffer*>(context);
    if (size > size_t(INT32_MAX)) return 0;
    return buffer->Append(data, int(size)) ? size : 0;
}

bool AppendU32(nByteBuffer* out, uint32_t value) {
    uint8_t b[4];
    ZKI_PutU32(b, value);
    return out->Append(b, 4);
}
bool AppendI32(nByteBuffer* out, int32_t value) {
    uint32_t bits;
    memcpy(&bits, &value, 4);
    return AppendU32(out, bits);
}
bool AppendF32(nByteBuffer* out, float value) {
    uint32_t bits;
    memcpy(&bits, &value, 4);
    return AppendU32(out, bits);
}

bool AppendRLEBitmap(nByteBuffer* out, const zk_bitmap_t* bitmap) {
    zk_bitmap_t block = ZKI_PixelBlockView(bitmap);
    return ZKI_WriteRLEBitmapTo(&block, {AppendToBuffer, out});
}

// The frame whose rectangle and texture a frame uses.
const zk_bitmap_t* OriginalOf(const zk_bitmap_t* frame) {
    return frame->duplicate_of ? frame->duplicate_of : frame;
}

bool AppendAtlasForm(nByteBuffer* out, const zk_bitmap_t* bitmap) {
    zk->ZK_Printf("Writing bitmap sequence atlas.");
    bool written = out->Append(kAtlasChunk, 8) && AppendU32(out, 0);
    for (int i = 0; written && i < bitmap->frame_count; ++i) {
        const zk_bitmap_t* frame = &bitmap->frames[i];
        zk->ZK_Printf("Writing frame num %d - %d", i, frame->frame_index);
        const float* uv = OriginalOf(frame)->hw_data.uv;
        written = AppendI32(out, frame->width) && AppendI32(out, frame->height) &&
                  AppendI32(out, frame->frame_index) && AppendF32(out, frame->frame_rate) &&
                  AppendF32(out, uv[0]) && AppendF32(out, uv[1]) && AppendF32(out, uv[2]) && AppendF32(out, uv[3]);
    }
    // The atlas's pixels themselves, in the run-length encoding that the
    // reader takes back.
    return written && out->Append(kRLE, 4) && AppendRLEBitmap(out, bitmap->atlas);
}

bool AppendFrameForm(nByteBuffer* out, const zk_bitmap_t* bitmap) {
    zk->ZK_Printf("Writing bitmap sequence frames one by one.");
    bool written = true;
    for (int i = 0; written && i < bitmap->frame_count; ++i) {
        const zk_bitmap_t* frame = &bitmap->frames[i];
        zk->ZK_Printf("Writing frame %.4d..", i);
        written = out->Append(kFrameChunk, 8) && AppendU32(out, 0) && AppendI32(out, frame->width) &&
                  AppendI32(out, frame->height) && AppendI32(out, frame->frame_index) &&
                  AppendF32(out, frame->frame_rate) && out->Append(kRLE, 4) &&
                  AppendRLEBitmap(out, OriginalOf(frame));
    }
    return written;
}

bool HasFrames(const zk_bitmap_t* bitmap) { return bitmap && bitmap->frames && bitmap->frame_count >= 1; }

// Frames to pack or write one by one: every frame that is not a duplicate
// holds its pixels (a sequence read from an atlas has none of its own).
bool FramesHavePixels(const zk_bitmap_t* bitmap) {
    for (int i = 0; i < bitmap->frame_count; ++i) {
        if (!bitmap->frames[i].duplicate_of && !bitmap->frames[i].pixels) return false;
    }
    return true;
}

bool AppendSequence(nByteBuffer* out, const zk_bitmap_t* bitmap) {
    bool header = out->Append(kMagic, sizeof kMagic) && AppendU32(out, uint32_t(bitmap->frame_count)) &&
                  out->Append(kPixelFormat, sizeof kPixelFormat);
    if (!header) return false;
    if (bitmap->atlas && bitmap->atlas->pixels) return AppendAtlasForm(out, bitmap);
    return AppendFrameForm(out, bitmap);
}

// Packs the frames that are not duplicates into a new atlas, which every
// frame then draws from (a duplicate with its original's rectangle).
bool PackFrames(zk_bitmap_t* bitmap, int max_width, int max_height) {
    nArray<zk_bitmap_t*> originals;
    for (int i = 0; i < bitmap->frame_count; ++i) {
        if (!bitmap->frames[i].duplicate_of) originals.InsertLast(&bitmap->frames[i]);
    }
    zk_bitmap_t* atlas = static_cast<zk_bitmap_t*>(calloc(1, sizeof(zk_bitmap_t)));
    if (!atlas) return false;
    if (!ZKI_PackBitmaps(atlas, originals.items, originals.count, max_width, max_height)) {
        free(atlas->pixels);
        free(atlas->name);
        free(atlas);
        return false;
    }
    bitmap->atlas = atlas;
    for (int i = 0; i < bitmap->frame_count; ++i) {
        zk_bitmap_t* frame = &bitmap->frames[i];
        frame->atlas = atlas;
        if (frame->duplicate_of) memcpy(frame->hw_data.uv, frame->duplicate_of->hw_data.uv, sizeof frame->hw_data.uv);
    }
    return true;
}

}  // namespace

bool ZKI_LoadBitmapMemBMS(zk_bitmap_t* bitmap, const void* data, long size) {
    if (!bitmap || (!data && size > 0)) return false;
    return ReadSequence(bitmap, data, size > 0 ? size_t(size) : 0, "");
}

bool ZKI_LoadBitmapSequence(zk_bitmap_t* bitmap, const char* path) {
    if (!bitmap || !path) return false;
    zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(path, "rb");
    if (!file) return false;
    size_t size = file->size > 0 ? size_t(file->size) : 0;
    void* data = malloc(size ? size : 1);
    bool whole = data && zk->file_system->ZK_FileSystem_ReadFile(data, size, file) == size;
    zk->file_system->ZK_FileSystem_CloseFile(file);
    bool read = whole ? ReadSequence(bitmap, data, size, path) : ReportCutShort(path);
    free(data);
    return read;
}

bool ZKI_WriteBMS(zk_bitmap_t* bitmap, FILE* file) {
    if (!HasFrames(bitmap) || !file) return false;
    nByteBuffer bytes;
    if (!AppendSequence(&bytes, bitmap)) return false;
    return fwrite(bytes.data, 1, size_t(bytes.size), file) == size_t(bytes.size);
}

bool ZKI_SaveBitmapSequence(zk_bitmap_t* bitmap, const char* native_path, int max_width, int max_height) {
    const char* path = native_path ? native_path : "";
    if (!HasFrames(bitmap) || !FramesHavePixels(bitmap)) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "ZKI_SaveBitmapSequence: trying to save invalid bitmap to '%s'.", path);
        return false;
    }
    const char* name = bitmap->name ? bitmap->name : "";
    zk->ZK_Printf("Saving bitmap sequence '%s' to native file '%s'", name, path);
    ZKI_FreeBitmapAtlas(bitmap);
    if (zk_state.pack_bitmaps && !PackFrames(bitmap, max_width, max_height)) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "ZKI_SaveBitmapSequence: bitmaps didn't fit into atlas, not creating file '%s'.", path);
        return false;
    }
    ZKFileSystem::SafeFile file;
    nString error;
    bool saved = file.Begin(path, &error);
    if (saved) {
        nByteBuffer bytes;
        saved = AppendSequence(&bytes, bitmap) && file.Write(bytes.data, size_t(bytes.size), &error) &&
                file.Commit(&error);
    }
    if (!saved) zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Unable to save bitmap sequence '%s' to file '%s'", name, path);
    return saved;
}
