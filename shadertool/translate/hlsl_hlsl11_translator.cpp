// HLSL11Translator: texture objects sampled with their sampler states,
// constants in a constant buffer, bit-wise operators outside the low level,
// and the warning pragma.
#include "shadertool/frontend/name_index.h"
#include "shadertool/translate/hlsl_translators.h"

namespace ShaderTool {

namespace {

const AggregateNode* Arguments(const FunctionNode* call) {
    if (call->children.count < 1 || !call->children[0]) return nullptr;
    if (call->children[0]->node_type != ParserNode::AGGREGATE_NODE) return nullptr;
    return static_cast<const AggregateNode*>(call->children[0]);
}

// The name of the texture a sampling call reads: the member of
// texture.name (textures can be neither variables nor parameters).
const char* SampledTextureName(const AggregateNode* arguments) {
    if (!arguments || arguments->children.count < 1) return "";
    const ParserNode* texture = arguments->children[0];
    if (!texture || texture->node_type != ParserNode::OPERATOR_NODE) return "";
    const ParserNode* member = static_cast<const OperatorNode*>(texture)->right;
    if (!member || member->node_type != ParserNode::SYMBOL_NODE) return "";
    return static_cast<const SymbolNode*>(member)->name.c_str();
}

}  // namespace

HLSL11Translator::HLSL11Translator(Log& log) : HLSL11Translator(log, HLSL11_DIALECT) {}

HLSL11Translator::HLSL11Translator(Log& log, const HLSLDialect& dialect) : HLSL9Translator(log, dialect) {
    bitwise_operators_supported = true;
}

// Warning 3078 reports loop variables used after their loop, which ZKSL
// allows.
void HLSL11Translator::PostProcess() {
    if (target != HLSL11) return;
    header.Insert(0, "#pragma warning(disable : 3078)\n\n");
}

void HLSL11Translator::ProcessFunctionCallNode(const FunctionNode* node) {
    if (IsSamplerFunctionOperator(node->op)) {
        ProcessSampleTextureFunctionCallNode(node);
        return;
    }
    HLSL9Translator::ProcessFunctionCallNode(node);
}

const char* HLSL11Translator::GetSamplerFunctionName(Operator op) const {
    return GetHLSLSamplerMethodName(dialect, op);
}

bool HLSL11Translator::IsReservedFunctionName(const char* name) const {
    static const NameSet substituted(HLSL_SUBSTITUTED_FUNCTIONS, HLSL_SUBSTITUTED_FUNCTION_COUNT);
    return substituted.Contains(name);
}

void HLSL11Translator::ProcessSampleTextureFunctionCallNode(const FunctionNode* node) {
    const AggregateNode* arguments = Arguments(node);
    const char* texture = SampledTextureName(arguments);
    output->AppendFormatted("_tex_%s.%s(_smp_%s", texture, GetSamplerFunctionName(node->op), texture);
    for (int i = 1; arguments && i < arguments->children.count; ++i) {
        Write(", ");
        ProcessParserNode(arguments->children[i]);
    }
    Write(")");
}

void HLSL11Translator::CheckOperatorSupport(const OperatorNode* node) {
    HLSL9Translator::CheckOperatorSupport(node);
    if ((level & HLSL11_LOW) && IsBitwiseOperator(node->op))
        LogError("bit-wise operations are not supported in level 'HLSL11_LOW'.");
}

void HLSL11Translator::ProcessConstants(const nArray<ShaderConstantVariable>& constants) {
    if (constants.count == 0) return;
    header.AppendFormatted("\n%s Constants\n{\n", constant_buffer_keyword);
    for (int i = 0; i < constants.count; ++i) {
        const ShaderConstantVariable& constant = constants[i];
        nString type = GetTypeName(constant.type);
        if (constant.type.array_size != 0)
            header.AppendFormatted("\t%s _const_%s[%i];\n", type.c_str(), constant.id.c_str(), constant.type.array_size);
        else
            header.AppendFormatted("\t%s _const_%s;\n", type.c_str(), constant.id.c_str());
    }
    header.Append("};\n");
}

void HLSL11Translator::ProcessPixelTextures(const ShaderInfo& info) {
    if (info.pixel_textures.count > 0) header.Append("\n");
    for (int i = 0; i < info.pixel_textures.count; ++i) {
        const ShaderTextureVariable& texture = info.pixel_textures[i];
        header.AppendFormatted("SamplerState _smp_%s : register(s%i);\n", texture.id.c_str(), i);
        header.AppendFormatted("Texture%s _tex_%s : register(t%i);\n", GetTextureTypeNameSuffix(texture.type),
                               texture.id.c_str(), i);
    }
}

}  // namespace ShaderTool
