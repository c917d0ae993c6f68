// The parser on small sources: tree shapes where grouping matters, and every
// message the grammar itself gives, with its location.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "shadertool/frontend/parser.h"

using namespace ShaderTool;

namespace {

const char* const kFile = "test.zksl";

// A Shader XML description with one of everything the sources below use:
// input.position, output.position / output.color, constants.scale and the
// texture "diffuse".
ShaderInfo MakeInfo() {
    ShaderInfo info;
    info.version = 0x20003;
    ShaderVertexInputVariable position;
    position.id = "position";
    position.semantic = INPUT_POSITION;
    position.type = Type::Vector(TYPE_FLOAT, 4);
    position.type.qualifier = QUALIFIER_CONST;
    info.vertex_input.InsertLast(position);
    ShaderVertexOutputVariable output;
    output.id = "position";
    output.type = Type::Vector(TYPE_FLOAT, 4);
    output.semantic = OUTPUT_POSITION;
    info.vertex_output.InsertLast(output);
    ShaderConstantVariable scale;
    scale.id = "scale";
    scale.type = Type::Vector(TYPE_FLOAT, 4);
    scale.type.qualifier = QUALIFIER_CONST;
    info.vertex_constants.InsertLast(scale);
    info.pixel_constants.InsertLast(scale);
    ShaderPixelOutputVariable color;
    color.id = "color";
    info.pixel_output.InsertLast(color);
    ShaderTextureVariable diffuse;
    diffuse.id = "diffuse";
    diffuse.type = Type::Texture(TEXTURE_2D);
    info.pixel_textures.InsertLast(diffuse);
    return info;
}

ShaderSource MakeSource(const std::string& code, ShaderType type, const char* file = kFile) {
    ShaderSource source;
    source.file = file;
    source.code = code.c_str();
    source.line = 1;
    source.type = type;
    return source;
}

// ---- A compact rendering of a tree: operators in prefix form with their
// source spelling, calls as name(arguments), lists in brackets. ----

std::string Render(const ParserNode* node);

std::string RenderChildren(const AggregateNode* list) {
    std::string text;
    for (int i = 0; i < list->children.count; ++i) {
        if (i) text += " ";
        text += Render(list->children[i]);
    }
    return text;
}

std::string Render(const ParserNode* node) {
    if (!node) return "null";
    switch (node->node_type) {
        case ParserNode::SYMBOL_NODE: return static_cast<const SymbolNode*>(node)->name.c_str();
        case ParserNode::LITERAL_NODE: return static_cast<const LiteralNode*>(node)->text.c_str();
        case ParserNode::OPERATOR_NODE: {
            const OperatorNode* op = static_cast<const OperatorNode*>(node);
            std::string text = std::string("(") + GetOperatorString(op->op) + " " + Render(op->left);
            if (op->right) text += " " + Render(op->right);
            return text + ")";
        }
        case ParserNode::AGGREGATE_NODE: {
            const AggregateNode* list = static_cast<const AggregateNode*>(node);
            const char* open = list->op == OP_DECLARATION_LIST ? "decl[" : list->scoped ? "{" : "[";
            const char* close = list->op == OP_DECLARATION_LIST ? "]" : list->scoped ? "}" : "]";
            return open + RenderChildren(list) + close;
        }
        case ParserNode::FUNCTION_DEFINITION_NODE:
        case ParserNode::FUNCTION_CALL_NODE: {
            const FunctionNode* function = static_cast<const FunctionNode*>(node);
            std::string text = std::string(function->name.c_str()) + "(";
            if (function->children.count > 0) text += RenderChildren(static_cast<AggregateNode*>(function->children[0]));
            text += ")";
            if (function->children.count > 1) text += Render(function->children[1]);
            return text;
        }
        case ParserNode::SELECTION_NODE: {
            const SelectionNode* selection = static_cast<const SelectionNode*>(node);
            return "if(" + Render(selection->condition) + " " + Render(selection->then_branch) + " " +
                   Render(selection->else_branch) + ")";
        }
        case ParserNode::ITERATION_NODE: {
            const IterationNode* loop = static_cast<const IterationNode*>(node);
            static const char* const kKinds[] = {"do", "for", "while"};
            return std::string(kKinds[loop->kind]) + "(" + Render(loop->initializer) + " " + Render(loop->condition) +
                   " " + Render(loop->increment) + " " + Render(loop->body) + ")";
        }
        case ParserNode::JUMP_NODE: {
            const JumpNode* jump = static_cast<const JumpNode*>(node);
            return std::string(GetOperatorString(jump->op)) + "(" + Render(jump->operand) + ")";
        }
    }
    return "?";
}

struct ParseResult {
    bool ok;
    std::string log;
    std::string tree;
};

ParseResult ParseWith(Parser& parser, Log& log, const std::string& code, ShaderType type, const char* file = kFile) {
    log.Clear();
    ShaderInfo info = MakeInfo();
    ShaderSource source = MakeSource(code, type, file);
    bool ok = parser.Parse(info, source);
    return {ok, log.GetText(), Render(parser.GetRoot())};
}

ParseResult ParseCode(const std::string& code, ShaderType type = PIXEL_SHADER, const char* file = kFile) {
    Log log;
    Parser parser(log);
    return ParseWith(parser, log, code, type, file);
}

std::string Located(int line, int column, const char* message) {
    char buffer[256];
    snprintf(buffer, sizeof buffer, "%s(%i:%i) error: %s\n", kFile, line, column, message);
    return buffer;
}

// ---- Grouping and tree shapes. ----

struct ShapeCase {
    const char* name;
    const char* body;      // statements inside main of a pixel source
    const char* expected;  // rendering of main's body
};

const char* const kGlobals =
    "float a; float b; float c; float d; float x; float y; float4 v; bool p; bool q;\n";

class ShapeTest : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(ShapeTest, GroupsAsTheLanguageSays) {
    const ShapeCase& shape = GetParam();
    std::string code = std::string(kGlobals) + "void main() {\n" + shape.body +
                       "\noutput.color = float4(1.0, 1.0, 1.0, 1.0);\n}\n";
    ParseResult result = ParseCode(code);
    EXPECT_TRUE(result.ok) << result.log;
    EXPECT_EQ(result.log, "");
    std::string prefix = "main(){";
    size_t at = result.tree.find(prefix);
    ASSERT_NE(at, std::string::npos) << result.tree;
    at += prefix.size();
    ASSERT_GE(result.tree.size(), at + 2) << result.tree;
    std::string body = result.tree.substr(at, result.tree.size() - at - 2);  // without "}]"
    EXPECT_EQ(body, std::string(shape.expected) + " (= (. output color) float4(1.0f 1.0f 1.0f 1.0f))");
}

INSTANTIATE_TEST_SUITE_P(
    Parser, ShapeTest,
    ::testing::Values(
        ShapeCase{"ConditionalGroupsRight", "x = p ? a : q ? b : c;", "(= x (? p (: a (? q (: b c)))))"},
        ShapeCase{"ConditionalInFirstAlternative", "x = p ? q ? a : b : c;", "(= x (? p (: (? q (: a b)) c)))"},
        ShapeCase{"AssignmentGroupsRight", "x = y = a;", "(= x (= y a))"},
        ShapeCase{"CompoundAssignmentGroupsRight", "x += y -= a;", "(+= x (-= y a))"},
        ShapeCase{"SubtractionGroupsLeft", "x = a - b - c;", "(= x (- (- a b) c))"},
        ShapeCase{"DivisionGroupsLeft", "x = a / b / c;", "(= x (/ (/ a b) c))"},
        ShapeCase{"ProductBindsTighterThanSum", "x = a + b * c - d;", "(= x (- (+ a (* b c)) d))"},
        ShapeCase{"ParenthesesKeepTheirNode", "x = (a + b) * c;", "(= x (* (() (+ a b)) c))"},
        ShapeCase{"PrefixBeforeBinary", "x = -a * b;", "(= x (* (- a) b))"},
        ShapeCase{"PostfixBeforePrefix", "x = -v.x;", "(= x (- (. v x)))"},
        ShapeCase{"LogicalLayers", "p = p || q && a < b == q;", "(= p (|| p (&& q (== (< a b) q))))"},
        ShapeCase{"DeclarationList", "int i = 1; int j = i, k;", "decl[(= i 1)] decl[(= j i) k]"},
        ShapeCase{"DeclarationListTakesTheType", "float2 g, h = float2(a, b);",
                  "decl[g (= h float2(a b))]"},
        ShapeCase{"ArrayWithList", "float w[] = {1.0, 2.0};", "decl[(= w [1.0f 2.0f])]"},
        ShapeCase{"EmptyStatementsLeaveNoNode", ";;{}x = a;;", "(= x a)"},
        ShapeCase{"IfElseBindsToNearestIf", "if (p) if (q) x = a; else x = b;",
                  "if(p if(q (= x a) (= x b)) null)"},
        ShapeCase{"IfWithoutBranchBody", "if (p) ;", "if(p {} null)"},
        ShapeCase{"WhileWithoutBody", "while (p) ;", "while(null p null {})"},
        ShapeCase{"ParenthesesKeepConstness", "const float k = (1.0 + 2.0); x = k;",
                  "decl[(= k (() (+ 1.0f 2.0f)))] (= x k)"},
        ShapeCase{"WhileWithDeclaredCondition", "while (bool r = p) { x = a; }", "while(null decl[(= r p)] null {(= x a)})"},
        ShapeCase{"ForLoopParts", "for (int i = 0; i < 4; ++i) x += a;",
                  "for(decl[(= i 0)] (< i 4) (++ i) (+= x a))"},
        ShapeCase{"ForLoopWithoutParts", "for (;;) { break; }", "for(null null null {break(null)})"},
        ShapeCase{"DoWhile", "do { continue; } while (p);", "do(null p null {continue(null)})"},
        ShapeCase{"NestedBlocksAreScoped", "{ x = a; { y = b; } }", "{(= x a) {(= y b)}}"}),
    [](const ::testing::TestParamInfo<ShapeCase>& info) { return std::string(info.param.name); });

TEST(Parser, PrototypeThenDefinitionLeavesOneFunctionHoldingTheBody) {
    ParseResult result = ParseCode(
        "float twice(float v);\n"
        "void main() { output.color = float4(twice(1.0), 0.0, 0.0, 1.0); }\n"
        "float twice(float v) { return v + v; }\n");
    EXPECT_TRUE(result.ok) << result.log;
    EXPECT_EQ(result.tree,
              "[main(){(= (. output color) float4(twice(1.0f) 0.0f 0.0f 1.0f))} "
              "twice(v){return((+ v v))}]");
}

// Recursion is refused (see the error corpus); calls that only meet again
// are not recursion.
TEST(Parser, FunctionsCalledFromSeveralPlacesWithoutACycleAreAccepted) {
    ParseResult result = ParseCode(
        "float half(float v) { return v * 0.5; }\n"
        "float quarter(float v) { return half(half(v)); }\n"
        "float eighth(float v) { return half(quarter(v)); }\n"
        "void main() { output.color = float4(half(1.0), quarter(1.0), eighth(1.0), 1.0); }\n");
    EXPECT_TRUE(result.ok) << result.log;
    EXPECT_EQ(result.log, "");
}

// A chain of functions, each calling the next twice: a walk that entered a
// function once per call would take 2^length steps, and one that recursed
// per call would run out of stack. Closed into a cycle at its far end, the
// chain gets exactly one message.
TEST(Parser, ALongChainOfCallsIsWalkedOnce) {
    const int kLength = 20000;
    for (bool closed : {false, true}) {
        SCOPED_TRACE(closed ? "closed" : "open");
        std::string code = "float f0(float v);\n";
        std::string last = "float f" + std::to_string(kLength - 1) + "(float v) { return ";
        code += last + (closed ? "f0(v)" : "v") + "; }\n";
        for (int i = kLength - 2; i >= 0; --i) {
            std::string next = "f" + std::to_string(i + 1) + "(v)";
            code += "float f" + std::to_string(i) + "(float v) { return " + next + " + " + next + "; }\n";
        }
        code += "void main() { output.color = float4(f0(1.0), 0.0, 0.0, 1.0); }\n";
        ParseResult result = ParseCode(code);
        EXPECT_EQ(result.ok, !closed);
        int column = static_cast<int>(last.size()) + 3;  // at the parenthesis of f0(v)
        EXPECT_EQ(result.log, closed ? Located(2, column, "function 'f0' is called recursively; recursion is not "
                                                          "allowed.")
                                     : "");
    }
}

TEST(Parser, CallsReachFunctionsWithNamesOfTheFullTokenLength) {
    for (int length : {127, 128}) {
        std::string name = "f" + std::string(length - 1, 'x');
        ParseResult result = ParseCode("float " + name + "(float v) { return v; }\n" +
                                       "void main() { output.color = float4(" + name + "(1.0), 0.0, 0.0, 1.0); }\n");
        EXPECT_TRUE(result.ok) << length << ": " << result.log;
        EXPECT_NE(result.tree.find(name + "(1.0f)"), std::string::npos) << length;
    }
}

TEST(Parser, PrototypeAloneStaysOutOfTheTree) {
    ParseResult result = ParseCode("float unused(int v);\nvoid main() { output.color = float4(0.0, 0.0, 0.0, 0.0); }\n");
    EXPECT_TRUE(result.ok) << result.log;
    EXPECT_EQ(result.tree, "[main(){(= (. output color) float4(0.0f 0.0f 0.0f 0.0f))}]");
}

TEST(Parser, ArraySizesReadOnlyLeadingDecimalDigitsAndStayWithTheirName) {
    Log log;
    Parser parser(log);
    ParseResult result = ParseWith(parser, log,
                                   "float a[010]; float b[3], c;\n"
                                   "void main() { output.color = float4(a[1], b[2], 0.0, 1.0); }\n",
                                   PIXEL_SHADER);
    EXPECT_TRUE(result.ok) << result.log;
    ASSERT_NE(parser.GetRoot(), nullptr);
    const AggregateNode* first = static_cast<const AggregateNode*>(parser.GetRoot()->children[0]);
    const AggregateNode* second = static_cast<const AggregateNode*>(parser.GetRoot()->children[1]);
    EXPECT_EQ(static_cast<const SymbolNode*>(first->children[0])->type.array_size, 10);
    EXPECT_EQ(static_cast<const SymbolNode*>(second->children[0])->type.array_size, 3);
    // A further name of the list is a plain variable of the element type.
    const SymbolNode* plain = static_cast<const SymbolNode*>(second->children[1]);
    EXPECT_EQ(plain->type.array_size, 0);
    EXPECT_EQ(plain->type.basic_type, TYPE_FLOAT);
    EXPECT_EQ(plain->type.vector_size, 1);
}

TEST(Parser, DiscardInVertexSourceIsReportedAndStillBuilt) {
    ParseResult result = ParseCode(
        "void main() {\n"
        "    output.position = input.position;\n"
        "    discard;\n"
        "}\n",
        VERTEX_SHADER);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.log, Located(3, 5, "expression is only allowed in pixel shader."));
    EXPECT_EQ(result.tree, "[main(){(= (. output position) (. input position)) discard(null)}]");
}

TEST(Parser, DiscardInPixelSourceIsAccepted) {
    ParseResult result = ParseCode("void main() { discard; output.color = float4(0.0, 0.0, 0.0, 0.0); }\n");
    EXPECT_TRUE(result.ok) << result.log;
    EXPECT_EQ(result.log, "");
}

// ---- Messages of the grammar, with their locations: sources that read
// clearly as files are in the error corpus (below); these need characters
// or places a marked line cannot show. ----

struct MessageCase {
    const char* name;
    const char* code;
    const char* expected_log;  // log lines; a line starting "(" gets the file name in front
};

std::string WithFileName(const char* expected) {
    std::string text;
    std::istringstream lines(expected);
    std::string line;
    while (std::getline(lines, line)) text += (line[0] == '(' ? std::string(kFile) : std::string()) + line + "\n";
    return text;
}

class MessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(MessageTest, ReportsAtTheRightPlace) {
    const MessageCase& message = GetParam();
    ParseResult result = ParseCode(message.code);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.log, WithFileName(message.expected_log));
}

#define MAIN_BODY(x) "void main() {\n" x "\noutput.color = float4(0.0, 0.0, 0.0, 0.0);\n}\n"

INSTANTIATE_TEST_SUITE_P(
    Parser, MessageTest,
    ::testing::Values(
        MessageCase{"EmptySource", "", "(1:1) error: syntax error"},
        MessageCase{"OnlyBlanks", "\n\n   ", "(3:4) error: syntax error"},
        MessageCase{"TabCountsFourColumns", MAIN_BODY("\t\t)"), "(2:9) error: syntax error"},
        MessageCase{"CarriageReturn", "void main()\r\n{}", "(1:12) error: syntax error"},
        MessageCase{"ByteOutsideTheLanguage", MAIN_BODY("\xC3\xA9"),
                    "(2:1) error: invalid character (code 195) in source.\n(2:1) error: syntax error"},
        MessageCase{"FileInstructionNamesTheFile", "@f \"inc\" 7\nvoid main() { ) }",
                    "inc(7:15) error: syntax error"},
        // Reported after the parse, when the tokenizer is back in the source.
        MessageCase{"MissingDefinitionNamesTheFileOfThePrototype",
                    "@f \"inc\" 3\nfloat f(float v);\n@f \"test.zksl\" 2\n"
                    "void main() { output.color = float4(f(1.0), 0.0, 0.0, 0.0); }",
                    "inc(3:7) error: function 'f' is referenced but has no definition."},
        // Checked after the parse, as the vertex outputs are.
        MessageCase{"PixelOutputNeverWritten", "void main() { float4 color = float4(0.0, 0.0, 0.0, 0.0); }",
                    "(0:0) error: pixel shader output 'color' is not set."},
        MessageCase{"RecursionNamesTheFileOfTheCall",
                    "@f \"inc\" 3\nfloat f(float v) { return f(v); }\n@f \"test.zksl\" 2\n"
                    "void main() { output.color = float4(f(1.0), 0.0, 0.0, 0.0); }",
                    "inc(3:28) error: function 'f' is called recursively; recursion is not allowed."}),
    [](const ::testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

TEST(Parser, MessagesUseTheSourceFileNameAndFirstLine) {
    Log log;
    Parser parser(log);
    ShaderInfo info = MakeInfo();
    ShaderSource source = MakeSource("void main() {\n  )\n}\n", PIXEL_SHADER);
    source.file = "shaders/blur.xml";
    source.line = 40;
    EXPECT_FALSE(parser.Parse(info, source));
    EXPECT_STREQ(log.GetText(), "shaders/blur.xml(41:3) error: syntax error\n");
}

TEST(Parser, NestingBeyondTheStackLimitRunsOutOfMemory) {
    std::string code = "void main() { output.color = float4(";
    code += std::string(12000, '(') + "1.0" + std::string(12000, ')') + ", 0.0, 0.0, 0.0); }";
    ParseResult result = ParseCode(code);
    EXPECT_FALSE(result.ok);
    size_t column = 0;
    // Every "(" holds a few stack entries, so the limit falls well inside.
    ASSERT_EQ(result.log.rfind(std::string(kFile) + "(1:", 0), 0u) << result.log;
    ASSERT_NE(result.log.find(") error: memory exhausted\n"), std::string::npos) << result.log;
    EXPECT_EQ(sscanf(result.log.c_str() + strlen(kFile), "(1:%zu)", &column), 1);
    EXPECT_GT(column, 37u);
    EXPECT_LT(column, 37u + 12000u);
}

// True nesting is bounded, with a message at the place where the tree gets
// too deep; a chain of one left-associative operator level is not nesting,
// however long it is.
TEST(Parser, NestingIsBoundedButLeftChainsAreNot) {
    auto repeat = [](const char* text, int count) {
        std::string repeated;
        for (int i = 0; i < count; ++i) repeated += text;
        return repeated;
    };
    struct Case {
        const char* label;
        std::string code;
        const char* message;  // null when the source is accepted
    };
    const std::string open = "void main() {\nfloat f = ";
    const Case cases[] = {
        {"parentheses", open + repeat("(", 250) + "1.0" + repeat(")", 250) + ";\noutput.color = float4(f);\n}",
         nullptr},
        {"parentheses", open + repeat("(", 300) + "1.0" + repeat(")", 300) + ";\noutput.color = float4(f);\n}",
         "(2:55) error: expression is nested too deeply."},
        {"negations", open + repeat("- ", 300) + "1.0;\noutput.color = float4(f);\n}",
         "(2:99) error: expression is nested too deeply."},
        {"calls", open + repeat("abs(", 300) + "1.0" + repeat(")", 300) + ";\noutput.color = float4(f);\n}",
         "(2:190) error: expression is nested too deeply."},
        {"blocks", "void main() {\n" + repeat("{", 300) + "output.color = float4(1.0);" + repeat("}", 300) + "\n}",
         "(2:580) error: expression is nested too deeply."},  // lists have no place: the token read
        {"sum", open + "1.0" + repeat(" + 1.0", 100000) + ";\noutput.color = float4(f);\n}", nullptr},
        {"mixed levels", open + "1.0" + repeat(" - 2.0 + 1.0 * 3.0 / 2.0", 20000) + ";\noutput.color = float4(f);\n}",
         nullptr},
        {"conditions", "void main() {\nbool b = true" + repeat(" && true || false", 50000) +
                           ";\noutput.color = float4(1.0);\n}",
         nullptr},
    };
    for (const Case& c : cases) {
        // Not rendered: the rendering recurses along chains.
        Log log;
        Parser parser(log);
        bool ok = parser.Parse(MakeInfo(), MakeSource(c.code, PIXEL_SHADER));
        std::string messages = log.GetText();
        EXPECT_EQ(ok, c.message == nullptr) << c.label << "\n" << messages.substr(0, 300);
        if (c.message) {
            EXPECT_EQ(messages, WithFileName(c.message)) << c.label;
        }
    }
}

// ---- One parser, many sources. ----

TEST(Parser, EachParseStartsFromAClearState) {
    Log log;
    Parser parser(log);
    ParseResult broken = ParseWith(parser, log, "float shared; void main() { ) }", PIXEL_SHADER);
    EXPECT_FALSE(broken.ok);
    // The same names again: nothing of the failed source is still declared.
    ParseResult good = ParseWith(parser, log,
                                 "float shared;\nvoid main() { output.color = float4(shared, 0.0, 0.0, 1.0); }\n",
                                 PIXEL_SHADER);
    EXPECT_TRUE(good.ok) << good.log;
    EXPECT_EQ(good.log, "");
    ParseResult vertex = ParseWith(parser, log, "void main() { output.position = input.position; }\n", VERTEX_SHADER);
    EXPECT_TRUE(vertex.ok) << vertex.log;
}

TEST(Parser, ResetDestroysTheTree) {
    Log log;
    Parser parser(log);
    ParseWith(parser, log, "void main() { output.color = float4(0.0, 0.0, 0.0, 0.0); }\n", PIXEL_SHADER);
    ASSERT_NE(parser.GetRoot(), nullptr);
    EXPECT_GT(parser.node_list.Count(), 0);
    parser.Reset();
    EXPECT_EQ(parser.GetRoot(), nullptr);
    EXPECT_EQ(parser.node_list.Count(), 0);
    EXPECT_TRUE(parser.IsValid());
}

TEST(Parser, TwoParsersRunSideBySide) {
    Log first_log, second_log;
    Parser first(first_log), second(second_log);
    ParseResult a = ParseWith(first, first_log, "void main() { output.color = float4(0.0, 0.0, 0.0, 0.0); }\n",
                              PIXEL_SHADER);
    ParseResult b = ParseWith(second, second_log, "void main() { ) }", PIXEL_SHADER);
    ParseResult c = ParseWith(first, first_log, "float k; void main() { output.color = float4(k, k, k, k); }\n",
                              PIXEL_SHADER);
    EXPECT_TRUE(a.ok);
    EXPECT_FALSE(b.ok);
    EXPECT_TRUE(c.ok) << c.log;
    EXPECT_EQ(second_log.GetText(), Located(1, 15, "syntax error"));
}

// Every parser refers to the same built-in tables; parsers on several
// threads at once must each see them whole, first use included.
TEST(Parser, ParsersOnSeveralThreadsShareTheBuiltInTables) {
    const std::string sources[] = {
        "float4 tint(float4 c) { return c * 0.5; }\n"
        "void main() { output.color = tint(sampleTexture(texture.diffuse, float2(0.5, 0.5))) + float4(abs(-1)); }\n",
        "void main() { output.color = float4(dot(float3(1.0, 2.0, 3.0), float3(1, 2, 3))); }\n",
        "void main() { output.color = float4(cross(float2(1.0, 1.0), float2(0.0, 1.0)), 1.0); }\n",
    };
    const int kThreads = 4, kRounds = 20;
    std::vector<std::vector<ParseResult> > results(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            Log log;
            Parser parser(log);
            for (int round = 0; round < kRounds; ++round)
                for (const std::string& code : sources) results[t].push_back(ParseWith(parser, log, code, PIXEL_SHADER));
        });
    }
    for (std::thread& thread : threads) thread.join();
    // Run by ctest, the threads above were the process's first parsers.
    std::vector<ParseResult> expected;
    for (const std::string& code : sources) expected.push_back(ParseCode(code));
    EXPECT_TRUE(expected[0].ok) << expected[0].log;
    EXPECT_FALSE(expected[2].ok);
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(results[t].size(), size_t(kRounds * 3));
        for (size_t i = 0; i < results[t].size(); ++i) {
            const ParseResult& want = expected[i % 3];
            EXPECT_EQ(results[t][i].ok, want.ok);
            EXPECT_EQ(results[t][i].log, want.log);
            EXPECT_EQ(results[t][i].tree, want.tree);
        }
    }
}

// ---- The sources of a smallest complete Shader XML. ----

std::string ReadFixture(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The character data of the index-th source node of the fixture.
std::string SourceSection(const std::string& xml, int index) {
    size_t at = 0;
    for (int i = 0; i <= index; ++i) {
        at = xml.find("<![CDATA[", at);
        if (at == std::string::npos) return "";
        at += 9;
    }
    return xml.substr(at, xml.find("]]>", at) - at);
}

TEST(Parser, MinimalShaderXmlSourcesParseCleanly) {
    std::string xml = ReadFixture("tests/data/parser/minimal.xml");
    ASSERT_FALSE(xml.empty());
    ShaderInfo info;
    info.version = 0x20002;
    ShaderVertexInputVariable position;
    position.id = "position";
    position.semantic = INPUT_POSITION;
    position.type = Type::Vector(TYPE_FLOAT, 4);
    position.type.qualifier = QUALIFIER_CONST;
    info.vertex_input.InsertLast(position);
    ShaderVertexOutputVariable out_position;
    out_position.id = "position";
    out_position.type = Type::Vector(TYPE_FLOAT, 4);
    out_position.semantic = OUTPUT_POSITION;
    info.vertex_output.InsertLast(out_position);
    ShaderPixelOutputVariable color;
    color.id = "color";
    info.pixel_output.InsertLast(color);

    Log log;
    Parser parser(log);
    struct {
        ShaderType type;
        const char* tree;
    } const kSources[] = {
        {VERTEX_SHADER, "[main(){(= (. output position) (. input position))}]"},
        {PIXEL_SHADER, "[main(){(= (. output color) float4(1.0f 1.0f 1.0f 1.0f))}]"},
    };
    for (int i = 0; i < 2; ++i) {
        ShaderSource source = MakeSource(SourceSection(xml, i), kSources[i].type);
        EXPECT_TRUE(parser.Parse(info, source)) << log.GetText();
        EXPECT_STREQ(log.GetText(), "");
        EXPECT_EQ(Render(parser.GetRoot()), kSources[i].tree);
    }
}

// ---- The error corpus. ----
// Each fixture in the folder is a pixel source that must fail. Its expected
// messages stand on the line they are reported at, as
// "// ERROR <column>: <message>", several on one line in the order of the
// log. Comments are blanked before the parse, as the preprocessor does, so
// the code keeps its columns.

const char* const kErrorCorpus = "tests/data/parser/errors/";

// The log that a fixture's marks expect; a mark without "<column>: " is
// expected as itself, so that it fails.
std::string ExpectedMessages(const std::string& file, const std::string& text) {
    const std::string kMark = "// ERROR ";
    std::string expected;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        for (size_t at = line.find(kMark); at != std::string::npos;) {
            size_t start = at + kMark.size();
            size_t next = line.find(kMark, start);
            std::string mark = line.substr(start, next == std::string::npos ? next : next - start);
            mark.erase(mark.find_last_not_of(' ') + 1);
            size_t colon = mark.find(": ");
            if (colon == std::string::npos)
                expected += "malformed mark '" + mark + "'\n";
            else
                expected += file + "(" + std::to_string(number) + ":" + mark.substr(0, colon) + ") error: " +
                            mark.substr(colon + 2) + "\n";
            at = next;
        }
    }
    return expected;
}

TEST(Parser, ErrorCorpusReportsWhatItsMarksSay) {
    std::vector<std::string> fixtures;
    for (const auto& entry : std::filesystem::directory_iterator(kErrorCorpus))
        if (entry.path().extension() == ".zksl") fixtures.push_back(entry.path().filename().string());
    std::sort(fixtures.begin(), fixtures.end());
    ASSERT_FALSE(fixtures.empty());
    for (const std::string& name : fixtures) {
        std::string text = ReadFixture((kErrorCorpus + name).c_str());
        std::string expected = ExpectedMessages(name, text);
        EXPECT_FALSE(expected.empty()) << name << " has no ERROR mark";
        nString code = Tokenizer::StripComments(text.c_str());
        ParseResult result = ParseCode(code.c_str(), PIXEL_SHADER, name.c_str());
        EXPECT_FALSE(result.ok) << name;
        EXPECT_EQ(result.log, expected) << name;
    }
}

}  // namespace
