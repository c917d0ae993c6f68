#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/runtime/state.h"
#include "engine/runtime/zekar.h"
#include "shadertool/frontend/tests/reader_test_engine.h"
#include "engine/storage/database_manager.h"
#include "shadertool/shader_xml/shader_reader.h"

using ShaderTool::Log;
using ShaderTool::ShaderConstant;
using ShaderTool::ShaderInfo;
using ShaderTool::ShaderReader;

namespace {

const std::string kData = "tests/data/reader/";

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
}

// A Shader XML text around the given arrays, with a valid info array unless
// one is given.
std::string ShaderXML(const std::string& arrays, bool with_info = true) {
    std::string text = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<root>\n";
    if (with_info) {
        text += "<array id=\"info\">\n<node id=\"version\" value=\"2\"/>\n<node id=\"revision\" value=\"2\"/>\n</array>\n";
    }
    return text + arrays + "</root>\n";
}

const char* const kPixelOutput = "<array id=\"pixel_output\">\n<node id=\"color\"/>\n</array>\n";
const char* const kPosition = "<array id=\"vertex_input\">\n<node id=\"p\" semantic=\"POSITION\"/>\n</array>\n";

bool developer_mode = false;
bool IsDeveloperModeForTests() { return developer_mode; }

zk_bitmap_t* const kWhiteBitmap = reinterpret_cast<zk_bitmap_t*>(0x1000);
zk_bitmap_t* GetBitmapForTests(const char* name) {
    return std::string(name) == "white" ? kWhiteBitmap : nullptr;
}

class ShaderReaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SetUpEngineForReaderTests();
        zk->ZKI_IsDeveloperModeEnabled = IsDeveloperModeForTests;
        zk->graphics->ZK_Graphics_GetBitmap = GetBitmapForTests;
    }
    // The manager keeps its databases until the process ends; give them back.
    static void TearDownTestSuite() {
        while (zk_dman.databases.Count() > 0) zk_dman.ReleaseDatabase(zk_dman.databases[0]);
    }
    void SetUp() override { developer_mode = false; }

    // Every read of a fixture starts from the file on disk.
    bool ReadFile(const std::string& path, bool skip_sources = false) {
        return reader.ReadShaderXMLFromFile(path.c_str(), true, skip_sources);
    }
    bool ReadMemory(const std::string& text, bool skip_sources = true) {
        return reader.ReadShaderXMLFromMemory(text.c_str(), skip_sources);
    }
    const ShaderInfo& Info() const { return reader.GetShaderInfo(); }

    Log log;
    ShaderReader reader{log};
};

// Each faulty fixture draws exactly the messages in the log file beside it.
TEST_F(ShaderReaderTest, FaultyFixturesReportTheirMessages) {
    const char* const fixtures[] = {
        "missing", "not_xml", "broken_structure",
        "invalid_version", "invalid_info_target", "invalid_feature_level",
        "general_constant_without_id", "general_constant_underscore", "general_constant_without_value",
        "general_constant_file_missing", "general_constant_file_nested",
        "vertex_input_format", "vertex_input_unknown_semantic", "vertex_input_empty", "vertex_input_too_many",
        "vertex_input_without_id", "vertex_input_underscore", "vertex_input_duplicate",
        "constant_without_id", "constant_underscore", "constant_duplicate", "constant_count_negative",
        "constant_count_zero", "constant_count_overflow", "constant_count_float_constant",
        "constant_count_unknown_constant", "constant_type", "constant_type_missing", "constant_semantic",
        "constant_all_faults",
        "vertex_output_without_id", "vertex_output_underscore", "vertex_output_type", "vertex_output_duplicate",
        "vertex_output_two_positions", "vertex_output_no_position",
        "texture_without_id", "texture_underscore", "texture_type", "texture_address_mode", "texture_filter_mode",
        "texture_source", "texture_duplicate", "texture_too_many",
        "pixel_output_missing", "pixel_output_empty", "pixel_output_without_id", "pixel_output_underscore",
        "pixel_output_duplicate",
        "sources_missing", "source_type", "source_target", "source_without_code", "source_file_and_cdata",
        "source_file_missing", "sources_all_twice", "sources_overlap", "sources_overlap_family",
    };
    for (const char* name : fixtures) {
        log.Clear();
        reader.Reset();
        EXPECT_FALSE(ReadFile(kData + name + ".xml")) << name;
        EXPECT_EQ(log.GetText(), ReadText(kData + name + ".log")) << name;
        EXPECT_TRUE(log.HasErrors()) << name;
    }
}

TEST_F(ShaderReaderTest, SmallestCompleteFileReadsCleanly) {
    ASSERT_TRUE(ReadFile(kData + "minimal.xml")) << log.GetText();
    EXPECT_STREQ(log.GetText(), "");
    EXPECT_EQ(Info().version, 0x20002u);
    EXPECT_EQ(Info().targets, 127);
    ASSERT_EQ(Info().sources.Count(), 2);
    EXPECT_EQ(Info().sources[0].type, ShaderTool::VERTEX_SHADER);
    EXPECT_EQ(Info().sources[1].type, ShaderTool::PIXEL_SHADER);
    EXPECT_STREQ(Info().sources[0].code.c_str(), "void main() {}\n");
    EXPECT_STREQ(Info().sources[0].file.c_str(), (kData + "minimal.xml").c_str());
    EXPECT_NE(Info().time_modified, 0u);
    EXPECT_STREQ(reader.GetDirectory().c_str(), kData.c_str());
}

TEST_F(ShaderReaderTest, ValidXMLWithoutInfoIsNotAShaderXML) {
    ASSERT_TRUE(ReadFile(kData + "no_info.xml"));
    EXPECT_EQ(Info().version, 0u);
    EXPECT_EQ(Info().sources.Count(), 0);
    EXPECT_FALSE(log.HasMessages());
}

TEST_F(ShaderReaderTest, CompleteFileFillsEveryList) {
    ASSERT_TRUE(ReadFile(kData + "complete.xml")) << log.GetText();
    const ShaderInfo& info = Info();
    EXPECT_STREQ(info.tags.c_str(), "a b");
    EXPECT_EQ(info.targets, 5);

    struct ConstantCase {
        const char* id;
        const char* value;
        int kind;
    };
    const ConstantCase constants[] = {
        {"FLAG", "true", ShaderConstant::BOOL},
        {"MODE", "shared", ShaderConstant::OTHER},  // replaced in place by the included file, kind recomputed
        {"SHARED", "2", ShaderConstant::INT},
        {"COUNT", "3", ShaderConstant::INT},
        {"TEXT", "\"quoted\"", ShaderConstant::OTHER},
    };
    ASSERT_EQ(info.constants.Count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(info.constants[i].id.c_str(), constants[i].id);
        EXPECT_STREQ(info.constants[i].value.c_str(), constants[i].value) << constants[i].id;
        EXPECT_EQ(info.constants[i].kind, constants[i].kind) << constants[i].id;
    }

    struct VariableCase {
        const char* id;
        int array_size;
        int size;
        int semantic;
    };
    const VariableCase variables[] = {
        {"bones", 3, 192, ShaderTool::CONSTANT_WORLD_TRANSFORM},  // count names a general constant
        {"pair", 2, 32, ShaderTool::CONSTANT_NONE},
        {"single", 0, 64, ShaderTool::CONSTANT_NONE},
    };
    ASSERT_EQ(info.vertex_constants.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        const ShaderTool::ShaderConstantVariable& variable = info.vertex_constants[i];
        EXPECT_STREQ(variable.id.c_str(), variables[i].id);
        EXPECT_EQ(variable.type.array_size, variables[i].array_size) << variables[i].id;
        EXPECT_EQ(variable.size, variables[i].size) << variables[i].id;
        EXPECT_EQ(variable.semantic, variables[i].semantic) << variables[i].id;
        EXPECT_TRUE(variable.type.IsConst()) << variables[i].id;
    }

    struct OutputCase {
        const char* id;
        int semantic;
        int index;
    };
    const OutputCase outputs[] = {
        {"uv0", ShaderTool::OUTPUT_TEXTURE_COORDINATE, 0},
        {"pos", ShaderTool::OUTPUT_POSITION, 0},
        {"uv1", ShaderTool::OUTPUT_TEXTURE_COORDINATE, 1},  // an unknown semantic word
        {"tint", ShaderTool::OUTPUT_COLOR, 0},
    };
    ASSERT_EQ(info.vertex_output.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(info.vertex_output[i].id.c_str(), outputs[i].id);
        EXPECT_EQ(info.vertex_output[i].semantic, outputs[i].semantic) << outputs[i].id;
        EXPECT_EQ(info.vertex_output[i].semantic_index, outputs[i].index) << outputs[i].id;
        EXPECT_FALSE(info.vertex_output[i].type.IsConst());
    }
    EXPECT_EQ(info.vertex_output[2].type.vector_size, 3);

    ASSERT_EQ(info.pixel_textures.Count(), 2);
    const ShaderTool::ShaderTextureVariable& diffuse = info.pixel_textures[0];
    EXPECT_EQ(diffuse.type.basic_type, ShaderTool::TYPE_TEXTURE);
    EXPECT_EQ(diffuse.type.texture_kind, ShaderTool::TEXTURE_2D);
    const int modes[6] = {diffuse.address_u, diffuse.address_v, diffuse.address_w,
                          diffuse.filter_mag, diffuse.filter_min, diffuse.filter_mip};
    const int expected_modes[6] = {1, 2, 3, 1, 2, 3};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(modes[i], expected_modes[i]) << i;
    EXPECT_EQ(info.pixel_textures[1].type.texture_kind, ShaderTool::TEXTURE_3D);
    EXPECT_EQ(info.pixel_textures[1].address_u, 0);
    EXPECT_EQ(info.pixel_textures[1].source, nullptr);
}

TEST_F(ShaderReaderTest, VertexInputFormats) {
    struct Case {
        const char* semantics;  // space-separated
        bool accepted;
        int format;
    };
    const Case cases[] = {
        {"POSITION", true, 1},
        {"POSITION COLOR TEXTURE_COORDINATE_0", true, 7},
        {"POSITION COLOR TEXTURE_COORDINATE_0 NORMAL", true, 15},
        {"POSITION COLOR TEXTURE_COORDINATE_0 NORMAL TANGENT", true, 47},
        {"POSITION COLOR TEXTURE_COORDINATE_0 NORMAL TANGENT BITANGENT", true, 111},
        {"POSITION 4_BONE_INDICES 4_BONE_WEIGHTS", true, 385},
        {"POSITION 4_BONE_INDICES 4_BONE_WEIGHTS COLOR TEXTURE_COORDINATE_0 NORMAL", true, 399},
        {"POSITION 4_BONE_INDICES 4_BONE_WEIGHTS COLOR TEXTURE_COORDINATE_0 NORMAL TANGENT BITANGENT", true, 495},
        {"POSITION NORMAL", false, 9},
        {"POSITION COLOR", false, 3},
        {"COLOR TEXTURE_COORDINATE_0", false, 6},
        {"POSITION COLOR TEXTURE_COORDINATE_0 TEXTURE_COORDINATE_1", false, 23},
        {"POSITION 4_BONE_INDICES", false, 129},
        {"POSITION POSITION", true, 1},
    };
    for (const Case& c : cases) {
        log.Clear();
        reader.Reset();
        std::string nodes;
        std::istringstream words(c.semantics);
        std::string word;
        for (int i = 0; words >> word; ++i) {
            nodes += "<node id=\"v" + std::to_string(i) + "\" semantic=\"" + word + "\"/>\n";
        }
        std::string text = ShaderXML("<array id=\"vertex_input\">\n" + nodes + "</array>\n" + kPixelOutput);
        EXPECT_EQ(ReadMemory(text), c.accepted) << c.semantics;
        if (c.accepted) {
            int format = 0;
            for (int i = 0; i < Info().vertex_input.Count(); ++i) format |= Info().vertex_input[i].semantic;
            EXPECT_EQ(format, c.format) << c.semantics;
        } else {
            EXPECT_STREQ(log.GetText(), "Error: vertex input format is invalid.\n") << c.semantics;
        }
    }
}

TEST_F(ShaderReaderTest, VertexInputTypesFollowTheSemantic) {
    std::string inputs =
        "<array id=\"vertex_input\">\n"
        "<node id=\"p\" semantic=\"POSITION\"/>\n<node id=\"i\" semantic=\"4_BONE_INDICES\"/>\n"
        "<node id=\"w\" semantic=\"4_BONE_WEIGHTS\"/>\n<node id=\"c\" semantic=\"COLOR\"/>\n"
        "<node id=\"t\" semantic=\"TEXTURE_COORDINATE_0\"/>\n<node id=\"n\" semantic=\"NORMAL\"/>\n"
        "</array>\n";
    ASSERT_TRUE(ReadMemory(ShaderXML(inputs + kPixelOutput))) << log.GetText();
    struct Case {
        ShaderTool::BasicType basic;
        int size;
    };
    const Case cases[] = {{ShaderTool::TYPE_FLOAT, 4}, {ShaderTool::TYPE_INT, 4},   {ShaderTool::TYPE_FLOAT, 4},
                          {ShaderTool::TYPE_FLOAT, 4}, {ShaderTool::TYPE_FLOAT, 2}, {ShaderTool::TYPE_FLOAT, 3}};
    ASSERT_EQ(Info().vertex_input.Count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Info().vertex_input[i].type.basic_type, cases[i].basic) << i;
        EXPECT_EQ(Info().vertex_input[i].type.vector_size, cases[i].size) << i;
        EXPECT_TRUE(Info().vertex_input[i].type.IsConst()) << i;
    }
}

TEST_F(ShaderReaderTest, InfoVersionsTargetsAndFeatureLevels) {
    struct Case {
        const char* nodes;
        bool accepted;
        int targets;
    };
    const Case cases[] = {
        {"<node id=\"version\" value=\"3\"/><node id=\"revision\" value=\"0\"/>", true, 127},
        {"<node id=\"version\" value=\"2\"/><node id=\"revision\" value=\"1\"/>", false, 0},
        {"<node id=\"revision\" value=\"9\"/>", false, 0},
        {"<node id=\"version\" value=\"2\"/><node id=\"revision\" value=\"2\"/><node id=\"feature_level\" value=\"2\"/>",
         true, 122},
        {"<node id=\"version\" value=\"2\"/><node id=\"revision\" value=\"2\"/><node id=\"feature_level\" value=\"1\"/>",
         true, 127},
        {"<node id=\"version\" value=\"2\"/><node id=\"revision\" value=\"2\"/><node id=\"target\" value=\"~HLSL\"/>"
         "<node id=\"feature_level\" value=\"3\"/>",
         true, 79},  // with a target the feature level is not read
        {"<node id=\"version\" value=\"2\"/><node id=\"revision\" value=\"2\"/><node id=\"target\" value=\"ESSL,\"/>",
         true, 3},
    };
    for (const Case& c : cases) {
        log.Clear();
        reader.Reset();
        std::string text = ShaderXML(std::string("<array id=\"info\">\n") + c.nodes + "\n</array>\n" + kPosition +
                                         kPixelOutput,
                                     false);
        EXPECT_EQ(ReadMemory(text), c.accepted) << c.nodes << log.GetText();
        if (c.accepted) {
            EXPECT_EQ(Info().targets, c.targets) << c.nodes;
        }
    }
}

TEST_F(ShaderReaderTest, TargetLists) {
    struct Case {
        const char* text;
        int mask;
    };
    const Case cases[] = {
        {nullptr, 127},       {"", 127},          {"ESSL20,GLSL21", 5}, {"~HLSL", 79},       {"HLSL, PSSL", 0},
        {"ESSL,", 3},         {"~ESSL,GLSL", 0},  {"~ALL", 0},          {"~NOPE", 0},        {"hlsl", 0},
        {"ALL", 127},         {"GLSL,,HLSL", 0},  {"PSSL,HLSL9", 80},   {"HLSL11HLSL11HLSL", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShaderTool::GetSourceTargetIds(c.text), c.mask) << (c.text ? c.text : "null");
    }
}

TEST_F(ShaderReaderTest, SourceLinesComeFromTheRawText) {
    ASSERT_TRUE(ReadFile(kData + "line_numbers.xml")) << log.GetText();
    ASSERT_EQ(Info().sources.Count(), 3);
    EXPECT_EQ(Info().sources[0].line, 1);  // given by file
    EXPECT_STREQ(Info().sources[0].file.c_str(), (kData + "code.zksl").c_str());
    EXPECT_STREQ(Info().sources[0].code.c_str(), "void main() {}\n");
    EXPECT_EQ(Info().sources[1].line, 21);  // section on line 18, three blank lines dropped
    EXPECT_STREQ(Info().sources[1].code.c_str(), "  float4 first;\n");
    EXPECT_EQ(Info().sources[2].line, 23);
    EXPECT_EQ(Info().sources[1].targets, 127 & ~32);
}

TEST_F(ShaderReaderTest, SourceOrderDecidesWhetherTargetsConflict) {
    const char* general_then_one =
        "<array id=\"sources\">\n<node type=\"pixel\"><![CDATA[a]]></node>\n"
        "<node type=\"pixel\" target=\"HLSL11\"><![CDATA[b]]></node>\n"
        "<node type=\"vertex\" target=\"HLSL11\"><![CDATA[c]]></node>\n</array>\n";
    EXPECT_TRUE(ReadMemory(ShaderXML(std::string(kPosition) + kPixelOutput + general_then_one), false))
        << log.GetText();
    EXPECT_EQ(Info().sources.Count(), 3);
}

TEST_F(ShaderReaderTest, TextureSourceIsLookedUpAsABitmap) {
    std::string textures =
        "<array id=\"pixel_textures\">\n<node id=\"t\" type=\"2D\" source=\"white\"/>\n</array>\n";
    ASSERT_TRUE(ReadMemory(ShaderXML(kPosition + textures + kPixelOutput))) << log.GetText();
    EXPECT_EQ(Info().pixel_textures[0].source, kWhiteBitmap);
}

TEST_F(ShaderReaderTest, AfterARefusedNodeNoneIsAppendedButAllAreChecked) {
    std::string outputs =
        "<array id=\"vertex_output\">\n<node id=\"a\" type=\"FLOAT4\" semantic=\"POSITION\"/>\n"
        "<node id=\"b\" type=\"FLOAT9\"/>\n"
        "<node id=\"c\" type=\"FLOAT4\"/>\n<node id=\"_d\" type=\"FLOAT4\"/>\n</array>\n";
    EXPECT_FALSE(ReadMemory(ShaderXML(kPosition + outputs + kPixelOutput)));
    EXPECT_STREQ(log.GetText(),
                 "Error: vertex output variable 'b' has invalid type.\n"
                 "Error: vertex output variable id starts with an underscore.\n");
    ASSERT_EQ(Info().vertex_output.Count(), 1);
    EXPECT_STREQ(Info().vertex_output[0].id.c_str(), "a");
}

// Declared outputs must include the position, whatever else they hold; a
// file that declares none (no array, or an empty one) is still read.
TEST_F(ShaderReaderTest, DeclaredVertexOutputsMustIncludeAPosition) {
    const std::string kMissing = "Error: vertex output variable with semantic 'POSITION' does not exist.\n";
    const std::string kArray = "<array id=\"vertex_output\">\n";
    struct Case {
        const char* label;
        std::string outputs;  // the vertex_output array, or nothing
        bool read;
        std::string log;
    } cases[] = {
        {"no array", "", true, ""},
        {"an empty array", kArray + "</array>\n", true, ""},
        {"a position among other words",
         kArray + "<node id=\"n\" type=\"FLOAT3\" semantic=\"NORMAL\"/>\n"
                  "<node id=\"p\" type=\"FLOAT4\" semantic=\"POSITION\"/>\n</array>\n",
         true, ""},
        {"only texture coordinates", kArray + "<node id=\"uv\" type=\"FLOAT2\"/>\n</array>\n", false, kMissing},
        {"a position refused for its type",
         kArray + "<node id=\"p\" type=\"float4\" semantic=\"POSITION\"/>\n</array>\n", false,
         "Error: vertex output variable 'p' has invalid type.\n"},
        {"refused nodes and no position",
         kArray + "<node id=\"_p\" type=\"FLOAT4\" semantic=\"COLOR\"/>\n</array>\n", false,
         "Error: vertex output variable id starts with an underscore.\n" + kMissing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        reader.Reset();
        log.Clear();
        EXPECT_EQ(ReadMemory(ShaderXML(kPosition + c.outputs + kPixelOutput)), c.read);
        EXPECT_EQ(log.GetText(), c.log);
    }
}

TEST_F(ShaderReaderTest, BrokenTextInMemoryIsAReadFailure) {
    EXPECT_FALSE(ReadMemory("<?xml version=\"1.0\"?>\n<root>\n<array id=\"info\">\n</root>\n"));
    EXPECT_STREQ(log.GetText(),
                 "DataManager: in 'FromMem' is expecting to find two types of elements inside root: 'array' and "
                 "'node'. 'root' is not one of them.\n"
                 "Error: failed to read Shader XML text.\n");
    log.Clear();
    EXPECT_FALSE(ReadMemory(""));
    EXPECT_TRUE(log.HasErrors());
}

// A file the XML reader refuses is reported with the XML reader's own
// words, which name the file and the line, right before the reader's line.
// They reach the log whatever the popup level (here the default, which
// drops the XML reader's warnings).
TEST_F(ShaderReaderTest, BrokenXMLIsReportedWithTheXMLReadersMessage) {
    ASSERT_GT(zk_state.log_verbose_level, ZK_MESSAGE_WARNING);
    const char* const declaration = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n";
    struct Case {
        std::string text;
        std::string first_line;  // how the log begins, with PATH for the file's path
    } cases[] = {
        {std::string(declaration) + "<root>\n<array id=\"info\">\n<node id=\"version\" value=2/>\n</array>\n</root>\n",
         "Parsing error (Expecting \" character to start value definition (all values must be defined "
         "name=\"value\" with quotes).) around line 4 in XML 'PATH'."},
        {std::string(declaration) + "<root>\n<array id='info'>\n</array>\n</root>\n",
         "Parsing error (Expecting \" character to start value definition (all values must be defined "
         "name=\"value\" with quotes).) around line 3 in XML 'PATH'."},
        {"<root>\n<array id=\"info\">\n</array>\n</root>\n",
         "XML document needs to start with line like <?xml versions=... ?>. File 'PATH' doesn't."},
        {std::string(declaration) + "<root>\n<array id=\"info\">\n<node id=\"a\"b=\"1\"/>\n</array>\n</root>\n",
         "Parsing error (Unexpected character after value definition.) around line 4 in XML 'PATH'."},
        {std::string(declaration) + "<root>\n<node id=\"a\"/>\n</root>\n",
         "DataManager: root/array/node structure violated. 'node' is not 'array'. 'PATH' is invalid."},
    };
    const char* binary = std::getenv("ZK_BINARY_DIR");
    const std::string path = std::string(binary ? binary : ".") + "/reader_broken.xml";
    for (const Case& c : cases) {
        WriteText(path, c.text);
        reader.Reset();
        log.Clear();
        EXPECT_FALSE(ReadFile(path));
        std::string text = log.GetText();
        std::string first = c.first_line;
        first.replace(first.find("PATH"), 4, path);
        EXPECT_EQ(text.rfind(first, 0), 0u) << text;
        const std::string last = "Error: failed to read Shader XML file '" + path + "'.\n";
        ASSERT_GE(text.size(), last.size());
        EXPECT_EQ(text.substr(text.size() - last.size()), last) << text;
    }
    std::remove(path.c_str());

    // The same from memory, and from a general constants file.
    log.Clear();
    EXPECT_FALSE(ReadMemory(std::string(declaration) + "<root>\n<array id=\"info\">\n<node id=2/>\n</array>\n</root>\n"));
    EXPECT_EQ(std::string(log.GetText()).rfind("Parsing error (Expecting \" character", 0), 0u) << log.GetText();
    EXPECT_NE(std::string(log.GetText()).find("around line 4 in XML 'FromMem'."), std::string::npos) << log.GetText();

    const std::string constants = std::string(binary ? binary : ".") + "/reader_broken_constants.xml";
    WriteText(constants, std::string(declaration) + "<root>\n<array id=\"constants\">\n<node id=N value=\"1\"/>\n");
    log.Clear();
    reader.Reset();
    std::string main = ShaderXML("<array id=\"constants\">\n<node file=\"reader_broken_constants.xml\"/>\n</array>\n" +
                                 std::string(kPosition) + kPixelOutput);
    const std::string main_path = std::string(binary ? binary : ".") + "/reader_with_constants.xml";
    WriteText(main_path, main);
    EXPECT_FALSE(ReadFile(main_path, true));
    std::string text = log.GetText();
    EXPECT_EQ(text.rfind("Parsing error (Expecting \" character", 0), 0u) << text;
    EXPECT_NE(text.find("around line 4 in XML '" + constants + "'."), std::string::npos) << text;
    const std::string last = "Error: failed to read Shader XML file '" + constants + "'.\n";
    EXPECT_EQ(text.substr(text.size() - std::min(text.size(), last.size())), last) << text;
    std::remove(constants.c_str());
    std::remove(main_path.c_str());
}

// The reader keeps its own copy of the path, and a memory read resolves
// files against the current directory, not against the previous file's.
TEST_F(ShaderReaderTest, PathIsOwnedAndMemoryReadsForgetTheDirectory) {
    {
        std::string path = kData + "minimal.xml";
        ASSERT_TRUE(ReadFile(path));
    }
    EXPECT_NE(reader.GetTimeModified(), 0u);
    EXPECT_STREQ(reader.GetPath().c_str(), (kData + "minimal.xml").c_str());

    std::string sources = "<array id=\"sources\">\n<node type=\"vertex\" file=\"code.zksl\"/>\n</array>\n";
    reader.Reset();
    log.Clear();
    EXPECT_FALSE(ReadMemory(ShaderXML(kPosition + std::string(kPixelOutput) + sources), false));
    EXPECT_STREQ(log.GetText(), "Error: failed to open or read shader source file 'code.zksl'.\n");
    EXPECT_STREQ(reader.GetDirectory().c_str(), "");
    EXPECT_STREQ(reader.GetPath().c_str(), "");
}

TEST_F(ShaderReaderTest, NulByteInASourceFileIsReported) {
    std::string sources =
        "<array id=\"sources\">\n<node type=\"vertex\" file=\"tests/data/preprocessor/nul_byte.zksl\"/>\n</array>\n";
    EXPECT_FALSE(ReadMemory(ShaderXML(kPosition + std::string(kPixelOutput) + sources), false));
    EXPECT_STREQ(log.GetText(),
                 "tests/data/preprocessor/nul_byte.zksl(2:2) error: invalid character (code 0) in source.\n"
                 "Error: failed to open or read shader source file 'tests/data/preprocessor/nul_byte.zksl'.\n");
}

TEST_F(ShaderReaderTest, DeveloperModeRereadsConstantFilesButNeverTheFileBeingRead) {
    developer_mode = true;
    const char* binary = std::getenv("ZK_BINARY_DIR");
    const std::string directory = std::string(binary ? binary : ".") + "/reader_scratch/";
    std::filesystem::create_directories(directory);
    std::string shared = directory + "shared.xml";
    std::string main = directory + "main.xml";
    std::string self = directory + "self.xml";
    WriteText(shared, ShaderXML("<array id=\"constants\">\n<node id=\"N\" value=\"1\"/>\n</array>\n", false));
    WriteText(main, ShaderXML("<array id=\"constants\">\n<node file=\"shared.xml\"/>\n</array>\n" +
                              std::string(kPosition) + kPixelOutput));
    ASSERT_TRUE(ReadFile(main, true)) << log.GetText();
    EXPECT_STREQ(Info().constants[0].value.c_str(), "1");

    WriteText(shared, ShaderXML("<array id=\"constants\">\n<node id=\"N\" value=\"2\"/>\n</array>\n", false));
    reader.Reset();
    ASSERT_TRUE(reader.ReadShaderXMLFromFile(main.c_str(), false, true)) << log.GetText();
    EXPECT_STREQ(Info().constants[0].value.c_str(), "2");

    // A file whose constants name the file itself: its own database stays.
    WriteText(self, ShaderXML("<array id=\"constants\">\n<node id=\"A\" value=\"1\"/>\n<node file=\"self.xml\"/>\n"
                              "</array>\n" +
                              std::string(kPosition) + kPixelOutput));
    reader.Reset();
    log.Clear();
    EXPECT_FALSE(ReadFile(self, true));
    EXPECT_STREQ(log.GetText(), "Error: general constant files are not allowed outside Shader XMLs.\n");
    std::remove(shared.c_str());
    std::remove(main.c_str());
    std::remove(self.c_str());
}

}  // namespace
