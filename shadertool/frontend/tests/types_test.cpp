#include <gtest/gtest.h>

#include <cstdio>

#include "shadertool/frontend/nodes.h"
#include "shadertool/frontend/types.h"

using namespace ShaderTool;

TEST(Types, SpelledAndMangledNames) {
    Type float4_array = Type::Vector(TYPE_FLOAT, 4);
    float4_array.array_size = 8;
    Type bad_texture = Type::Texture(TEXTURE_NONE);
    struct Case {
        Type type;
        const char* spelled;
        const char* mangled;
    };
    const Case cases[] = {
        {Type::Scalar(TYPE_BOOL), "bool", "b"},
        {Type::Scalar(TYPE_FLOAT), "float", "f"},
        {Type::Vector(TYPE_INT, 3), "int3", "i3"},
        {Type::Vector(TYPE_FLOAT, 2), "float2", "f2"},
        {Type::Matrix(2), "float2x2", "f2x2"},
        {Type::Matrix(4), "float4x4", "f4x4"},
        {Type::Texture(TEXTURE_2D), "Texture2D", "t2"},
        {Type::Texture(TEXTURE_3D), "Texture3D", "t3"},
        {Type::Texture(TEXTURE_CUBE), "TextureCube", "tC"},
        {bad_texture, "", ""},
        {Type::Void(), "void", "void"},
        {Type(), "", ""},
        {Type::Structure("_Output"), "_Output", "_Output"},
        {float4_array, "float4", "f4"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(GetTypeName(c.type, false).c_str(), c.spelled);
        EXPECT_STREQ(GetTypeName(c.type, true).c_str(), c.mangled);
    }
}

TEST(Types, DefaultTypeIsNoType) {
    Type type;
    EXPECT_EQ(type.basic_type, TYPE_NONE);
    EXPECT_EQ(type.texture_kind, TEXTURE_NONE);
    EXPECT_EQ(type.vector_size, 0);
    EXPECT_EQ(type.matrix_size, 0);
    EXPECT_FALSE(type.constant);
}

TEST(Types, OperatorStrings) {
    struct Case {
        int op;
        const char* text;
    };
    const Case cases[] = {
        {OP_BITWISE_NOT, "~"},    {OP_PARENTHESES, "()"},      {OP_PRE_DECREMENT, "--"}, {OP_POST_INCREMENT, "++"},
        {OP_ASSIGN_LEFT_SHIFT, "<<="}, {OP_ASSIGN_XOR, "^="},  {OP_BITWISE_OR, "|"},     {OP_SELECT, "."},
        {OP_SUBSCRIPT, "[]"},     {OP_SUBTRACT, "-"},          {OP_CONDITIONAL, "?"},    {OP_ALTERNATIVES, ":"},
        {OP_NONE, ""},            {OP_BREAK, "break"},         {OP_RETURN, "return"},    {OP_USER_FUNCTION, ""},
        {OP_LIST, ""},            {OP_ABS, ""},                {OP_CONSTRUCT_INT4, ""},  {-1, ""},
        {1000, ""},
    };
    for (const Case& c : cases) EXPECT_STREQ(GetOperatorString(c.op), c.text) << c.op;
    // Fixed numbering the built-in tables and translators rely on.
    EXPECT_EQ(OP_SAMPLE_TEXTURE, 79);
    EXPECT_EQ(OP_SATURATE, 83);
    EXPECT_EQ(OP_TRANSPOSE, 90);
    EXPECT_EQ(OP_CONSTRUCT_FLOAT4X4, 98);
}

TEST(Types, ParserTypeConversion) {
    struct Case {
        ParserType parser_type;
        Type expected;
    };
    ParserType texture = {TYPE_TEXTURE, OP_NO_CONSTRUCTOR, TEXTURE_CUBE, 4, 2, 3, QUALIFIER_CONST};
    ParserType matrix = {TYPE_INT, OP_CONSTRUCT_FLOAT3X3, TEXTURE_2D, 2, 3, 3, QUALIFIER_CONST};
    ParserType vector = {TYPE_INT, OP_CONSTRUCT_INT2, TEXTURE_2D, 0, 2, 0, 0};
    Type const_matrix_array = Type::Matrix(3);
    const_matrix_array.array_size = 2;
    const_matrix_array.qualifier = QUALIFIER_CONST;
    const Case cases[] = {
        {texture, Type::Texture(TEXTURE_CUBE)},
        {matrix, const_matrix_array},
        {vector, Type::Vector(TYPE_INT, 2)},
    };
    for (const Case& c : cases) {
        Type type = GetTypeFromParserType(c.parser_type);
        EXPECT_EQ(type.basic_type, c.expected.basic_type);
        EXPECT_EQ(type.array_size, c.expected.array_size);
        EXPECT_EQ(type.vector_size, c.expected.vector_size);
        EXPECT_EQ(type.matrix_size, c.expected.matrix_size);
        EXPECT_EQ(type.qualifier, c.expected.qualifier);
        EXPECT_EQ(type.texture_kind, c.expected.texture_kind);
        EXPECT_FALSE(type.constant);
        EXPECT_TRUE(type.structure_name.IsEmpty());
    }
}

TEST(Nodes, LiteralsKeepOrGainTheFloatSuffix) {
    struct Case {
        BasicType type;
        const char* text;
        const char* stored;
    };
    const Case cases[] = {
        {TYPE_FLOAT, "2.", "2.f"}, {TYPE_FLOAT, "2.5F", "2.5F"}, {TYPE_FLOAT, "1e3f", "1e3f"},
        {TYPE_INT, "7", "7"},      {TYPE_BOOL, "true", "true"},
    };
    NodeList list;
    for (const Case& c : cases) {
        LiteralNode* literal = list.CreateLiteralNode(c.type, c.text, {3, 4});
        EXPECT_STREQ(literal->text.c_str(), c.stored);
        EXPECT_EQ(literal->type.basic_type, c.type);
        EXPECT_EQ(literal->type.vector_size, 1);
        EXPECT_TRUE(literal->type.constant);
        EXPECT_EQ(literal->location.line, 4);
    }
    EXPECT_EQ(list.Count(), 5);
}

TEST(Nodes, FunctionCallsAndConstructors) {
    NodeList list;
    FunctionIdentifier by_name = {};
    by_name.name = "shade";
    FunctionNode* call = list.CreateFunctionCallNode(by_name, {1, 2});
    EXPECT_EQ(call->node_type, ParserNode::FUNCTION_CALL_NODE);
    EXPECT_EQ(call->op, OP_USER_FUNCTION);
    EXPECT_STREQ(call->name.c_str(), "shade");
    EXPECT_EQ(call->type.basic_type, TYPE_NONE);
    ASSERT_EQ(call->children.count, 1);
    EXPECT_EQ(static_cast<AggregateNode*>(call->children[0])->op, OP_LIST);

    FunctionIdentifier by_type = {};
    by_type.is_constructor = true;
    by_type.type = {TYPE_FLOAT, OP_CONSTRUCT_FLOAT3X3, TEXTURE_NONE, 0, 0, 3, 0};
    FunctionNode* constructor = list.CreateFunctionCallNode(by_type, {1, 2});
    EXPECT_STREQ(constructor->name.c_str(), "float3x3");
    EXPECT_EQ(constructor->op, OP_CONSTRUCT_FLOAT3X3);
    EXPECT_TRUE(constructor->built_in);
    EXPECT_EQ(constructor->type.matrix_size, 3);

    // Casts of int operands to float: 92 float to 95 float4, the operand as
    // the only argument, its location and constant flag carried over.
    for (int size = 1; size <= 4; ++size) {
        LiteralNode* operand = list.CreateLiteralNode(TYPE_INT, "1", {5, 6});
        FunctionNode* cast = list.CreateCastNode(Type::Vector(TYPE_FLOAT, size), operand);
        EXPECT_EQ(cast->op, OP_CONSTRUCT_FLOAT + size - 1);
        EXPECT_TRUE(cast->type.constant);
        EXPECT_EQ(cast->location.column, 5);
        AggregateNode* arguments = static_cast<AggregateNode*>(cast->children[0]);
        ASSERT_EQ(arguments->children.count, 1);
        EXPECT_EQ(arguments->children[0], operand);
    }
    // Every node, argument lists included, belongs to the list.
    EXPECT_EQ(list.Count(), 4 + 4 * 3);
}

TEST(Nodes, MissingBodiesBecomeEmptyScopedLists) {
    NodeList list;
    SymbolNode* condition = list.CreateSymbolNode(Type::Scalar(TYPE_BOOL), "c");
    SelectionNode* selection = list.CreateSelectionNode(condition, {nullptr, nullptr});
    ASSERT_NE(selection->then_branch, nullptr);
    EXPECT_EQ(selection->then_branch->node_type, ParserNode::AGGREGATE_NODE);
    EXPECT_TRUE(static_cast<AggregateNode*>(selection->then_branch)->scoped);
    EXPECT_EQ(selection->else_branch, nullptr);

    IterationNode* loop = list.CreateIterationNode(IterationNode::WHILE, nullptr, condition, nullptr, nullptr);
    ASSERT_NE(loop->body, nullptr);
    EXPECT_TRUE(static_cast<AggregateNode*>(loop->body)->scoped);
    EXPECT_EQ(loop->condition, condition);
    EXPECT_EQ(list.Count(), 5);
}

// Nodes are freed through the list only; a tree shares no ownership, so
// destroying the list frees everything once (checked under ASan).
TEST(Nodes, ListOwnsAndFreesEveryNode) {
    NodeList list;
    Token token = {};
    token.location = {7, 9};
    snprintf(token.text, sizeof token.text, "%s", "position");
    SymbolNode* symbol = list.CreateSymbolNode(Type::Vector(TYPE_FLOAT, 4), token);
    EXPECT_STREQ(symbol->name.c_str(), "position");
    EXPECT_EQ(symbol->location.line, 9);
    EXPECT_FALSE(symbol->shader_constant);

    OperatorNode* add = list.CreateOperatorNode(OP_ADD, {1, 1});
    EXPECT_EQ(add->type.basic_type, TYPE_NONE);
    EXPECT_EQ(add->type.texture_kind, TEXTURE_NONE);
    add->left = symbol;
    add->right = symbol;
    JumpNode* jump = list.CreateJumpNode(OP_RETURN, add, {2, 2});
    AggregateNode* body = list.CreateSequenceNode(OP_LIST);
    body->children.InsertLast(jump);
    FunctionNode* function = list.CreateFunctionNode(ParserNode::FUNCTION_DEFINITION_NODE, "main", {1, 1});
    function->children.InsertLast(body);
    function->mangled_name = "main(";

    EXPECT_TRUE(list.RemoveAndDestroy(add));
    EXPECT_FALSE(list.RemoveAndDestroy(add));
    jump->operand = nullptr;
    EXPECT_EQ(list.Count(), 5);
    list.DestroyAll();
    EXPECT_EQ(list.Count(), 0);
    list.CreateSequenceNode(OP_DECLARATION_LIST);  // freed by the destructor
}

TEST(Nodes, FunctionNodesCopyWithTheirPointers) {
    NodeList list;
    FunctionNode* original = list.CreateFunctionNode(ParserNode::FUNCTION_DEFINITION_NODE, "f", {1, 1});
    original->mangled_name = "f(f";
    original->built_in = true;
    nArray<FunctionNode> table;
    for (int i = 0; i < 40; ++i) table.InsertLast(*original);  // grows past the first storage
    EXPECT_STREQ(table[39].name.c_str(), "f");
    EXPECT_STREQ(table[39].mangled_name.c_str(), "f(f");
    EXPECT_EQ(table[39].children[0], original->children[0]);
    EXPECT_EQ(table[39].node_type, ParserNode::FUNCTION_DEFINITION_NODE);
}
