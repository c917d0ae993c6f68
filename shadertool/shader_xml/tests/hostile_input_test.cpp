// Inputs made to exhaust the front end: each is large enough that work
// without a bound (or a read that waits for ever) could not end within the
// time bound that CTest puts on these cases, and each must end in an error.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/storage/database_manager.h"
#include "shadertool/frontend/preprocessor.h"
#include "shadertool/frontend/tests/reader_test_engine.h"
#include "shadertool/shader_xml/shader_reader.h"

using namespace ShaderTool;

namespace {

const std::string kData = "tests/data/preprocessor/";

// A directory of its own under /tmp, removed with what it holds.
class TemporaryDirectory {
public:
    TemporaryDirectory() {
        char pattern[] = "/tmp/zk-hostile-XXXXXX";
        path = mkdtemp(pattern) ? pattern : "";
    }
    ~TemporaryDirectory() {
        if (!path.empty()) std::system(("rm -rf '" + path + "'").c_str());
    }
    std::string path;
};

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

const char* const kXMLHeader = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n";

int CountLines(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

class HostileInputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SetUpEngineForReaderTests(); }
    static void TearDownTestSuite() {
        while (zk_dman.databases.Count() > 0) zk_dman.ReleaseDatabase(zk_dman.databases[0]);
    }

    bool Preprocess(const std::string& code, const std::string& file) {
        ShaderSource source;
        source.file = file.c_str();
        source.code = code.c_str();
        source.line = 1;
        source.type = PIXEL_SHADER;
        return preprocessor.Process(info, HLSL11, source, nArray<nString>(), false);
    }
    std::string Messages() const { return log.GetText(); }

    Log log;
    Preprocessor preprocessor{log};
    ShaderInfo info;
};

const char* const kErrorLimitLine = "Error: too many errors (more than 100); the rest are not reported.\n";

// A file that includes itself twice would expand 2^16 times before the depth
// limit ends each branch; the number of includes is bounded as well.
TEST_F(HostileInputTest, IncludesThatMultiplyEndAtTheirBounds) {
    std::string main = kData + "main.zksl";
    EXPECT_FALSE(Preprocess("#include \"twice.zksl\"\n", main));
    EXPECT_NE(Messages().find("twice.zksl(1:10) error: includes are nested too deeply (maximum is 16).\n"),
              std::string::npos);
    EXPECT_NE(Messages().find(kErrorLimitLine), std::string::npos);

    log.Clear();
    std::string flat;
    for (int i = 0; i < 1100; ++i) flat += "#include \"two_lines.zksl\"\n";
    EXPECT_FALSE(Preprocess(flat, main));
    EXPECT_EQ(Messages().find(main + "(1025:10) error: too many includes (maximum is 1024).\n"), 0u) << Messages();
}

TEST_F(HostileInputTest, IncludedTextIsBoundedInLength) {
    TemporaryDirectory directory;
    ASSERT_FALSE(directory.path.empty());
    WriteText(directory.path + "/mega.zksl", std::string(1024 * 1024 - 1, ' ') + "\n");
    std::string code;
    for (int i = 0; i < 17; ++i) code += "#include \"mega.zksl\"\n";
    std::string main = directory.path + "/main.zksl";
    EXPECT_FALSE(Preprocess(code, main));
    EXPECT_EQ(Messages(), main + "(17:10) error: included text is too long (maximum is 16777216 bytes).\n");
}

// Each error used to copy the whole log, so a flood of them took minutes.
TEST_F(HostileInputTest, FloodsOfErrorsAreCutOff) {
    std::string endifs;
    for (int i = 0; i < 100000; ++i) endifs += "#endif\n";
    EXPECT_FALSE(Preprocess(endifs, "main.zksl"));
    std::string messages = Messages();
    EXPECT_EQ(CountLines(messages), 101);
    EXPECT_TRUE(EndsWith(messages, "main.zksl(100:1) error: unexpected endif directive.\n" +
                                       std::string(kErrorLimitLine)))
        << messages;
    EXPECT_TRUE(log.HasErrors());

    log.Clear();
    std::string outputs = "<array id=\"pixel_output\">\n";
    for (int i = 0; i < 200000; ++i) outputs += "<node id=\"color\"/>\n";
    std::string xml = kXMLHeader + std::string("<root>\n<array id=\"info\">\n<node id=\"version\" value=\"2\"/>\n"
                      "<node id=\"revision\" value=\"2\"/>\n</array>\n<array id=\"vertex_input\">\n"
                      "<node id=\"p\" semantic=\"POSITION\"/>\n</array>\n") +
                      outputs + "</array>\n</root>\n";
    ShaderReader reader(log);
    EXPECT_FALSE(reader.ReadShaderXMLFromMemory(xml.c_str(), true));
    EXPECT_EQ(CountLines(Messages()), 101);
    EXPECT_EQ(Messages().find("Error: pixel output with name 'color' already exists.\n"), 0u) << Messages();
}

// Opening a FIFO for reading waits for a writer that never comes.
TEST_F(HostileInputTest, OnlyRegularFilesAreRead) {
    TemporaryDirectory directory;
    ASSERT_FALSE(directory.path.empty());
    ASSERT_EQ(mkfifo((directory.path + "/fifo.zksl").c_str(), 0600), 0);
    ASSERT_EQ(mkdir((directory.path + "/folder.zksl").c_str(), 0700), 0);
    std::string main = directory.path + "/main.zksl";
    for (const char* name : {"fifo.zksl", "folder.zksl"}) {
        log.Clear();
        EXPECT_FALSE(Preprocess(std::string("#include \"") + name + "\"\n", main)) << name;
        EXPECT_EQ(Messages(), main + "(1:10) error: include file could not be read.\n") << name;
    }

    log.Clear();
    std::string xml = directory.path + "/shader.xml";
    WriteText(xml, std::string(kXMLHeader) +
              "<root>\n<array id=\"info\">\n<node id=\"version\" value=\"2\"/>\n<node id=\"revision\" value=\"2\"/>\n"
              "</array>\n<array id=\"vertex_input\">\n<node id=\"p\" semantic=\"POSITION\"/>\n</array>\n"
              "<array id=\"pixel_output\">\n<node id=\"color\"/>\n</array>\n<array id=\"sources\">\n"
              "<node type=\"vertex\" file=\"fifo.zksl\"/>\n<node type=\"pixel\" file=\"fifo.zksl\"/>\n</array>\n"
              "</root>\n");
    ShaderReader reader(log);
    EXPECT_FALSE(reader.ReadShaderXMLFromFile(xml.c_str(), true, false));
    std::string message = "Error: failed to open or read shader source file '" + directory.path + "/fifo.zksl'.\n";
    EXPECT_EQ(Messages(), message + message);
}

}  // namespace
