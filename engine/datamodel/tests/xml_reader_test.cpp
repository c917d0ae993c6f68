// The XML dialect reader: what it accepts, the blocks it hands out, and
// every message it gives.
#include <string>
#include <vector>

#include "engine/datamodel/datamodel.h"
#include "engine/datamodel/xml_reader.h"
#include "engine/datamodel/tests/datamodel_test_support.h"
#include "engine/runtime/zekar.h"

using namespace InnerZK;
using namespace datamodel_test;

namespace {

struct Pair {
    std::string key;
    std::string value;
    bool operator==(const Pair& o) const { return key == o.key && value == o.value; }
};

// A block as plain values, printable in failures.
struct Block {
    std::string name;  // "" for a text block
    bool closing;
    std::vector<Pair> pairs;
    bool operator==(const Block& o) const { return name == o.name && closing == o.closing && pairs == o.pairs; }
};

std::ostream& operator<<(std::ostream& out, const Block& b) {
    out << "<" << (b.name.empty() ? "(text)" : b.name) << (b.closing ? " closing" : "");
    for (const Pair& p : b.pairs) out << " " << p.key << "='" << p.value << "'";
    return out << ">";
}

Block Copy(const xml_block_t* b) {
    Block block{b->name ? b->name : "", b->closing, {}};
    for (int i = 0; i < b->count; ++i) block.pairs.push_back({b->keys[i], b->values[i]});
    return block;
}

// Every block of a text given in memory; `opened` tells whether the
// declaration was accepted.
std::vector<Block> ReadAll(const std::string& text, bool* opened = nullptr) {
    XMLReader reader;
    bool ok = reader.OpenFileInMemory(text.data(), int(text.size()));
    if (opened) *opened = ok;
    std::vector<Block> blocks;
    if (!ok) return blocks;
    while (xml_block_t* b = reader.ReadNextBlock()) blocks.push_back(Copy(b));
    return blocks;
}

const std::string declaration = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>";

class XMLReaderTest : public DataModelTest {};

TEST_F(XMLReaderTest, TheDeclarationMayFollowASignatureAndWhiteSpace) {
    bool opened = false;
    std::vector<Block> blocks = ReadAll("\xEF\xBB\xBF\n\r\n\t " + declaration + "\n<root/>", &opened);
    EXPECT_TRUE(opened);
    EXPECT_EQ(blocks, (std::vector<Block>{{"root", true, {}}}));
    EXPECT_TRUE(Recorded().empty());
}

TEST_F(XMLReaderTest, TagsAttributesAndTextBlocks) {
    struct Case {
        const char* body;
        std::vector<Block> blocks;
    } cases[] = {
        {"<node id=\"a\" v=\"1\"/>", {{"node", true, {{"id", "a"}, {"v", "1"}}}}},
        {"<node id = \"a\"\n\t v=\"1\" >", {{"node", false, {{"id", "a"}, {"v", "1"}}}}},
        {"<node id=\"a\" />", {{"node", true, {{"id", "a"}}}}},
        {"<node\r\n  key.name_2=\"x\"\r\n/>", {{"node", true, {{"key.name_2", "x"}}}}},
        {"</node>", {{"node", true, {}}}},
        {"<node >", {{"node", false, {}}}},
        {"<node/>", {{"node", true, {}}}},
        {"<a>text here</a>", {{"a", false, {}}, {"", false, {{"DATA", "text here"}}}, {"a", true, {}}}},
        {"<a>\n  \t\n</a>", {{"a", false, {}}, {"a", true, {}}}},
        {"<a>  two  words </a>", {{"a", false, {}}, {"", false, {{"DATA", "  two  words "}}}, {"a", true, {}}}},
        {"<!DOCTYPE x>", {{"", false, {{"DATA", "<!DOCTYPE x>"}}}}},
        {"<!-- before --><root/><!-- after -->", {{"root", true, {}}}},
        {"<a>x<!-- c -->y</a>",
         {{"a", false, {}}, {"", false, {{"DATA", "x"}}}, {"", false, {{"DATA", "y"}}}, {"a", true, {}}}},
        {"<a v=\"<b>\"/>", {{"a", true, {{"v", "<b>"}}}}},
        {"<a v=\"x y\"/>", {{"a", true, {{"v", "x y"}}}}},
        {"<a v=\"\"/>", {{"a", true, {{"v", ""}}}}},
        {"<n><![CDATA[if (a < b && c > d) x = \"&amp;\";]]></n>",
         {{"n", false, {}}, {"", false, {{"CDATA", "if (a < b && c > d) x = \"&amp;\";"}}}, {"n", true, {}}}},
        {"<n><![CDATA[<tag/>]]></n>", {{"n", false, {}}, {"", false, {{"CDATA", "<tag/>"}}}, {"n", true, {}}}},
        {"<n><![CDATA[]]></n>", {{"n", false, {}}, {"", false, {{"CDATA", ""}}}, {"n", true, {}}}},
        {"<a/>trailing text", {{"a", true, {}}}},
    };
    for (const Case& c : cases) {
        ClearRecorded();
        EXPECT_EQ(ReadAll(declaration + c.body), c.blocks) << c.body;
        EXPECT_TRUE(PopupTexts().empty()) << c.body;
    }
}

TEST_F(XMLReaderTest, ValuesAreUnescapedThenEntitiesReplaced) {
    struct Case {
        const char* quoted;  // as written between the quotes
        const char* value;
    } cases[] = {
        {"a\\\"b", "a\"b"},     {"a\\\\", "a\\"},      {"x\\qy", "xy"},     {"1\\n2\\r3\\t4", "1\n2\r3\t4"},
        {"&amp;lt;", "&lt;"},   {"&quot;", "\""},      {"&amp;quot;", "&quot;"}, {"&lt;&gt;", "&lt;&gt;"},
        {"a&amp;&amp;b", "a&&b"},
    };
    for (const Case& c : cases) {
        std::string body = std::string("<a v=\"") + c.quoted + "\"/>";
        std::vector<Block> blocks = ReadAll(declaration + body);
        ASSERT_EQ(blocks.size(), 1u) << body;
        ASSERT_EQ(blocks[0].pairs.size(), 1u) << body;
        EXPECT_EQ(blocks[0].pairs[0].value, c.value) << body;
    }
    EXPECT_TRUE(PopupTexts().empty());
}

TEST(XMLUnescape, ABackslashAtTheVeryEndIsDropped) {
    char text[] = "tail\\";
    XMLReader::FormattedStringToBinaryString(text);
    EXPECT_STREQ(text, "tail");
    char both[] = "\\\\\\";  // three backslashes
    XMLReader::FormattedStringToBinaryString(both);
    EXPECT_STREQ(both, "\\");
}

TEST_F(XMLReaderTest, KeyRules) {
    EXPECT_TRUE(XMLReader::IsValidKeyString(nullptr));
    EXPECT_TRUE(XMLReader::IsValidKeyString(""));
    EXPECT_TRUE(XMLReader::IsValidKeyString("a1._B"));
    EXPECT_TRUE(XMLReader::IsValidKeyString("_x"));
    EXPECT_TRUE(XMLReader::IsValidKeyString(".x"));
    EXPECT_FALSE(XMLReader::IsValidKeyString("1a"));
    EXPECT_FALSE(XMLReader::IsValidKeyString("a-b"));
    EXPECT_FALSE(XMLReader::IsValidKeyString("a b"));
    EXPECT_TRUE(XMLReader::OnlyWhitespace(" \t\r\n"));
    EXPECT_TRUE(XMLReader::OnlyWhitespace(""));
    EXPECT_FALSE(XMLReader::OnlyWhitespace(" x "));
}

std::string ParsingError(const std::string& reason, int line, char shown, int code, const std::string& excerpt) {
    char head[512];
    snprintf(head, sizeof head, "Parsing error (%s) around line %d in XML 'FromMem'. Unexpected character '%c' (%x) at:\n'",
             reason.c_str(), line, shown, code);
    return head + excerpt + "'";
}

TEST_F(XMLReaderTest, EveryParsingErrorMessage) {
    const std::string overrun_text(16383, 'x');
    const std::string expecting =
        "Expecting \" character to start value definition (all values must be defined name=\"value\" with quotes).";
    struct Case {
        std::string body;
        std::vector<std::string> popups;
        size_t blocks_before;  // blocks handed out before the error
    } cases[] = {
        {"<root a=\"1\"b=\"2\"/>",
         {ParsingError("Unexpected character after value definition.", 1, 'b', 0x62, "b=\"2\"/>")}, 0},
        {"<root>\n\n>", {ParsingError("not expecting '>'", 3, '>', 0x3e, ">")}, 1},
        {"<<root>", {ParsingError("not expecting another '<'", 1, '<', 0x3c, "<root>")}, 0},
        {"< <root>", {ParsingError("not expecting another '<'", 1, '<', 0x3c, "<root>")}, 0},
        {"<>", {ParsingError("not expecting '<' yet", 1, '>', 0x3e, ">")}, 0},
        {"<root>" + overrun_text + "</root>", {ParsingError("buffer overrun", 1, ' ', 0x20, "x</root>")}, 1},
        // A tag holds as much as a text: "<n v=\"" and 16,376 characters of
        // the value fill it, in a start tag or an empty-element tag alike;
        // no part of a value or the pairs after it is dropped.
        {"<root><n v=\"" + std::string(16400, 'x') + "\"></n>",
         {ParsingError("buffer overrun", 1, ' ', 0x20, std::string(24, 'x') + "\"></n>")}, 1},
        {"<root><n v=\"" + std::string(16400, 'x') + "\" w=\"1\"/>",
         {ParsingError("buffer overrun", 1, ' ', 0x20, std::string(24, 'x') + "\" w=\"1\"/>")}, 1},
        {"<root><n v=\"" + std::string(16374, 'x') + "\" key=\"1\"/>",
         {ParsingError("buffer overrun", 1, ' ', 0x20, "key=\"1\"/>")}, 1},
        {"<!-- a <!- b --><root/>",
         {ParsingError("New comment block start within a comment block.", 1, '<', 0x3c, "<!- b --><root/>")}, 0},
        {"<root/>\n<!-- open", {ParsingError("Comment block not ended properly.", 2, ' ', 0x20, "")}, 1},
        {"<root><n><![CDATA[abc",
         {ParsingError("'![CDATA[' does not end with ']]>' pattern.", 1, ' ', 0x20, "<![CDATA[abc")}, 2},
        {"<root a/>", {ParsingError("Reading next block (case #1)", 1, ' ', 0, ">")}, 0},
        {"<root 1a=\"x\"/>\n", {ParsingError("Reading next block (case #1)", 1, ' ', 0, ">\n")}, 0},
        {"<root a=1/>", {ParsingError(expecting, 1, '1', 0x31, ">"), ParsingError("Reading next block (case #2)", 1, ' ', 0, ">")}, 0},
    };
    for (const Case& c : cases) {
        ClearRecorded();
        XMLReader reader;
        std::string text = declaration + c.body;
        ASSERT_TRUE(reader.OpenFileInMemory(text.data(), int(text.size())));
        size_t blocks = 0;
        while (reader.ReadNextBlock()) ++blocks;
        EXPECT_EQ(blocks, c.blocks_before) << c.body.substr(0, 40);
        EXPECT_EQ(PopupTexts(), c.popups) << c.body.substr(0, 40);
        // The reader stays invalid: no further block.
        EXPECT_FALSE(reader.IsValid());
        EXPECT_EQ(reader.ReadNextBlock(), nullptr);
        EXPECT_TRUE(reader.EndOfFile());
    }
}

TEST_F(XMLReaderTest, TheLongestTextBlockFitsTheWorkBuffer) {
    std::string text(16382, 'x');
    std::vector<Block> blocks = ReadAll(declaration + "<root>" + text + "</root>");
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[1].pairs[0].value, text);
    EXPECT_TRUE(PopupTexts().empty());
}

TEST_F(XMLReaderTest, DeclarationMessages) {
    struct Case {
        std::string text;
        std::string popup;
    } cases[] = {
        {"  xyz", "First non-whitespace char in XML document needs to be '<'. First char in 'FromMem' is #120 'x'."},
        {"\n\n\n   ", "First non-whitespace char in XML document needs to be '<'. First char in 'FromMem' is #0 ' '."},
        {"<root></root>", "XML document needs to start with line like <?xml versions=... ?>. File 'FromMem' doesn't."},
    };
    for (const Case& c : cases) {
        ClearRecorded();
        XMLReader reader;
        EXPECT_FALSE(reader.OpenFileInMemory(c.text.data(), int(c.text.size()))) << c.text;
        EXPECT_EQ(PopupTexts(), std::vector<std::string>{c.popup}) << c.text;
    }
    XMLReader reader;
    EXPECT_FALSE(reader.OpenFileInMemory("<?x", 3));
    EXPECT_FALSE(reader.OpenFileInMemory(nullptr, 10));
    EXPECT_TRUE(reader.OpenFileInMemory("<?\?>", 4));
    EXPECT_STREQ(reader.GetFileName(), "FromMem");
    EXPECT_EQ(reader.GetDepth(), 0);
}

std::string ElementWithAttributes(int count) {
    std::string body = "<node";
    for (int i = 0; i < count; ++i) body += " k" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    return body + "/>";
}

TEST_F(XMLReaderTest, At512PairsTheElementWarnsAndKeepsNoMore) {
    const std::string warning = "Too many blocks (512 limit) in object 'node' in xml 'FromMem'.";
    for (int count : {511, 512, 600}) {
        ClearRecorded();
        std::vector<Block> blocks = ReadAll(declaration + ElementWithAttributes(count) + "<after/>");
        ASSERT_EQ(blocks.size(), 2u) << count;
        size_t kept = count < 512 ? size_t(count) : 512u;
        EXPECT_EQ(blocks[0].pairs.size(), kept) << count;
        EXPECT_TRUE(blocks[0].closing) << count;
        EXPECT_EQ(blocks[0].pairs.back().key, "k" + std::to_string(kept - 1)) << count;
        EXPECT_EQ(blocks[1].name, "after");
        EXPECT_EQ(PopupTexts(), count >= 512 ? std::vector<std::string>{warning} : std::vector<std::string>{}) << count;
    }
}

TEST_F(XMLReaderTest, FilesAreReadWholeAndNamedInMessages) {
    TempDirectory dir;
    WriteFile(dir / "a.xml", declaration + "<root a=1/>");
    XMLReader reader;
    ASSERT_TRUE(reader.OpenFile((dir / "a.xml").c_str()));
    EXPECT_EQ(reader.ReadNextBlock(), nullptr);
    ASSERT_EQ(PopupTexts().size(), 2u);
    EXPECT_NE(PopupTexts()[0].find("in XML '" + (dir / "a.xml") + "'"), std::string::npos);

    EXPECT_FALSE(reader.OpenFile((dir / "missing.xml").c_str()));
    EXPECT_FALSE(reader.OpenFile(""));
    EXPECT_FALSE(reader.OpenFile(nullptr));
    EXPECT_FALSE(reader.OpenFile("res://a.xml"));
}

// Reads all that is asked but answers that only `limit` bytes came.
size_t read_limit = 0;
size_t (*real_read)(void*, size_t, zk_file_t*) = nullptr;
size_t ShortRead(void* buffer, size_t size, zk_file_t* file) {
    size_t read = real_read(buffer, size, file);
    return read < read_limit ? read : read_limit;
}

TEST_F(XMLReaderTest, OnlyTheBytesActuallyReadAreParsed) {
    TempDirectory dir;
    std::string document = declaration + "<root><array id=\"a\"><node id=\"n\"/></array></root>";
    WriteFile(dir / "short.xml", document + "<junk/>");
    real_read = zk->file_system->ZK_FileSystem_ReadFile;
    read_limit = document.size();
    zk->file_system->ZK_FileSystem_ReadFile = ShortRead;
    DMDatabase database;
    bool loaded = database.LoadXML((dir / "short.xml").c_str());
    zk->file_system->ZK_FileSystem_ReadFile = real_read;
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(PopupTexts().empty());
    EXPECT_NE(database.GetNode("a", "n"), nullptr);
}

}  // namespace
