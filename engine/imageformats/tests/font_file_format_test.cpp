// Font files: each rule of the format parameters (versions, magic, names,
// old sizes and kerning rows, counts, pixel order, sizes written), every
// truncation, and the bytes the writer gives. Files are written here from
// the format.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/imageformats/font_file_format.h"
#include "engine/imageformats/tests/image_test_support.h"

using namespace image_test;

namespace {

// The widest rules: every version, only the digit compared, unsigned old
// sizes, nothing refused that the file can hold.
zk_font_file_format_t Widest() {
    zk_font_file_format_t format = {};
    format.newest_version = 7;
    format.old_name = {0, false};
    format.new_name = {32, false};
    format.order = ZK_PIXELS_RGBA;
    return format;
}

void PutI32(Bytes* out, int32_t value) { PutU32(out, uint32_t(value)); }

void PutF32(Bytes* out, float value) {
    uint32_t bits;
    memcpy(&bits, &value, 4);
    PutU32(out, bits);
}

void PutText(Bytes* out, const std::string& text) {
    out->insert(out->end(), text.begin(), text.end());
    out->push_back(0);
}

Bytes Start(const std::string& magic, const std::string& encoding = "UTF-8") {
    Bytes out;
    PutText(&out, magic);
    PutText(&out, encoding);
    PutI32(&out, 10);  // baseline
    PutI32(&out, 12);  // height
    PutI32(&out, 14);  // line spacing
    return out;
}

// The one pixel of the sample glyph, as R, G, B, A bytes.
const uint8_t kPixel[4] = {1, 2, 3, 4};

// Versions 6 and 7: glyph 0 is 'A' with a kerning row and one pixel, glyph 1
// is a blank without either.
Bytes NewFile(int version) {
    Bytes out = Start("OLK_Font_v" + std::to_string(version));
    if (version >= 7) {
        PutF32(&out, 0.5f);   // spread
        PutF32(&out, 0.25f);  // smoothing
        PutF32(&out, 2.0f);   // scale
    }
    PutI32(&out, 2);
    PutU32(&out, 'A');
    if (version >= 7) PutF32(&out, -3.0f); else PutU16(&out, -3);
    PutU16(&out, 1);  // x offset
    PutU16(&out, 5);  // advance
    out.push_back(1);
    out.push_back(uint8_t(-2));
    out.push_back(7);
    PutU16(&out, 1);
    PutU16(&out, 1);
    out.insert(out.end(), kPixel, kPixel + 4);
    PutU32(&out, ' ');
    if (version >= 7) PutF32(&out, 0); else PutU16(&out, 0);
    PutU16(&out, 0);
    PutU16(&out, 3);
    out.push_back(0);
    PutU16(&out, 0);
    PutU16(&out, 0);
    return out;
}

// Versions 1 to 5: 256 entries; entry 65 has one pixel (in the file's own
// order) and the size given, every other one is empty.
Bytes OldFile(int version, uint16_t width = 1, uint16_t height = 1) {
    Bytes out = Start("OLK_Font_v" + std::to_string(version), "LATIN-1");
    out.insert(out.end(), 256, 0xEE);
    for (int i = 0; i < 256; ++i) {
        bool sample = i == 65;
        PutU16(&out, sample ? -3 : 0);
        if (version >= 2) PutU16(&out, sample ? 1 : 0);
        PutU16(&out, sample ? 5 : 0);
        if (version >= 4) {
            for (int p = 0; p < 256; ++p) out.push_back(uint8_t(sample ? p : 0));
        }
        PutU16(&out, sample ? width : 0);
        PutU16(&out, sample ? height : 0);
        if (version >= 3) PutU16(&out, sample ? 6 : 0);
        if (sample && int16_t(width) >= 1 && int16_t(height) >= 1) {
            if (version >= 5) {
                out.insert(out.end(), kPixel, kPixel + 4);
            } else {
                const uint8_t bgra[4] = {kPixel[2], kPixel[1], kPixel[0], kPixel[3]};
                out.insert(out.end(), bgra, bgra + 4);
            }
        }
    }
    return out;
}

struct Read {
    bool ok = false;
    zk_font_file_t font = {};
    std::vector<zk_font_file_message_t> messages;
    std::vector<std::string> magics;
    ~Read() { ZKI_FreeFontFile(&font); }

    static void Keep(void* context, const zk_font_file_message_t& message) {
        Read* self = static_cast<Read*>(context);
        self->messages.push_back(message);
        self->magics.push_back(message.magic ? message.magic : "");
    }
    std::vector<zk_font_file_message_id_t> Ids() const {
        std::vector<zk_font_file_message_id_t> ids;
        for (const zk_font_file_message_t& m : messages) ids.push_back(m.id);
        return ids;
    }
};

// Reads file whole; with a known length unless `unknown_length`.
void ReadFile(const Bytes& file, const zk_font_file_format_t& format, Read* out, bool unknown_length = false) {
    MemoryInput input(file);
    zk_font_file_messages_t sink = {Read::Keep, out};
    out->ok = ZKI_ReadFontFile(input.Input(), unknown_length ? -1 : int64_t(file.size()), format, &out->font, &sink);
}

std::vector<uint8_t> PixelBytes(const zk_font_file_glyph_t& glyph) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(glyph.pixels);
    return p ? std::vector<uint8_t>(p, p + size_t(glyph.width) * glyph.height * 4) : std::vector<uint8_t>{};
}

TEST(FontFileReading, EveryVersionReadsItsFields) {
    for (int version = 1; version <= 7; ++version) {
        SCOPED_TRACE(version);
        Read read;
        ReadFile(version >= 6 ? NewFile(version) : OldFile(version), Widest(), &read);
        ASSERT_TRUE(read.ok);
        EXPECT_EQ(read.messages.size(), 0u);
        const zk_font_file_t& font = read.font;
        EXPECT_EQ(font.version, version);
        EXPECT_EQ(font.utf8, version >= 6 ? 1 : 0);
        EXPECT_EQ(font.baseline, 10);
        EXPECT_EQ(font.height, 12);
        EXPECT_EQ(font.line_spacing, 14);
        EXPECT_EQ(font.scale, version >= 7 ? 2.0f : 1.0f);
        EXPECT_EQ(font.spread, version >= 7 ? 0.5f : 0.0f);
        ASSERT_EQ(font.glyph_count, version >= 6 ? 2 : 256);
        const zk_font_file_glyph_t& glyph = font.glyphs[version >= 6 ? 0 : 65];
        EXPECT_EQ(glyph.code, version >= 6 ? uint32_t('A') : 0u);
        EXPECT_EQ(glyph.y_offset, -3.0f);
        EXPECT_EQ(glyph.x_offset, version >= 2 ? 1 : 0);
        // Versions 1 and 2 take the width plus 1; 3 to 5 the field after
        // the size.
        EXPECT_EQ(glyph.advance, version <= 2 ? 2 : version <= 5 ? 6 : 5);
        EXPECT_EQ(glyph.width, 1);
        EXPECT_EQ(PixelBytes(glyph), std::vector<uint8_t>(kPixel, kPixel + 4));
        if (version >= 6) {
            ASSERT_NE(glyph.kerning, nullptr);
            EXPECT_EQ(glyph.kerning[0], -2);
            EXPECT_EQ(glyph.kerning[1], 7);
            EXPECT_EQ(font.glyphs[1].kerning, nullptr);
            EXPECT_EQ(font.glyphs[1].pixels, nullptr);
        } else if (version >= 4) {
            ASSERT_NE(glyph.kerning, nullptr);
            EXPECT_EQ(glyph.kerning[200], int8_t(200));
        } else {
            EXPECT_EQ(glyph.kerning, nullptr);
        }
    }
}

struct MagicCase {
    const char* name;
    std::string magic;
    bool whole_magic;
    int newest;
    zk_font_file_message_id_t refused;  // ZK_FONT_FILE_DAMAGED: read
};

TEST(FontFileReading, TheMagicNamesTheVersion) {
    const MagicCase cases[] = {
        {"digit only", "XXXXXXXXXX7", false, 7, ZK_FONT_FILE_DAMAGED},
        {"whole magic, other prefix", "XXXXXXXXXX6", true, 6, ZK_FONT_FILE_BAD_HEADER},
        {"whole magic, known", "OLK_Font_v6", true, 6, ZK_FONT_FILE_DAMAGED},
        {"whole magic, newer", "OLK_Font_v7", true, 6, ZK_FONT_FILE_BAD_HEADER},
        {"digit only, newer", "OLK_Font_v8", false, 7, ZK_FONT_FILE_NEWER_VERSION},
        {"letter", "OLK_Font_vA", false, 7, ZK_FONT_FILE_BAD_HEADER},
        {"zero", "OLK_Font_v0", false, 7, ZK_FONT_FILE_BAD_HEADER},
    };
    for (const MagicCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = NewFile(c.magic.back() == '7' ? 7 : 6);
        memcpy(file.data(), c.magic.data(), 11);
        zk_font_file_format_t format = Widest();
        format.whole_magic = c.whole_magic;
        format.newest_version = c.newest;
        Read read;
        ReadFile(file, format, &read);
        if (c.refused == ZK_FONT_FILE_DAMAGED) {
            EXPECT_TRUE(read.ok);
            EXPECT_EQ(read.messages.size(), 0u);
            continue;
        }
        EXPECT_FALSE(read.ok);
        EXPECT_EQ(read.Ids(), std::vector<zk_font_file_message_id_t>{c.refused});
        EXPECT_EQ(read.magics, std::vector<std::string>{c.magic});
        if (c.refused == ZK_FONT_FILE_NEWER_VERSION) {
            EXPECT_EQ(read.messages[0].version, 8);
        }
    }
}

// A file shorter than the magic: the reader that looks at the digit shows
// what there was, the one that compares the whole magic shows nothing.
TEST(FontFileReading, AShortMagicIsABadHeader) {
    for (bool whole : {false, true}) {
        zk_font_file_format_t format = Widest();
        format.whole_magic = whole;
        Read read;
        ReadFile(Bytes{'O', 'L', 'K', '_', 'F'}, format, &read);
        EXPECT_FALSE(read.ok);
        EXPECT_EQ(read.Ids(), std::vector<zk_font_file_message_id_t>{ZK_FONT_FILE_BAD_HEADER});
        EXPECT_EQ(read.magics, std::vector<std::string>{whole ? "" : "OLK_F"});
    }
}

// Every prefix of every version is refused with one message and leaves
// nothing behind, whether the reader knows the length or finds the end.
TEST(FontFileReading, EveryTruncationIsRefused) {
    for (int version = 1; version <= 7; ++version) {
        Bytes whole = version >= 6 ? NewFile(version) : OldFile(version);
        for (bool unknown_length : {false, true}) {
            for (size_t size = 0; size < whole.size(); size += version == 4 || version == 5 ? 97 : 1) {
                SCOPED_TRACE(testing::Message() << "version " << version << " size " << size);
                Read read;
                ReadFile(Bytes(whole.begin(), whole.begin() + long(size)), Widest(), &read, unknown_length);
                EXPECT_FALSE(read.ok);
                ASSERT_EQ(read.messages.size(), 1u);
                EXPECT_EQ(read.messages[0].id, size < 11 ? ZK_FONT_FILE_BAD_HEADER : ZK_FONT_FILE_DAMAGED);
                EXPECT_EQ(read.font.glyphs, nullptr);
            }
        }
    }
}

// The reader stops at the length it is given even when the input goes on.
TEST(FontFileReading, TheLengthGivenBoundsTheReading) {
    Bytes file = NewFile(6);
    MemoryInput input(file);
    zk_font_file_t font;
    EXPECT_FALSE(ZKI_ReadFontFile(input.Input(), int64_t(file.size()) - 1, Widest(), &font, nullptr));
    EXPECT_LT(input.position, file.size());
}

struct OldSizeCase {
    const char* name;
    int version;
    uint16_t width, height;
    bool sizes_signed;
    bool ok;
    int32_t read_width;
    int16_t advance;  // of the sample glyph
};

TEST(FontFileReading, OldSizesAreSignedOrUnsignedByTheFormat) {
    const OldSizeCase cases[] = {
        {"unsigned, no height", 2, 0xFFFF, 0, false, true, 65535, 32767},
        {"signed, no height", 2, 0xFFFF, 0, true, true, -1, 0},
        {"signed, wraps", 2, 0x7FFF, 0, true, true, 32767, -32768},
        {"unsigned pixels beyond the file", 3, 0xFFFF, 1, false, false, 0, 0},
        {"signed, negative means no pixels", 3, 0xFFFF, 1, true, true, -1, 6},
    };
    for (const OldSizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        zk_font_file_format_t format = Widest();
        format.old_sizes_signed = c.sizes_signed;
        Read read;
        ReadFile(OldFile(c.version, c.width, c.height), format, &read);
        ASSERT_EQ(read.ok, c.ok);
        if (!c.ok) {
            EXPECT_EQ(read.Ids(), std::vector<zk_font_file_message_id_t>{ZK_FONT_FILE_DAMAGED});
            continue;
        }
        const zk_font_file_glyph_t& glyph = read.font.glyphs[65];
        EXPECT_EQ(glyph.width, c.read_width);
        EXPECT_EQ(glyph.advance, c.advance);
        EXPECT_EQ(glyph.pixels, nullptr);
    }
}

TEST(FontFileReading, OldGlyphsBeforeVersion4GetAZeroedRowOnlyWhenAsked) {
    for (int version : {1, 3, 4}) {
        for (bool zeroed : {false, true}) {
            SCOPED_TRACE(testing::Message() << "version " << version << " zeroed " << zeroed);
            zk_font_file_format_t format = Widest();
            format.old_rows_zeroed = zeroed;
            Read read;
            ReadFile(OldFile(version), format, &read);
            ASSERT_TRUE(read.ok);
            const int8_t* row = read.font.glyphs[65].kerning;
            if (version >= 4) {
                ASSERT_NE(row, nullptr);
                EXPECT_EQ(row[3], 3);
            } else if (zeroed) {
                ASSERT_NE(row, nullptr);
                EXPECT_EQ(std::vector<int8_t>(row, row + 256), std::vector<int8_t>(256, 0));
            } else {
                EXPECT_EQ(row, nullptr);
            }
        }
    }
}

Bytes CountedFile(int32_t count, size_t padding) {
    Bytes out = Start("OLK_Font_v6");
    PutI32(&out, count);
    out.insert(out.end(), padding, 0);
    return out;
}

TEST(FontFileReading, GlyphCountsByTheFormat) {
    struct Case {
        const char* name;
        int32_t count;
        size_t padding;
        bool negative_refused;
        int32_t max_glyphs;
        bool ok;
        int32_t glyphs;
    } cases[] = {
        {"negative read as none", -1, 0, false, 0, true, 0},
        {"negative refused", -1, 0, true, 0, false, 0},
        {"none", 0, 0, true, 65536, true, 0},
        {"more than the file can hold", 3, 2 * 15 + 14, false, 0, false, 0},
        {"as many as the file holds", 3, 3 * 15, false, 0, true, 3},
        {"above the limit", 65537, 65537 * 15, true, 65536, false, 0},
        {"no limit", 65537, 65537 * 15, false, 0, true, 65537},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        zk_font_file_format_t format = Widest();
        format.negative_count_refused = c.negative_refused;
        format.max_glyphs = c.max_glyphs;
        Read read;
        ReadFile(CountedFile(c.count, c.padding), format, &read);
        EXPECT_EQ(read.ok, c.ok);
        EXPECT_EQ(read.font.glyph_count, c.glyphs);
        EXPECT_EQ(read.Ids(), c.ok ? std::vector<zk_font_file_message_id_t>{}
                                   : std::vector<zk_font_file_message_id_t>{ZK_FONT_FILE_DAMAGED});
    }
}

TEST(FontFileReading, EncodingNamesByTheirRule) {
    struct Case {
        const char* name;
        int version;
        std::string encoding;  // written without its 0 when it holds none
        zk_font_file_name_rule_t rule;
        bool ok;
        uint8_t utf8;
    } cases[] = {
        {"UTF-8", 6, "UTF-8", {32, true}, true, 1},
        {"longer", 6, "UTF-8X", {32, true}, true, 0},
        {"LATIN-1", 6, "LATIN-1", {32, true}, true, 0},
        {"no end within the limit, refused", 6, std::string(32, 'A'), {32, true}, false, 0},
        {"no end within the limit, read on", 6, std::string(32, 'A'), {32, false}, true, 0},
        {"old name of 600 bytes", 3, std::string(600, 'B'), {0, false}, true, 0},
        {"old name beyond 512 bytes, refused", 3, std::string(600, 'B'), {512, true}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file;
        if (c.version >= 6 && c.encoding.size() == 32) {
            // The name's 32 bytes and no 0: the fields follow at once.
            file = Start("OLK_Font_v6", "");
            file.erase(file.begin() + 12);
            file.insert(file.begin() + 12, c.encoding.begin(), c.encoding.end());
            PutI32(&file, 0);
        } else if (c.version >= 6) {
            file = Start("OLK_Font_v6", c.encoding);
            PutI32(&file, 0);
        } else {
            file = OldFile(c.version);
            Bytes named = Start("OLK_Font_v3", c.encoding);
            file.erase(file.begin(), file.begin() + 12 + 8 + 12);
            file.insert(file.begin(), named.begin(), named.end());
        }
        zk_font_file_format_t format = Widest();
        (c.version >= 6 ? format.new_name : format.old_name) = c.rule;
        Read read;
        ReadFile(file, format, &read);
        EXPECT_EQ(read.ok, c.ok);
        if (c.ok) {
            EXPECT_EQ(read.font.utf8, c.utf8);
            EXPECT_EQ(read.font.height, 12);
        }
    }
}

TEST(FontFileReading, PixelsComeInTheCallersOrder) {
    for (int version : {4, 6}) {
        for (zk_pixel_byte_order_t order : {ZK_PIXELS_RGBA, ZK_PIXELS_BGRA}) {
            SCOPED_TRACE(testing::Message() << "version " << version << " order " << order);
            zk_font_file_format_t format = Widest();
            format.order = order;
            Read read;
            ReadFile(version >= 6 ? NewFile(version) : OldFile(version), format, &read);
            ASSERT_TRUE(read.ok);
            std::vector<uint8_t> rgba(kPixel, kPixel + 4), bgra = {kPixel[2], kPixel[1], kPixel[0], kPixel[3]};
            EXPECT_EQ(PixelBytes(read.font.glyphs[version >= 6 ? 0 : 65]), order == ZK_PIXELS_RGBA ? rgba : bgra);
        }
    }
}

uint32_t* NoPixels(int64_t, int64_t) { return nullptr; }

TEST(FontFileReading, VersionSevenValuesAndThePixelAllocator) {
    struct Case {
        const char* name;
        size_t at;  // offset of the f32 written
        float value;
        bool ok;
        std::vector<zk_font_file_message_id_t> messages;
    };
    const size_t spread_at = 12 + 6 + 12, scale_at = spread_at + 8, y_offset_at = scale_at + 4 + 4 + 4;
    const Case cases[] = {
        {"scale 0 becomes 1", scale_at, 0.0f, true, {ZK_FONT_FILE_BAD_SCALE}},
        {"scale not a number", scale_at, NAN, true, {ZK_FONT_FILE_BAD_SCALE}},
        {"spread infinite", spread_at, INFINITY, false, {ZK_FONT_FILE_DAMAGED}},
        {"y offset not a number", y_offset_at, NAN, false, {ZK_FONT_FILE_DAMAGED}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = NewFile(7);
        memcpy(file.data() + c.at, &c.value, 4);
        Read read;
        ReadFile(file, Widest(), &read);
        EXPECT_EQ(read.ok, c.ok);
        EXPECT_EQ(read.Ids(), c.messages);
        if (c.ok) {
            EXPECT_EQ(read.font.scale, 1.0f);
        }
    }
    zk_font_file_format_t format = Widest();
    format.allocate_pixels = NoPixels;
    Read read;
    ReadFile(NewFile(7), format, &read);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.Ids(), std::vector<zk_font_file_message_id_t>{ZK_FONT_FILE_DAMAGED});
}

TEST(FontFileReading, TheHeaderAloneStopsAfterTheMetrics) {
    Bytes file = OldFile(5);
    MemoryInput input(file);
    zk_font_file_t header;
    ASSERT_TRUE(ZKI_ReadFontFileHeader(input.Input(), -1, Widest(), &header, nullptr));
    EXPECT_EQ(header.height, 12);
    EXPECT_EQ(header.glyphs, nullptr);
    EXPECT_EQ(input.position, size_t(12 + 8 + 12));
}

// Writing: the font read from a file gives that file again, in versions 6
// and 7, from either pixel order, and the font keeps its pixels.
TEST(FontFileWriting, AFontReadIsWrittenByteForByte) {
    for (int version : {6, 7}) {
        for (zk_pixel_byte_order_t order : {ZK_PIXELS_RGBA, ZK_PIXELS_BGRA}) {
            SCOPED_TRACE(testing::Message() << "version " << version << " order " << order);
            zk_font_file_format_t format = Widest();
            format.newest_version = version;
            format.order = order;
            Read read;
            ReadFile(NewFile(version), format, &read);
            ASSERT_TRUE(read.ok);
            std::vector<uint8_t> before = PixelBytes(read.font.glyphs[0]);
            MemoryOutput output;
            ASSERT_TRUE(ZKI_WriteFontFile(read.font, format, output.Output()));
            EXPECT_EQ(output.bytes, NewFile(version));
            EXPECT_EQ(PixelBytes(read.font.glyphs[0]), before);
        }
    }
}

TEST(FontFileWriting, AGlyphWithASizeButNoPixelsByTheFormat) {
    zk_font_file_glyph_t glyph = {'B', 0, 0, 3, nullptr, 5, 0, nullptr};
    zk_font_file_t font = {6, 0, 1, 2, 3, 0, 0, 1, 1, &glyph};
    for (bool as_they_are : {false, true}) {
        zk_font_file_format_t format = Widest();
        format.newest_version = 6;
        format.sizes_written_as_they_are = as_they_are;
        MemoryOutput output;
        ASSERT_TRUE(ZKI_WriteFontFile(font, format, output.Output()));
        Bytes tail(output.bytes.end() - 4, output.bytes.end());
        EXPECT_EQ(tail, as_they_are ? (Bytes{5, 0, 0, 0}) : (Bytes{0, 0, 0, 0}));
    }
}

TEST(FontFileWriting, GlyphsTheFormatCannotHoldAndFailedOutputs) {
    uint32_t pixel = 0;
    struct Case {
        const char* name;
        int32_t width, height;
        bool pixels, as_they_are;
        bool writable;
    } cases[] = {
        {"pixels 32767 wide", 32767, 1, true, false, true},
        {"pixels 32768 wide", 32768, 1, true, false, false},
        {"no pixels 40000 wide, written as 0", 40000, 1, false, false, true},
        {"no pixels 40000 wide, as it is", 40000, 0, false, true, false},
        {"size but no pixels, as it is", 2, 2, false, true, false},
        {"negative, as it is", -5, 3, false, true, true},
        {"below the 16 bits, as it is", -40000, 3, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        zk_font_file_glyph_t glyphs[2] = {{}, {'x', 0, 0, 0, nullptr, c.width, c.height, c.pixels ? &pixel : nullptr}};
        zk_font_file_t font = {6, 0, 0, 0, 0, 0, 0, 1, 2, glyphs};
        zk_font_file_format_t format = Widest();
        format.sizes_written_as_they_are = c.as_they_are;
        EXPECT_EQ(ZKI_FindUnwritableFontGlyph(font, format), c.writable ? -1 : 1);
        if (!c.writable) {
            MemoryOutput output;
            EXPECT_FALSE(ZKI_WriteFontFile(font, format, output.Output()));
            EXPECT_TRUE(output.bytes.empty());
        }
    }
    Read read;
    ReadFile(NewFile(7), Widest(), &read);
    for (size_t limit : {size_t(0), size_t(20)}) {
        MemoryOutput output(limit);
        EXPECT_FALSE(ZKI_WriteFontFile(read.font, Widest(), output.Output()));
        EXPECT_EQ(output.bytes.size(), limit);
    }
}

}  // namespace
