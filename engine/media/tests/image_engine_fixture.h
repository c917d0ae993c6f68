// Set-up shared by the bitmap and image tests: the engine state and table
// set up as start-up does, the table's printers recording what the code
// says, a temporary folder, and bitmaps with pixel blocks of their own.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/runtime/media_records.h"

namespace media_test {

// What was said, by which printer: 'P' popup, 'D' debug line, 'I' print.
struct Said {
    char printer;
    int type;
    std::string text;
};

// Sets the engine up once per process, points the printers at the
// recorder and the image loader into zk_il.
void SetUpEngine();
std::vector<Said>& Recorded();
void ClearRecorded();
// The texts said by one printer, in order.
std::vector<std::string> Texts(char printer);

// A fresh folder, removed with its contents by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    // The names inside, sorted.
    std::vector<std::string> Names() const;
    std::string path;
};

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);
bool Exists(const std::string& path);

// A bitmap record whose name and pixel block it owns (malloc'd, so the
// code under test may free or replace the block).
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
// mode off, pixel allocation by malloc.
class MediaTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace media_test
