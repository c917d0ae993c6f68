// ESSL20Translator: OpenGL ES 1.00 is GLSL 1.20 without float suffixes,
// level-of-detail sampling, transpose, instance ids, global array
// initialisers and non-constant global initialisers, and with precision
// required in the pixel stage.
#include "shadertool/frontend/name_index.h"
#include "shadertool/translate/glsl_translators.h"

namespace ShaderTool {

ESSL20Translator::ESSL20Translator(Log& log) : GLSL21Translator(log) { constant_global_initializers_required = true; }

// The pixel stage has no default float precision, and its default int
// precision is mediump, which the vertex stage's ints are not: an int
// constant of both stages would not link, and a float made of ints alone
// would be worked out at mediump. Where the device has high precision in
// the pixel stage both are highp; elsewhere both stay mediump.
void ESSL20Translator::PostProcess() {
    if (shader_type != PIXEL_SHADER) return;
    header.Insert(0,
                  "#if defined(GL_FRAGMENT_PRECISION_HIGH)\n\nprecision highp float;\nprecision highp int;\n\n#else\n\n"
                  "precision mediump float;\n\n#endif\n\n");
}

void ESSL20Translator::ProcessFunctionCallNode(const FunctionNode* node) {
    switch (node->op) {
    case OP_SAMPLE_TEXTURE_GRAD:
    case OP_SAMPLE_TEXTURE_LOD:
    case OP_SAMPLE_TEXTURE_LOD_OFFSET:
    case OP_TRANSPOSE:
        LogError(nString::Format("function '%s' is not supported.", node->name.c_str()));
        break;
    case OP_ALL:
    case OP_ANY: ProcessAllOrAnyFunctionCallNode(node); break;
    case OP_SATURATE: ProcessSaturateFunctionCallNode(node); break;
    default: Translator::ProcessFunctionCallNode(node); break;
    }
}

void ESSL20Translator::ProcessLiteralNode(const LiteralNode* node) {
    if (node->type.basic_type != TYPE_FLOAT || node->text.IsEmpty()) {
        Translator::ProcessLiteralNode(node);
        return;
    }
    nString text = node->text.Substring(0, node->text.Length() - 1);
    Write(text.c_str());
}

// ES 1.00 has no array constructors: inside a function the initialiser
// becomes one assignment per element; a global array cannot have one.
void ESSL20Translator::ProcessArrayInitializerList(const OperatorNode* node) {
    if (!inside_function) {
        LogError("array declarations in global scope are not supported.");
        return;
    }
    const ParserNode* left = node->left;
    const char* name = left && left->node_type == ParserNode::SYMBOL_NODE
                           ? static_cast<const SymbolNode*>(left)->name.c_str()
                           : "";
    const ParserNode* list = node->right;
    if (!list || list->node_type != ParserNode::AGGREGATE_NODE) return;
    const AggregateNode* elements = static_cast<const AggregateNode*>(list);
    for (int i = 0; i < elements->children.count; ++i) {
        Write(";\n");
        AppendIndentation();
        output->AppendFormatted("%s[%i] = ", name, i);
        ProcessParserNode(elements->children[i]);
    }
}

void ESSL20Translator::ProcessFaceDirectionMemberOperatorNode() { Write("(gl_FrontFacing ? 1.0 : -1.0)"); }

bool ESSL20Translator::IsReservedFunctionName(const char* name) const {
    static const NameSet built_ins(ESSL20_BUILT_IN_FUNCTIONS, ESSL20_BUILT_IN_FUNCTION_COUNT);
    return built_ins.Contains(name);
}

}  // namespace ShaderTool
