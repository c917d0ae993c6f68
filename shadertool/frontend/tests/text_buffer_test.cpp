// The growing text buffer: its own formatting must write what vsnprintf
// writes, whichever way a format goes, and the text must stay whole and
// terminated as it grows, is cut, and has text put into it.
#include <gtest/gtest.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "shadertool/frontend/text_buffer.h"

using ShaderTool::TextBuffer;

namespace {

std::string Printed(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printed(const char* format, ...) {
    va_list args;
    va_start(args, format);
    char text[1024];
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

#define EXPECT_FORMATS_AS_PRINTF(format, ...)                        \
    do {                                                             \
        TextBuffer buffer;                                           \
        buffer.Append("<");                                          \
        buffer.AppendFormatted(format, __VA_ARGS__);                 \
        EXPECT_EQ(buffer.c_str(), "<" + Printed(format, __VA_ARGS__)) << format; \
        EXPECT_EQ(buffer.Length(), static_cast<int>(strlen(buffer.c_str()))); \
    } while (0)

TEST(TextBuffer, FormatsAsPrintfDoes) {
    EXPECT_FORMATS_AS_PRINTF("%s(", "mix");
    EXPECT_FORMATS_AS_PRINTF("%s %s;\n", "float2", "uv");
    EXPECT_FORMATS_AS_PRINTF("int%i(_const_%s)", 4, "bones");
    EXPECT_FORMATS_AS_PRINTF("[%d] %i %i %i", 0, -7, INT_MAX, INT_MIN);
    EXPECT_FORMATS_AS_PRINTF("100%% of %s", "it");
    EXPECT_FORMATS_AS_PRINTF("%s", "");
    // Conversions left to vsnprintf, also after plain ones in the same format.
    EXPECT_FORMATS_AS_PRINTF("%s %5i|%-4s|", "a", 42, "b");
    EXPECT_FORMATS_AS_PRINTF("%-*s %s", 8, "name", "value");
    EXPECT_FORMATS_AS_PRINTF("%i %.3f %c", 1, 0.5, 'x');
    EXPECT_FORMATS_AS_PRINTF("%s %u %x", "n", 3000000000u, 255u);
    std::string long_text(700, 'w');
    EXPECT_FORMATS_AS_PRINTF("%s|%s", long_text.c_str(), "end");
    EXPECT_FORMATS_AS_PRINTF("%4s|%s", "a", long_text.c_str());
}

// A null text is written as glibc's printf writes it.
TEST(TextBuffer, WritesANullTextAsNullInParentheses) {
    // Read through a volatile so that the compiler does not see the null.
    const char* volatile null_text = nullptr;
    TextBuffer buffer;
    buffer.AppendFormatted("<%s>", static_cast<const char*>(null_text));
    EXPECT_STREQ(buffer.c_str(), "<(null)>");
}

TEST(TextBuffer, GrowsCutsAndInserts) {
    TextBuffer buffer;
    EXPECT_STREQ(buffer.c_str(), "");
    EXPECT_TRUE(buffer.IsEmpty());
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        buffer.AppendInteger(i);
        buffer.Append(',');
        expected += std::to_string(i) + ",";
    }
    ASSERT_EQ(buffer.c_str(), expected);
    buffer.Truncate(10);
    EXPECT_STREQ(buffer.c_str(), "0,1,2,3,4,");
    buffer.Insert(0, "- ");
    buffer.Insert(buffer.Length(), "!");
    buffer.Insert(4, "x");
    EXPECT_STREQ(buffer.c_str(), "- 0,x1,2,3,4,!");
    EXPECT_EQ(buffer.Length(), 14);
    buffer.Clear();
    EXPECT_STREQ(buffer.c_str(), "");
    buffer.Insert(0, "first");
    EXPECT_STREQ(buffer.c_str(), "first");

    TextBuffer other;
    other.Append("other");
    buffer.Swap(other);
    EXPECT_STREQ(buffer.c_str(), "other");
    EXPECT_STREQ(other.c_str(), "first");
}

}  // namespace
