// ZKSL sources through the parser and the HLSL-family translators: the text
// each dialect makes of a construct, or the error it reports. Every text
// that translates is also compiled with glslangValidator's HLSL front end,
// PSSL with its names mapped to HLSL's.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "shadertool/frontend/parser.h"
#include "shadertool/translate/hlsl_tables.h"
#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/reserved_names.h"
#include "shadertool/translate/translator_factory.h"
#include "shadertool/translate/tests/hlsl_glslang.h"
#include "shadertool/translate/tests/snippet_support.h"

namespace ShaderTool {
namespace {

using namespace testing;

const int kHLSLTargets[] = {HLSL9, HLSL11, PSSL};
const int kAllHLSL = HLSL9 | HLSL11 | PSSL;
const int kObjects = HLSL11 | PSSL;  // the dialects with texture objects
const ShaderType kVertex = VERTEX_SHADER;
const ShaderType kPixel = PIXEL_SHADER;

void AddConstant(nArray<ShaderConstantVariable>& constants, const char* id, Type type) {
    ShaderConstantVariable constant;
    constant.id = id;
    constant.semantic = CONSTANT_NONE;
    constant.type = Const(type);
    constants.InsertLast(constant);
}

// The shared description, with the vertex output shade (COLOR0);
// constants scale, tint (float4), count (int4), palette (int4[2]) and world
// (float4x4) in both stages; textures albedo and detail (2D), sky (cube)
// and volume (3D).
ShaderInfo MakeInfo(unsigned int version = 0x20003) {
    ShaderInfo info = MakeSnippetInfo(version);
    ShaderVertexOutputVariable output;
    output.id = "shade";
    output.type = Type::Vector(TYPE_FLOAT, 4);
    output.semantic = OUTPUT_COLOR;
    info.vertex_output.InsertLast(output);
    for (nArray<ShaderConstantVariable>* constants : {&info.vertex_constants, &info.pixel_constants}) {
        AddConstant(*constants, "scale", Type::Vector(TYPE_FLOAT, 4));
        AddConstant(*constants, "tint", Type::Vector(TYPE_FLOAT, 4));
        AddConstant(*constants, "count", Type::Vector(TYPE_INT, 4));
        Type palette = Type::Vector(TYPE_INT, 4);
        palette.array_size = 2;
        AddConstant(*constants, "palette", palette);
        AddConstant(*constants, "world", Type::Matrix(4));
    }
    AddTexture(&info, "albedo", TEXTURE_2D);
    AddTexture(&info, "detail", TEXTURE_2D);
    AddTexture(&info, "sky", TEXTURE_CUBE);
    AddTexture(&info, "volume", TEXTURE_3D);
    return info;
}

// A source without main() is taken as main's body, after the lines that
// set every output of the stage.
std::string CompleteSource(const char* code, ShaderType stage) {
    if (strstr(code, "main()")) return code;
    std::string source = "void main()\n{\n";
    source += stage == VERTEX_SHADER
                  ? "output.screen = input.position;\noutput.uv = input.position.xy;\noutput.shade = input.position;\n"
                  : "output.color = input.shade;\n";
    return source + code + "\n}\n";
}

Outcome TranslateWith(const ShaderInfo& info, int target, int level, ShaderType stage, const char* code) {
    return TranslateSnippet(info, target, level, stage, CompleteSource(code, stage));
}

Outcome Translate(int target, ShaderType stage, const char* code, int level = 0) {
    return TranslateWith(MakeInfo(), target, level, stage, code);
}

// A vertex source of the statements in main(), after a user function
// next() that they may call.
std::string WithNext(const char* code) {
    return std::string("int next(int j)\n{\n\treturn j + 1;\n}\nvoid main()\n{\n") + CompleteSource(code, VERTEX_SHADER).substr(strlen("void main()\n{\n"));
}

// glslangValidator's all() and any() take no bool matrices, which HLSL's
// do: these texts are not compiled.
const char* const kBoolMatrixCases[] = {"equal matrices"};

bool ComparesMatrices(const char* label) {
    for (const char* name : kBoolMatrixCases)
        if (strcmp(name, label) == 0) return true;
    return false;
}

bool CompilesAsHLSLText(int target, ShaderType stage, const char* text, std::string* messages) {
    return CompilesAsHLSL(target, stage, text, messages);
}

void CheckOutcome(const Snippet& c, int target, const Outcome& outcome) {
    testing::CheckOutcome(c, target, outcome, ComparesMatrices(c.label) ? nullptr : CompilesAsHLSLText);
}

void CheckSnippets(const Snippet* cases, int count) {
    for (int i = 0; i < count; ++i)
        for (int target : kHLSLTargets)
            if (cases[i].targets & target) CheckOutcome(cases[i], target, Translate(target, cases[i].stage, cases[i].code));
}

#define CHECK_SNIPPETS(cases) CheckSnippets(cases, sizeof(cases) / sizeof(cases[0]))

TEST(HLSLSnippets, ReadTheSpecialInputs) {
    const Snippet cases[] = {
        // Read as int: arithmetic on the ids stays signed.
        {"instance id", kObjects, kVertex, "int i = input.instance_id - 1;", "int i = int(input._instance_id) - 1;"},
        {"instance id", HLSL11, kVertex, "int i = input.instance_id;", "\tuint _instance_id : SV_InstanceID;\n};"},
        {"instance id", PSSL, kVertex, "int i = input.instance_id;", "\tuint _instance_id : S_INSTANCE_ID;\n};"},
        {"instance id", HLSL9, kVertex, "int i = input.instance_id;", "Error: 'input.instance_id' is not supported.\n", true},
        {"vertex id", kObjects, kVertex, "bool first = input.vertex_id - 1 < 0;", "bool first = int(input._vertex_id) - 1 < 0;"},
        {"vertex id", HLSL11, kVertex, "int i = input.vertex_id;", "\tuint _vertex_id : SV_VertexID;\n};"},
        {"vertex id", PSSL, kVertex, "int i = input.vertex_id;", "\tuint _vertex_id : S_VERTEX_ID;\n};"},
        {"vertex id", HLSL9, kVertex, "int i = input.vertex_id;", "Error: 'input.vertex_id' is not supported.\n", true},
        {"both ids", HLSL11, kVertex, "int i = input.vertex_id + input.instance_id;",
         "\tuint4 bones : BLENDINDICES;\n\tuint _instance_id : SV_InstanceID;\n\tuint _vertex_id : SV_VertexID;\n};"},
        {"face direction", HLSL9, kPixel, "float f = input.face_direction;", "float f = input._facing;"},
        {"face direction", HLSL9, kPixel, "float f = input.face_direction;", "\tfloat4 shade : COLOR0;\n\tfloat _facing : VFACE;\n};"},
        {"face direction", HLSL11, kPixel, "float f = input.face_direction;", "float f = (input._facing ? 1.0f : -1.0f);"},
        {"face direction", HLSL11, kPixel, "float f = input.face_direction;", "\tbool _facing : SV_IsFrontFace;\n};"},
        {"face direction", PSSL, kPixel, "float f = input.face_direction;", "float f = input._facing;"},
        {"face direction", PSSL, kPixel, "float f = input.face_direction;", "\tfloat _facing : S_FRONT_FACE;\n};"},
        {"front facing", HLSL9 | PSSL, kPixel, "bool b = input.is_front_facing;", "bool b = (input._facing > 0.0f);"},
        {"front facing", HLSL11, kPixel, "bool b = input.is_front_facing;", "bool b = input._facing;"},
        {"front facing", HLSL11, kPixel, "bool b = input.is_front_facing;", "\tbool _facing : SV_IsFrontFace;\n};"},
    };
    CHECK_SNIPPETS(cases);
}

// Each special input is declared once, however often the body reads it,
// and a shader that reads none declares none.
TEST(HLSLSnippets, DeclareEachSpecialInputOnce) {
    for (int target : {HLSL11, PSSL}) {
        Outcome vertex = Translate(target, kVertex, "int i = input.instance_id * input.instance_id + input.vertex_id;\ni += input.vertex_id;");
        EXPECT_EQ(Occurrences(vertex.text, " _instance_id : "), 1) << GetTargetName(target) << "\n" << vertex.text;
        EXPECT_EQ(Occurrences(vertex.text, " _vertex_id : "), 1) << GetTargetName(target) << "\n" << vertex.text;
    }
    for (int target : kHLSLTargets) {
        Outcome pixel = Translate(target, kPixel, "float f = input.face_direction;\nif (input.is_front_facing) f = 2.0;");
        EXPECT_EQ(Occurrences(pixel.text, " _facing : "), 1) << GetTargetName(target) << "\n" << pixel.text;
        Outcome plain = Translate(target, kPixel, "");
        EXPECT_EQ(plain.text.find("_facing"), std::string::npos) << GetTargetName(target);
        Outcome vertex = Translate(target, kVertex, "");
        EXPECT_EQ(vertex.text.find("_id"), std::string::npos) << GetTargetName(target);
    }
}

// Bone indices are declared uint4 (the blend index format) and read as the
// int4 ZKSL has; other inputs are read as they are declared.
TEST(HLSLSnippets, ReadBoneIndicesAsInt) {
    const Snippet cases[] = {
        {"declaration", kAllHLSL, kVertex, "", "\tuint4 bones : BLENDINDICES;\n"},
        {"read", kAllHLSL, kVertex, "int4 b = input.bones - 1;", "int4 b = int4(input.bones) - 1;"},
        {"component", kAllHLSL, kVertex, "int b = input.bones.y / 2;", "int b = int4(input.bones).y / 2;"},
        {"float input", kAllHLSL, kVertex, "float4 p = input.position;", "float4 p = input.position;"},
    };
    CHECK_SNIPPETS(cases);
}

TEST(HLSLSnippets, MultiplyMatricesWithMul) {
    const Snippet cases[] = {
        {"vector times matrix", kAllHLSL, kVertex, "float4 p = input.position * constants.world;",
         "float4 p = mul(input.position, _const_world);"},
        {"vector times matrix assigned", kAllHLSL, kVertex, "float4 p = input.position;\np *= constants.world;",
         "\tp = mul(p, _const_world);\n"},
        {"matrix times matrix", kAllHLSL, kVertex, "float4x4 m = constants.world * constants.world;",
         "float4x4 m = mul(_const_world, _const_world);"},
        {"matrix times matrix assigned", kAllHLSL, kVertex, "float4x4 m = constants.world;\nm *= constants.world;",
         "\tm = mul(m, _const_world);\n"},
        {"matrix in parentheses", kAllHLSL, kVertex, "float4 p = input.position * (constants.world * constants.world);",
         "mul(input.position, (mul(_const_world, _const_world)))"},
        {"scalar times matrix", kAllHLSL, kVertex, "float4x4 m = 2.0 * constants.world;", "float4x4 m = 2.0f * _const_world;"},
        {"matrix times scalar", kAllHLSL, kVertex, "float4x4 m = constants.world * 2.0;", "float4x4 m = _const_world * 2.0f;"},
        {"vector times vector", kAllHLSL, kVertex, "float4 p = input.position * constants.scale;",
         "float4 p = input.position * _const_scale;"},
        {"vector times scalar assigned", kAllHLSL, kVertex, "float4 p = input.position;\np *= 2.0;", "\tp *= 2.0f;\n"},
    };
    CHECK_SNIPPETS(cases);
}

// "p *= m" becomes "p = mul(p, m)", which names p twice. A left operand
// with side effects goes once, as the inout parameter of a helper that
// assigns the product and returns it, so that they happen once; any other
// is written twice as before.
TEST(HLSLSnippets, AssignAProductToALeftOperandWithSideEffectsOnce) {
    const std::string arrays =
        "float4 ps[2];\nps[0] = input.position;\nps[1] = input.position;\nfloat4x4 ms[2];\nms[0] = constants.world;\n"
        "ms[1] = constants.world;\nint i = 0;\n";
    const std::string increment = arrays + "ps[i++] *= constants.world;";
    const std::string decrement = arrays + "ps[--i] *= constants.world;";
    const std::string assignment = arrays + "ps[i = 1] *= constants.world;";
    const std::string user_call = WithNext((arrays + "ps[next(i)] *= constants.world;").c_str());
    const std::string matrices = arrays + "ms[i++] *= constants.world;";
    const std::string value = arrays + "float4 q = (ps[i++] *= constants.world) * 2.0;";
    const std::string plain_index = arrays + "ps[i] *= constants.world;";
    const std::string built_in_call = arrays + "ps[int(abs(-1.0))] *= constants.world;";
    const Snippet cases[] = {
        {"increment", kAllHLSL, kVertex, increment.c_str(), "\t_assign_mul_float4_float4x4(ps[i++], _const_world);\n"},
        {"helper", kAllHLSL, kVertex, increment.c_str(),
         "};\n\nfloat4 _assign_mul_float4_float4x4(inout float4 left, float4x4 right)\n{\n\tleft = mul(left, right);\n"
         "\treturn left;\n}\n\n"},
        {"decrement", kAllHLSL, kVertex, decrement.c_str(), "\t_assign_mul_float4_float4x4(ps[--i], _const_world);\n"},
        {"assignment", kAllHLSL, kVertex, assignment.c_str(), "\t_assign_mul_float4_float4x4(ps[i = 1], _const_world);\n"},
        {"user function", kAllHLSL, kVertex, user_call.c_str(), "\t_assign_mul_float4_float4x4(ps[next(i)], _const_world);\n"},
        {"matrix times matrix", kAllHLSL, kVertex, matrices.c_str(), "\t_assign_mul_float4x4_float4x4(ms[i++], _const_world);\n"},
        {"value of the assignment", kAllHLSL, kVertex, value.c_str(),
         "float4 q = (_assign_mul_float4_float4x4(ps[i++], _const_world)) * 2.0f;"},
        {"plain index", kAllHLSL, kVertex, plain_index.c_str(), "\tps[i] = mul(ps[i], _const_world);\n"},
        {"built-in call in the index", kAllHLSL, kVertex, built_in_call.c_str(),
         "\tps[int(abs(-1.0f))] = mul(ps[int(abs(-1.0f))], _const_world);\n"},
    };
    CHECK_SNIPPETS(cases);
    // One helper per pair of types, however often it is called.
    std::string twice = arrays + "ps[i++] *= constants.world;\nps[i++] *= constants.world;\nms[i--] *= constants.world;";
    for (int target : kHLSLTargets) {
        Outcome outcome = Translate(target, kVertex, twice.c_str());
        EXPECT_EQ(Occurrences(outcome.text, "float4 _assign_mul_float4_float4x4("), 1) << GetTargetName(target) << "\n" << outcome.text;
        EXPECT_EQ(Occurrences(outcome.text, "_assign_mul_float4_float4x4(ps[i++], "), 2) << GetTargetName(target);
        EXPECT_EQ(Occurrences(outcome.text, "float4x4 _assign_mul_float4x4_float4x4("), 1) << GetTargetName(target);
    }
}

TEST(HLSLSnippets, CompareVectorsAndMatricesAsAWhole) {
    const Snippet cases[] = {
        {"equal vectors", kAllHLSL, kVertex, "bool b = input.position == constants.scale;",
         "bool b = all(input.position == _const_scale);"},
        {"different vectors", kAllHLSL, kVertex, "bool b = input.position != constants.scale;",
         "bool b = any(input.position != _const_scale);"},
        {"equal matrices", kAllHLSL, kVertex, "bool b = constants.world == constants.world;",
         "bool b = all(_const_world == _const_world);"},
        {"different int vectors", kAllHLSL, kVertex, "int2 a = int2(1, 2);\nbool b = a != int2(2, 1);", "bool b = any(a != int2(2, 1));"},
        {"in a condition", kAllHLSL, kVertex, "float4 p = input.position;\nif (p == constants.scale && p.x == 1.0) p.x = 0.0;",
         "if (all(p == _const_scale) && p.x == 1.0f)"},
        {"scalars", kAllHLSL, kVertex, "bool b = input.position.x != 1.0;", "bool b = input.position.x != 1.0f;"},
    };
    CHECK_SNIPPETS(cases);
}

// Names that ZKSL allows and an HLSL dialect reserves (or that name the
// entry point's structures) are refused, once each, rather than written into
// text that does not compile.
TEST(HLSLSnippets, RefuseNamesTheDialectReserves) {
    const Snippet cases[] = {
        {"buffer word", kAllHLSL, kPixel, "float cbuffer = 1.0;\noutput.color *= cbuffer;", "Error: identifier 'cbuffer' is not supported.\n", true},
        {"type words", kAllHLSL, kPixel, "float4 vector = constants.tint;\nfloat matrix = vector.x;",
         "Error: identifier 'vector' is not supported.\nError: identifier 'matrix' is not supported.\n", true},
        {"sized type names", kAllHLSL, kPixel, "float4 half4 = constants.tint;\nfloat float2x3 = half4.x;",
         "Error: identifier 'half4' is not supported.\nError: identifier 'float2x3' is not supported.\n", true},
        {"sized names of each dialect's scalars", HLSL9 | HLSL11, kPixel, "float min16float4 = 1.0;\nfloat dword3x1 = 1.0;",
         "Error: identifier 'min16float4' is not supported.\nError: identifier 'dword3x1' is not supported.\n", true},
        {"sized name of a PSSL scalar", PSSL, kPixel, "float ushort2 = 1.0;", "Error: identifier 'ushort2' is not supported.\n", true},
        {"sized name of another dialect's scalar", HLSL9 | HLSL11, kPixel, "float ushort2 = 1.0;\noutput.color *= ushort2;",
         "float ushort2 = 1.0f;"},
        {"qualifier", kAllHLSL, kPixel, "float uniform = 1.0;", "Error: identifier 'uniform' is not supported.\n", true},
        {"sampler", kAllHLSL, kPixel, "float sampler = 1.0;", "Error: identifier 'sampler' is not supported.\n", true},
        {"structure of the entry point", kAllHLSL, kVertex, "float VertexInput = 1.0;",
         "Error: identifier 'VertexInput' is not supported.\n", true},
        {"constant buffer name", kObjects, kPixel, "float Constants = 1.0;", "Error: identifier 'Constants' is not supported.\n", true},
        {"PSSL buffer type", PSSL, kPixel, "float RegularBuffer = 1.0;", "Error: identifier 'RegularBuffer' is not supported.\n", true},
        {"function and parameter", kAllHLSL, kPixel,
         "float linear(float point)\n{\n\treturn point;\n}\nvoid main()\n{\n\toutput.color = constants.tint * linear(0.5);\n}\n",
         "Error: identifier 'linear' is not supported.\nError: identifier 'point' is not supported.\n", true},
        {"ordinary names", kAllHLSL, kPixel, "float half5 = 1.0;\nfloat vectors = half5;\nfloat Constant = vectors;\nfloat RegularBuffers = Constant;\noutput.color *= RegularBuffers;",
         "float half5 = 1.0f;"},
        {"a word of another dialect", HLSL9, kPixel, "float RegularBuffer = 1.0;\noutput.color *= RegularBuffer;", "float RegularBuffer = 1.0f;"},
        {"a helper's name", kAllHLSL, kVertex, "float4 _assign_mul_float4_float4x4 = input.position;",
         "Error: identifier '_assign_mul_float4_float4x4' is not supported.\n", true},
        // The texts name the Shader XML's values with prefixes; a name of the
        // source with one would stand in their place ("float4x4 _const_world
        // = _const_world;" reads the new variable).
        {"a constant's name", kAllHLSL, kVertex,
         "float4x4 _const_world = constants.world;\noutput.screen = input.position * _const_world;",
         "Error: identifier '_const_world' is not supported.\n", true},
        {"a texture's name", kAllHLSL, kPixel, "float4 _tex_albedo = sampleTexture(texture.albedo, input.uv);",
         "Error: identifier '_tex_albedo' is not supported.\n", true},
        {"a sampler state's name", kAllHLSL, kPixel, "float _smp_albedo = 1.0;",
         "Error: identifier '_smp_albedo' is not supported.\n", true},
        {"a special input's member", kAllHLSL, kPixel, "float _facing = input.face_direction;",
         "Error: identifier '_facing' is not supported.\n", true},
        {"the special inputs' members", kAllHLSL, kVertex, "int _instance_id = 1;\nint _vertex_id = _instance_id;",
         "Error: identifier '_instance_id' is not supported.\nError: identifier '_vertex_id' is not supported.\n", true},
        {"prefixed function and parameter", kAllHLSL, kPixel,
         "float _const_half(float _smp_x)\n{\n\treturn _smp_x * 0.5;\n}\nvoid main()\n{\n\toutput.color = float4(_const_half(1.0));\n}\n",
         "Error: identifier '_const_half' is not supported.\nError: identifier '_smp_x' is not supported.\n", true},
        {"names near the prefixes", kAllHLSL, kPixel,
         "float _const = 1.0;\nfloat const_tint = _const;\nfloat _in_uv = const_tint;\nfloat _vary_uv = _in_uv;\n"
         "float _out_color = _vary_uv;\nfloat _facings = _out_color;\noutput.color *= _facings;",
         "float _const = 1.0f;"},
    };
    CHECK_SNIPPETS(cases);
}

// The names a text declares of its own: every name that begins with "_"
// (the Shader XML's values, the special inputs' members, the helpers), and
// the structures and the constant buffer.
std::set<std::string> OwnNames(const std::string& text) {
    std::set<std::string> names;
    std::string previous;
    for (const std::string& word : Words(text)) {
        if (word[0] == '_' || previous == "struct" || previous == "cbuffer" || previous == "ConstantBuffer")
            names.insert(word);
        previous = word;
    }
    return names;
}

// Every name a text declares of its own is one the dialect refuses in the
// source, so that no name of the source can stand in its place. The
// sources below make the texts write all of them.
TEST(HLSLSnippets, RefuseEveryNameTheTextsDeclareOfTheirOwn) {
    const char* vertex =
        "float4 ps[2];\nps[0] = input.position * constants.scale;\nps[1] = constants.tint;\nint i = 0;\n"
        "ps[i++] *= constants.world;\nint4 n = constants.count + constants.palette[1] + input.bones;\n%s"
        "output.shade = ps[0] + float4(n);";
    const char* pixel =
        "float4 ps[2];\nps[0] = sampleTexture(texture.albedo, input.uv) + sampleTexture(texture.sky, input.shade.xyz);\n"
        "ps[1] = sampleTextureLodOffset(texture.detail, input.uv, 0.0, int2(1, 0)) + "
        "sampleTextureLodOffset(texture.volume, input.shade.xyz, 0.0, int3(1, 0, 0));\n"
        "ps[1] += sampleTextureGrad(texture.albedo, input.uv, input.uv, input.uv) + "
        "sampleTextureLod(texture.sky, input.shade.xyz, 1.0);\nint i = 0;\nps[i++] *= constants.world;\n"
        "if (input.is_front_facing)\n\tps[0] *= input.face_direction;\noutput.color = ps[0] + ps[1] * constants.tint;";
    for (int target : kHLSLTargets) {
        std::string ids = target == HLSL9 ? "" : "n.x += input.instance_id + input.vertex_id;\n";
        std::string vertex_code = nString::Format(vertex, ids.c_str()).c_str();
        std::set<std::string> names;
        for (ShaderType stage : {kVertex, kPixel}) {
            Outcome outcome = Translate(target, stage, stage == kVertex ? vertex_code.c_str() : pixel);
            ASSERT_TRUE(outcome.translated) << GetTargetName(target) << "\n" << outcome.log;
            std::set<std::string> own = OwnNames(outcome.text);
            names.insert(own.begin(), own.end());
        }
        // The sources reach each kind of name the dialect writes.
        std::vector<const char*> reached = {"VertexInput", "VertexOutput", "PixelInput", "PixelOutput", "_const_world",
                                            "_tex_albedo", "_assign_mul_float4_float4x4", "_facing"};
        if (target == HLSL9) reached.push_back("_const_reciprocal_texture_dimensions_1");
        if (target != HLSL9)
            for (const char* name : {"Constants", "_smp_albedo", "_instance_id", "_vertex_id"}) reached.push_back(name);
        CheckOwnNamesAreRefused(target, names, reached);
    }
}

// A user function named like an intrinsic that the text calls where the
// source called none of that name (mul() for "*", all() and any() around
// "==" and "!=", HLSL9's tex2D() for sampleTexture) would take those calls
// over, and is refused. HLSL11 and PSSL sample through methods, so a user
// tex2D is an ordinary function there.
TEST(HLSLSnippets, RefuseUserFunctionsNamedLikeIntrinsicsTheTextCalls) {
    const char* user_mul =
        "float4 mul(float4 v, float4x4 m)\n{\n\treturn v;\n}\nvoid main()\n{\n\toutput.screen = input.position * "
        "constants.world;\n\toutput.uv = input.position.xy;\n\toutput.shade = input.position;\n}\n";
    const char* user_all =
        "bool all(float4x4 m)\n{\n\treturn false;\n}\nvoid main()\n{\n\toutput.color = input.shade;\n"
        "\tif (constants.world == constants.world)\n\t\toutput.color.x = 0.0;\n}\n";
    const char* user_any =
        "bool any(bool b)\n{\n\treturn b;\n}\nvoid main()\n{\n\toutput.color = input.shade;\n"
        "\tif (input.shade != constants.tint)\n\t\toutput.color.x = 0.0;\n}\n";
    const char* user_tex2D =
        "float4 tex2D(float4 s, float2 uv)\n{\n\treturn s;\n}\nvoid main()\n{\n"
        "\toutput.color = sampleTexture(texture.albedo, input.uv);\n}\n";
    const char* user_texCUBElod =
        "float4 texCUBElod(float4 s, float4 c)\n{\n\treturn s;\n}\nvoid main()\n{\n"
        "\toutput.color = sampleTextureLod(texture.sky, input.shade.xyz, 1.0);\n}\n";
    const char* other_name =
        "float4 multiply(float4 v, float4x4 m)\n{\n\treturn v * m;\n}\nvoid main()\n{\n\toutput.screen = "
        "multiply(input.position, constants.world);\n\toutput.uv = input.position.xy;\n\toutput.shade = input.position;\n}\n";
    const Snippet cases[] = {
        {"mul", kAllHLSL, kVertex, user_mul, "Error: function 'mul' would overload a built-in function.\n", true},
        {"all", kAllHLSL, kPixel, user_all, "Error: function 'all' would overload a built-in function.\n", true},
        {"any", kAllHLSL, kPixel, user_any, "Error: function 'any' would overload a built-in function.\n", true},
        {"sampling function", HLSL9, kPixel, user_tex2D, "Error: function 'tex2D' would overload a built-in function.\n", true},
        {"sampling function", kObjects, kPixel, user_tex2D, "float4 tex2D(float4 s, float2 uv)\n{"},
        {"sampling function with a level", HLSL9, kPixel, user_texCUBElod,
         "Error: function 'texCUBElod' would overload a built-in function.\n", true},
        {"another name", kAllHLSL, kVertex, other_name, "float4 multiply(float4 v, float4x4 m)\n{\n\treturn mul(v, m);"},
    };
    CHECK_SNIPPETS(cases);
}

// Each name of the dialects' lists is an intrinsic whose call, as the texts
// write it, glslangValidator's HLSL front end hands to a user function of
// that name: its tree calls the user function, or the compile fails on the
// sampler the user function cannot take. Without the user function the
// call is no call of a function of the text.
TEST(HLSLSnippets, IntrinsicListsHoldOnlyCallsAUserFunctionTakesOver) {
    struct Call {
        const char* name;
        const char* definition;
        const char* statement;
    };
    const Call calls[] = {
        {"mul", "float4 mul(float4 v, float4x4 x) { return v; }", "r = mul(p, m);"},
        // glslangValidator's all() and any() take no bool matrices: the call
        // compiles only when a user function takes it.
        {"all", "bool all(float4x4 x) { return false; }", "if (all(m == m)) r.x = 0.0f;"},
        {"any", "bool any(float4x4 x) { return false; }", "if (any(m != m)) r.x = 0.0f;"},
        {"tex2D", "float4 tex2D(float4 s, float2 c) { return s; }", "r = tex2D(_tex_flat, p.xy);"},
        {"tex3D", "float4 tex3D(float4 s, float3 c) { return s; }", "r = tex3D(_tex_volume, p.xyz);"},
        {"texCUBE", "float4 texCUBE(float4 s, float3 c) { return s; }", "r = texCUBE(_tex_sky, p.xyz);"},
        {"tex2Dgrad", "float4 tex2Dgrad(float4 s, float2 c, float2 x, float2 y) { return s; }",
         "r = tex2Dgrad(_tex_flat, p.xy, p.xy, p.xy);"},
        {"tex3Dgrad", "float4 tex3Dgrad(float4 s, float3 c, float3 x, float3 y) { return s; }",
         "r = tex3Dgrad(_tex_volume, p.xyz, p.xyz, p.xyz);"},
        {"texCUBEgrad", "float4 texCUBEgrad(float4 s, float3 c, float3 x, float3 y) { return s; }",
         "r = texCUBEgrad(_tex_sky, p.xyz, p.xyz, p.xyz);"},
        {"tex2Dlod", "float4 tex2Dlod(float4 s, float4 c) { return s; }", "r = tex2Dlod(_tex_flat, p);"},
        {"tex3Dlod", "float4 tex3Dlod(float4 s, float4 c) { return s; }", "r = tex3Dlod(_tex_volume, p);"},
        {"texCUBElod", "float4 texCUBElod(float4 s, float4 c) { return s; }", "r = texCUBElod(_tex_sky, p);"},
    };
    auto text_of = [](const Call& call, bool defined) {
        return std::string("sampler _tex_flat : register(s0);\nsampler _tex_volume : register(s1);\n"
                           "sampler _tex_sky : register(s2);\n") +
               (defined ? call.definition : "") +
               "\nfloat4 main(float4 p : TEXCOORD0) : COLOR0\n{\n\tfloat4x4 m = float4x4(p, p, p, p);\n"
               "\tfloat4 r = p;\n\t" +
               call.statement + "\n\treturn r;\n}\n";
    };
    for (int target : kHLSLTargets) {
        const char* const* names = target == HLSL9 ? HLSL9_SUBSTITUTED_FUNCTIONS : HLSL_SUBSTITUTED_FUNCTIONS;
        int count = target == HLSL9 ? HLSL9_SUBSTITUTED_FUNCTION_COUNT : HLSL_SUBSTITUTED_FUNCTION_COUNT;
        for (int i = 0; i < count; ++i) {
            std::string where = std::string(names[i]) + " / " + GetTargetName(target);
            const Call* call = nullptr;
            for (const Call& c : calls)
                if (strcmp(c.name, names[i]) == 0) call = &c;
            ASSERT_NE(call, nullptr) << where << ": no call to check";
            std::string user_call = std::string("Function Call: ") + names[i] + "(";
            std::string messages;
            CompilesAsHLSL(target, kPixel, text_of(*call, false).c_str(), &messages, true);
            EXPECT_EQ(messages.find(user_call), std::string::npos) << where << "\n" << messages;
            bool compiled = CompilesAsHLSL(target, kPixel, text_of(*call, true).c_str(), &messages, true);
            bool taken_over = compiled ? messages.find(user_call) != std::string::npos
                                       : messages.find("cannot convert input argument, argument 0") != std::string::npos;
            EXPECT_TRUE(taken_over) << where << "\n" << messages;
        }
    }
}

// Every built-in function of the float family, called once: each is written
// under the name the dialect knows it by, and the text compiles.
TEST(HLSLSnippets, CallEveryFloatBuiltIn) {
    const Snippet cases[] = {
        {"float built-ins", kAllHLSL, kPixel,
         "float3 v = constants.tint.xyz;\nfloat3 r = abs(v) + acos(v) + asin(v) + atan(v) + atan2(v, v) + ceil(v) + clamp(v, v, v) + cos(v) + cross(v, v) + degrees(v) + exp(v) + exp2(v) + floor(v) + frac(v) + lerp(v, v, v.x) + log(v) + log2(v) + max(v, v) + min(v, v) + normalize(v) + pow(v, v) + radians(v) + reflect(v, v) + rsqrt(v) + sign(v) + sin(v) + smoothstep(v, v, v) + sqrt(v) + step(v, v) + tan(v);\nfloat s = distance(v, v) + dot(v, v) + length(v);",
         "float3 r = abs(v) + acos(v) + asin(v) + atan(v) + atan2(v, v) + ceil(v) + clamp(v, v, v) + cos(v) + cross(v, v) + degrees(v) + exp(v) + exp2(v) + floor(v) + frac(v) + lerp(v, v, v.x) + log(v) + log2(v) + max(v, v) + min(v, v) + normalize(v) + pow(v, v) + radians(v) + reflect(v, v) + rsqrt(v) + float3(sign(v)) + sin(v) + smoothstep(v, v, v) + sqrt(v) + step(v, v) + tan(v);\n\tfloat s = distance(v, v) + dot(v, v) + length(v);"},
    };
    CHECK_SNIPPETS(cases);
}

// The pixel input of the vertex stage's POSITION output holds the pixel's
// window position where the input semantic says so (SV_POSITION,
// S_POSITION); shader model 3 gives that as VPOS, and its POSITION is no
// pixel input, so HLSL9 refuses the read at its place.
TEST(HLSLSnippets, ReadThePositionInThePixelStageWhereItHoldsOne) {
    const Snippet cases[] = {
        {"read", kObjects, kPixel, "float4 p = input.screen;", "\tfloat4 p = input.screen;\n"},
        {"read", HLSL9, kPixel, "float4 p = input.uv.xyxy;\np += input.screen;",
         "snippet.zksl(5:11) error: 'input.screen' (the POSITION output) is not supported in the pixel shader of target "
         "'HLSL9'.\n",
         true},
        {"other inputs", kAllHLSL, kPixel, "float4 p = input.uv.xyxy + input.shade;", "\tfloat4 p = input.uv.xyxy + input.shade;\n"},
    };
    CHECK_SNIPPETS(cases);
}

// The pixel inputs arrive as a parameter, which a shader may write.
TEST(HLSLSnippets, WriteToPixelInputs) {
    const Snippet cases[] = {
        {"compound assignment", kAllHLSL, kPixel, "input.uv.x += 1.0;\n++input.uv;", "input.uv.x += 1.0f;\n\t++input.uv;"},
    };
    CHECK_SNIPPETS(cases);
}

// A chain of one operator level is written in a loop, not by a recursion as
// deep as the chain is long; links written as functions keep their form.
TEST(HLSLSnippets, WriteLongOperatorChainsWhole) {
    std::string sum = "float f = constants.tint.x";
    std::string sum_text = "float f = _const_tint.x";
    std::string logic = "bool b = input.position == constants.scale";
    std::string logic_text = "bool b = all(input.position == _const_scale)";
    for (int i = 0; i < 2000; ++i) {
        sum += " + constants.tint.y - constants.tint.z * constants.tint.w / constants.tint.x";
        sum_text += " + _const_tint.y - _const_tint.z * _const_tint.w / _const_tint.x";
        logic += " && input.position != constants.tint || constants.tint.x == constants.tint.y";
        logic_text += " && any(input.position != _const_tint) || _const_tint.x == _const_tint.y";
    }
    sum += ";";
    logic += ";";
    const Snippet cases[] = {
        {"sum", kAllHLSL, kVertex, sum.c_str(), sum_text.c_str()},
        {"conditions", kAllHLSL, kVertex, logic.c_str(), logic_text.c_str()},
    };
    CHECK_SNIPPETS(cases);
}

TEST(HLSLSnippets, WriteConstructorsOfOtherSizesAsCasts) {
    const Snippet cases[] = {
        {"scalar to vector", kAllHLSL, kVertex, "float x = 0.5;\nfloat4 v = float4(x);", "float4 v = (float4)(x);"},
        {"narrowing", kAllHLSL, kVertex, "float3 v = float3(input.position);", "float3 v = (float3)(input.position);"},
        {"int scalar to vector", kAllHLSL, kVertex, "int2 v = int2(3);", "int2 v = (int2)(3);"},
        {"same size", kAllHLSL, kVertex, "float4 v = float4(input.position);", "float4 v = float4(input.position);"},
        {"several arguments", kAllHLSL, kVertex, "float2 a = input.position.xy;\nfloat4 v = float4(a, a);", "float4 v = float4(a, a);"},
        {"matrix", kAllHLSL, kVertex, "float2x2 m = float2x2(1.0, 0.0, 0.0, 1.0);", "float2x2 m = float2x2(1.0f, 0.0f, 0.0f, 1.0f);"},
        // A cast binds less tightly than a selection or a subscript after it.
        {"selected", kAllHLSL, kVertex, "float x = 0.5;\nfloat y = float4(x).y;", "float y = ((float4)(x)).y;"},
        {"subscripted", kAllHLSL, kVertex, "float y = float3(input.position)[1];", "float y = ((float3)(input.position))[1];"},
        {"selected constructor", kAllHLSL, kVertex, "float y = float4(input.position).y;", "float y = float4(input.position).y;"},
    };
    CHECK_SNIPPETS(cases);
}

TEST(HLSLSnippets, SampleTextures) {
    const char* lod = "float4 c = sampleTextureLod(texture.albedo, input.uv, 2.0);";
    const char* lod_cube = "float4 c = sampleTextureLod(texture.sky, input.shade.xyz, 1.0);";
    const char* grad = "float4 c = sampleTextureGrad(texture.albedo, input.uv, float2(0.1, 0.0), float2(0.0, 0.1));";
    const char* offset = "float4 c = sampleTextureLodOffset(texture.detail, input.uv, 0.0, int2(1, 0));";
    const char* offset3 = "float4 c = sampleTextureLodOffset(texture.volume, input.shade.xyz, 0.0, int3(1, 0, 0));";
    const Snippet cases[] = {
        {"2D", HLSL9, kPixel, "float4 c = sampleTexture(texture.albedo, input.uv);", "float4 c = tex2D(_tex_albedo, input.uv);"},
        {"cube", HLSL9, kPixel, "float4 c = sampleTexture(texture.sky, input.shade.xyz);", "texCUBE(_tex_sky, input.shade.xyz)"},
        {"3D", HLSL9, kPixel, "float4 c = sampleTexture(texture.volume, input.shade.xyz);", "tex3D(_tex_volume, input.shade.xyz)"},
        {"gradients", HLSL9, kPixel, grad, "tex2Dgrad(_tex_albedo, input.uv, float2(0.1f, 0.0f), float2(0.0f, 0.1f))"},
        {"level", HLSL9, kPixel, lod, "tex2Dlod(_tex_albedo, float4(input.uv, 0.0f, 2.0f))"},
        {"cube level", HLSL9, kPixel, lod_cube, "texCUBElod(_tex_sky, float4(input.shade.xyz, 1.0f))"},
        {"offset", HLSL9, kPixel, offset,
         "tex2Dlod(_tex_detail, float4(input.uv + _const_reciprocal_texture_dimensions_1 * int2(1, 0), 0.0f, 0.0f))"},
        {"offset", HLSL9, kPixel, offset, "float2 _const_reciprocal_texture_dimensions_1;\n\nstruct PixelInput\n"},
        // The offset and the coordinates stay whole inside the sum.
        {"offset expression", HLSL9, kPixel,
         "int2 step = int2(4, 2);\nfloat4 c = sampleTextureLodOffset(texture.detail, input.uv, 0.0, step / 2 - int2(1, 0));",
         "float4(input.uv + _const_reciprocal_texture_dimensions_1 * (step / 2 - int2(1, 0)), 0.0f, 0.0f)"},
        {"coordinates expression", HLSL9, kPixel,
         "bool flip = input.uv.x > 0.5;\nfloat4 c = sampleTextureLodOffset(texture.detail, flip ? input.uv.yx : input.uv, 0.0, int2(1, 0));",
         "float4((flip ? input.uv.yx : input.uv) + _const_reciprocal_texture_dimensions_1 * int2(1, 0), 0.0f, 0.0f)"},
        {"3D offset", HLSL9, kPixel, offset3, "float3 _const_reciprocal_texture_dimensions_3;\n"},
        {"3D offset", HLSL9, kPixel, offset3,
         "tex3Dlod(_tex_volume, float4(input.shade.xyz + _const_reciprocal_texture_dimensions_3 * int3(1, 0, 0), 0.0f))"},
        {"2D", kObjects, kPixel, "float4 c = sampleTexture(texture.albedo, input.uv);",
         "float4 c = _tex_albedo.Sample(_smp_albedo, input.uv);"},
        {"gradients", HLSL11, kPixel, grad, "_tex_albedo.SampleGrad(_smp_albedo, input.uv, float2(0.1f, 0.0f), float2(0.0f, 0.1f))"},
        {"gradients", PSSL, kPixel, grad, "_tex_albedo.SampleGradient(_smp_albedo, input.uv, "},
        {"level", HLSL11, kPixel, lod, "_tex_albedo.SampleLevel(_smp_albedo, input.uv, 2.0f)"},
        {"level", PSSL, kPixel, lod, "_tex_albedo.SampleLOD(_smp_albedo, input.uv, 2.0f)"},
        {"offset", HLSL11, kPixel, offset, "_tex_detail.SampleLevel(_smp_detail, input.uv, 0.0f, int2(1, 0))"},
        {"offset", PSSL, kPixel, offset, "_tex_detail.SampleLOD(_smp_detail, input.uv, 0.0f, int2(1, 0))"},
        {"cube level", kObjects, kPixel, lod_cube, "_tex_sky.Sample"},
    };
    CHECK_SNIPPETS(cases);
}

// The reciprocal size of a texture is declared once however often it is
// used, and only by the offset form.
TEST(HLSLSnippets, DeclareEachReciprocalSizeOnce) {
    Outcome outcome = Translate(HLSL9, kPixel,
                                "float4 c = sampleTextureLodOffset(texture.detail, input.uv, 0.0, int2(1, 0));\n"
                                "c += sampleTextureLodOffset(texture.detail, input.uv, 1.0, int2(0, 1));\n"
                                "c += sampleTextureLod(texture.albedo, input.uv, 1.0);");
    ASSERT_TRUE(outcome.translated) << outcome.log;
    EXPECT_EQ(Occurrences(outcome.text, "float2 _const_reciprocal_texture_dimensions_1;"), 1) << outcome.text;
    EXPECT_EQ(Occurrences(outcome.text, "_const_reciprocal_texture_dimensions_"), 3) << outcome.text;
    for (int target : {HLSL11, PSSL}) {
        Outcome objects = Translate(target, kPixel, "float4 c = sampleTextureLodOffset(texture.detail, input.uv, 0.0, int2(1, 0));");
        EXPECT_EQ(objects.text.find("reciprocal"), std::string::npos) << GetTargetName(target);
    }
}

// HLSL9 declares a texture's reciprocal size as a constant of its own
// beside the Shader XML's: a constant of the same name would be declared
// twice and stand for both, and is refused where the size is declared.
TEST(HLSLSnippets, RefuseAConstantNamedLikeAReciprocalSize) {
    ShaderInfo info = MakeInfo();
    AddConstant(info.pixel_constants, "reciprocal_texture_dimensions_1", Type::Vector(TYPE_FLOAT, 4));
    const char* its_texture = "float4 c = sampleTextureLodOffset(texture.detail, input.uv, 0.0, int2(1, 0));\n"
                              "output.color = c * constants.reciprocal_texture_dimensions_1;";
    const char* another_texture = "float4 c = sampleTextureLodOffset(texture.albedo, input.uv, 0.0, int2(1, 0));\n"
                                  "output.color = c * constants.reciprocal_texture_dimensions_1;";
    const Snippet cases[] = {
        {"offset on its texture", HLSL9, kPixel, its_texture,
         "Error: identifier 'reciprocal_texture_dimensions_1' is not supported.\n", true},
        {"offset on another texture", HLSL9, kPixel, another_texture,
         "float2 _const_reciprocal_texture_dimensions_0;\n\nstruct PixelInput"},
        {"texture objects", kObjects, kPixel, its_texture, "\tfloat4 _const_reciprocal_texture_dimensions_1;\n};"},
    };
    for (const Snippet& c : cases)
        for (int target : kHLSLTargets)
            if (c.targets & target) CheckOutcome(c, target, TranslateWith(info, target, 0, c.stage, c.code));
}

TEST(HLSLSnippets, DeclareTexturesWithTheirRegisters) {
    const Snippet cases[] = {
        {"samplers", HLSL9, kPixel, "",
         "\nsampler _tex_albedo : register(s0);\nsampler _tex_detail : register(s1);\n"
         "sampler _tex_sky : register(s2);\nsampler _tex_volume : register(s3);\n\nstruct PixelOutput\n"},
        {"texture objects", kObjects, kPixel, "",
         "\nSamplerState _smp_albedo : register(s0);\nTexture2D _tex_albedo : register(t0);\n"
         "SamplerState _smp_detail : register(s1);\nTexture2D _tex_detail : register(t1);\n"
         "SamplerState _smp_sky : register(s2);\nTextureCube _tex_sky : register(t2);\n"
         "SamplerState _smp_volume : register(s3);\nTexture3D _tex_volume : register(t3);\n\nstruct PixelOutput\n"},
    };
    CHECK_SNIPPETS(cases);
}

TEST(HLSLSnippets, DeclareAndReadConstants) {
    const Snippet cases[] = {
        {"globals", HLSL9, kVertex, "",
         "};\n\nfloat4 _const_scale;\nfloat4 _const_tint;\nfloat4 _const_count;\nfloat4 _const_palette[2];\n"
         "float4x4 _const_world;\n\nstruct VertexOutput\n"},
        {"constant buffer", HLSL11, kVertex, "",
         "};\n\ncbuffer Constants\n{\n\tfloat4 _const_scale;\n\tfloat4 _const_tint;\n\tint4 _const_count;\n"
         "\tint4 _const_palette[2];\n\tfloat4x4 _const_world;\n};\n\nstruct VertexOutput\n"},
        {"constant buffer", PSSL, kPixel, "", "};\n\nConstantBuffer Constants\n{\n\tfloat4 _const_scale;\n"},
        {"float", kAllHLSL, kVertex, "float4 s = constants.scale;", "float4 s = _const_scale;"},
        // Declared float4 where constants are globals: read through a cast.
        {"int", HLSL9, kVertex, "int4 n = constants.count / 2;", "int4 n = int4(_const_count) / 2;"},
        {"int", kObjects, kVertex, "int4 n = constants.count / 2;", "int4 n = _const_count / 2;"},
        {"int component", HLSL9, kVertex, "int n = constants.count.y;", "int n = int4(_const_count).y;"},
        {"int element", HLSL9, kVertex, "int4 n = constants.palette[1];", "int4 n = int4(_const_palette[1]);"},
        {"int element", kObjects, kVertex, "int4 n = constants.palette[1];", "int4 n = _const_palette[1];"},
    };
    CHECK_SNIPPETS(cases);
}

// Files up to version 2.2 read their constants as global variables; an int
// constant is read through a cast in every dialect.
TEST(HLSLSnippets, ReadConstantVariablesOfOldFiles) {
    const Snippet cases[] = {
        {"float", kAllHLSL, kVertex, "float4 s = scale;", "float4 s = _const_scale;"},
        {"int", kAllHLSL, kVertex, "int4 n = count;", "int4 n = int4(_const_count);"},
        {"int element", kAllHLSL, kVertex, "int4 n = palette[1];", "int4 n = int4(_const_palette[1]);"},
        {"matrix", kAllHLSL, kVertex, "float4 p = input.position * world;", "mul(input.position, _const_world)"},
    };
    ShaderInfo info = MakeInfo(0x20002);
    for (const Snippet& c : cases)
        for (int target : kHLSLTargets) CheckOutcome(c, target, TranslateWith(info, target, 0, c.stage, c.code));
}

TEST(HLSLSnippets, MakeGlobalVariablesStatic) {
    const char* source =
        "float g = 2.0;\nconst float k = 3.0;\nfloat twice(float x)\n{\n\tfloat l = x * g;\n\treturn l * k;\n}\n"
        "void main()\n{\n\toutput.screen = input.position * twice(1.0);\n\toutput.uv = input.position.xy;\n"
        "\toutput.shade = input.position;\n}\n";
    const Snippet cases[] = {
        {"globals", kAllHLSL, kVertex, source, "};\n\nstatic float g = 2.0f;\nstatic const float k = 3.0f;\n\nfloat twice(float x);\n\n"},
        {"local", kAllHLSL, kVertex, source, "float twice(float x)\n{\n\tfloat l = x * g;\n\treturn l * k;\n}\n"},
    };
    CHECK_SNIPPETS(cases);
}

TEST(HLSLSnippets, AcceptBitwiseOperatorsWhereTheDialectHasThem) {
    const char* code = "int n = input.vertex_id;\nn = (n & 3) | (n << 1);";
    const Snippet cases[] = {
        {"bit-wise", kObjects, kVertex, code, "n = (n & 3) | (n << 1);"},
        {"complement", kObjects, kVertex, "int n = ~input.vertex_id;", "int n = ~int(input._vertex_id);"},
        {"complement", HLSL9, kVertex, "int n = ~3;", "Error: bit-wise operations are not supported.\n", true},
        {"remainder", kAllHLSL, kVertex, "int n = 7 % 3;", "int n = 7 % 3;"},
    };
    CHECK_SNIPPETS(cases);
    // Each bit-wise operator is reported on its own.
    Outcome hlsl9 = Translate(HLSL9, kVertex, "int n = 5;\nn = (n & 3) | (n << 1);");
    EXPECT_FALSE(hlsl9.translated);
    EXPECT_EQ(Occurrences(hlsl9.log, "Error: bit-wise operations are not supported.\n"), 3) << hlsl9.log;
}

TEST(HLSLSnippets, RefuseBitwiseOperatorsInTheLowLevelOfHLSL11) {
    const char* code = "int n = 5;\nn &= 3;";
    for (int level : {int(HLSL11_DEFAULT), int(HLSL11_XBOX), HLSL11_DEFAULT | HLSL11_XBOX}) {
        Outcome outcome = Translate(HLSL11, kVertex, code, level);
        EXPECT_TRUE(outcome.translated) << "level " << level << "\n" << outcome.log;
    }
    for (int level : {int(HLSL11_LOW), int(ALL_LEVELS)}) {
        Outcome outcome = Translate(HLSL11, kVertex, code, level);
        EXPECT_FALSE(outcome.translated) << "level " << level;
        EXPECT_EQ(outcome.log, "Error: bit-wise operations are not supported in level 'HLSL11_LOW'.\n") << "level " << level;
        Outcome plain = Translate(HLSL11, kVertex, "int n = 5 + 3;", level);
        EXPECT_TRUE(plain.translated) << plain.log;
    }
    Outcome pssl = Translate(PSSL, kVertex, code, HLSL11_LOW);
    EXPECT_TRUE(pssl.translated) << pssl.log;
}

TEST(HLSLSnippets, PutTheWarningPragmaInFrontOfHLSL11Only) {
    for (int level : {0, int(HLSL11_DEFAULT), int(HLSL11_LOW), int(ALL_LEVELS)})
        for (ShaderType stage : {kVertex, kPixel}) {
            Outcome outcome = Translate(HLSL11, stage, "", level);
            EXPECT_EQ(outcome.text.rfind("#pragma warning(disable : 3078)\n\nstruct ", 0), 0u) << outcome.text;
        }
    for (int target : {HLSL9, PSSL})
        for (ShaderType stage : {kVertex, kPixel}) {
            Outcome outcome = Translate(target, stage, "", HLSL11_DEFAULT);
            EXPECT_EQ(outcome.text.find("#pragma"), std::string::npos) << GetTargetName(target);
            EXPECT_EQ(outcome.text.rfind("struct ", 0), 0u) << GetTargetName(target) << "\n" << outcome.text;
        }
}

// HLSL's sign() returns ints: its result is turned back into floats.
TEST(HLSLSnippets, KeepTheSignOfFloatsAFloat) {
    const Snippet cases[] = {
        {"scalar", kAllHLSL, kVertex, "float s = sign(input.position.x) / 2.0;", "float s = float(sign(input.position.x)) / 2.0f;"},
        {"vector", kAllHLSL, kVertex, "float3 s = sign(input.position.xyz) * 0.5;", "float3 s = float3(sign(input.position.xyz)) * 0.5f;"},
    };
    CHECK_SNIPPETS(cases);
}

TEST(HLSLSnippets, CastTheArgumentOfAllAndAnyInPSSL) {
    const Snippet cases[] = {
        {"any", PSSL, kPixel, "bool b = any(input.shade.xyz);", "bool b = any((bool3)(input.shade.xyz));"},
        {"all", PSSL, kPixel, "bool b = all(input.uv);", "bool b = all((bool2)(input.uv));"},
        {"any", HLSL9 | HLSL11, kPixel, "bool b = any(input.shade.xyz);", "bool b = any(input.shade.xyz);"},
    };
    CHECK_SNIPPETS(cases);
}

// The stage structures, written from the Shader XML around main().
TEST(HLSLSnippets, WriteTheEntryPointAndItsStructures) {
    Outcome vertex = Translate(HLSL9, kVertex, "");
    ASSERT_TRUE(vertex.translated) << vertex.log;
    EXPECT_EQ(vertex.text,
              "struct VertexInput\n{\n\tfloat4 position : POSITION;\n\tuint4 bones : BLENDINDICES;\n};\n\n"
              "float4 _const_scale;\nfloat4 _const_tint;\nfloat4 _const_count;\nfloat4 _const_palette[2];\n"
              "float4x4 _const_world;\n\n"
              "struct VertexOutput\n{\n\tfloat4 screen : POSITION;\n\tfloat2 uv : TEXCOORD0;\n\tfloat4 shade : COLOR0;\n};\n\n"
              "VertexOutput main(VertexInput input)\n{\n\tVertexOutput output;\n\toutput.screen = input.position;\n"
              "\toutput.uv = input.position.xy;\n\toutput.shade = input.position;\n\n\treturn output;\n}\n");
    const Snippet cases[] = {
        {"pixel", HLSL11, kPixel, "",
         "struct PixelInput\n{\n\tfloat4 screen : SV_POSITION;\n\tfloat2 uv : TEXCOORD0;\n\tfloat4 shade : COLOR0;\n};\n\n"
         "cbuffer Constants\n"},
        {"pixel", HLSL11, kPixel, "", "struct PixelOutput\n{\n\tfloat4 color : SV_TARGET0;\n};\n\n"
         "PixelOutput main(PixelInput input)\n{\n\tPixelOutput output;\n\toutput.color = input.shade;\n\n\treturn output;\n}\n"},
        {"pixel", HLSL9, kPixel, "", "\tfloat4 screen : POSITION;\n"},
        {"pixel", HLSL9, kPixel, "", "\tfloat4 color : COLOR0;\n"},
        {"pixel", PSSL, kPixel, "", "\tfloat4 screen : S_POSITION;\n"},
        {"pixel", PSSL, kPixel, "", "\tfloat4 color : S_TARGET_OUTPUT0;\n"},
    };
    CHECK_SNIPPETS(cases);
}

TEST(HLSLSnippets, NumberTheSemanticsOfOutputs) {
    ShaderInfo info = MakeInfo();
    ShaderVertexOutputVariable output;
    output.id = "uv2";
    output.type = Type::Vector(TYPE_FLOAT, 2);
    output.semantic = OUTPUT_TEXTURE_COORDINATE;
    output.semantic_index = 1;
    info.vertex_output.InsertLast(output);
    ShaderPixelOutputVariable glow;
    glow.id = "glow";
    info.pixel_output.InsertLast(glow);
    Outcome vertex = TranslateWith(info, HLSL11, 0, kVertex, "output.uv2 = input.position.zw;");
    EXPECT_NE(vertex.text.find("\tfloat2 uv2 : TEXCOORD1;\n"), std::string::npos) << vertex.log << vertex.text;
    Outcome pixel = TranslateWith(info, HLSL11, 0, kPixel, "output.glow = input.shade;");
    EXPECT_NE(pixel.text.find("\tfloat4 color : SV_TARGET0;\n\tfloat4 glow : SV_TARGET1;\n"), std::string::npos)
        << pixel.log << pixel.text;
}

// A translator is used for many translations: what one body declared is
// gone in the next.
TEST(HLSLSnippets, ForgetTheDeclarationsOfTheLastTranslation) {
    ShaderInfo info = MakeInfo();
    Log log;
    for (int target : kHLSLTargets) {
        std::unique_ptr<Translator> translator(CreateTranslator(ShaderTarget(target), log));
        std::string first = target == HLSL9
                                ? "float4 c = sampleTextureLodOffset(texture.detail, input.uv, 0.0, int2(1, 0));\nfloat f = input.face_direction;"
                                : "float f = input.face_direction;";
        first += "\nfloat4 ps[2];\nps[0] = input.shade;\nps[1] = input.shade;\nint i = 0;\nps[i++] *= constants.world;";
        for (const char* code : {first.c_str(), "", first.c_str()}) {
            ShaderSource source;
            source.file = "snippet.zksl";
            std::string text = CompleteSource(code, kPixel);
            source.code = text.c_str();
            source.type = kPixel;
            Parser parser(log);
            ASSERT_TRUE(parser.Parse(info, source)) << log.GetText();
            ASSERT_TRUE(translator->Translate(info, ShaderTarget(target), 0, kPixel, parser.GetRoot())) << log.GetText();
            if (!*code) {
                std::string last = translator->GetOutput().c_str();
                EXPECT_EQ(last.find("_facing"), std::string::npos) << GetTargetName(target) << "\n" << last;
                EXPECT_EQ(last.find("reciprocal"), std::string::npos) << GetTargetName(target) << "\n" << last;
                EXPECT_EQ(last.find("_assign_"), std::string::npos) << GetTargetName(target) << "\n" << last;
            }
        }
        // A helper of an earlier text is written again where a later one calls it.
        std::string last = translator->GetOutput().c_str();
        EXPECT_NE(last.find("float4 _assign_mul_float4_float4x4(inout"), std::string::npos) << GetTargetName(target) << "\n" << last;
    }
}

}  // namespace
}  // namespace ShaderTool
