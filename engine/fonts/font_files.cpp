#include "engine/fonts/font_files.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/base/nstring.h"
#include "engine/images/bitmap_pixels.h"
#include "engine/imageformats/little_endian_fields.h"
#include "engine/images/bitmap_pool.h"
#include "engine/fonts/fonts.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"
#include "engine/storage/safe_write.h"

namespace {

const char kMagic[] = "OLK_Font_v";
const int kMagicLength = 11;          // "OLK_Font_v" and the version digit
const int kNewestVersion = 7;
const int kOldTableBytes = 256;       // the table of versions 1 to 5
const int kOldEncodingBytes = 512;    // encoding name bytes kept, with its 0
const int kEncodingBytes = 32;        // longest encoding name read from version 6
// The smallest glyph entry of versions 6 and 7: code, y offset, x offset,
// advance, kern flag, width, height.
const int kSmallestEntry6 = 4 + 2 + 2 + 2 + 1 + 2 + 2;
const int kSmallestEntry7 = kSmallestEntry6 + 2;

const char* NameOf(const zk_font_t* font) { return font->name ? font->name : ""; }

// Files of versions 5 to 7 hold R, G, B, A; older ones B, G, R, A.
bool FileHoldsRGBA(int version) { return version >= 5; }
bool MemoryHoldsRGBA() { return zk_state.pixel_byte_order != 1; }

void ExchangeRedAndBlue(uint8_t* bytes, size_t pixels) {
    for (size_t i = 0; i < pixels; ++i, bytes += 4) {
        uint8_t first = bytes[0];
        bytes[0] = bytes[2];
        bytes[2] = first;
    }
}

// Reads fields through the file table, never past the length the file had
// when it was opened; the first read that cannot be met fails every later
// one too.
class FontFileReader : public LittleEndianFields<FontFileReader> {
public:
    explicit FontFileReader(zk_file_t* file) : file_(file), left_(file->size > 0 ? file->size : 0) {}

    bool Bytes(void* out, int64_t count) {
        if (failed_ || count < 0 || count > left_) return Fail();
        size_t got = zk->file_system->ZK_FileSystem_ReadFile(out, size_t(count), file_);
        if (got != size_t(count)) return Fail();
        left_ -= count;
        return true;
    }
    bool Skip(int64_t count) {
        uint8_t scrap[256];
        while (count > 0) {
            int64_t part = count < int64_t(sizeof scrap) ? count : int64_t(sizeof scrap);
            if (!Bytes(scrap, part)) return false;
            count -= part;
        }
        return true;
    }
    // An encoding name, read up to and with its 0: at most `limit` bytes
    // of it, or, `to_its_end`, all of it however long (within the file).
    // Its first `limit` - 1 bytes are kept.
    bool Encoding(char* text, int limit, bool to_its_end) {
        for (int length = 0; to_its_end || length < limit; ++length) {
            uint8_t c;
            if (!U8(&c)) return false;
            if (length < limit) text[length] = char(c);
            if (c == 0) break;
        }
        text[limit - 1] = 0;
        return true;
    }
    // True while `count` items of at least `each` bytes fit into what is
    // left of the file.
    bool CanHold(int64_t count, int64_t each) const { return !failed_ && count >= 0 && count <= left_ / each; }
    bool Fail() {
        failed_ = true;
        return false;
    }

private:
    zk_file_t* file_;
    int64_t left_;
    bool failed_ = false;
};

// What one file holds, filled before the font is touched.
struct FontFileContents {
    int version = 0;
    uint8_t utf8 = 0;
    int32_t baseline = 0, height = 0, line_spacing = 0;
    float spread = 0, smoothing = 0, scale = 1.0f;
    zk_font_t glyphs = {};  // only its glyph array is used

    FontFileContents() = default;
    FontFileContents(const FontFileContents&) = delete;
    FontFileContents& operator=(const FontFileContents&) = delete;
    ~FontFileContents() { ZKI_FreeFontGlyphs(&glyphs); }
};

bool ReadHeader(FontFileReader& in, FontFileContents* contents, int encoding_limit, bool whole_encoding) {
    char encoding[kOldEncodingBytes];
    if (!in.Encoding(encoding, encoding_limit, whole_encoding)) return false;
    contents->utf8 = strcmp(encoding, "UTF-8") == 0 ? 1 : 0;
    return in.I32(&contents->baseline) && in.I32(&contents->height) && in.I32(&contents->line_spacing);
}

bool ReadKerningRow(FontFileReader& in, zk_glyph_t* glyph, int count, bool stored) {
    glyph->kern = static_cast<int8_t*>(calloc(size_t(count), 1));
    if (!glyph->kern) return in.Fail();
    return !stored || in.Bytes(glyph->kern, count);
}

// A glyph of a counted font whose entry stores no kerning row keeps none
// (every user reads a missing row as offsets of 0). A zeroed row of N bytes
// for each such glyph would make a font of N glyphs hold N * N bytes
// whatever the size of its file, and the next save would write them all.
bool ReadStoredKerningRow(FontFileReader& in, zk_glyph_t* glyph, int count, bool stored) {
    if (!stored) return true;
    if (!in.CanHold(count, 1)) return in.Fail();
    return ReadKerningRow(in, glyph, count, true);
}

// Width and height as they are, and the pixels when both are at least 1.
bool ReadGlyphPixels(FontFileReader& in, zk_glyph_t* glyph, int32_t width, int32_t height, int version) {
    zk_bitmap_t& bitmap = glyph->bitmap;
    bitmap.width = bitmap.texture_width = width;
    bitmap.height = bitmap.texture_height = height;
    if (width < 1 || height < 1) return true;
    if (!in.CanHold(int64_t(width) * height, 4)) return in.Fail();
    bitmap.pixels = ZKI_AllocatePixelBlock(width, height);
    if (!bitmap.pixels || !in.Bytes(bitmap.pixels, int64_t(width) * height * 4)) return in.Fail();
    bitmap.flags |= ZK_BITMAP_HAS_ALPHA;
    if (FileHoldsRGBA(version) != MemoryHoldsRGBA()) {
        ExchangeRedAndBlue(reinterpret_cast<uint8_t*>(bitmap.pixels), size_t(width) * size_t(height));
    }
    return true;
}

int16_t AdvanceOfWidth(int32_t width) { return int16_t(width + 1 > INT16_MAX ? INT16_MAX : width + 1); }

bool ReadOldGlyph(FontFileReader& in, zk_glyph_t* glyph, int version) {
    int16_t y_offset;
    uint16_t width, height;
    if (!in.I16(&y_offset)) return false;
    glyph->y_offset = float(y_offset);
    if (version >= 2 && !in.I16(&glyph->x_offset)) return false;
    if (!in.I16(&glyph->advance)) return false;
    if (!ReadKerningRow(in, glyph, ZK_LATIN1_GLYPHS, version >= 4)) return false;
    if (!in.U16(&width) || !in.U16(&height)) return false;
    if (version >= 3 && !in.I16(&glyph->advance)) return false;
    if (!ReadGlyphPixels(in, glyph, width, height, version)) return false;
    if (version <= 2) glyph->advance = AdvanceOfWidth(width);
    return true;
}

// Versions 1 to 5: after the common start, a table nobody reads and the
// 256 glyphs of a LATIN-1 font, found by position.
bool ZKI_LoadFontMFTFromVersion1ToVersion5(FontFileContents* contents, FontFileReader& in, int version) {
    if (!ReadHeader(in, contents, kOldEncodingBytes, true) || !in.Skip(kOldTableBytes)) return false;
    if (!ZKI_ResetFontGlyphs(&contents->glyphs, ZK_LATIN1_GLYPHS)) return in.Fail();
    for (int i = 0; i < ZK_LATIN1_GLYPHS; ++i) {
        if (!ReadOldGlyph(in, &contents->glyphs.glyphs[i], version)) return false;
    }
    return true;
}

bool ReadGlyph(FontFileReader& in, zk_glyph_t* glyph, int count, int version) {
    uint8_t kerned;
    int16_t width, height;
    if (!in.U32(&glyph->code)) return false;
    if (version >= 7) {
        if (!in.F32(&glyph->y_offset)) return false;
        if (!std::isfinite(glyph->y_offset)) return in.Fail();
    } else {
        int16_t y_offset;
        if (!in.I16(&y_offset)) return false;
        glyph->y_offset = float(y_offset);
    }
    if (!in.I16(&glyph->x_offset) || !in.I16(&glyph->advance) || !in.U8(&kerned)) return false;
    if (!ReadStoredKerningRow(in, glyph, count, kerned != 0)) return false;
    if (!in.I16(&width) || !in.I16(&height)) return false;
    return ReadGlyphPixels(in, glyph, width, height, version);
}

// A scale the font is later divided by must be a positive number.
float UsableScale(const zk_font_t* font, float scale) {
    if (std::isfinite(scale) && scale > 0) return scale;
    zk->ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Font '%s' has an invalid scale (%g); using 1.0.", NameOf(font),
                       double(scale));
    return 1.0f;
}

bool ReadNewFont(const zk_font_t* font, FontFileContents* contents, FontFileReader& in, int version) {
    if (!ReadHeader(in, contents, kEncodingBytes, false)) return false;
    if (version >= 7) {
        float scale;
        if (!in.F32(&contents->spread) || !in.F32(&contents->smoothing) || !in.F32(&scale)) return false;
        if (!std::isfinite(contents->spread) || !std::isfinite(contents->smoothing)) return in.Fail();
        contents->scale = UsableScale(font, scale);
    }
    int32_t count;
    if (!in.I32(&count)) return false;
    if (count < 1) return true;
    if (!in.CanHold(count, version >= 7 ? kSmallestEntry7 : kSmallestEntry6)) return in.Fail();
    if (!ZKI_ResetFontGlyphs(&contents->glyphs, count)) return in.Fail();
    for (int i = 0; i < count; ++i) {
        if (!ReadGlyph(in, &contents->glyphs.glyphs[i], count, version)) return false;
    }
    return true;
}

void TakeContents(zk_font_t* font, FontFileContents* contents) {
    ZKI_FreeFontGlyphs(font);
    font->utf8 = contents->utf8;
    font->baseline = contents->baseline;
    font->height = contents->height;
    font->line_spacing = contents->line_spacing;
    font->glyphs = contents->glyphs.glyphs;
    font->num_glyphs = contents->glyphs.num_glyphs;
    contents->glyphs.glyphs = nullptr;
    contents->glyphs.num_glyphs = 0;
    if (contents->version < 7) return;
    font->spread = contents->spread;
    font->smoothing = contents->smoothing;
    font->scale = contents->scale;
    if (font->spread > 0) {
        font->flags |= ZK_FONT_DISTANCE_FIELD;
    } else {
        font->flags &= uint8_t(~ZK_FONT_DISTANCE_FIELD);
    }
}

// The version digit after the magic; 0 when there is none. The text before
// it is not compared.
int ReadVersion(const zk_font_t* font, FontFileReader& in) {
    char magic[kMagicLength + 1] = {};
    for (int i = 0; i < kMagicLength; ++i) {
        if (!in.Bytes(&magic[i], 1)) break;
    }
    char digit = magic[kMagicLength - 1];
    int version = digit >= '0' && digit <= '9' ? digit - '0' : 0;
    if (version == 0) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Font '%s' has invalid header ('%s')", NameOf(font), magic);
    } else if (version > kNewestVersion) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Font '%s' is of version %d; versions up to %d can be read.",
                      NameOf(font), version, kNewestVersion);
        version = 0;
    }
    return version;
}

}  // namespace

bool ZKI_LoadFontMFT(zk_font_t* font) {
    if (!font) return false;
    zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(NameOf(font), "r");
    if (!file) {
        zk->ZK_Printf("Font '%s' file not found.", NameOf(font));
        return false;
    }
    FontFileReader in(file);
    FontFileContents contents;
    contents.version = ReadVersion(font, in);
    bool read = false;
    if (contents.version != 0) {
        read = in.Skip(1) && (contents.version < 6
                                  ? ZKI_LoadFontMFTFromVersion1ToVersion5(&contents, in, contents.version)
                                  : ReadNewFont(font, &contents, in, contents.version));
        if (!read) zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Font '%s' is truncated or damaged.", NameOf(font));
    }
    zk->file_system->ZK_FileSystem_CloseFile(file);
    if (read) TakeContents(font, &contents);
    return read;
}

namespace {

// Collects the file's bytes and hands them to the temporary file in
// blocks; the first failure is kept.
class FontFileWriter {
public:
    bool Begin(const char* path) { return file_.Begin(path, &error_); }
    void Bytes(const void* data, size_t size) {
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        while (size > 0 && !failed_) {
            size_t part = sizeof buffer_ - used_ < size ? sizeof buffer_ - used_ : size;
            memcpy(buffer_ + used_, bytes, part);
            used_ += part;
            bytes += part;
            size -= part;
            if (used_ == sizeof buffer_) Flush();
        }
    }
    void U8(uint8_t value) { Bytes(&value, 1); }
    void I16(int32_t value) {
        uint8_t b[2] = {uint8_t(value), uint8_t(value >> 8)};
        Bytes(b, 2);
    }
    void U32(uint32_t value) {
        uint8_t b[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
        Bytes(b, 4);
    }
    void F32(float value) {
        uint32_t bits;
        memcpy(&bits, &value, 4);
        U32(bits);
    }
    bool Finish() {
        Flush();
        return !failed_ && file_.Commit(&error_);
    }
    const char* Error() const { return error_.c_str(); }

private:
    void Flush() {
        if (used_ > 0 && !failed_ && !file_.Write(buffer_, used_, &error_)) failed_ = true;
        used_ = 0;
    }

    ZKFileSystem::SafeFile file_;
    nString error_;
    uint8_t buffer_[8192];
    size_t used_ = 0;
    bool failed_ = false;
};

bool HasPixels(const zk_bitmap_t& bitmap) { return bitmap.pixels && bitmap.width >= 1 && bitmap.height >= 1; }

// The first glyph whose size does not fit the format's 16-bit fields, or -1.
int GlyphTooLarge(const zk_font_t* font) {
    for (int i = 0; font->glyphs && i < font->num_glyphs; ++i) {
        const zk_bitmap_t& bitmap = font->glyphs[i].bitmap;
        if (HasPixels(bitmap) && (bitmap.width > INT16_MAX || bitmap.height > INT16_MAX)) return i;
    }
    return -1;
}

void WritePixels(FontFileWriter& out, const zk_bitmap_t& bitmap) {
    size_t count = size_t(bitmap.width) * size_t(bitmap.height);
    if (MemoryHoldsRGBA()) {
        out.Bytes(bitmap.pixels, count * 4);
        return;
    }
    // The font keeps its pixels: rows are exchanged in a copy.
    uint8_t row[4 * 1024];
    const uint8_t* pixels = reinterpret_cast<const uint8_t*>(bitmap.pixels);
    for (size_t done = 0; done < count;) {
        size_t part = count - done < sizeof row / 4 ? count - done : sizeof row / 4;
        memcpy(row, pixels + done * 4, part * 4);
        ExchangeRedAndBlue(row, part);
        out.Bytes(row, part * 4);
        done += part;
    }
}

void WriteGlyph(FontFileWriter& out, const zk_glyph_t& glyph, int count) {
    out.U32(glyph.code);
    out.F32(glyph.y_offset);
    out.I16(glyph.x_offset);
    out.I16(glyph.advance);
    out.U8(glyph.kern ? 1 : 0);
    if (glyph.kern) out.Bytes(glyph.kern, size_t(count));
    // A glyph without pixels is stored without a size, so that no reader
    // looks for pixel bytes that are not there.
    bool pixels = HasPixels(glyph.bitmap);
    out.I16(pixels ? glyph.bitmap.width : 0);
    out.I16(pixels ? glyph.bitmap.height : 0);
    if (pixels) WritePixels(out, glyph.bitmap);
}

}  // namespace

bool ZKI_SaveFont(zk_font_t* font, const char* path) {
    if (!font) return false;
    zk->ZK_Printf("..saving font '%s'..", path ? path : NameOf(font));
    if (!path || !*path) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Failed to save font '%s': no file path to write to.", NameOf(font));
        return false;
    }
    if (strstr(path, "://")) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Failed to save font '%s': only native paths can be written.", path);
        return false;
    }
    int too_large = GlyphTooLarge(font);
    if (too_large >= 0) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Failed to save font '%s': glyph #%d is larger than 32767 pixels.", path,
                      too_large);
        return false;
    }
    FontFileWriter out;
    if (!out.Begin(path)) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Failed to save font '%s'", path);
        return false;
    }
    char magic[kMagicLength + 1];
    snprintf(magic, sizeof magic, "%s%d", kMagic, kNewestVersion);
    out.Bytes(magic, sizeof magic);
    const char* encoding = font->utf8 ? "UTF-8" : "LATIN-1";
    out.Bytes(encoding, strlen(encoding) + 1);
    out.U32(uint32_t(font->baseline));
    out.U32(uint32_t(font->height));
    out.U32(uint32_t(font->line_spacing));
    out.F32(font->spread);
    out.F32(font->smoothing);
    out.F32(font->scale);
    int count = font->glyphs && font->num_glyphs > 0 ? font->num_glyphs : 0;
    out.U32(uint32_t(count));
    for (int i = 0; i < count; ++i) WriteGlyph(out, font->glyphs[i], count);
    if (!out.Finish()) {
        zk->ZK_PrintDebugf(ZK_MESSAGE_ERROR, "Font '%s' not written: %s.", path, out.Error());
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Failed to save font '%s'", path);
        return false;
    }
    return true;
}

bool ZK_Graphics_SaveFont(zk_font_t* font, const char* path) { return ZKI_SaveFont(font, path); }
