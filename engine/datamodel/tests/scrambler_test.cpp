// Scrambled database files: the transform, its checksum and recognition by
// the XML reader.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/datamodel/datamodel.h"
#include "engine/datamodel/scrambler.h"
#include "engine/datamodel/xml_reader.h"
#include "engine/datamodel/tests/datamodel_test_support.h"

using namespace datamodel_test;

namespace {

const char key[] = "42PLUM_VAULTS";

void PutU32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out += char((value >> (8 * i)) & 0xFF);
}

// The writer's rule, written out independently of the reader.
std::string Scramble(const std::string& plain) {
    std::string scrambled;
    uint32_t checksum = 0;
    for (size_t i = 0; i < plain.size(); ++i) {
        unsigned char s = (unsigned char)((unsigned char)plain[i] - (unsigned char)key[i % 13] - i);
        scrambled += char(s);
        checksum += uint32_t(i) * uint32_t(int32_t(int8_t(s)));
    }
    std::string file(key, 13);
    file += '\0';
    PutU32(file, uint32_t(plain.size()));
    PutU32(file, checksum);
    return file + scrambled;
}

// The plain text of a scrambled file, or "(refused)".
std::string Decrypt(const std::string& file) {
    int length = -1;
    char* plain = Scrambler::Decrypt(file.data(), int(file.size()), &length);
    if (!plain) return length == 0 ? "(refused)" : "(length not cleared)";
    std::string text(plain, size_t(length));
    free(plain);
    return text;
}

std::string TextOfLength(size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i) text += char(32 + (i * 7) % 95);
    return text;
}

TEST(Scrambler, RoundTrips) {
    for (size_t length : {0u, 1u, 13u, 14u, 40u, 300u}) {
        std::string plain = TextOfLength(length);
        std::string file = Scramble(plain);
        EXPECT_EQ(file.size(), 22 + length);
        EXPECT_EQ(Decrypt(file), plain) << length;
    }
    // Bytes of every value survive, and the checksum of an empty text is 0.
    std::string all;
    for (int b = 0; b < 256; ++b) all += char(b);
    EXPECT_EQ(Decrypt(Scramble(all)), all);
    std::string empty = Scramble("");
    EXPECT_EQ(empty.substr(18, 4), std::string(4, '\0'));
}

TEST(Scrambler, TheWriterMatchesTheFormatByteForByte) {
    // Lengths around the key's period and bytes above 127, whose checksum
    // terms are negative.
    for (const std::string& plain : {std::string(), std::string("a"), std::string(13, 'x'), std::string(40, '\xF0'),
                                     std::string("<?xml version=\"1.0\"?>\n<root>\xE9\n</root>\n")}) {
        int length = -1;
        char* file = Scrambler::Encrypt(plain.data(), int(plain.size()), &length);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(std::string(file, size_t(length)), Scramble(plain));
        free(file);
    }
}

// One file worked out by hand, byte by byte, so that the writer and the
// test's own rule cannot share a mistake. The text crosses the key's period
// (bytes 13 and 14 use the key's first two characters again), and several
// bytes wrap below zero and weigh negatively in the checksum:
//   i:      0   1   2   3   4   5   6   7   8   9  10  11  12  13  14
//   plain: '<' 'r' 'o' 'o' 't' '>' LF  '<' '/' 'r' 'o' 'o' 't' '>' LF
//          60 114 111 111 116  62  10  60  47 114 111 111 116  62  10
//   key:   '4' '2' 'P' 'L' 'U' 'M' '_' 'V' 'A' 'U' 'L' 'T' 'S' '4' '2'
//          52  50  80  76  85  77  95  86  65  85  76  84  83  52  50
//   p-k-i:  8  63  29  32  27 -20 -91 -33 -26  20  25  16  21  -3 -54
//   byte:  08  3F  1D  20  1B  EC  A5  DF  E6  14  19  10  15  FD  CA
//   i*s:    0  63  58  96 108 -100 -546 -231 -208 180 250 176 252 -39 -756
// The sum is 1183 - 1880 = -697, stored as 0xFFFFFD47.
TEST(Scrambler, AKnownFile) {
    const std::string plain = "<root>\n</root>\n";
    const std::string file = std::string("42PLUM_VAULTS\0", 14) + std::string("\x0F\x00\x00\x00", 4) +
                             "\x47\xFD\xFF\xFF" + "\x08\x3F\x1D\x20\x1B\xEC\xA5\xDF\xE6\x14\x19\x10\x15\xFD\xCA";
    ASSERT_EQ(file.size(), 37u);
    int length = -1;
    char* written = Scrambler::Encrypt(plain.data(), int(plain.size()), &length);
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(std::string(written, size_t(length)), file);
    free(written);
    EXPECT_EQ(Decrypt(file), plain);
}

TEST(Scrambler, AChangedByteAfterTheFirstBreaksTheChecksum) {
    std::string plain = TextOfLength(40);
    for (size_t i = 1; i < 40; ++i) {
        std::string file = Scramble(plain);
        file[22 + i] = char(file[22 + i] ^ 0x01);
        EXPECT_EQ(Decrypt(file), "(refused)") << i;
    }
    // The first byte weighs nothing in the checksum: it unscrambles, differently.
    std::string file = Scramble(plain);
    file[22] = char(file[22] ^ 0x01);
    std::string changed = Decrypt(file);
    ASSERT_EQ(changed.size(), plain.size());
    EXPECT_NE(changed[0], plain[0]);
    EXPECT_EQ(changed.substr(1), plain.substr(1));
}

TEST(Scrambler, HeadersThatDoNotFitAreRefused) {
    std::string file = Scramble(TextOfLength(40));
    struct Case {
        const char* what;
        std::string data;
    } cases[] = {
        {"count one more", [&] { std::string f = file; f[14] = char(41); return f; }()},
        {"count one less", [&] { std::string f = file; f[14] = char(39); return f; }()},
        {"huge count", [&] { std::string f = file; f[17] = char(0xFF); return f; }()},
        {"wrong checksum", [&] { std::string f = file; f[18] = char(f[18] ^ 1); return f; }()},
        {"no terminating zero in the magic", [&] { std::string f = file; f[13] = 'X'; return f; }()},
        {"other magic", [&] { std::string f = file; f[0] = '5'; return f; }()},
        {"short", file.substr(0, 21)},
        {"cut", file.substr(0, file.size() - 1)},
    };
    for (const Case& c : cases) EXPECT_EQ(Decrypt(c.data), "(refused)") << c.what;
    // The length pointer may be null.
    char* plain = Scrambler::Decrypt(file.data(), int(file.size()), nullptr);
    EXPECT_NE(plain, nullptr);
    free(plain);
}

class ScrambledFiles : public DataModelTest {};

const std::string document =
    "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<root>\n<array id=\"scores\">\n"
    "<node id=\"1\" name=\"ann\" score=\"99\"/>\n</array>\n</root>\n";

TEST_F(ScrambledFiles, TheReaderRecognisesAndUnscramblesThem) {
    TempDirectory dir;
    WriteFile(dir / "scores.dat", Scramble(document));
    InnerZK::DMDatabase database;
    EXPECT_TRUE(database.Load((dir / "scores.dat").c_str()));
    EXPECT_STREQ(database.GetValue("scores", "1", "name"), "ann");
    EXPECT_TRUE(PopupTexts().empty());
}

TEST_F(ScrambledFiles, AFailedUnscrambleFailsTheOpenWithoutAMessageOfItsOwn) {
    TempDirectory dir;
    std::string file = Scramble(document);
    file[30] = char(file[30] ^ 0x10);
    WriteFile(dir / "bad.dat", file);
    InnerZK::XMLReader reader;
    EXPECT_FALSE(reader.OpenFile((dir / "bad.dat").c_str()));
    EXPECT_TRUE(PopupTexts().empty());
}

TEST_F(ScrambledFiles, WithoutTheZeroByteTheFileIsPlainText) {
    TempDirectory dir;
    std::string file = Scramble(document);
    file[13] = 'X';
    WriteFile(dir / "plain.dat", file);
    InnerZK::XMLReader reader;
    EXPECT_FALSE(reader.OpenFile((dir / "plain.dat").c_str()));
    EXPECT_EQ(PopupTexts(), std::vector<std::string>{"First non-whitespace char in XML document needs to be '<'. "
                                                     "First char in '" + (dir / "plain.dat") + "' is #52 '4'."});
}

TEST_F(ScrambledFiles, TextsInMemoryAreNeverUnscrambled) {
    std::string file = Scramble(document);
    InnerZK::XMLReader reader;
    EXPECT_FALSE(reader.OpenFileInMemory(file.data(), int(file.size())));
    ASSERT_EQ(PopupTexts().size(), 1u);
    EXPECT_NE(PopupTexts()[0].find("is #52 '4'"), std::string::npos);
}

}  // namespace
