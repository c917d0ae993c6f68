// Expressions of the if, elif and define directives: the values the
// grammar makes of its tokens, the calls of _IS_ARRAY_NODE_DEFINED, and
// the operators folded over constants, each fault reported where it
// arises and the value then taken as the int 0.
#include <cstring>
#include <limits>

#include "shadertool/frontend/preprocessor_internal.h"

namespace ShaderTool {

namespace {

const char* const kArrayNodeFunction = "_IS_ARRAY_NODE_DEFINED";

float AsFloat(const Constant& value) {
    return value.kind == Constant::INT ? static_cast<float>(value.int_value) : value.float_value;
}

// Signed arithmetic that wraps instead of overflowing.
int WrapAdd(int a, int b) { return static_cast<int>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
int WrapSubtract(int a, int b) { return static_cast<int>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
int WrapMultiply(int a, int b) { return static_cast<int>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }

Constant WithFault(Constant value, int fault) {
    value.fault = fault;
    return value;
}

}  // namespace

bool SetString(String& out, const char* text, int length) {
    if (!text) text = "";
    int full = length < 0 ? static_cast<int>(std::strlen(text)) : length;
    int kept = full > String::kMaximumLength ? String::kMaximumLength : full;
    std::memcpy(out.text, text, kept);
    out.text[kept] = '\0';
    out.length = kept;
    return kept == full;
}

Constant Preprocessor::MakeInt(int value, const SourceLocation& location) {
    Constant constant;
    std::memset(&constant, 0, sizeof constant);
    constant.kind = Constant::INT;
    constant.int_value = value;
    constant.location = location;
    return constant;
}

Constant Preprocessor::MakeFloat(double value, const SourceLocation& location) {
    Constant constant = MakeInt(0, location);
    constant.kind = Constant::FLOAT;
    // A double beyond the float range has no float value; it is infinite.
    if (value > std::numeric_limits<float>::max()) {
        constant.float_value = std::numeric_limits<float>::infinity();
    } else if (value < -std::numeric_limits<float>::max()) {
        constant.float_value = -std::numeric_limits<float>::infinity();
    } else {
        constant.float_value = static_cast<float>(value);
    }
    return constant;
}

Constant Preprocessor::MakeIntFromText(const Token& token) {
    return MakeInt(ParseDecimalInt(token.text), token.location);
}

Constant Preprocessor::MakeName(const Token& token) {
    Constant constant = MakeInt(0, token.location);
    constant.kind = Constant::STRING;
    if (!SetString(constant.string_value, token.text, token.length)) {
        ReportError(token.location, "text is longer than %i characters.", static_cast<int>(String::kMaximumLength));
    }
    return constant;
}

Constant Preprocessor::MakeStringLiteral(const Token& token) {
    return MakeName(token);
}

FunctionCall Preprocessor::MakeFunctionCall(const Token& name) {
    FunctionCall call;
    std::memset(&call, 0, sizeof call);
    call.name = MakeName(name).string_value;
    call.location = name.location;
    return call;
}

FunctionCall* Preprocessor::KeepFunctionCall(const FunctionCall& call) {
    if (calls_used == calls.count) calls.InsertLast(new FunctionCall);
    FunctionCall* kept = calls[calls_used++];
    *kept = call;
    return kept;
}

void Preprocessor::AddFunctionCallArgument(FunctionCall& call, const Constant& argument) {
    if (call.argument_count < 2) call.arguments[call.argument_count] = argument;
    ++call.argument_count;
}

Constant Preprocessor::GetConstantAsExpression(const Constant& constant) {
    if (constant.kind != Constant::STRING) return constant;
    Constant value = GetDefinition(constant);
    if (value.kind == Constant::STRING) {
        ReportError(constant.location, "expression evaluating to a string literal is not allowed.");
        return MakeInt(0, constant.location);
    }
    return value;
}

Constant Preprocessor::EvaluateDefined(const Token& name, const SourceLocation& location) {
    return MakeInt(GetDefinitionIndex(name.text) >= 0 ? 1 : 0, location);
}

Constant Preprocessor::EvaluateFunctionCall(const FunctionCall& call) {
    if (std::strcmp(call.name.text, kArrayNodeFunction) != 0) {
        ReportError(call.location, "undeclared function-like macro '%s'.", call.name.text);
        return MakeInt(0, call.location);
    }
    if (call.argument_count != 2 || call.arguments[0].kind != Constant::STRING ||
        call.arguments[1].kind != Constant::STRING) {
        ReportError(call.location, "invalid arguments.");
        return MakeInt(0, call.location);
    }
    bool exists = DoesNameExistInShaderInfoArray(call.arguments[0].string_value, call.arguments[1].string_value,
                                                 call.location);
    return MakeInt(exists ? 1 : 0, call.location);
}

namespace {

template <class T>
bool ListHoldsId(const nArray<T>& list, const char* id) {
    for (int i = 0; i < list.Count(); ++i) {
        if (std::strcmp(list[i].id.c_str(), id) == 0) return true;
    }
    return false;
}

}  // namespace

bool Preprocessor::DoesNameExistInShaderInfoArray(const String& array, const String& name,
                                                  const SourceLocation& location) {
    const char* a = array.text;
    const char* id = name.text;
    if (std::strcmp(a, "constants") == 0) return ListHoldsId(info->constants, id);
    if (std::strcmp(a, "pixel_constants") == 0) return ListHoldsId(info->pixel_constants, id);
    if (std::strcmp(a, "pixel_output") == 0) return ListHoldsId(info->pixel_output, id);
    if (std::strcmp(a, "pixel_textures") == 0) return ListHoldsId(info->pixel_textures, id);
    if (std::strcmp(a, "vertex_constants") == 0) return ListHoldsId(info->vertex_constants, id);
    if (std::strcmp(a, "vertex_input") == 0) return ListHoldsId(info->vertex_input, id);
    if (std::strcmp(a, "vertex_output") == 0) return ListHoldsId(info->vertex_output, id);
    ReportError(location, "invalid array name.");
    return false;
}

Constant Preprocessor::EvaluateUnary(PreprocessorOperation operation, const Constant& operand,
                                     const SourceLocation& location) {
    Constant result = MakeInt(0, location);
    if (!IsNumeric(operand)) {
        result = WithFault(result, Constant::NOT_NUMERIC);
    } else if (operation == PreprocessorOperation::NEGATE) {
        result = operand;
        result.location = location;
        if (operand.kind == Constant::INT) {
            result.int_value = WrapSubtract(0, operand.int_value);
        } else {
            result.float_value = -operand.float_value;
        }
    } else {
        result.int_value = IsTrue(operand) ? 0 : 1;
    }
    ValidateOperationResult(result, location);
    return result;
}

namespace {

Constant EvaluateArithmetic(PreprocessorOperation operation, const Constant& left, const Constant& right,
                            Constant result) {
    if (left.kind == Constant::INT && right.kind == Constant::INT) {
        int a = left.int_value;
        int b = right.int_value;
        switch (operation) {
        case PreprocessorOperation::MULTIPLY: result.int_value = WrapMultiply(a, b); break;
        case PreprocessorOperation::ADD: result.int_value = WrapAdd(a, b); break;
        case PreprocessorOperation::SUBTRACT: result.int_value = WrapSubtract(a, b); break;
        default:
            if (b == 0) return WithFault(result, Constant::DIVISION_BY_ZERO);
            if (a == std::numeric_limits<int>::min() && b == -1) return WithFault(result, Constant::DIVISION_OVERFLOW);
            result.int_value = a / b;
            break;
        }
        return result;
    }
    float a = AsFloat(left);
    float b = AsFloat(right);
    result.kind = Constant::FLOAT;
    switch (operation) {
    case PreprocessorOperation::MULTIPLY: result.float_value = a * b; break;
    case PreprocessorOperation::ADD: result.float_value = a + b; break;
    case PreprocessorOperation::SUBTRACT: result.float_value = a - b; break;
    default: result.float_value = a / b; break;
    }
    return result;
}

template <class Number>
bool CompareNumbers(PreprocessorOperation operation, Number a, Number b) {
    switch (operation) {
    case PreprocessorOperation::LESS: return a < b;
    case PreprocessorOperation::GREATER: return a > b;
    case PreprocessorOperation::LESS_EQUAL: return a <= b;
    case PreprocessorOperation::GREATER_EQUAL: return a >= b;
    case PreprocessorOperation::EQUAL: return a == b;
    default: return a != b;
    }
}

// Two ints are compared as ints, so that values beyond a float's precision
// keep their order; anything else as floats.
bool Compare(PreprocessorOperation operation, const Constant& left, const Constant& right) {
    if (left.kind == Constant::INT && right.kind == Constant::INT)
        return CompareNumbers(operation, left.int_value, right.int_value);
    return CompareNumbers(operation, AsFloat(left), AsFloat(right));
}

}  // namespace

Constant Preprocessor::EvaluateBinary(PreprocessorOperation operation, const Constant& left, const Constant& right,
                                      const SourceLocation& location) {
    Constant result = MakeInt(0, left.location);
    if (!IsNumeric(left) || !IsNumeric(right)) {
        result = WithFault(result, Constant::NOT_NUMERIC);
    } else {
        switch (operation) {
        case PreprocessorOperation::MULTIPLY:
        case PreprocessorOperation::DIVIDE:
        case PreprocessorOperation::ADD:
        case PreprocessorOperation::SUBTRACT:
            result = EvaluateArithmetic(operation, left, right, result);
            break;
        case PreprocessorOperation::LOGICAL_AND:
            result.int_value = IsTrue(left) && IsTrue(right) ? 1 : 0;
            break;
        case PreprocessorOperation::LOGICAL_OR:
            result.int_value = IsTrue(left) || IsTrue(right) ? 1 : 0;
            break;
        default:
            result.int_value = Compare(operation, left, right) ? 1 : 0;
            break;
        }
    }
    ValidateOperationResult(result, location);
    return result;
}

void Preprocessor::ValidateOperationResult(Constant& result, const SourceLocation& location) {
    switch (result.fault) {
    case Constant::NO_FAULT: return;
    case Constant::NOT_NUMERIC: ReportError(location, "operands must be of numeric type."); break;
    case Constant::DIVISION_BY_ZERO: ReportError(location, "division by zero."); break;
    default: ReportError(location, "integer division overflows."); break;
    }
    result = MakeInt(0, result.location);
}

}  // namespace ShaderTool
