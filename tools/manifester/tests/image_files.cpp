#include "tools/manifester/tests/image_files.h"

#include <png.h>
#include <zlib.h>

#include <stdlib.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace manifester_test {

namespace {

void AppendToBytes(png_structp png, png_bytep data, png_size_t length) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

void PutU32Big(Bytes* out, uint32_t value) {
    for (int i = 3; i >= 0; --i) out->push_back(uint8_t(value >> (8 * i)));
}

void PutU32Little(Bytes* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out->push_back(uint8_t(value >> (8 * i)));
}

void PutFloat(Bytes* out, float value) {
    uint32_t bits;
    memcpy(&bits, &value, 4);
    PutU32Little(out, bits);
}

int ChannelsOf(int color_type) {
    switch (color_type) {
        case PNG_COLOR_TYPE_GRAY: return 1;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB: return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
        default: return 1;  // palette indices
    }
}

}  // namespace

Bytes MakePng(int width, int height, int color_type, int bit_depth, bool transparency, bool interlaced) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendToBytes, NoFlush);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), bit_depth, color_type,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color palette[16];
    png_byte alphas[16];
    for (int i = 0; i < 16; ++i) {
        palette[i] = {Sample(i, 0, 0), Sample(i, 0, 1), Sample(i, 0, 2)};
        alphas[i] = png_byte(i * 17);
    }
    if (color_type == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette, 16);
    if (transparency && !(color_type & PNG_COLOR_MASK_ALPHA)) {
        png_color_16 value = {};
        value.gray = 1;
        value.red = 1;
        png_set_tRNS(png, info, alphas, color_type == PNG_COLOR_TYPE_PALETTE ? 16 : 0, &value);
    }
    png_write_info(png, info);
    int channels = ChannelsOf(color_type);
    size_t row_bytes = (size_t(width) * channels * bit_depth + 7) / 8;
    std::vector<Bytes> rows(static_cast<size_t>(height), Bytes(row_bytes));
    std::vector<png_bytep> pointers;
    int max_value = (1 << bit_depth) - 1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                int value = color_type == PNG_COLOR_TYPE_PALETTE ? (x + y) % 16 : Sample(x, y, c);
                size_t index = size_t(x) * channels + c;
                if (bit_depth == 16) {
                    rows[y][index * 2] = uint8_t(value);  // high byte: the 8-bit sample
                    rows[y][index * 2 + 1] = uint8_t(value);
                } else if (bit_depth == 8) {
                    rows[y][index] = uint8_t(value);
                } else {
                    int scaled = color_type == PNG_COLOR_TYPE_PALETTE ? value & max_value : value * max_value / 255;
                    size_t bit = index * bit_depth;
                    rows[y][bit / 8] |= uint8_t(scaled << (8 - bit_depth - bit % 8));
                }
            }
        }
        pointers.push_back(rows[y].data());
    }
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

namespace {

// Each component of a colour image in a sequential scan of its own.
const jpeg_scan_info component_scans[] = {
    {1, {0}, 0, 63, 0, 0},
    {1, {1}, 0, 63, 0, 0},
    {1, {2}, 0, 63, 0, 0},
};
// Progressive by spectral selection alone: DC of all, then each
// component's AC in two bands.
const jpeg_scan_info spectral_scans[] = {{3, {0, 1, 2}, 0, 0, 0, 0}, {1, {0}, 1, 9, 0, 0},  {1, {0}, 10, 63, 0, 0},
                                         {1, {1}, 1, 63, 0, 0},       {1, {2}, 1, 63, 0, 0}};

struct JpegFailure {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

void JumpBack(j_common_ptr cinfo) { longjmp(reinterpret_cast<JpegFailure*>(cinfo->err)->jump, 1); }

int ComponentsOf(JpegColours colours) {
    return colours == JpegColours::Rgb ? 3 : colours == JpegColours::Grey ? 1 : 4;
}

// The form's colours, sampling, scans and coding, on defaults already set.
void ApplyForm(jpeg_compress_struct* cinfo, const JpegForm& form) {
    if (form.stored != JpegForm::Stored::Default)
        jpeg_set_colorspace(cinfo, form.stored == JpegForm::Stored::Rgb ? JCS_RGB : JCS_YCCK);
    jpeg_set_quality(cinfo, form.quality, TRUE);
    if (form.h > 0 && cinfo->input_components > 1) {
        cinfo->comp_info[0].h_samp_factor = form.h, cinfo->comp_info[0].v_samp_factor = form.v;
        if (cinfo->input_components == 4) cinfo->comp_info[3].h_samp_factor = form.h, cinfo->comp_info[3].v_samp_factor = form.v;
    }
    cinfo->arith_code = form.arithmetic;
    cinfo->optimize_coding = form.optimized;
    cinfo->restart_in_rows = form.restart_rows;
    if (form.scans == JpegForm::Scans::Progressive) jpeg_simple_progression(cinfo);
    if (form.scans == JpegForm::Scans::OneAComponent) cinfo->scan_info = component_scans, cinfo->num_scans = 3;
    if (form.scans == JpegForm::Scans::SpectralOnly) cinfo->scan_info = spectral_scans, cinfo->num_scans = 5;
}

void WriteScanlines(jpeg_compress_struct* cinfo, int width, const JpegForm& form) {
    int components = cinfo->input_components;
    Bytes row(size_t(width) * components);
    while (cinfo->next_scanline < cinfo->image_height) {
        int y = int(cinfo->next_scanline);
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < components; ++c) {
                int noise = form.noise > 0 ? rand() % form.noise : 0;
                row[size_t(x) * components + c] = uint8_t(form.sample(x, y, c) + noise);
            }
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(cinfo, &pointer, 1);
    }
}

}  // namespace

Bytes EncodeJpeg(int width, int height, const JpegForm& form) {
    jpeg_compress_struct cinfo;
    JpegFailure failure;
    cinfo.err = jpeg_std_error(&failure.pub);
    failure.pub.error_exit = JumpBack;
    // Kept out of the frame, which a jump back leaves undefined.
    static unsigned char* buffer;
    static unsigned long size;
    buffer = nullptr;
    size = 0;
    if (setjmp(failure.jump)) {
        jpeg_destroy_compress(&cinfo);
        free(buffer);
        return {};
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = ComponentsOf(form.colours);
    cinfo.in_color_space = form.colours == JpegColours::Rgb    ? JCS_RGB
                           : form.colours == JpegColours::Grey ? JCS_GRAYSCALE
                                                               : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    ApplyForm(&cinfo, form);
    jpeg_start_compress(&cinfo, TRUE);
    WriteScanlines(&cinfo, width, form);
    jpeg_finish_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    free(buffer);
    return out;
}

Bytes MakeJpeg(int width, int height, JpegColours colours, bool progressive, int quality) {
    JpegForm form;
    form.colours = colours;
    form.scans = progressive ? JpegForm::Scans::Progressive : JpegForm::Scans::One;
    form.quality = quality;
    return EncodeJpeg(width, height, form);
}

Bytes MakeComponentScansJpeg(int width, int height) {
    JpegForm form;
    form.scans = JpegForm::Scans::OneAComponent;
    return EncodeJpeg(width, height, form);
}

Bytes MakeFlatGreyJpeg(int width, int height) {
    JpegForm form;
    form.colours = JpegColours::Grey;
    form.scans = JpegForm::Scans::Progressive;
    form.quality = 50;
    form.sample = [](int, int, int) { return uint8_t(128); };
    return EncodeJpeg(width, height, form);
}

Bytes MakeFlatColourJpeg(int width, int height) {
    JpegForm form;
    form.scans = JpegForm::Scans::Progressive;
    form.sample = [](int, int, int c) { return uint8_t(90 + 40 * c); };
    return EncodeJpeg(width, height, form);
}

Bytes WithFrameSize(Bytes jpeg, int width, int height) {
    for (size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = uint8_t(height >> 8), jpeg[i + 6] = uint8_t(height);
            jpeg[i + 7] = uint8_t(width >> 8), jpeg[i + 8] = uint8_t(width);
            break;
        }
    }
    return jpeg;
}

// Where the marker segment or entropy-coded data at `at` ends: a marker
// other than a restart marker or a stuffed zero ends the data.
size_t EndOfScanData(const Bytes& jpeg, size_t at) {
    while (at + 1 < jpeg.size()) {
        if (jpeg[at] == 0xFF && jpeg[at + 1] != 0x00 && !(jpeg[at + 1] >= 0xD0 && jpeg[at + 1] <= 0xD7)) return at;
        ++at;
    }
    return jpeg.size();
}

Bytes WithRepeatedLastScan(const Bytes& jpeg, int count) {
    size_t last_scan = 0;
    for (size_t i = 0; i + 3 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) last_scan = i;
    }
    if (last_scan == 0) return jpeg;
    size_t header_end = last_scan + 2 + (size_t(jpeg[last_scan + 2]) << 8 | jpeg[last_scan + 3]);
    size_t end = EndOfScanData(jpeg, header_end);
    Bytes scan(jpeg.begin() + long(last_scan), jpeg.begin() + long(end));
    Bytes out(jpeg.begin(), jpeg.begin() + long(end));
    for (int i = 1; i < count; ++i) out.insert(out.end(), scan.begin(), scan.end());
    out.insert(out.end(), jpeg.begin() + long(end), jpeg.end());
    return out;
}

Bytes PngChunk(const char* type, const Bytes& data) {
    Bytes out;
    PutU32Big(&out, uint32_t(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutU32Big(&out, uint32_t(crc32(0, body.data(), uInt(body.size()))));
    return out;
}

Bytes HandMadePng(uint32_t width, uint32_t height, const Bytes& idat) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    PutU32Big(&header, width);
    PutU32Big(&header, height);
    header.insert(header.end(), {8, 6, 0, 0, 0});
    Bytes ihdr = PngChunk("IHDR", header);
    out.insert(out.end(), ihdr.begin(), ihdr.end());
    if (!idat.empty()) {
        Bytes chunk = PngChunk("IDAT", idat);
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    Bytes end = PngChunk("IEND", {});
    out.insert(out.end(), end.begin(), end.end());
    return out;
}

Bytes SequenceFile(const std::vector<std::pair<int, int>>& frames, bool atlas) {
    const char magic[13] = "ZK_Bm_Seq_v1";
    Bytes out(magic, magic + 13);
    PutU32Little(&out, uint32_t(frames.size()));
    out.insert(out.end(), {'R', 'G', 'B', 'A'});
    if (!atlas) {
        for (size_t i = 0; i < frames.size(); ++i) {
            const char chunk[8] = "FRAME";
            out.insert(out.end(), chunk, chunk + 8);
            PutU32Little(&out, 0);
            PutU32Little(&out, 1);
            PutU32Little(&out, 1);
            PutU32Little(&out, uint32_t(i));
            PutFloat(&out, 30.0f);
            out.insert(out.end(), {'R', 'L', 'E', 0});
            PutU32Little(&out, 1);  // a 1x1 run-length bitmap
            PutU32Little(&out, 1);
            out.insert(out.end(), {1, 0, 0, 0, 255});
        }
        return out;
    }
    const char chunk[8] = "ATLAS";
    out.insert(out.end(), chunk, chunk + 8);
    PutU32Little(&out, 0);
    for (size_t i = 0; i < frames.size(); ++i) {
        PutU32Little(&out, uint32_t(frames[i].first));
        PutU32Little(&out, uint32_t(frames[i].second));
        PutU32Little(&out, uint32_t(i));
        PutFloat(&out, 30.0f);
        for (float edge : {0.0f, 0.0f, 1.0f, 1.0f}) PutFloat(&out, edge);
    }
    out.insert(out.end(), {'P', 'N', 'G', 0});
    PutU32Little(&out, 0);
    return out;
}

Bytes FontHeader(const std::string& magic, const std::string& encoding, int baseline, int height, int spacing) {
    Bytes out(magic.begin(), magic.end());
    out.push_back(0);
    out.insert(out.end(), encoding.begin(), encoding.end());
    out.push_back(0);
    PutU32Little(&out, uint32_t(baseline));
    PutU32Little(&out, uint32_t(height));
    PutU32Little(&out, uint32_t(spacing));
    return out;
}

TempDirectory::TempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zk-manifester-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data())) path = buffer.data();
}

TempDirectory::~TempDirectory() {
    std::error_code error;
    if (!path.empty()) std::filesystem::remove_all(path, error);
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace manifester_test
