// Set-up shared by the bitmap and image tests, over the storage tests'
// engine set-up and recorder: the image loader in zk_il, what the code said
// sorted by printer, a temporary folder, and bitmaps with pixel blocks of
// their own.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/runtime/media_records.h"
#include "engine/storage/tests/storage_test_support.h"

namespace media_test {

// What was said, by which printer: 'P' popup, 'D' debug line, 'I' print.
struct Said {
    char printer;
    int type;
    std::string text;
};

// Sets the engine up once per process, with the printers recording and
// the image loader in zk_il.
void SetUpEngine();
// Everything said since the last ClearRecorded(), in order.
std::vector<Said> Recorded();
using storage_test::ClearRecorded;
// The texts said by one printer, in order.
std::vector<std::string> Texts(char printer);

class TempFolder : public storage_test::TempDirectory {
public:
    // The names inside, sorted.
    std::vector<std::string> Names() const { return storage_test::NamesIn(Path()); }
};

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);

// A bitmap record whose name and pixel block (zeroed) it owns, from
// malloc, so that the code under test may free or replace the block.
class TestBitmap {
public:
    TestBitmap(int width, int height, uint16_t flags = 0);
    ~TestBitmap();
    TestBitmap(const TestBitmap&) = delete;
    TestBitmap& operator=(const TestBitmap&) = delete;
    zk_bitmap_t* operator->() { return &record; }
    zk_bitmap_t* get() { return &record; }
    uint8_t* Bytes(int x, int y) { return reinterpret_cast<uint8_t*>(record.pixels) + (size_t(y) * record.width + x) * 4; }
    void Set(int x, int y, uint8_t c0, uint8_t c1, uint8_t c2, uint8_t alpha);
    void Fill(uint8_t c0, uint8_t c1, uint8_t c2, uint8_t alpha);
    zk_bitmap_t record = {};
};

// The 4 bytes of a packed sample.
std::vector<int> BytesOf(uint32_t pixel);

// Test base: engine set up, recorder cleared, pixel order 0, developer
// mode off, pixel blocks from malloc.
class MediaTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace media_test
