#include "shadertool/frontend/types.h"

#include "shadertool/frontend/text_buffer.h"

namespace ShaderTool {

Type GetTypeFromParserType(const ParserType& parser_type) {
    Type type;
    type.basic_type = parser_type.basic_type;
    if (parser_type.basic_type == TYPE_TEXTURE) {
        type.texture_kind = parser_type.texture_kind;
        return type;  // array, vector, matrix and qualifier stay 0
    }
    type.array_size = parser_type.array_size;
    type.qualifier = parser_type.qualifier;
    type.texture_kind = TEXTURE_NONE;
    if (parser_type.matrix_size >= 1) {
        type.basic_type = TYPE_FLOAT;
        type.vector_size = 0;
        type.matrix_size = parser_type.matrix_size;
    } else {
        type.vector_size = parser_type.vector_size;
        type.matrix_size = parser_type.matrix_size;
    }
    return type;
}

// Spelled and mangled stems of the texture kinds, in kind order.
static const char* const kTextureNames[3][2] = {
    {"Texture2D", "t2"},
    {"Texture3D", "t3"},
    {"TextureCube", "tC"},
};

static const char* GetTypeStem(const Type& type, bool mangled) {
    int form = mangled ? 1 : 0;
    switch (type.basic_type) {
    case TYPE_BOOL: return mangled ? "b" : "bool";
    case TYPE_FLOAT: return mangled ? "f" : "float";
    case TYPE_INT: return mangled ? "i" : "int";
    case TYPE_STRUCTURE: return type.structure_name.c_str();
    case TYPE_TEXTURE:
        if (type.texture_kind >= TEXTURE_2D && type.texture_kind <= TEXTURE_CUBE)
            return kTextureNames[type.texture_kind][form];
        return "";
    case TYPE_VOID: return "void";
    default: return "";
    }
}

nString GetTypeName(const Type& type, bool mangled) {
    TextBuffer name;
    name.Append(GetTypeStem(type, mangled));
    if (type.vector_size >= 2) {
        name.AppendInteger(type.vector_size);
    } else if (type.matrix_size >= 1) {
        name.AppendInteger(type.matrix_size);
        name.Append('x');
        name.AppendInteger(type.matrix_size);
    }
    return nString(name.c_str());
}

const char* GetOperatorString(int op) {
    const OperatorDescription* description = FindOperator(op);
    return description ? description->spelling : "";
}

}  // namespace ShaderTool
