// PSSLTranslator: an HLSL11 text with the PSSL spellings (from its dialect
// table), all() and any() on bool vectors, and bit-wise operators at every
// level.
#include "shadertool/translate/hlsl_translators.h"

namespace ShaderTool {

PSSLTranslator::PSSLTranslator(Log& log) : HLSL11Translator(log, PSSL_DIALECT) {}

void PSSLTranslator::ProcessFunctionCallNode(const FunctionNode* node) {
    if (node->op == OP_ALL || node->op == OP_ANY) {
        ProcessAllOrAnyFunctionCallNode(node);
        return;
    }
    HLSL11Translator::ProcessFunctionCallNode(node);
}

void PSSLTranslator::ProcessAllOrAnyFunctionCallNode(const FunctionNode* node) {
    const ParserNode* argument = nullptr;
    if (node->children.count > 0 && node->children[0] && node->children[0]->node_type == ParserNode::AGGREGATE_NODE) {
        const AggregateNode* arguments = static_cast<const AggregateNode*>(node->children[0]);
        if (arguments->children.count > 0) argument = arguments->children[0];
    }
    int vector_size = argument && IsTypedNode(argument) ? static_cast<const TypedNode*>(argument)->type.vector_size : 0;
    output->AppendFormatted("%s((bool%i)(", node->name.c_str(), vector_size);
    ProcessParserNode(argument);
    Write("))");
}

void PSSLTranslator::CheckOperatorSupport(const OperatorNode* node) { HLSL9Translator::CheckOperatorSupport(node); }

}  // namespace ShaderTool
