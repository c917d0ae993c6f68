// ZKSL sources through the parser and the GLSL-family translators: the text
// each dialect makes of a construct, or the error it reports. Every text
// that translates is also compiled with glslangValidator.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "shadertool/frontend/parser.h"
#include "shadertool/translate/glsl_translators.h"
#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/reserved_names.h"
#include "shadertool/translate/translator_factory.h"
#include "shadertool/translate/tests/glsl_glslang.h"
#include "shadertool/translate/tests/snippet_support.h"

namespace ShaderTool {
namespace {

using namespace testing;

const int kGLTargets[] = {GLSL21, ESSL20, GLSL31, ESSL30};
const int kAllGL = GLSL21 | ESSL20 | GLSL31 | ESSL30;
const int kGL2 = GLSL21 | ESSL20;
const int kGL3 = GLSL31 | ESSL30;
const int kES = ESSL20 | ESSL30;
const int kDesktop = GLSL21 | GLSL31;
const ShaderType kVertex = VERTEX_SHADER;
const ShaderType kPixel = PIXEL_SHADER;

// The shared description, with constants scale (vertex) and tint (pixel)
// and textures albedo (2D), sky (cube) and volume (3D, left out for ES
// 1.00, which has none).
ShaderInfo MakeInfo(int target) {
    ShaderInfo info = MakeSnippetInfo(0x20003);
    ShaderConstantVariable constant;
    constant.id = "scale";
    constant.semantic = CONSTANT_NONE;
    constant.type = Const(Type::Vector(TYPE_FLOAT, 4));
    info.vertex_constants.InsertLast(constant);
    constant.id = "tint";
    info.pixel_constants.InsertLast(constant);
    AddTexture(&info, "albedo", TEXTURE_2D);
    AddTexture(&info, "sky", TEXTURE_CUBE);
    if (target != ESSL20) AddTexture(&info, "volume", TEXTURE_3D);
    return info;
}

// A source without main() is taken as main's body, after the lines that
// set every output of the stage.
std::string CompleteSource(const char* code, ShaderType stage) {
    if (strstr(code, "main()")) return code;
    std::string source = "void main()\n{\n";
    source += stage == VERTEX_SHADER ? "output.screen = input.position;\noutput.uv = input.position.xy;\n"
                                     : "output.color = constants.tint;\n";
    return source + code + "\n}\n";
}

Outcome TranslateWith(const ShaderInfo& info, int target, ShaderType stage, const char* code) {
    return TranslateSnippet(info, target, 0, stage, CompleteSource(code, stage));
}

Outcome Translate(int target, ShaderType stage, const char* code) {
    return TranslateWith(MakeInfo(target), target, stage, code);
}

// GLSL 1.20 text that uses GL_EXT_gpu_shader4, which glslangValidator does
// not know: these cases are not compiled for GLSL21.
const char* const kNeedsGpuShader4[] = {"level of detail", "gradients", "level of detail with offset"};

bool NeedsGpuShader4(const char* label, int target) {
    if (target != GLSL21) return false;
    for (const char* name : kNeedsGpuShader4)
        if (strcmp(name, label) == 0) return true;
    return false;
}

void CheckSnippets(const Snippet* cases, int count) {
    for (int i = 0; i < count; ++i) {
        const Snippet& c = cases[i];
        for (int target : kGLTargets)
            if (c.targets & target)
                CheckOutcome(c, target, Translate(target, c.stage, c.code),
                             NeedsGpuShader4(c.label, target) ? nullptr : CompilesWithGlslang);
    }
}

#define CHECK_SNIPPETS(cases) CheckSnippets(cases, sizeof(cases) / sizeof(cases[0]))

TEST(GLSLSnippets, SampleTextures) {
    const Snippet cases[] = {
        {"sampling", kGL2, kPixel, "float4 c = sampleTexture(texture.albedo, float2(0.5, 0.5));", "texture2D(_tex_albedo, vec2(0.5"},
        {"sampling", kGL3, kPixel, "float4 c = sampleTexture(texture.sky, float3(0.0, 1.0, 0.0));", "texture(_tex_sky, vec3(0.0f, 1.0f, 0.0f))"},
        {"sampling a cube", kGL2, kPixel, "float4 c = sampleTexture(texture.sky, float3(0.0, 1.0, 0.0));", "textureCube(_tex_sky, vec3("},
        {"level of detail", GLSL21, kPixel, "float4 c = sampleTextureLod(texture.albedo, float2(0.5, 0.5), 2.0);\nc += sampleTextureLod(texture.albedo, float2(0.5, 0.5), 1.0);",
         "#extension GL_EXT_gpu_shader4 : require\n\nvarying vec4 _vary_screen;"},
        {"level of detail", GLSL21, kPixel, "float4 c = sampleTextureLod(texture.albedo, float2(0.5, 0.5), 2.0);", "texture2DLod(_tex_albedo, vec2(0.5f, 0.5f), 2.0f)"},
        {"level of detail", kGL3, kPixel, "float4 c = sampleTextureLod(texture.albedo, float2(0.5, 0.5), 2.0);", "textureLod(_tex_albedo, vec2(0.5f, 0.5f), 2.0f)"},
        {"level of detail", ESSL20, kPixel, "float4 c = sampleTextureLod(texture.albedo, float2(0.5, 0.5), 2.0);",
         "Error: function 'sampleTextureLod' is not supported.\n", true},
        {"gradients", GLSL21, kPixel, "float4 c = sampleTextureGrad(texture.sky, float3(1.0, 0.0, 0.0), float3(0.1, 0.0, 0.0), float3(0.0, 0.1, 0.0));", "textureCubeGrad(_tex_sky, "},
        {"gradients", kGL3, kPixel, "float4 c = sampleTextureGrad(texture.sky, float3(1.0, 0.0, 0.0), float3(0.1, 0.0, 0.0), float3(0.0, 0.1, 0.0));", "textureGrad(_tex_sky, "},
        {"gradients", ESSL20, kPixel, "float4 c = sampleTextureGrad(texture.sky, float3(1.0, 0.0, 0.0), float3(0.1, 0.0, 0.0), float3(0.0, 0.1, 0.0));",
         "Error: function 'sampleTextureGrad' is not supported.\n", true},
        {"level of detail with offset", GLSL21, kPixel, "float4 c = sampleTextureLodOffset(texture.volume, float3(0.5, 0.5, 0.5), 0.0, int3(1, 0, 0));", "texture3DLodOffset(_tex_volume, "},
        {"level of detail with offset", kGL3, kPixel, "float4 c = sampleTextureLodOffset(texture.volume, float3(0.5, 0.5, 0.5), 0.0, int3(1, 0, 0));", "textureLodOffset(_tex_volume, "},
        {"constant offset variable", kGL3, kPixel, "const int3 o = int3(1, 0, 0);\nfloat4 c = sampleTextureLodOffset(texture.volume, float3(0.5, 0.5, 0.5), 0.0, o);", "textureLodOffset(_tex_volume, vec3(0.5f, 0.5f, 0.5f), 0.0f, o)"},
        {"variable offset", kGL3 | GLSL21, kPixel, "int3 o = int3(1, 0, 0);\nfloat4 c = sampleTextureLodOffset(texture.volume, float3(0.5, 0.5, 0.5), 0.0, o);",
         "Error: offset of function 'sampleTextureLodOffset' must be a constant expression.\n", true},
    };
    CHECK_SNIPPETS(cases);
    // Only GLSL 1.20 needs the extension.
    for (int target : {GLSL31, ESSL30}) {
        Outcome outcome = Translate(target, kPixel, "float4 c = sampleTextureLod(texture.albedo, float2(0.5, 0.5), 2.0);");
        EXPECT_EQ(outcome.text.find("#extension"), std::string::npos) << GetTargetName(target);
    }
}

TEST(GLSLSnippets, NameTheStagesValues) {
    const Snippet cases[] = {
        // The position output is the one whose semantic is POSITION, whatever
        // the POSITION input is called.
        {"position output", kAllGL, kVertex, "", "\tgl_Position = _in_position;\n\t_vary_uv = _in_position.xy;\n"},
        {"int input", kAllGL, kVertex, "int4 b = input.bones;", "ivec4 b = ivec4(_in_bones);"},
        {"constant", kAllGL, kVertex, "float4 s = constants.scale * 2.0;", "vec4 s = _const_scale * 2.0"},
        {"single pixel output", kGL2, kPixel, "", "gl_FragColor = _const_tint;"},
        {"pixel output", kGL3, kPixel, "", "_out_color = _const_tint;"},
        {"face direction", (kAllGL & ~ESSL20), kPixel, "float s = input.face_direction;", "float s = (gl_FrontFacing ? 1.0f : -1.0f);"},
        {"face direction", ESSL20, kPixel, "float s = input.face_direction;", "float s = (gl_FrontFacing ? 1.0 : -1.0);"},
        {"front facing", kAllGL, kPixel, "bool f = input.is_front_facing;", "bool f = gl_FrontFacing;"},
        {"instance id", kGL3, kVertex, "int i = input.instance_id;", "int i = gl_InstanceID;"},
        {"instance id", kGL2, kVertex, "int i = input.instance_id;", "Error: 'input.instance_id' is not supported.\n", true},
        {"vertex id", kAllGL, kVertex, "int i = input.vertex_id;", "Error: 'input.vertex_id' is not supported.\n", true},
    };
    CHECK_SNIPPETS(cases);
}

TEST(GLSLSnippets, WriteArithmeticAndBuiltIns) {
    const Snippet cases[] = {
        {"int remainder", kGL2, kVertex, "int a = 7;\nint b = 2;\nint c = a % b;", "int c = int(mod(float(a), float(b)));"},
        {"int remainder", kGL3, kVertex, "int a = 7;\nint b = 2;\nint c = a % b;", "int c = a % b;"},
        {"vector remainder", kGL2, kVertex, "int3 v = int3(7, 8, 9);\nv %= 4;", "v = ivec3(mod(vec3(v), float(4)));"},
        {"vector remainder", kGL3, kVertex, "int3 v = int3(7, 8, 9);\nv %= 4;", "v %= 4;"},
        {"bit-wise and", kGL3, kVertex, "int a = 6;\nint c = a & 3;", "int c = a & 3;"},
        {"bit-wise and", kGL2, kVertex, "int a = 6;\nint c = a & 3;", "Error: bit-wise operations are not supported.\n", true},
        {"shift", kGL3, kVertex, "int a = 6;\na <<= 2;", "a <<= 2;"},
        {"shift", kGL2, kVertex, "int a = 6;\na <<= 2;", "Error: bit-wise operations are not supported.\n", true},
        {"saturate", (kAllGL & ~ESSL20), kPixel, "float s = saturate(constants.tint.x);", "float s = clamp(_const_tint.x, 0.0f, 1.0f);"},
        {"saturate", ESSL20, kPixel, "float s = saturate(constants.tint.x);", "float s = clamp(_const_tint.x, 0.0, 1.0);"},
        {"any", kAllGL, kPixel, "bool b = any(constants.tint.xyz);", "bool b = any(bvec3(_const_tint.xyz));"},
        {"all of ints", kAllGL, kPixel, "bool b = all(int2(1, 0));", "bool b = all(bvec2(ivec2(1, 0)));"},
        {"renamed built-ins", (kAllGL & ~ESSL20), kPixel,
         "float4 m = lerp(constants.tint, float4(1.0), 0.5);\nfloat f = frac(m.x) + atan2(m.y, m.z) + rsqrt(m.w);",
         "vec4 m = mix(_const_tint, vec4(1.0f), 0.5f);\n\tfloat f = fract(m.x) + atan(m.y, m.z) + inversesqrt(m.w);"},
        {"converted int literal", (kAllGL & ~ESSL20), kPixel, "float f = constants.tint.x + 1;", "float f = _const_tint.x + 1.000000f;"},
        {"converted int literal", ESSL20, kPixel, "float f = constants.tint.x + 1;", "float f = _const_tint.x + 1.000000;"},
        {"converted int variable", kAllGL, kPixel, "int i = 3;\nfloat f = i * 2.0;", "float f = float(i) * 2.0"},
        {"matrices", kAllGL, kVertex, "float3x3 m = float3x3(1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0);\nfloat3 v = input.position.xyz * m;",
         "mat3 m = mat3(1.0"},
        {"transpose", (kAllGL & ~ESSL20), kVertex, "float2x2 m = transpose(float2x2(1.0, 2.0, 3.0, 4.0));", "mat2 m = transpose(mat2("},
        {"transpose", ESSL20, kVertex, "float2x2 m = transpose(float2x2(1.0, 2.0, 3.0, 4.0));", "Error: function 'transpose' is not supported.\n", true},
    };
    CHECK_SNIPPETS(cases);
}

// "a %= b" is written "a = int(mod(float(a), float(b)))" in GLSL 1.20 and
// ES 1.00, which names a twice. A left operand with side effects goes once,
// as the inout parameter of a helper that assigns the remainder and
// returns it, so that they happen once; any other is written twice as
// before. The 3.x dialects write "%=" as it is.
TEST(GLSLSnippets, AssignARemainderToALeftOperandWithSideEffectsOnce) {
    const std::string arrays =
        "int a[2];\na[0] = 7;\na[1] = 8;\nint3 vs[2];\nvs[0] = int3(7, 8, 9);\nvs[1] = vs[0];\nint i = 0;\n";
    const std::string increment = arrays + "a[i++] %= 4;";
    const std::string decrement = arrays + "a[--i] %= 4;";
    const std::string assignment = arrays + "a[i = 1] %= 4;";
    const std::string user_call = std::string("int next(int j)\n{\n\treturn j + 1;\n}\nvoid main()\n{\n") +
                                  "output.screen = input.position;\noutput.uv = input.position.xy;\n" + arrays +
                                  "a[next(i) - 1] %= 4;\n}\n";
    const std::string vector = arrays + "vs[i++] %= 4;";
    const std::string value = arrays + "int b = (a[i++] %= 4) + 1;";
    const std::string plain_index = arrays + "a[i] %= 4;";
    const std::string built_in_call = arrays + "a[int(abs(-1.0))] %= 4;";
    const Snippet cases[] = {
        {"increment", kGL2, kVertex, increment.c_str(), "\t_assign_mod_int_int(a[i++], 4);\n"},
        {"helper", kGL2, kVertex, increment.c_str(),
         "\n\nint _assign_mod_int_int(inout int left, int right)\n{\n\tleft = int(mod(float(left), float(right)));\n"
         "\treturn left;\n}\n\nvoid main()"},
        {"increment", kGL3, kVertex, increment.c_str(), "\ta[i++] %= 4;\n"},
        {"decrement", kGL2, kVertex, decrement.c_str(), "\t_assign_mod_int_int(a[--i], 4);\n"},
        {"assignment", kGL2, kVertex, assignment.c_str(), "\t_assign_mod_int_int(a[i = 1], 4);\n"},
        {"user function", kGL2, kVertex, user_call.c_str(), "\t_assign_mod_int_int(a[next(i) - 1], 4);\n"},
        {"vector", kGL2, kVertex, vector.c_str(), "\t_assign_mod_ivec3_int(vs[i++], 4);\n"},
        {"vector helper", kGL2, kVertex, vector.c_str(), "\tleft = ivec3(mod(vec3(left), float(right)));\n"},
        {"value of the assignment", kGL2, kVertex, value.c_str(), "int b = (_assign_mod_int_int(a[i++], 4)) + 1;"},
        {"plain index", kGL2, kVertex, plain_index.c_str(), "\ta[i] = int(mod(float(a[i]), float(4)));\n"},
        {"built-in call in the index", GLSL21, kVertex, built_in_call.c_str(),
         "\ta[int(abs(-1.0f))] = int(mod(float(a[int(abs(-1.0f))]), float(4)));\n"},
        {"built-in call in the index", ESSL20, kVertex, built_in_call.c_str(),
         "\ta[int(abs(-1.0))] = int(mod(float(a[int(abs(-1.0))]), float(4)));\n"},
    };
    CHECK_SNIPPETS(cases);
    // One helper per pair of types, however often it is called.
    std::string twice = arrays + "a[i++] %= 4;\na[i--] %= 3;\nvs[i++] %= 2;";
    for (int target : {GLSL21, ESSL20}) {
        Outcome outcome = Translate(target, kVertex, twice.c_str());
        EXPECT_EQ(Occurrences(outcome.text, "int _assign_mod_int_int("), 1) << GetTargetName(target) << "\n" << outcome.text;
        EXPECT_EQ(Occurrences(outcome.text, "_assign_mod_int_int(a["), 2) << GetTargetName(target);
        EXPECT_EQ(Occurrences(outcome.text, "ivec3 _assign_mod_ivec3_int("), 1) << GetTargetName(target);
    }
}

// The pixel input of the vertex stage's POSITION output: the vertex stage
// writes gl_Position, never that varying, so what a pixel shader would read
// there is undefined. The read is refused at its place.
TEST(GLSLSnippets, RefuseReadingThePositionInThePixelStage) {
    const Snippet cases[] = {
        {"read", kAllGL, kPixel, "float4 p = constants.tint;\np += input.screen;",
         "snippet.zksl(5:11) error: 'input.screen' (the POSITION output) is not supported in the pixel shader of target "
         "'%s'.\n",
         true},
        {"other inputs", kAllGL, kPixel, "float2 uv = input.uv;", "\tvec2 uv = _vary_uv;\n"},
        {"vertex stage", kAllGL, kVertex, "float4 p = input.position;\noutput.screen = p;", "\tgl_Position = p;\n"},
    };
    for (const Snippet& c : cases) {
        for (int target : kGLTargets) {
            std::string expected = nString::Format(c.expected, GetTargetName(target)).c_str();
            Snippet named = c;
            named.targets = c.targets & target;
            named.expected = expected.c_str();
            CheckSnippets(&named, 1);
        }
    }
}

// Every built-in function of the float family, called once: each is written
// under the name the dialect knows it by, and the text compiles.
TEST(GLSLSnippets, CallEveryFloatBuiltIn) {
    const Snippet cases[] = {
        {"float built-ins", kAllGL, kPixel,
         "float3 v = constants.tint.xyz;\nfloat3 r = abs(v) + acos(v) + asin(v) + atan(v) + atan2(v, v) + ceil(v) + clamp(v, v, v) + cos(v) + cross(v, v) + degrees(v) + exp(v) + exp2(v) + floor(v) + frac(v) + lerp(v, v, v.x) + log(v) + log2(v) + max(v, v) + min(v, v) + normalize(v) + pow(v, v) + radians(v) + reflect(v, v) + rsqrt(v) + sign(v) + sin(v) + smoothstep(v, v, v) + sqrt(v) + step(v, v) + tan(v);\nfloat s = distance(v, v) + dot(v, v) + length(v);",
         "vec3 r = abs(v) + acos(v) + asin(v) + atan(v) + atan(v, v) + ceil(v) + clamp(v, v, v) + cos(v) + cross(v, v) + degrees(v) + exp(v) + exp2(v) + floor(v) + fract(v) + mix(v, v, v.x) + log(v) + log2(v) + max(v, v) + min(v, v) + normalize(v) + pow(v, v) + radians(v) + reflect(v, v) + inversesqrt(v) + sign(v) + sin(v) + smoothstep(v, v, v) + sqrt(v) + step(v, v) + tan(v);\n\tfloat s = distance(v, v) + dot(v, v) + length(v);"},
    };
    CHECK_SNIPPETS(cases);
}

// GLSL takes only bool conditions, ZKSL int ones too.
TEST(GLSLSnippets, CompareIntConditionsWithZero) {
    const Snippet cases[] = {
        {"if", kAllGL, kVertex, "int i = 2;\nif (i)\n{\n\ti = 3;\n}", "if (i != 0)\n"},
        {"while", kAllGL, kVertex, "int i = 2;\nwhile (i - 1)\n{\n\ti--;\n}", "while ((i - 1) != 0)\n"},
        {"do-while", kAllGL, kVertex, "int i = 2;\ndo\n{\n\ti--;\n}\nwhile (i);", "while (i != 0);"},
        {"for", kAllGL, kVertex, "for (int i = 3; i; i--)\n{\n}", "for (int i = 3; i != 0; i--)\n"},
        {"bool condition", kAllGL, kVertex, "int i = 2;\nif (i > 1)\n{\n\ti = 3;\n}", "if (i > 1)\n"},
    };
    CHECK_SNIPPETS(cases);
}

TEST(GLSLSnippets, DeclareGlobalsAndArrays) {
    const char* non_constant = "float g = constants.tint.x;\nvoid main()\n{\n\toutput.color = constants.tint * g;\n}\n";
    const char* global_array = "float g[2] = {1.0, 2.0};\nvoid main()\n{\n\toutput.color = constants.tint * g[1];\n}\n";
    const Snippet cases[] = {
        {"constant global", kAllGL, kPixel, "const float k = 2.0;\nfloat g = k * sin(1.0);\nvoid main()\n{\n\toutput.color = constants.tint * g;\n}\n",
         "float g = k * sin(1.0"},
        {"non-constant global", GLSL31, kPixel, non_constant, "float g = _const_tint.x;"},
        {"non-constant global", GLSL21, kPixel, non_constant, "float g = _const_tint.x;"},
        {"non-constant global", ESSL20 | ESSL30, kPixel, non_constant,
         "Error: initializer of global variable 'g' must be a constant expression.\n", true},
        {"global array", (kAllGL & ~ESSL20), kPixel, global_array, "float g[2] = float[]\n(\n\t1.0f,\n\t2.0f\n);\n"},
        {"global array", ESSL20, kPixel, global_array, "Error: array declarations in global scope are not supported.\n", true},
        {"local array", (kAllGL & ~ESSL20), kPixel, "float a[3] = {1.0, 2.0, 3.0};\noutput.color *= a[2];",
         "float a[3] = float[]\n\t(\n\t\t1.0f,\n\t\t2.0f,\n\t\t3.0f\n\t);\n"},
        {"local array", ESSL20, kPixel, "float a[3] = {1.0, 2.0, 3.0};\noutput.color *= a[2];",
         "float a[3];\n\ta[0] = 1.0;\n\ta[1] = 2.0;\n\ta[2] = 3.0;\n"},
    };
    CHECK_SNIPPETS(cases);
}

// A chain of one operator level is written in a loop, not by a recursion as
// deep as the chain is long: the text is the chain as written, and compiles.
TEST(GLSLSnippets, WriteLongOperatorChainsWhole) {
    std::string sum = "float f = constants.tint.x";
    std::string sum_text = "float f = _const_tint.x";
    std::string logic = "bool b = constants.tint.x > constants.tint.y";
    std::string logic_text = "bool b = _const_tint.x > _const_tint.y";
    for (int i = 0; i < 2000; ++i) {
        sum += " + constants.tint.y - constants.tint.z * constants.tint.w / constants.tint.x";
        sum_text += " + _const_tint.y - _const_tint.z * _const_tint.w / _const_tint.x";
        logic += " && constants.tint.y < constants.tint.z || constants.tint.z == constants.tint.w";
        logic_text += " && _const_tint.y < _const_tint.z || _const_tint.z == _const_tint.w";
    }
    sum += ";";
    logic += ";";
    const Snippet cases[] = {
        {"sum", kAllGL, kPixel, sum.c_str(), sum_text.c_str()},
        {"conditions", kAllGL, kPixel, logic.c_str(), logic_text.c_str()},
    };
    CHECK_SNIPPETS(cases);
}

// Varyings: ints pass flat in the 3.x dialects and not at all in the older
// ones; bools pass nowhere.
TEST(GLSLSnippets, PassOnlyVaryingsTheDialectCanExpress) {
    struct Case {
        const char* type;
        Type value;
        int target;
        const char* expected;  // a piece of the text, or the whole log
        bool error;
    };
    const Case cases[] = {
        {"INT2", Type::Vector(TYPE_INT, 2), GLSL31, "flat %s ivec2 _vary_id;\n", false},
        {"INT2", Type::Vector(TYPE_INT, 2), ESSL30, "flat %s ivec2 _vary_id;\n", false},
        {"INT2", Type::Vector(TYPE_INT, 2), GLSL21, "Error: vertex output 'id' of type 'int2' is not supported.\n", true},
        {"INT2", Type::Vector(TYPE_INT, 2), ESSL20, "Error: vertex output 'id' of type 'int2' is not supported.\n", true},
        {"BOOL", Type::Scalar(TYPE_BOOL), GLSL31, "Error: vertex output 'id' of type 'bool' is not supported.\n", true},
        {"BOOL", Type::Scalar(TYPE_BOOL), ESSL30, "Error: vertex output 'id' of type 'bool' is not supported.\n", true},
    };
    const char* vertex = "void main()\n{\n\toutput.screen = input.position;\n\toutput.uv = input.position.xy;\n\toutput.id = %s;\n}\n";
    const char* pixel = "void main()\n{\n\toutput.color = constants.tint;\n\tif (%s)\n\t{\n\t\toutput.color.x = 0.0;\n\t}\n}\n";
    for (const Case& c : cases) {
        bool is_int = c.value.basic_type == TYPE_INT;
        for (ShaderType stage : {kVertex, kPixel}) {
            ShaderInfo info = MakeInfo(c.target);
            ShaderVertexOutputVariable output;
            output.id = "id";
            output.type = c.value;
            output.semantic = OUTPUT_TEXTURE_COORDINATE;
            info.vertex_output.InsertLast(output);
            std::string code = stage == kVertex ? nString::Format(vertex, is_int ? "int2(1, 2)" : "true").c_str()
                                          : nString::Format(pixel, is_int ? "input.id.x == 1" : "input.id").c_str();
            std::string where = std::string(c.type) + " / " + GetTargetName(c.target) + (stage == kVertex ? " vertex" : " pixel");
            Outcome outcome = TranslateWith(info, c.target, stage, code.c_str());
            ASSERT_TRUE(outcome.parsed) << where << "\n" << outcome.log;
            if (c.error) {
                EXPECT_EQ(outcome.log, c.expected) << where;
                continue;
            }
            std::string line = nString::Format(c.expected, stage == kVertex ? "out" : "in").c_str();
            EXPECT_NE(outcome.text.find(line), std::string::npos) << where << "\n" << outcome.text;
            std::string messages;
            EXPECT_TRUE(CompilesWithGlslang(c.target, stage, outcome.text.c_str(), &messages)) << where << "\n" << messages;
        }
    }
}

// The ES dialects forbid a shader to redefine a built-in function (ES 3.00
// to overload one too): a user function of a built-in's name is refused.
// GLSL 1.20 and 1.40 let a user function of a built-in's signature take its
// calls over, so there the names the texts themselves call in place of
// other ZKSL names and operators are refused ("%" is mod() in GLSL 1.20,
// lerp is mix); other built-ins may be overloaded.
TEST(GLSLSnippets, RefuseUserFunctionsNamedLikeBuiltInsTheTextMightCall) {
    const char* zksl_name = "float sin(int x)\n{\n\treturn 1.0;\n}\nvoid main()\n{\n\toutput.color = float4(sin(2), sin(1.0), 0.0, 1.0);\n}\n";
    const char* glsl_name = "float mix(int x)\n{\n\treturn 1.0;\n}\nvoid main()\n{\n\toutput.color = float4(mix(2));\n}\n";
    const char* other_name = "float lerp(int x)\n{\n\treturn 1.0;\n}\nvoid main()\n{\n\toutput.color = float4(lerp(2));\n}\n";
    const char* glsl_only = "float faceforward(float x)\n{\n\treturn x;\n}\nvoid main()\n{\n\toutput.color = float4(faceforward(0.5));\n}\n";
    const char* user_mod = "float mod(float x, float y)\n{\n\treturn 0.0;\n}\nvoid main()\n{\n\tint i = 7 % 4;\n\toutput.color = float4(mod(0.5, 0.25), float(i), 0.0, 1.0);\n}\n";
    const char* user_atan = "float atan(float y, float x)\n{\n\treturn 0.0;\n}\nvoid main()\n{\n\toutput.color = float4(atan2(0.5, 0.25), atan(0.5, 0.25), 0.0, 1.0);\n}\n";
    const char* user_clamp = "float2 clamp(float2 x, float a, float b)\n{\n\treturn x;\n}\nvoid main()\n{\n\toutput.color = float4(saturate(input.uv), 0.0, 1.0);\n}\n";
    const Snippet cases[] = {
        {"ZKSL built-in", kES, kPixel, zksl_name, "Error: function 'sin' would overload a built-in function.\n", true},
        {"ZKSL built-in", kDesktop, kPixel, zksl_name, "float sin(int x)\n{"},
        {"GLSL built-in the texts call", kAllGL, kPixel, glsl_name, "Error: function 'mix' would overload a built-in function.\n", true},
        {"GLSL built-in", kES, kPixel, glsl_only, "Error: function 'faceforward' would overload a built-in function.\n", true},
        {"GLSL built-in", kDesktop, kPixel, glsl_only, "float faceforward(float x)\n{"},
        {"not a GLSL built-in", kAllGL, kPixel, other_name, "float lerp(int x)\n{"},
        {"user mod", kES | GLSL21, kPixel, user_mod, "Error: function 'mod' would overload a built-in function.\n", true},
        {"user mod", GLSL31, kPixel, user_mod, "int i = 7 % 4;"},
        {"user atan", kAllGL, kPixel, user_atan, "Error: function 'atan' would overload a built-in function.\n", true},
        {"user clamp", kAllGL, kPixel, user_clamp, "Error: function 'clamp' would overload a built-in function.\n", true},
    };
    CHECK_SNIPPETS(cases);
}

// Every name of the ES 3.00 list is one the reference compiler refuses to
// overload.
TEST(GLSLSnippets, ES3BuiltInFunctionListHoldsOnlyBuiltIns) {
    for (int i = 0; i < ESSL30_BUILT_IN_FUNCTION_COUNT; ++i) {
        const char* name = ESSL30_BUILT_IN_FUNCTIONS[i];
        std::string text = std::string("precision highp float;\nfloat ") + name +
                           "(bool a, bool b, bool c)\n{\n\treturn 1.0;\n}\nout vec4 color;\nvoid main()\n{\n\tcolor = vec4(" +
                           name + "(true, true, true));\n}\n";
        std::string messages;
        EXPECT_FALSE(CompilesWithGlslang(ESSL30, kPixel, text.c_str(), &messages)) << name;
        EXPECT_NE(messages.find("ERROR"), std::string::npos) << name << "\n" << messages;
    }
}

// Every name of the ES 1.00 list is a built-in function there: a call of it
// compiles in a text that defines no function.
TEST(GLSLSnippets, ES1BuiltInFunctionListHoldsOnlyBuiltIns) {
    struct Call {
        const char* name;
        const char* arguments;
    };
    const Call calls[] = {
        {"radians", "1.0"}, {"degrees", "1.0"}, {"sin", "1.0"}, {"cos", "1.0"}, {"tan", "1.0"}, {"asin", "1.0"},
        {"acos", "1.0"}, {"atan", "1.0, 1.0"}, {"pow", "1.0, 1.0"}, {"exp", "1.0"}, {"log", "1.0"}, {"exp2", "1.0"},
        {"log2", "1.0"}, {"sqrt", "1.0"}, {"inversesqrt", "1.0"}, {"abs", "1.0"}, {"sign", "1.0"}, {"floor", "1.0"},
        {"ceil", "1.0"}, {"fract", "1.0"}, {"mod", "1.0, 1.0"}, {"min", "1.0, 1.0"}, {"max", "1.0, 1.0"},
        {"clamp", "1.0, 0.0, 1.0"}, {"mix", "1.0, 0.0, 0.5"}, {"step", "1.0, 1.0"}, {"smoothstep", "0.0, 1.0, 0.5"},
        {"length", "v"}, {"distance", "v, v"}, {"dot", "v, v"}, {"cross", "v, v"}, {"normalize", "v"},
        {"faceforward", "v, v, v"}, {"reflect", "v, v"}, {"refract", "v, v, 0.5"}, {"matrixCompMult", "m, m"},
        {"lessThan", "v, v"}, {"lessThanEqual", "v, v"}, {"greaterThan", "v, v"}, {"greaterThanEqual", "v, v"},
        {"equal", "v, v"}, {"notEqual", "v, v"}, {"any", "b"}, {"all", "b"}, {"not", "b"},
        {"texture2D", "s, v.xy"}, {"texture2DProj", "s, v"}, {"texture2DLod", "s, v.xy, 0.0"},
        {"texture2DProjLod", "s, v, 0.0"}, {"textureCube", "c, v"}, {"textureCubeLod", "c, v, 0.0"},
    };
    for (int i = 0; i < ESSL20_BUILT_IN_FUNCTION_COUNT; ++i) {
        const char* name = ESSL20_BUILT_IN_FUNCTIONS[i];
        const Call* call = nullptr;
        for (const Call& c : calls)
            if (strcmp(c.name, name) == 0) call = &c;
        ASSERT_NE(call, nullptr) << name << " has no call here";
        // The vertex stage has every texture function of ES 1.00.
        std::string text = std::string("uniform sampler2D s;\nuniform samplerCube c;\nvoid main()\n{\n\tvec3 v = vec3(1.0);\n"
                                       "\tmat2 m = mat2(1.0);\n\tbvec2 b = bvec2(true);\n\t") +
                           name + "(" + call->arguments + ");\n\tgl_Position = vec4(v, 1.0);\n}\n";
        std::string messages;
        EXPECT_TRUE(CompilesWithGlslang(ESSL20, kVertex, text.c_str(), &messages)) << name << "\n" << messages;
    }
}

// ZKSL lets a pixel shader write its inputs (HLSL passes them as a
// parameter); in GLSL they are the varyings, which a pixel shader may not
// write. Such a write is refused, once per member, rather than written into
// text that no GLSL compiler takes.
TEST(GLSLSnippets, RefuseWritesToPixelInputs) {
    const Snippet cases[] = {
        {"compound assignment", kAllGL, kPixel, "input.uv.x += 1.0;", "Error: writing to 'input.uv' is not supported.\n", true},
        // The POSITION output's input holds nothing either (see below).
        {"increments", GLSL21, kPixel, "++input.uv;\ninput.uv--;\ninput.screen = constants.tint;",
         "Error: writing to 'input.uv' is not supported.\nError: writing to 'input.screen' is not supported.\n"
         "snippet.zksl(6:6) error: 'input.screen' (the POSITION output) is not supported in the pixel shader of target "
         "'GLSL21'.\n",
         true},
        {"increments", ESSL20, kPixel, "++input.uv;\ninput.uv--;\ninput.screen = constants.tint;",
         "Error: writing to 'input.uv' is not supported.\nError: writing to 'input.screen' is not supported.\n"
         "snippet.zksl(6:6) error: 'input.screen' (the POSITION output) is not supported in the pixel shader of target "
         "'ESSL20'.\n",
         true},
        {"increments", GLSL31, kPixel, "++input.uv;\ninput.uv--;\ninput.screen = constants.tint;",
         "Error: writing to 'input.uv' is not supported.\nError: writing to 'input.screen' is not supported.\n"
         "snippet.zksl(6:6) error: 'input.screen' (the POSITION output) is not supported in the pixel shader of target "
         "'GLSL31'.\n",
         true},
        {"increments", ESSL30, kPixel, "++input.uv;\ninput.uv--;\ninput.screen = constants.tint;",
         "Error: writing to 'input.uv' is not supported.\nError: writing to 'input.screen' is not supported.\n"
         "snippet.zksl(6:6) error: 'input.screen' (the POSITION output) is not supported in the pixel shader of target "
         "'ESSL30'.\n",
         true},
        {"through parentheses", kAllGL, kPixel, "(input.uv).y = 0.5;", "Error: writing to 'input.uv' is not supported.\n", true},
        {"reading", kAllGL, kPixel, "float2 uv = input.uv;\nuv.x += 1.0;\noutput.color.xy = uv;", "uv.x += 1.0"},
        {"vertex outputs", kAllGL, kVertex, "output.uv.x += 1.0;", "_vary_uv.x += 1.0"},
    };
    CHECK_SNIPPETS(cases);
}

// The names a text declares or reads of its own: every name that begins
// with "_" (the Shader XML's values, the helpers) or "gl_" (GLSL's own).
std::set<std::string> OwnNames(const std::string& text) {
    std::set<std::string> names;
    for (const std::string& word : Words(text))
        if (word[0] == '_' || word.compare(0, 3, "gl_") == 0) names.insert(word);
    return names;
}

// Every name a text writes of its own is one the dialect refuses in the
// source, so that no name of the source can stand in its place. The
// sources below make the texts write all of them.
TEST(GLSLSnippets, RefuseEveryNameTheTextsWriteOfTheirOwn) {
    const char* vertex =
        "int counts[2];\ncounts[0] = 1;\ncounts[1] = 2;\nint i = 0;\ncounts[i++] %%= 4;\nint4 b = input.bones;\n%s"
        "output.uv += float2(float(counts[0] + b.x), 0.0) * constants.scale.xy;";
    const char* pixel =
        "float4 c = sampleTexture(texture.albedo, input.uv) + sampleTexture(texture.sky, float3(input.uv, 1.0));\n"
        "int counts[2];\ncounts[0] = 1;\ncounts[1] = 2;\nint i = 0;\ncounts[i++] %= 4;\n"
        "if (input.is_front_facing)\n\tc *= input.face_direction;\noutput.color = c * constants.tint * float(counts[0]);";
    for (int target : kGLTargets) {
        bool in_out = (target & kGL3) != 0;
        std::string vertex_code = nString::Format(vertex, in_out ? "output.uv.x += float(input.instance_id);\n" : "").c_str();
        std::set<std::string> names;
        for (ShaderType stage : {kVertex, kPixel}) {
            Outcome outcome = Translate(target, stage, stage == kVertex ? vertex_code.c_str() : pixel);
            ASSERT_TRUE(outcome.translated) << GetTargetName(target) << "\n" << outcome.log;
            std::set<std::string> own = OwnNames(outcome.text);
            names.insert(own.begin(), own.end());
        }
        // The sources reach each kind of name the dialect writes.
        std::vector<const char*> reached = {"_in_position", "_in_bones", "_vary_uv", "_const_scale", "_const_tint",
                                            "_tex_albedo", "gl_Position", "gl_FrontFacing"};
        if (in_out)
            for (const char* name : {"_out_color", "gl_InstanceID"}) reached.push_back(name);
        else
            for (const char* name : {"_assign_mod_int_int", "gl_FragColor"}) reached.push_back(name);
        CheckOwnNamesAreRefused(target, names, reached);
    }
}

// Names that ZKSL allows and GLSL reserves are refused, once each, rather
// than written into text no GLSL compiler takes.
TEST(GLSLSnippets, RefuseNamesGLSLReserves) {
    const Snippet cases[] = {
        {"qualifier word", kAllGL, kPixel, "float flat = 1.0;\noutput.color *= flat;", "Error: identifier 'flat' is not supported.\n", true},
        {"type word", kAllGL, kPixel, "float3 vec3 = constants.tint.xyz;\noutput.color.xyz = vec3;", "Error: identifier 'vec3' is not supported.\n", true},
        {"gl_ prefix", kAllGL, kPixel, "float gl_Depth = 1.0;", "Error: identifier 'gl_Depth' is not supported.\n", true},
        {"double underscore", kAllGL, kPixel, "float a__b = 1.0;", "Error: identifier 'a__b' is not supported.\n", true},
        {"function and parameter", kAllGL, kPixel,
         "float filter(float varying)\n{\n\treturn varying;\n}\nvoid main()\n{\n\toutput.color = constants.tint * filter(0.5);\n}\n",
         "Error: identifier 'filter' is not supported.\nError: identifier 'varying' is not supported.\n", true},
        {"ordinary names", kAllGL, kPixel, "float flatness = 1.0;\nfloat vec = flatness;", "float flatness = 1.0"},
        {"a helper's name", kAllGL, kVertex, "int _assign_mod_int_int = 1;",
         "Error: identifier '_assign_mod_int_int' is not supported.\n", true},
        // The texts name the Shader XML's values with prefixes; a name of the
        // source with one would stand in their place.
        {"a constant's name", kAllGL, kPixel, "float4 _const_tint = constants.tint * 0.5;\noutput.color = _const_tint;",
         "Error: identifier '_const_tint' is not supported.\n", true},
        {"an input's name", kAllGL, kVertex, "float4 _in_position = input.position * 0.5;\noutput.screen = _in_position;",
         "Error: identifier '_in_position' is not supported.\n", true},
        {"a varying's name", kAllGL, kPixel, "float2 _vary_uv = input.uv * 0.5;\noutput.color.xy = _vary_uv;",
         "Error: identifier '_vary_uv' is not supported.\n", true},
        {"a pixel output's name", kAllGL, kPixel, "float4 _out_color = constants.tint;\noutput.color = _out_color;",
         "Error: identifier '_out_color' is not supported.\n", true},
        {"a texture's name", kAllGL, kPixel, "float4 _tex_albedo = sampleTexture(texture.albedo, input.uv);",
         "Error: identifier '_tex_albedo' is not supported.\n", true},
        {"prefixed function and parameter", kAllGL, kPixel,
         "float _const_half(float _tex_x)\n{\n\treturn _tex_x * 0.5;\n}\nvoid main()\n{\n\toutput.color = float4(_const_half(1.0));\n}\n",
         "Error: identifier '_const_half' is not supported.\nError: identifier '_tex_x' is not supported.\n", true},
        {"names near the prefixes", kAllGL, kPixel,
         "float _const = 1.0;\nfloat const_tint = _const;\nfloat _smp_albedo = const_tint;\nfloat _facing = _smp_albedo;\n"
         "float _texture = _facing;\noutput.color *= _texture;",
         "float _const = 1.0"},
    };
    CHECK_SNIPPETS(cases);
}

}  // namespace
}  // namespace ShaderTool
