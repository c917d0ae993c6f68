// The ZKSL built-in tables as plain data: every overload of the built-in
// functions and type constructors, and every operand combination that an
// operator accepts. The front end's BuiltInFunctionManager and OperatorTable
// are filled from these arrays, and nothing else spells the tables out.
//
// Types are written by their short names, the same spelling that mangled
// function names use: "b", "i", "f", "i2".."i4", "f2".."f4", "f2x2", "f3x3",
// "f4x4", "t2", "t3", "tC" for the texture kinds, and "void".
//
// Order is meaning: the parser takes the first overload, and the first
// operator row, that accepts the operands.
#pragma once

#include "shadertool/builtins/operators.h"

namespace ShaderTool {

// One overload of a built-in function or type constructor.
struct BuiltInOverloadRow {
    const char* name;
    Operator id;  // carried by the calls that resolve to it: 50..90 functions, 91..102 constructors
    const char* result;  // short type name
    // Parameters as short type names separated by ",", or "N*T" for N
    // parameters that all have type T (registered with AddMultiple).
    const char* parameters;
};

// One accepted operand combination of an operator. Unary operators store
// "void" as their right operand.
struct OperatorRow {
    Operator id;  // 0..41
    const char* left;
    const char* right;
    const char* result;
};

extern const BuiltInOverloadRow kBuiltInOverloads[];
extern const int kBuiltInOverloadCount;

extern const OperatorRow kOperatorRows[];
extern const int kOperatorRowCount;

}  // namespace ShaderTool
