// Builds small checked trees by hand for the translator tests, shaped the
// way the parser shapes them, and owns their nodes.
#pragma once

#include <initializer_list>
#include <vector>

#include "shadertool/translate/translator.h"

namespace ShaderTool {
namespace testing {

class TreeBuilder {
public:
    TreeBuilder() = default;
    TreeBuilder(const TreeBuilder&) = delete;
    TreeBuilder& operator=(const TreeBuilder&) = delete;
    ~TreeBuilder() {
        for (ParserNode* node : nodes) DestroyNode(node);
    }

    static Type Float(int size = 1) { return Type::Vector(TYPE_FLOAT, size); }
    static Type Int(int size = 1) { return Type::Vector(TYPE_INT, size); }

    SymbolNode* Sym(const char* name, Type type = Float()) {
        SymbolNode* node = Keep(new SymbolNode);
        node->name = name;
        node->type = type;
        return node;
    }
    SymbolNode* Constant(const char* name) {
        SymbolNode* node = Sym(name, Float(4));
        node->shader_constant = true;
        return node;
    }
    LiteralNode* Lit(const char* text, BasicType basic = TYPE_FLOAT) {
        LiteralNode* node = Keep(new LiteralNode);
        node->text = text;
        node->type = Type::Scalar(basic);
        return node;
    }
    OperatorNode* Op(Operator op, ParserNode* left, ParserNode* right = nullptr) {
        OperatorNode* node = Keep(new OperatorNode);
        node->op = op;
        node->left = left;
        node->right = right;
        node->type = Float();
        return node;
    }
    AggregateNode* List(std::initializer_list<ParserNode*> children, bool scoped = false) {
        AggregateNode* node = Keep(new AggregateNode);
        node->op = OP_LIST;
        node->scoped = scoped;
        for (ParserNode* child : children) node->children.InsertLast(child);
        return node;
    }
    AggregateNode* Block(std::initializer_list<ParserNode*> children) { return List(children, true); }
    AggregateNode* Decl(Type type, std::initializer_list<ParserNode*> items) {
        AggregateNode* node = List(items);
        node->op = OP_DECLARATION_LIST;
        node->type = type;
        return node;
    }
    // `name = value` as a declaration's initializer.
    OperatorNode* Init(const char* name, Type type, ParserNode* value) {
        OperatorNode* node = Op(OP_ASSIGN, Sym(name, type), value);
        node->flags |= ParserNode::FLAG_DECLARATION_INITIALIZER;
        return node;
    }
    FunctionNode* Call(const char* name, std::initializer_list<ParserNode*> arguments, Operator op = OP_USER_FUNCTION,
                       bool built_in = false) {
        FunctionNode* node = Keep(new FunctionNode(ParserNode::FUNCTION_CALL_NODE));
        node->name = name;
        node->op = op;
        node->built_in = built_in;
        node->children.InsertLast(List(arguments));
        return node;
    }
    FunctionNode* BuiltIn(const char* name, Operator op, std::initializer_list<ParserNode*> arguments) {
        return Call(name, arguments, op, true);
    }
    // A definition when body is given, else a prototype.
    FunctionNode* Function(Type result, const char* name, std::initializer_list<ParserNode*> parameters,
                           AggregateNode* body) {
        FunctionNode* node = Keep(new FunctionNode(ParserNode::FUNCTION_DEFINITION_NODE));
        node->name = name;
        node->type = result;
        node->children.InsertLast(List(parameters));
        if (body) {
            node->children.InsertLast(body);
            node->defined = true;
        }
        return node;
    }
    SelectionNode* If(ParserNode* condition, ParserNode* then_branch, ParserNode* else_branch = nullptr) {
        SelectionNode* node = Keep(new SelectionNode);
        node->condition = condition;
        node->then_branch = then_branch;
        node->else_branch = else_branch;
        return node;
    }
    IterationNode* Loop(IterationNode::Kind kind, ParserNode* initializer, ParserNode* condition, ParserNode* increment,
                        ParserNode* body) {
        IterationNode* node = Keep(new IterationNode);
        node->kind = kind;
        node->initializer = initializer;
        node->condition = condition;
        node->increment = increment;
        node->body = body;
        return node;
    }
    JumpNode* Jump(Operator op, ParserNode* operand = nullptr) {
        JumpNode* node = Keep(new JumpNode);
        node->op = op;
        node->operand = operand;
        return node;
    }

private:
    template <class T>
    T* Keep(T* node) {
        nodes.push_back(node);
        return node;
    }
    std::vector<ParserNode*> nodes;
};

// The base translator as a target would use it, with the walk of single
// nodes opened up for tests.
class TestTranslator : public Translator {
public:
    explicit TestTranslator(Log& log, bool bitwise = false) : Translator(log) {
        bitwise_operators_supported = bitwise;
        function_map["lerp"] = "mix";
    }
    nString Expression(const ParserNode* node) {
        Reset();
        ProcessParserNode(node);
        return nString(body.c_str());
    }
    nString Statement(const ParserNode* node) {
        Reset();
        inside_function = true;
        ProcessStatement(node, true, true);
        return nString(body.c_str());
    }
    const nString& Prototypes() const { return prototypes; }
    const TextBuffer& Globals() const { return globals; }
    int Indentation() const { return indentation; }
};

}  // namespace testing
}  // namespace ShaderTool
