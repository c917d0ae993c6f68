#include "engine/imageformats/font_file_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/imageformats/little_endian_fields.h"

namespace {

const char kMagicPrefix[] = "OLK_Font_v";
const int kPrefixLength = 10;
const int kMagicLength = 11;       // the prefix and the version digit
const int kOldTableBytes = 256;    // the table of versions 1 to 5
const char kUtf8Name[] = "UTF-8";
// The smallest glyph entry of versions 6 and 7: code, y offset, x offset,
// advance, kern flag, width, height.
const int kSmallestEntry6 = 4 + 2 + 2 + 2 + 1 + 2 + 2;
const int kSmallestEntry7 = kSmallestEntry6 + 2;

// Reads fields from the input, never past its length; the first read that
// cannot be met fails every later one too.
class FieldReader : public LittleEndianFields<FieldReader> {
public:
    FieldReader(const zk_image_input_t& input, int64_t length) : input_(input), left_(length) {}

    bool Bytes(void* out, int64_t count) {
        if (failed_ || count < 0 || (left_ >= 0 && count > left_) || !input_.read) return Fail();
        if (input_.read(input_.context, out, size_t(count)) != size_t(count)) return Fail();
        if (left_ >= 0) left_ -= count;
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
    // True while `count` items of at least `each` bytes fit into what is
    // left of the input.
    bool CanHold(int64_t count, int64_t each) const {
        return !failed_ && count >= 0 && (left_ < 0 || count <= left_ / each);
    }
    // A heap block of `count` bytes read from the input, or null (and the
    // reader failed).
    void* Block(int64_t count) {
        if (!CanHold(count, 1)) return FailWithNull();
        void* block = malloc(count ? size_t(count) : 1);
        if (!block) return FailWithNull();
        if (!Bytes(block, count)) {
            free(block);
            return nullptr;
        }
        return block;
    }
    bool Fail() {
        failed_ = true;
        return false;
    }

private:
    void* FailWithNull() {
        failed_ = true;
        return nullptr;
    }

    zk_image_input_t input_;
    int64_t left_;
    bool failed_ = false;
};

void Report(const zk_font_file_messages_t* messages, zk_font_file_message_id_t id, const char* magic, int version,
            double scale) {
    if (!messages || !messages->report) return;
    zk_font_file_message_t message = {id, magic, version, scale};
    messages->report(messages->context, message);
}

bool FileHoldsRGBA(int version) { return version >= 5; }

void ExchangeRedAndBlue(uint8_t* bytes, size_t pixels) {
    for (size_t i = 0; i < pixels; ++i, bytes += 4) {
        uint8_t first = bytes[0];
        bytes[0] = bytes[2];
        bytes[2] = first;
    }
}

// The version the magic names, or 0 after the message that refuses it. A
// caller that compares the whole magic sees a short one as no bytes at all.
int ReadVersion(FieldReader& in, const zk_font_file_format_t& format, const zk_font_file_messages_t* messages) {
    char magic[kMagicLength + 1] = {};
    if (format.whole_magic) {
        if (!in.Bytes(magic, kMagicLength)) memset(magic, 0, sizeof magic);
    } else {
        for (int i = 0; i < kMagicLength; ++i) {
            if (!in.Bytes(&magic[i], 1)) break;
        }
    }
    char digit = magic[kMagicLength - 1];
    int version = digit >= '0' && digit <= '9' ? digit - '0' : 0;
    bool prefix_known = !format.whole_magic || memcmp(magic, kMagicPrefix, kPrefixLength) == 0;
    if (version == 0 || !prefix_known || (format.whole_magic && version > format.newest_version)) {
        Report(messages, ZK_FONT_FILE_BAD_HEADER, magic, 0, 0);
        return 0;
    }
    if (version > format.newest_version) {
        Report(messages, ZK_FONT_FILE_NEWER_VERSION, magic, version, 0);
        return 0;
    }
    return version;
}

// The encoding name up to and with its 0; the font is UTF-8 when the name
// is exactly "UTF-8".
bool ReadEncoding(FieldReader& in, const zk_font_file_name_rule_t& rule, zk_font_file_t* font) {
    char start[sizeof kUtf8Name] = {};
    int length = 0;
    bool ended = false;
    for (; rule.limit == 0 || length < rule.limit; ++length) {
        uint8_t c;
        if (!in.U8(&c)) return false;
        if (length < int(sizeof start)) start[length] = char(c);
        if (c == 0) {
            ended = true;
            break;
        }
    }
    if (!ended && rule.must_end) return in.Fail();
    font->utf8 = ended && length == int(sizeof kUtf8Name) - 1 && memcmp(start, kUtf8Name, sizeof kUtf8Name) == 0;
    return true;
}

bool ReadHeader(FieldReader& in, const zk_font_file_format_t& format, zk_font_file_t* font,
                const zk_font_file_messages_t* messages) {
    *font = zk_font_file_t{};
    font->scale = 1.0f;
    font->version = ReadVersion(in, format, messages);
    if (font->version == 0) return false;
    const zk_font_file_name_rule_t& rule = font->version < 6 ? format.old_name : format.new_name;
    return in.Skip(1) && ReadEncoding(in, rule, font) && in.I32(&font->baseline) && in.I32(&font->height) &&
           in.I32(&font->line_spacing);
}

bool AllocateGlyphs(FieldReader& in, zk_font_file_t* font, int32_t count) {
    font->glyphs = static_cast<zk_font_file_glyph_t*>(calloc(size_t(count), sizeof(zk_font_file_glyph_t)));
    if (!font->glyphs) return in.Fail();
    font->glyph_count = count;
    return true;
}

// Width and height as they are, and the pixels when both are at least 1.
bool ReadPixels(FieldReader& in, const zk_font_file_format_t& format, zk_font_file_glyph_t* glyph, int version) {
    if (glyph->width < 1 || glyph->height < 1) return true;
    int64_t count = int64_t(glyph->width) * glyph->height;
    if (!in.CanHold(count, 4)) return in.Fail();
    glyph->pixels = format.allocate_pixels ? format.allocate_pixels(glyph->width, glyph->height)
                                           : static_cast<uint32_t*>(malloc(size_t(count) * 4));
    if (!glyph->pixels || !in.Bytes(glyph->pixels, count * 4)) return in.Fail();
    if (FileHoldsRGBA(version) != (format.order == ZK_PIXELS_RGBA)) {
        ExchangeRedAndBlue(reinterpret_cast<uint8_t*>(glyph->pixels), size_t(count));
    }
    return true;
}

// Versions 1 and 2 store no advance: it is the width plus 1. With signed
// sizes it wraps in the 16-bit field; with unsigned ones it stops at the
// largest advance.
int16_t AdvanceOfWidth(int32_t width, bool sizes_signed) {
    if (sizes_signed) return int16_t(width + 1);
    return int16_t(width + 1 > INT16_MAX ? INT16_MAX : width + 1);
}

bool ReadOldGlyph(FieldReader& in, const zk_font_file_format_t& format, zk_font_file_glyph_t* glyph, int version) {
    int16_t y_offset;
    if (!in.I16(&y_offset)) return false;
    glyph->y_offset = float(y_offset);
    if (version >= 2 && !in.I16(&glyph->x_offset)) return false;
    if (!in.I16(&glyph->advance)) return false;
    if (version >= 4) {
        glyph->kerning = static_cast<int8_t*>(in.Block(kFontFileOldGlyphs));
        if (!glyph->kerning) return false;
    } else if (format.old_rows_zeroed) {
        glyph->kerning = static_cast<int8_t*>(calloc(kFontFileOldGlyphs, 1));
        if (!glyph->kerning) return in.Fail();
    }
    if (format.old_sizes_signed) {
        int16_t width, height;
        if (!in.I16(&width) || !in.I16(&height)) return false;
        glyph->width = width;
        glyph->height = height;
    } else {
        uint16_t width, height;
        if (!in.U16(&width) || !in.U16(&height)) return false;
        glyph->width = width;
        glyph->height = height;
    }
    if (version >= 3 && !in.I16(&glyph->advance)) return false;
    if (!ReadPixels(in, format, glyph, version)) return false;
    if (version <= 2) glyph->advance = AdvanceOfWidth(glyph->width, format.old_sizes_signed);
    return true;
}

bool ReadOldGlyphs(FieldReader& in, const zk_font_file_format_t& format, zk_font_file_t* font) {
    if (!in.Skip(kOldTableBytes) || !AllocateGlyphs(in, font, kFontFileOldGlyphs)) return false;
    for (int i = 0; i < kFontFileOldGlyphs; ++i) {
        if (!ReadOldGlyph(in, format, &font->glyphs[i], font->version)) return false;
    }
    return true;
}

bool ReadGlyph(FieldReader& in, const zk_font_file_format_t& format, zk_font_file_glyph_t* glyph, int32_t count,
               int version) {
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
    // A glyph whose entry stores no kerning row keeps none (every user reads
    // a missing row as offsets of 0): zeroed rows of N bytes would make a
    // font of N glyphs hold N * N bytes whatever the size of its file.
    if (kerned) {
        glyph->kerning = static_cast<int8_t*>(in.Block(count));
        if (!glyph->kerning) return false;
    }
    if (!in.I16(&width) || !in.I16(&height)) return false;
    glyph->width = width;
    glyph->height = height;
    return ReadPixels(in, format, glyph, version);
}

bool ReadNewGlyphs(FieldReader& in, const zk_font_file_format_t& format, zk_font_file_t* font,
                   const zk_font_file_messages_t* messages) {
    if (font->version >= 7) {
        float scale;
        if (!in.F32(&font->spread) || !in.F32(&font->smoothing) || !in.F32(&scale)) return false;
        if (!std::isfinite(font->spread) || !std::isfinite(font->smoothing)) return in.Fail();
        // A scale the font is later divided by must be a positive number.
        if (!std::isfinite(scale) || scale <= 0) {
            Report(messages, ZK_FONT_FILE_BAD_SCALE, nullptr, font->version, double(scale));
            scale = 1.0f;
        }
        font->scale = scale;
    }
    int32_t count;
    if (!in.I32(&count)) return false;
    if (count < 0 && format.negative_count_refused) return in.Fail();
    if (count < 1) return true;
    if (format.max_glyphs > 0 && count > format.max_glyphs) return in.Fail();
    if (!in.CanHold(count, font->version >= 7 ? kSmallestEntry7 : kSmallestEntry6)) return in.Fail();
    if (!AllocateGlyphs(in, font, count)) return false;
    for (int i = 0; i < count; ++i) {
        if (!ReadGlyph(in, format, &font->glyphs[i], count, font->version)) return false;
    }
    return true;
}

bool Refuse(zk_font_file_t* font, const zk_font_file_messages_t* messages) {
    if (font->version != 0) Report(messages, ZK_FONT_FILE_DAMAGED, nullptr, font->version, 0);
    ZKI_FreeFontFile(font);
    return false;
}

}  // namespace

bool ZKI_ReadFontFileHeader(const zk_image_input_t& input, int64_t length, const zk_font_file_format_t& format,
                            zk_font_file_t* font, const zk_font_file_messages_t* messages) {
    FieldReader in(input, length);
    if (!ReadHeader(in, format, font, messages)) return Refuse(font, messages);
    return true;
}

bool ZKI_ReadFontFile(const zk_image_input_t& input, int64_t length, const zk_font_file_format_t& format,
                      zk_font_file_t* font, const zk_font_file_messages_t* messages) {
    FieldReader in(input, length);
    if (!ReadHeader(in, format, font, messages)) return Refuse(font, messages);
    bool read = font->version < 6 ? ReadOldGlyphs(in, format, font) : ReadNewGlyphs(in, format, font, messages);
    return read || Refuse(font, messages);
}

void ZKI_FreeFontFile(zk_font_file_t* font) {
    for (int i = 0; font->glyphs && i < font->glyph_count; ++i) {
        free(font->glyphs[i].pixels);
        free(font->glyphs[i].kerning);
    }
    free(font->glyphs);
    *font = zk_font_file_t{};
}

namespace {

bool HasPixels(const zk_font_file_glyph_t& glyph) { return glyph.pixels && glyph.width >= 1 && glyph.height >= 1; }

bool FitsI16(int32_t value) { return value >= INT16_MIN && value <= INT16_MAX; }

// Collects the file's bytes and hands them to the output in blocks; after
// the first short write nothing more is written.
class FieldWriter {
public:
    explicit FieldWriter(const zk_image_output_t& output) : output_(output) {}

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
        uint8_t b[2];
        ZKI_PutU16(b, uint32_t(value));
        Bytes(b, 2);
    }
    void U32(uint32_t value) {
        uint8_t b[4];
        ZKI_PutU32(b, value);
        Bytes(b, 4);
    }
    void F32(float value) {
        uint32_t bits;
        memcpy(&bits, &value, 4);
        U32(bits);
    }
    bool Finish() {
        Flush();
        return !failed_;
    }

private:
    void Flush() {
        if (used_ > 0 && !failed_ && (!output_.write || output_.write(output_.context, buffer_, used_) != used_)) {
            failed_ = true;
        }
        used_ = 0;
    }

    zk_image_output_t output_;
    uint8_t buffer_[8192];
    size_t used_ = 0;
    bool failed_ = false;
};

// Pixels go out R, G, B, A whatever the order in memory; the font keeps
// its own pixels, rows are exchanged in a copy.
void WritePixels(FieldWriter& out, const zk_font_file_glyph_t& glyph, zk_pixel_byte_order_t order) {
    size_t count = size_t(glyph.width) * size_t(glyph.height);
    if (order == ZK_PIXELS_RGBA) {
        out.Bytes(glyph.pixels, count * 4);
        return;
    }
    uint8_t row[4 * 1024];
    const uint8_t* pixels = reinterpret_cast<const uint8_t*>(glyph.pixels);
    for (size_t done = 0; done < count;) {
        size_t part = count - done < sizeof row / 4 ? count - done : sizeof row / 4;
        memcpy(row, pixels + done * 4, part * 4);
        ExchangeRedAndBlue(row, part);
        out.Bytes(row, part * 4);
        done += part;
    }
}

void WriteGlyph(FieldWriter& out, const zk_font_file_t& font, const zk_font_file_glyph_t& glyph,
                const zk_font_file_format_t& format) {
    out.U32(glyph.code);
    if (format.newest_version >= 7) {
        out.F32(glyph.y_offset);
    } else {
        out.I16(int32_t(glyph.y_offset));
    }
    out.I16(glyph.x_offset);
    out.I16(glyph.advance);
    out.U8(glyph.kerning ? 1 : 0);
    if (glyph.kerning) out.Bytes(glyph.kerning, size_t(font.glyph_count));
    bool pixels = HasPixels(glyph);
    if (format.sizes_written_as_they_are) {
        out.I16(glyph.width);
        out.I16(glyph.height);
    } else {
        // A glyph without pixels is stored without a size, so that no
        // reader looks for pixel bytes that are not there.
        out.I16(pixels ? glyph.width : 0);
        out.I16(pixels ? glyph.height : 0);
    }
    if (pixels) WritePixels(out, glyph, format.order);
}

}  // namespace

int ZKI_FindUnwritableFontGlyph(const zk_font_file_t& font, const zk_font_file_format_t& format) {
    for (int i = 0; font.glyphs && i < font.glyph_count; ++i) {
        const zk_font_file_glyph_t& glyph = font.glyphs[i];
        if (format.sizes_written_as_they_are) {
            if (!FitsI16(glyph.width) || !FitsI16(glyph.height)) return i;
            if (glyph.width > 0 && glyph.height > 0 && !glyph.pixels) return i;
        } else if (HasPixels(glyph) && (glyph.width > INT16_MAX || glyph.height > INT16_MAX)) {
            return i;
        }
    }
    return -1;
}

bool ZKI_WriteFontFile(const zk_font_file_t& font, const zk_font_file_format_t& format,
                       const zk_image_output_t& output) {
    if (ZKI_FindUnwritableFontGlyph(font, format) >= 0) return false;
    FieldWriter out(output);
    char magic[kMagicLength + 1];
    snprintf(magic, sizeof magic, "%s%d", kMagicPrefix, format.newest_version);
    out.Bytes(magic, sizeof magic);
    const char* encoding = font.utf8 ? kUtf8Name : "LATIN-1";
    out.Bytes(encoding, strlen(encoding) + 1);
    out.U32(uint32_t(font.baseline));
    out.U32(uint32_t(font.height));
    out.U32(uint32_t(font.line_spacing));
    if (format.newest_version >= 7) {
        out.F32(font.spread);
        out.F32(font.smoothing);
        out.F32(font.scale);
    }
    out.U32(uint32_t(font.glyph_count));
    for (int i = 0; font.glyphs && i < font.glyph_count; ++i) WriteGlyph(out, font, font.glyphs[i], format);
    return out.Finish();
}
