// The GLSL-family translators on hand-built trees: one statement of main()
// per case, translated for the targets the case names.
#include "shadertool/translate/glsl_translators.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/tests/tree_builder.h"
#include "shadertool/translate/translator_factory.h"

namespace ShaderTool {
namespace {

using testing::TreeBuilder;

const int kGLTargets[] = {GLSL21, ESSL20, GLSL31, ESSL30};

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
    std::unique_ptr<Translator> translator(CreateTranslator(ShaderTarget(target), log));
    Outcome outcome;
    outcome.ok = translator->Translate(info, ShaderTarget(target), 0, stage, root);
    outcome.text = translator->GetOutput().c_str();
    outcome.log = log.GetText();
    EXPECT_EQ(outcome.ok, !log.has_errors) << GetTargetName(target);
    return outcome;
}

// One statement inside main().
Outcome RunStatement(int target, ShaderType stage, const std::function<ParserNode*(Tree&)>& build) {
    Tree t;
    AggregateNode* root = t.List({t.Main({build(t)})});
    return Translated(target, stage, root);
}

const int kAllGL = GLSL21 | ESSL20 | GLSL31 | ESSL30;
const int kGL2 = GLSL21 | ESSL20;
const int kGL3 = GLSL31 | ESSL30;

struct Snippet {
    const char* label;
    int targets;
    ShaderType stage;
    std::function<ParserNode*(Tree&)> build;
    // The statement's text in main(), or the log's text when `error`.
    const char* expected;
    bool error = false;
};

const ShaderType kVertex = VERTEX_SHADER;
const ShaderType kPixel = PIXEL_SHADER;

void CheckSnippets(const Snippet* cases, int count) {
    for (int i = 0; i < count; ++i) {
        const Snippet& c = cases[i];
        for (int target : kGLTargets) {
            if (!(c.targets & target)) continue;
            Outcome outcome = RunStatement(target, c.stage, c.build);
            if (c.error) {
                EXPECT_FALSE(outcome.ok) << c.label << " / " << GetTargetName(target);
                EXPECT_STREQ(outcome.log.c_str(), c.expected) << c.label << " / " << GetTargetName(target);
                continue;
            }
            nString line = nString::Format("\n\t%s\n}", c.expected);
            EXPECT_TRUE(outcome.ok) << c.label << " / " << GetTargetName(target) << ": " << outcome.log.c_str();
            EXPECT_NE(strstr(outcome.text.c_str(), line.c_str()), nullptr)
                << c.label << " / " << GetTargetName(target) << "\n--- text:\n" << outcome.text.c_str();
        }
    }
}

TEST(GLSLTranslators, SpellTypesAndBuiltInFunctions) {
    const Snippet cases[] = {
        {"float3 constructor", kAllGL, kVertex, [](Tree& t) { return t.BuiltIn("float3", OP_CONSTRUCT_FLOAT3, {t.Sym("a")}); }, "vec3(a);"},
        {"int4 constructor", kAllGL, kVertex, [](Tree& t) { return t.BuiltIn("int4", OP_CONSTRUCT_INT4, {t.Sym("a")}); }, "ivec4(a);"},
        {"int constructor", kAllGL, kVertex, [](Tree& t) { return t.BuiltIn("int", OP_CONSTRUCT_INT, {t.Sym("a")}); }, "int(a);"},
        {"float3x3 constructor", kAllGL, kVertex, [](Tree& t) { return t.BuiltIn("float3x3", OP_CONSTRUCT_FLOAT3X3, {t.Sym("m")}); }, "mat3(m);"},
        {"bool constructor", kAllGL, kVertex, [](Tree& t) { return t.BuiltIn("bool", OP_CONSTRUCT_BOOL, {t.Sym("i")}); }, "bool(i);"},
        {"lerp", kAllGL, kVertex, [](Tree& t) { return t.BuiltIn("lerp", OP_LERP, {t.Sym("a"), t.Sym("b"), t.Sym("w")}); }, "mix(a, b, w);"},
        {"frac", kAllGL, kVertex, [](Tree& t) { return t.BuiltIn("frac", OP_FRAC, {t.Sym("a")}); }, "fract(a);"},
        {"atan2", kAllGL, kVertex, [](Tree& t) { return t.BuiltIn("atan2", OP_ATAN2, {t.Sym("y"), t.Sym("x")}); }, "atan(y, x);"},
        {"rsqrt", kAllGL, kVertex, [](Tree& t) { return t.BuiltIn("rsqrt", OP_RSQRT, {t.Sym("a")}); }, "inversesqrt(a);"},
        {"smoothstep keeps its name", kAllGL, kVertex, [](Tree& t) { return t.BuiltIn("smoothstep", OP_SMOOTHSTEP, {t.Sym("a"), t.Sym("b"), t.Sym("x")}); }, "smoothstep(a, b, x);"},
        {"transpose", GLSL21 | kGL3, kVertex, [](Tree& t) { return t.BuiltIn("transpose", OP_TRANSPOSE, {t.Sym("m", Type::Matrix(3))}); }, "transpose(m);"},
        {"transpose", ESSL20, kVertex, [](Tree& t) { return t.BuiltIn("transpose", OP_TRANSPOSE, {t.Sym("m", Type::Matrix(3))}); }, "Error: function 'transpose' is not supported.\n", true},
        {"saturate", GLSL21 | kGL3, kVertex, [](Tree& t) { return t.BuiltIn("saturate", OP_SATURATE, {t.Sym("x")}); }, "clamp(x, 0.0f, 1.0f);"},
        {"saturate", ESSL20, kVertex, [](Tree& t) { return t.BuiltIn("saturate", OP_SATURATE, {t.Sym("x")}); }, "clamp(x, 0.0, 1.0);"},
        {"any of float3", kAllGL, kVertex, [](Tree& t) { return t.BuiltIn("any", OP_ANY, {t.Sym("v", F(3))}); }, "any(bvec3(v));"},
        {"all of int2", kAllGL, kVertex, [](Tree& t) { return t.BuiltIn("all", OP_ALL, {t.Sym("v", I(2))}); }, "all(bvec2(v));"},
        {"float literal", GLSL21 | kGL3, kVertex, [](Tree& t) { return t.Assign(t.Sym("x"), t.Lit("2.5f")); }, "x = 2.5f;"},
        {"float literal", ESSL20, kVertex, [](Tree& t) { return t.Assign(t.Sym("x"), t.Lit("2.5F")); }, "x = 2.5;"},
        {"int literal", ESSL20, kVertex, [](Tree& t) { return t.Assign(t.Sym("i", I()), t.Lit("10", TYPE_INT)); }, "i = 10;"},
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
        {"2D", kGL2, kPixel, [](Tree& t) { return Sample(t, "sampleTexture", OP_SAMPLE_TEXTURE, "albedo", TEXTURE_2D, {t.Sym("uv", F(2))}); }, "texture2D(_tex_albedo, uv);"},
        {"cube", kGL2, kPixel, [](Tree& t) { return Sample(t, "sampleTexture", OP_SAMPLE_TEXTURE, "sky", TEXTURE_CUBE, {t.Sym("d", F(3))}); }, "textureCube(_tex_sky, d);"},
        {"2D", kGL3, kPixel, [](Tree& t) { return Sample(t, "sampleTexture", OP_SAMPLE_TEXTURE, "albedo", TEXTURE_2D, {t.Sym("uv", F(2))}); }, "texture(_tex_albedo, uv);"},
        {"lod", GLSL21, kPixel, [](Tree& t) { return Sample(t, "sampleTextureLod", OP_SAMPLE_TEXTURE_LOD, "albedo", TEXTURE_2D, {t.Sym("uv", F(2)), t.Lit("1.0f")}); }, "texture2DLod(_tex_albedo, uv, 1.0f);"},
        {"lod", kGL3, kPixel, [](Tree& t) { return Sample(t, "sampleTextureLod", OP_SAMPLE_TEXTURE_LOD, "albedo", TEXTURE_2D, {t.Sym("uv", F(2)), t.Lit("1.0f")}); }, "textureLod(_tex_albedo, uv, 1.0f);"},
        {"lod", ESSL20, kPixel, [](Tree& t) { return Sample(t, "sampleTextureLod", OP_SAMPLE_TEXTURE_LOD, "albedo", TEXTURE_2D, {t.Sym("uv", F(2)), t.Lit("1.0f")}); }, "Error: function 'sampleTextureLod' is not supported.\n", true},
        {"grad", GLSL21, kPixel, [](Tree& t) { return Sample(t, "sampleTextureGrad", OP_SAMPLE_TEXTURE_GRAD, "sky", TEXTURE_CUBE, {t.Sym("d", F(3)), t.Sym("x", F(3)), t.Sym("y", F(3))}); }, "textureCubeGrad(_tex_sky, d, x, y);"},
        {"grad", kGL3, kPixel, [](Tree& t) { return Sample(t, "sampleTextureGrad", OP_SAMPLE_TEXTURE_GRAD, "sky", TEXTURE_CUBE, {t.Sym("d", F(3)), t.Sym("x", F(3)), t.Sym("y", F(3))}); }, "textureGrad(_tex_sky, d, x, y);"},
        {"grad", ESSL20, kPixel, [](Tree& t) { return Sample(t, "sampleTextureGrad", OP_SAMPLE_TEXTURE_GRAD, "sky", TEXTURE_CUBE, {t.Sym("d", F(3)), t.Sym("x", F(3)), t.Sym("y", F(3))}); }, "Error: function 'sampleTextureGrad' is not supported.\n", true},
        {"lod offset", GLSL21, kPixel, [](Tree& t) { return Sample(t, "sampleTextureLodOffset", OP_SAMPLE_TEXTURE_LOD_OFFSET, "volume", TEXTURE_3D, {t.Sym("p", F(3)), t.Lit("0.0f"), t.ConstSym("o", I(3))}); }, "texture3DLodOffset(_tex_volume, p, 0.0f, o);"},
        {"lod offset", kGL3, kPixel, [](Tree& t) { return Sample(t, "sampleTextureLodOffset", OP_SAMPLE_TEXTURE_LOD_OFFSET, "volume", TEXTURE_3D, {t.Sym("p", F(3)), t.Lit("0.0f"), t.ConstSym("o", I(3))}); }, "textureLodOffset(_tex_volume, p, 0.0f, o);"},
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
        Outcome outcome = Translated(target, kPixel, root);
        ASSERT_TRUE(outcome.ok) << GetTargetName(target);
        const char* text = outcome.text.c_str();
        if (target == GLSL21) {
            EXPECT_EQ(strncmp(text, line, strlen(line)), 0) << text;
            EXPECT_EQ(text[strlen(line)], '\n') << text;
            EXPECT_EQ(strstr(text + 1, "#extension"), nullptr) << text;
        } else {
            EXPECT_EQ(strstr(text, "#extension"), nullptr) << GetTargetName(target);
        }
    }
}

// The driver keeps one translator per target for every file: nothing of
// one translation may reach the next.
TEST(GLSLTranslators, ForgetTheLastTranslation) {
    Log log;
    GLSL21Translator translator(log);
    Tree first;
    AggregateNode* lod = first.List({first.Main({first.Assign(
        first.Out("color"),
        Sample(first, "sampleTextureLod", OP_SAMPLE_TEXTURE_LOD, "albedo", TEXTURE_2D, {first.Sym("uv", F(2)), first.Lit("1.0f")}))})});
    ASSERT_TRUE(translator.Translate(MakeInfo(), GLSL21, 0, PIXEL_SHADER, lod));
    ASSERT_NE(strstr(translator.GetOutput().c_str(), "#extension"), nullptr);

    Tree second;
    AggregateNode* plain = second.List({second.Main({second.Assign(second.Out("screen"), second.In("position"))})});
    ASSERT_TRUE(translator.Translate(MakeInfo(), GLSL21, 0, VERTEX_SHADER, plain));
    EXPECT_EQ(strstr(translator.GetOutput().c_str(), "#extension"), nullptr) << translator.GetOutput().c_str();
    EXPECT_NE(strstr(translator.GetOutput().c_str(), "gl_Position = _in_position;"), nullptr);

    // A refused name is refused again in the next translation.
    for (int i = 0; i < 2; ++i) {
        log.Clear();
        Tree tree;
        AggregateNode* root = tree.List({tree.Main({tree.Assign(tree.Sym("flat"), tree.Lit("1.0f"))})});
        EXPECT_FALSE(translator.Translate(MakeInfo(), GLSL21, 0, VERTEX_SHADER, root));
        EXPECT_STREQ(log.GetText(), "Error: identifier 'flat' is not supported.\n");
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
        {"int remainder", kGL2, kVertex, [&](Tree& t) { return ints(t, OP_MODULO); }, "int(mod(float(a), float(b)));"},
        {"int remainder", kGL3, kVertex, [&](Tree& t) { return ints(t, OP_MODULO); }, "a % b;"},
        {"vector remainder by a scalar", kGL2, kVertex, [](Tree& t) { return t.Typed(t.Op(OP_ASSIGN_MODULO, t.Sym("v", I(3)), t.Sym("b", I())), I(3)); }, "v = ivec3(mod(vec3(v), float(b)));"},
        {"vector remainder", kGL3, kVertex, [](Tree& t) { return t.Typed(t.Op(OP_ASSIGN_MODULO, t.Sym("v", I(3)), t.Sym("w", I(3))), I(3)); }, "v %= w;"},
        {"and", kGL3, kVertex, [&](Tree& t) { return ints(t, OP_BITWISE_AND); }, "a & b;"},
        {"and", kGL2, kVertex, [&](Tree& t) { return ints(t, OP_BITWISE_AND); }, "Error: bit-wise operations are not supported.\n", true},
        {"shift-assign", kGL3, kVertex, [&](Tree& t) { return ints(t, OP_ASSIGN_LEFT_SHIFT); }, "a <<= b;"},
        {"shift-assign", kGL2, kVertex, [&](Tree& t) { return ints(t, OP_ASSIGN_LEFT_SHIFT); }, "Error: bit-wise operations are not supported.\n", true},
        {"complement", kGL2, kVertex, [](Tree& t) { return t.Typed(t.Op(OP_BITWISE_NOT, t.Sym("a", I())), I()); }, "Error: bit-wise operations are not supported.\n", true},
    };
    CheckSnippets(cases, sizeof(cases) / sizeof(cases[0]));
}

// The Shader XML's values are reached through the built-in structures.
TEST(GLSLTranslators, NamesTheStagesValues) {
    const Snippet cases[] = {
        // The POSITION output is chosen by its own semantic, not by the name
        // of the POSITION input ("position" here).
        {"position output", kAllGL, kVertex, [](Tree& t) { return t.Assign(t.Out("screen"), t.In("position")); }, "gl_Position = _in_position;"},
        {"output named like the position input", kAllGL, kVertex, [](Tree& t) { return t.Assign(t.Out("uv", F(2)), t.Member("input", "position", F(4))); }, "_vary_uv = _in_position;"},
        {"int input", kAllGL, kVertex, [](Tree& t) { return t.Assign(t.Sym("b", I(4)), t.In("bones", I(4))); }, "b = ivec4(_in_bones);"},
        {"int input swizzled", kAllGL, kVertex, [](Tree& t) { return t.Assign(t.Sym("b", I()), t.Op(OP_SELECT, t.In("bones", I(4)), t.Sym("x", I()))); }, "b = ivec4(_in_bones).x;"},
        {"constant", kAllGL, kVertex, [](Tree& t) { return t.Assign(t.Sym("m", Type::Matrix(4)), t.Member("constants", "wvp", Type::Matrix(4))); }, "m = _const_wvp;"},
        {"pixel input", kAllGL, kPixel, [](Tree& t) { return t.Assign(t.Sym("c", F(2)), t.In("uv", F(2))); }, "c = _vary_uv;"},
        {"pixel output", kGL2, kPixel, [](Tree& t) { return t.Assign(t.Out("color"), t.Member("constants", "tint", F(4))); }, "gl_FragColor = _const_tint;"},
        {"pixel output", kGL3, kPixel, [](Tree& t) { return t.Assign(t.Out("color"), t.Member("constants", "tint", F(4))); }, "_out_color = _const_tint;"},
        {"user vector named like a structure", kAllGL, kVertex, [](Tree& t) { return t.Assign(t.Sym("a"), t.Op(OP_SELECT, t.Sym("constants", F(4)), t.Sym("x"))); }, "a = constants.x;"},
        {"face direction", GLSL21 | kGL3, kPixel, [](Tree& t) { return t.Assign(t.Sym("s"), t.In("face_direction", F())); }, "s = (gl_FrontFacing ? 1.0f : -1.0f);"},
        {"face direction", ESSL20, kPixel, [](Tree& t) { return t.Assign(t.Sym("s"), t.In("face_direction", F())); }, "s = (gl_FrontFacing ? 1.0 : -1.0);"},
        {"front facing", kAllGL, kPixel, [](Tree& t) { return t.Assign(t.Sym("f", Type::Scalar(TYPE_BOOL)), t.In("is_front_facing", Type::Scalar(TYPE_BOOL))); }, "f = gl_FrontFacing;"},
        {"instance id", kGL3, kVertex, [](Tree& t) { return t.Assign(t.Sym("i", I()), t.In("instance_id", I())); }, "i = gl_InstanceID;"},
        {"instance id", kGL2, kVertex, [](Tree& t) { return t.Assign(t.Sym("i", I()), t.In("instance_id", I())); }, "Error: 'input.instance_id' is not supported.\n", true},
        {"vertex id", kAllGL, kVertex, [](Tree& t) { return t.Assign(t.Sym("i", I()), t.In("vertex_id", I())); }, "Error: 'input.vertex_id' is not supported.\n", true},
        // In the pixel stage the names of the vertex stage's special inputs are
        // ordinary vertex outputs.
        {"vertex output named vertex_id", kAllGL, kPixel, [](Tree& t) { return t.Assign(t.Sym("v", F(2)), t.In("vertex_id", F(2))); }, "v = _vary_vertex_id;"},
        {"vertex output named instance_id", kAllGL, kPixel, [](Tree& t) { return t.Assign(t.Sym("v", F(2)), t.In("instance_id", F(2))); }, "v = _vary_instance_id;"},
    };
    CheckSnippets(cases, sizeof(cases) / sizeof(cases[0]));
}

// GLSL takes only bool conditions; ZKSL also takes int ones.
TEST(GLSLTranslators, ComparesIntConditionsWithZero) {
    auto body = [](Tree& t) { return t.Block({t.Jump(OP_BREAK)}); };
    const Snippet cases[] = {
        {"if int", kAllGL, kVertex, [](Tree& t) { return t.If(t.Sym("i", I()), t.Block({})); }, "if (i != 0)\n\t{\n\t}"},
        {"if bool", kAllGL, kVertex, [](Tree& t) { return t.If(t.Sym("b", Type::Scalar(TYPE_BOOL)), t.Block({})); }, "if (b)\n\t{\n\t}"},
        {"if int sum", kAllGL, kVertex, [](Tree& t) { return t.If(t.Typed(t.Op(OP_ADD, t.Sym("i", I()), t.Lit("1", TYPE_INT)), I()), t.Block({})); }, "if ((i + 1) != 0)\n\t{\n\t}"},
        {"if int and", kGL3, kVertex, [](Tree& t) { return t.If(t.Typed(t.Op(OP_BITWISE_AND, t.Sym("i", I()), t.Lit("1", TYPE_INT)), I()), t.Block({})); }, "if ((i & 1) != 0)\n\t{\n\t}"},
        {"if int member", kAllGL, kVertex, [](Tree& t) { return t.If(t.Typed(t.Op(OP_SELECT, t.In("bones", I(4)), t.Sym("x", I())), I()), t.Block({})); }, "if (ivec4(_in_bones).x != 0)\n\t{\n\t}"},
        {"else if int", kAllGL, kVertex, [](Tree& t) { return t.If(t.Sym("b", Type::Scalar(TYPE_BOOL)), t.Block({}), t.If(t.Sym("i", I()), t.Block({}))); }, "if (b)\n\t{\n\t}\n\telse if (i != 0)\n\t{\n\t}"},
        {"while int", kAllGL, kVertex, [&](Tree& t) { return t.Loop(IterationNode::WHILE, nullptr, t.Sym("i", I()), nullptr, body(t)); }, "while (i != 0)\n\t{\n\t\tbreak;\n\t}"},
        {"do-while int", kAllGL, kVertex, [&](Tree& t) { return t.Loop(IterationNode::DO_WHILE, nullptr, t.Typed(t.Op(OP_POST_DECREMENT, t.Sym("i", I())), I()), nullptr, body(t)); }, "do\n\t{\n\t\tbreak;\n\t}\n\twhile ((i--) != 0);"},
        {"for int", kAllGL, kVertex, [&](Tree& t) { return t.Loop(IterationNode::FOR, nullptr, t.Sym("i", I()), t.Typed(t.Op(OP_PRE_DECREMENT, t.Sym("i", I())), I()), body(t)); }, "for (; i != 0; --i)\n\t{\n\t\tbreak;\n\t}"},
        {"if int2", kAllGL, kVertex, [](Tree& t) { return t.If(t.Sym("v", I(2)), t.Block({})); }, "Error: condition of type 'int2' is not supported.\n", true},
    };
    CheckSnippets(cases, sizeof(cases) / sizeof(cases[0]));
}

// Whole texts of an empty main(): the declarations made from the Shader XML
// and the lines each dialect puts in front of them.
TEST(GLSLTranslators, DeclareTheShaderXMLValues) {
    struct Case {
        int target;
        ShaderType stage;
        const char* expected;
    };
    const Case cases[] = {
        {GLSL21, kVertex,
         "attribute vec4 _in_position;\nattribute vec4 _in_bones;\n\n"
         "uniform mat4 _const_wvp;\nuniform vec4 _const_palette[3];\n\n"
         "varying vec4 _vary_screen;\nvarying vec2 _vary_uv;\n\n"
         "void main()\n{\n}\n"},
        {ESSL20, kVertex,
         "attribute vec4 _in_position;\nattribute vec4 _in_bones;\n\n"
         "uniform mat4 _const_wvp;\nuniform vec4 _const_palette[3];\n\n"
         "varying vec4 _vary_screen;\nvarying vec2 _vary_uv;\n\n"
         "void main()\n{\n}\n"},
        {ESSL30, kVertex,
         "in vec4 _in_position;\nin vec4 _in_bones;\n\n"
         "uniform mat4 _const_wvp;\nuniform vec4 _const_palette[3];\n\n"
         "out vec4 _vary_screen;\nout vec2 _vary_uv;\n\n"
         "void main()\n{\n}\n"},
        {GLSL21, kPixel,
         "varying vec4 _vary_screen;\nvarying vec2 _vary_uv;\n\n"
         "uniform vec4 _const_tint;\n\n"
         "uniform sampler2D _tex_albedo;\nuniform samplerCube _tex_sky;\nuniform sampler3D _tex_volume;\n\n"
         "void main()\n{\n}\n"},
        {ESSL20, kPixel,
         "#if defined(GL_FRAGMENT_PRECISION_HIGH)\n\nprecision highp float;\nprecision highp int;\n\n#else\n\nprecision mediump float;\n\n#endif\n\n"
         "varying vec4 _vary_screen;\nvarying vec2 _vary_uv;\n\n"
         "uniform vec4 _const_tint;\n\n"
         "uniform sampler2D _tex_albedo;\nuniform samplerCube _tex_sky;\nuniform sampler3D _tex_volume;\n\n"
         "void main()\n{\n}\n"},
        {GLSL31, kPixel,
         "in vec4 _vary_screen;\nin vec2 _vary_uv;\n\n"
         "uniform vec4 _const_tint;\n\n"
         "uniform sampler2D _tex_albedo;\nuniform samplerCube _tex_sky;\nuniform sampler3D _tex_volume;\n\n"
         "out vec4 _out_color;\n\n"
         "void main()\n{\n}\n"},
        {ESSL30, kPixel,
         "precision highp float;\nprecision highp int;\nprecision lowp sampler3D;\n\n"
         "in vec4 _vary_screen;\nin vec2 _vary_uv;\n\n"
         "uniform vec4 _const_tint;\n\n"
         "uniform sampler2D _tex_albedo;\nuniform samplerCube _tex_sky;\nuniform sampler3D _tex_volume;\n\n"
         "layout(location = 0) out vec4 _out_color;\n\n"
         "void main()\n{\n}\n"},
    };
    for (const Case& c : cases) {
        Tree t;
        Outcome outcome = Translated(c.target, c.stage, t.List({t.Main({})}));
        EXPECT_STREQ(outcome.text.c_str(), c.expected) << GetTargetName(c.target) << (c.stage == kVertex ? " vertex" : " pixel");
    }
}

TEST(GLSLTranslators, NumbersSeveralPixelOutputsInES30) {
    ShaderInfo info = MakeInfo();
    ShaderPixelOutputVariable normal;
    normal.id = "normal";
    info.pixel_output.InsertLast(normal);
    const char* expected[][2] = {
        {"GLSL31", "out vec4 _out_color;\nout vec4 _out_normal;\n"},
        {"ESSL30", "layout(location = 0) out vec4 _out_color;\nlayout(location = 1) out vec4 _out_normal;\n"},
    };
    int targets[] = {GLSL31, ESSL30};
    for (int i = 0; i < 2; ++i) {
        Tree t;
        Outcome outcome = Translated(targets[i], kPixel, t.List({t.Main({})}), info);
        EXPECT_NE(strstr(outcome.text.c_str(), expected[i][1]), nullptr) << expected[i][0] << "\n" << outcome.text.c_str();
    }
}

// Varyings are interpolated floats; the 3.x dialects pass ints flat, and
// nothing passes bools.
TEST(GLSLTranslators, DeclaresOnlyVaryingsTheDialectCanPass) {
    struct Case {
        Type type;
        int target;
        ShaderType stage;
        const char* expected;  // a declaration line, or the log
        bool error;
    };
    const char* int_error = "Error: vertex output 'value' of type 'int2' is not supported.\n";
    const char* bool_error = "Error: vertex output 'value' of type 'bool' is not supported.\n";
    const Case cases[] = {
        {I(2), GLSL31, kVertex, "flat out ivec2 _vary_value;\n", false},
        {I(2), GLSL31, kPixel, "flat in ivec2 _vary_value;\n", false},
        {I(2), ESSL30, kVertex, "flat out ivec2 _vary_value;\n", false},
        {I(2), ESSL30, kPixel, "flat in ivec2 _vary_value;\n", false},
        {Type::Matrix(3), ESSL20, kVertex, "varying mat3 _vary_value;\n", false},
        {I(2), GLSL21, kVertex, int_error, true},
        {I(2), GLSL21, kPixel, int_error, true},
        {I(2), ESSL20, kVertex, int_error, true},
        {I(2), ESSL20, kPixel, int_error, true},
        {Type::Scalar(TYPE_BOOL), GLSL21, kPixel, bool_error, true},
        {Type::Scalar(TYPE_BOOL), ESSL20, kVertex, bool_error, true},
        {Type::Scalar(TYPE_BOOL), GLSL31, kVertex, bool_error, true},
        {Type::Scalar(TYPE_BOOL), ESSL30, kPixel, bool_error, true},
    };
    for (const Case& c : cases) {
        ShaderInfo info = MakeInfo();
        info.vertex_output.InsertLast(VertexOutput("value", c.type, OUTPUT_TEXTURE_COORDINATE));
        Tree t;
        Outcome outcome = Translated(c.target, c.stage, t.List({t.Main({})}), info);
        const char* label = GetTargetName(c.target);
        if (c.error) {
            EXPECT_FALSE(outcome.ok) << label;
            EXPECT_STREQ(outcome.log.c_str(), c.expected) << label;
        } else {
            EXPECT_NE(strstr(outcome.text.c_str(), c.expected), nullptr) << label << "\n" << outcome.text.c_str();
        }
    }
}

// Arrays with initialisers: array constructors, or for ES 1.00 one
// assignment per element.
TEST(GLSLTranslators, InitialisesArraysByDialect) {
    auto array = [](Tree& t) {
        Type type = F();
        type.array_size = 2;
        return t.Decl(type, {t.Init("a", type, t.List({t.Lit("1.0f"), t.Lit("2.0f")}))});
    };
    const Snippet cases[] = {
        {"local", GLSL21 | kGL3, kVertex, array, "float a[2] = float[]\n\t(\n\t\t1.0f,\n\t\t2.0f\n\t);"},
        {"local", ESSL20, kVertex, array, "float a[2];\n\ta[0] = 1.0;\n\ta[1] = 2.0;"},
    };
    CheckSnippets(cases, sizeof(cases) / sizeof(cases[0]));

    for (int target : kGLTargets) {
        Tree t;
        Outcome outcome = Translated(target, kVertex, t.List({array(t), t.Main({})}));
        if (target == ESSL20) {
            EXPECT_STREQ(outcome.log.c_str(), "Error: array declarations in global scope are not supported.\n");
        } else {
            EXPECT_TRUE(outcome.ok) << GetTargetName(target) << outcome.log.c_str();
            EXPECT_NE(strstr(outcome.text.c_str(), "\n\nfloat a[2] = float[]\n(\n\t1.0f,\n\t2.0f\n);\n"),
                      nullptr)
                << GetTargetName(target) << "\n" << outcome.text.c_str();
        }
    }
}

// ES compilers refuse global initialisers they cannot fold.
TEST(GLSLTranslators, RefusesNonConstantGlobalInitialisersInES) {
    struct Case {
        const char* label;
        std::function<ParserNode*(Tree&)> value;
        bool constant;
    };
    const Case cases[] = {
        {"literal", [](Tree& t) { return t.Lit("1.0f"); }, true},
        {"const variable times literal", [](Tree& t) { return t.Op(OP_MULTIPLY, t.ConstSym("k", F()), t.Lit("2.0f")); }, true},
        {"built-in of a literal", [](Tree& t) { return t.BuiltIn("sin", OP_SIN, {t.Lit("1.0f")}); }, true},
        {"swizzled constructor", [](Tree& t) { return t.Op(OP_SELECT, t.BuiltIn("float2", OP_CONSTRUCT_FLOAT2, {t.Lit("1.0f")}), t.Sym("x")); }, true},
        {"shader constant", [](Tree& t) { return t.Op(OP_SELECT, t.Member("constants", "wvp", Type::Matrix(4)), t.Sym("x")); }, false},
        {"old-style shader constant", [](Tree& t) { return t.Constant("tint"); }, false},
        {"plain global", [](Tree& t) { return t.Op(OP_ADD, t.Sym("other"), t.Lit("1.0f")); }, false},
        {"user function", [](Tree& t) { return t.Call("shade", {t.Lit("1.0f")}); }, false},
    };
    for (const Case& c : cases) {
        for (int target : kGLTargets) {
            Tree t;
            ParserNode* declaration = t.Decl(F(), {t.Init("g", F(), c.value(t))});
            Outcome outcome = Translated(target, kVertex, t.List({declaration, t.Main({})}));
            bool refused = !c.constant && (target & ESSL);
            EXPECT_EQ(outcome.ok, !refused) << c.label << " / " << GetTargetName(target) << outcome.log.c_str();
            if (refused) {
                EXPECT_STREQ(outcome.log.c_str(), "Error: initializer of global variable 'g' must be a constant expression.\n")
                    << c.label << " / " << GetTargetName(target);
            }
        }
    }
    // The elements of a global array constructor are checked too.
    Tree t;
    Type type = F();
    type.array_size = 2;
    ParserNode* array = t.Decl(type, {t.Init("a", type, t.List({t.Lit("1.0f"), t.Constant("tint")}))});
    Outcome outcome = Translated(ESSL30, kVertex, t.List({array, t.Main({})}));
    EXPECT_STREQ(outcome.log.c_str(), "Error: initializer of global variable 'a' must be a constant expression.\n");
}

}  // namespace
}  // namespace ShaderTool
