#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "engine/runtime/zekar.h"
#include "engine/storage/filesystem_api.h"
#include "shadertool/frontend/tests/reader_test_engine.h"
#include "shadertool/frontend/preprocessor.h"

using ShaderTool::Log;
using ShaderTool::Preprocessor;
using ShaderTool::ShaderConstant;
using ShaderTool::ShaderInfo;
using ShaderTool::ShaderSource;

namespace {

const char* const kData = "tests/data/preprocessor/";

int CountLines(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

class PreprocessorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SetUpEngineForReaderTests();
    }

    bool Run(const char* code, int target = ShaderTool::HLSL11, const char* file = "main.zksl", int line = 1) {
        ShaderSource source;
        source.file = file;
        source.code = code;
        source.line = line;
        source.type = ShaderTool::PIXEL_SHADER;
        return preprocessor.Process(info, target, source, extra, false);
    }

    std::string Output() const { return preprocessor.GetOutput().c_str(); }
    std::string Messages() const { return log.GetText(); }

    void AddConstant(const char* id, const char* value, int kind) {
        ShaderConstant constant;
        constant.id = id;
        constant.value = value;
        constant.kind = kind;
        info.constants.InsertLast(constant);
    }

    Log log;
    Preprocessor preprocessor{log};
    ShaderInfo info;
    nArray<nString> extra;
};

// --- Expressions -------------------------------------------------------------

TEST_F(PreprocessorTest, ConditionsEvaluateWithPrecedenceAndKinds) {
    struct Case {
        const char* expression;
        bool holds;
    };
    const Case cases[] = {
        {"1 + 2 * 3 == 7", true},
        {"(1 + 2) * 3 == 9", true},
        {"10 / 4 == 2", true},           // ints truncate
        {"10 / 4.0 == 2.5", true},       // a float operand makes a float
        {"-7 / 2 == -3", true},          // toward zero
        {"2 - 1 - 1", false},            // left to right
        {"16 / 4 / 2 == 2", true},
        {"!0.0", true},
        {"!2", false},
        {"- -1 == 1", true},
        {"-_TARGET == -32", true},       // HLSL11's bit
        {"1.5 > 1 && 1 < 1.5", true},
        {"2 <= 2 && 3 >= 3 && !(3 > 3)", true},
        {"1 != 1 || 0", false},
        {"0.0 || 0", false},
        {"0.5 && 1", true},
        {"NOT_DEFINED", false},          // an undefined name is 0
        {"NOT_DEFINED == 0", true},
        {"_PI", false},                  // chains to a name that is not defined
        {"_TARGET_HLSL11 == 32", true},
        {"_TARGET_PSSL == 64", true},    // the target entry comes before the family entry
        {"defined(_PI)", true},
        {"defined(NOT_DEFINED)", false},
        {"2147483647 + 1 < 0", true},    // wraps instead of overflowing
        {"4294967297 == 1", true},       // an overlong literal wraps too
        {"1e99 > 3.4e38", true},         // beyond the float range: infinite
    };
    for (const Case& c : cases) {
        log.Clear();
        std::string source = std::string("#if ") + c.expression + "\nyes\n#else\nno\n#endif\n";
        ASSERT_TRUE(Run(source.c_str())) << c.expression << "\n" << Messages();
        EXPECT_EQ(Output(), c.holds ? "\nyes\n\n\n\n" : "\n\n\nno\n\n") << c.expression;
        EXPECT_FALSE(log.HasErrors()) << c.expression;
    }
}

TEST_F(PreprocessorTest, DirectiveFaultsAreReportedAtTheirLocation) {
    struct Case {
        const char* source;
        const char* message;  // the whole log
    };
    const Case cases[] = {
        {"#define _X 1\n", "main.zksl(1:9) error: identifiers must not start with an underscore.\n"},
        {"#define A 1\n#define A 2\n", "main.zksl(2:9) error: redefinition of 'A'.\n"},
        {"#define _PI 1\n", "main.zksl(1:9) error: identifiers must not start with an underscore.\n"},
        {"#elif 1\n", "main.zksl(1:1) error: unexpected elif directive.\n"},
        {"#else\n", "main.zksl(1:1) error: unexpected else directive.\n"},
        {"x\n#endif\n", "main.zksl(2:1) error: unexpected endif directive.\n"},
        {"#if 1\nx\n", "main.zksl(3:1) error: expected endif directive.\n"},
        {"#if 1 / 0\n#endif\n", "main.zksl(1:7) error: division by zero.\n"},
        {"#if 1 / (2 - 2.0)\n#endif\n", ""},  // a float quotient is infinite, not a fault
        {"#if (-2147483647 - 1) / -1\n#endif\n", "main.zksl(1:23) error: integer division overflows.\n"},
        {"#if 0\n#if 1 / 0\n#endif\n#endif\n", "main.zksl(2:7) error: division by zero.\n"},  // inactive too
        {"#define S \"text\"\n#if S\n#endif\n",
         "main.zksl(2:5) error: expression evaluating to a string literal is not allowed.\n"},
        {"#include 5\n", "main.zksl(1:10) error: expression must evaluate to a string literal.\n"},
        {"#include NOT_DEFINED\n", "main.zksl(1:10) error: expression must evaluate to a string literal.\n"},
        {"#include \"no_such_file.zksl\"\n", "main.zksl(1:10) error: include file was not found.\n"},
        {"#if max(1, 2)\n#endif\n", "main.zksl(1:5) error: undeclared function-like macro 'max'.\n"},
        {"#if _IS_ARRAY_NODE_DEFINED(\"pixel_textures\")\n#endif\n", "main.zksl(1:5) error: invalid arguments.\n"},
        {"#if _IS_ARRAY_NODE_DEFINED(\"constants\", \"a\", \"b\")\n#endif\n",
         "main.zksl(1:5) error: invalid arguments.\n"},
        {"#if _IS_ARRAY_NODE_DEFINED(\"constants\", 1)\n#endif\n", "main.zksl(1:5) error: invalid arguments.\n"},
        {"#if _IS_ARRAY_NODE_DEFINED(\"textures\", \"a\")\n#endif\n", "main.zksl(1:5) error: invalid array name.\n"},
    };
    for (const Case& c : cases) {
        log.Clear();
        bool ok = Run(c.source);
        EXPECT_EQ(Messages(), c.message) << c.source;
        EXPECT_EQ(ok, c.message[0] == '\0') << c.source;
        EXPECT_EQ(log.HasErrors(), c.message[0] != '\0') << c.source;
    }
}

TEST_F(PreprocessorTest, SyntaxErrorsEndTheParse) {
    struct Case {
        const char* source;
        const char* message;
    };
    const Case cases[] = {
        {"#pragma once\n", "main.zksl(1:2) error: syntax error\n"},
        {"#if (1\n#endif\n", "main.zksl(2:1) error: syntax error\n"},
        {"#if defined X\n#endif\n", "main.zksl(1:13) error: syntax error\n"},
        {"#if 5 % 2\n#endif\n", "main.zksl(1:7) error: syntax error\n"},
        {"#if 1\n#endif\n#define\n#if 1 / 0\n", "main.zksl(4:1) error: syntax error\n"},
    };
    for (const Case& c : cases) {
        log.Clear();
        EXPECT_FALSE(Run(c.source)) << c.source;
        EXPECT_EQ(Messages(), c.message) << c.source;
    }
}

TEST_F(PreprocessorTest, ParserStackIsBounded) {
    // Every logical not holds one more entry on the parser's stack.
    std::string source = "#if " + std::string(10001, '!') + "1\n#endif\n";
    EXPECT_FALSE(Run(source.c_str()));
    EXPECT_NE(Messages().find("error: memory exhausted\n"), std::string::npos) << Messages();

    log.Clear();
    source = "#if " + std::string(5000, '!') + "1\nyes\n#endif\n";
    EXPECT_TRUE(Run(source.c_str())) << Messages();
}

// Strings never reach an operator or a condition through the grammar (a name
// that ends at a string literal is refused first), but the checks stand.
TEST_F(PreprocessorTest, StringOperandsAreRefused) {
    ASSERT_TRUE(Run("x\n"));
    ShaderTool::SourceLocation location = {3, 2};
    ShaderTool::Constant text = Preprocessor::MakeInt(0, location);
    text.kind = ShaderTool::Constant::STRING;
    ShaderTool::Constant one = Preprocessor::MakeInt(1, location);
    ShaderTool::Constant sum = preprocessor.EvaluateBinary(ShaderTool::PreprocessorOperation::ADD, one, text, location);
    EXPECT_EQ(sum.kind, ShaderTool::Constant::INT);
    EXPECT_EQ(sum.int_value, 0);
    preprocessor.If(text, location);
    EXPECT_EQ(Messages(),
              "(2:3) error: operands must be of numeric type.\n"
              "(2:3) error: expression must be of numeric type.\n");
}

TEST_F(PreprocessorTest, IfNestingStopsAtSevenLevels) {
    std::string source;
    for (int i = 0; i < 8; ++i) source += "#if 1\n";
    for (int i = 0; i < 7; ++i) source += "#endif\n";
    EXPECT_FALSE(Run(source.c_str()));
    EXPECT_EQ(Messages(), "main.zksl(8:1) error: too many nested if directives.\n");

    log.Clear();
    source.clear();
    for (int i = 0; i < 7; ++i) source += "#if 1\n";
    source += "deep\n";
    for (int i = 0; i < 7; ++i) source += "#endif\n";
    EXPECT_TRUE(Run(source.c_str())) << Messages();
    EXPECT_NE(Output().find("deep\n"), std::string::npos);
}

TEST_F(PreprocessorTest, BranchesTakeOnlyTheFirstTrueArm) {
    struct Case {
        const char* source;
        const char* kept;
    };
    const Case cases[] = {
        {"#if 0\na\n#elif 1\nb\n#elif 1\nc\n#else\nd\n#endif\n", "b"},
        {"#if 1\na\n#elif 1\nb\n#else\nd\n#endif\n", "a"},
        {"#if 0\na\n#elif 0\nb\n#else\nd\n#endif\n", "d"},
        {"#if 0\n#if 1\na\n#else\nb\n#endif\n#else\nc\n#endif\n", "c"},  // nothing inside an inactive level
        {"#if 1\n#if 0\na\n#else\nb\n#endif\n#endif\n", "b"},
    };
    for (const Case& c : cases) {
        log.Clear();
        ASSERT_TRUE(Run(c.source)) << c.source << Messages();
        std::string kept;
        for (char ch : Output()) {
            if (ch != '\n') kept += ch;
        }
        EXPECT_EQ(kept, c.kept) << c.source;
        EXPECT_EQ(CountLines(Output()), CountLines(c.source)) << c.source;
    }
}

// --- Substitution ------------------------------------------------------------

TEST_F(PreprocessorTest, DefinitionsReplaceWholeWordsEverywhereInTheOutput) {
    struct Case {
        const char* source;
        const char* output;
    };
    const Case cases[] = {
        {"#define WIDTH 0.5\nx = WIDTH;\n", "\nx = 0.500000;\n"},
        {"#define TINY 0.0000001\nx = TINY;\n", "\nx = 1e-07;\n"},  // "%f" would give 0.000000
        {"#define NAME \"text\"\nx = NAME;\n", "\nx = \"text\";\n"},
        {"#define SUM 1 + 2 * 3\nx = SUM;\n", "\nx = 7;\n"},
        {"#define FLAG\nx = FLAG;\n", "\nx = 0;\n"},
        {"y = A;\n#define A 1\n", "y = 1;\n\n"},  // lines above the definition too
        {"#define A 1\nAB A_ _A A.x v.A A(A)\n", "\nAB A_ _A 1.x v.1 1(1)\n"},
        {"#define A 1\ns = \"A\"; A\n", "\ns = \"A\"; 1\n"},  // quoted text stays
        {"r = _PI * _HALF_PI + _TWO_PI;\n", "r = 3.1415926536f * 1.5707963268f + 6.2831853072f;\n"},
        {"#define N -3\nx = N;\n", "\nx = -3;\n"},
    };
    for (const Case& c : cases) {
        log.Clear();
        ASSERT_TRUE(Run(c.source)) << c.source << Messages();
        EXPECT_EQ(Output(), c.output) << c.source;
    }
}

// A constant whose text holds a quote leaves one open in the text: what
// follows on its line reads as quoted to the definitions after it.
TEST_F(PreprocessorTest, AConstantHoldingAQuoteLeavesTheRestOfItsLineQuoted) {
    AddConstant("QUOTE", "a\"b", ShaderConstant::OTHER);
    ASSERT_TRUE(Run("#define X 1\nQUOTE X\nX\n")) << Messages();
    EXPECT_EQ(Output(), "\n\"a\"b\" X\n1\n");
}

// The one pass against the passes themselves, on texts and definitions made
// at random from a few words: chains, names defined twice, words inside
// quotes, file instruction lines, replacements of several words. Where the
// one pass is refused its text may differ; where it is taken it must not.
TEST(DefinitionSubstitution, OnePassGivesWhatThePassesGive) {
    const char* const kPieces[] = {"A", "B", "C", "AB", "x", "1", "_A", " ", " ", ".", "(", ")", ";", "\n",
                                   "\n", "\"", "\"A B\"", "\t", "@file \"A\" B\n", "  @f A\n", "-"};
    const char* const kReplacements[] = {"A",    "B",       "C",     "7",   "-3",     "1.500000", "A.B",  "\"A\"",
                                         "\"\"", "B(C)",    "x",     "a@f", "\"@f A\"", "@f",      " @f",  "",
                                         " A",   "\"open", "A\"B\"", "\t@f", "A\nB",  "A\n@f x"};
    const char* const kNames[] = {"A", "B", "C", "AB", "x", "1", "f", "A.B"};
    std::mt19937 random(20240611u);
    auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    int one_pass_rounds = 0;
    for (int round = 0; round < 6000; ++round) {
        std::string text;
        int pieces = pick(30);
        for (int i = 0; i < pieces; ++i) text += kPieces[pick(sizeof kPieces / sizeof *kPieces)];
        nArray<ShaderTool::Definition> definitions;
        nArray<nString> replacements;
        int count = pick(8);
        for (int i = 0; i < count; ++i) {
            ShaderTool::Definition definition;
            definition.name = kNames[pick(sizeof kNames / sizeof *kNames)];
            definitions.InsertLast(definition);
            replacements.InsertLast(nString(kReplacements[pick(sizeof kReplacements / sizeof *kReplacements)]));
        }
        if (!Preprocessor::CanSubstituteInOnePass(definitions, replacements)) continue;
        ++one_pass_rounds;
        nString passes = Preprocessor::SubstituteInPasses(text.c_str(), definitions, replacements);
        nString one = Preprocessor::SubstituteInOnePass(text.c_str(), definitions, replacements);
        ASSERT_STREQ(one.c_str(), passes.c_str()) << "round " << round << " text [" << text << "]";
    }
    EXPECT_GT(one_pass_rounds, 1000);
}

TEST_F(PreprocessorTest, FloatsReadBackAsTheSameValue) {
    // The last two need all nine significant digits a float can need.
    const float values[] = {0.5f,    0.1f, 1e-7f,        123456.789f,     3.4e38f, 1.17549435e-38f,
                            -2.5e-5f, 1.0f, 0.100000024f, 1.00000035e-08f};
    for (float value : values) {
        nString text = ShaderTool::FormatFloatLiteral(value);
        char exact[32];
        std::snprintf(exact, sizeof exact, "%.9g", value);
        EXPECT_EQ(std::strtof(text.c_str(), nullptr), value) << text.c_str() << " written for " << exact;
        EXPECT_TRUE(std::strchr(text.c_str(), '.') || std::strchr(text.c_str(), 'e')) << text.c_str();
    }
}

TEST_F(PreprocessorTest, OutputKeepsOneLinePerInputLine) {
    const char* source =
        "a\n"
        "#define X 1\n"
        "\n"
        "#if X\n"
        "  indented b\n"
        "#elif 0\n"
        "c\n"
        "#else\n"
        "d\n"
        "#endif\n"
        "#include \"missing.zksl\"\n"
        "#if 0\n"
        "#include \"inactive.zksl\"\n"
        "#endif\n"
        "/* two\n"
        "lines */ e\n"
        "last";
    Run(source);
    EXPECT_EQ(Output(),
              "a\n\n\n\n  indented b\n\n\n\n\n\n"
              "@f \"missing.zksl\" 1\n\n@f \"main.zksl\" 12\n"  // an unreadable include keeps its frame
              "\n\n\n"
              "      \n         e\n"
              "last");
}

// --- Targets -----------------------------------------------------------------

TEST_F(PreprocessorTest, TargetPredefinitionsFollowTheTarget) {
    struct Case {
        int target;
        int bit;
        const char* target_name;
        int group_value;
        const char* group_name;
        int v_points_up;
    };
    const Case cases[] = {
        {ShaderTool::ESSL20, 1, "_TARGET_ESSL20", 1, "_TARGET_ESSL", 1},
        {ShaderTool::ESSL30, 2, "_TARGET_ESSL30", 1, "_TARGET_ESSL", 1},
        {ShaderTool::GLSL21, 4, "_TARGET_GLSL21", 2, "_TARGET_GLSL", 1},
        {ShaderTool::GLSL31, 8, "_TARGET_GLSL31", 2, "_TARGET_GLSL", 1},
        {ShaderTool::HLSL9, 16, "_TARGET_HLSL9", 4, "_TARGET_HLSL", 0},
        {ShaderTool::HLSL11, 32, "_TARGET_HLSL11", 4, "_TARGET_HLSL", 0},
        {ShaderTool::PSSL, 64, "_TARGET_PSSL", 64, "_TARGET_PSSL", 0},  // the target entry shadows the family
    };
    for (const Case& c : cases) {
        log.Clear();
        std::string source = "#if _TARGET == " + std::to_string(c.bit) + " && _TARGET_GROUP == " +
                             std::to_string(c.group_value) + "\nmatch\n#endif\n" +
                             "#if _TEXTURE_COORDINATE_AXIS_V_POINTS_UP == " + std::to_string(c.v_points_up) +
                             "\nv\n#endif\n" + "_TARGET _TARGET_GROUP\n";
        ASSERT_TRUE(Run(source.c_str(), c.target)) << c.target_name << Messages();
        std::string expected = std::string("\nmatch\n\n\nv\n\n") + c.target_name + " " + c.group_name + "\n";
        EXPECT_EQ(Output(), expected) << c.target_name;
        EXPECT_TRUE(preprocessor.IsTargetDependent()) << c.target_name;
    }
}

TEST_F(PreprocessorTest, OnlyTargetPredefinitionsInDirectivesMakeTheSourceTargetDependent) {
    struct Case {
        const char* source;
        bool dependent;
    };
    const Case cases[] = {
        {"#if _TARGET == 1\n#endif\n", true},
        {"#if _TARGET_GROUP\n#endif\n", true},
        {"#define V _TEXTURE_COORDINATE_AXIS_V_POINTS_UP\n", true},
        {"#if _TARGET_HLSL11\n#endif\n", false},
        {"#if defined(_TARGET)\n#endif\n", false},
        {"x = _TARGET;\n", false},
        {"x = 1;\n", false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Run(c.source)) << c.source << Messages();
        EXPECT_EQ(preprocessor.IsTargetDependent(), c.dependent) << c.source;
    }
}

// --- Definitions from the Shader XML and the command line ----------------------

TEST_F(PreprocessorTest, GeneralConstantsBecomeDefinitions) {
    AddConstant("ON", "true", ShaderConstant::BOOL);
    AddConstant("OFF", "false", ShaderConstant::BOOL);
    AddConstant("COUNT", "4", ShaderConstant::INT);
    AddConstant("SCALE", "0.25", ShaderConstant::FLOAT);
    AddConstant("LABEL", "some text", ShaderConstant::OTHER);
    ASSERT_TRUE(Run("#if ON && !OFF && COUNT == 4 && SCALE < 0.3\nyes\n#endif\nON OFF COUNT SCALE LABEL\n"))
        << Messages();
    EXPECT_EQ(Output(), "\nyes\n\n1 0 4 0.250000 \"some text\"\n");

    log.Clear();
    EXPECT_FALSE(Run("#define COUNT 5\n"));
    EXPECT_EQ(Messages(), "main.zksl(1:9) error: redefinition of 'COUNT'.\n");
}

TEST_F(PreprocessorTest, OverlongConstantTextIsRefusedNotOverflowed) {
    std::string long_text(200, 'a');
    AddConstant("LONG", long_text.c_str(), ShaderConstant::OTHER);
    EXPECT_FALSE(Run("x\n"));
    EXPECT_EQ(Messages(), "Error: general constant 'LONG' is longer than 127 characters.\n");

    log.Clear();
    info.constants.count = 0;
    extra.InsertLast(nString("LONG"));
    extra.InsertLast(nString(("\"" + long_text + "\"").c_str()));
    Run("x\n");
    EXPECT_TRUE(log.HasErrors());
}

TEST_F(PreprocessorTest, CommandLineDefinitionsAreCheckedAndApplied) {
    struct Case {
        const char* name;
        const char* value;
        const char* output;  // of "N\n"; null when the pair is refused
    };
    const Case cases[] = {
        {"N", "3", "3\n"},
        {"N", "2.5", "2.500000\n"},
        {"N", "\"quoted\"", "\"quoted\"\n"},
        {"N", "_TARGET_HLSL9", nullptr},     // reserved names are not values either
        {"N", "UNKNOWN", "0\n"},
        {"N", "true", "1\n"},
        {"N", "false", "0\n"},
        {"", "1", nullptr},                  // an empty name
        {"_N", "1", nullptr},
        {"N-1", "1", nullptr},
        {"N", "two words", nullptr},
        {"N", "_hidden", nullptr},
        {"N", "", nullptr},
        // A number must be the whole value, and keep its value.
        {"N", "1.0 + 2.0", nullptr},
        {"N", "1)", nullptr},
        {"N", "2147483647", "2147483647\n"},
        {"N", "2147483648", nullptr},
        {"N", "99999999999", nullptr},
        {"N", "0x10", nullptr},
        {"N", "1e99", nullptr},
        {"N", "1e", nullptr},
        {"N", "1abc", nullptr},
        {"N", "1.5f", "1.500000\n"},
    };
    for (const Case& c : cases) {
        log.Clear();
        extra.count = 0;
        extra.InsertLast(nString(c.name));
        extra.InsertLast(nString(c.value));
        Run("N\n");
        if (c.output) {
            EXPECT_EQ(Output(), c.output) << c.name << "=" << c.value;
            EXPECT_FALSE(log.HasErrors()) << c.name << "=" << c.value;
        } else {
            std::string message =
                std::string("Error: invalid additional preprocessor definition '") + c.name + "=" + c.value +
                "' specified.\n";
            EXPECT_EQ(Messages(), message);
            EXPECT_TRUE(log.HasErrors()) << c.name << "=" << c.value;
            EXPECT_EQ(Output(), "N\n") << c.name << "=" << c.value;
        }
    }

    // A name takes the value the first definition of that name has now.
    log.Clear();
    extra.count = 0;
    const char* const pairs[] = {"A", "5", "N", "A", "A", "6"};
    for (const char* text : pairs) extra.InsertLast(nString(text));
    ASSERT_TRUE(Run("N A\n")) << Messages();
    EXPECT_EQ(Output(), "5 5\n");
}

TEST_F(PreprocessorTest, ArrayNodeTestLooksIntoTheShaderDescription) {
    ShaderTool::ShaderTextureVariable texture;
    texture.id = "diffuse";
    info.pixel_textures.InsertLast(texture);
    AddConstant("C", "1", ShaderConstant::INT);
    ASSERT_TRUE(Run("#if _IS_ARRAY_NODE_DEFINED(\"pixel_textures\", \"diffuse\") && "
                    "_IS_ARRAY_NODE_DEFINED(\"constants\", \"C\") && "
                    "!_IS_ARRAY_NODE_DEFINED(\"pixel_textures\", \"normal\") && "
                    "!_IS_ARRAY_NODE_DEFINED(\"vertex_input\", \"diffuse\")\nyes\n#endif\n"))
        << Messages();
    EXPECT_EQ(Output(), "\nyes\n\n");
}

TEST_F(PreprocessorTest, DefinitionListingPadsNamesAndShowsBothPsslEntries) {
    extra.InsertLast(nString("SMALL"));
    extra.InsertLast(nString("0.0000001"));
    ShaderSource source;
    source.file = "main.zksl";
    source.code = "#this is not read\n";
    ASSERT_TRUE(preprocessor.Process(info, ShaderTool::PSSL, source, extra, true));
    std::string listing = Messages();
    const char* width = "%-36s %s\n";  // _TEXTURE_COORDINATE_AXIS_V_POINTS_UP is 36 characters
    auto line = [&](const char* name, const char* value) {
        char text[128];
        std::snprintf(text, sizeof text, width, name, value);
        return std::string(text);
    };
    EXPECT_EQ(listing.find(line("_HALF_PI", "1.5707963268f")), 0u);
    EXPECT_NE(listing.find(line("_TARGET_PSSL", "64")), std::string::npos);
    EXPECT_NE(listing.find(line("_TARGET_PSSL", "8")), std::string::npos);
    EXPECT_NE(listing.find(line("_TARGET", "_TARGET_PSSL")), std::string::npos);
    EXPECT_NE(listing.find(line("SMALL", "1e-07")), std::string::npos);
    EXPECT_EQ(CountLines(listing), 3 + 7 + 4 + 3 + 1);
    EXPECT_TRUE(log.HasMessages());
    EXPECT_FALSE(log.HasErrors());
}

TEST_F(PreprocessorTest, DefinitionsDoNotSurviveIntoTheNextSource) {
    ASSERT_TRUE(Run("#define A 1\n"));
    ASSERT_TRUE(Run("#define A 2\nA\n")) << Messages();
    EXPECT_EQ(Output(), "\n2\n");
}

// --- Includes ----------------------------------------------------------------

TEST_F(PreprocessorTest, IncludeIsFramedByFileInstructions) {
    std::string main = std::string(kData) + "main.zksl";
    ASSERT_TRUE(Run("a\n#include \"two_lines.zksl\"\nb\n", ShaderTool::HLSL11, main.c_str())) << Messages();
    std::string path = std::string(kData) + "two_lines.zksl";
    EXPECT_EQ(Output(), "a\n@f \"" + path + "\" 1\nx\ny\n\n@f \"" + main + "\" 3\nb\n");
}

TEST_F(PreprocessorTest, IncludesResolveRelativeToTheIncludingFile) {
    std::string main = std::string(kData) + "shaders/a/main.zksl";
    ASSERT_TRUE(Run("#include \"nested.zksl\"\n#if LIB_LEVEL == 2\nlevel two\n#endif\n", ShaderTool::HLSL11,
                    main.c_str()))
        << Messages();
    std::string lib = std::string(kData) + "shaders/common/lib.zksl";
    EXPECT_NE(Output().find("@f \"" + lib + "\" 1\nfloat4 lib_value;\n"), std::string::npos) << Output();
    EXPECT_NE(Output().find("level two"), std::string::npos);
    // Stripped comments keep their lines.
    log.Clear();
    ASSERT_TRUE(Run("#include \"commented.zksl\"\n", ShaderTool::HLSL11, (std::string(kData) + "m").c_str()));
    EXPECT_NE(Output().find("\n  \nfloat4 z;" + std::string(12, ' ') + "\n"), std::string::npos) << Output();
}

TEST_F(PreprocessorTest, IncludeDefinitionCanNameThePath) {
    std::string main = std::string(kData) + "main.zksl";
    ASSERT_TRUE(Run("#define FILE \"two_lines.zksl\"\n#include FILE\n", ShaderTool::HLSL11, main.c_str()))
        << Messages();
    EXPECT_NE(Output().find("\nx\ny\n"), std::string::npos);
}

TEST_F(PreprocessorTest, FaultsInAnIncludedFileNameThatFile) {
    std::string main = std::string(kData) + "main.zksl";
    EXPECT_FALSE(Run("a\n#include \"faulty.zksl\"\nb\n", ShaderTool::HLSL11, main.c_str()));
    std::string faulty = std::string(kData) + "faulty.zksl";
    EXPECT_EQ(Messages(), faulty + "(2:7) error: division by zero.\n" + faulty +
                              "(4:9) error: identifiers must not start with an underscore.\n");
}

size_t ReadOneByteLess(void* buffer, size_t size, zk_file_t* file) {
    return size > 0 ? ZK_FileSystem_ReadFile(buffer, size - 1, file) : 0;
}

TEST_F(PreprocessorTest, ShortIncludeReadIsReported) {
    std::string main = std::string(kData) + "main.zksl";
    auto read = zk->file_system->ZK_FileSystem_ReadFile;
    zk->file_system->ZK_FileSystem_ReadFile = ReadOneByteLess;
    bool ok = Run("#include \"two_lines.zksl\"\nb\n", ShaderTool::HLSL11, main.c_str());
    zk->file_system->ZK_FileSystem_ReadFile = read;
    EXPECT_FALSE(ok);
    EXPECT_EQ(Messages(), main + "(1:10) error: include file could not be read.\n");
    std::string path = std::string(kData) + "two_lines.zksl";
    EXPECT_EQ(Output(), "@f \"" + path + "\" 1\n\n@f \"" + main + "\" 2\nb\n");
}

// A NUL byte would end the file's text there and drop the rest unseen.
TEST_F(PreprocessorTest, NulByteInAnIncludeIsReported) {
    std::string main = std::string(kData) + "main.zksl";
    EXPECT_FALSE(Run("#include \"nul_byte.zksl\"\nb\n", ShaderTool::HLSL11, main.c_str()));
    std::string path = std::string(kData) + "nul_byte.zksl";
    EXPECT_EQ(Messages(), path + "(2:2) error: invalid character (code 0) in source.\n" + main +
                              "(1:10) error: include file could not be read.\n");
}

TEST_F(PreprocessorTest, SelfIncludeStopsAtTheDepthLimit) {
    std::string self = std::string(kData) + "self.zksl";
    EXPECT_FALSE(Run("#include \"self.zksl\"\n", ShaderTool::HLSL11, self.c_str()));
    EXPECT_EQ(Messages(), self + "(1:10) error: includes are nested too deeply (maximum is 16).\n");
}

TEST_F(PreprocessorTest, FileInstructionLinesAreNotSubstituted) {
    std::string main = std::string(kData) + "main.zksl";
    extra.InsertLast(nString("two_lines"));
    extra.InsertLast(nString("9"));
    ASSERT_TRUE(Run("#include \"two_lines.zksl\"\ntwo_lines\n", ShaderTool::HLSL11, main.c_str())) << Messages();
    std::string path = std::string(kData) + "two_lines.zksl";
    EXPECT_EQ(Output(), "@f \"" + path + "\" 1\nx\ny\n\n@f \"" + main + "\" 2\n9\n");
}

// A conditional section that an included file opens and the including file
// closes: the line that returns to the including file still reaches the parser.
TEST_F(PreprocessorTest, FileInstructionsSurviveInactiveSections) {
    std::string main = std::string(kData) + "main.zksl";
    ASSERT_TRUE(Run("#include \"open_if.zksl\"\nhidden\n#endif\nshown\n", ShaderTool::HLSL11, main.c_str()))
        << Messages();
    std::string path = std::string(kData) + "open_if.zksl";
    EXPECT_EQ(Output(), "@f \"" + path + "\" 1\n\n\n@f \"" + main + "\" 2\n\n\nshown\n");
}

TEST(CollapsePathRelations, RemovesComponentParentPairs) {
    struct Case {
        const char* path;
        const char* collapsed;
    };
    const Case cases[] = {
        {"a/b/../c", "a/c"},
        {"shaders/a/../common/lib", "shaders/common/lib"},
        {"a/b/c/../../d", "a/d"},
        {"../x", "../x"},
        {"a/../../x", "../x"},
        // A parent step is no component to take away: two in a row stay.
        {"../../x", "../../x"},
        {"../../a/../x", "../../x"},
        {"a/..", ""},
        {"plain", "plain"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(ZK_CollapsePathRelations(c.path).c_str(), c.collapsed) << c.path;
    }
}

}  // namespace
