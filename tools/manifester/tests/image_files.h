// Image and engine files for the manifester's tests, benchmark and fuzz
// seeds, written straight through libpng and libjpeg or from the formats
// (never by the code under test).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace manifester_test {

using Bytes = std::vector<uint8_t>;

// The 8-bit sample of channel c at (x, y) in the made images.
inline uint8_t Sample(int x, int y, int c) { return uint8_t(x * 37 + y * 11 + c * 71); }

// A smooth pattern for the lossy JPEG (no wrap-around edges up to 64x64).
inline uint8_t JpegSample(int x, int y, int c) { return uint8_t(x + y + c * 60); }

// A PNG of the given libpng colour type and bit depth, samples from
// Sample() (scaled to the bit depth). A palette image has 16 entries, and
// with `transparency` a tRNS chunk (palette alphas, or one transparent grey
// or colour value for the other types without an alpha channel).
Bytes MakePng(int width, int height, int color_type, int bit_depth, bool transparency = false,
              bool interlaced = false);

// libjpeg colour spaces by name, to keep jpeglib.h out of the tests.
enum class JpegColours { Rgb, Grey, Cmyk };

// How a JPEG is written: its colours and how they are stored, the
// components' sampling, its scans, its coding and its samples.
struct JpegForm {
    JpegColours colours = JpegColours::Rgb;
    // As libjpeg stores the colours by default (RGB as YCbCr, CMYK as it
    // is), or as RGB or YCCK.
    enum class Stored { Default, Rgb, Ycck } stored = Stored::Default;
    // The first component's sampling, and a fourth one's; the others are 1
    // by 1. 0 keeps libjpeg's default for the colours.
    int h = 0, v = 0;
    // One scan, libjpeg's progression, a sequential scan per component, or
    // progressive by spectral selection alone (DC of all, then each
    // component's AC in bands).
    enum class Scans { One, Progressive, OneAComponent, SpectralOnly } scans = Scans::One;
    bool arithmetic = false;
    bool optimized = false;
    int restart_rows = 0;
    int quality = 90;
    uint8_t (*sample)(int x, int y, int c) = JpegSample;
    int noise = 0;  // + rand() % noise on every sample, when above 0
};
// The JPEG through libjpeg; empty when libjpeg refuses the form.
Bytes EncodeJpeg(int width, int height, const JpegForm& form);

// Samples from JpegSample().
Bytes MakeJpeg(int width, int height, JpegColours colours, bool progressive = false, int quality = 90);
// A sequential (not progressive) colour JPEG whose three components come
// in a scan each, one after the other; samples from JpegSample().
Bytes MakeComponentScansJpeg(int width, int height);
// A progressive grey JPEG of one flat grey: its later scans are a few bytes
// each, whatever its size.
Bytes MakeFlatGreyJpeg(int width, int height);
// A progressive colour JPEG of one flat colour, its chroma halved both
// ways as a camera's or an editor's: a few KiB whatever its size.
Bytes MakeFlatColourJpeg(int width, int height);
// The JPEG with its (baseline or progressive) frame header claiming the
// given size.
Bytes WithFrameSize(Bytes jpeg, int width, int height);

// The JPEG with its last scan (its header and its entropy-coded data)
// given `count` times in all: a progressive file libjpeg still reads, each
// repeated scan going over every block of its components again.
Bytes WithRepeatedLastScan(const Bytes& jpeg, int count);

// A PNG chunk with its length and CRC.
Bytes PngChunk(const char* type, const Bytes& data);
// The signature, an IHDR of the given size (8-bit RGBA), `idat` as one
// IDAT chunk when not empty, and IEND.
Bytes HandMadePng(uint32_t width, uint32_t height, const Bytes& idat = {});

// A bitmap sequence file: with an atlas, the frame records of the given
// sizes and an empty PNG block; without, the FRAME form with 1x1 frames.
Bytes SequenceFile(const std::vector<std::pair<int, int>>& frames, bool atlas);
// A font file's header up to the line spacing.
Bytes FontHeader(const std::string& magic, const std::string& encoding, int baseline, int height, int spacing);

// A fresh directory under the system's temporary folder, removed with all
// its contents by the destructor.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    const std::string& Path() const { return path; }
    std::string operator/(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

void WriteBytes(const std::string& path, const Bytes& bytes);
std::string ReadText(const std::string& path);

}  // namespace manifester_test
