// Every operand combination the ZKSL operators accept, as (left, right) ->
// result, grouped by Operator id. Within an id the parser takes the first row
// that accepts the operands, so the order is part of the table. Ids 1 "()"
// and 33 "." have no rows: parentheses and member selection are typed
// without the table.
#include "shadertool/builtins/builtin_tables.h"

namespace ShaderTool {

const OperatorRow kOperatorRows[] = {
    // 0 "~": 4
    {OP_BITWISE_NOT, "i", "void", "i"}, {OP_BITWISE_NOT, "i2", "void", "i2"},
    {OP_BITWISE_NOT, "i3", "void", "i3"}, {OP_BITWISE_NOT, "i4", "void", "i4"},
    // 2 "!": 1
    {OP_LOGICAL_NOT, "b", "void", "b"},
    // 3 "- (negation)": 11
    {OP_NEGATE, "i", "void", "i"}, {OP_NEGATE, "f", "void", "f"}, {OP_NEGATE, "i2", "void", "i2"},
    {OP_NEGATE, "i3", "void", "i3"}, {OP_NEGATE, "i4", "void", "i4"}, {OP_NEGATE, "f2", "void", "f2"},
    {OP_NEGATE, "f3", "void", "f3"}, {OP_NEGATE, "f4", "void", "f4"}, {OP_NEGATE, "f2x2", "void", "f2x2"},
    {OP_NEGATE, "f3x3", "void", "f3x3"}, {OP_NEGATE, "f4x4", "void", "f4x4"},
    // 4 "+ (unary)": 4
    {OP_UNARY_PLUS, "i", "void", "i"}, {OP_UNARY_PLUS, "i2", "void", "i2"}, {OP_UNARY_PLUS, "i3", "void", "i3"},
    {OP_UNARY_PLUS, "i4", "void", "i4"},
    // 5 "-- (post)": 11
    {OP_POST_DECREMENT, "i", "void", "i"}, {OP_POST_DECREMENT, "f", "void", "f"},
    {OP_POST_DECREMENT, "i2", "void", "i2"}, {OP_POST_DECREMENT, "i3", "void", "i3"},
    {OP_POST_DECREMENT, "i4", "void", "i4"}, {OP_POST_DECREMENT, "f2", "void", "f2"},
    {OP_POST_DECREMENT, "f3", "void", "f3"}, {OP_POST_DECREMENT, "f4", "void", "f4"},
    {OP_POST_DECREMENT, "f2x2", "void", "f2x2"}, {OP_POST_DECREMENT, "f3x3", "void", "f3x3"},
    {OP_POST_DECREMENT, "f4x4", "void", "f4x4"},
    // 6 "++ (post)": 11
    {OP_POST_INCREMENT, "i", "void", "i"}, {OP_POST_INCREMENT, "f", "void", "f"},
    {OP_POST_INCREMENT, "i2", "void", "i2"}, {OP_POST_INCREMENT, "i3", "void", "i3"},
    {OP_POST_INCREMENT, "i4", "void", "i4"}, {OP_POST_INCREMENT, "f2", "void", "f2"},
    {OP_POST_INCREMENT, "f3", "void", "f3"}, {OP_POST_INCREMENT, "f4", "void", "f4"},
    {OP_POST_INCREMENT, "f2x2", "void", "f2x2"}, {OP_POST_INCREMENT, "f3x3", "void", "f3x3"},
    {OP_POST_INCREMENT, "f4x4", "void", "f4x4"},
    // 7 "-- (pre)": 11
    {OP_PRE_DECREMENT, "i", "void", "i"}, {OP_PRE_DECREMENT, "f", "void", "f"},
    {OP_PRE_DECREMENT, "i2", "void", "i2"}, {OP_PRE_DECREMENT, "i3", "void", "i3"},
    {OP_PRE_DECREMENT, "i4", "void", "i4"}, {OP_PRE_DECREMENT, "f2", "void", "f2"},
    {OP_PRE_DECREMENT, "f3", "void", "f3"}, {OP_PRE_DECREMENT, "f4", "void", "f4"},
    {OP_PRE_DECREMENT, "f2x2", "void", "f2x2"}, {OP_PRE_DECREMENT, "f3x3", "void", "f3x3"},
    {OP_PRE_DECREMENT, "f4x4", "void", "f4x4"},
    // 8 "++ (pre)": 11
    {OP_PRE_INCREMENT, "i", "void", "i"}, {OP_PRE_INCREMENT, "f", "void", "f"},
    {OP_PRE_INCREMENT, "i2", "void", "i2"}, {OP_PRE_INCREMENT, "i3", "void", "i3"},
    {OP_PRE_INCREMENT, "i4", "void", "i4"}, {OP_PRE_INCREMENT, "f2", "void", "f2"},
    {OP_PRE_INCREMENT, "f3", "void", "f3"}, {OP_PRE_INCREMENT, "f4", "void", "f4"},
    {OP_PRE_INCREMENT, "f2x2", "void", "f2x2"}, {OP_PRE_INCREMENT, "f3x3", "void", "f3x3"},
    {OP_PRE_INCREMENT, "f4x4", "void", "f4x4"},
    // 9 "+": 29
    {OP_ADD, "i", "i", "i"}, {OP_ADD, "f", "f", "f"}, {OP_ADD, "i", "i2", "i2"}, {OP_ADD, "i", "i3", "i3"},
    {OP_ADD, "i", "i4", "i4"}, {OP_ADD, "i2", "i", "i2"}, {OP_ADD, "i2", "i2", "i2"}, {OP_ADD, "i3", "i", "i3"},
    {OP_ADD, "i3", "i3", "i3"}, {OP_ADD, "i4", "i", "i4"}, {OP_ADD, "i4", "i4", "i4"},
    {OP_ADD, "f", "f2", "f2"}, {OP_ADD, "f2", "f", "f2"}, {OP_ADD, "f2", "f2", "f2"}, {OP_ADD, "f", "f3", "f3"},
    {OP_ADD, "f3", "f", "f3"}, {OP_ADD, "f3", "f3", "f3"}, {OP_ADD, "f", "f4", "f4"}, {OP_ADD, "f4", "f", "f4"},
    {OP_ADD, "f4", "f4", "f4"}, {OP_ADD, "f", "f2x2", "f2x2"}, {OP_ADD, "f2x2", "f", "f2x2"},
    {OP_ADD, "f2x2", "f2x2", "f2x2"}, {OP_ADD, "f", "f3x3", "f3x3"}, {OP_ADD, "f3x3", "f", "f3x3"},
    {OP_ADD, "f3x3", "f3x3", "f3x3"}, {OP_ADD, "f", "f4x4", "f4x4"}, {OP_ADD, "f4x4", "f", "f4x4"},
    {OP_ADD, "f4x4", "f4x4", "f4x4"},
    // 10 "=": 12
    {OP_ASSIGN, "b", "b", "b"}, {OP_ASSIGN, "i", "i", "i"}, {OP_ASSIGN, "f", "f", "f"},
    {OP_ASSIGN, "i2", "i2", "i2"}, {OP_ASSIGN, "i3", "i3", "i3"}, {OP_ASSIGN, "i4", "i4", "i4"},
    {OP_ASSIGN, "f2", "f2", "f2"}, {OP_ASSIGN, "f3", "f3", "f3"}, {OP_ASSIGN, "f4", "f4", "f4"},
    {OP_ASSIGN, "f2x2", "f2x2", "f2x2"}, {OP_ASSIGN, "f3x3", "f3x3", "f3x3"},
    {OP_ASSIGN, "f4x4", "f4x4", "f4x4"},
    // 11 "+=": 20
    {OP_ASSIGN_ADD, "i", "i", "i"}, {OP_ASSIGN_ADD, "f", "f", "f"}, {OP_ASSIGN_ADD, "i2", "i", "i2"},
    {OP_ASSIGN_ADD, "i2", "i2", "i2"}, {OP_ASSIGN_ADD, "i3", "i", "i3"}, {OP_ASSIGN_ADD, "i3", "i3", "i3"},
    {OP_ASSIGN_ADD, "i4", "i", "i4"}, {OP_ASSIGN_ADD, "i4", "i4", "i4"}, {OP_ASSIGN_ADD, "f2", "f", "f2"},
    {OP_ASSIGN_ADD, "f2", "f2", "f2"}, {OP_ASSIGN_ADD, "f3", "f", "f3"}, {OP_ASSIGN_ADD, "f3", "f3", "f3"},
    {OP_ASSIGN_ADD, "f4", "f", "f4"}, {OP_ASSIGN_ADD, "f4", "f4", "f4"}, {OP_ASSIGN_ADD, "f2x2", "f", "f2x2"},
    {OP_ASSIGN_ADD, "f2x2", "f2x2", "f2x2"}, {OP_ASSIGN_ADD, "f3x3", "f", "f3x3"},
    {OP_ASSIGN_ADD, "f3x3", "f3x3", "f3x3"}, {OP_ASSIGN_ADD, "f4x4", "f", "f4x4"},
    {OP_ASSIGN_ADD, "f4x4", "f4x4", "f4x4"},
    // 12 "&=": 4
    {OP_ASSIGN_AND, "i", "i", "i"}, {OP_ASSIGN_AND, "i2", "i2", "i2"}, {OP_ASSIGN_AND, "i3", "i3", "i3"},
    {OP_ASSIGN_AND, "i4", "i4", "i4"},
    // 13 "/=": 20
    {OP_ASSIGN_DIVIDE, "i", "i", "i"}, {OP_ASSIGN_DIVIDE, "f", "f", "f"}, {OP_ASSIGN_DIVIDE, "i2", "i", "i2"},
    {OP_ASSIGN_DIVIDE, "i2", "i2", "i2"}, {OP_ASSIGN_DIVIDE, "i3", "i", "i3"},
    {OP_ASSIGN_DIVIDE, "i3", "i3", "i3"}, {OP_ASSIGN_DIVIDE, "i4", "i", "i4"},
    {OP_ASSIGN_DIVIDE, "i4", "i4", "i4"}, {OP_ASSIGN_DIVIDE, "f2", "f", "f2"},
    {OP_ASSIGN_DIVIDE, "f2", "f2", "f2"}, {OP_ASSIGN_DIVIDE, "f3", "f", "f3"},
    {OP_ASSIGN_DIVIDE, "f3", "f3", "f3"}, {OP_ASSIGN_DIVIDE, "f4", "f", "f4"},
    {OP_ASSIGN_DIVIDE, "f4", "f4", "f4"}, {OP_ASSIGN_DIVIDE, "f2x2", "f", "f2x2"},
    {OP_ASSIGN_DIVIDE, "f2x2", "f2x2", "f2x2"}, {OP_ASSIGN_DIVIDE, "f3x3", "f", "f3x3"},
    {OP_ASSIGN_DIVIDE, "f3x3", "f3x3", "f3x3"}, {OP_ASSIGN_DIVIDE, "f4x4", "f", "f4x4"},
    {OP_ASSIGN_DIVIDE, "f4x4", "f4x4", "f4x4"},
    // 14 "<<=": 4
    {OP_ASSIGN_LEFT_SHIFT, "i", "i", "i"}, {OP_ASSIGN_LEFT_SHIFT, "i2", "i2", "i2"},
    {OP_ASSIGN_LEFT_SHIFT, "i3", "i3", "i3"}, {OP_ASSIGN_LEFT_SHIFT, "i4", "i4", "i4"},
    // 15 "%=": 7
    {OP_ASSIGN_MODULO, "i", "i", "i"}, {OP_ASSIGN_MODULO, "i2", "i", "i2"},
    {OP_ASSIGN_MODULO, "i2", "i2", "i2"}, {OP_ASSIGN_MODULO, "i3", "i", "i3"},
    {OP_ASSIGN_MODULO, "i3", "i3", "i3"}, {OP_ASSIGN_MODULO, "i4", "i", "i4"},
    {OP_ASSIGN_MODULO, "i4", "i4", "i4"},
    // 16 "*=": 23
    {OP_ASSIGN_MULTIPLY, "i", "i", "i"}, {OP_ASSIGN_MULTIPLY, "f", "f", "f"},
    {OP_ASSIGN_MULTIPLY, "i2", "i", "i2"}, {OP_ASSIGN_MULTIPLY, "i2", "i2", "i2"},
    {OP_ASSIGN_MULTIPLY, "i3", "i", "i3"}, {OP_ASSIGN_MULTIPLY, "i3", "i3", "i3"},
    {OP_ASSIGN_MULTIPLY, "i4", "i", "i4"}, {OP_ASSIGN_MULTIPLY, "i4", "i4", "i4"},
    {OP_ASSIGN_MULTIPLY, "f2", "f", "f2"}, {OP_ASSIGN_MULTIPLY, "f2", "f2", "f2"},
    {OP_ASSIGN_MULTIPLY, "f2", "f2x2", "f2"}, {OP_ASSIGN_MULTIPLY, "f3", "f", "f3"},
    {OP_ASSIGN_MULTIPLY, "f3", "f3", "f3"}, {OP_ASSIGN_MULTIPLY, "f3", "f3x3", "f3"},
    {OP_ASSIGN_MULTIPLY, "f4", "f", "f4"}, {OP_ASSIGN_MULTIPLY, "f4", "f4", "f4"},
    {OP_ASSIGN_MULTIPLY, "f4", "f4x4", "f4"}, {OP_ASSIGN_MULTIPLY, "f2x2", "f", "f2x2"},
    {OP_ASSIGN_MULTIPLY, "f2x2", "f2x2", "f2x2"}, {OP_ASSIGN_MULTIPLY, "f3x3", "f", "f3x3"},
    {OP_ASSIGN_MULTIPLY, "f3x3", "f3x3", "f3x3"}, {OP_ASSIGN_MULTIPLY, "f4x4", "f", "f4x4"},
    {OP_ASSIGN_MULTIPLY, "f4x4", "f4x4", "f4x4"},
    // 17 "|=": 4
    {OP_ASSIGN_OR, "i", "i", "i"}, {OP_ASSIGN_OR, "i2", "i2", "i2"}, {OP_ASSIGN_OR, "i3", "i3", "i3"},
    {OP_ASSIGN_OR, "i4", "i4", "i4"},
    // 18 ">>=": 4
    {OP_ASSIGN_RIGHT_SHIFT, "i", "i", "i"}, {OP_ASSIGN_RIGHT_SHIFT, "i2", "i2", "i2"},
    {OP_ASSIGN_RIGHT_SHIFT, "i3", "i3", "i3"}, {OP_ASSIGN_RIGHT_SHIFT, "i4", "i4", "i4"},
    // 19 "-=": 20
    {OP_ASSIGN_SUBTRACT, "i", "i", "i"}, {OP_ASSIGN_SUBTRACT, "f", "f", "f"},
    {OP_ASSIGN_SUBTRACT, "i2", "i", "i2"}, {OP_ASSIGN_SUBTRACT, "i2", "i2", "i2"},
    {OP_ASSIGN_SUBTRACT, "i3", "i", "i3"}, {OP_ASSIGN_SUBTRACT, "i3", "i3", "i3"},
    {OP_ASSIGN_SUBTRACT, "i4", "i", "i4"}, {OP_ASSIGN_SUBTRACT, "i4", "i4", "i4"},
    {OP_ASSIGN_SUBTRACT, "f2", "f", "f2"}, {OP_ASSIGN_SUBTRACT, "f2", "f2", "f2"},
    {OP_ASSIGN_SUBTRACT, "f3", "f", "f3"}, {OP_ASSIGN_SUBTRACT, "f3", "f3", "f3"},
    {OP_ASSIGN_SUBTRACT, "f4", "f", "f4"}, {OP_ASSIGN_SUBTRACT, "f4", "f4", "f4"},
    {OP_ASSIGN_SUBTRACT, "f2x2", "f", "f2x2"}, {OP_ASSIGN_SUBTRACT, "f2x2", "f2x2", "f2x2"},
    {OP_ASSIGN_SUBTRACT, "f3x3", "f", "f3x3"}, {OP_ASSIGN_SUBTRACT, "f3x3", "f3x3", "f3x3"},
    {OP_ASSIGN_SUBTRACT, "f4x4", "f", "f4x4"}, {OP_ASSIGN_SUBTRACT, "f4x4", "f4x4", "f4x4"},
    // 20 "^=": 4
    {OP_ASSIGN_XOR, "i", "i", "i"}, {OP_ASSIGN_XOR, "i2", "i2", "i2"}, {OP_ASSIGN_XOR, "i3", "i3", "i3"},
    {OP_ASSIGN_XOR, "i4", "i4", "i4"},
    // 21 "&": 4
    {OP_BITWISE_AND, "i", "i", "i"}, {OP_BITWISE_AND, "i2", "i2", "i2"}, {OP_BITWISE_AND, "i3", "i3", "i3"},
    {OP_BITWISE_AND, "i4", "i4", "i4"},
    // 22 "|": 4
    {OP_BITWISE_OR, "i", "i", "i"}, {OP_BITWISE_OR, "i2", "i2", "i2"}, {OP_BITWISE_OR, "i3", "i3", "i3"},
    {OP_BITWISE_OR, "i4", "i4", "i4"},
    // 23 "^": 4
    {OP_BITWISE_XOR, "i", "i", "i"}, {OP_BITWISE_XOR, "i2", "i2", "i2"}, {OP_BITWISE_XOR, "i3", "i3", "i3"},
    {OP_BITWISE_XOR, "i4", "i4", "i4"},
    // 24 "/": 26
    {OP_DIVIDE, "i", "i", "i"}, {OP_DIVIDE, "f", "f", "f"}, {OP_DIVIDE, "i", "i2", "i2"},
    {OP_DIVIDE, "i2", "i", "i2"}, {OP_DIVIDE, "i2", "i2", "i2"}, {OP_DIVIDE, "i", "i3", "i3"},
    {OP_DIVIDE, "i3", "i", "i3"}, {OP_DIVIDE, "i3", "i3", "i3"}, {OP_DIVIDE, "i", "i4", "i4"},
    {OP_DIVIDE, "i4", "i", "i4"}, {OP_DIVIDE, "i4", "i4", "i4"}, {OP_DIVIDE, "f", "f2", "f2"},
    {OP_DIVIDE, "f2", "f", "f2"}, {OP_DIVIDE, "f2", "f2", "f2"}, {OP_DIVIDE, "f", "f3", "f3"},
    {OP_DIVIDE, "f3", "f", "f3"}, {OP_DIVIDE, "f3", "f3", "f3"}, {OP_DIVIDE, "f", "f4", "f4"},
    {OP_DIVIDE, "f4", "f", "f4"}, {OP_DIVIDE, "f4", "f4", "f4"}, {OP_DIVIDE, "f2x2", "f", "f2x2"},
    {OP_DIVIDE, "f2x2", "f2x2", "f2x2"}, {OP_DIVIDE, "f3x3", "f", "f3x3"}, {OP_DIVIDE, "f3x3", "f3x3", "f3x3"},
    {OP_DIVIDE, "f4x4", "f", "f4x4"}, {OP_DIVIDE, "f4x4", "f4x4", "f4x4"},
    // 25 "==": 12
    {OP_EQUAL, "b", "b", "b"}, {OP_EQUAL, "i", "i", "b"}, {OP_EQUAL, "f", "f", "b"},
    {OP_EQUAL, "i2", "i2", "b"}, {OP_EQUAL, "i3", "i3", "b"}, {OP_EQUAL, "i4", "i4", "b"},
    {OP_EQUAL, "f2", "f2", "b"}, {OP_EQUAL, "f3", "f3", "b"}, {OP_EQUAL, "f4", "f4", "b"},
    {OP_EQUAL, "f2x2", "f2x2", "b"}, {OP_EQUAL, "f3x3", "f3x3", "b"}, {OP_EQUAL, "f4x4", "f4x4", "b"},
    // 26 ">": 2
    {OP_GREATER, "i", "i", "b"}, {OP_GREATER, "f", "f", "b"},
    // 27 ">=": 2
    {OP_GREATER_EQUAL, "i", "i", "b"}, {OP_GREATER_EQUAL, "f", "f", "b"},
    // 28 "<<": 4
    {OP_LEFT_SHIFT, "i", "i", "i"}, {OP_LEFT_SHIFT, "i2", "i2", "i2"}, {OP_LEFT_SHIFT, "i3", "i3", "i3"},
    {OP_LEFT_SHIFT, "i4", "i4", "i4"},
    // 29 "<": 2
    {OP_LESS, "i", "i", "b"}, {OP_LESS, "f", "f", "b"},
    // 30 "<=": 2
    {OP_LESS_EQUAL, "i", "i", "b"}, {OP_LESS_EQUAL, "f", "f", "b"},
    // 31 "&&": 1
    {OP_LOGICAL_AND, "b", "b", "b"},
    // 32 "||": 1
    {OP_LOGICAL_OR, "b", "b", "b"},
    // 34 "%": 7
    {OP_MODULO, "i", "i", "i"}, {OP_MODULO, "i2", "i", "i2"}, {OP_MODULO, "i2", "i2", "i2"},
    {OP_MODULO, "i3", "i", "i3"}, {OP_MODULO, "i3", "i3", "i3"}, {OP_MODULO, "i4", "i", "i4"},
    {OP_MODULO, "i4", "i4", "i4"},
    // 35 "*": 32
    {OP_MULTIPLY, "i", "i", "i"}, {OP_MULTIPLY, "f", "f", "f"}, {OP_MULTIPLY, "i", "i2", "i2"},
    {OP_MULTIPLY, "i", "i3", "i3"}, {OP_MULTIPLY, "i", "i4", "i4"}, {OP_MULTIPLY, "i2", "i", "i2"},
    {OP_MULTIPLY, "i2", "i2", "i2"}, {OP_MULTIPLY, "i3", "i", "i3"}, {OP_MULTIPLY, "i3", "i3", "i3"},
    {OP_MULTIPLY, "i4", "i", "i4"}, {OP_MULTIPLY, "i4", "i4", "i4"}, {OP_MULTIPLY, "f", "f2", "f2"},
    {OP_MULTIPLY, "f2", "f", "f2"}, {OP_MULTIPLY, "f2", "f2", "f2"}, {OP_MULTIPLY, "f2", "f2x2", "f2"},
    {OP_MULTIPLY, "f", "f3", "f3"}, {OP_MULTIPLY, "f3", "f", "f3"}, {OP_MULTIPLY, "f3", "f3", "f3"},
    {OP_MULTIPLY, "f3", "f3x3", "f3"}, {OP_MULTIPLY, "f", "f4", "f4"}, {OP_MULTIPLY, "f4", "f", "f4"},
    {OP_MULTIPLY, "f4", "f4", "f4"}, {OP_MULTIPLY, "f4", "f4x4", "f4"}, {OP_MULTIPLY, "f", "f2x2", "f2x2"},
    {OP_MULTIPLY, "f2x2", "f", "f2x2"}, {OP_MULTIPLY, "f2x2", "f2x2", "f2x2"},
    {OP_MULTIPLY, "f", "f3x3", "f3x3"}, {OP_MULTIPLY, "f3x3", "f", "f3x3"},
    {OP_MULTIPLY, "f3x3", "f3x3", "f3x3"}, {OP_MULTIPLY, "f", "f4x4", "f4x4"},
    {OP_MULTIPLY, "f4x4", "f", "f4x4"}, {OP_MULTIPLY, "f4x4", "f4x4", "f4x4"},
    // 36 "!=": 12
    {OP_NOT_EQUAL, "b", "b", "b"}, {OP_NOT_EQUAL, "i", "i", "b"}, {OP_NOT_EQUAL, "f", "f", "b"},
    {OP_NOT_EQUAL, "i2", "i2", "b"}, {OP_NOT_EQUAL, "i3", "i3", "b"}, {OP_NOT_EQUAL, "i4", "i4", "b"},
    {OP_NOT_EQUAL, "f2", "f2", "b"}, {OP_NOT_EQUAL, "f3", "f3", "b"}, {OP_NOT_EQUAL, "f4", "f4", "b"},
    {OP_NOT_EQUAL, "f2x2", "f2x2", "b"}, {OP_NOT_EQUAL, "f3x3", "f3x3", "b"},
    {OP_NOT_EQUAL, "f4x4", "f4x4", "b"},
    // 37 ">>": 4
    {OP_RIGHT_SHIFT, "i", "i", "i"}, {OP_RIGHT_SHIFT, "i2", "i2", "i2"}, {OP_RIGHT_SHIFT, "i3", "i3", "i3"},
    {OP_RIGHT_SHIFT, "i4", "i4", "i4"},
    // 38 "[]": 9
    {OP_SUBSCRIPT, "i2", "i", "i"}, {OP_SUBSCRIPT, "i3", "i", "i"}, {OP_SUBSCRIPT, "i4", "i", "i"},
    {OP_SUBSCRIPT, "f2", "i", "f"}, {OP_SUBSCRIPT, "f3", "i", "f"}, {OP_SUBSCRIPT, "f4", "i", "f"},
    {OP_SUBSCRIPT, "f2x2", "i", "f2"}, {OP_SUBSCRIPT, "f3x3", "i", "f3"}, {OP_SUBSCRIPT, "f4x4", "i", "f4"},
    // 39 "- (subtraction)": 29
    {OP_SUBTRACT, "i", "i", "i"}, {OP_SUBTRACT, "f", "f", "f"}, {OP_SUBTRACT, "i", "i2", "i2"},
    {OP_SUBTRACT, "i2", "i", "i2"}, {OP_SUBTRACT, "i2", "i2", "i2"}, {OP_SUBTRACT, "i", "i3", "i3"},
    {OP_SUBTRACT, "i3", "i", "i3"}, {OP_SUBTRACT, "i3", "i3", "i3"}, {OP_SUBTRACT, "i", "i4", "i4"},
    {OP_SUBTRACT, "i4", "i", "i4"}, {OP_SUBTRACT, "i4", "i4", "i4"}, {OP_SUBTRACT, "f", "f2", "f2"},
    {OP_SUBTRACT, "f2", "f", "f2"}, {OP_SUBTRACT, "f2", "f2", "f2"}, {OP_SUBTRACT, "f", "f3", "f3"},
    {OP_SUBTRACT, "f3", "f", "f3"}, {OP_SUBTRACT, "f3", "f3", "f3"}, {OP_SUBTRACT, "f", "f4", "f4"},
    {OP_SUBTRACT, "f4", "f", "f4"}, {OP_SUBTRACT, "f4", "f4", "f4"}, {OP_SUBTRACT, "f", "f2x2", "f2x2"},
    {OP_SUBTRACT, "f2x2", "f", "f2x2"}, {OP_SUBTRACT, "f2x2", "f2x2", "f2x2"},
    {OP_SUBTRACT, "f", "f3x3", "f3x3"}, {OP_SUBTRACT, "f3x3", "f", "f3x3"},
    {OP_SUBTRACT, "f3x3", "f3x3", "f3x3"}, {OP_SUBTRACT, "f", "f4x4", "f4x4"},
    {OP_SUBTRACT, "f4x4", "f", "f4x4"}, {OP_SUBTRACT, "f4x4", "f4x4", "f4x4"},
    // 40 "?": 12
    {OP_CONDITIONAL, "b", "b", "b"}, {OP_CONDITIONAL, "b", "i", "i"}, {OP_CONDITIONAL, "b", "f", "f"},
    {OP_CONDITIONAL, "b", "i2", "i2"}, {OP_CONDITIONAL, "b", "i3", "i3"}, {OP_CONDITIONAL, "b", "i4", "i4"},
    {OP_CONDITIONAL, "b", "f2", "f2"}, {OP_CONDITIONAL, "b", "f3", "f3"}, {OP_CONDITIONAL, "b", "f4", "f4"},
    {OP_CONDITIONAL, "b", "f2x2", "f2x2"}, {OP_CONDITIONAL, "b", "f3x3", "f3x3"},
    {OP_CONDITIONAL, "b", "f4x4", "f4x4"},
    // 41 ":": 12
    {OP_ALTERNATIVES, "b", "b", "b"}, {OP_ALTERNATIVES, "i", "i", "i"}, {OP_ALTERNATIVES, "f", "f", "f"},
    {OP_ALTERNATIVES, "i2", "i2", "i2"}, {OP_ALTERNATIVES, "i3", "i3", "i3"},
    {OP_ALTERNATIVES, "i4", "i4", "i4"}, {OP_ALTERNATIVES, "f2", "f2", "f2"},
    {OP_ALTERNATIVES, "f3", "f3", "f3"}, {OP_ALTERNATIVES, "f4", "f4", "f4"},
    {OP_ALTERNATIVES, "f2x2", "f2x2", "f2x2"}, {OP_ALTERNATIVES, "f3x3", "f3x3", "f3x3"},
    {OP_ALTERNATIVES, "f4x4", "f4x4", "f4x4"},
};

const int kOperatorRowCount = sizeof(kOperatorRows) / sizeof(kOperatorRows[0]);

}  // namespace ShaderTool
