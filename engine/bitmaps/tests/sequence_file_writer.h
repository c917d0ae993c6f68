// Bitmap sequence files written from the format by the tests themselves
// (and by the fuzz seeds), never by the code under test. All numbers are
// 32-bit little-endian; pixels are stored B, G, R, A.
//
//   header: "ZK_Bm_Seq_v1" NUL, frame count, "RGBA", 8-byte chunk name
//   ATLAS:  0, per frame (w, h, number, rate, left, top, right, bottom),
//           encoding (4 bytes), then the atlas (RLE: a run-length bitmap)
//   FRAME:  per frame [chunk name but the first], 0, w, h, number, rate,
//           "RLE" NUL, a run-length bitmap
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "engine/imageformats/tests/image_test_support.h"

namespace sequence_test {

using image_test::Bgra;
using image_test::Bytes;

inline void PutBytes(Bytes* out, const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    out->insert(out->end(), p, p + size);
}

inline void PutF32(Bytes* out, float value) {
    uint32_t bits;
    memcpy(&bits, &value, 4);
    image_test::PutU32(out, bits);
}

// A name of exactly 8 bytes, NULs after the text (a longer text is cut).
inline void PutChunkName(Bytes* out, const std::string& name) {
    char bytes[8] = {};
    memcpy(bytes, name.data(), name.size() < 8 ? name.size() : 8);
    PutBytes(out, bytes, 8);
}

inline Bytes Header(uint32_t count, const std::string& chunk, const char* magic = "ZK_Bm_Seq_v1") {
    Bytes out;
    PutBytes(&out, magic, 13);
    image_test::PutU32(&out, count);
    PutBytes(&out, "RGBA", 4);
    PutChunkName(&out, chunk);
    return out;
}

// A run-length bitmap: width, height, then runs of equal pixels (at most
// 255 each).
inline Bytes RleBitmap(int width, int height, const std::vector<Bgra>& pixels) {
    Bytes out;
    image_test::PutU32(&out, uint32_t(width));
    image_test::PutU32(&out, uint32_t(height));
    for (size_t i = 0; i < pixels.size();) {
        size_t run = 1;
        while (run < 255 && i + run < pixels.size() && pixels[i + run] == pixels[i]) ++run;
        out.push_back(uint8_t(run));
        image_test::PutPixel(&out, pixels[i], 32);
        i += run;
    }
    return out;
}

// width x height pixels of image_test::ColourAt, shifted by seed in x.
inline std::vector<Bgra> Pixels(int width, int height, int seed) {
    std::vector<Bgra> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels.push_back(image_test::ColourAt(x + seed, y));
    }
    return pixels;
}

struct FrameRecord {
    int32_t width, height, number;
    float rate;
    float uv[4];
};

inline Bytes AtlasFile(const std::vector<FrameRecord>& frames, const char encoding[4], const Bytes& image) {
    Bytes out = Header(uint32_t(frames.size()), "ATLAS");
    image_test::PutU32(&out, 0);
    for (const FrameRecord& f : frames) {
        image_test::PutU32(&out, uint32_t(f.width));
        image_test::PutU32(&out, uint32_t(f.height));
        image_test::PutU32(&out, uint32_t(f.number));
        PutF32(&out, f.rate);
        for (float side : f.uv) PutF32(&out, side);
    }
    PutBytes(&out, encoding, 4);
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

struct Frame {
    int32_t width, height, number;
    float rate;
    int seed;  // pixels: Pixels(width, height, seed)
};

inline Bytes FrameFile(const std::vector<Frame>& frames) {
    Bytes out = Header(uint32_t(frames.size()), "FRAME");
    for (size_t i = 0; i < frames.size(); ++i) {
        const Frame& f = frames[i];
        if (i > 0) PutChunkName(&out, "FRAME");
        image_test::PutU32(&out, 0);
        image_test::PutU32(&out, uint32_t(f.width));
        image_test::PutU32(&out, uint32_t(f.height));
        image_test::PutU32(&out, uint32_t(f.number));
        PutF32(&out, f.rate);
        PutBytes(&out, "RLE", 4);
        Bytes image = RleBitmap(f.width, f.height, Pixels(f.width, f.height, f.seed));
        out.insert(out.end(), image.begin(), image.end());
    }
    return out;
}

}  // namespace sequence_test
