// The shading language's type record, the parser's type specifier value and
// the one id space of operators, jumps, lists, built-in functions and type
// constructors. Translators, the built-in tables and the semantic checks all
// speak in these values, so every number below is fixed.
#pragma once

#include "engine/base/nstring.h"
#include "shadertool/builtins/operators.h"

namespace ShaderTool {

enum BasicType : int {
    TYPE_BOOL = 0,
    TYPE_FLOAT = 1,
    TYPE_INT = 2,
    TYPE_STRUCTURE = 3,
    TYPE_TEXTURE = 4,
    TYPE_VOID = 5,  // also the type of a missing operand
    TYPE_NONE = 6,  // not typed yet, or typing failed
};

enum TextureKind : int {
    TEXTURE_2D = 0,
    TEXTURE_3D = 1,
    TEXTURE_CUBE = 2,
    TEXTURE_NONE = 3,  // carried by every type that is not a texture
};

enum Qualifier : int {
    QUALIFIER_CONST = 1,
};

// One value of the language. Copied by value; owns its structure name.
// A default Type is "no type": BasicType 6, texture kind 3, sizes 0.
struct Type {
    nString structure_name;  // empty unless basic_type is TYPE_STRUCTURE
    int array_size = 0;      // 0 not an array, N elements, -1 for "[]" without size
    BasicType basic_type = TYPE_NONE;
    int vector_size = 0;  // 1 scalars and void, 2-4 vectors, 0 matrices and textures
    int matrix_size = 0;  // 0, or 2-4 for square float matrices
    int qualifier = 0;    // Qualifier bits
    TextureKind texture_kind = TEXTURE_NONE;
    bool constant = false;  // value known at translation time

    // Exact encodings of the language's type names (array 0, qualifier 0).
    static Type Scalar(BasicType basic) { return Make(basic, 1, 0, TEXTURE_NONE); }
    static Type Vector(BasicType basic, int size) { return Make(basic, size, 0, TEXTURE_NONE); }
    static Type Matrix(int size) { return Make(TYPE_FLOAT, 0, size, TEXTURE_NONE); }
    static Type Texture(TextureKind kind) { return Make(TYPE_TEXTURE, 0, 0, kind); }
    static Type Void() { return Make(TYPE_VOID, 1, 0, TEXTURE_NONE); }
    static Type Structure(const char* name) {
        Type type = Make(TYPE_STRUCTURE, 0, 0, TEXTURE_NONE);
        type.structure_name = name;
        return type;
    }
    static Type Make(BasicType basic, int vector, int matrix, TextureKind kind) {
        Type type;
        type.basic_type = basic;
        type.vector_size = vector;
        type.matrix_size = matrix;
        type.texture_kind = kind;
        return type;
    }

    bool IsConst() const { return (qualifier & QUALIFIER_CONST) != 0; }
};

constexpr int kFirstBuiltInFunction = OP_ABS;
constexpr int kLastBuiltInFunction = OP_TRANSPOSE;
constexpr int kFirstConstructor = OP_CONSTRUCT_BOOL;
constexpr int kLastConstructor = OP_CONSTRUCT_INT4;

// The semantic value of a type specifier in the grammar. Plain data with no
// constructor, so it can sit in the grammar's value union.
struct ParserType {
    BasicType basic_type;
    Operator constructor;  // 91-102, or OP_NO_CONSTRUCTOR
    TextureKind texture_kind;
    int array_size;
    int vector_size;
    int matrix_size;
    int qualifier;
};

// A texture keeps only its kind; a matrix size of 1 or more makes a float
// matrix with vector size 0; anything else is taken as it is, with texture
// kind 3. The structure name is empty and constant is false.
Type GetTypeFromParserType(const ParserType& parser_type);

// "float3" spelled, "f3" mangled; "" for no type and unknown texture kinds.
// Array sizes are not part of the name.
nString GetTypeName(const Type& type, bool mangled);

// The source spelling of an operator; "" for every id above 46 and for
// values outside the table.
const char* GetOperatorString(int op);

}  // namespace ShaderTool
