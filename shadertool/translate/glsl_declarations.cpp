// GLSL21Translator: what the GLSL dialects make of a Shader XML's
// description: the declarations of the stage's inputs, outputs, constants
// and textures, and the lines that go in front of them.
#include "shadertool/translate/glsl_translators.h"

namespace ShaderTool {

namespace {

bool IsIntegerType(const Type& type) { return type.basic_type == TYPE_INT; }

}  // namespace

void GLSL21Translator::PreprocessShaderInfo(const ShaderInfo& info) {
    if (shader_type == VERTEX_SHADER) {
        for (int i = 0; i < info.vertex_input.count; ++i)
            if (info.vertex_input[i].semantic == INPUT_POSITION) position_input = &info.vertex_input[i];
        for (int i = 0; i < info.vertex_output.count; ++i)
            if (info.vertex_output[i].semantic == OUTPUT_POSITION) position_output = &info.vertex_output[i];
    }
    // Checked before the walk, so that the translation fails as a whole.
    CheckVaryingTypes(info);
}

void GLSL21Translator::CheckVaryingTypes(const ShaderInfo& info) {
    for (int i = 0; i < info.vertex_output.count; ++i) {
        const ShaderVertexOutputVariable& output = info.vertex_output[i];
        bool expressible = output.type.basic_type == TYPE_FLOAT ||
                           (IsIntegerType(output.type) && integer_varying_qualifier != nullptr);
        if (expressible) continue;
        LogError(nString::Format("vertex output '%s' of type '%s' is not supported.", output.id.c_str(),
                                 ShaderTool::GetTypeName(output.type, false).c_str()));
    }
}

void GLSL21Translator::ProcessShaderInfoDeclarations(const ShaderInfo& info) {
    if (shader_type == VERTEX_SHADER) {
        ProcessVertexInput(info);
        ProcessConstants(info.vertex_constants);
        ProcessVertexOutput(info);
    } else if (shader_type == PIXEL_SHADER) {
        ProcessPixelInput(info);
        ProcessConstants(info.pixel_constants);
        ProcessPixelTextures(info);
        ProcessPixelOutput(info);
    }
}

// Attributes are float-based in every dialect: an int input is declared with
// the float type of its shape and converted where it is read.
void GLSL21Translator::ProcessVertexInput(const ShaderInfo& info) {
    for (int i = 0; i < info.vertex_input.count; ++i) {
        const ShaderVertexInputVariable& input = info.vertex_input[i];
        Type declared = input.type.basic_type == TYPE_FLOAT ? input.type : Type::Vector(TYPE_FLOAT, input.type.vector_size);
        header.AppendFormatted(declaration_formats[DECLARE_VERTEX_INPUT], GetTypeName(declared).c_str(), input.id.c_str());
    }
}

void GLSL21Translator::ProcessConstants(const nArray<ShaderConstantVariable>& constants) {
    if (constants.count == 0) return;
    header.Append("\n");
    for (int i = 0; i < constants.count; ++i) {
        const ShaderConstantVariable& constant = constants[i];
        nString type_name = GetTypeName(constant.type);
        if (constant.type.array_size != 0)
            header.AppendFormatted(declaration_formats[DECLARE_CONSTANT_ARRAY], type_name.c_str(), constant.id.c_str(),
                                   constant.type.array_size);
        else
            header.AppendFormatted(declaration_formats[DECLARE_CONSTANT], type_name.c_str(), constant.id.c_str());
    }
}

void GLSL21Translator::DeclareVarying(const char* format, const ShaderVertexOutputVariable& output) {
    if (IsIntegerType(output.type) && integer_varying_qualifier) header.Append(integer_varying_qualifier);
    header.AppendFormatted(format, GetTypeName(output.type).c_str(), output.id.c_str());
}

// The position output is declared as well, though it is written to
// gl_Position: the pixel stage declares every output as its input.
void GLSL21Translator::ProcessVertexOutput(const ShaderInfo& info) {
    if (info.vertex_output.count == 0) return;
    header.Append("\n");
    for (int i = 0; i < info.vertex_output.count; ++i)
        DeclareVarying(declaration_formats[DECLARE_VERTEX_OUTPUT], info.vertex_output[i]);
}

void GLSL21Translator::ProcessPixelInput(const ShaderInfo& info) {
    for (int i = 0; i < info.vertex_output.count; ++i)
        DeclareVarying(declaration_formats[DECLARE_PIXEL_INPUT], info.vertex_output[i]);
}

void GLSL21Translator::ProcessPixelTextures(const ShaderInfo& info) {
    if (info.pixel_textures.count == 0) return;
    header.Append("\n");
    for (int i = 0; i < info.pixel_textures.count; ++i) {
        const ShaderTextureVariable& texture = info.pixel_textures[i];
        header.AppendFormatted(declaration_formats[DECLARE_TEXTURE], GetTextureTypeNameSuffix(texture.type),
                               texture.id.c_str());
    }
}

void GLSL21Translator::ProcessPixelOutput(const ShaderInfo& info) {
    const char* format = declaration_formats[DECLARE_PIXEL_OUTPUT];
    if (format[0] == '\0' || info.pixel_output.count == 0) return;
    header.Append("\n");
    for (int i = 0; i < info.pixel_output.count; ++i) {
        const char* id = info.pixel_output[i].id.c_str();
        if (location_layout)
            header.AppendFormatted(format, i, id);
        else
            header.AppendFormatted(format, id);
    }
}

void GLSL21Translator::PostProcess() {
    if (extensions.count == 0) return;
    nString lines;
    for (int i = 0; i < extensions.count; ++i) lines.AppendFormatted("#extension %s : require\n", extensions[i]);
    lines.Append("\n");
    header.Insert(0, lines.c_str());
}

}  // namespace ShaderTool
