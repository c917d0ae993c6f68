// Declarations, function signatures, returns, conditions and the checks that
// run once a source has been parsed.
#include <cstring>

#include "shadertool/frontend/semantics.h"

namespace ShaderTool {

static bool IsStructureTextureOrVoid(const Type& type) {
    return type.basic_type == TYPE_STRUCTURE || type.basic_type == TYPE_TEXTURE || type.basic_type == TYPE_VOID;
}

static Type TypeOf(const ParserNode* node) {
    if (!node || !IsTypedNode(node)) return Type();
    return static_cast<const TypedNode*>(node)->type;
}

// Same shape, same BasicType, neither an array.
static bool SameType(const Type& a, const Type& b) {
    return a.basic_type == b.basic_type && a.vector_size == b.vector_size && a.matrix_size == b.matrix_size &&
           a.texture_kind == b.texture_kind && a.array_size == 0 && b.array_size == 0 &&
           strcmp(a.structure_name.c_str(), b.structure_name.c_str()) == 0;
}

// --- Declarations ------------------------------------------------------------

void Semantics::CheckVariableTypeAndName(const Type& type, const char* name, const SourceLocation& name_location) {
    if (IsStructureTextureOrVoid(type)) Error(name_location, "invalid type specifier.");
    static const char* const kBuiltInVariables[] = {"input", "output", "texture"};
    for (const char* built_in : kBuiltInVariables)
        if (name && strcmp(name, built_in) == 0)
            Error(name_location, "variable can not have the same name as built-in variable '%s'.", built_in);
}

void Semantics::CheckVariableTypeConstness(Type& type, ParserNode* initializer, const SourceLocation& location) {
    if (!type.IsConst()) return;
    if (!initializer) {
        Error(location, "'const' variable must be initialized.");
        return;
    }
    if (!TypeOf(initializer).constant) {
        Error(initializer->location, "initializer of 'const' variable must be a constant expression.");
        return;
    }
    if (type.array_size != 0) {
        Error(location, "'const' is not allowed in array declarations.");
        return;
    }
    type.constant = true;
}

ParserNode* Semantics::DeclareVariable(Type type, const char* name, const SourceLocation& name_location,
                                       ParserNode* initializer, const SourceLocation& location) {
    CheckVariableTypeAndName(type, name, name_location);
    CheckVariableTypeConstness(type, initializer, location);
    // Entered before the initializer is typed, so the initializer already
    // sees the new name.
    SymbolNode* symbol = nodes.CreateSymbolNode(type, name ? name : "");
    symbol->location = name_location;
    AddSymbol(symbol);
    if (!initializer) return symbol;
    OperatorNode* assignment = nodes.CreateOperatorNode(OP_ASSIGN, location);
    assignment->flags |= ParserNode::FLAG_DECLARATION_INITIALIZER;
    EvaluateGeneralOperationAndSetOperands(assignment, symbol, initializer);
    return assignment;
}

bool Semantics::ParseArrayDeclaration(Type& type, AggregateNode* list, const SourceLocation& location) {
    int items = list ? list->children.count : 0;
    if (type.array_size == -1) {
        if (!list) {
            Error(location, "array size is required when the initializer list is omitted.");
            return false;
        }
        type.array_size = items;
    }
    if (type.array_size == 0) {
        Error(location, "array size must be larger than 0.");
        return false;
    }
    if (!list) return true;
    if (type.array_size != items) {
        Error(location, "array size does not match with the number of items in the initializer list.");
        return false;
    }
    list->type = type;
    CheckInitializerListMembers(list);
    return true;
}

// Items must have exactly the element type: no implicit conversion here.
void Semantics::CheckInitializerListMembers(AggregateNode* list) {
    Type element = list->type;
    element.array_size = 0;
    bool constant = true;
    for (int i = 0; i < list->children.count; ++i) {
        ParserNode* item = list->children[i];
        Type item_type = TypeOf(item);
        if (!SameType(element, item_type))
            Error(item->location,
                  "member in initializer list does not match the list type. NOTE: implicit conversion is not "
                  "allowed.");
        if (!item_type.constant) constant = false;
    }
    list->type.constant = constant;
}

// --- Functions -----------------------------------------------------------------

void Semantics::CheckFunctionType(TypedNode* node, bool is_function) {
    const Type& type = node->type;
    if (type.basic_type == TYPE_STRUCTURE || type.basic_type == TYPE_TEXTURE ||
        (!is_function && type.basic_type == TYPE_VOID))
        Error(node->location, "invalid type specifier.");
    if (type.IsConst()) Error(node->location, "'const' is not allowed in function declarations.");
    if (!is_function && node->node_type == ParserNode::SYMBOL_NODE &&
        strcmp(static_cast<SymbolNode*>(node)->name.c_str(), "texture") == 0)
        Error(node->location, "parameter can not have the same name as built-in variable '%s'.", "texture");
}

void Semantics::ValidateReturn(JumpNode* jump) {
    if (!active_function) return;
    return_count += 1;
    if (strcmp(active_function->name.c_str(), "main") == 0) {
        Error(jump->location, "returning from main() is not allowed.");
        return;
    }
    const Type& expected = active_function->type;
    if (!jump->operand) {
        if (expected.basic_type != TYPE_VOID)
            Error(jump->location, "return value type does not match the function type.");
        return;
    }
    Type value = TypeOf(jump->operand);
    if (SameType(expected, value)) return;
    Type as_float = value;
    as_float.basic_type = TYPE_FLOAT;
    if (expected.basic_type == TYPE_FLOAT && value.basic_type == TYPE_INT && SameType(expected, as_float)) {
        jump->operand = ConvertOrCastNode(jump->operand, expected);
        return;
    }
    Error(jump->location, "return value type does not match the function type.");
}

void Semantics::CheckFunctionDefinitions() {
    static const SourceLocation kNoLocation = {0, 0};
    if (!function_table.Find("main,")) Error(kNoLocation, "main() has no definition.");
    for (int i = 0; i < function_table.Count(); ++i) {
        const FunctionNode* function = function_table.At(i);
        if (function->reference_count >= 1 && !function->defined)
            ErrorAt(function, "function '%s' is referenced but has no definition.", function->name.c_str());
    }
}

// The state of a function in the walk over the calls.
enum : char { kNotReached = 0, kOnPath = 1, kDone = 2 };

template <class T>
static nArray<T> Filled(int count, T value) {
    nArray<T> list;
    list.SetMaximumSize(count);
    for (int i = 0; i < count; ++i) list.InsertLast(value);
    return list;
}

// Depth first from one function, with a stack of its own rather than the
// machine's, so that a long chain of calls cannot overflow it. A call to a
// function still on the path closes a cycle. Each function is entered once
// and each of its calls followed once, so the walk is linear however often
// a function is called.
void Semantics::WalkCallsFrom(int root, const nArray<int>& first_call, const nArray<int>& calls_by_caller,
                              nArray<char>& state) {
    struct Step {
        int function;
        int next_call;  // into calls_by_caller
    };
    nArray<Step> path;
    state[root] = kOnPath;
    path.InsertLast(Step{root, first_call[root]});
    while (path.count > 0) {
        Step& step = path[path.count - 1];
        if (step.next_call == first_call[step.function + 1]) {
            state[step.function] = kDone;
            path.count -= 1;
            continue;
        }
        const UserCall& call = user_calls[calls_by_caller[step.next_call++]];
        if (state[call.callee] == kOnPath) {
            ErrorAt(call.call, "function '%s' is called recursively; recursion is not allowed.",
                    call.call->name.c_str());
        } else if (state[call.callee] == kNotReached) {
            state[call.callee] = kOnPath;
            path.InsertLast(Step{call.callee, first_call[call.callee]});
        }
    }
}

void Semantics::CheckFunctionRecursion() {
    if (user_calls.count == 0) return;
    int functions = function_table.UserCount();
    // The calls grouped by caller, each group in source order: the calls of
    // function f are calls_by_caller[first_call[f]] up to first_call[f + 1].
    nArray<int> first_call = Filled(functions + 1, 0);
    for (int i = 0; i < user_calls.count; ++i) first_call[user_calls[i].caller + 1] += 1;
    for (int f = 0; f < functions; ++f) first_call[f + 1] += first_call[f];
    nArray<int> placed = Filled(functions, 0);
    nArray<int> calls_by_caller = Filled(user_calls.count, 0);
    for (int i = 0; i < user_calls.count; ++i) {
        int caller = user_calls[i].caller;
        calls_by_caller[first_call[caller] + placed[caller]++] = i;
    }
    nArray<char> state = Filled<char>(functions, kNotReached);
    // From main first, so that a cycle it reaches is reported where a run
    // would first come back; then from every function, since a cycle no
    // call reaches fails on the targets all the same.
    int main_function = function_table.UserIndexOf(function_table.Find("main,"));
    if (main_function >= 0) WalkCallsFrom(main_function, first_call, calls_by_caller, state);
    for (int f = 0; f < functions; ++f)
        if (state[f] == kNotReached) WalkCallsFrom(f, first_call, calls_by_caller, state);
}

// A pixel stage that never writes an output leaves the colour undefined on
// the GL targets and returns an unset structure from HLSL's main, which the
// compilers refuse: both stages are held to every output.
void Semantics::CheckOutputsNotSet() {
    static const SourceLocation kNoLocation = {0, 0};
    const char* stage = shader_type == PIXEL_SHADER ? "pixel" : "vertex";
    for (int i = 0; i < unset_outputs.count; ++i)
        Error(kNoLocation, "%s shader output '%s' is not set.", stage, unset_outputs[i].c_str());
}

// --- Statements ------------------------------------------------------------------

// Target compilers take a bool or an int scalar as a condition, nothing else.
void Semantics::CheckForBooleanExpression(ParserNode* condition) {
    if (!condition) return;
    Type type = TypeOf(condition);
    bool scalar = type.vector_size == 1 && type.matrix_size == 0 && type.array_size == 0;
    if ((type.basic_type == TYPE_BOOL || type.basic_type == TYPE_INT) && scalar) return;
    Error(condition->location, "expression must be a boolean expression.");
}

void Semantics::CheckForShaderType(ShaderType type, const SourceLocation& location) {
    if (shader_type == type) return;
    Error(location, "expression is only allowed in %s shader.", type == PIXEL_SHADER ? "pixel" : "vertex");
}

}  // namespace ShaderTool
