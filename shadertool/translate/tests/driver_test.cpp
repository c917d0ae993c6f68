// The translation driver on fixture Shader XMLs, with the test translator
// standing in for every target: the master-log transcripts, the files
// written, and the up-to-date passes.
#include "shadertool/translate/translator_driver.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "engine/runtime/state.h"
#include "engine/storage/safe_write.h"
#include "shadertool/translate/tests/driver_test_support.h"
#include "shadertool/translate/tests/tree_builder.h"

namespace ShaderTool {
namespace {

using testing::TestTranslator;

const char* const kData = "tests/data/translate/";

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

void SetTimes(const std::string& path, time_t seconds) {
    struct utimbuf times = {seconds, seconds};
    ASSERT_EQ(utime(path.c_str(), &times), 0) << path;
}

void CopyFile(const std::string& from, const std::string& to) {
    std::ofstream(to, std::ios::binary) << ReadWhole(from);
}

const char kMinimalVertex[] = "void main()\n{\n\toutput.position = input.position;\n}\n";
const char kMinimalPixel[] = "void main()\n{\n\toutput.color = float4(1.0f, 0.5f, 0.25f, 1.0f);\n}\n";

// Fails every translation with an error of its own, as a target whose
// translator refuses the code would.
class RefusingTranslator : public Translator {
public:
    explicit RefusingTranslator(Log& log) : Translator(log) {}
    void PostProcess() override {}
    void PreprocessShaderInfo(const ShaderInfo&) override { LogError("refused by the target."); }
};

class DriverTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SetUpEngineForReaderTests(); }

    void SetUp() override {
        char pattern[] = "/tmp/zk-driver-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        temp = made;
        out = temp + "/out/";
    }
    void TearDown() override {
        // Each test leaves no database behind.
        testing::ReleaseReadDatabases();
        std::system(("rm -rf '" + temp + "'").c_str());
    }

    // Test translators for the targets, the output directory made for them.
    void Start(int targets, bool only_changed = false, const std::string& output = "") {
        for (int bit = 1; bit < 128; bit <<= 1)
            if ((targets & bit) && !driver.GetTranslator(ShaderTarget(bit)))
                driver.SetTranslator(ShaderTarget(bit), new TestTranslator(driver.GetIntermediateLog()));
        std::string directory = output.empty() ? out : output;
        MakeTargetDirectories(directory, targets);
        ASSERT_TRUE(driver.Initialize(targets, directory.c_str(), only_changed));
    }

    void MakeTargetDirectories(const std::string& directory, int targets) {
        mkdir(directory.c_str(), 0700);
        for (int bit = 1; bit < 128; bit <<= 1) {
            if (!(targets & bit)) continue;
            std::string target = directory + GetShaderTargetName(GetShaderTargetIndex(bit));
            mkdir(target.c_str(), 0700);
            mkdir((target + "/bin").c_str(), 0700);
        }
    }

    TranslatorDriver::Options Options(int targets, const std::string& inputDirectory = kData) {
        TranslatorDriver::Options options;
        options.input_directory = inputDirectory.c_str();
        options.level_mask = HLSL11_DEFAULT;
        options.target_mask = targets;
        return options;
    }

    // Translates a fixture and returns the master log.
    std::string Run(const std::string& fixture, const TranslatorDriver::Options& options, bool expected,
                    const std::string& directory = kData) {
        nString path = (directory + fixture).c_str();
        EXPECT_EQ(driver.Translate(path, options, true), expected) << driver.GetMasterLog().GetText();
        std::string log = driver.GetMasterLog().GetText();
        driver.Reset();
        return log;
    }

    std::string temp;
    std::string out;
    TranslatorDriver driver;
};

TEST_F(DriverTest, TranslatesEveryStageAndWritesIt) {
    Start(GLSL21 | HLSL9);
    EXPECT_EQ(Run("minimal.xml", Options(GLSL21 | HLSL9), true),
              "Translating Shader XML 'tests/data/translate/minimal.xml'...\n"
              "Translating vertex shader code of shader source 1...\n"
              "Translating for target 'GLSL21'...\n"
              "Translating for target 'HLSL9'...\n"
              "Translating pixel shader code of shader source 2...\n"
              "Translating for target 'GLSL21'...\n"
              "Translating for target 'HLSL9'...\n"
              "\nTranslation SUCCEEDED\n");
    for (const char* target : {"GLSL21", "HLSL9"}) {
        EXPECT_EQ(ReadWhole(out + target + "/minimal.vertex"), kMinimalVertex) << target;
        EXPECT_EQ(ReadWhole(out + target + "/minimal.pixel"), kMinimalPixel) << target;
    }
    EXPECT_FALSE(Exists(out + "GLSL21/bin/minimal.vertex"));
}

// The parser's tree of a shader that uses most statement and expression
// forms, written back by the base translator.
TEST_F(DriverTest, WritesBackTheParsersTree) {
    Start(HLSL11);
    EXPECT_NE(Run("constructs.xml", Options(HLSL11), true).find("Translation SUCCEEDED"), std::string::npos);
    // The blank line after the global array is written where the walk
    // stands, in the body, before the next global is routed to its section.
    EXPECT_EQ(ReadWhole(out + "HLSL11/constructs.pixel"),
              "float weights[3] =\n"
              "{\n"
              "\t0.25f,\n"
              "\t0.5f,\n"
              "\t0.25f\n"
              "};\n"
              "float gain;\n"
              "\n"
              "float4 shade(float4 color, float amount);\n"
              "\n"
              "\n"
              "\n"
              "void main()\n"
              "{\n"
              "\tfloat4 sum = float4(0.0f, 0.0f, 0.0f, 0.0f);\n"
              "\tint count = 0, i;\n"
              "\n"
              "\tfor (i = 0; i < 3; i++)\n"
              "\t{\n"
              "\t\tsum += float4(weights[i], weights[i], weights[i], 1.0f);\n"
              "\t\tcount++;\n"
              "\t}\n"
              "\n"
              "\tif (count > 2)\n"
              "\t\tsum = -sum;\n"
              "\telse if (count == 2)\n"
              "\t{\n"
              "\t\tsum.xy = sum.yx * (2.0f + gain);\n"
              "\t}\n"
              "\telse\n"
              "\t\tdiscard;\n"
              "\n"
              "\twhile (count > 0)\n"
              "\t\tcount--;\n"
              "\n"
              "\tdo\n"
              "\t{\n"
              "\t\t++count;\n"
              "\t}\n"
              "\twhile (count < 1);\n"
              "\n"
              "\toutput.color = count > 0 ? shade(sum, - -gain) : mix(sum, float4(1.0f, 1.0f, 1.0f, 1.0f), 0.5f);\n"
              "}\n"
              "\n"
              "float4 shade(float4 color, float amount)\n"
              "{\n"
              "\treturn saturate(color * amount);\n"
              "}\n");
}

TEST_F(DriverTest, SkipsFilesThatAreNotForTheRequestedTargets) {
    Start(GLSL21 | ESSL20);
    EXPECT_EQ(Run("not_a_shader.xml", Options(GLSL21), true),
              "Translating Shader XML 'tests/data/translate/not_a_shader.xml'...\n"
              "File is not a Shader XML file.\n\nTranslation SKIPPED\n");
    EXPECT_EQ(Run("essl20_only.xml", Options(GLSL21), true),
              "Translating Shader XML 'tests/data/translate/essl20_only.xml'...\n"
              "No translation targets match the targets specified in the Shader XML.\n\nTranslation SKIPPED\n");
    EXPECT_FALSE(Exists(out + "GLSL21/essl20_only.vertex"));

    // Of two requested targets only the one the file lists is translated.
    std::string log = Run("essl20_only.xml", Options(GLSL21 | ESSL20), true);
    EXPECT_EQ(log.find("GLSL21"), std::string::npos) << log;
    EXPECT_EQ(ReadWhole(out + "ESSL20/essl20_only.vertex"), kMinimalVertex);
    EXPECT_FALSE(Exists(out + "GLSL21/essl20_only.vertex"));
}

TEST_F(DriverTest, ReadFailuresFail) {
    Start(GLSL21);
    EXPECT_EQ(Run("old_version.xml", Options(GLSL21), false),
              "Translating Shader XML 'tests/data/translate/old_version.xml'...\n"
              "Failed to read the Shader XML:\n"
              "Error: file is of invalid version.\n"
              "\nTranslation FAILED\n");
    // A file the XML reader cannot parse is a read failure, not a file that
    // merely is no Shader XML.
    std::string broken = Run("broken.xml", Options(GLSL21), false);
    EXPECT_EQ(broken.rfind("Translating Shader XML 'tests/data/translate/broken.xml'...\nFailed to read the Shader XML:\n"
                           "Parsing error (",
                           0),
              0u)
        << broken;
    EXPECT_NE(broken.find("\nTranslation FAILED\n"), std::string::npos) << broken;
    EXPECT_EQ(broken.find("SKIPPED"), std::string::npos) << broken;

    std::string missing = Run("no_such_file.xml", Options(GLSL21), false);
    EXPECT_NE(missing.find("Failed to read the Shader XML:\n"), std::string::npos) << missing;
    EXPECT_EQ(missing.find("SKIPPED"), std::string::npos) << missing;
}

TEST_F(DriverTest, CapabilityErrorsStopTheFileBeforeAnythingIsWritten) {
    Start(ESSL20 | GLSL21 | HLSL9);
    EXPECT_EQ(Run("many_outputs.xml", Options(ESSL20 | GLSL21 | HLSL9), false),
              "Translating Shader XML 'tests/data/translate/many_outputs.xml'...\n"
              "Error: target 'ESSL20' does not support multiple pixel outputs.\n"
              "Error: target 'ESSL20' does not support 3D textures.\n"
              "Error: target 'GLSL21' does not support multiple pixel outputs.\n"
              "\nTranslation FAILED\n");
    for (const char* target : {"ESSL20", "GLSL21", "HLSL9"}) {
        EXPECT_FALSE(Exists(out + target + "/many_outputs.vertex")) << target;
        EXPECT_FALSE(Exists(out + target + "/many_outputs.pixel")) << target;
    }
    // A target with both capabilities alone translates it.
    EXPECT_NE(Run("many_outputs.xml", Options(HLSL9), true).find("Translation SUCCEEDED"), std::string::npos);
}

// The boundary of the capability: one pixel output passes on the targets
// without multiple outputs, two already do not.
TEST_F(DriverTest, TwoPixelOutputsAreAlreadyMultiple) {
    Start(ESSL20 | GLSL21 | GLSL31);
    std::string minimal = ReadWhole(std::string(kData) + "minimal.xml");
    const std::string output = "<node id=\"color\"/>";
    const std::string write = "output.color = float4(1.0, 0.5, 0.25, 1.0);";
    ASSERT_NE(minimal.find(output), std::string::npos);
    ASSERT_NE(minimal.find(write), std::string::npos);
    struct Case {
        int outputs;
        int targets;
        bool translated;
    } cases[] = {
        {1, ESSL20 | GLSL21, true},
        {2, ESSL20, false},
        {2, GLSL21, false},
        {2, GLSL31, true},
    };
    for (const Case& c : cases) {
        std::string xml = minimal;
        std::string outputs = output;
        std::string writes = write;
        for (int i = 1; i < c.outputs; ++i) {
            outputs += "<node id=\"extra" + std::to_string(i) + "\"/>";
            writes += " output.extra" + std::to_string(i) + " = float4(1.0);";
        }
        xml.replace(xml.find(output), output.size(), outputs);
        xml.replace(xml.find(write), write.size(), writes);
        std::ofstream(temp + "/outputs.xml") << xml;
        std::string log = Run("outputs.xml", Options(c.targets, temp + "/"), c.translated, temp + "/");
        std::string name = GetShaderTargetName(GetShaderTargetIndex(c.targets & -c.targets));
        bool refused = log.find("Error: target '" + name + "' does not support multiple pixel outputs.\n") != std::string::npos;
        EXPECT_EQ(refused, !c.translated) << c.outputs << " outputs for " << name << "\n" << log;
    }
}

TEST_F(DriverTest, EveryTargetNeedsBothStages) {
    Start(ESSL20 | GLSL21);
    EXPECT_EQ(Run("one_stage_missing.xml", Options(ESSL20 | GLSL21), false),
              "Translating Shader XML 'tests/data/translate/one_stage_missing.xml'...\n"
              "Error: some targets do not have both vertex and pixel shader source specified.\n"
              "\nTranslation FAILED\n");
    EXPECT_FALSE(Exists(out + "ESSL20/one_stage_missing.pixel"));
}

// Vertex sources for ESSL20 and for GLSL21 with one pixel source for both:
// each of the two targets has both stages, whichever is requested.
TEST_F(DriverTest, StagesAreCheckedForTheRequestedTargetsOnly) {
    Start(ESSL20 | GLSL21);
    const int requests[] = {ESSL20, GLSL21, ESSL20 | GLSL21};
    for (int targets : requests) {
        std::string log = Run("split_sources.xml", Options(targets), true);
        EXPECT_NE(log.find("\nTranslation SUCCEEDED\n"), std::string::npos) << targets << "\n" << log;
    }
    EXPECT_EQ(ReadWhole(out + "GLSL21/split_sources.vertex"), kMinimalVertex);
    EXPECT_EQ(ReadWhole(out + "ESSL20/split_sources.vertex"),
              "void main()\n{\n\toutput.position = input.position * 0.5f;\n}\n");
    // A target with a pixel source but no vertex source still fails.
    EXPECT_NE(Run("one_stage_missing.xml", Options(GLSL21), false).find("some targets do not have both"),
              std::string::npos);
}

TEST_F(DriverTest, ASourceForOneTargetWinsOverTheCatchAll) {
    Start(GLSL21 | HLSL9);
    EXPECT_EQ(Run("per_target.xml", Options(GLSL21 | HLSL9), true),
              "Translating Shader XML 'tests/data/translate/per_target.xml'...\n"
              "Translating vertex shader code of shader source 1...\n"
              "Translating for target 'GLSL21'...\n"
              "Translating pixel shader code of shader source 2...\n"
              "Translating for target 'GLSL21'...\n"
              "Translating for target 'HLSL9'...\n"
              "Translating vertex shader code of shader source 3...\n"
              "Translating for target 'HLSL9'...\n"
              "\nTranslation SUCCEEDED\n");
    EXPECT_EQ(ReadWhole(out + "GLSL21/per_target.vertex"), kMinimalVertex);
    EXPECT_EQ(ReadWhole(out + "HLSL9/per_target.vertex"),
              "void main()\n{\n\toutput.position = input.position * 2.0f;\n}\n");
    EXPECT_EQ(ReadWhole(out + "HLSL9/per_target.pixel"), kMinimalPixel);
}

// A source that depends on the target is parsed again for every target;
// one that does not is parsed once and its tree serves every target.
TEST_F(DriverTest, TargetDependentSourcesAreParsedPerTarget) {
    const int targets = GLSL21 | GLSL31 | HLSL9 | HLSL11;
    Start(targets);
    int parses = driver.GetParseCount();
    EXPECT_NE(Run("target_dependent.xml", Options(targets), true).find("Translation SUCCEEDED"), std::string::npos);
    const char* white = "void main()\n{\n\toutput.color = float4(1.0f, 1.0f, 1.0f, 1.0f);\n}\n";
    EXPECT_EQ(ReadWhole(out + "GLSL21/target_dependent.pixel"), white);
    EXPECT_EQ(ReadWhole(out + "GLSL31/target_dependent.pixel"), white);
    EXPECT_EQ(ReadWhole(out + "HLSL9/target_dependent.pixel"),
              "void main()\n{\n\toutput.color = float4(0.0f, 0.0f, 0.0f, 1.0f);\n}\n");
    EXPECT_EQ(ReadWhole(out + "HLSL11/target_dependent.pixel"), white);
    // The vertex source once; the pixel source once per distinct text: the
    // tree of GLSL21 serves GLSL31 and, after HLSL9's own, HLSL11.
    EXPECT_EQ(driver.GetParseCount() - parses, 3);
}

TEST_F(DriverTest, AParseFailureStopsTheSourcesOtherTargets) {
    Start(GLSL21 | HLSL9);
    std::string log = Run("syntax_error.xml", Options(GLSL21 | HLSL9), false);
    EXPECT_NE(log.find("Translating pixel shader code of shader source 2...\n"
                       "Translating for target 'GLSL21'...\n"
                       "tests/data/translate/syntax_error.xml("),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(" error: syntax error\n"
                       "Error: parsing the source failed, skipping rest of the targets...\n"
                       "\nTranslation FAILED\n"),
              std::string::npos)
        << log;
    // The vertex source was fine and is still written for both targets.
    EXPECT_EQ(ReadWhole(out + "HLSL9/syntax_error.vertex"), kMinimalVertex);
    EXPECT_FALSE(Exists(out + "GLSL21/syntax_error.pixel"));
}

TEST_F(DriverTest, ATargetThatRefusesTheCodeFailsAloneAndTheOthersAreWritten) {
    driver.SetTranslator(GLSL21, new RefusingTranslator(driver.GetIntermediateLog()));
    Start(GLSL21 | HLSL9);
    std::string log = Run("minimal.xml", Options(GLSL21 | HLSL9), false);
    EXPECT_NE(log.find("Translating for target 'GLSL21'...\nError: refused by the target.\n"
                       "Translating for target 'HLSL9'...\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(ReadWhole(out + "HLSL9/minimal.pixel"), kMinimalPixel);
    EXPECT_FALSE(Exists(out + "GLSL21/minimal.pixel"));
}

// One parsed tree serves both targets; the one without bit operations
// refuses it and the other still writes its text.
TEST_F(DriverTest, BitOperationsFailOnlyTheTargetsWithoutThem) {
    driver.SetTranslator(GLSL31, new TestTranslator(driver.GetIntermediateLog(), true));
    Start(GLSL21 | GLSL31);
    std::string log = Run("bit_operations.xml", Options(GLSL21 | GLSL31), false);
    EXPECT_NE(log.find("Translating pixel shader code of shader source 2...\n"
                       "Translating for target 'GLSL21'...\n"
                       "Error: bit-wise operations are not supported.\n"
                       "Translating for target 'GLSL31'...\n"
                       "\nTranslation FAILED\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(ReadWhole(out + "GLSL31/bit_operations.pixel"),
              "void main()\n{\n\tint mask = 6 & 3;\n\toutput.color = float4(1.0f, 0.5f, 0.25f, 1.0f);\n}\n");
    EXPECT_FALSE(Exists(out + "GLSL21/bit_operations.pixel"));
}

// A generated shader may chain many operators: a chain of one operator
// level is written in a loop however long it is, while true nesting is
// refused where it gets too deep, with the file and the line.
TEST_F(DriverTest, LongOperatorChainsTranslateAndDeepNestingIsRefusedAtItsPlace) {
    Start(GLSL21);
    std::string minimal = ReadWhole(std::string(kData) + "minimal.xml");
    const std::string statement = "output.position = input.position;";
    ASSERT_NE(minimal.find(statement), std::string::npos);
    std::string chain = "output.position = input.position";
    for (int i = 0; i < 20000; ++i) chain += " + input.position";
    std::string nested = "output.position = ";
    for (int i = 0; i < 300; ++i) nested += "(";
    nested += "input.position";
    for (int i = 0; i < 300; ++i) nested += ")";
    struct Case {
        std::string statement;
        const char* message;  // null when it translates
    } cases[] = {
        {chain + ";", nullptr},
        {nested + ";", "chain.xml(20:68) error: expression is nested too deeply.\n"},
    };
    for (const Case& c : cases) {
        std::string xml = minimal;
        xml.replace(xml.find(statement), statement.size(), c.statement);
        std::ofstream(temp + "/chain.xml") << xml;
        unlink((out + "GLSL21/chain.vertex").c_str());
        std::string log = Run("chain.xml", Options(GLSL21, temp + "/"), c.message == nullptr, temp + "/");
        if (c.message) {
            EXPECT_NE(log.find(temp + "/" + c.message), std::string::npos) << log.substr(0, 300);
        }
        EXPECT_EQ(Exists(out + "GLSL21/chain.vertex"), c.message == nullptr);
    }
}

// The HLSL family writes a vector-times-matrix chain as nested mul() calls;
// one too long for the walk is refused with its file and line (an included
// file's own), as the parser refuses deep nesting. The GL family writes the
// chain as it stands.
TEST_F(DriverTest, MulChainTooDeepForHLSLNamesItsFileAndLine) {
    const int targets = GLSL21 | HLSL9 | HLSL11 | PSSL;
    for (int bit : {GLSL21, HLSL9, HLSL11, PSSL})
        driver.SetTranslator(ShaderTarget(bit), driver.CreateTranslator(ShaderTarget(bit)));
    Start(targets);
    auto chain = [](int factors) {
        std::string text = "v";
        for (int i = 0; i < factors; ++i) text += " * constants.m";
        return text;
    };
    auto shader_xml = [](const std::string& vertex_code) {
        return "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<root>\n"
               "<array id=\"info\"><node id=\"version\" value=\"2\"/><node id=\"revision\" value=\"3\"/></array>\n"
               "<array id=\"vertex_input\"><node id=\"position\" semantic=\"POSITION\"/></array>\n"
               "<array id=\"vertex_constants\"><node id=\"m\" type=\"FLOAT4X4\"/></array>\n"
               "<array id=\"vertex_output\"><node id=\"position\" type=\"FLOAT4\" semantic=\"POSITION\"/></array>\n"
               "<array id=\"pixel_output\"><node id=\"color\"/></array>\n"
               "<array id=\"sources\">\n<node type=\"vertex\"><![CDATA[\n" +
               vertex_code +
               "]]></node>\n<node type=\"pixel\"><![CDATA[\n"
               "void main()\n{\n    output.color = float4(1.0, 1.0, 1.0, 1.0);\n}\n"
               "]]></node>\n</array>\n</root>\n";
    };
    auto inline_main = [&](int factors) {
        return "void main()\n{\n    float4 v = input.position;\n    output.position = " + chain(factors) + ";\n}\n";
    };
    const std::string included_main =
        "#include \"chain.zksl\"\nvoid main()\n{\n    output.position = transformed(input.position);\n}\n";
    struct Case {
        std::string vertex_code;
        std::string library;  // chain.zksl beside the Shader XML
        const char* refused_at;  // "file(line:" of the error, null when every target translates
    } cases[] = {
        {inline_main(900), "", nullptr},
        {inline_main(1100), "", "chain.xml(13:"},
        {included_main, "float4 transformed(float4 v)\n{\n    return " + chain(1100) + ";\n}\n", "chain.zksl(3:"},
    };
    for (const Case& c : cases) {
        std::ofstream(temp + "/chain.xml") << shader_xml(c.vertex_code);
        std::ofstream(temp + "/chain.zksl") << c.library;
        std::string log = Run("chain.xml", Options(targets, temp + "/"), c.refused_at == nullptr, temp + "/");
        EXPECT_TRUE(Exists(out + "GLSL21/chain.vertex")) << log.substr(0, 2000);
        if (!c.refused_at) continue;
        // One error for each target of the family, and only these.
        const std::string message = ") error: expression is nested too deeply.\n";
        EXPECT_EQ(Count(log, message), 3) << log.substr(0, 2000);
        for (size_t at = log.find(message); at != std::string::npos; at = log.find(message, at + 1)) {
            size_t line_start = log.rfind('\n', at) + 1;
            std::string line = log.substr(line_start, at + message.size() - line_start);
            EXPECT_EQ(line.rfind(temp + "/" + c.refused_at, 0), 0u) << line;
        }
    }
}

// What the file system is asked for, by path.
std::map<std::string, int> opened, times_asked;
zk_file_t* (*real_open)(const char*, const char*) = nullptr;
bool (*real_file_info)(const char*, zk_file_info_t*) = nullptr;
zk_file_t* CountingOpen(const char* path, const char* mode) {
    ++opened[path];
    return real_open(path, mode);
}
bool CountingFileInfo(const char* path, zk_file_info_t* info) {
    ++times_asked[path];
    return real_file_info(path, info);
}

// A Shader XML is read once, and the time of each file it draws on is
// looked up once, however many sources and targets there are.
TEST_F(DriverTest, EachFileIsReadOnceAndItsTimeLookedUpOnce) {
    const int targets = ESSL20 | GLSL21 | GLSL31 | HLSL9 | HLSL11;
    Start(targets, true);
    std::string xml = ReadWhole(std::string(kData) + "minimal.xml");
    const std::string pixel = "output.color = float4(1.0, 0.5, 0.25, 1.0);";
    ASSERT_NE(xml.find(pixel), std::string::npos);
    xml.replace(xml.find(pixel), pixel.size(), "output.color = white();");
    xml.replace(xml.find("void main()\n{\n    output.color"), 0, "#include \"lib.zksl\"\n");
    std::ofstream(temp + "/main.xml") << xml;
    std::ofstream(temp + "/lib.zksl") << "float4 white()\n{\n    return float4(1.0, 1.0, 1.0, 1.0);\n}\n";
    opened.clear();
    times_asked.clear();
    real_open = zk->file_system->ZK_FileSystem_OpenFile;
    real_file_info = zk->file_system->ZK_FileSystem_GetFileInfo;
    zk->file_system->ZK_FileSystem_OpenFile = CountingOpen;
    zk->file_system->ZK_FileSystem_GetFileInfo = CountingFileInfo;
    std::string log = Run("main.xml", Options(targets, temp + "/"), true, temp + "/");
    zk->file_system->ZK_FileSystem_OpenFile = real_open;
    zk->file_system->ZK_FileSystem_GetFileInfo = real_file_info;
    EXPECT_NE(log.find("Translation SUCCEEDED"), std::string::npos) << log;
    EXPECT_EQ(opened[temp + "/main.xml"], 1);
    EXPECT_EQ(times_asked[temp + "/main.xml"], 1);
    EXPECT_EQ(opened[temp + "/lib.zksl"], 1);
    EXPECT_EQ(times_asked[temp + "/lib.zksl"], 1);
    EXPECT_TRUE(Exists(out + "HLSL9/main.pixel"));
}

TEST_F(DriverTest, CompilingFailsForEveryTarget) {
    for (int target : {ESSL20, ESSL30, GLSL21, GLSL31, HLSL9, HLSL11, PSSL}) {
        TranslatorDriver local;
        local.SetTranslator(ShaderTarget(target), new TestTranslator(local.GetIntermediateLog()));
        MakeTargetDirectories(out, target);
        ASSERT_TRUE(local.Initialize(target, out.c_str(), false));
        TranslatorDriver::Options options = Options(target);
        options.compile = true;
        options.level_mask = ALL_LEVELS;
        EXPECT_FALSE(local.Translate("tests/data/translate/minimal.xml", options, true));
        std::string name = GetShaderTargetName(GetShaderTargetIndex(target));
        std::string message = "Error: target '" + name +
                              "' does not have a compiler set up. If this occurred at runtime, most likely the "
                              "target does not support runtime compilation.\n";
        std::string log = local.GetMasterLog().GetText();
        EXPECT_NE(log.find("Translating for target '" + name + "'...\n" + message), std::string::npos) << log;
        EXPECT_NE(log.find("\nTranslation FAILED\n"), std::string::npos) << log;
    }
}

// Compiles to a text naming the call; fails at one level when asked. Every
// other call's code borrows static bytes, which the driver must not free.
class FakeCompiler : public Compiler {
public:
    FakeCompiler(std::string& calls, int failing_level = -1) : calls(calls), failing_level(failing_level) {}
    bool Compile(ShaderTarget target, ShaderLevel level, ShaderType stage, const nString& source,
                 nByteBuffer& code) override {
        calls += std::string(GetShaderTargetName(GetShaderTargetIndex(target))) + " " + std::to_string(level) + " " +
                 (stage == VERTEX_SHADER ? "vertex" : "pixel") + (source.IsEmpty() ? " empty" : "") + "\n";
        if (level == failing_level) return false;
        static char borrowed[] = "borrowed";
        if (stage == PIXEL_SHADER) {
            code.SetExternal(reinterpret_cast<uint8_t*>(borrowed), 8);
        } else {
            std::string text = "code " + std::to_string(level);
            code.Append(text.data(), static_cast<int>(text.size()));
        }
        return true;
    }
    std::string& calls;
    int failing_level;
};

TEST_F(DriverTest, CompiledCodeGoesToTheBinaryTargetsPerLevel) {
    std::string calls;
    driver.SetCompiler(HLSL11, new FakeCompiler(calls));
    driver.SetCompiler(PSSL, new FakeCompiler(calls));
    driver.SetCompiler(GLSL21, new FakeCompiler(calls));
    Start(GLSL21 | HLSL11 | PSSL);
    TranslatorDriver::Options options = Options(GLSL21 | HLSL11 | PSSL);
    options.compile = true;
    options.level_mask = HLSL11_DEFAULT | HLSL11_XBOX;
    EXPECT_NE(Run("minimal.xml", options, true).find("Translation SUCCEEDED"), std::string::npos);
    EXPECT_EQ(calls,
              "GLSL21 0 vertex\nHLSL11 1 vertex\nHLSL11 4 vertex\nPSSL 0 vertex\n"
              "GLSL21 0 pixel\nHLSL11 1 pixel\nHLSL11 4 pixel\nPSSL 0 pixel\n");
    EXPECT_EQ(ReadWhole(out + "HLSL11/bin/minimal_DEFAULT.vertex"), "code 1");
    EXPECT_EQ(ReadWhole(out + "HLSL11/bin/minimal_XBOX.vertex"), "code 4");
    EXPECT_EQ(ReadWhole(out + "HLSL11/bin/minimal_XBOX.pixel"), "borrowed");
    EXPECT_FALSE(Exists(out + "HLSL11/bin/minimal_LOW.vertex"));
    // PSSL code has no level suffix even when levels are given.
    EXPECT_EQ(ReadWhole(out + "PSSL/bin/minimal.vertex"), "code 0");
    // Other targets' code is dropped; their translated text stays.
    EXPECT_FALSE(Exists(out + "GLSL21/bin/minimal.vertex"));
    EXPECT_EQ(ReadWhole(out + "GLSL21/minimal.vertex"), kMinimalVertex);
}

TEST_F(DriverTest, AFailedLevelFailsTheFileButEveryLevelIsTried) {
    std::string calls;
    driver.SetCompiler(HLSL11, new FakeCompiler(calls, HLSL11_LOW));
    Start(HLSL11);
    TranslatorDriver::Options options = Options(HLSL11);
    options.compile = true;
    options.level_mask = ALL_LEVELS;
    EXPECT_NE(Run("minimal.xml", options, false).find("\nTranslation FAILED\n"), std::string::npos);
    EXPECT_EQ(calls, "HLSL11 1 vertex\nHLSL11 2 vertex\nHLSL11 4 vertex\nHLSL11 1 pixel\nHLSL11 2 pixel\nHLSL11 4 pixel\n");
    EXPECT_TRUE(Exists(out + "HLSL11/bin/minimal_XBOX.pixel"));
    EXPECT_FALSE(Exists(out + "HLSL11/bin/minimal_LOW.pixel"));

    // Without levels HLSL11 compiles once and writes without a suffix.
    calls.clear();
    options.level_mask = 0;
    driver.SetCompiler(HLSL11, new FakeCompiler(calls));
    EXPECT_NE(Run("minimal.xml", options, true).find("Translation SUCCEEDED"), std::string::npos);
    EXPECT_EQ(calls, "HLSL11 0 vertex\nHLSL11 0 pixel\n");
    EXPECT_EQ(ReadWhole(out + "HLSL11/bin/minimal.vertex"), "code 0");
}

TEST_F(DriverTest, AWriteFailureFailsTheFile) {
    // The driver makes no directories: the caller prepares them.
    driver.SetTranslator(GLSL21, new TestTranslator(driver.GetIntermediateLog()));
    ASSERT_TRUE(driver.Initialize(GLSL21, (temp + "/missing").c_str(), false));
    std::string log = Run("minimal.xml", Options(GLSL21), false);
    EXPECT_NE(log.find("Translating for target 'GLSL21'...\nError: could not open output file '" + temp +
                       "/missing/GLSL21/minimal.vertex'.\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("\nTranslation FAILED\n"), std::string::npos) << log;
}

int FailingClose(int descriptor) {
    close(descriptor);
    errno = ENOSPC;
    return -1;
}

// A write that the disk cannot take must not pass as a written file, and
// must not cost the output of the last run: it stays whole, and nothing of
// the failed write is left beside it.
TEST_F(DriverTest, AFailedWriteFailsTheFileAndKeepsTheOldOutput) {
    Start(GLSL21);
    std::ofstream(out + "GLSL21/minimal.vertex") << "the last run's output\n";
    ZKFileSystem::SetSafeFileCloseForTesting(FailingClose);
    std::string log = Run("minimal.xml", Options(GLSL21), false);
    ZKFileSystem::SetSafeFileCloseForTesting(nullptr);
    EXPECT_NE(log.find("Error: could not write to output file '" + out + "GLSL21/minimal.vertex'.\n"), std::string::npos)
        << log;
    EXPECT_NE(log.find("\nTranslation FAILED\n"), std::string::npos) << log;
    EXPECT_EQ(ReadWhole(out + "GLSL21/minimal.vertex"), "the last run's output\n");
    EXPECT_FALSE(Exists(out + "GLSL21/minimal.pixel"));
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(out + "GLSL21")) entries += entry.is_regular_file();
    EXPECT_EQ(entries, 1);
}

// The run-time entry: a Shader XML given as text, read without its sources.
TEST_F(DriverTest, ReadsShaderXMLTexts) {
    std::string text = ReadWhole(std::string(kData) + "many_outputs.xml");
    ASSERT_TRUE(driver.ReadShaderXML("shaders/many_outputs.xml", text.c_str(), false, true));
    EXPECT_EQ(driver.GetShaderInfo().pixel_output.count, 3);
    EXPECT_EQ(driver.GetShaderInfo().sources.count, 0);
    EXPECT_STREQ(driver.GetMasterLog().GetText(), "");
    driver.Reset();

    std::string old = ReadWhole(std::string(kData) + "old_version.xml");
    EXPECT_FALSE(driver.ReadShaderXML("shaders/old_version.xml", old.c_str(), false, true));
    EXPECT_STREQ(driver.GetMasterLog().GetText(), "Failed to read the Shader XML:\nError: file is of invalid version.\n");
    EXPECT_TRUE(driver.GetMasterLog().HasErrors());
    EXPECT_STREQ(driver.GetIntermediateLog().GetText(), "");
}

TEST_F(DriverTest, TheEnginesDriverWorksFromStaticStorage) {
    shader_translator_driver.SetTranslator(ESSL30, new TestTranslator(shader_translator_driver.GetIntermediateLog()));
    ASSERT_TRUE(shader_translator_driver.Initialize(ESSL30, "", false));
    EXPECT_TRUE(shader_translator_driver.Translate("tests/data/translate/minimal.xml", Options(ESSL30), false));
    EXPECT_STREQ(reinterpret_cast<const char*>(shader_translator_driver.GetTranslatedCode().pixel.data), kMinimalPixel);
    shader_translator_driver.Reset();
}

TEST_F(DriverTest, WithoutOutputDirectoryNothingIsWrittenAndTheTextIsKept) {
    driver.SetTranslator(GLSL21, new TestTranslator(driver.GetIntermediateLog()));
    ASSERT_TRUE(driver.Initialize(GLSL21, "", false));
    EXPECT_TRUE(driver.Translate("tests/data/translate/minimal.xml", Options(GLSL21), true));
    const ShaderCode& code = driver.GetTranslatedCode();
    EXPECT_STREQ(reinterpret_cast<const char*>(code.vertex.data), kMinimalVertex);
    EXPECT_STREQ(reinterpret_cast<const char*>(code.pixel.data), kMinimalPixel);
    EXPECT_EQ(code.pixel.size, static_cast<int>(sizeof(kMinimalPixel)));
    EXPECT_FALSE(Exists("GLSL21/minimal.vertex"));
}

TEST_F(DriverTest, PreprocessOnlyWritesThePreprocessedText) {
    Start(GLSL21);
    TranslatorDriver::Options options = Options(GLSL21);
    options.preprocess_only = true;
    EXPECT_NE(Run("target_dependent.xml", options, true).find("Translation SUCCEEDED"), std::string::npos);
    std::string pixel = ReadWhole(out + "GLSL21/target_dependent.pixel");
    EXPECT_NE(pixel.find("output.color = float4(1.0, 1.0, 1.0, 1.0);"), std::string::npos) << pixel;
    EXPECT_EQ(pixel.find("#if"), std::string::npos) << pixel;
}

// Listing the definitions builds no tree, so nothing may be translated or
// written, with or without preprocessing only.
TEST_F(DriverTest, ListingDefinitionsTranslatesNothing) {
    Start(GLSL21 | HLSL9);
    for (bool preprocessOnly : {false, true}) {
        TranslatorDriver::Options options = Options(GLSL21 | HLSL9);
        options.list_definitions = true;
        options.preprocess_only = preprocessOnly;
        std::string log = Run("minimal.xml", options, true);
        EXPECT_NE(log.find("_TARGET_GLSL21"), std::string::npos) << log;
        EXPECT_NE(log.find("\nTranslation SUCCEEDED\n"), std::string::npos) << log;
        EXPECT_FALSE(Exists(out + "GLSL21/minimal.vertex"));
        EXPECT_FALSE(Exists(out + "HLSL9/minimal.pixel"));
    }
}

// A refused -d definition is logged as an error while the preprocessor
// itself succeeds; the file must fail all the same.
TEST_F(DriverTest, APreprocessorErrorFailsTheSourceEvenWhenItsResultIsTrue) {
    Start(GLSL21);
    TranslatorDriver::Options options = Options(GLSL21);
    options.definitions.InsertLast("_RESERVED");
    options.definitions.InsertLast("1");
    std::string log = Run("minimal.xml", options, false);
    EXPECT_NE(log.find("Error: invalid additional preprocessor definition '_RESERVED=1' specified.\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("\nTranslation FAILED\n"), std::string::npos) << log;
    EXPECT_FALSE(Exists(out + "GLSL21/minimal.vertex"));
}

// Up-to-date passes over a Shader XML whose sources are files with their
// own times.
class UpToDateTest : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        input = temp + "/in/";
        mkdir(input.c_str(), 0700);
        for (const char* name : {"two_files.xml", "two_files_vertex.zksl", "two_files_pixel.zksl"})
            CopyFile(std::string(kData) + name, input + name);
        SetTimes(input + "two_files.xml", 1000);
        SetTimes(input + "two_files_vertex.zksl", 1000);
        SetTimes(input + "two_files_pixel.zksl", 5000);
    }

    std::string RunTwoFiles(int referenceTime, bool expected = true) {
        TranslatorDriver::Options options = Options(GLSL21, input);
        options.reference_time = referenceTime;
        return Run("two_files.xml", options, expected, input);
    }

    void WriteOutputs() {
        std::ofstream(out + "GLSL21/two_files.vertex") << "old";
        std::ofstream(out + "GLSL21/two_files.pixel") << "old";
    }

    std::string input;
};

TEST_F(UpToDateTest, ANewerSourceBringsTheOlderOneAlong) {
    Start(GLSL21, true);
    WriteOutputs();
    std::string header = "Translating Shader XML '" + input + "two_files.xml'...\n";
    EXPECT_EQ(RunTwoFiles(3000), header +
                                     "Translating vertex shader code of shader source 1...\n"
                                     "Translating for target 'GLSL21'...\n"
                                     "Shader source is up to date, skipping translation...\n"
                                     "Translating pixel shader code of shader source 2...\n"
                                     "Translating for target 'GLSL21'...\n"
                                     "Changes or target dependent code was detected, translating up-to-date shader "
                                     "sources...\n"
                                     "Translating vertex shader code of shader source 1...\n"
                                     "Translating for target 'GLSL21'...\n"
                                     "\nTranslation SUCCEEDED\n");
    EXPECT_EQ(ReadWhole(out + "GLSL21/two_files.vertex"), kMinimalVertex);
    EXPECT_EQ(ReadWhole(out + "GLSL21/two_files.pixel"),
              "void main()\n{\n\toutput.color = float4(0.0f, 1.0f, 0.0f, 1.0f);\n}\n");
    EXPECT_EQ(driver.GetNewestSourceTime(), 0);  // reset with the file
}

TEST_F(UpToDateTest, EverythingUpToDateIsSkippedWhole) {
    Start(GLSL21, true);
    WriteOutputs();
    EXPECT_EQ(RunTwoFiles(6000), "Translating Shader XML '" + input + "two_files.xml'...\n" +
                                     "Translating vertex shader code of shader source 1...\n"
                                     "Translating for target 'GLSL21'...\n"
                                     "Shader source is up to date, skipping translation...\n"
                                     "Translating pixel shader code of shader source 2...\n"
                                     "Translating for target 'GLSL21'...\n"
                                     "Shader source is up to date, skipping translation...\n"
                                     "\nTranslation SUCCEEDED\n");
    EXPECT_EQ(ReadWhole(out + "GLSL21/two_files.vertex"), "old");
}

// A fresh reference time must not skip a file whose outputs are gone.
TEST_F(UpToDateTest, AMissingOutputMakesNothingUpToDate) {
    Start(GLSL21, true);
    WriteOutputs();
    unlink((out + "GLSL21/two_files.pixel").c_str());
    std::string log = RunTwoFiles(6000);
    EXPECT_EQ(log.find("up to date"), std::string::npos) << log;
    EXPECT_EQ(ReadWhole(out + "GLSL21/two_files.vertex"), kMinimalVertex);
    EXPECT_TRUE(Exists(out + "GLSL21/two_files.pixel"));
}

TEST_F(UpToDateTest, ReferenceTimeZeroOrForcedTranslatesEverything) {
    Start(GLSL21, true);
    WriteOutputs();
    EXPECT_EQ(RunTwoFiles(0).find("up to date"), std::string::npos);
    TranslatorDriver forced;
    forced.SetTranslator(GLSL21, new TestTranslator(forced.GetIntermediateLog()));
    ASSERT_TRUE(forced.Initialize(GLSL21, out.c_str(), false));
    TranslatorDriver::Options options = Options(GLSL21, input);
    options.reference_time = 6000;
    ASSERT_TRUE(forced.Translate((input + "two_files.xml").c_str(), options, true));
    EXPECT_EQ(std::string(forced.GetMasterLog().GetText()).find("up to date"), std::string::npos);
}

TEST_F(UpToDateTest, RunTimeUsersGetTheNewestSourceTime) {
    driver.SetTranslator(GLSL21, new TestTranslator(driver.GetIntermediateLog()));
    ASSERT_TRUE(driver.Initialize(GLSL21, "", true));
    TranslatorDriver::Options options = Options(GLSL21, input);
    ASSERT_TRUE(driver.Translate((input + "two_files.xml").c_str(), options, true));
    EXPECT_EQ(driver.GetNewestSourceTime(), 5000);
}

TEST(DriverHelpers, BaseFilePathAndSeparators) {
    struct {
        const char* path;
        const char* expected;
    } paths[] = {{"a/b.c/d", "a/b.c/d"}, {"x.xml", "x"}, {"effects/blur.xml", "effects/blur"}, {"a.b.xml", "a.b"}};
    TranslatorDriver driver;
    for (const auto& c : paths) EXPECT_STREQ(driver.GetBaseFilePath(c.path).c_str(), c.expected) << c.path;

    struct {
        const char* path;
        const char* expected;
    } separators[] = {{"", "/"}, {"out", "out/"}, {"out/", "out/"}, {"out\\", "out\\"}};
    for (const auto& c : separators) {
        nString path = c.path;
        TranslatorDriver::AppendDirectorySeparatorToPath(path);
        EXPECT_STREQ(path.c_str(), c.expected) << c.path;
    }

    for (int i = 0; i < 7; ++i) EXPECT_EQ(TranslatorDriver::GetTranslatorIndexForTarget(1 << i), i);
    for (int target : {0, 3, 48, 127, 128}) EXPECT_EQ(TranslatorDriver::GetTranslatorIndexForTarget(target), -1);
}

}  // namespace
}  // namespace ShaderTool
