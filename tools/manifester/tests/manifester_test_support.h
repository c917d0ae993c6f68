// Shared set-up of the manifester's unit tests: the runtime's table with
// its printers replaced by a recorder, and a temporary directory.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/manifester/runtime.h"
#include "tools/manifester/tests/font_files.h"
#include "tools/manifester/tests/image_files.h"

namespace manifester_test {

// What the printers were given: "print", "debug" or "popup", and the text.
struct Printed {
    std::string kind;
    std::string text;
};
std::vector<Printed>& Recorded();
// Every recorded text joined, for "contains" checks.
std::string RecordedText();

// Fills the table, then points its printers at the recorder.
class ManifesterTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { manifester::zk_state.pixel_byte_order = 0; }
    TempDirectory dir;
};

// An exact heap copy of the bytes, so that a read past them shows under
// the address sanitizer.
class HeapCopy {
public:
    explicit HeapCopy(const Bytes& bytes);
    ~HeapCopy();
    const void* data() const { return block; }
    long size() const { return length; }

private:
    void* block;
    long length;
};

// A font record of its own (not in a slot), empty, freed with it.
struct TestFont : manifester::zk_font_t {
    explicit TestFont(const std::string& path);
    ~TestFont();
};

// The font as its file would hold it (pixels in the memory order).
FontFile FontFileOf(const manifester::zk_font_t& font);
// Every field of the font, for comparisons.
std::string DescribeFontFile(const FontFile& font);

}  // namespace manifester_test
