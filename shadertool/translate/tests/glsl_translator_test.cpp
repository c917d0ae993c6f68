// The GLSL-family translators on hand-built trees: one statement of main()
// per case, translated for the targets the case names.
#include "shadertool/translate/glsl_translators.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "shadertool/translate/tests/tree_builder.h"

namespace ShaderTool {
namespace {

using testing::TreeBuilder;

const int kGLTargets[] = {GLSL21, ESSL20, GLSL31, ESSL30};

const char* TargetName(int target) {
    switch (target) {
    case GLSL21: return "GLSL21";
    case ESSL20: return "ESSL20";
    case GLSL31: return "GLSL31";
    case ESSL30: return "ESSL30";
    default: return "?";
    }
}

std::unique_ptr<Translator> MakeTranslator(int target, Log& log) {
    switch (target) {
    case GLSL21: return std::make_unique<GLSL21Translator>(log);
    case ESSL20: return std::make_unique<ESSL20Translator>(log);
    case GLSL31: return std::make_unique<GLSL31Translator>(log);
    default: return std::make_unique<ESSL30Translator>(log);
    }
}

Type F(int size = 1) { return TreeBuilder::Float(size); }
Type I(int size = 1) { return TreeBuilder::Int(size); }

ShaderVertexInputVariable VertexInput(const char* id, int semantic, Type type) {
    ShaderVertexInputVariable input;
    input.id = id;
    input.semantic = semantic;
    input.type = type;
    input.type.qualifier = QUALIFIER_CONST;
    return input;
}

ShaderVertexOutputVariable VertexOutput(const char* id, Type type, ShaderVertexOutputSemantic semantic) {
    ShaderVertexOutputVariable output;
    output.id = id;
    output.type = type;
    output.semantic = semantic;
    return output;
}

ShaderConstantVariable Constant(const char* id, Type type, int count = 0) {
    ShaderConstantVariable constant;
    constant.id = id;
    constant.type = type;
    constant.type.qualifier = QUALIFIER_CONST;
    constant.type.array_size = count;
    constant.semantic = CONSTANT_NONE;
    return constant;
}

ShaderTextureVariable Texture(const char* id, TextureKind kind) {
    ShaderTextureVariable texture;
    texture.id = id;
    texture.type = Type::Texture(kind);
    return texture;
}

// The description the cases translate against. The position output is
// deliberately not named like the position input.
ShaderInfo MakeInfo() {
    ShaderInfo info;
    info.version = 0x20003;
    info.targets = ALL_TARGETS;
    info.vertex_input.InsertLast(VertexInput("position", INPUT_POSITION, F(4)));
    info.vertex_input.InsertLast(VertexInput("bones", INPUT_4_BONE_INDICES, I(4)));
    info.vertex_constants.InsertLast(Constant("wvp", Type::Matrix(4)));
    info.vertex_constants.InsertLast(Constant("palette", F(4), 3));
    info.vertex_output.InsertLast(VertexOutput("screen", F(4), OUTPUT_POSITION));
    info.vertex_output.InsertLast(VertexOutput("uv", F(2), OUTPUT_TEXTURE_COORDINATE));
    info.pixel_constants.InsertLast(Constant("tint", F(4)));
    info.pixel_textures.InsertLast(Texture("albedo", TEXTURE_2D));
    info.pixel_textures.InsertLast(Texture("sky", TEXTURE_CUBE));
    info.pixel_textures.InsertLast(Texture("volume", TEXTURE_3D));
    ShaderPixelOutputVariable color;
    color.id = "color";
    info.pixel_output.InsertLast(color);
    return info;
}

// Nodes the way the parser builds member selections of the built-in
// structures.
struct Tree : TreeBuilder {
    OperatorNode* Member(const char* structure, const char* member, Type type) {
        OperatorNode* node = Op(OP_SELECT, Sym(structure, Type::Structure(structure)), Sym(member, type));
        node->type = type;
        return node;
    }
    OperatorNode* In(const char* member, Type type = F(4)) { return Member("input", member, type); }
    OperatorNode* Out(const char* member, Type type = F(4)) { return Member("output", member, type); }
    OperatorNode* Assign(ParserNode* left, ParserNode* right) { return Op(OP_ASSIGN, left, right); }
    OperatorNode* Typed(OperatorNode* node, Type type) {
        node->type = type;
        return node;
    }
    SymbolNode* ConstSym(const char* name, Type type) {
        type.qualifier = QUALIFIER_CONST;
        type.constant = true;
        return Sym(name, type);
    }
    FunctionNode* Main(std::initializer_list<ParserNode*> statements) {
        return Function(Type::Void(), "main", {}, Block(statements));
    }
};

struct Outcome {
    bool ok;
    nString text;
    nString log;
};

Outcome Translated(int target, ShaderType stage, const AggregateNode* root, const ShaderInfo& info = MakeInfo()) {
    Log log;
    std::unique_ptr<Translator> translator = MakeTranslator(target, log);
    Outcome outcome;
    outcome.ok = translator->Translate(info, ShaderTarget(target), 0, stage, root);
    outcome.text = translator->GetOutput();
    outcome.log = log.text;
    EXPECT_EQ(outcome.ok, !log.has_errors) << TargetName(target);
    return outcome;
}

// One statement inside main().
Outcome RunStatement(int target, ShaderType stage, const std::function<ParserNode*(Tree&)>& build) {
    Tree t;
    AggregateNode* root = t.List({t.Main({build(t)})});
    return Translated(target, stage, root);
}

const int ALL_GL = GLSL21 | ESSL20 | GLSL31 | ESSL30;
const int GL2 = GLSL21 | ESSL20;
const int GL3 = GLSL31 | ESSL30;

struct Snippet {
    const char* label;
    int targets;
    ShaderType stage;
    std::function<ParserNode*(Tree&)> build;
    // The statement's text in main(), or the log's text when `error`.
    const char* expected;
    bool error = false;
};

const ShaderType V = VERTEX_SHADER;
const ShaderType P = PIXEL_SHADER;

void CheckSnippets(const Snippet* cases, int count) {
    for (int i = 0; i < count; ++i) {
        const Snippet& c = cases[i];
        for (int target : kGLTargets) {
            if (!(c.targets & target)) continue;
            Outcome outcome = RunStatement(target, c.stage, c.build);
            if (c.error) {
                EXPECT_FALSE(outcome.ok) << c.label << " / " << TargetName(target);
                EXPECT_STREQ(outcome.log.c_str(), c.expected) << c.label << " / " << TargetName(target);
                continue;
            }
            nString line = nString::Format("\n\t%s\n}", c.expected);
            EXPECT_TRUE(outcome.ok) << c.label << " / " << TargetName(target) << ": " << outcome.log.c_str();
            EXPECT_NE(strstr(outcome.text.c_str(), line.c_str()), nullptr)
                << c.label << " / " << TargetName(target) << "\n--- text:\n" << outcome.text.c_str();
        }
    }
}

TEST(GLSLTranslators, SpellTypesAndBuiltInFunctions) {
    const Snippet cases[] = {
        {"float3 constructor", ALL_GL, V, [](Tree& t) { return t.BuiltIn("float3", OP_CONSTRUCT_FLOAT3, {t.Sym("a")}); }, "vec3(a);"},
        {"int4 constructor", ALL_GL, V, [](Tree& t) { return t.BuiltIn("int4", OP_CONSTRUCT_INT4, {t.Sym("a")}); }, "ivec4(a);"},
        {"int constructor", ALL_GL, V, [](Tree& t) { return t.BuiltIn("int", OP_CONSTRUCT_INT, {t.Sym("a")}); }, "int(a);"},
        {"float3x3 constructor", ALL_GL, V, [](Tree& t) { return t.BuiltIn("float3x3", OP_CONSTRUCT_FLOAT3X3, {t.Sym("m")}); }, "mat3(m);"},
        {"bool constructor", ALL_GL, V, [](Tree& t) { return t.BuiltIn("bool", OP_CONSTRUCT_BOOL, {t.Sym("i")}); }, "bool(i);"},
        {"lerp", ALL_GL, V, [](Tree& t) { return t.BuiltIn("lerp", OP_LERP, {t.Sym("a"), t.Sym("b"), t.Sym("w")}); }, "mix(a, b, w);"},
        {"frac", ALL_GL, V, [](Tree& t) { return t.BuiltIn("frac", OP_FRAC, {t.Sym("a")}); }, "fract(a);"},
        {"atan2", ALL_GL, V, [](Tree& t) { return t.BuiltIn("atan2", OP_ATAN2, {t.Sym("y"), t.Sym("x")}); }, "atan(y, x);"},
        {"rsqrt", ALL_GL, V, [](Tree& t) { return t.BuiltIn("rsqrt", OP_RSQRT, {t.Sym("a")}); }, "inversesqrt(a);"},
        {"smoothstep keeps its name", ALL_GL, V, [](Tree& t) { return t.BuiltIn("smoothstep", OP_SMOOTHSTEP, {t.Sym("a"), t.Sym("b"), t.Sym("x")}); }, "smoothstep(a, b, x);"},
        {"transpose", GLSL21 | GL3, V, [](Tree& t) { return t.BuiltIn("transpose", OP_TRANSPOSE, {t.Sym("m", Type::Matrix(3))}); }, "transpose(m);"},
        {"transpose", ESSL20, V, [](Tree& t) { return t.BuiltIn("transpose", OP_TRANSPOSE, {t.Sym("m", Type::Matrix(3))}); }, "Error: function 'transpose' is not supported.\n", true},
        {"saturate", GLSL21 | GL3, V, [](Tree& t) { return t.BuiltIn("saturate", OP_SATURATE, {t.Sym("x")}); }, "clamp(x, 0.0f, 1.0f);"},
        {"saturate", ESSL20, V, [](Tree& t) { return t.BuiltIn("saturate", OP_SATURATE, {t.Sym("x")}); }, "clamp(x, 0.0, 1.0);"},
        {"any of float3", ALL_GL, V, [](Tree& t) { return t.BuiltIn("any", OP_ANY, {t.Sym("v", F(3))}); }, "any(bvec3(v));"},
        {"all of int2", ALL_GL, V, [](Tree& t) { return t.BuiltIn("all", OP_ALL, {t.Sym("v", I(2))}); }, "all(bvec2(v));"},
        {"float literal", GLSL21 | GL3, V, [](Tree& t) { return t.Assign(t.Sym("x"), t.Lit("2.5f")); }, "x = 2.5f;"},
        {"float literal", ESSL20, V, [](Tree& t) { return t.Assign(t.Sym("x"), t.Lit("2.5F")); }, "x = 2.5;"},
        {"int literal", ESSL20, V, [](Tree& t) { return t.Assign(t.Sym("i", I()), t.Lit("10", TYPE_INT)); }, "i = 10;"},
    };
    CheckSnippets(cases, sizeof(cases) / sizeof(cases[0]));
}

FunctionNode* Sample(Tree& t, const char* name, Operator op, const char* texture, TextureKind kind,
                     std::initializer_list<ParserNode*> rest) {
    FunctionNode* call = t.BuiltIn(name, op, {t.Member("texture", texture, Type::Texture(kind))});
    AggregateNode* arguments = static_cast<AggregateNode*>(call->children[0]);
    for (ParserNode* argument : rest) arguments->children.InsertLast(argument);
    call->type = F(4);
    return call;
}

TEST(GLSLTranslators, SampleTexturesByDialect) {
    const Snippet cases[] = {
        {"2D", GL2, P, [](Tree& t) { return Sample(t, "sampleTexture", OP_SAMPLE_TEXTURE, "albedo", TEXTURE_2D, {t.Sym("uv", F(2))}); }, "texture2D(_tex_albedo, uv);"},
        {"cube", GL2, P, [](Tree& t) { return Sample(t, "sampleTexture", OP_SAMPLE_TEXTURE, "sky", TEXTURE_CUBE, {t.Sym("d", F(3))}); }, "textureCube(_tex_sky, d);"},
        {"2D", GL3, P, [](Tree& t) { return Sample(t, "sampleTexture", OP_SAMPLE_TEXTURE, "albedo", TEXTURE_2D, {t.Sym("uv", F(2))}); }, "texture(_tex_albedo, uv);"},
        {"lod", GLSL21, P, [](Tree& t) { return Sample(t, "sampleTextureLod", OP_SAMPLE_TEXTURE_LOD, "albedo", TEXTURE_2D, {t.Sym("uv", F(2)), t.Lit("1.0f")}); }, "texture2DLod(_tex_albedo, uv, 1.0f);"},
        {"lod", GL3, P, [](Tree& t) { return Sample(t, "sampleTextureLod", OP_SAMPLE_TEXTURE_LOD, "albedo", TEXTURE_2D, {t.Sym("uv", F(2)), t.Lit("1.0f")}); }, "textureLod(_tex_albedo, uv, 1.0f);"},
        {"lod", ESSL20, P, [](Tree& t) { return Sample(t, "sampleTextureLod", OP_SAMPLE_TEXTURE_LOD, "albedo", TEXTURE_2D, {t.Sym("uv", F(2)), t.Lit("1.0f")}); }, "Error: function 'sampleTextureLod' is not supported.\n", true},
        {"grad", GLSL21, P, [](Tree& t) { return Sample(t, "sampleTextureGrad", OP_SAMPLE_TEXTURE_GRAD, "sky", TEXTURE_CUBE, {t.Sym("d", F(3)), t.Sym("x", F(3)), t.Sym("y", F(3))}); }, "textureCubeGrad(_tex_sky, d, x, y);"},
        {"grad", GL3, P, [](Tree& t) { return Sample(t, "sampleTextureGrad", OP_SAMPLE_TEXTURE_GRAD, "sky", TEXTURE_CUBE, {t.Sym("d", F(3)), t.Sym("x", F(3)), t.Sym("y", F(3))}); }, "textureGrad(_tex_sky, d, x, y);"},
        {"grad", ESSL20, P, [](Tree& t) { return Sample(t, "sampleTextureGrad", OP_SAMPLE_TEXTURE_GRAD, "sky", TEXTURE_CUBE, {t.Sym("d", F(3)), t.Sym("x", F(3)), t.Sym("y", F(3))}); }, "Error: function 'sampleTextureGrad' is not supported.\n", true},
        {"lod offset", GLSL21, P, [](Tree& t) { return Sample(t, "sampleTextureLodOffset", OP_SAMPLE_TEXTURE_LOD_OFFSET, "volume", TEXTURE_3D, {t.Sym("p", F(3)), t.Lit("0.0f"), t.Sym("o", I(3))}); }, "texture3DLodOffset(_tex_volume, p, 0.0f, o);"},
        {"lod offset", GL3, P, [](Tree& t) { return Sample(t, "sampleTextureLodOffset", OP_SAMPLE_TEXTURE_LOD_OFFSET, "volume", TEXTURE_3D, {t.Sym("p", F(3)), t.Lit("0.0f"), t.Sym("o", I(3))}); }, "textureLodOffset(_tex_volume, p, 0.0f, o);"},
    };
    CheckSnippets(cases, sizeof(cases) / sizeof(cases[0]));
}

// GLSL 1.20 gets the level-of-detail functions from an extension, named once
// in front of everything else however often they are called.
TEST(GLSLTranslators, NamesTheExtensionOnceInFrontOfTheText) {
    auto lod = [](Tree& t) {
        return Sample(t, "sampleTextureLod", OP_SAMPLE_TEXTURE_LOD, "albedo", TEXTURE_2D, {t.Sym("uv", F(2)), t.Lit("1.0f")});
    };
    const char* line = "#extension GL_EXT_gpu_shader4 : require\n";
    for (int target : {GLSL21, GLSL31, ESSL30}) {
        Tree t;
        AggregateNode* root = t.List({t.Main({t.Assign(t.Out("color"), lod(t)), t.Assign(t.Out("color"), lod(t))})});
        Outcome outcome = Translated(target, P, root);
        ASSERT_TRUE(outcome.ok) << TargetName(target);
        const char* text = outcome.text.c_str();
        if (target == GLSL21) {
            EXPECT_EQ(strncmp(text, line, strlen(line)), 0) << text;
            EXPECT_EQ(text[strlen(line)], '\n') << text;
            EXPECT_EQ(strstr(text + 1, "#extension"), nullptr) << text;
        } else {
            EXPECT_EQ(strstr(text, "#extension"), nullptr) << TargetName(target);
        }
    }
}

TEST(GLSLTranslators, WarnsOfAnExtensionOnlyWhenAskedAndOnce) {
    Log log;
    GLSL21Translator translator(log);
    translator.AddExtension("GL_EXT_gpu_shader4", true);
    translator.AddExtension("GL_EXT_gpu_shader4", true);
    EXPECT_STREQ(log.GetText(), "Warning: shader requires extension 'GL_EXT_gpu_shader4'.\n");
    EXPECT_TRUE(log.has_messages);
    EXPECT_FALSE(log.has_errors);
}

TEST(GLSLTranslators, WritesArithmeticByDialect) {
    auto ints = [](Tree& t, Operator op) { return t.Typed(t.Op(op, t.Sym("a", I()), t.Sym("b", I())), I()); };
    const Snippet cases[] = {
        {"int remainder", GL2, V, [&](Tree& t) { return ints(t, OP_MODULO); }, "int(mod(float(a), float(b)));"},
        {"int remainder", GL3, V, [&](Tree& t) { return ints(t, OP_MODULO); }, "a % b;"},
        {"vector remainder by a scalar", GL2, V, [](Tree& t) { return t.Typed(t.Op(OP_ASSIGN_MODULO, t.Sym("v", I(3)), t.Sym("b", I())), I(3)); }, "v = ivec3(mod(vec3(v), float(b)));"},
        {"vector remainder", GL3, V, [](Tree& t) { return t.Typed(t.Op(OP_ASSIGN_MODULO, t.Sym("v", I(3)), t.Sym("w", I(3))), I(3)); }, "v %= w;"},
        {"and", GL3, V, [&](Tree& t) { return ints(t, OP_BITWISE_AND); }, "a & b;"},
        {"and", GL2, V, [&](Tree& t) { return ints(t, OP_BITWISE_AND); }, "Error: bit-wise operations are not supported.\n", true},
        {"shift-assign", GL3, V, [&](Tree& t) { return ints(t, OP_ASSIGN_LEFT_SHIFT); }, "a <<= b;"},
        {"shift-assign", GL2, V, [&](Tree& t) { return ints(t, OP_ASSIGN_LEFT_SHIFT); }, "Error: bit-wise operations are not supported.\n", true},
        {"complement", GL2, V, [](Tree& t) { return t.Typed(t.Op(OP_BITWISE_NOT, t.Sym("a", I())), I()); }, "Error: bit-wise operations are not supported.\n", true},
    };
    CheckSnippets(cases, sizeof(cases) / sizeof(cases[0]));
}

}  // namespace
}  // namespace ShaderTool
