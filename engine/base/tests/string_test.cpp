#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <string>
#include <thread>

#include "engine/base/nstring.h"

namespace {

// Null and empty texts are told apart only by the token and substring calls.
const char* const kNull = nullptr;

std::string Text(const nString& s) { return s.text ? s.text : "<null>"; }

TEST(NString, FormatFallsBackToTheHeapForLongTexts) {
    std::string big(5000, 'x');
    nString s = nString::Format("%s", big.c_str());
    EXPECT_EQ(Text(s), big);

    char small[16];
    EXPECT_EQ(nStringFormat(small, sizeof small, "%s", big.c_str()), 5000);
    EXPECT_EQ(std::string(small), std::string(15, 'x'));

    s.SetFormatted("%d-%s", 7, "a");
    EXPECT_EQ(Text(s), "7-a");
    s.AppendFormatted("%s", big.c_str());
    EXPECT_EQ(s.Length(), 3 + 5000);
}

// Whatever path the formatting takes, the text is vsnprintf's, whether it
// fits the caller's buffer or not.
std::string FormatInto(int size, const char* format, ...) {
    char buffer[64];
    va_list args;
    va_start(args, format);
    char* formatted = nStringFormatDynamic(buffer, size, format, args);
    va_end(args);
    std::string text = formatted;
    if (formatted != buffer) delete[] formatted;
    return text;
}

TEST(NString, FormattedTextIsWhatPrintfWrites) {
    char expected[256];
    for (int size : {1, 2, 5, 12, 64}) {
        SCOPED_TRACE(size);
        snprintf(expected, sizeof expected, "%s/%s%s.%s", "out/", "GLSL21", "", "vertex");
        EXPECT_EQ(FormatInto(size, "%s/%s%s.%s", "out/", "GLSL21", "", "vertex"), expected);
        snprintf(expected, sizeof expected, "%i|%d|%i|%d%%", 0, -7, 2147483647, -2147483647 - 1);
        EXPECT_EQ(FormatInto(size, "%i|%d|%i|%d%%", 0, -7, 2147483647, -2147483647 - 1), expected);
        snprintf(expected, sizeof expected, "no conversion");
        EXPECT_EQ(FormatInto(size, "no conversion"), expected);
        snprintf(expected, sizeof expected, "%s=%5.2f %-4s|%x %c", "v", 1.5, "ab", 255u, 'z');
        EXPECT_EQ(FormatInto(size, "%s=%5.2f %-4s|%x %c", "v", 1.5, "ab", 255u, 'z'), expected);
        snprintf(expected, sizeof expected, "%s %04d", "late", 42);
        EXPECT_EQ(FormatInto(size, "%s %04d", "late", 42), expected);
        EXPECT_EQ(FormatInto(size, ""), "");
    }
}

TEST(NString, AppendAndAssignment) {
    nString s;
    s.Append(kNull);
    EXPECT_EQ(s.text, nullptr);
    s.Append("");
    ASSERT_NE(s.text, nullptr);
    EXPECT_STREQ(s.text, "");
    s.Append("ab");
    s.Append("cd");
    EXPECT_EQ(Text(s), "abcd");

    // Assigning a pointer into the string's own text is safe.
    s = s.text + 2;
    EXPECT_EQ(Text(s), "cd");
    s = s;
    EXPECT_EQ(Text(s), "cd");
    nString copy(s);
    EXPECT_NE(copy.text, s.text);
    EXPECT_TRUE(copy == s);
}

// A run of appends moves the text to a new block only when the block is
// full, and each move at least doubles it: the text is copied about twice in
// all, not once per append. A move always shows as a new address, since the
// new block is taken before the old one is freed.
TEST(NString, RunOfAppendsMovesTheTextLogarithmicallyOften) {
    const int appends = 100000;
    nString s;
    const char* block = nullptr;
    int moves = 0;
    long long copied = 0;
    for (int i = 0; i < appends; ++i) {
        s.Append(i % 2 ? "y" : "x");
        if (s.text != block) {
            ++moves;
            copied += i;
            block = s.text;
        }
    }
    ASSERT_EQ(s.Length(), appends);
    EXPECT_EQ(s.text[0], 'x');
    EXPECT_EQ(s.text[appends - 1], 'y');
    EXPECT_LE(moves, 20) << "text moved on " << moves << " of " << appends << " appends";
    EXPECT_LE(copied, 2LL * appends) << "characters copied to new blocks";
}

// Every member that gives the string a new block must also say how large
// it is: appends write into the room the string believes it has. Each case
// starts from a string grown by appends (so with room to spare), gives it a
// text of its own way, then appends until the block moves more than once;
// the block must always hold what was written, as malloc_usable_size (and
// under the address sanitizer, the sanitizer itself) tells.
TEST(NString, EveryWayOfSettingTheTextKeepsTheRoomRight) {
    struct Case {
        const char* how;
        void (*set)(nString& s);
        std::string (*expected)(const std::string& grown);
    } cases[] = {
        {"assigned", [](nString& s) { s = "ab"; }, [](const std::string&) { return std::string("ab"); }},
        {"assigned a string", [](nString& s) { s = nString("ab"); },
         [](const std::string&) { return std::string("ab"); }},
        {"assigned itself", [](nString& s) { s = s; }, [](const std::string& g) { return g; }},
        {"assigned its own tail", [](nString& s) { s = s.text + 1795; },
         [](const std::string& g) { return g.substr(1795); }},
        {"copied", [](nString& s) { s = nString(s); }, [](const std::string& g) { return g; }},
        {"set formatted", [](nString& s) { s.SetFormatted("%d-%s", 7, "a"); },
         [](const std::string&) { return std::string("7-a"); }},
        {"set formatted through the heap", [](nString& s) { s.SetFormatted("%s", std::string(5000, 'l').c_str()); },
         [](const std::string&) { return std::string(5000, 'l'); }},
        {"formatted", [](nString& s) { s = nString::Format("%d", 3); },
         [](const std::string&) { return std::string("3"); }},
        {"replaced", [](nString& s) { s.Replace("grown ", "g"); },
         [](const std::string&) { return std::string(300, 'g'); }},
        {"a substring of it", [](nString& s) { s = s.Substring(2, 3); },
         [](const std::string&) { return std::string("own"); }},
        {"a token of it", [](nString& s) { s = s.GetToken(3, " "); },
         [](const std::string&) { return std::string("grown"); }},
        {"emptied", [](nString& s) { s = ""; }, [](const std::string&) { return std::string(); }},
        {"nulled", [](nString& s) { s = nString(); }, [](const std::string&) { return std::string(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        nString s;
        for (int i = 0; i < 300; ++i) s.Append("grown ");
        std::string expected = c.expected(s.text);
        c.set(s);
        ASSERT_EQ(std::string(s.c_str()), expected);
        int moves = 0;
        for (int i = 0; moves < 3 && i < 100000; ++i) {
            const char* before = s.text;
            s.AppendFormatted("%d,", i);
            expected += std::to_string(i) + ",";
            ASSERT_NE(s.text, nullptr);
            ASSERT_GE(malloc_usable_size(s.text), expected.size() + 1) << "after " << i + 1 << " appends";
            if (s.text != before) ++moves;
        }
        EXPECT_EQ(std::string(s.c_str()), expected);
    }
}

// The appended text may be the string's own, whole or in part, whether the
// block has room for it or must move first.
TEST(NString, AppendingItsOwnText) {
    nString s("abcd");
    s.Append(s.text);  // the block is full: it moves
    EXPECT_EQ(Text(s), "abcdabcd");
    s.Append(s.text + 6);  // room is left: it stays
    EXPECT_EQ(Text(s), "abcdabcdcd");
    for (int i = 0; i < 5; ++i) s.Append(s.text + i);
    std::string expected = "abcdabcdcd";
    for (int i = 0; i < 5; ++i) expected += expected.substr(static_cast<size_t>(i));
    EXPECT_EQ(Text(s), expected);
}

TEST(NString, Replace) {
    struct Case {
        const char* text;
        const char* find;
        const char* replacement;
        const char* expected;
    } cases[] = {
        {"aaa", "a", "bb", "bbbbbb"},
        {"abcabc", "bc", "", "aa"},
        {"abc", "", "x", "abc"},
        {"abc", "b", nullptr, "abc"},
        {"", "a", "b", ""},
        {"a.b.c", ".", "::", "a::b::c"},
        {"xx", "xx", "xxxx", "xxxx"},
    };
    for (const Case& c : cases) {
        nString s(c.text);
        s.Replace(c.find, c.replacement);
        EXPECT_EQ(Text(s), c.expected) << c.text << " / " << (c.find ? c.find : "null");
    }
}

TEST(NString, BoundedReplace) {
    char out[8];
    memset(out, '#', sizeof out);
    EXPECT_STREQ(nStringReplace("abc", "b", "xyz", out, 6), "axyzc");
    EXPECT_STREQ(nStringReplace("abc", "b", "xyz", out, 5), "abc");
    // Only the occurrences that fit are replaced.
    EXPECT_STREQ(nStringReplace("abab", "b", "xy", out, 6), "axyab");
    // A source that does not fit leaves out a valid empty text and says so.
    memset(out, '#', sizeof out);
    EXPECT_EQ(nStringReplace("abc", "b", "xyz", out, 3), nullptr);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(nStringReplace(nullptr, "b", "x", out, 6), nullptr);
    EXPECT_EQ(nStringReplace("abc", "b", "x", out, 0), nullptr);
}

TEST(NString, Tokens) {
    struct Case {
        const char* text;
        int index;
        const char* expected;  // null: no token
    } cases[] = {
        {"a,b", 0, "a"},   {"a,b", 1, "b"}, {"a,b", 2, nullptr}, {"a,", 1, nullptr},
        {"a,,b", 1, ""},   {",a", 0, ""},   {"a,b", -1, nullptr}, {"abc", 0, "abc"},
    };
    for (const Case& c : cases) {
        nString s(c.text);
        nString token = s.GetToken(c.index, ",");
        const char* fast = nStringGetToken(c.text, ",", c.index);
        if (c.expected) {
            ASSERT_NE(token.text, nullptr) << c.text << " " << c.index;
            EXPECT_STREQ(token.text, c.expected);
            ASSERT_NE(fast, nullptr);
            EXPECT_STREQ(fast, c.expected);
        } else {
            EXPECT_EQ(token.text, nullptr) << c.text << " " << c.index;
            EXPECT_EQ(fast, nullptr) << c.text << " " << c.index;
        }
    }
    // Separators are whole strings.
    EXPECT_STREQ(nStringGetToken("1x2xx3", "xx", 1), "3");
}

TEST(NString, TokenLengthLimits) {
    std::string t1022(1022, 'a'), t1023(1023, 'a');
    EXPECT_EQ(nString((t1022 + ",b").c_str()).GetToken(0, ",").Length(), 1022);
    EXPECT_EQ(nString((t1023 + ",b").c_str()).GetToken(0, ",").text, nullptr);

    std::string t511(511, 'a'), t512(512, 'a');
    const char* token = nStringGetToken(t511.c_str(), ",", 0);
    ASSERT_NE(token, nullptr);
    EXPECT_EQ(strlen(token), 511u);
    EXPECT_EQ(nStringGetToken(t512.c_str(), ",", 0), nullptr);
}

TEST(NString, GetTokenBuffersRotateAfterEightCalls) {
    const char* first = nStringGetToken("first", ",", 0);
    for (int i = 0; i < 7; ++i) nStringGetToken("other", ",", 0);
    EXPECT_STREQ(first, "first");
    const char* ninth = nStringGetToken("ninth", ",", 0);
    EXPECT_EQ(ninth, first);
    EXPECT_STREQ(first, "ninth");
}

TEST(NString, GetTokenBuffersArePerThread) {
    const char* mine = nStringGetToken("mine", ",", 0);
    std::thread other([] {
        for (int i = 0; i < 16; ++i) nStringGetToken("theirs", ",", 0);
    });
    other.join();
    EXPECT_STREQ(mine, "mine");
}

TEST(NString, Substring) {
    nString hello("hello");
    EXPECT_EQ(Text(hello.Substring(2, 10)), "llo");
    EXPECT_EQ(Text(hello.Substring(1, 2)), "el");
    EXPECT_EQ(hello.Substring(5, 1).text, nullptr);
    nString empty = hello.Substring(0, 0);
    ASSERT_NE(empty.text, nullptr);
    EXPECT_STREQ(empty.text, "");
    EXPECT_EQ(nString().Substring(0, 1).text, nullptr);
}

TEST(NString, ContainsIgnoringCase) {
    EXPECT_TRUE(StringContainsStringIncaseSensitive("Hello World", "WORLD"));
    EXPECT_TRUE(StringContainsStringIncaseSensitive("Hello", ""));
    EXPECT_FALSE(StringContainsStringIncaseSensitive("Hello", "worlds"));
    // Only A-Z fold; other bytes compare as they are.
    EXPECT_FALSE(StringContainsStringIncaseSensitive("\xC4", "\xE4"));
}

TEST(NString, StringIdHash) {
    EXPECT_EQ(nStringHash("id"), 3985u);
    EXPECT_EQ(nStringHash("a"), 97u);
    EXPECT_EQ(nStringHash(""), 0u);
    EXPECT_EQ(nStringHash(nullptr), 0u);
    EXPECT_EQ(nStringHash("DATA"), 3536562u);
    EXPECT_EQ(nStringHash("CDATA"), 129105349u);
    // Bytes are unsigned and the product wraps.
    EXPECT_EQ(nStringHash("\xFF"), 255u);
}

}  // namespace
