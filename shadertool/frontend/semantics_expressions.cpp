// Typing of operators, member selections, subscripts and calls.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shadertool/frontend/semantics.h"

namespace ShaderTool {

static bool SameShape(const Type& a, const Type& b) {
    return a.vector_size == b.vector_size && a.matrix_size == b.matrix_size && a.texture_kind == b.texture_kind &&
           strcmp(a.structure_name.c_str(), b.structure_name.c_str()) == 0;
}

// The type of a node; a missing operand reads as void, anything untyped as
// no type.
static Type TypeOf(const ParserNode* node) {
    if (!node) return Type::Void();
    if (!IsTypedNode(node)) return Type();
    return static_cast<const TypedNode*>(node)->type;
}

// A swizzle that names one component twice reads fine but cannot be written.
static bool SwizzleRepeatsComponent(const char* swizzle) {
    for (int i = 0; swizzle[i]; ++i)
        for (int j = i + 1; swizzle[j]; ++j)
            if (swizzle[i] == swizzle[j]) return true;
    return false;
}

// --- Operators -----------------------------------------------------------------

void Semantics::EvaluateGeneralOperationAndSetOperands(OperatorNode* node, ParserNode* left, ParserNode* right) {
    if (!left) return;
    node->left = left;
    node->right = right;
    bool modifies = ModifiesLeftOperand(node->op);
    bool declaration_initializer =
        node->op == OP_ASSIGN && (node->flags & ParserNode::FLAG_DECLARATION_INITIALIZER) != 0;
    if (modifies) {
        if (unset_outputs.count > 0) CheckForOutputAssignment(left);
        const TypedNode* target = IsTypedNode(left) ? static_cast<const TypedNode*>(left) : nullptr;
        if (!declaration_initializer && !IsModifiableLValue(target)) {
            Error(node->location, "expression must be a modifiable l-value.");
            return;
        }
    }
    EvaluateOperationAndSetOperands(node, left, right, modifies, declaration_initializer);
}

// Whether a signature side accepts an operand of the same shape.
static bool SideAccepts(const Type& side, const Type& operand, bool allow_int_to_float) {
    if (!SameShape(side, operand)) return false;
    if (operand.basic_type == side.basic_type) return true;
    return allow_int_to_float && side.basic_type == TYPE_FLOAT && operand.basic_type == TYPE_INT;
}

void Semantics::EvaluateOperationAndSetOperands(OperatorNode* node, ParserNode* left, ParserNode* right,
                                                bool assignment, bool declaration_initializer) {
    if (!left) return;
    node->left = left;
    node->right = right;
    Type left_type = TypeOf(left);
    Type right_type = TypeOf(right);
    // Arrays are operands only where a declaration initializes a whole array
    // from a list of its size.
    bool arrays_fit = declaration_initializer ? left_type.array_size == right_type.array_size
                                              : left_type.array_size == 0 && right_type.array_size == 0;
    const nArray<OperatorSignature>& signatures = OperatorTable::Shared().GetSignatures(node->op);
    for (int i = 0; arrays_fit && i < signatures.count; ++i) {
        const OperatorSignature& signature = signatures[i];
        if (!SideAccepts(signature.left, left_type, !assignment)) continue;
        if (!SideAccepts(signature.right, right_type, true)) continue;

        node->left = CheckOperand(signature.left, left);
        if (right) node->right = CheckOperand(signature.right, right);
        bool constant = left_type.constant && (!right || right_type.constant);
        node->type = signature.result;
        node->type.array_size = left_type.array_size;
        node->type.qualifier = left_type.qualifier;
        node->type.constant = constant;
        return;
    }
    Error(node->location, "no operator '%s' matches the operands.", GetOperatorString(node->op));
}

ParserNode* Semantics::CheckOperand(const Type& signature_type, ParserNode* operand) {
    if (!operand || signature_type.basic_type != TYPE_FLOAT || TypeOf(operand).basic_type != TYPE_INT) return operand;
    return ConvertOrCastNode(operand, signature_type);
}

ParserNode* Semantics::ConvertOrCastNode(ParserNode* node, const Type& target) {
    if (node->node_type == ParserNode::LITERAL_NODE) {
        LiteralNode* literal = static_cast<LiteralNode*>(node);
        // Decimal, octal with a leading "0", hexadecimal with "0x".
        long long value = strtoll(literal->text.c_str(), nullptr, 0);
        literal->text.SetFormatted("%ff", static_cast<double>(static_cast<float>(value)));
        literal->type = target;
        literal->type.constant = true;
        return literal;
    }
    FunctionNode* cast = nodes.CreateCastNode(target, node);
    cast->type = target;
    cast->type.constant = TypeOf(node).constant;
    return cast;
}

// Only a variable, or a member, element or writable swizzle of one, can be
// assigned to, and it must not be const.
bool Semantics::IsModifiableLValue(const TypedNode* target) const {
    if (!target) return false;
    const Type& type = target->type;
    switch (type.basic_type) {
    case TYPE_NONE: return false;
    case TYPE_STRUCTURE:
    case TYPE_TEXTURE:
        if (type.array_size != 0 || type.vector_size > 0) return false;
        break;
    case TYPE_VOID:
        if (type.array_size != 0 || type.vector_size > 1) return false;
        break;
    default: break;
    }
    const ParserNode* node = target;
    while (node && node->node_type == ParserNode::OPERATOR_NODE) {
        const OperatorNode* op = static_cast<const OperatorNode*>(node);
        if (op->op == OP_SELECT) {
            const Type selected = TypeOf(op->left);
            bool member = selected.basic_type == TYPE_STRUCTURE;
            bool swizzle = selected.vector_size >= 2 && op->right && op->right->node_type == ParserNode::SYMBOL_NODE &&
                           !SwizzleRepeatsComponent(static_cast<const SymbolNode*>(op->right)->name.c_str());
            if (!member && !swizzle) return false;
        } else if (op->op != OP_PARENTHESES && op->op != OP_SUBSCRIPT) {
            return false;
        }
        node = op->left;
    }
    if (!node || node->node_type != ParserNode::SYMBOL_NODE) return false;
    return !type.IsConst();
}

// Strikes the member of "output" that an assignment writes, whether whole,
// by component or by a compound assignment.
void Semantics::CheckForOutputAssignment(ParserNode* target) {
    const OperatorNode* above = nullptr;
    ParserNode* node = target;
    while (node && node->node_type == ParserNode::OPERATOR_NODE) {
        above = static_cast<const OperatorNode*>(node);
        node = above->left;
    }
    if (!node || node->node_type != ParserNode::SYMBOL_NODE || !above || above->op != OP_SELECT) return;
    const SymbolNode* symbol = static_cast<const SymbolNode*>(node);
    if (strcmp(symbol->name.c_str(), "output") != 0 ||
        strcmp(symbol->type.structure_name.c_str(), StructureTable::kOutput) != 0)
        return;
    if (!above->right || above->right->node_type != ParserNode::SYMBOL_NODE) return;
    const char* member = static_cast<const SymbolNode*>(above->right)->name.c_str();
    for (int i = 0; i < unset_outputs.count; ++i) {
        if (strcmp(unset_outputs[i].c_str(), member) == 0) {
            unset_outputs.RemoveItemAtIndex(i);
            return;
        }
    }
}

// --- Subscripts --------------------------------------------------------------

// The value of an int constant written as a literal, possibly in parentheses
// or with a sign; false for anything else.
static bool GetLiteralIntValue(const ParserNode* node, long long& value) {
    if (!node) return false;
    if (node->node_type == ParserNode::LITERAL_NODE) {
        const LiteralNode* literal = static_cast<const LiteralNode*>(node);
        if (literal->type.basic_type != TYPE_INT) return false;
        value = strtoll(literal->text.c_str(), nullptr, 0);
        return true;
    }
    if (node->node_type != ParserNode::OPERATOR_NODE) return false;
    const OperatorNode* op = static_cast<const OperatorNode*>(node);
    if (op->op == OP_PARENTHESES || op->op == OP_UNARY_PLUS) return GetLiteralIntValue(op->left, value);
    if (op->op == OP_NEGATE && GetLiteralIntValue(op->left, value)) {
        value = -value;
        return true;
    }
    return false;
}

// False when the index is no int scalar. A literal index outside a sized
// array is reported too, but the element type still holds.
bool Semantics::CheckArrayIndex(OperatorNode* node, const TypedNode* array, const TypedNode* index) {
    const Type& type = index->type;
    if (type.basic_type != TYPE_INT || type.vector_size != 1 || type.array_size != 0) {
        Error(node->location, "array index must be an int scalar.");
        return false;
    }
    long long value = 0;
    int size = array->type.array_size;
    if (size > 0 && GetLiteralIntValue(index, value) && (value < 0 || value >= size))
        Error(node->location, "array index %lld is out of range for an array of size %i.", value, size);
    return true;
}

// A literal index outside a vector's components or a matrix's rows is
// refused, as one outside a sized array is; the element type still holds.
void Semantics::CheckComponentIndex(OperatorNode* node, const Type& type, const ParserNode* index) {
    long long value = 0;
    if (!GetLiteralIntValue(index, value)) return;
    bool matrix = type.matrix_size > 0;
    int size = matrix ? type.matrix_size : type.vector_size;
    if (value >= 0 && value < size) return;
    Error(node->location, "index %lld is out of range for a %s of size %i.", value, matrix ? "matrix" : "vector", size);
}

void Semantics::EvaluateSubscriptOperationAndSetOperands(OperatorNode* node, ParserNode* array, ParserNode* index) {
    if (!array || !index) return;
    node->left = array;
    node->right = index;
    if (!IsTypedNode(array) || !IsTypedNode(index)) return;
    const TypedNode* typed_array = static_cast<const TypedNode*>(array);
    if (typed_array->type.array_size == 0) {
        EvaluateOperationAndSetOperands(node, array, index, false, false);
        if (node->type.basic_type != TYPE_NONE) CheckComponentIndex(node, typed_array->type, index);
        return;
    }
    if (!CheckArrayIndex(node, typed_array, static_cast<const TypedNode*>(index))) return;
    node->type = typed_array->type;
    node->type.array_size = 0;
}

// --- Member selection ----------------------------------------------------------

// A swizzle: one to four letters all of "xyzw" or all of "rgba", each naming
// a component the vector has.
static bool IsValidSwizzle(const char* member, int vector_size) {
    static const char* const kSets[] = {"xyzw", "rgba"};
    int length = static_cast<int>(strlen(member));
    if (length < 1 || length > 4) return false;
    for (const char* set : kSets) {
        bool all_in_set = true;
        for (int i = 0; i < length && all_in_set; ++i) {
            const char* found = strchr(set, member[i]);
            all_in_set = found && member[i] != '\0' && (found - set) < vector_size;
        }
        if (all_in_set) return true;
    }
    return false;
}

Type Semantics::GetMemberOperatorType(ParserNode* left, const char* member, nString& name, bool& repeated) const {
    repeated = false;
    Type left_type = TypeOf(left);
    if (left_type.basic_type == TYPE_STRUCTURE && left->node_type == ParserNode::SYMBOL_NODE) {
        name = static_cast<const SymbolNode*>(left)->name;
        Type type = GetStructureMemberType(left_type.structure_name.c_str(), member);
        if (type.basic_type != TYPE_NONE) type.constant = left_type.constant;
        return type;
    }
    name = GetTypeName(left_type, false);
    // An array of vectors has no components to select.
    if (left_type.vector_size < 2 || left_type.array_size != 0 || !IsValidSwizzle(member, left_type.vector_size))
        return Type();
    Type type = Type::Vector(left_type.basic_type, static_cast<int>(strlen(member)));
    type.qualifier = left_type.qualifier;
    type.constant = left_type.constant;
    repeated = SwizzleRepeatsComponent(member);
    return type;
}

void Semantics::FailMemberSelection(OperatorNode* node, const nString& name, const char* member) {
    Error(node->location, "'%s' has no member '%s'.", name.c_str(), member);
    node->left = placeholder;
    node->right = placeholder;
}

void Semantics::EvaluateMemberOperationAndSetOperands(OperatorNode* node, ParserNode* left, const char* member) {
    if (!left) return;
    if (!member) member = "";
    nString name;
    bool repeated = false;
    Type type = GetMemberOperatorType(left, member, name, repeated);
    if (type.basic_type == TYPE_NONE) {
        FailMemberSelection(node, name, member);
        return;
    }
    if (repeated) left->flags |= ParserNode::FLAG_REPEATED_SWIZZLE;
    node->left = left;
    node->right = nodes.CreateSymbolNode(type, member);
    node->right->location = node->location;
    node->type = type;
}

// --- Calls -----------------------------------------------------------------------

void Semantics::EvaluateFunctionCall(FunctionNode* call) {
    bool name_found = false;
    FunctionNode* function = FindMatchingFunction(call, name_found);
    if (!function) {
        if (name_found)
            Error(call->location, "no instance of function '%s' matches the argument list.", call->name.c_str());
        else
            Error(call->location, "undeclared function '%s'.", call->name.c_str());
        return;
    }
    if (function->built_in) {
        call->op = function->op;
        call->built_in = true;
    } else {
        function->reference_count += 1;
        RecordUserCall(call, function);
    }
    call->type = function->type;
    CheckFunctionCallArguments(call, function->children.count > 0
                                         ? static_cast<const AggregateNode*>(function->children[0])
                                         : nullptr);
}

// Calls outside any function (in a global's initializer) cannot recur, and
// neither can calls from a refused second definition, which nothing calls.
void Semantics::RecordUserCall(const FunctionNode* call, const FunctionNode* callee) {
    int caller = function_table.UserIndexOf(active_function);
    int called = function_table.UserIndexOf(callee);
    if (caller < 0 || called < 0) return;
    user_calls.InsertLast(UserCall{caller, called, call});
}

void Semantics::CheckFunctionCallArguments(FunctionNode* call, const AggregateNode* parameters) {
    if (call->children.count == 0) return;
    AggregateNode* arguments = static_cast<AggregateNode*>(call->children[0]);
    bool all_constant = true;
    for (int i = 0; i < arguments->children.count; ++i) {
        if (parameters && i < parameters->children.count) {
            const Type& parameter = static_cast<const TypedNode*>(parameters->children[i])->type;
            arguments->children[i] = CheckOperand(parameter, arguments->children[i]);
        }
        if (!TypeOf(arguments->children[i]).constant) all_constant = false;
    }
    bool constructor = call->op >= kFirstConstructor && call->op <= kLastConstructor;
    if (constructor) call->type.constant = all_constant;
}

}  // namespace ShaderTool
