// Base of the target translators: walks a checked ZKSL tree and writes
// C-like text that the HLSL family takes as it is and the GLSL family
// adjusts through the virtual hooks below.
//
// A target translator derives from Translator, fills `function_map` in its
// constructor, sets `bitwise_operators_supported` when the target has the
// integer bit operations, and overrides the hooks where its text differs.
// It keeps the order of the virtual operations and appends its own after
// them.
#pragma once

#include "engine/base/narray.h"
#include "engine/base/nmap.h"
#include "engine/base/nstring.h"
#include "shadertool/frontend/text_buffer.h"
#include "shadertool/translate/frontend.h"

namespace ShaderTool {

class Translator {
public:
    explicit Translator(Log& log);
    virtual ~Translator();

    // Empties every text and returns to the state after construction.
    virtual void Reset();
    // The target's spelling of a built-in function or constructor call.
    virtual nString GetBuiltInFunctionName(const FunctionNode* call);
    virtual nString GetTypeName(const Type& type) const;
    // Runs after the tree and the declarations are written, before the
    // sections are joined.
    virtual void PostProcess();
    // Runs before the tree is walked; targets collect what they need.
    virtual void PreprocessShaderInfo(const ShaderInfo& info);
    virtual void ProcessArrayInitializerList(const OperatorNode* node);
    virtual void ProcessFunctionCallNode(const FunctionNode* node);
    virtual void ProcessFunctionDefinitionNode(const FunctionNode* node);
    virtual void ProcessIterationNode(const IterationNode* node);
    virtual void ProcessJumpNode(const JumpNode* node);
    virtual void ProcessLiteralNode(const LiteralNode* node);
    virtual void ProcessOperatorNode(const OperatorNode* node);
    virtual void ProcessSelectionNode(const SelectionNode* node);
    // Writes the declarations made from the Shader XML (into `header`).
    virtual void ProcessShaderInfoDeclarations(const ShaderInfo& info);
    virtual void ProcessSymbolNode(const SymbolNode* node);
    virtual void ProcessForLoop(const IterationNode* node);
    virtual void ProcessVariableSequence(const AggregateNode* node);
    virtual void ProcessVariableArraySequence(const AggregateNode* node);
    virtual void ProcessWhileLoop(const IterationNode* node);
    // Whether the target writes a binary operator as "left op right", as
    // the base does; false where it writes something before the left
    // operand (a function around both). A chain of such operators is written
    // in a loop rather than by recursion, however long it is.
    virtual bool WritesOperatorBetweenOperands(const OperatorNode* node) const;
    // Logs what the target does not support of an operator it has written.
    virtual void CheckOperatorSupport(const OperatorNode* node);

    // Translates one stage's tree. On success the whole text is `body`
    // (GetOutput); after an error the sections stay unassembled and the
    // result is false.
    bool Translate(const ShaderInfo& info, ShaderTarget target, int level, ShaderType type,
                   const AggregateNode* root);

    // Walks a root node: a declaration list or a statement sequence.
    void ProcessRoot(const AggregateNode* root);
    // Joins header, helpers, globals, prototypes and body into `body`.
    void PrependGlobalDeclarations();

    const TextBuffer& GetOutput() const { return body; }
    bool Succeeded() const { return succeeded; }
    void SetTranslationParameters(int level_mask, ShaderTarget new_target, ShaderType type, unsigned int new_version);

    static bool IsBitwiseOperator(Operator op);
    // Whether evaluating the expression changes a variable: it holds an
    // assignment, an increment or a decrement, or calls a user function.
    static bool HasSideEffects(const ParserNode* node);
    static bool IsSamplerFunctionOperator(Operator op);
    static const char* GetTextureTypeNameSuffix(const Type& type);

protected:
    void ProcessParserNode(const ParserNode* node);
    void ProcessSequence(const AggregateNode* sequence, bool braces);
    void ProcessStatement(const ParserNode* node, bool indent, bool newline);
    void ProcessAggregateNode(const AggregateNode* node);
    void ProcessAggregateNodeOrStatement(const ParserNode* node, bool indent);
    void AppendIndentation();
    void LogError(const nString& message);
    // Logs the message as "file(line:column) error: ...", at the node's
    // place in the source.
    void LogErrorAt(const ParserNode* node, const nString& message);
    // Logs the message the first time `what` is refused in a translation.
    void LogErrorOnce(const nString& what, const nString& message);
    // Refuses, once per name, a name of the source that the target's text
    // cannot take (reserved_names.h).
    void CheckIdentifier(const nString& name);
    // Whether a user function of this name is refused as one that would
    // overload a built-in function of the dialect, or take over the calls
    // the text writes of one; none here.
    virtual bool IsReservedFunctionName(const char* name) const;
    // Refuses the names of a function definition that the target cannot
    // take: the function's, as a name or as one of IsReservedFunctionName,
    // and its parameters'.
    void CheckFunctionNames(const FunctionNode* node);
    nString GetTypeString(const Type& type) const;
    void SetActiveSource(const ParserNode* node);

    // Writes a prefix operator and its operand, with a blank between them
    // when the two would otherwise read as one token ("- -x", not "--x").
    void WritePrefixOperator(const char* symbol, const ParserNode* operand);
    void Write(const char* text) { output->Append(text); }

    // A compound assignment whose rewrite would name its left operand twice
    // ("v = mul(v, m)"), for a left operand with side effects: the operand
    // goes once, as the inout parameter of a helper function that does the
    // rewritten assignment and returns the new value. `operation` names the
    // helper ("_assign_mul_float4_float4x4"), which is written once per text.
    void WriteCompoundAssignmentThroughHelper(const OperatorNode* node, const char* operation);

    // In a pixel shader, refuses a read of the input that is the vertex
    // stage's POSITION output where the target hands the pixel stage nothing
    // under it; `select` is the member selection from input.
    void CheckPixelPositionRead(const OperatorNode* select);

    // The text being written: body, or globals for a declaration outside
    // any function. Both grow by doubling, as the text of one long
    // expression is written a few characters at a time.
    TextBuffer* output;
    nMap<const char*> function_map;
    TextBuffer header;  // the declarations made from the Shader XML
    TextBuffer helpers;  // the helper functions the body calls
    nArray<nString> helper_names;
    Log& log;
    int indentation;
    int level;
    ShaderTarget target;
    ShaderType shader_type;
    unsigned int version;
    bool bitwise_operators_supported;
    bool inside_function;
    nString prototypes;
    TextBuffer globals;
    TextBuffer body;
    bool succeeded;
    nArray<nString> refused;
    // Whether the pixel stage's input of the POSITION output holds anything
    // (the pixel's window position) on this target.
    bool pixel_position_passed;
    // In a pixel shader, the vertex output of semantic POSITION, or null.
    const ShaderVertexOutputVariable* pixel_position_input;

private:
    // The parser bounds the nesting of its trees, and chains of one operator
    // level are written in a loop; a chain whose links are written as
    // functions (mul() in HLSL, mod() in GLSL 1.20) still recurses, and the
    // walk stops there rather than overflow the stack.
    static const int kMaximumNodeDepth = 1000;
    int node_depth = 0;
    // The innermost node being walked that has a place in the source, which
    // the nesting error names.
    const ParserNode* located_node = nullptr;
    void ProcessNodeOfItsType(const ParserNode* node);
    void LogNestingError();
    // Writes a binary operator and the chain of same-level operators on its
    // left, innermost first.
    void WriteOperatorChain(const OperatorNode* node);
    // The chains being written, outermost node of each first; chains nest
    // through right operands, so this is used as a stack.
    nArray<const OperatorNode*> chain_nodes;

    Translator(const Translator&) = delete;
    Translator& operator=(const Translator&) = delete;
    bool NeedsBlankLineBetween(const ParserNode* previous, const ParserNode* next) const;
};

}  // namespace ShaderTool
