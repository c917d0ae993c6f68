// HLSL9Translator: the entry point and the declarations made from the Shader
// XML (stage structures with their semantics, constants, textures).
#include <cstring>

#include "shadertool/frontend/name_index.h"
#include "shadertool/translate/hlsl_translators.h"

namespace ShaderTool {

namespace {

const ParserNode* FunctionBody(const FunctionNode* function) {
    return function->children.count > 1 ? function->children[1] : nullptr;
}

const AggregateNode* AsSequence(const ParserNode* node) {
    return node && node->node_type == ParserNode::AGGREGATE_NODE ? static_cast<const AggregateNode*>(node) : nullptr;
}

}  // namespace

// --- Entry point -------------------------------------------------------------------

bool HLSL9Translator::IsReservedFunctionName(const char* name) const {
    static const NameSet substituted(HLSL9_SUBSTITUTED_FUNCTIONS, HLSL9_SUBSTITUTED_FUNCTION_COUNT);
    return substituted.Contains(name);
}

void HLSL9Translator::ProcessFunctionDefinitionNode(const FunctionNode* node) {
    CheckFunctionNames(node);
    if (strcmp(node->name.c_str(), "main") == 0 && FunctionBody(node))
        ProcessMainFunctionDefinitionNode(node);
    else
        Translator::ProcessFunctionDefinitionNode(node);
}

const char* HLSL9Translator::GetMainReturnTypeName() const {
    return shader_type == PIXEL_SHADER ? "PixelOutput" : "VertexOutput";
}

const char* HLSL9Translator::GetMainParameterTypeName() const {
    return shader_type == PIXEL_SHADER ? "PixelInput" : "VertexInput";
}

// ZKSL's main() reads `input` and writes `output`; in HLSL they are the
// entry point's parameter and its returned structure.
void HLSL9Translator::ProcessMainFunctionDefinitionNode(const FunctionNode* node) {
    output->AppendFormatted("%s%s main(%s input)\n", output->IsEmpty() ? "" : "\n", GetMainReturnTypeName(),
                            GetMainParameterTypeName());
    AppendIndentation();
    Write("{\n");
    ++indentation;
    AppendIndentation();
    output->AppendFormatted("%s output;\n", GetMainReturnTypeName());
    const AggregateNode* body = AsSequence(FunctionBody(node));
    if (body) {
        inside_function = true;
        ProcessSequence(body, false);
        inside_function = false;
    }
    if (body && body->children.count > 0) Write("\n");
    AppendIndentation();
    Write("return output;\n");
    --indentation;
    AppendIndentation();
    Write("}");
}

// --- Declarations ------------------------------------------------------------------

void HLSL9Translator::ProcessShaderInfoDeclarations(const ShaderInfo& info) {
    if (!header.IsEmpty()) header.Append("\n");
    if (shader_type == VERTEX_SHADER) {
        ProcessVertexInput(info);
        ProcessConstants(info.vertex_constants);
        ProcessVertexOutput(info, "VertexOutput", false, true);
    } else if (shader_type == PIXEL_SHADER) {
        ProcessVertexOutput(info, "PixelInput", true, false);
        ProcessConstants(info.pixel_constants);
        ProcessPixelTextures(info);
        ProcessPixelOutput(info);
    }
}

void HLSL9Translator::ProcessVertexInput(const ShaderInfo& info) {
    header.Append("struct VertexInput\n{\n");
    for (int i = 0; i < info.vertex_input.count; ++i) {
        const ShaderVertexInputVariable& input = info.vertex_input[i];
        // Bone indices index the bone constants as unsigned integers.
        nString type = input.semantic == INPUT_4_BONE_INDICES ? nString("uint4") : GetTypeName(input.type);
        header.AppendFormatted("\t%s %s : %s;\n", type.c_str(), input.id.c_str(),
                               GetHLSLVertexInputSemanticName(input.semantic));
    }
    if (instance_id_declaration) header.AppendFormatted("\t%s;\n", instance_id_declaration);
    if (vertex_id_declaration) header.AppendFormatted("\t%s;\n", vertex_id_declaration);
    header.Append("};\n");
}

nString HLSL9Translator::GetVertexOutputSemanticName(ShaderVertexOutputSemantic semantic, int index) const {
    const char* name = GetHLSLVertexOutputSemanticName(semantic);
    if (!name) return nString(position_semantic);
    if (!*name) return nString();
    return nString::Format("%s%i", name, index);
}

// The vertex stage's outputs are the pixel stage's inputs: both structures
// are written from the same list.
void HLSL9Translator::ProcessVertexOutput(const ShaderInfo& info, const char* structure, bool with_facing,
                                          bool leading_line_break) {
    if (leading_line_break && info.vertex_output.count > 0) header.Append("\n");
    header.AppendFormatted("struct %s\n{\n", structure);
    for (int i = 0; i < info.vertex_output.count; ++i) {
        const ShaderVertexOutputVariable& variable = info.vertex_output[i];
        header.AppendFormatted("\t%s %s : %s;\n", GetTypeName(variable.type).c_str(), variable.id.c_str(),
                               GetVertexOutputSemanticName(variable.semantic, variable.semantic_index).c_str());
    }
    if (with_facing && facing_declaration) header.AppendFormatted("\t%s;\n", facing_declaration);
    header.Append("};\n");
}

void HLSL9Translator::ProcessPixelOutput(const ShaderInfo& info) {
    if (info.pixel_output.count > 0) header.Append("\n");
    header.Append("struct PixelOutput\n{\n");
    for (int i = 0; i < info.pixel_output.count; ++i)
        header.AppendFormatted("\tfloat4 %s : %s%i;\n", info.pixel_output[i].id.c_str(), target_semantic, i);
    header.Append("};\n");
}

// Shader model 2/3 constant registers hold floats: an int4 constant is
// declared float4 and read through a cast.
nString HLSL9Translator::GetConstantTypeName(const Type& type) const {
    if (type.basic_type == TYPE_INT && type.vector_size == 4 && type.matrix_size == 0) {
        Type as_float = type;
        as_float.basic_type = TYPE_FLOAT;
        return GetTypeName(as_float);
    }
    return GetTypeName(type);
}

void HLSL9Translator::ProcessConstants(const nArray<ShaderConstantVariable>& constants) {
    if (constants.count > 0) header.Append("\n");
    for (int i = 0; i < constants.count; ++i) {
        const ShaderConstantVariable& constant = constants[i];
        nString type = GetConstantTypeName(constant.type);
        if (constant.type.array_size != 0)
            header.AppendFormatted("%s _const_%s[%i];\n", type.c_str(), constant.id.c_str(), constant.type.array_size);
        else
            header.AppendFormatted("%s _const_%s;\n", type.c_str(), constant.id.c_str());
    }
}

void HLSL9Translator::ProcessPixelTextures(const ShaderInfo& info) {
    if (info.pixel_textures.count > 0) header.Append("\n");
    for (int i = 0; i < info.pixel_textures.count; ++i)
        header.AppendFormatted("sampler _tex_%s : register(s%i);\n", info.pixel_textures[i].id.c_str(), i);
}

}  // namespace ShaderTool
