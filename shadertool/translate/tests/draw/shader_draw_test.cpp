// The parts of shader_draw that need no driver: the marks a file carries,
// the steps that make an HLSL-family text drawable, the list of results the
// drawing cannot check, and the random expressions' reach. The drawing
// itself is checked by the corpus.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "shadertool/builtins/builtin_tables.h"
#include "shadertool/frontend/shader_info.h"
#include "shadertool/frontend/types.h"
#include "shadertool/translate/tests/draw/draw_marks.h"
#include "shadertool/translate/tests/draw/hlsl_to_glsl.h"
#include "shadertool/translate/tests/draw/random_expressions.h"
#include "shadertool/translate/tests/draw/unchecked_results.h"

namespace ShaderTool {
namespace draw {
namespace {

TEST(DrawMarks, ReadsValuesExpectationsAndErrors) {
    const char* xml =
        "<root>\n"
        "<!-- set tint 0.5 -1 2e-1 -->\n"
        "<!-- expect 1 0 0.5 1 -->\n"
        "<!-- expect ESSL20,GLSL21: 2 0 0 1 -->\n"
        "<!-- expect 0 1 0 1 -->\n"
        "<!-- a comment of the file's own -->\n"
        "<!-- ERROR ~HLSL \"no place\" -->\n"
        "    int a = 3 & 1; // ERROR GLSL21 \"bit-wise\"\n"
        "</root>\n";
    Marks marks;
    std::string error;
    ASSERT_TRUE(ReadMarks(xml, &marks, &error)) << error;
    EXPECT_EQ(marks.values["tint"], (std::vector<double>{0.5, -1, 0.2}));
    ASSERT_EQ(marks.errors.size(), 2u);
    EXPECT_EQ(marks.errors[0].line, 0);
    EXPECT_EQ(marks.errors[0].targets, ALL_TARGETS & ~HLSL);
    EXPECT_EQ(marks.errors[0].pattern, "no place");
    EXPECT_EQ(marks.errors[1].line, 8);
    EXPECT_EQ(marks.errors[1].targets, GLSL21);
    EXPECT_EQ(marks.errors[1].pattern, "bit-wise");
    EXPECT_EQ(ErrorsFor(marks, GLSL21).size(), 2u);
    EXPECT_EQ(ErrorsFor(marks, HLSL9).size(), 0u);

    // A target's own expectation takes the place of the general one of the
    // same rank; the later outputs keep the general ones.
    std::vector<Colour> glsl21 = ExpectationsFor(marks, GLSL21);
    ASSERT_EQ(glsl21.size(), 2u);
    EXPECT_EQ(glsl21[0].channel[0], 2);
    EXPECT_EQ(glsl21[1].channel[1], 1);
    std::vector<Colour> hlsl11 = ExpectationsFor(marks, HLSL11);
    ASSERT_EQ(hlsl11.size(), 2u);
    EXPECT_EQ(hlsl11[0].channel[0], 1);
}

TEST(DrawMarks, RefusesMarksItCannotRead) {
    struct {
        const char* xml;
        const char* says;
    } cases[] = {
        {"<!-- expect 1 0 0 -->", "four values"},
        {"<!-- expect 1 0 0 x -->", "'x' is not a number"},
        {"<!-- expect GLSL22: 1 0 0 1 -->", "not a target list"},
        {"<!-- set tint -->", "at least one value"},
        {"<!-- set tint 1 -->\n<!-- set tint 2 -->", "set twice"},
        {"x\n  y; // ERROR no quotes", "double quotes"},
        {"<!-- ERROR ESSL20 GLSL21 \"two lists\" -->", "one target list"},
    };
    for (const auto& c : cases) {
        Marks marks;
        std::string error;
        EXPECT_FALSE(ReadMarks(c.xml, &marks, &error)) << c.xml;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.xml << ": " << error;
        EXPECT_EQ(error.compare(0, 5, "line "), 0) << error;
    }
}

TEST(HLSLToGLSL, PSSLNamesBecomeHLSLs) {
    std::string pssl =
        "ConstantBuffer Constants\n{\n};\nstruct PixelOutput { float4 c : S_TARGET_OUTPUT1; };\n"
        "float4 p : S_POSITION; uint i : S_INSTANCE_ID; uint v : S_VERTEX_ID;\n"
        "x = _tex_a.SampleLOD(_smp_a, uv, 0.0f) + _tex_a.SampleGradient(_smp_a, uv, d, d);\n";
    std::string hlsl = RenamePSSLToHLSL(pssl);
    for (const char* name : {"cbuffer Constants", "SV_Target1", "SV_Position", "SV_InstanceID", "SV_VertexID",
                             ".SampleLevel(", ".SampleGrad("})
        EXPECT_NE(hlsl.find(name), std::string::npos) << name << " in\n" << hlsl;
    for (const char* name : {"ConstantBuffer", "S_TARGET_OUTPUT", "SampleLOD", "SampleGradient"})
        EXPECT_EQ(hlsl.find(name), std::string::npos) << name << " in\n" << hlsl;
}

TEST(HLSLToGLSL, OnlyTheVertexOutputsPositionBecomesSVPosition) {
    std::string text =
        "struct VertexInput\n{\n\tfloat4 position : POSITION;\n};\n"
        "struct VertexOutput\n{\n\tfloat4 uv : TEXCOORD0;\n\tfloat4 position : POSITION;\n};\n";
    std::string read = ReadSM3VertexPositionAsSVPosition(text);
    EXPECT_NE(read.find("struct VertexInput\n{\n\tfloat4 position : POSITION;"), std::string::npos) << read;
    EXPECT_NE(read.find("\tfloat4 position : SV_Position;\n};"), std::string::npos) << read;
}

TEST(HLSLToGLSL, TheFaceIsReadFromTheFrontFace) {
    std::string text =
        "struct PixelInput\n{\n\tfloat _facing : VFACE;\n};\n"
        "x = input._facing * 2.0f; y = (input._facing > 0.0f);\n";
    std::string read = ReadFacingAsFrontFace(text, "float _facing : VFACE;");
    EXPECT_NE(read.find("bool _facing_front : SV_IsFrontFace;"), std::string::npos) << read;
    EXPECT_NE(read.find("x = (input._facing_front ? 1.0f : -1.0f) * 2.0f;"), std::string::npos) << read;
    EXPECT_EQ(read.find("input._facing "), std::string::npos) << read;
    // A text without the declaration is left as it is.
    EXPECT_EQ(ReadFacingAsFrontFace("x = input._facing;", "float _facing : VFACE;"), "x = input._facing;");
}

TEST(HLSLToGLSL, SM3SamplersTakeTheirTexturesType) {
    std::string text =
        "sampler _tex_a : register(s0);\nsampler _tex_b : register(s1);\nsampler _tex_ab : register(s2);\n";
    std::string typed = TypeSM3Samplers(text, {{"a", TEXTURE_2D}, {"b", TEXTURE_CUBE}, {"ab", TEXTURE_3D}});
    EXPECT_EQ(typed,
              "sampler2D _tex_a : register(s0);\nsamplerCUBE _tex_b : register(s1);\nsampler3D _tex_ab : register(s2);\n");
}

TEST(HLSLToGLSL, PixelInputsReadTheVertexOutputOfTheirName) {
    // As spirv-cross writes them: numbered by each structure's order.
    std::string vertex =
        "layout(binding = 0, std140) uniform Constants\n{\n    vec4 _const_a;\n} _20;\n"
        "layout(location = 0) in vec4 input_position;\n"
        "layout(location = 0) out vec2 _entryPointOutput_uv;\n"
        "layout(location = 1) flat out ivec2 _entryPointOutput_cell;\n";
    std::string pixel =
        "uniform sampler2D _tex_image;\n"
        "layout(location = 0) flat in ivec2 input_cell;\n"
        "layout(location = 1) in vec2 input_uv;\n"
        "layout(location = 2) in vec4 input_position;\n"
        "layout(location = 3) in float input_shade;\n"
        "layout(location = 0) out vec4 _entryPointOutput_color;\n";
    std::vector<std::string> outputs = {"position", "cell", "uv"};
    std::string v = MatchInterface(vertex, true, outputs, "_vertex");
    std::string p = MatchInterface(pixel, false, outputs, "_pixel");
    EXPECT_NE(v.find("uniform Constants_vertex\n"), std::string::npos) << v;
    EXPECT_NE(v.find("layout(location = 0) in vec4 input_position;"), std::string::npos) << v;
    EXPECT_NE(v.find("layout(location = 2) out vec2 _entryPointOutput_uv;"), std::string::npos) << v;
    EXPECT_NE(v.find("layout(location = 1) flat out ivec2 _entryPointOutput_cell;"), std::string::npos) << v;
    EXPECT_NE(p.find("layout(location = 1) flat in ivec2 input_cell;"), std::string::npos) << p;
    EXPECT_NE(p.find("layout(location = 2) in vec2 input_uv;"), std::string::npos) << p;
    // The position's place is no varying's: the vertex stage writes it to
    // gl_Position. An input of no vertex output gets a place past them all.
    EXPECT_NE(p.find("layout(location = 0) in vec4 input_position;"), std::string::npos) << p;
    EXPECT_NE(p.find("layout(location = 3) in float input_shade;"), std::string::npos) << p;
    EXPECT_NE(p.find("layout(location = 0) out vec4 _entryPointOutput_color;"), std::string::npos) << p;
    EXPECT_NE(p.find("uniform sampler2D _tex_image;"), std::string::npos) << p;
}

// Each line names a file and a target and gives a reason; a line that does
// not is refused with its number, rather than passed over as a line that
// never matches.
TEST(UncheckedResults, EveryLineNamesAFileATargetAndAReason) {
    struct Case {
        const char* text;
        const char* error;  // empty when the list reads
    };
    const Case cases[] = {
        {"# a comment\n\na.xml ESSL30: undefined\nfolder/b c.xml PSSL: converted\n", ""},
        {"a.xml ESSL30: undefined\na.xml GLSL31\n", "line 2 \"a.xml GLSL31\" gives no reason"},
        {"a.xml GLSL31:   \n", "line 1 \"a.xml GLSL31:   \" gives no reason"},
        {"a.xml HLSL12: undefined\n", "line 1 \"a.xml HLSL12: undefined\" does not begin with a file and a target"},
        {"ESSL30: undefined\n", "does not begin with a file and a target"},
        {" ESSL30: undefined\n", "does not begin with a file and a target"},
    };
    for (const Case& c : cases) {
        UncheckedResults list;
        std::string error;
        EXPECT_EQ(list.Read(c.text, &error), *c.error == 0) << c.text;
        if (*c.error) {
            EXPECT_NE(error.find(c.error), std::string::npos) << c.text << "\n" << error;
        }
    }
}

// Only a listed target drawn otherwise than expected passes; a listed one
// drawn as expected fails, and one that fails in another way fails as it
// did. Unlisted targets and files keep their lines.
TEST(UncheckedResults, ExcuseOnlyADrawnResultThatDiffers) {
    struct Case {
        const char* path;
        int target;
        const char* verdict;
        bool failed, differs;
        const char* now;  // the verdict after the list
        bool fails;
    };
    const char* got = "got (0, 7, 0, -7) at (0, 0), expected (-1, 1, -1, -1)";
    const Case cases[] = {
        {"m.xml", ESSL30, got, true, true, "unchecked (undefined): got (0, 7, 0, -7) at (0, 0), expected (-1, 1, -1, -1)",
         false},
        {"m.xml", GLSL31, "ok", false, false, "passes, but is listed as a result the drawing cannot check: ok", true},
        {"m.xml", HLSL11, "does not draw: the two texts do not link", true, false,
         "does not draw: the two texts do not link", true},
        {"m.xml", PSSL, "refused: Error: x", true, false, "refused: Error: x", true},
        {"m.xml", HLSL9, got, true, true, got, true},
        {"other.xml", ESSL30, got, true, true, got, true},
    };
    UncheckedResults list;
    std::string error;
    ASSERT_TRUE(list.Read("m.xml ESSL30: undefined\nm.xml GLSL31: undefined\nm.xml HLSL11: converted\n"
                          "m.xml PSSL: converted\n",
                          &error))
        << error;
    for (const Case& c : cases) {
        FileReport report;
        report.path = c.path;
        TargetLine line;
        line.target = c.target;
        line.verdict = c.verdict;
        line.failed = c.failed;
        line.differs = c.differs;
        report.targets.push_back(line);
        list.Apply(&report);
        EXPECT_EQ(report.targets[0].verdict, c.now) << c.path << " " << c.target;
        EXPECT_EQ(report.Passed(), !c.fails) << c.path << " " << c.target;
    }
}

// A listed target of a file that was drawn, but that no report held, is
// named; targets of files not drawn in the run are passed over.
TEST(UncheckedResults, NameListedTargetsOfDrawnFilesThatWereNotDrawn) {
    UncheckedResults list;
    std::string error;
    ASSERT_TRUE(list.Read("m.xml ESSL30: undefined\nm.xml GLSL31: undefined\nn.xml PSSL: converted\n", &error))
        << error;
    FileReport report;
    report.path = "m.xml";
    TargetLine line;
    line.target = ESSL30;
    line.verdict = "ok";
    report.targets.push_back(line);
    list.Apply(&report);
    std::vector<std::string> missing = list.ListedButNotDrawn({"m.xml"});
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0], "m.xml GLSL31: listed as a result the drawing cannot check, but not drawn");
}

TEST(RandomExpressions, CallEveryBuiltInFunctionOfTheTable) {
    std::vector<std::string> generated = ExpressionGenerator::FunctionNames();
    std::set<std::string> missing;
    for (int i = 0; i < kBuiltInOverloadCount; ++i) {
        const BuiltInOverloadRow& row = kBuiltInOverloads[i];
        std::string name = row.name;
        // Textures and matrices have probe files of their own.
        if (row.id < kFirstBuiltInFunction || row.id > kLastBuiltInFunction) continue;  // constructors
        if (name.compare(0, 13, "sampleTexture") == 0 || name == "transpose") continue;
        if (std::find(generated.begin(), generated.end(), name) == generated.end()) missing.insert(name);
    }
    EXPECT_TRUE(missing.empty()) << "no random expression calls " << *missing.begin();
}

TEST(RandomExpressions, TheSameSeedGivesTheSameExpressions) {
    ExpressionGenerator a(7), b(7), c(8);
    RandomConstants ca = a.NewConstants(), cb = b.NewConstants(), cc = c.NewConstants();
    std::string ta, tb, tc;
    for (int i = 0; i < 20; ++i) {
        ta += a.Next(ca).text + "\n";
        tb += b.Next(cb).text + "\n";
        tc += c.Next(cc).text + "\n";
    }
    EXPECT_EQ(ta, tb);
    EXPECT_NE(ta, tc);
}

}  // namespace
}  // namespace draw
}  // namespace ShaderTool
