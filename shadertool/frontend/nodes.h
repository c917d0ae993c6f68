// Syntax-tree nodes. Plain records: the parser creates them through a
// NodeList, the semantic checks type them, the translators walk them.
//
// Ownership: every node is created through a NodeList and destroyed only
// through it (never by walking the tree). A node owns its strings and its
// children array, not the children themselves.
#pragma once

#include "engine/base/narray.h"
#include "engine/base/nstring.h"
#include "shadertool/frontend/token.h"
#include "shadertool/frontend/types.h"

namespace ShaderTool {

struct ParserNode {
    enum NodeType : int {
        AGGREGATE_NODE = 0,
        FUNCTION_DEFINITION_NODE = 1,  // prototype or definition
        FUNCTION_CALL_NODE = 2,        // call or constructor
        ITERATION_NODE = 3,
        JUMP_NODE = 4,
        LITERAL_NODE = 5,
        OPERATOR_NODE = 6,
        SELECTION_NODE = 7,
        SYMBOL_NODE = 8,
    };
    enum Flag : unsigned int {
        // On the vector operand of a selection whose swizzle names a
        // component twice.
        FLAG_REPEATED_SWIZZLE = 1u << 0,
        // On the "=" node a declaration's initializer creates (exempt from
        // the l-value rule).
        FLAG_DECLARATION_INITIALIZER = 1u << 1,
    };

    explicit ParserNode(NodeType type) : flags(0), location{0, 0}, node_type(type) {}

    unsigned int flags;
    SourceLocation location;
    // The file the node was read from (an included file's name for code of
    // that file); null when unknown. The text belongs to the node list that
    // made the node.
    const char* file = nullptr;
    NodeType node_type;
    // Levels of nodes from this one down to its deepest leaf, 1 for a leaf;
    // a step along a left chain (see IsLeftChainStep) adds no level.
    int depth = 1;
};

struct TypedNode : ParserNode {
    explicit TypedNode(NodeType type) : ParserNode(type) {}
    Type type;
};

struct OperatorNode : TypedNode {
    OperatorNode() : TypedNode(OPERATOR_NODE) {}
    ParserNode* left = nullptr;
    ParserNode* right = nullptr;  // null for unary operators
    Operator op = OP_NONE;
};

struct AggregateNode : TypedNode {
    AggregateNode() : TypedNode(AGGREGATE_NODE) {}
    // Copies the head, type, operator, the child pointers (not the nodes),
    // name and scoped flag; arrays of function nodes rely on it.
    AggregateNode(const AggregateNode&) = default;
    AggregateNode& operator=(const AggregateNode&) = default;

    Operator op = OP_LIST;  // OP_LIST or OP_DECLARATION_LIST
    nArray<ParserNode*> children;
    nString name;
    bool scoped = false;  // written in braces, or stands for a branch or loop body

protected:
    explicit AggregateNode(NodeType type) : TypedNode(type) {}
};

// Node types 1 and 2. type is the return type; op is OP_USER_FUNCTION or the
// built-in / constructor id; children[0] is the parameter or argument list
// (an OP_LIST AggregateNode), children[1] the body of a definition; name is
// the function's name (a constructor's is its type name).
struct FunctionNode : AggregateNode {
    FunctionNode() : AggregateNode(FUNCTION_DEFINITION_NODE) {}
    explicit FunctionNode(NodeType type) : AggregateNode(type) {}

    nString mangled_name;
    int reference_count = 0;  // calls of a user function
    bool built_in = false;
    bool defined = false;
};

struct SymbolNode : TypedNode {
    SymbolNode() : TypedNode(SYMBOL_NODE) {}
    nString name;
    bool shader_constant = false;  // a Shader XML constant declared as a global
};

struct LiteralNode : TypedNode {
    LiteralNode() : TypedNode(LITERAL_NODE) {}
    nString text;  // token text; a float literal always ends in "f" or "F"
};

struct SelectionNode : ParserNode {
    SelectionNode() : ParserNode(SELECTION_NODE) {}
    ParserNode* condition = nullptr;
    ParserNode* then_branch = nullptr;
    ParserNode* else_branch = nullptr;
};

struct IterationNode : ParserNode {
    enum Kind : int { DO_WHILE = 0, FOR = 1, WHILE = 2 };
    IterationNode() : ParserNode(ITERATION_NODE) {}
    ParserNode* body = nullptr;
    ParserNode* initializer = nullptr;
    ParserNode* increment = nullptr;
    ParserNode* condition = nullptr;
    Kind kind = WHILE;
};

struct JumpNode : ParserNode {
    JumpNode() : ParserNode(JUMP_NODE) {}
    ParserNode* operand = nullptr;  // the returned value, or null
    Operator op = OP_RETURN;        // 43 break, 44 continue, 45 discard, 46 return
};

// Values the grammar passes between rules. Plain data for the value union.
struct ParserNodePair {
    ParserNode* then_branch;
    ParserNode* else_branch;
};

struct FunctionIdentifier {
    enum { kMaximumNameLength = 127 };
    bool is_constructor;  // then `type` holds the constructed type, else `name`
    // The called name: the text of a token the parser keeps for the whole
    // parse ("" for a longer name, or none).
    const char* name;
    ParserType type;
};

// True when `left`, the left operand of the binary operator `op`, is itself
// a binary operator of the same left-associative level, as "a - b" is in
// "a - b + c". Such a chain is as long as the source makes it while its
// nesting stays flat, so walks along it go in a loop, not by recursion.
bool IsLeftChainStep(Operator op, const ParserNode* left);

// Operators that write their left operand: the assignments, the compound
// assignments and the increments and decrements.
bool ModifiesLeftOperand(Operator op);

// True for node types whose records carry a Type (all but selection,
// iteration and jump nodes).
bool IsTypedNode(const ParserNode* node);

// Frees the node's own strings and children array, then the node; never its
// children.
void DestroyNode(ParserNode* node);

// The owner of every node created for one source. The parser holds one and
// empties it between sources.
class NodeList {
public:
    NodeList() = default;
    NodeList(const NodeList&) = delete;
    NodeList& operator=(const NodeList&) = delete;
    ~NodeList() { DestroyAll(); }

    // No type (BasicType 6, sizes 0, texture kind 3), no operands.
    OperatorNode* CreateOperatorNode(Operator op, const SourceLocation& location);
    // Empty aggregate with that operator and no location.
    AggregateNode* CreateSequenceNode(Operator op);
    // Constant scalar of the given BasicType; a float literal's text gets an
    // "f" unless it ends in "f" or "F".
    LiteralNode* CreateLiteralNode(BasicType basic, const char* text, const SourceLocation& location);
    // Copies of the type and the name (and, from a token, its location).
    SymbolNode* CreateSymbolNode(const Type& type, const Token& token);
    SymbolNode* CreateSymbolNode(const Type& type, const char* name);
    // node_type 1 or 2, OP_USER_FUNCTION, no return type, and an empty
    // parameter list as children[0].
    FunctionNode* CreateFunctionNode(ParserNode::NodeType node_type, const char* name, const SourceLocation& location);
    // A call by name, or for a type a built-in constructor call of that type
    // named by its spelled name, with an empty argument list.
    FunctionNode* CreateFunctionCallNode(const FunctionIdentifier& identifier, const SourceLocation& location);
    // A float constructor call (OP_CONSTRUCT_FLOAT - 1 + vector size) of the
    // given type at the node's location, with the node as its one argument
    // and the node's constant flag.
    FunctionNode* CreateCastNode(const Type& type, ParserNode* node);
    // A missing then-branch becomes an empty scoped list.
    SelectionNode* CreateSelectionNode(ParserNode* condition, const ParserNodePair& branches);
    // No location; a missing body becomes an empty scoped list.
    IterationNode* CreateIterationNode(IterationNode::Kind kind, ParserNode* initializer, ParserNode* condition,
                                       ParserNode* increment, ParserNode* body);
    JumpNode* CreateJumpNode(Operator op, ParserNode* operand, const SourceLocation& location);

    // Takes ownership of a node made elsewhere; a node of no file gets the
    // current one.
    void Adopt(ParserNode* node) {
        if (!node->file) node->file = file;
        nodes.InsertLast(node);
    }
    // The file of the nodes made from now on (copied; null for none).
    void SetFile(const char* name);
    // Takes one node out of the list and destroys it; false when the list
    // does not hold it.
    bool RemoveAndDestroy(ParserNode* node);
    // Destroys every node and empties the list.
    void DestroyAll();
    int Count() const { return nodes.count; }

    nArray<ParserNode*> nodes;

private:
    const char* file = nullptr;
    nArray<char*> files;  // every name the nodes point at, freed with them
};

}  // namespace ShaderTool
