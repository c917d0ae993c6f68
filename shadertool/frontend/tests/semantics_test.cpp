// The semantic checks on small hand-built trees: each case builds the nodes
// the grammar would, calls the check the grammar calls, and compares the
// resulting types, rewritten operands and log lines.
#include <gtest/gtest.h>

#include <string>

#include "shadertool/frontend/semantics.h"

using namespace ShaderTool;

namespace {

Type T(const char* short_name) { return GetTypeFromShortName(short_name); }

Type Const(Type type) {
    type.qualifier |= QUALIFIER_CONST;
    return type;
}

std::string Name(const Type& type) { return GetTypeName(type, false).c_str(); }

const Type& TypeOf(const ParserNode* node) { return static_cast<const TypedNode*>(node)->type; }

const SourceLocation kAt = {3, 2};  // messages read "(2:3)"

class SemanticsTest : public ::testing::Test {
protected:
    void SetUp() override { Begin(VERTEX_SHADER); }

    void Begin(ShaderType type) {
        nodes.DestroyAll();
        log.Clear();
        semantics.Reset();
        semantics.Initialize(type);
    }

    SymbolNode* Variable(const char* name, const Type& type) {
        SymbolNode* symbol = nodes.CreateSymbolNode(type, name);
        semantics.AddSymbol(symbol);
        return symbol;
    }
    LiteralNode* Int(const char* text) { return nodes.CreateLiteralNode(TYPE_INT, text, kAt); }
    LiteralNode* Float(const char* text) { return nodes.CreateLiteralNode(TYPE_FLOAT, text, kAt); }
    LiteralNode* Bool() { return nodes.CreateLiteralNode(TYPE_BOOL, "true", kAt); }

    OperatorNode* Apply(Operator op, ParserNode* left, ParserNode* right = nullptr) {
        OperatorNode* node = nodes.CreateOperatorNode(op, kAt);
        semantics.EvaluateGeneralOperationAndSetOperands(node, left, right);
        return node;
    }
    OperatorNode* Select(ParserNode* left, const char* member) {
        OperatorNode* node = nodes.CreateOperatorNode(OP_SELECT, kAt);
        semantics.EvaluateMemberOperationAndSetOperands(node, left, member);
        return node;
    }
    OperatorNode* Subscript(ParserNode* array, ParserNode* index) {
        OperatorNode* node = nodes.CreateOperatorNode(OP_SUBSCRIPT, kAt);
        semantics.EvaluateSubscriptOperationAndSetOperands(node, array, index);
        return node;
    }
    OperatorNode* Parenthesized(ParserNode* inner) {
        OperatorNode* node = nodes.CreateOperatorNode(OP_PARENTHESES, kAt);
        node->left = inner;
        node->type = static_cast<TypedNode*>(inner)->type;
        return node;
    }
    FunctionNode* Call(const char* name, std::initializer_list<ParserNode*> arguments) {
        FunctionNode* call = nodes.CreateFunctionNode(ParserNode::FUNCTION_CALL_NODE, name, kAt);
        for (ParserNode* argument : arguments) Arguments(call)->children.InsertLast(argument);
        semantics.EvaluateFunctionCall(call);
        return call;
    }
    FunctionNode* Construct(Operator id, const Type& type, std::initializer_list<ParserNode*> arguments) {
        FunctionNode* call =
            nodes.CreateFunctionNode(ParserNode::FUNCTION_CALL_NODE, GetTypeName(type, false).c_str(), kAt);
        call->type = type;
        call->op = id;
        call->built_in = true;
        for (ParserNode* argument : arguments) Arguments(call)->children.InsertLast(argument);
        semantics.EvaluateFunctionCall(call);
        return call;
    }
    FunctionNode* Function(const char* name, const Type& result, std::initializer_list<SymbolNode*> parameters,
                           SourceLocation at = kAt) {
        FunctionNode* function = nodes.CreateFunctionNode(ParserNode::FUNCTION_DEFINITION_NODE, name, at);
        function->type = result;
        for (SymbolNode* parameter : parameters) Arguments(function)->children.InsertLast(parameter);
        return function;
    }
    SymbolNode* Parameter(const char* name, const Type& type) { return nodes.CreateSymbolNode(type, name); }
    static AggregateNode* Arguments(FunctionNode* call) { return static_cast<AggregateNode*>(call->children[0]); }

    std::string Log() const { return log.GetText(); }
    // The single message expected at kAt.
    static std::string At(const std::string& message) { return "(2:3) error: " + message + "\n"; }

    ShaderTool::Log log;
    NodeList nodes;
    Semantics semantics{log, nodes};
};

// --- Operators ---------------------------------------------------------------------

TEST_F(SemanticsTest, OperatorsTakeTheFirstRowThatAcceptsTheOperands) {
    struct Case {
        Operator op;
        const char* left;
        const char* right;  // null for unary operators
        const char* result;  // "" when no row matches
    };
    const Case cases[] = {
        {OP_MULTIPLY, "f3", "f3x3", "float3"},
        {OP_MULTIPLY, "f3x3", "f3", ""},
        {OP_MULTIPLY, "f", "f2x2", "float2x2"},
        {OP_ADD, "f", "f2x2", "float2x2"},
        {OP_SUBTRACT, "f", "f2x2", "float2x2"},
        {OP_DIVIDE, "f", "f2x2", ""},
        {OP_ADD, "i", "i3", "int3"},
        {OP_ADD, "i3", "f3", "float3"},  // the int vector is read as float3
        {OP_NEGATE, "f", nullptr, "float"},
        {OP_UNARY_PLUS, "f", nullptr, ""},
        {OP_UNARY_PLUS, "i2", nullptr, "int2"},
        {OP_EQUAL, "b", "b", "bool"},
        {OP_NOT_EQUAL, "f4x4", "f4x4", "bool"},
        {OP_LESS, "i2", "i2", ""},
        {OP_GREATER_EQUAL, "i", "f", "bool"},
        {OP_MODULO, "f", "f", ""},
        {OP_MODULO, "i3", "i", "int3"},
        {OP_LEFT_SHIFT, "i2", "i2", "int2"},
        {OP_BITWISE_AND, "f", "f", ""},
        {OP_LOGICAL_AND, "i", "i", ""},
        {OP_LOGICAL_NOT, "b", nullptr, "bool"},
        {OP_CONDITIONAL, "b", "f4", "float4"},
        {OP_ALTERNATIVES, "f2", "f2", "float2"},
    };
    for (const Case& c : cases) {
        Begin(VERTEX_SHADER);
        SymbolNode* left = Variable("a", T(c.left));
        SymbolNode* right = c.right ? Variable("b", T(c.right)) : nullptr;
        OperatorNode* node = Apply(c.op, left, right);
        std::string where = std::string(GetOperatorString(c.op)) + " " + c.left + " " + (c.right ? c.right : "");
        if (c.result[0]) {
            EXPECT_EQ(Name(node->type), c.result) << where;
            EXPECT_EQ(Log(), "") << where;
        } else {
            EXPECT_EQ(node->type.basic_type, TYPE_NONE) << where;
            EXPECT_EQ(Log(), At(std::string("no operator '") + GetOperatorString(c.op) + "' matches the operands."))
                << where;
        }
    }
}

TEST_F(SemanticsTest, IntLiteralIsRewrittenAndOtherIntOperandsAreWrapped) {
    SymbolNode* f = Variable("f", T("f"));
    SymbolNode* i = Variable("i", T("i"));

    struct Case {
        const char* text;
        const char* rewritten;
    };
    const Case literals[] = {{"1", "1.000000f"}, {"010", "8.000000f"}, {"0x10", "16.000000f"}, {"7", "7.000000f"}};
    for (const Case& c : literals) {
        LiteralNode* literal = Int(c.text);
        OperatorNode* sum = Apply(OP_ADD, f, literal);
        EXPECT_EQ(sum->right, literal) << "converted in place";
        EXPECT_STREQ(literal->text.c_str(), c.rewritten);
        EXPECT_EQ(literal->type.basic_type, TYPE_FLOAT);
        EXPECT_TRUE(literal->type.constant);
        EXPECT_EQ(Name(sum->type), "float");
    }

    OperatorNode* sum = Apply(OP_ADD, f, i);
    ASSERT_EQ(sum->right->node_type, ParserNode::FUNCTION_CALL_NODE);
    FunctionNode* cast = static_cast<FunctionNode*>(sum->right);
    EXPECT_EQ(cast->op, OP_CONSTRUCT_FLOAT);
    EXPECT_EQ(Name(cast->type), "float");
    ASSERT_EQ(Arguments(cast)->children.count, 1);
    EXPECT_EQ(Arguments(cast)->children[0], i);

    // A left int operand of an ordinary operator is read as float too.
    OperatorNode* product = Apply(OP_MULTIPLY, i, f);
    EXPECT_EQ(product->left->node_type, ParserNode::FUNCTION_CALL_NODE);
    EXPECT_EQ(Name(product->type), "float");
    EXPECT_EQ(Log(), "");
}

TEST_F(SemanticsTest, AssignmentConvertsTheValueButNeverTheTarget) {
    SymbolNode* f = Variable("f", T("f3"));
    SymbolNode* i = Variable("i", T("i3"));
    OperatorNode* assign = Apply(OP_ASSIGN, f, i);
    EXPECT_EQ(assign->left, f);
    EXPECT_EQ(assign->right->node_type, ParserNode::FUNCTION_CALL_NODE);
    EXPECT_EQ(static_cast<FunctionNode*>(assign->right)->op, OP_CONSTRUCT_FLOAT3);
    EXPECT_EQ(Log(), "");

    OperatorNode* back = Apply(OP_ASSIGN, i, f);
    EXPECT_EQ(back->type.basic_type, TYPE_NONE);
    EXPECT_EQ(Log(), At("no operator '=' matches the operands."));

    log.Clear();
    Apply(OP_ASSIGN_ADD, Variable("n", T("i")), Float("1.0"));
    EXPECT_EQ(Log(), At("no operator '+=' matches the operands."));
}

TEST_F(SemanticsTest, ResultTakesArraySizeAndQualifierFromTheLeftAndConstantFromBoth) {
    LiteralNode* one = Int("1");
    LiteralNode* two = Int("2");
    OperatorNode* sum = Apply(OP_ADD, one, two);
    EXPECT_TRUE(sum->type.constant);
    SymbolNode* variable = Variable("v", T("i"));
    EXPECT_FALSE(Apply(OP_ADD, Int("1"), variable)->type.constant);
    OperatorNode* negated = Apply(OP_NEGATE, Int("3"));
    EXPECT_TRUE(negated->type.constant);

    SymbolNode* constant = Variable("c", Const(T("f")));
    EXPECT_TRUE(Apply(OP_MULTIPLY, constant, Float("2.0"))->type.IsConst());
    // Arrays are no operands of ordinary operators.
    Type array = T("f");
    array.array_size = 3;
    Apply(OP_ADD, Variable("a", array), Float("1.0"));
    EXPECT_EQ(Log(), At("no operator '+' matches the operands."));
}

// --- L-values ----------------------------------------------------------------------

TEST_F(SemanticsTest, OnlyWritableVariablesCanBeModified) {
    ShaderInfo info;
    ShaderVertexInputVariable position;
    position.id = "position";
    position.type = Const(T("f4"));
    info.vertex_input.InsertLast(position);
    ShaderVertexOutputVariable color;
    color.id = "color";
    color.type = T("f4");
    info.vertex_output.InsertLast(color);

    // Each target is built afresh by `make`; the value is an int or float4.
    enum Target { LITERAL, VARIABLE, CONST_VARIABLE, INPUT_MEMBER, OUTPUT_MEMBER, OUTPUT, SWIZZLE, REPEATED_SWIZZLE,
                  ELEMENT, PARENTHESES, SUM, CALL, PLACEHOLDER, INT_VARIABLE, CONST_INT };
    struct TargetCase {
        Target target;
        Operator op;
        bool accepted;
    };
    const TargetCase cases[] = {
        {LITERAL, OP_POST_INCREMENT, false},       {LITERAL, OP_PRE_DECREMENT, false},
        {INPUT_MEMBER, OP_PRE_INCREMENT, false},   {INPUT_MEMBER, OP_ASSIGN, false},
        {CONST_INT, OP_ASSIGN_AND, false},         {CONST_INT, OP_ASSIGN_OR, false},
        {CONST_INT, OP_ASSIGN_XOR, false},         {CONST_INT, OP_ASSIGN_LEFT_SHIFT, false},
        {CONST_INT, OP_ASSIGN_RIGHT_SHIFT, false}, {CONST_INT, OP_POST_DECREMENT, false},
        {INT_VARIABLE, OP_ASSIGN_AND, true},       {INT_VARIABLE, OP_POST_INCREMENT, true},
        {VARIABLE, OP_ASSIGN, true},               {VARIABLE, OP_ASSIGN_MULTIPLY, true},
        {CONST_VARIABLE, OP_ASSIGN, false},        {OUTPUT_MEMBER, OP_ASSIGN, true},
        {OUTPUT, OP_ASSIGN, false},                {SWIZZLE, OP_ASSIGN, true},
        {REPEATED_SWIZZLE, OP_ASSIGN, false},      {ELEMENT, OP_ASSIGN, true},
        {PARENTHESES, OP_ASSIGN, true},            {SUM, OP_ASSIGN, false},
        {CALL, OP_ASSIGN, false},                  {PLACEHOLDER, OP_ASSIGN, false},
    };
    for (const TargetCase& c : cases) {
        Begin(VERTEX_SHADER);
        semantics.InitializeStructuresAndVariables(info);
        semantics.SetFunctionActive(Function("main", Type::Void(), {}));
        SymbolNode* vector = Variable("v", T("f4"));
        Type array_type = T("f4");
        array_type.array_size = 2;
        ParserNode* target = nullptr;
        switch (c.target) {
        case LITERAL: target = Int("1"); break;
        case VARIABLE: target = vector; break;
        case CONST_VARIABLE: target = Variable("k", Const(T("f4"))); break;
        case INPUT_MEMBER: target = Select(semantics.GetSymbolNode("input", kAt), "position"); break;
        case OUTPUT_MEMBER: target = Select(semantics.GetSymbolNode("output", kAt), "color"); break;
        case OUTPUT: target = semantics.GetSymbolNode("output", kAt); break;
        case SWIZZLE: target = Select(vector, "wzyx"); break;
        case REPEATED_SWIZZLE: target = Select(vector, "xxyz"); break;
        case ELEMENT: target = Subscript(Variable("a", array_type), Int("1")); break;
        case PARENTHESES: target = Parenthesized(vector); break;
        case SUM: target = Apply(OP_ADD, vector, Variable("w", T("f4"))); break;
        case CALL: target = Call("normalize", {vector}); break;
        case PLACEHOLDER: target = semantics.placeholder; break;
        case INT_VARIABLE: target = Variable("n", T("i")); break;
        case CONST_INT: target = Variable("n", Const(T("i"))); break;
        }
        ASSERT_EQ(Log(), "") << "case " << c.target;
        bool unary = c.op >= OP_POST_DECREMENT && c.op <= OP_PRE_INCREMENT;
        bool int_value = c.target == LITERAL || c.target == INT_VARIABLE || c.target == CONST_INT ||
                         c.target == PLACEHOLDER;
        ParserNode* value = unary ? nullptr : int_value ? static_cast<ParserNode*>(Int("1"))
                                                        : static_cast<ParserNode*>(Variable("value", T("f4")));
        OperatorNode* node = Apply(c.op, target, value);
        if (c.accepted) {
            EXPECT_EQ(Log(), "") << "case " << c.target << " op " << c.op;
            EXPECT_NE(node->type.basic_type, TYPE_NONE) << "case " << c.target << " op " << c.op;
        } else {
            EXPECT_EQ(Log(), At("expression must be a modifiable l-value.")) << "case " << c.target << " op " << c.op;
            EXPECT_EQ(node->type.basic_type, TYPE_NONE);
        }
    }
}

TEST_F(SemanticsTest, ReadingARepeatedSwizzleDoesNotLockTheVariable) {
    // The grammar hands out the same symbol node for every use of a name.
    SymbolNode* v = Variable("v", T("f3"));
    OperatorNode* read = Select(v, "xx");
    EXPECT_TRUE(v->flags & ParserNode::FLAG_REPEATED_SWIZZLE);
    Apply(OP_ADD, read, Variable("w", T("f2")));
    Apply(OP_ASSIGN, Select(v, "xy"), Variable("u", T("f2")));
    EXPECT_EQ(Log(), "");
}

TEST_F(SemanticsTest, DeclarationInitializerIsExemptFromTheLValueRule) {
    SourceLocation name_at = {5, 1};
    ParserNode* declared = semantics.DeclareVariable(Const(T("f")), "k", name_at, Float("2.0"), kAt);
    ASSERT_EQ(declared->node_type, ParserNode::OPERATOR_NODE);
    EXPECT_TRUE(declared->flags & ParserNode::FLAG_DECLARATION_INITIALIZER);
    EXPECT_EQ(Name(static_cast<OperatorNode*>(declared)->type), "float");
    EXPECT_EQ(Log(), "");
}

// --- Outputs -----------------------------------------------------------------------

// Each stage must write every member of output: whole, by one component or
// by a compound assignment; a read sets nothing. The vertex stage's members
// are the vertex outputs, the pixel stage's the pixel outputs.
TEST_F(SemanticsTest, EveryOutputOfEitherStageMustBeWritten) {
    const char* names[] = {"position", "color", "uv", "fog"};
    for (ShaderType stage : {VERTEX_SHADER, PIXEL_SHADER}) {
        const char* label = stage == VERTEX_SHADER ? "vertex" : "pixel";
        Begin(stage);
        ShaderInfo info;
        for (const char* name : names) {
            ShaderVertexOutputVariable vertex_output;
            vertex_output.id = name;
            vertex_output.type = T("f4");
            info.vertex_output.InsertLast(vertex_output);
            ShaderPixelOutputVariable pixel_output;
            pixel_output.id = name;
            info.pixel_output.InsertLast(pixel_output);
        }
        semantics.InitializeStructuresAndVariables(info);
        semantics.SetFunctionActive(Function("main", Type::Void(), {}));
        SymbolNode* output = semantics.GetSymbolNode("output", kAt);
        SymbolNode* value = Variable("value", T("f4"));
        Apply(OP_ASSIGN, Select(output, "position"), value);                   // whole member
        Apply(OP_ASSIGN, Select(Select(output, "color"), "x"), Float("1.0"));  // one component
        Apply(OP_ASSIGN_ADD, Select(output, "uv"), value);                     // compound assignment
        Apply(OP_ADD, Select(output, "fog"), value);                           // a read sets nothing
        EXPECT_EQ(Log(), "") << label;
        semantics.CheckOutputsNotSet();
        EXPECT_EQ(Log(), std::string("(0:0) error: ") + label + " shader output 'fog' is not set.\n") << label;
    }
}

// --- Subscripts --------------------------------------------------------------------

TEST_F(SemanticsTest, SubscriptsOfArraysVectorsAndMatrices) {
    Type array_type = T("f3");
    array_type.array_size = 4;
    SymbolNode* array = Variable("a", array_type);
    SymbolNode* i = Variable("i", T("i"));
    struct Case {
        ParserNode* base;
        ParserNode* index;
        const char* result;
        const char* message;  // "" when accepted
    };
    const Case cases[] = {
        {array, Int("3"), "float3", ""},
        {array, i, "float3", ""},
        {array, Int("0x3"), "float3", ""},
        {array, Int("4"), "float3", "array index 4 is out of range for an array of size 4."},
        {array, Apply(OP_NEGATE, Int("1")), "float3", "array index -1 is out of range for an array of size 4."},
        {array, Float("1.0"), "", "array index must be an int scalar."},
        {array, Variable("i2", T("i2")), "", "array index must be an int scalar."},
        {Variable("v", T("i4")), Int("1"), "int", ""},
        {Variable("m", T("f3x3")), Int("2"), "float3", ""},
        // Components and rows are counted as array elements are.
        {Variable("v4", T("f4")), Int("5"), "float", "index 5 is out of range for a vector of size 4."},
        {Variable("v2", T("i2")), Int("2"), "int", "index 2 is out of range for a vector of size 2."},
        {Variable("v3", T("f3")), Apply(OP_NEGATE, Int("1")), "float", "index -1 is out of range for a vector of size 3."},
        {Variable("m3", T("f2x2")), Int("2"), "float2", "index 2 is out of range for a matrix of size 2."},
        {Variable("m4", T("f4x4")), Int("3"), "float4", ""},
        {Variable("v5", T("f4")), i, "float", ""},
        {Variable("m2", T("f2x2")), Float("0.0"), "", "no operator '[]' matches the operands."},
        {Variable("s", T("f")), Int("0"), "", "no operator '[]' matches the operands."},
    };
    for (const Case& c : cases) {
        log.Clear();
        OperatorNode* node = Subscript(c.base, c.index);
        EXPECT_EQ(Log(), c.message[0] ? At(c.message) : "") << c.message;
        if (c.result[0]) {
            EXPECT_EQ(Name(node->type), c.result);
            EXPECT_EQ(node->type.array_size, 0);
        } else {
            EXPECT_EQ(node->type.basic_type, TYPE_NONE);
        }
    }
}

// --- Member selection ----------------------------------------------------------------

TEST_F(SemanticsTest, SwizzlesAndStructureMembers) {
    ShaderInfo info;
    ShaderVertexInputVariable normal;
    normal.id = "normal";
    normal.type = Const(T("f3"));
    info.vertex_input.InsertLast(normal);
    semantics.InitializeStructuresAndVariables(info);
    semantics.SetFunctionActive(Function("main", Type::Void(), {}));

    struct Case {
        const char* type;  // of the variable "v"; "" selects from input
        const char* member;
        const char* result;
        const char* quoted;  // what the message names; "" when accepted
    };
    const Case cases[] = {
        {"f4", "xyzw", "float4", ""},    {"f4", "bgra", "float4", ""},   {"i3", "zy", "int2", ""},
        {"f3", "xq", "", "float3"},      {"f3", "xg", "", "float3"},     {"f2", "z", "", "float2"},
        {"f4", "xyzwx", "", "float4"},   {"f4", "X", "", "float4"},      {"f", "x", "", "float"},
        {"f3x3", "x", "", "float3x3"},   {"", "normal", "float3", ""},   {"", "vertex_id", "int", ""},
        {"", "missing", "", "input"},
    };
    for (const Case& c : cases) {
        log.Clear();
        ParserNode* left = c.type[0] ? static_cast<ParserNode*>(nodes.CreateSymbolNode(T(c.type), "v"))
                                     : static_cast<ParserNode*>(semantics.GetSymbolNode("input", kAt));
        OperatorNode* node = Select(left, c.member);
        if (c.result[0]) {
            EXPECT_EQ(Log(), "") << c.member;
            EXPECT_EQ(Name(node->type), c.result) << c.member;
            EXPECT_EQ(node->left, left);
            ASSERT_EQ(node->right->node_type, ParserNode::SYMBOL_NODE);
            EXPECT_STREQ(static_cast<SymbolNode*>(node->right)->name.c_str(), c.member);
        } else {
            EXPECT_EQ(Log(), At(std::string("'") + c.quoted + "' has no member '" + c.member + "'.")) << c.member;
            EXPECT_EQ(node->type.basic_type, TYPE_NONE);
            EXPECT_EQ(node->left, semantics.placeholder);
            EXPECT_EQ(node->right, semantics.placeholder);
        }
    }
    // A swizzle keeps the vector's qualifier and constant flag.
    Type constant = Const(T("f4"));
    constant.constant = true;
    OperatorNode* swizzle = Select(nodes.CreateSymbolNode(constant, "c"), "xy");
    EXPECT_TRUE(swizzle->type.IsConst());
    EXPECT_TRUE(swizzle->type.constant);
}

TEST_F(SemanticsTest, AnArrayOfVectorsHasNoComponents) {
    Type array_type = T("f4");
    array_type.array_size = 3;
    Select(Variable("a", array_type), "xy");
    EXPECT_EQ(Log(), At("'float4' has no member 'xy'."));
}

// --- Calls -----------------------------------------------------------------------------

TEST_F(SemanticsTest, CallsResolveToTheFirstOverloadThatFits) {
    SymbolNode* f2 = Variable("f2", T("f2"));
    SymbolNode* f = Variable("f", T("f"));

    FunctionNode* lerp = Call("lerp", {f2, f2, f});
    EXPECT_EQ(lerp->op, OP_LERP);
    EXPECT_TRUE(lerp->built_in);
    EXPECT_EQ(Name(lerp->type), "float2");
    EXPECT_EQ(Arguments(lerp)->children[2], f) << "float (float2, float2, float) comes first";

    LiteralNode* one = Int("1");
    FunctionNode* sine = Call("sin", {one});
    EXPECT_EQ(sine->op, OP_SIN);
    EXPECT_STREQ(one->text.c_str(), "1.000000f");

    LiteralNode* two = Int("2");
    FunctionNode* to_float = Construct(OP_CONSTRUCT_FLOAT, T("f"), {two});
    EXPECT_STREQ(two->text.c_str(), "2") << "float (int) is taken before float (float)";
    EXPECT_TRUE(to_float->type.constant);

    SymbolNode* i = Variable("i", T("i"));
    FunctionNode* vector = Construct(OP_CONSTRUCT_FLOAT3, T("f3"), {f, i, Float("1.0")});
    EXPECT_EQ(Arguments(vector)->children[1]->node_type, ParserNode::FUNCTION_CALL_NODE);
    EXPECT_FALSE(vector->type.constant);
    EXPECT_TRUE(Construct(OP_CONSTRUCT_FLOAT2, T("f2"), {Float("1.0"), Int("2")})->type.constant);
    EXPECT_EQ(Log(), "");
}

TEST_F(SemanticsTest, CallsThatFindNothing) {
    Type cube = Type::Texture(TEXTURE_CUBE);
    struct Case {
        const char* name;
        std::initializer_list<const char*> arguments;
        const char* message;
    };
    const Case cases[] = {
        {"transpose", {"f2"}, "no instance of function 'transpose' matches the argument list."},
        {"all", {"f"}, "no instance of function 'all' matches the argument list."},
        {"int2", {"f2"}, "no instance of function 'int2' matches the argument list."},
        {"cross", {"f4", "f4"}, "no instance of function 'cross' matches the argument list."},
        {"frobnicate", {"f"}, "undeclared function 'frobnicate'."},
        {"sampl", {"f"}, "undeclared function 'sampl'."},
    };
    for (const Case& c : cases) {
        log.Clear();
        FunctionNode* call = nodes.CreateFunctionNode(ParserNode::FUNCTION_CALL_NODE, c.name, kAt);
        for (const char* argument : c.arguments)
            Arguments(call)->children.InsertLast(nodes.CreateSymbolNode(T(argument), "x"));
        semantics.EvaluateFunctionCall(call);
        EXPECT_EQ(Log(), At(c.message));
        EXPECT_EQ(call->type.basic_type, TYPE_NONE);
    }
    log.Clear();
    Call("sampleTextureLodOffset", {nodes.CreateSymbolNode(cube, "t"), Variable("c", T("f3")), Float("0.0"),
                                    Variable("o", T("i3"))});
    EXPECT_EQ(Log(), At("no instance of function 'sampleTextureLodOffset' matches the argument list."));
}

// --- Functions -----------------------------------------------------------------------

TEST_F(SemanticsTest, PrototypeCallThenDefinitionLeaveOneNode) {
    FunctionNode* prototype = Function("scale", T("f"), {Parameter("x", T("f"))});
    EXPECT_EQ(semantics.AddFunction(prototype, false), prototype);
    FunctionNode* call = Call("scale", {Int("2")});
    EXPECT_EQ(call->op, OP_USER_FUNCTION);
    EXPECT_EQ(prototype->reference_count, 1);

    FunctionNode* definition = Function("scale", T("f"), {Parameter("y", T("f"))});
    AggregateNode* definition_parameters = Arguments(definition);
    FunctionNode* active = semantics.AddFunction(definition, true);
    EXPECT_EQ(active, prototype);
    EXPECT_TRUE(prototype->defined);
    EXPECT_EQ(Arguments(prototype), definition_parameters);
    EXPECT_STREQ(prototype->mangled_name.c_str(), "scale,f");
    semantics.SetFunctionActive(active);
    EXPECT_EQ(semantics.GetSymbolNode("y", kAt)->type.basic_type, TYPE_FLOAT);
    EXPECT_EQ(Log(), "");
}

TEST_F(SemanticsTest, FunctionTableMessages) {
    SourceLocation second = {1, 9};
    struct Step {
        const char* name;
        const char* result;
        const char* parameter;  // "" for none
        bool definition;
        const char* message;    // "" when accepted
    };
    const Step steps[] = {
        {"sin", "f", "f", true, "function 'sin' already has a definition."},
        {"sin", "f", "i", true, ""},  // a new overload
        {"twice", "f", "f", false, ""},
        {"twice", "f", "f", false, "function 'twice' already has a declaration."},
        {"once", "f", "", true, ""},
        {"once", "f", "", true, "function 'once' already has a definition."},
        {"once", "f", "", false, "function 'once' already has a declaration."},
        {"main", "void", "", false, "main() must be defined only and can not have overloads."},
        {"main", "i", "", true, "main() must be defined only and can not have overloads."},
        {"main", "void", "i", true, "main() must be defined only and can not have overloads."},
    };
    for (const Step& step : steps) {
        log.Clear();
        FunctionNode* function = Function(step.name, T(step.result), {}, second);
        if (step.parameter[0]) Arguments(function)->children.InsertLast(Parameter("p", T(step.parameter)));
        semantics.AddFunction(function, step.definition);
        EXPECT_EQ(Log(), step.message[0] ? "(9:1) error: " + std::string(step.message) + "\n" : "")
            << step.name << " " << step.parameter;
    }
    // sin(int) was entered, but an int argument still reaches the built-in.
    FunctionNode* call = Call("sin", {Variable("n", T("i"))});
    EXPECT_EQ(call->op, OP_SIN);
}

TEST_F(SemanticsTest, EndOfSourceChecks) {
    FunctionNode* helper = Function("helper", T("f"), {}, SourceLocation{4, 7});
    semantics.AddFunction(helper, false);
    Call("helper", {});
    semantics.CheckFunctionDefinitions();
    EXPECT_EQ(Log(),
              "(0:0) error: main() has no definition.\n"
              "(7:4) error: function 'helper' is referenced but has no definition.\n");

    Begin(VERTEX_SHADER);
    semantics.AddFunction(Function("main", Type::Void(), {}), true);
    semantics.AddFunction(Function("unused", T("f"), {}), false);
    semantics.CheckFunctionDefinitions();
    EXPECT_EQ(Log(), "");
}

TEST_F(SemanticsTest, ReturnsAgainstTheActiveFunction) {
    struct Case {
        const char* function;
        const char* result;
        const char* value;  // short type name, "lit" for an int literal, "" for none
        const char* message;
    };
    const Case cases[] = {
        {"f", "f3", "f3", ""},
        {"f", "f", "lit", ""},
        {"f", "f2", "i2", ""},
        {"f", "i", "f", "return value type does not match the function type."},
        {"f", "f3", "f4", "return value type does not match the function type."},
        {"f", "f", "", "return value type does not match the function type."},
        {"f", "void", "", ""},
        {"f", "void", "f", "return value type does not match the function type."},
        {"main", "void", "", "returning from main() is not allowed."},
    };
    for (const Case& c : cases) {
        Begin(VERTEX_SHADER);
        semantics.SetFunctionActive(Function(c.function, T(c.result), {}));
        ParserNode* value = nullptr;
        if (std::string(c.value) == "lit")
            value = Int("4");
        else if (c.value[0])
            value = Variable("value", T(c.value));
        JumpNode* jump = nodes.CreateJumpNode(OP_RETURN, value, kAt);
        semantics.ValidateReturn(jump);
        EXPECT_EQ(Log(), c.message[0] ? At(c.message) : "") << c.result << " " << c.value;
        if (value && !c.message[0] && std::string(c.result) != c.value) {
            EXPECT_EQ(TypeOf(jump->operand).basic_type, TYPE_FLOAT);
        }
        EXPECT_EQ(semantics.return_count, 1);
    }
}

TEST_F(SemanticsTest, NonVoidFunctionMustReturnSomewhere) {
    semantics.SetFunctionActive(Function("value", T("f"), {}, SourceLocation{2, 6}));
    semantics.ResetActiveFunction();
    EXPECT_EQ(Log(), "(6:2) error: function 'value' must return a value.\n");

    log.Clear();
    semantics.SetFunctionActive(Function("other", T("f"), {}));
    semantics.ValidateReturn(nodes.CreateJumpNode(OP_RETURN, Float("1.0"), kAt));
    semantics.ResetActiveFunction();
    semantics.SetFunctionActive(Function("nothing", Type::Void(), {}));
    semantics.ResetActiveFunction();
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(semantics.active_function, nullptr);
}

TEST_F(SemanticsTest, FunctionAndParameterTypes) {
    struct Case {
        Type type;
        const char* name;
        bool is_function;
        const char* message;
    };
    const Case cases[] = {
        {T("f4"), "p", false, ""},
        {Type::Void(), "f", true, ""},
        {Type::Void(), "p", false, "invalid type specifier."},
        {Type::Texture(TEXTURE_2D), "p", false, "invalid type specifier."},
        {Type::Structure("_Input"), "f", true, "invalid type specifier."},
        {Const(T("f")), "p", false, "'const' is not allowed in function declarations."},
        {Const(T("f")), "f", true, "'const' is not allowed in function declarations."},
        {T("f2"), "texture", false, "parameter can not have the same name as built-in variable 'texture'."},
        {T("f2"), "input", false, ""},
    };
    for (const Case& c : cases) {
        log.Clear();
        TypedNode* node;
        if (c.is_function) {
            node = Function(c.name, c.type, {});
        } else {
            node = Parameter(c.name, c.type);
            node->location = kAt;
        }
        semantics.CheckFunctionType(node, c.is_function);
        EXPECT_EQ(Log(), c.message[0] ? At(c.message) : "") << c.name << " " << c.message;
    }
}

// --- Symbols ---------------------------------------------------------------------------

TEST_F(SemanticsTest, ScopesNeverHideAName) {
    SymbolNode* global = Variable("x", T("f"));
    semantics.PushSymbolTableFrame();
    SymbolNode* inner = nodes.CreateSymbolNode(T("i"), "x");
    inner->location = kAt;
    semantics.AddSymbol(inner);
    EXPECT_EQ(Log(), At("symbol 'x' already has a declaration."));
    EXPECT_EQ(semantics.GetSymbolNode("x", kAt), global);

    log.Clear();
    SymbolNode* local = Variable("y", T("i"));
    EXPECT_EQ(semantics.GetSymbolNode("y", kAt), local);
    semantics.PopSymbolTableFrame();
    SymbolNode* unknown = semantics.GetSymbolNode("y", kAt);
    EXPECT_EQ(Log(), At("undeclared identifier 'y'."));
    EXPECT_TRUE(unknown->name.IsEmpty());
    EXPECT_EQ(unknown->type.basic_type, TYPE_NONE);
    EXPECT_EQ(semantics.symbol_table.SymbolCount(), 1);

    log.Clear();
    Variable("y", T("f2"));  // free again once its frame closed
    semantics.AddSymbol(nodes.CreateSymbolNode(T("f"), ""));  // unnamed parameters are not entered
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(semantics.symbol_table.SymbolCount(), 2);
}

TEST_F(SemanticsTest, BuiltInVariablesPerStageAndVersion) {
    ShaderInfo info;
    ShaderConstantVariable scale;
    scale.id = "scale";
    scale.type = Const(T("f4"));
    info.vertex_constants.InsertLast(scale);
    info.pixel_constants.InsertLast(scale);
    ShaderTextureVariable diffuse;
    diffuse.id = "diffuse";
    diffuse.type = Type::Texture(TEXTURE_CUBE);
    info.pixel_textures.InsertLast(diffuse);

    info.version = 0x20002;  // constants are variables of their own
    semantics.InitializeStructuresAndVariables(info);
    SymbolNode* variable = semantics.GetSymbolNode("scale", kAt);
    EXPECT_TRUE(variable->shader_constant);
    EXPECT_EQ(Name(variable->type), "float4");
    semantics.GetSymbolNode("texture", kAt);
    EXPECT_EQ(Log(), At("undeclared identifier 'texture'.")) << "no textures in a vertex source";

    Begin(PIXEL_SHADER);
    EXPECT_EQ(semantics.GetStructureMemberType("_Input", "instance_id").basic_type, TYPE_NONE)
        << "a reset empties the structures";
    info.version = 0x20003;  // constants are members of "constants"
    semantics.InitializeStructuresAndVariables(info);
    semantics.GetSymbolNode("scale", kAt);
    EXPECT_EQ(Log(), At("undeclared identifier 'scale'."));
    log.Clear();
    EXPECT_EQ(Name(Select(semantics.GetSymbolNode("constants", kAt), "scale")->type), "float4");
    OperatorNode* texture = Select(semantics.GetSymbolNode("texture", kAt), "diffuse");
    EXPECT_EQ(texture->type.texture_kind, TEXTURE_CUBE);
    EXPECT_EQ(Log(), "");
    // input and output exist inside main only.
    semantics.GetSymbolNode("input", kAt);
    EXPECT_EQ(Log(), At("undeclared identifier 'input'."));
    log.Clear();
    semantics.PushSymbolTableFrame();
    semantics.SetFunctionActive(Function("main", Type::Void(), {}));
    EXPECT_EQ(Name(Select(semantics.GetSymbolNode("input", kAt), "face_direction")->type), "float");
    EXPECT_EQ(Name(Select(semantics.GetSymbolNode("input", kAt), "is_front_facing")->type), "bool");
    EXPECT_EQ(Log(), "");
}

// --- Declarations --------------------------------------------------------------------

TEST_F(SemanticsTest, DeclarationMessages) {
    SymbolNode* uniform = Variable("uniform", Const(T("f")));  // a Shader XML constant: not known at translation
    uniform->location = kAt;
    struct Case {
        Type type;
        const char* name;
        ParserNode* initializer;
        const char* message;
    };
    Type array = Const(T("f"));
    array.array_size = 2;
    LiteralNode* list_item = Float("1.0");
    const Case cases[] = {
        {T("f"), "a", nullptr, ""},
        {Type::Void(), "b", nullptr, "invalid type specifier."},
        {Type::Texture(TEXTURE_2D), "c", nullptr, "invalid type specifier."},
        {T("f4"), "output", nullptr, "variable can not have the same name as built-in variable 'output'."},
        {T("f4"), "texture", nullptr, "variable can not have the same name as built-in variable 'texture'."},
        {Const(T("f")), "d", nullptr, "'const' variable must be initialized."},
        {Const(T("f")), "e", uniform, "initializer of 'const' variable must be a constant expression."},
        {array, "g", list_item, "'const' is not allowed in array declarations."},
    };
    for (const Case& c : cases) {
        log.Clear();
        semantics.DeclareVariable(c.type, c.name, kAt, c.initializer, kAt);
        // An array initializer is a list of the array's type in the tree;
        // a scalar literal stands in here, so only the first line counts.
        std::string first = Log().substr(0, Log().find('\n') + 1);
        EXPECT_EQ(first, c.message[0] ? At(c.message) : "") << c.name;
    }
}

TEST_F(SemanticsTest, ConstantsChainThroughConstVariables) {
    ParserNode* first = semantics.DeclareVariable(Const(T("f")), "a", kAt, Float("1.5"), kAt);
    SymbolNode* a = semantics.GetSymbolNode("a", kAt);
    EXPECT_TRUE(a->type.constant);
    EXPECT_NE(first, a);
    semantics.DeclareVariable(Const(T("f")), "b", kAt, Apply(OP_MULTIPLY, a, Int("2")), kAt);
    EXPECT_TRUE(semantics.GetSymbolNode("b", kAt)->type.constant);
    EXPECT_EQ(Log(), "");
    // An int initializer of a float variable is converted.
    LiteralNode* three = Int("3");
    semantics.DeclareVariable(T("f"), "d", kAt, three, kAt);
    EXPECT_STREQ(three->text.c_str(), "3.000000f");
    semantics.DeclareVariable(T("i"), "e", kAt, Float("3.0"), kAt);
    EXPECT_EQ(Log(), At("no operator '=' matches the operands."));
}

TEST_F(SemanticsTest, ArrayDeclarationsWithInitializerLists) {
    auto List = [&](std::initializer_list<ParserNode*> items) {
        AggregateNode* list = nodes.CreateSequenceNode(OP_LIST);
        for (ParserNode* item : items) list->children.InsertLast(item);
        return list;
    };
    struct Case {
        int size;  // -1 for "[]"
        AggregateNode* list;
        int settled_size;
        const char* message;
    };
    const Case cases[] = {
        {-1, List({Float("1.0"), Float("2.0"), Float("3.0")}), 3, ""},
        {2, List({Float("1.0"), Float("2.0")}), 2, ""},
        {-1, nullptr, -1, "array size is required when the initializer list is omitted."},
        {0, List({Float("1.0")}), 0, "array size must be larger than 0."},
        {3, List({Float("1.0"), Float("2.0")}), 3,
         "array size does not match with the number of items in the initializer list."},
    };
    for (const Case& c : cases) {
        log.Clear();
        Type type = T("f");
        type.array_size = c.size;
        bool accepted = semantics.ParseArrayDeclaration(type, c.list, kAt);
        EXPECT_EQ(accepted, !c.message[0]);
        EXPECT_EQ(type.array_size, c.settled_size);
        EXPECT_EQ(Log(), c.message[0] ? At(c.message) : "") << c.message;
        if (accepted) {
            EXPECT_EQ(c.list->type.array_size, c.settled_size);
            EXPECT_TRUE(c.list->type.constant);
            ParserNode* assignment = semantics.DeclareVariable(type, c.size == 2 ? "two" : "three", kAt, c.list, kAt);
            EXPECT_EQ(Name(static_cast<OperatorNode*>(assignment)->type), "float");
            EXPECT_EQ(static_cast<OperatorNode*>(assignment)->type.array_size, c.settled_size);
            EXPECT_EQ(Log(), "");
        }
    }
}

TEST_F(SemanticsTest, InitializerListItemsMustHaveTheElementTypeExactly) {
    AggregateNode* list = nodes.CreateSequenceNode(OP_LIST);
    SourceLocation item_at[] = {{1, 4}, {2, 4}, {3, 4}};
    const char* texts[] = {"1", "2", "3"};
    for (int i = 0; i < 3; ++i) list->children.InsertLast(nodes.CreateLiteralNode(TYPE_INT, texts[i], item_at[i]));
    Type type = T("f");
    type.array_size = 3;
    semantics.ParseArrayDeclaration(type, list, kAt);
    const std::string message = " error: member in initializer list does not match the list type. NOTE: implicit "
                                "conversion is not allowed.\n";
    EXPECT_EQ(Log(), "(4:1)" + message + "(4:2)" + message + "(4:3)" + message);
    EXPECT_STREQ(static_cast<LiteralNode*>(list->children[0])->text.c_str(), "1") << "no conversion";
}

// --- Conditions and stages ----------------------------------------------------------

TEST_F(SemanticsTest, ConditionsAreBoolOrIntScalars) {
    struct Case {
        const char* type;
        bool accepted;
    };
    const Case cases[] = {{"b", true}, {"i", true}, {"f", false}, {"i2", false},
                          {"i4", false}, {"f3", false}, {"f2x2", false}};
    for (const Case& c : cases) {
        log.Clear();
        SymbolNode* condition = nodes.CreateSymbolNode(T(c.type), "c");
        condition->location = kAt;
        semantics.CheckForBooleanExpression(condition);
        EXPECT_EQ(Log(), c.accepted ? "" : At("expression must be a boolean expression.")) << c.type;
    }
    log.Clear();
    Type array = T("b");
    array.array_size = 2;
    SymbolNode* condition = nodes.CreateSymbolNode(array, "c");
    condition->location = kAt;
    semantics.CheckForBooleanExpression(condition);
    semantics.CheckForBooleanExpression(nullptr);  // a for statement without condition
    EXPECT_EQ(Log(), At("expression must be a boolean expression."));
}

TEST_F(SemanticsTest, StageOnlyExpressions) {
    semantics.CheckForShaderType(PIXEL_SHADER, kAt);
    EXPECT_EQ(Log(), At("expression is only allowed in pixel shader."));
    Begin(PIXEL_SHADER);
    semantics.CheckForShaderType(PIXEL_SHADER, kAt);
    semantics.CheckForShaderType(VERTEX_SHADER, kAt);
    EXPECT_EQ(Log(), At("expression is only allowed in vertex shader."));
}

TEST_F(SemanticsTest, MessagesNameTheTokenizersFileAndClearValid) {
    Tokenizer tokenizer(log);
    nString code("");
    tokenizer.SetSource("shaders/sky.zksl", code, 1);
    Semantics named(log, nodes, &tokenizer);
    named.Initialize(VERTEX_SHADER);
    EXPECT_TRUE(named.valid);
    named.GetSymbolNode("sky", kAt);
    EXPECT_EQ(Log(), "shaders/sky.zksl(2:3) error: undeclared identifier 'sky'.\n");
    EXPECT_FALSE(named.valid);
    EXPECT_TRUE(log.HasErrors());
    named.Reset();
    EXPECT_TRUE(named.valid);
}

}  // namespace
