// The manifester's XML reader and database: tokens and tags with their
// blanks, quotes, escapes and comments, the errors that reading goes on
// after, and databases of arrays and nodes loaded once by name.
#include <string>
#include <vector>

#include "tools/manifester/tests/manifester_test_support.h"
#include "tools/manifester/xml_database.h"

using namespace manifester;
using namespace manifester_test;

namespace {

// A tag as text: "name a=v b=w", "/name" when closing, 'text' for text.
std::string Describe(const ZK_XMLReader::Tag* tag) {
    if (!tag) return "null";
    if (!tag->name) return "'" + std::string(tag->values[0]) + "'";
    std::string text = (tag->closing ? "/" : "") + std::string(tag->name);
    for (int i = 0; i < tag->attribute_count; ++i) text += " " + std::string(tag->names[i]) + "=" + tag->values[i];
    return text;
}

class XmlReading : public ManifesterTest {
protected:
    // Every tag of the text until the end of the data, joined by " | ".
    std::string Tags(const std::string& text) {
        std::string path = dir / "read.xml";
        WriteBytes(path, Bytes(text.begin(), text.end()));
        ZK_XMLReader reader;
        if (!reader.Open(path.c_str(), false)) return "not opened";
        std::string all;
        for (int guard = 0; !reader.AtEnd() && guard < 1000; ++guard) {
            const ZK_XMLReader::Tag* tag = reader.NextTag();
            if (!tag && reader.AtEnd()) break;
            all += (all.empty() ? "" : " | ") + Describe(tag);
        }
        return all;
    }
};

TEST_F(XmlReading, TagsAttributesAndText) {
    struct Case {
        const char* text;
        const char* tags;
    } cases[] = {
        {"<node  id = \"a\"\t\n w=\"1\"  >", "node id=a w=1"},
        {"<node id=\"a\" />", "/node id=a"},
        {"<node/>", "/node"},
        {"</array >", "/array"},
        {"<node w=5 h=6/>", "/node w=5 h=6"},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><root>", "?xml version=1.0 encoding=UTF-8 | root"},
        // Quotes keep blanks and angle brackets; escapes become characters.
        {"<node v=\"a  <b> c\"/>", "/node v=a  <b> c"},
        {"<node v=\"q\\\"q\" w=\"b\\\\\" x=\"1\\n2\\t3\\r\" y=\"\\zend\"/>",
         "/node v=q\"q w=b\\ x=1\n2\t3\r y=end"},
        // Text keeps its blanks and its escapes; blank text is dropped.
        {"<node>  hi \\n there  </node>", "node | '  hi \\n there  ' | /node"},
        {"<a>\n\t \n</a>", "a | /a"},
        {"<a>say \"<b>\" now</a>", "a | 'say \"<b>\" now' | /a"},
        {"<!-- note --><a/><!--x-->", "/a"},
        {"<a><!-- <b/> -->text</a>", "a | 'text' | /a"},
        {"<a x=\"<!-- kept -->\"/>", "/a x=<!-- kept -->"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Tags(c.text), c.tags) << c.text;
        EXPECT_TRUE(Recorded().empty()) << c.text << ": " << RecordedText();
        Recorded().clear();
    }
}

// Each error is reported and reading goes on.
TEST_F(XmlReading, ErrorsAreReportedAndReadingGoesOn) {
    struct Case {
        const char* text;
        const char* tags;
        const char* message;
    } cases[] = {
        {"<a/>\n>x<b/>", "/a | '\n>x' | /b",
         "Parsing error (not expecting '>') around line 1 in ZK_XML '%s'. Unexpected character '>' (3e) at:\n'x<b/>'\n"},
        {"<<a/>", "/<a", "Parsing error (not expecting another '<')"},
        {"<>", "", "Parsing error (not expecting '<' yet)"},
        {"<!-- a <!-- b --><c/>", "/c", "Parsing error (New comment block start within a comment block.)"},
        {"<a/><!-- open", "/a", "Parsing error (Comment block not ended properly.)"},
        {"<a b/><c/>", "null | /c", "ZK_XMLReader Parsing Error1 at 6/10\n"},
        {"<a b=\"open><c/>", "", "ZK_XMLReader Parsing Error2 at 15/15\n"},
    };
    for (const Case& c : cases) {
        Recorded().clear();
        EXPECT_EQ(Tags(c.text), c.tags) << c.text;
        std::string message = c.message;
        size_t file = message.find("%s");
        if (file != std::string::npos) message.replace(file, 2, dir / "read.xml");
        EXPECT_NE(RecordedText().find(message), std::string::npos) << c.text << ": " << RecordedText();
    }
}

TEST_F(XmlReading, LimitsOfTheTokenBufferAndTheAttributes) {
    // Text past the buffer is cut at 4095 characters, with one message.
    std::string long_text(5000, 'x');
    EXPECT_EQ(Tags("<a>" + long_text + "</a>"), "a | '" + std::string(4095, 'x') + "' | /a");
    EXPECT_EQ(Recorded().size(), 1u);
    EXPECT_NE(RecordedText().find("Parsing error (buffer overrun)"), std::string::npos);

    // Attributes past the 128th are dropped after one message.
    Recorded().clear();
    std::string tag = "<node";
    for (int i = 0; i < 131; ++i) tag += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    std::string path = dir / "many.xml";
    WriteBytes(path, Bytes(tag.begin(), tag.end()));
    ZK_XMLReader reader;
    ASSERT_TRUE(reader.Open(path.c_str(), true));
    const ZK_XMLReader::Tag* read = reader.NextTag();
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->attribute_count, 128);
    EXPECT_STREQ(read->values[127], "127");
    EXPECT_EQ(RecordedText(), "Too many blocks (128 limit) in object 'node' in xml '" + path + "'.\n");

    // 128 attributes fit without a message.
    Recorded().clear();
    std::string fitting = "<node";
    for (int i = 0; i < 128; ++i) fitting += " a=\"1\"";
    EXPECT_EQ(Tags(fitting + "/>").size(), std::string("/node").size() + 128 * 4);
    EXPECT_TRUE(Recorded().empty()) << RecordedText();
}

TEST_F(XmlReading, FirstCharacterMustOpenATag) {
    struct Case {
        std::string text;
        bool opens;
        int code;
    } cases[] = {
        {"", true, 0},
        {" \r\n\t", true, 0},
        {"\n  <a/>", true, 0},
        {"\xEF\xBB\xBF<a/>", false, 239},
        {"text<a/>", false, 't'},
    };
    for (const Case& c : cases) {
        Recorded().clear();
        std::string path = dir / "first.xml";
        WriteBytes(path, Bytes(c.text.begin(), c.text.end()));
        ZK_XMLReader reader;
        EXPECT_EQ(reader.Open(path.c_str(), false), c.opens) << c.text;
        if (c.opens) {
            EXPECT_TRUE(Recorded().empty());
            continue;
        }
        EXPECT_EQ(RecordedText().rfind("First non-whitespace char in XML document needs to be '<'. First char in '" +
                                           path + "' is #" + std::to_string(c.code),
                                       0),
                  0u)
            << RecordedText();
    }
    ZK_XMLReader reader;
    EXPECT_FALSE(reader.Open((dir / "missing.xml").c_str(), false));
    EXPECT_FALSE(reader.Open((dir / "missing.xml").c_str(), true));
}

class XmlDatabases : public ManifesterTest {
protected:
    ZK_XMLDatabase* Load(const std::string& name, const std::string& text) {
        std::string path = dir / name;
        WriteBytes(path, Bytes(text.begin(), text.end()));
        return GetDatabase(&zk_state.databases, path.c_str());
    }
    // Each array as "id: node, node" (nodes as "id{pair=value,...}").
    static std::string Contents(ZK_XMLDatabase* database) {
        std::string all;
        for (int a = 0; a < database->arrays.count; ++a) {
            ZK_XMLArray* array = database->arrays.items[a];
            all += std::string(a ? " / " : "") + (array->id ? array->id : "(none)") + ":";
            for (int n = 0; n < GetNumberOfNodes(array); ++n) {
                ZK_XMLNode* node = GetNodeByIndex(array, n);
                all += std::string(n ? ", " : " ") + (node->id ? node->id : "(none)") + "{";
                for (int p = 0; p < node->pair_count; ++p) {
                    all += std::string(p ? "," : "") + node->pairs[p].name + "=" + node->pairs[p].value;
                }
                all += "}";
            }
        }
        return all;
    }
};

TEST_F(XmlDatabases, ArraysAndNodesFromTheFile) {
    const char* declaration = "<?xml version=\"1.0\"?>\n<root>\n";
    struct Case {
        const char* name;
        std::string text;
        const char* contents;
        int arrays, nodes;
    } cases[] = {
        {"plain", std::string(declaration) +
                      "<array id=\"settings\">\n <node id=\"INPUT\" ttf=\"a.ttf\" size_px=\"20\"/>\n"
                      " <node id=\"SPACING\" value=\"1\"/>\n</array>\n<array id=\"glyphs\"></array>\n</root>\n",
         "settings: INPUT{id=INPUT,ttf=a.ttf,size_px=20}, SPACING{id=SPACING,value=1} / glyphs:", 2, 2},
        // The closing tag of an empty-bodied node is read as a node too.
        {"empty body", std::string(declaration) + "<array id=\"a\"><node id=\"x\"></node></array>",
         "a: x{id=x}, (none){}", 1, 2},
        {"text content", std::string(declaration) + "<array id=\"a\"><node id=\"x\">  some \\n text </node></array>",
         "a: x{id=x,DATA=  some \\n text }", 1, 1},
        // Without a declaration the first array's opening tag is dropped.
        {"no declaration", "<root><array id=\"lost\"><node id=\"1\"/></array><array id=\"kept\"><node id=\"2\"/></array>",
         "kept: 2{id=2}", 1, 1},
        // Names in any case; an array's first id, a node's last.
        {"any case", std::string(declaration) + "<ARRAY Id=\"first\" id=\"second\"><Node ID=\"a\" id=\"b\"/></Array>",
         "first: b{ID=a,id=b}", 1, 1},
        {"no ids", std::string(declaration) + "<array><node v=\"1\"/></array>", "(none): (none){v=1}", 1, 1},
        // Stray tags inside an array are passed over.
        {"stray tags", std::string(declaration) +
                           "<array id=\"a\"><other x=\"1\"/>loose text<node id=\"1\"/><array id=\"inner\">"
                           "<group></group><node id=\"2\"/></array><array id=\"b\"><node id=\"3\"/></array>",
         "a: 1{id=1}, 2{id=2} / b: 3{id=3}", 2, 3},
        {"empty", "", "", 0, 0},
        {"unclosed at the end", std::string(declaration) + "<array id=\"a\"><node id=\"1\"/>", "a: 1{id=1}", 1, 1},
    };
    for (const Case& c : cases) {
        Recorded().clear();
        ZK_XMLDatabase* database = Load(std::string(c.name) + ".xml", c.text);
        ASSERT_NE(database, nullptr);
        EXPECT_EQ(Contents(database), c.contents) << c.name;
        EXPECT_NE(RecordedText().find(std::to_string(c.arrays) + " Arrays loaded with total " + std::to_string(c.nodes) +
                                      " nodes.\n"),
                  std::string::npos)
            << c.name << ": " << RecordedText();
    }
    EXPECT_NE(RecordedText().find("Error parsing file '" + dir / "unclosed at the end.xml" + "'\n"), std::string::npos);
}

TEST_F(XmlDatabases, EachNameLoadedOnceWithoutRegardToCase) {
    std::string text = "<?xml?><root><array id=\"a\"><node id=\"1\"/></array></root>";
    ZK_XMLDatabase* first = Load("Fonts.XML", text);
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->arrays.count, 1);
    WriteBytes(dir / "Fonts.XML", Bytes());
    Recorded().clear();
    EXPECT_EQ(GetDatabase(&zk_state.databases, (dir / "fonts.xml").c_str()), first);
    EXPECT_TRUE(Recorded().empty());

    // A missing file and an unknown type stay in the list, empty; asking
    // again does not read again.
    struct Case {
        const char* name;
        const char* message;
    } cases[] = {{"missing.xml", "ZK_XML Array File '%s' not found!\n"},
                 {"table.csv", "Unknown database file type '%s'.\nSupported formats are: .xml"},
                 {"x.ml", "Unknown database file type '%s'.\nSupported formats are: .xml"}};
    for (const Case& c : cases) {
        Recorded().clear();
        std::string path = dir / c.name;
        ZK_XMLDatabase* empty = GetDatabase(&zk_state.databases, path.c_str());
        ASSERT_NE(empty, nullptr);
        EXPECT_EQ(empty->arrays.count, 0);
        std::string message = c.message;
        message.replace(message.find("%s"), 2, path);
        EXPECT_EQ(RecordedText(), message);
        WriteBytes(path, Bytes(text.begin(), text.end()));
        Recorded().clear();
        EXPECT_EQ(GetDatabase(&zk_state.databases, path.c_str()), empty);
        EXPECT_EQ(empty->arrays.count, 0);
        EXPECT_TRUE(Recorded().empty());
    }
    EXPECT_EQ(zk_state.databases.count, 4);
    EXPECT_EQ(GetDatabase(&zk_state.databases, nullptr), nullptr);
}

TEST_F(XmlDatabases, LookupsAndTheirMisses) {
    ZK_XMLDatabase* database =
        Load("look.xml", "<?xml?><root><array id=\"a\"><node id=\"x\" v=\"1\" v=\"2\"/><node w=\"3\"/></array>"
                         "<array><node id=\"y\"/></array></root>");
    ZK_XMLArray* a = GetArray(database, "a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(GetArray(database, "A"), nullptr);
    EXPECT_EQ(GetNode(GetArray(database, nullptr), "y"), GetNodeByIndex(GetArray(database, nullptr), 0));
    EXPECT_EQ(GetArray(nullptr, "a"), nullptr);
    EXPECT_EQ(GetNumberOfNodes(a), 2);
    EXPECT_EQ(GetNumberOfNodes(nullptr), 0);
    EXPECT_STREQ(GetArrayValue(a, "x", "v"), "1");
    EXPECT_STREQ(GetArrayValueByIndex(a, 1, "w"), "3");
    EXPECT_EQ(GetArrayValue(a, "X", "v"), nullptr);
    EXPECT_EQ(GetArrayValue(a, "x", "V"), nullptr);
    EXPECT_EQ(GetArrayValue(a, nullptr, "v"), nullptr);
    EXPECT_EQ(GetValue(GetNode(a, "x"), nullptr), nullptr);
    EXPECT_EQ(GetNodeByIndex(a, 2), nullptr);
    EXPECT_EQ(GetNodeByIndex(a, -1), nullptr);
    EXPECT_EQ(GetArrayValueByIndex(a, 5, "w"), nullptr);
}

}  // namespace
