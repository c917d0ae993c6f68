#include "engine/images/tests/image_engine_fixture.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "engine/images/bitmap_pixels.h"
#include "engine/images/image_loader.h"
#include "engine/runtime/state.h"

namespace media_test {

void SetUpEngine() {
    storage_test::SetUpEngine();
    static const bool loader = ZKI_InitImageLoader();
    (void)loader;
}

// The storage recorder keeps popups with their type, debug lines as
// -1 - type and prints as -100.
std::vector<Said> Recorded() {
    std::vector<Said> said;
    for (const storage_test::Message& m : storage_test::Recorded()) {
        if (m.type >= 0) {
            said.push_back({'P', m.type, m.text});
        } else if (m.type == -100) {
            said.push_back({'I', ZK_MESSAGE_INFO, m.text});
        } else {
            said.push_back({'D', -1 - m.type, m.text});
        }
    }
    return said;
}

std::vector<std::string> Texts(char printer) {
    std::vector<std::string> texts;
    for (const Said& s : Recorded()) {
        if (s.printer == printer) texts.push_back(s.text);
    }
    return texts;
}

void MediaTest::SetUp() {
    SetUpEngine();
    ClearRecorded();
    zk_state.pixel_byte_order = 0;
    zk_state.developer_mode = 0;
}

void MediaTest::TearDown() {
    zk_state.pixel_byte_order = 0;
    zk_state.developer_mode = 0;
    ZKI_SetPixelAllocatorForTesting(nullptr);
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TestBitmap::TestBitmap(int width, int height, uint16_t flags) {
    record.name = strdup("test bitmap");
    record.width = record.texture_width = width;
    record.height = record.texture_height = height;
    record.flags = flags;
    size_t bytes = size_t(width > 0 ? width : 0) * size_t(height > 0 ? height : 0) * 4;
    record.pixels = static_cast<uint32_t*>(calloc(bytes ? bytes : 1, 1));
}

TestBitmap::~TestBitmap() {
    free(record.pixels);
    free(record.name);
}

void TestBitmap::Set(int x, int y, uint8_t c0, uint8_t c1, uint8_t c2, uint8_t alpha) {
    uint8_t* p = Bytes(x, y);
    p[0] = c0, p[1] = c1, p[2] = c2, p[3] = alpha;
}

void TestBitmap::Fill(uint8_t c0, uint8_t c1, uint8_t c2, uint8_t alpha) {
    for (int y = 0; y < record.height; ++y) {
        for (int x = 0; x < record.width; ++x) Set(x, y, c0, c1, c2, alpha);
    }
}

std::vector<int> BytesOf(uint32_t pixel) {
    uint8_t b[4];
    memcpy(b, &pixel, 4);
    return {b[0], b[1], b[2], b[3]};
}

}  // namespace media_test
