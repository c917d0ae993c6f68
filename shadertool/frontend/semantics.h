// The semantic side of the parser. While the grammar reduces rules it calls
// these operations, which keep the symbol, structure and function tables,
// give every expression node its Type, pick the operator row or function
// overload that applies, insert the one implicit conversion of the language
// (an int value where a float of the same shape is expected) and report
// every misuse as "%s(%i:%i) error: %s\n" in the log.
//
// Work always goes on after an error: a failed operation leaves its node
// without a type, or puts the placeholder symbol "_dummy" in its place, and
// `valid` becomes false.
#pragma once

#include <cstdarg>

#include "engine/base/narray.h"
#include "engine/base/nstring.h"
#include "shadertool/frontend/builtin_functions.h"
#include "shadertool/frontend/log.h"
#include "shadertool/frontend/nodes.h"
#include "shadertool/frontend/operator_table.h"
#include "shadertool/frontend/shader_info.h"
#include "shadertool/frontend/symbol_table.h"
#include "shadertool/frontend/tokenizer.h"
#include "shadertool/frontend/types.h"

namespace ShaderTool {

class Semantics {
public:
    // Nodes are made in `nodes`; messages go to `log` under the tokenizer's
    // current file name (none without a tokenizer). Opens the global frame.
    Semantics(Log& log, NodeList& nodes, const Tokenizer* tokenizer = nullptr);
    Semantics(const Semantics&) = delete;
    Semantics& operator=(const Semantics&) = delete;

    // --- Per source --------------------------------------------------------

    // Empties the function and symbol tables and the structures' members,
    // forgets the unset outputs, the active function and the placeholder,
    // opens the global frame; valid becomes true. Call after the node list
    // was emptied.
    void Reset();
    // Enters every built-in overload into the function table, creates the
    // placeholder "_dummy" (a const int) and takes the source's shader type.
    void Initialize(ShaderType type);
    // The structures and built-in variables of a pixel or vertex source.
    void InitializeStructuresAndVariables(const ShaderInfo& info);
    void InitializeVertexShaderStructures(const ShaderInfo& info);
    void InitializePixelShaderStructures(const ShaderInfo& info);

    // --- Symbols and structures -------------------------------------------

    // Refuses a name that any visible symbol has; an unnamed symbol is not
    // entered.
    void AddSymbol(SymbolNode* symbol);
    void PushSymbolTableFrame();
    void PopSymbolTableFrame();
    // The visible symbol, or "undeclared identifier" and a new unnamed
    // symbol of no type.
    SymbolNode* GetSymbolNode(const char* name, const SourceLocation& location);
    Type GetStructureMemberType(const char* structure, const char* member) const;

    // --- Functions ---------------------------------------------------------

    // Enters a prototype or definition; returns the node that stands for the
    // function from now on (an earlier prototype takes over a definition).
    FunctionNode* AddFunction(FunctionNode* function, bool definition);
    void CheckForMainFunctionSignature(FunctionNode* function, const nString& mangled_name);
    // The first overload accepting the call's arguments, or null;
    // name_found tells whether any function has the call's name.
    FunctionNode* FindMatchingFunction(const FunctionNode* call, bool& name_found) const;
    // Makes the function active: opens its frame and enters its parameters
    // (and, for main, "input" and "output").
    void SetFunctionActive(FunctionNode* function);
    // Ends the active function; a non-void one must have returned a value.
    // The grammar closes the frame itself.
    void ResetActiveFunction();
    // Checks a return type (is_function) or a parameter.
    void CheckFunctionType(TypedNode* node, bool is_function);
    void ValidateReturn(JumpNode* jump);

    // --- Expressions -------------------------------------------------------

    // Every operator node of the grammar except "()", "." and "[]": sets the
    // operands and the type. right is null for unary operators.
    void EvaluateGeneralOperationAndSetOperands(OperatorNode* node, ParserNode* left, ParserNode* right);
    void EvaluateOperationAndSetOperands(OperatorNode* node, ParserNode* left, ParserNode* right, bool assignment,
                                         bool declaration_initializer);
    // "[]": an array gives its element; anything else goes to the table. The
    // index must be an int scalar, and a constant one must lie inside a
    // sized array.
    void EvaluateSubscriptOperationAndSetOperands(OperatorNode* node, ParserNode* array, ParserNode* index);
    // ".": a structure member or a swizzle.
    void EvaluateMemberOperationAndSetOperands(OperatorNode* node, ParserNode* left, const char* member);
    // The member's type, or no type when the left operand has no such
    // member. `name` receives what the message quotes for the left side.
    Type GetMemberOperatorType(ParserNode* left, const char* member, nString& name, bool& repeated) const;
    // The operand, or its float conversion when the row wants a float and
    // the operand is int.
    ParserNode* CheckOperand(const Type& signature_type, ParserNode* operand);
    // A literal is rewritten in place ("7" -> "7.000000f"); any other node is
    // wrapped in a float constructor call.
    ParserNode* ConvertOrCastNode(ParserNode* node, const Type& target);
    // Resolves a call or constructor and types it.
    void EvaluateFunctionCall(FunctionNode* call);
    void CheckFunctionCallArguments(FunctionNode* call, const AggregateNode* parameters);

    // --- Declarations ------------------------------------------------------

    // Declares a variable; returns its symbol or, with an initializer, the
    // "=" node (flagged as declaration initializer) at `location`.
    ParserNode* DeclareVariable(Type type, const char* name, const SourceLocation& name_location,
                                ParserNode* initializer, const SourceLocation& location);
    void CheckVariableTypeAndName(const Type& type, const char* name, const SourceLocation& name_location);
    void CheckVariableTypeConstness(Type& type, ParserNode* initializer, const SourceLocation& location);
    // An array declared with a braced initializer list: settles the size
    // (taken from the list for "[]") and types the list. False when the size
    // is refused; the declaration goes on either way.
    bool ParseArrayDeclaration(Type& type, AggregateNode* list, const SourceLocation& location);
    void CheckInitializerListMembers(AggregateNode* list);

    // --- Statements and the end of a source --------------------------------

    // Conditions of if, while, do-while and for: a bool or int scalar.
    void CheckForBooleanExpression(ParserNode* condition);
    void CheckForShaderType(ShaderType type, const SourceLocation& location);
    void CheckFunctionDefinitions();
    // Refuses every call that closes a cycle of user functions, reachable
    // from main or not: no target accepts recursion.
    void CheckFunctionRecursion();
    // Reports every member of output the stage never writes.
    void CheckOutputsNotSet();

    // --- State -------------------------------------------------------------

    // The process's shared built-in function and operator tables are taken
    // where they are used (BuiltInFunctionManager::Shared(),
    // OperatorTable::Shared()), so that they are built by the first parse,
    // not by the first parser: the engine's run-time parser exists from
    // static initialisation on, in runs that never parse.
    FunctionTable function_table;
    StructureTable structure_table;
    SymbolTable symbol_table;
    nArray<nString> unset_outputs;  // members of "_Output" not yet written
    FunctionNode* active_function = nullptr;
    int return_count = 0;
    ShaderType shader_type = UNKNOWN_SHADER;
    SymbolNode* placeholder = nullptr;  // "_dummy", stands in for failed operands
    bool valid = true;

private:
    // A call from one user function to another, by their numbers among the
    // user functions of the table.
    struct UserCall {
        int caller;
        int callee;
        const FunctionNode* call;
    };

    void Error(const SourceLocation& location, const char* format, ...) __attribute__((format(printf, 3, 4)));
    // The same for a node, under the file it was read from.
    void ErrorAt(const ParserNode* node, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void ReportError(const char* file, const SourceLocation& location, const char* format, va_list args);
    void RecordUserCall(const FunctionNode* call, const FunctionNode* callee);
    void WalkCallsFrom(int root, const nArray<int>& first_call, const nArray<int>& calls_by_caller,
                       nArray<char>& state);

    template <class Variable>
    void InitializeInputOutputStructure(const char* structure, const nArray<Variable>& variables, bool pixel_input);
    void InitializeConstants(const nArray<ShaderConstantVariable>& constants, unsigned int version);
    void InitializeConstantsStructure(const nArray<ShaderConstantVariable>& constants);
    void InitializeConstantVariables(const nArray<ShaderConstantVariable>& constants);
    SymbolNode* CreateStructureSymbol(const char* name, const char* structure);
    void MoveFunctionDefinition(FunctionNode* declared, FunctionNode* defined);

    bool IsModifiableLValue(const TypedNode* target) const;
    void CheckForOutputAssignment(ParserNode* target);
    bool CheckArrayIndex(OperatorNode* node, const TypedNode* array, const TypedNode* index);
    void CheckComponentIndex(OperatorNode* node, const Type& type, const ParserNode* index);
    void FailMemberSelection(OperatorNode* node, const nString& name, const char* member);

    Log& log;
    NodeList& nodes;
    const Tokenizer* tokenizer;
    nArray<UserCall> user_calls;  // in source order
};

}  // namespace ShaderTool
