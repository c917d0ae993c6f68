#include "shadertool/frontend/nodes.h"

#include <cstring>

namespace ShaderTool {

bool IsTypedNode(const ParserNode* node) {
    if (!node) return false;
    switch (node->node_type) {
    case ParserNode::SELECTION_NODE:
    case ParserNode::ITERATION_NODE:
    case ParserNode::JUMP_NODE: return false;
    default: return true;
    }
}

// The precedence level of a left-associative binary operator; 0 for any
// other operator.
static int LeftChainLevel(Operator op) {
    switch (op) {
    case OP_MULTIPLY:
    case OP_DIVIDE:
    case OP_MODULO: return 1;
    case OP_ADD:
    case OP_SUBTRACT: return 2;
    case OP_LEFT_SHIFT:
    case OP_RIGHT_SHIFT: return 3;
    case OP_LESS:
    case OP_GREATER:
    case OP_LESS_EQUAL:
    case OP_GREATER_EQUAL: return 4;
    case OP_EQUAL:
    case OP_NOT_EQUAL: return 5;
    case OP_BITWISE_AND: return 6;
    case OP_BITWISE_XOR: return 7;
    case OP_BITWISE_OR: return 8;
    case OP_LOGICAL_AND: return 9;
    case OP_LOGICAL_OR: return 10;
    default: return 0;
    }
}

bool ModifiesLeftOperand(Operator op) {
    switch (op) {
    case OP_POST_DECREMENT:
    case OP_POST_INCREMENT:
    case OP_PRE_DECREMENT:
    case OP_PRE_INCREMENT:
    case OP_ASSIGN:
    case OP_ASSIGN_ADD:
    case OP_ASSIGN_AND:
    case OP_ASSIGN_DIVIDE:
    case OP_ASSIGN_LEFT_SHIFT:
    case OP_ASSIGN_MODULO:
    case OP_ASSIGN_MULTIPLY:
    case OP_ASSIGN_OR:
    case OP_ASSIGN_RIGHT_SHIFT:
    case OP_ASSIGN_SUBTRACT:
    case OP_ASSIGN_XOR: return true;
    default: return false;
    }
}

bool IsLeftChainStep(Operator op, const ParserNode* left) {
    if (!left || left->node_type != ParserNode::OPERATOR_NODE) return false;
    const OperatorNode* inner = static_cast<const OperatorNode*>(left);
    int level = LeftChainLevel(op);
    return level != 0 && LeftChainLevel(inner->op) == level && inner->left && inner->right;
}

// Nodes have no virtual destructor: each is deleted as its own record type.
void DestroyNode(ParserNode* node) {
    if (!node) return;
    switch (node->node_type) {
    case ParserNode::AGGREGATE_NODE: delete static_cast<AggregateNode*>(node); break;
    case ParserNode::FUNCTION_DEFINITION_NODE:
    case ParserNode::FUNCTION_CALL_NODE: delete static_cast<FunctionNode*>(node); break;
    case ParserNode::ITERATION_NODE: delete static_cast<IterationNode*>(node); break;
    case ParserNode::JUMP_NODE: delete static_cast<JumpNode*>(node); break;
    case ParserNode::LITERAL_NODE: delete static_cast<LiteralNode*>(node); break;
    case ParserNode::OPERATOR_NODE: delete static_cast<OperatorNode*>(node); break;
    case ParserNode::SELECTION_NODE: delete static_cast<SelectionNode*>(node); break;
    case ParserNode::SYMBOL_NODE: delete static_cast<SymbolNode*>(node); break;
    }
}

OperatorNode* NodeList::CreateOperatorNode(Operator op, const SourceLocation& location) {
    OperatorNode* node = new OperatorNode;
    node->op = op;
    node->location = location;
    Adopt(node);
    return node;
}

AggregateNode* NodeList::CreateSequenceNode(Operator op) {
    AggregateNode* node = new AggregateNode;
    node->op = op;
    Adopt(node);
    return node;
}

static bool EndsInFloatSuffix(const char* text) {
    size_t length = text ? strlen(text) : 0;
    return length > 0 && (text[length - 1] == 'f' || text[length - 1] == 'F');
}

LiteralNode* NodeList::CreateLiteralNode(BasicType basic, const char* text, const SourceLocation& location) {
    LiteralNode* node = new LiteralNode;
    node->type = Type::Scalar(basic);
    node->type.constant = true;
    node->text = text ? text : "";
    if (basic == TYPE_FLOAT && !EndsInFloatSuffix(text)) node->text.Append("f");
    node->location = location;
    Adopt(node);
    return node;
}

SymbolNode* NodeList::CreateSymbolNode(const Type& type, const Token& token) {
    SymbolNode* node = CreateSymbolNode(type, token.text);
    node->location = token.location;
    return node;
}

SymbolNode* NodeList::CreateSymbolNode(const Type& type, const char* name) {
    SymbolNode* node = new SymbolNode;
    node->type = type;
    node->name = name;
    Adopt(node);
    return node;
}

FunctionNode* NodeList::CreateFunctionNode(ParserNode::NodeType node_type, const char* name,
                                           const SourceLocation& location) {
    FunctionNode* node = new FunctionNode(node_type);
    node->op = OP_USER_FUNCTION;
    node->name = name;
    node->location = location;
    Adopt(node);
    node->children.InsertLast(CreateSequenceNode(OP_LIST));
    return node;
}

FunctionNode* NodeList::CreateFunctionCallNode(const FunctionIdentifier& identifier, const SourceLocation& location) {
    if (!identifier.is_constructor)
        return CreateFunctionNode(ParserNode::FUNCTION_CALL_NODE, identifier.name, location);
    Type type = GetTypeFromParserType(identifier.type);
    FunctionNode* node = CreateFunctionNode(ParserNode::FUNCTION_CALL_NODE, GetTypeName(type, false).c_str(), location);
    node->type = type;
    node->op = identifier.type.constructor;
    node->built_in = true;
    return node;
}

FunctionNode* NodeList::CreateCastNode(const Type& type, ParserNode* node) {
    SourceLocation location = node ? node->location : SourceLocation{0, 0};
    FunctionNode* cast = CreateFunctionNode(ParserNode::FUNCTION_CALL_NODE, GetTypeName(type, false).c_str(), location);
    cast->type = type;
    cast->op = static_cast<Operator>(OP_CONSTRUCT_BOOL + type.vector_size);
    cast->built_in = true;
    if (node) {
        cast->depth = node->depth + 1;
        static_cast<AggregateNode*>(cast->children[0])->children.InsertLast(node);
        if (IsTypedNode(node)) cast->type.constant = static_cast<TypedNode*>(node)->type.constant;
    }
    return cast;
}

// Stands in for a missing branch or loop body.
static AggregateNode* CreateEmptyBody(NodeList& list) {
    AggregateNode* body = list.CreateSequenceNode(OP_LIST);
    body->scoped = true;
    return body;
}

SelectionNode* NodeList::CreateSelectionNode(ParserNode* condition, const ParserNodePair& branches) {
    SelectionNode* node = new SelectionNode;
    Adopt(node);
    node->condition = condition;
    node->then_branch = branches.then_branch ? branches.then_branch : CreateEmptyBody(*this);
    node->else_branch = branches.else_branch;
    return node;
}

IterationNode* NodeList::CreateIterationNode(IterationNode::Kind kind, ParserNode* initializer, ParserNode* condition,
                                             ParserNode* increment, ParserNode* body) {
    IterationNode* node = new IterationNode;
    Adopt(node);
    node->kind = kind;
    node->initializer = initializer;
    node->condition = condition;
    node->increment = increment;
    node->body = body ? body : CreateEmptyBody(*this);
    return node;
}

JumpNode* NodeList::CreateJumpNode(Operator op, ParserNode* operand, const SourceLocation& location) {
    JumpNode* node = new JumpNode;
    node->op = op;
    node->operand = operand;
    node->location = location;
    Adopt(node);
    return node;
}

bool NodeList::RemoveAndDestroy(ParserNode* node) {
    if (!node || !nodes.RemoveItem(node)) return false;
    DestroyNode(node);
    return true;
}

void NodeList::SetFile(const char* name) {
    if (file == name || (file && name && strcmp(file, name) == 0)) return;
    if (!name) {
        file = nullptr;
        return;
    }
    size_t size = strlen(name) + 1;
    char* copy = new char[size];
    memcpy(copy, name, size);
    files.InsertLast(copy);
    file = copy;
}

void NodeList::DestroyAll() {
    for (int i = 0; i < nodes.count; ++i) DestroyNode(nodes.items[i]);
    nodes.count = 0;
    for (int i = 0; i < files.count; ++i) delete[] files.items[i];
    files.count = 0;
    file = nullptr;
}

}  // namespace ShaderTool
