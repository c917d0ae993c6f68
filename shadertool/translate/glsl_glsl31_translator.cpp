// GLSL31Translator and ESSL30Translator: the in/out dialects, with integer
// operations, named sampling functions, flat integer varyings and declared
// pixel outputs.
#include "shadertool/frontend/name_index.h"
#include "shadertool/translate/glsl_translators.h"

#include <cstring>

namespace ShaderTool {

GLSL31Translator::GLSL31Translator(Log& log) : GLSL21Translator(log) {
    declaration_formats = GLSL31_DECLARATION_FORMATS;
    variable_formats = GLSL31_VARIABLE_FORMATS;
    bitwise_operators_supported = true;
    // Integers are not interpolated: they must be declared flat.
    integer_varying_qualifier = "flat ";
    InitializeFunctionMap(true);
}

// The overloaded texture functions take the sampler type from the argument.
nString GLSL31Translator::GetBuiltInFunctionName(const FunctionNode* call) {
    return Translator::GetBuiltInFunctionName(call);
}

void GLSL31Translator::ProcessFunctionCallNode(const FunctionNode* node) {
    switch (node->op) {
    case OP_ALL:
    case OP_ANY: ProcessAllOrAnyFunctionCallNode(node); break;
    case OP_SATURATE: ProcessSaturateFunctionCallNode(node); break;
    case OP_SAMPLE_TEXTURE_LOD_OFFSET:
        CheckTexelOffset(node);
        Translator::ProcessFunctionCallNode(node);
        break;
    default: Translator::ProcessFunctionCallNode(node); break;
    }
}

void GLSL31Translator::ProcessOperatorNode(const OperatorNode* node) {
    if (node->op == OP_ASSIGN && !inside_function) CheckGlobalInitializer(node->left, node->right);
    CheckPixelInputWrite(node);
    if (node->op == OP_SELECT && ProcessMemberOperatorNode(node)) return;
    Translator::ProcessOperatorNode(node);
}

bool GLSL31Translator::WritesOperatorBetweenOperands(const OperatorNode* node) const {
    return Translator::WritesOperatorBetweenOperands(node);
}

void GLSL31Translator::ProcessInstanceIDMemberOperatorNode() { Write("gl_InstanceID"); }

bool GLSL31Translator::IsReservedFunctionName(const char* name) const {
    static const NameSet substituted(GLSL31_SUBSTITUTED_FUNCTIONS, GLSL31_SUBSTITUTED_FUNCTION_COUNT);
    return substituted.Contains(name);
}

ESSL30Translator::ESSL30Translator(Log& log) : GLSL31Translator(log) {
    declaration_formats = ESSL30_DECLARATION_FORMATS;
    location_layout = true;
    constant_global_initializers_required = true;
}

bool ESSL30Translator::IsReservedFunctionName(const char* name) const {
    static const NameSet built_ins(ESSL30_BUILT_IN_FUNCTIONS, ESSL30_BUILT_IN_FUNCTION_COUNT);
    return built_ins.Contains(name);
}

// ES 3.00 has no default float precision in the pixel stage and none for
// 3D samplers. Its default int precision there is mediump, which the vertex
// stage's ints are not: an int constant of both stages would not link, and
// a float made of ints alone would be worked out at mediump. highp is always
// there in an ES 3.00 pixel stage.
void ESSL30Translator::PostProcess() {
    if (shader_type != PIXEL_SHADER) return;
    header.Insert(0, "precision highp float;\nprecision highp int;\nprecision lowp sampler3D;\n\n");
}

}  // namespace ShaderTool
