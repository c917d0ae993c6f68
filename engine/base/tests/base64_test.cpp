// Base64: round trips over every padding case, the known vectors of the
// alphabet, and malformed or short input.

#include "engine/base/base64.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string Encode(const std::string& bytes, size_t* length = nullptr) {
    size_t n = 12345;
    char* text = base64_encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &n);
    EXPECT_NE(text, nullptr);
    if (!text) return "<null>";
    std::string result(text);
    EXPECT_EQ(result.size(), n);
    if (length) *length = n;
    free(text);
    return result;
}

// Null result is reported as "<null>".
std::string Decode(const std::string& text, size_t* length) {
    unsigned char* bytes = base64_decode(text.data(), text.size(), length);
    if (!bytes) return "<null>";
    std::string result(reinterpret_cast<char*>(bytes), *length);
    free(bytes);
    return result;
}

TEST(Base64, KnownTextsEncodeAndDecodeBack) {
    struct Case {
        const char* bytes;
        const char* text;
    } cases[] = {
        {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
        {"\xfb\xff\xbf", "+/+/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Encode(c.bytes), c.text);
        size_t length = 999;
        EXPECT_EQ(Decode(c.text, &length), c.bytes);
        EXPECT_EQ(length, strlen(c.bytes));
    }
}

TEST(Base64, EveryByteValueSurvivesARoundTripAtEveryPaddingLength) {
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
    for (size_t size : {size_t(255), size_t(256), size_t(254)}) {
        std::string bytes = all.substr(0, size);
        size_t encoded = 0;
        std::string text = Encode(bytes, &encoded);
        EXPECT_EQ(encoded, 4 * ((size + 2) / 3));
        size_t length = 0;
        EXPECT_EQ(Decode(text, &length), bytes);
    }
}

TEST(Base64, TextsThatAreNotWholeGroupsDecodeToNullAndLeaveTheLengthAlone) {
    for (const char* text : {"Z", "Zg", "Zg=", "Zm9vY"}) {
        SCOPED_TRACE(text);
        size_t length = 77;
        EXPECT_EQ(Decode(text, &length), "<null>");
        EXPECT_EQ(length, 77u);
    }
}

TEST(Base64, EmptyTextGivesARealEmptyAllocation) {
    size_t length = 77;
    unsigned char* bytes = base64_decode("", 0, &length);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(length, 0u);
    free(bytes);
}

TEST(Base64, CharactersOutsideTheAlphabetDecodeAsZero) {
    // Under the sanitizers this also shows that no unset table entry is read.
    size_t length = 0;
    EXPECT_EQ(Decode("!!!!", &length), std::string(3, '\0'));
    EXPECT_EQ(Decode("Zm9\x80", &length), "fo@");  // "Zm9A" also reads "fo@"
}

TEST(Base64, DecodingWorksAgainAfterCleanup) {
    size_t length = 0;
    EXPECT_EQ(Decode("Zm9v", &length), "foo");
    base64_cleanup();
    base64_cleanup();  // a second cleanup finds nothing to free
    EXPECT_EQ(Decode("YmFy", &length), "bar");
}

}  // namespace
