#include "shadertool/translate/translator.h"

#include <gtest/gtest.h>

#include <functional>

#include "shadertool/translate/tests/tree_builder.h"

namespace ShaderTool {
namespace {

using testing::TestTranslator;
using testing::TreeBuilder;

struct ExpressionCase {
    const char* label;
    std::function<ParserNode*(TreeBuilder&)> build;
    const char* expected;
};

// Expressions keep exactly the source's parentheses, and prefix operators
// whose symbols would run together with the operand are kept apart.
TEST(TranslatorExpressions, WritesEachOperatorForm) {
    const ExpressionCase cases[] = {
        {"sum times factor", [](TreeBuilder& t) { return t.Op(OP_ADD, t.Sym("a"), t.Op(OP_MULTIPLY, t.Sym("b"), t.Sym("c"))); }, "a + b * c"},
        {"parenthesised sum", [](TreeBuilder& t) { return t.Op(OP_MULTIPLY, t.Op(OP_PARENTHESES, t.Op(OP_ADD, t.Sym("a"), t.Sym("b"))), t.Sym("c")); }, "(a + b) * c"},
        {"member access", [](TreeBuilder& t) { return t.Op(OP_SELECT, t.Sym("input"), t.Sym("color")); }, "input.color"},
        {"conditional", [](TreeBuilder& t) { return t.Op(OP_CONDITIONAL, t.Sym("c"), t.Op(OP_ALTERNATIVES, t.Sym("a"), t.Sym("b"))); }, "c ? a : b"},
        {"assignment", [](TreeBuilder& t) { return t.Op(OP_ASSIGN_ADD, t.Sym("a"), t.Lit("1.0f")); }, "a += 1.0f"},
        {"subscript", [](TreeBuilder& t) { return t.Op(OP_SUBSCRIPT, t.Sym("m"), t.Lit("2", TYPE_INT)); }, "m[2]"},
        {"post-increment", [](TreeBuilder& t) { return t.Op(OP_POST_INCREMENT, t.Sym("i")); }, "i++"},
        {"pre-increment", [](TreeBuilder& t) { return t.Op(OP_PRE_INCREMENT, t.Sym("i")); }, "++i"},
        {"negation", [](TreeBuilder& t) { return t.Op(OP_NEGATE, t.Sym("x")); }, "-x"},
        {"not", [](TreeBuilder& t) { return t.Op(OP_LOGICAL_NOT, t.Sym("b")); }, "!b"},
        {"negated negation", [](TreeBuilder& t) { return t.Op(OP_NEGATE, t.Op(OP_NEGATE, t.Sym("x"))); }, "- -x"},
        {"plus of plus", [](TreeBuilder& t) { return t.Op(OP_UNARY_PLUS, t.Op(OP_UNARY_PLUS, t.Sym("x"))); }, "+ +x"},
        {"negated pre-decrement", [](TreeBuilder& t) { return t.Op(OP_NEGATE, t.Op(OP_PRE_DECREMENT, t.Sym("x"))); }, "- --x"},
        {"plus of pre-increment", [](TreeBuilder& t) { return t.Op(OP_UNARY_PLUS, t.Op(OP_PRE_INCREMENT, t.Sym("x"))); }, "+ ++x"},
        {"pre-decrement of negation", [](TreeBuilder& t) { return t.Op(OP_PRE_DECREMENT, t.Op(OP_NEGATE, t.Sym("x"))); }, "-- -x"},
        {"negated negative literal", [](TreeBuilder& t) { return t.Op(OP_NEGATE, t.Op(OP_NEGATE, t.Lit("1", TYPE_INT))); }, "- -1"},
        {"negated literal text", [](TreeBuilder& t) { return t.Op(OP_NEGATE, t.Lit("-1", TYPE_INT)); }, "- -1"},
        {"minus then plus", [](TreeBuilder& t) { return t.Op(OP_NEGATE, t.Op(OP_UNARY_PLUS, t.Sym("x"))); }, "-+x"},
        {"negated parentheses", [](TreeBuilder& t) { return t.Op(OP_NEGATE, t.Op(OP_PARENTHESES, t.Op(OP_NEGATE, t.Sym("x")))); }, "-(-x)"},
        {"subtract negation", [](TreeBuilder& t) { return t.Op(OP_SUBTRACT, t.Sym("a"), t.Op(OP_NEGATE, t.Sym("b"))); }, "a - -b"},
        {"shader constant", [](TreeBuilder& t) { return t.Op(OP_SELECT, t.Constant("tint"), t.Sym("x")); }, "_const_tint.x"},
        {"user call", [](TreeBuilder& t) { return t.Call("shade", {t.Sym("a"), t.Lit("2.0f")}); }, "shade(a, 2.0f)"},
        {"mapped built-in", [](TreeBuilder& t) { return t.BuiltIn("lerp", OP_LERP, {t.Sym("a"), t.Sym("b"), t.Sym("t")}); }, "mix(a, b, t)"},
        {"unmapped built-in", [](TreeBuilder& t) { return t.BuiltIn("normalize", OP_NORMALIZE, {t.Sym("v")}); }, "normalize(v)"},
        {"int3 constructor", [](TreeBuilder& t) { return t.BuiltIn("int3", OP_CONSTRUCT_INT3, {t.Sym("v")}); }, "int3(v)"},
        {"int4 constructor", [](TreeBuilder& t) { return t.BuiltIn("int4", OP_CONSTRUCT_INT4, {t.Sym("v")}); }, "int4(v)"},
        {"float2x2 constructor", [](TreeBuilder& t) { return t.BuiltIn("float2x2", OP_CONSTRUCT_FLOAT2X2, {t.Sym("m")}); }, "float2x2(m)"},
        {"bool constructor", [](TreeBuilder& t) { return t.BuiltIn("bool", OP_CONSTRUCT_BOOL, {t.Sym("i")}); }, "bool(i)"},
    };
    Log log;
    TestTranslator translator(log);
    for (const ExpressionCase& c : cases) {
        TreeBuilder tree;
        EXPECT_STREQ(translator.Expression(c.build(tree)).c_str(), c.expected) << c.label;
    }
    EXPECT_FALSE(log.has_errors);
}

TEST(TranslatorExpressions, RefusesBitOperationsUnlessTheTargetHasThem) {
    struct Case {
        Operator op;
        bool bitwise;
    };
    const Case cases[] = {
        {OP_BITWISE_AND, true}, {OP_BITWISE_OR, true},  {OP_BITWISE_XOR, true},       {OP_LEFT_SHIFT, true},
        {OP_RIGHT_SHIFT, true}, {OP_ASSIGN_AND, true},  {OP_ASSIGN_OR, true},         {OP_ASSIGN_XOR, true},
        {OP_ASSIGN_LEFT_SHIFT, true}, {OP_ASSIGN_RIGHT_SHIFT, true}, {OP_MODULO, false}, {OP_ASSIGN_MODULO, false},
        {OP_LOGICAL_AND, false}, {OP_ADD, false},
    };
    for (const Case& c : cases) {
        for (bool supported : {false, true}) {
            Log log;
            TestTranslator translator(log, supported);
            TreeBuilder tree;
            nString text = translator.Expression(tree.Op(c.op, tree.Sym("a", TreeBuilder::Int()), tree.Sym("b", TreeBuilder::Int())));
            bool refused = c.bitwise && !supported;
            // The text is written either way; only the error differs.
            EXPECT_EQ(text, nString::Format("a %s b", GetOperatorString(c.op))) << c.op;
            EXPECT_EQ(log.has_errors, refused) << c.op << " supported " << supported;
            EXPECT_EQ(translator.Succeeded(), !refused) << c.op;
            EXPECT_STREQ(log.text.c_str(), refused ? "Error: bit-wise operations are not supported.\n" : "") << c.op;
        }
    }
    Log log;
    TestTranslator translator(log);
    TreeBuilder tree;
    EXPECT_STREQ(translator.Expression(tree.Op(OP_BITWISE_NOT, tree.Sym("i", TreeBuilder::Int()))).c_str(), "~i");
    EXPECT_TRUE(log.has_errors);
}

TEST(TranslatorHelpers, ClassifyOperatorsAndTextures) {
    for (int op = 0; op <= 103; ++op) {
        bool bitwise = op == 0 || op == 12 || op == 14 || op == 17 || op == 18 || op == 20 || op == 21 || op == 22 ||
                       op == 23 || op == 28 || op == 37;
        EXPECT_EQ(Translator::IsBitwiseOperator(Operator(op)), bitwise) << op;
        EXPECT_EQ(Translator::IsSamplerFunctionOperator(Operator(op)), op >= 79 && op <= 82) << op;
    }
    EXPECT_STREQ(Translator::GetTextureTypeNameSuffix(Type::Texture(TEXTURE_2D)), "2D");
    EXPECT_STREQ(Translator::GetTextureTypeNameSuffix(Type::Texture(TEXTURE_3D)), "3D");
    EXPECT_STREQ(Translator::GetTextureTypeNameSuffix(Type::Texture(TEXTURE_CUBE)), "Cube");
    EXPECT_STREQ(Translator::GetTextureTypeNameSuffix(Type::Vector(TYPE_FLOAT, 4)), "");
}

struct StatementCase {
    const char* label;
    std::function<ParserNode*(TreeBuilder&)> build;
    const char* expected;
};

// Single statements as they appear one level deep inside a function.
TEST(TranslatorStatements, LaysOutControlFlow) {
    const StatementCase cases[] = {
        {"expression", [](TreeBuilder& t) { return t.Op(OP_ASSIGN, t.Sym("a"), t.Sym("b")); }, "a = b;\n"},
        {"return value", [](TreeBuilder& t) { return t.Jump(OP_RETURN, t.Sym("a")); }, "return a;\n"},
        {"discard", [](TreeBuilder& t) { return t.Jump(OP_DISCARD); }, "discard;\n"},
        {"declaration", [](TreeBuilder& t) { return t.Decl(TreeBuilder::Float(3), {t.Sym("a", TreeBuilder::Float(3)), t.Init("b", TreeBuilder::Float(3), t.Sym("c"))}); }, "float3 a, b = c;\n"},
        {"const declaration", [](TreeBuilder& t) {
             Type type = TreeBuilder::Int();
             type.qualifier = QUALIFIER_CONST;
             return t.Decl(type, {t.Init("n", type, t.Lit("4", TYPE_INT))});
         }, "const int n = 4;\n"},
        {"array declaration", [](TreeBuilder& t) {
             Type type = TreeBuilder::Float(2);
             type.array_size = 3;
             return t.Decl(type, {t.Sym("offsets", type)});
         }, "float2 offsets[3];\n"},
        {"array with initialiser", [](TreeBuilder& t) {
             Type type = TreeBuilder::Float();
             type.array_size = 2;
             return t.Decl(type, {t.Op(OP_ASSIGN, t.Sym("w", type), t.List({t.Lit("0.25f"), t.Lit("0.75f")}))});
         }, "float w[2] =\n{\n\t0.25f,\n\t0.75f\n};\n"},
        {"array then plain names", [](TreeBuilder& t) {
             Type type = TreeBuilder::Float();
             type.array_size = 2;
             return t.Decl(type, {t.Sym("a", type), t.Sym("b"), t.Init("c", TreeBuilder::Float(), t.Lit("1.0f"))});
         }, "float a[2], b, c = 1.0f;\n"},
        {"if with single statement", [](TreeBuilder& t) { return t.If(t.Sym("c"), t.Jump(OP_DISCARD)); }, "if (c)\n\tdiscard;\n"},
        {"if with block and else", [](TreeBuilder& t) {
             return t.If(t.Sym("c"), t.Block({t.Op(OP_ASSIGN, t.Sym("a"), t.Sym("b"))}), t.Block({t.Jump(OP_DISCARD)}));
         }, "if (c)\n{\n\ta = b;\n}\nelse\n{\n\tdiscard;\n}\n"},
        {"else-if chain", [](TreeBuilder& t) {
             return t.If(t.Sym("a"), t.Jump(OP_BREAK), t.If(t.Sym("b"), t.Jump(OP_CONTINUE), t.Jump(OP_DISCARD)));
         }, "if (a)\n\tbreak;\nelse if (b)\n\tcontinue;\nelse\n\tdiscard;\n"},
        {"for loop", [](TreeBuilder& t) {
             return t.Loop(IterationNode::FOR, t.Decl(TreeBuilder::Int(), {t.Init("i", TreeBuilder::Int(), t.Lit("0", TYPE_INT))}),
                           t.Op(OP_LESS, t.Sym("i"), t.Lit("4", TYPE_INT)), t.Op(OP_POST_INCREMENT, t.Sym("i")),
                           t.Block({t.Op(OP_ASSIGN_ADD, t.Sym("s"), t.Sym("i"))}));
         }, "for (int i = 0; i < 4; i++)\n{\n\ts += i;\n}\n"},
        {"empty for head", [](TreeBuilder& t) { return t.Loop(IterationNode::FOR, nullptr, nullptr, nullptr, t.Jump(OP_BREAK)); }, "for (; ; )\n\tbreak;\n"},
        {"while loop", [](TreeBuilder& t) { return t.Loop(IterationNode::WHILE, nullptr, t.Sym("c"), nullptr, t.Op(OP_POST_DECREMENT, t.Sym("n"))); }, "while (c)\n\tn--;\n"},
        {"do-while loop", [](TreeBuilder& t) {
             return t.Loop(IterationNode::DO_WHILE, nullptr, t.Sym("c"), nullptr, t.Block({t.Op(OP_POST_DECREMENT, t.Sym("n"))}));
         }, "do\n{\n\tn--;\n}\nwhile (c);\n"},
    };
    Log log;
    TestTranslator translator(log);
    for (const StatementCase& c : cases) {
        TreeBuilder tree;
        EXPECT_STREQ(translator.Statement(c.build(tree)).c_str(), c.expected) << c.label;
        EXPECT_EQ(translator.Indentation(), 0) << c.label;
    }
    EXPECT_FALSE(log.has_errors);
}

// One whole stage: globals before prototypes before the functions, blank
// lines around control flow, no prototype for main, nested indentation.
TEST(TranslatorTranslate, AssemblesSectionsInOrder) {
    TreeBuilder t;
    Type float4 = TreeBuilder::Float(4);
    FunctionNode* helper = t.Function(float4, "tint", {t.Sym("c", float4), t.Sym("k", TreeBuilder::Float())},
                                      t.Block({t.Jump(OP_RETURN, t.Op(OP_MULTIPLY, t.Sym("c"), t.Sym("k")))}));
    FunctionNode* main = t.Function(Type::Void(), "main", {},
        t.Block({
            t.Decl(float4, {t.Init("color", float4, t.Call("tint", {t.Constant("base"), t.Sym("gain")}))}),
            t.Op(OP_ASSIGN, t.Op(OP_SELECT, t.Sym("output"), t.Sym("color")), t.Sym("color")),
            t.If(t.Op(OP_GREATER, t.Sym("gain"), t.Lit("1.0f")),
                 t.Block({t.Loop(IterationNode::WHILE, nullptr, t.Sym("busy"), nullptr, t.Jump(OP_BREAK))})),
            t.Op(OP_ASSIGN, t.Sym("gain"), t.Lit("0.0f")),
            t.Op(OP_ASSIGN, t.Sym("gain"), t.Lit("2.0f")),
        }));
    AggregateNode* root = t.List({t.Decl(TreeBuilder::Float(), {t.Sym("gain")}), helper, main});

    Log log;
    TestTranslator translator(log);
    ShaderInfo info;
    info.version = 0x20002;
    ASSERT_TRUE(translator.Translate(info, GLSL21, 0, PIXEL_SHADER, root));
    EXPECT_STREQ(translator.GetOutput().c_str(),
                 "float gain;\n"
                 "\n"
                 "float4 tint(float4 c, float k);\n"
                 "\n"
                 "float4 tint(float4 c, float k)\n"
                 "{\n"
                 "\treturn c * k;\n"
                 "}\n"
                 "\n"
                 "void main()\n"
                 "{\n"
                 "\tfloat4 color = tint(_const_base, gain);\n"
                 "\toutput.color = color;\n"
                 "\n"
                 "\tif (gain > 1.0f)\n"
                 "\t{\n"
                 "\t\twhile (busy)\n"
                 "\t\t\tbreak;\n"
                 "\t}\n"
                 "\n"
                 "\tgain = 0.0f;\n"
                 "\tgain = 2.0f;\n"
                 "}\n");
    EXPECT_FALSE(log.has_messages);
}

// Declarations after a function still go to the globals section; a source
// prototype gives a declaration and keeps its ";".
TEST(TranslatorTranslate, RoutesGlobalsAndPrototypes) {
    TreeBuilder t;
    Type float2 = TreeBuilder::Float(2);
    AggregateNode* root = t.List({
        t.Function(float2, "offset", {t.Sym("uv", float2)}, nullptr),
        t.Function(Type::Void(), "main", {}, t.Block({t.Jump(OP_RETURN)})),
        t.Decl(float2, {t.Init("scale", float2, t.BuiltIn("float2", OP_CONSTRUCT_FLOAT2, {t.Lit("1.0f"), t.Lit("2.0f")}))}),
    });
    Log log;
    TestTranslator translator(log);
    ShaderInfo info;
    ASSERT_TRUE(translator.Translate(info, HLSL9, 0, VERTEX_SHADER, root));
    EXPECT_STREQ(translator.GetOutput().c_str(),
                 "float2 scale = float2(1.0f, 2.0f);\n"
                 "\n"
                 "float2 offset(float2 uv);\n"
                 "\n"
                 "float2 offset(float2 uv);\n"
                 "\n"
                 "void main()\n"
                 "{\n"
                 "\treturn;\n"
                 "}\n");
}

// A failed translation reports false and leaves the sections apart; the
// next translation starts clean.
TEST(TranslatorTranslate, ErrorLeavesNoAssembledText) {
    TreeBuilder t;
    AggregateNode* bad = t.List({
        t.Decl(TreeBuilder::Int(), {t.Sym("mask", TreeBuilder::Int())}),
        t.Function(Type::Void(), "main", {},
                   t.Block({t.Op(OP_ASSIGN, t.Sym("mask"), t.Op(OP_BITWISE_AND, t.Sym("mask"), t.Lit("3", TYPE_INT)))})),
    });
    Log log;
    TestTranslator translator(log);
    ShaderInfo info;
    EXPECT_FALSE(translator.Translate(info, ESSL20, 0, PIXEL_SHADER, bad));
    EXPECT_FALSE(translator.Succeeded());
    EXPECT_EQ(strstr(translator.GetOutput().c_str(), "int mask"), nullptr);
    EXPECT_STREQ(translator.Globals().c_str(), "int mask;\n");
    EXPECT_STREQ(log.text.c_str(), "Error: bit-wise operations are not supported.\n");

    AggregateNode* good = t.List({t.Function(Type::Void(), "main", {}, t.Block({}))});
    EXPECT_TRUE(translator.Translate(info, ESSL20, 0, PIXEL_SHADER, good));
    EXPECT_STREQ(translator.GetOutput().c_str(), "void main()\n{\n}\n");
    EXPECT_TRUE(translator.Prototypes().IsEmpty());
}

// A declaration list as the whole root, as a stage of declarations only.
TEST(TranslatorTranslate, AcceptsDeclarationRoot) {
    TreeBuilder t;
    Log log;
    TestTranslator translator(log);
    ShaderInfo info;
    ASSERT_TRUE(translator.Translate(info, HLSL11, 1, VERTEX_SHADER, t.Decl(TreeBuilder::Float(), {t.Sym("x")})));
    EXPECT_STREQ(translator.GetOutput().c_str(), "float x");
}

}  // namespace
}  // namespace ShaderTool
