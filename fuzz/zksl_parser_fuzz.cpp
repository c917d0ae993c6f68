// Arbitrary bytes through the ZKSL tokenizer and parser. The first byte picks
// the stage (vertex or pixel) and the Shader XML version (constants as a
// structure or as plain variables); the rest is the source text.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "shadertool/frontend/parser.h"

using namespace ShaderTool;

namespace {

ShaderInfo MakeInfo(bool constants_structure) {
    ShaderInfo info;
    info.version = constants_structure ? 0x20003 : 0x20002;
    const char* const kInputs[] = {"position", "color", "uv"};
    const int kSizes[] = {4, 4, 2};
    for (int i = 0; i < 3; ++i) {
        ShaderVertexInputVariable input;
        input.id = kInputs[i];
        input.semantic = 1 << i;
        input.type = Type::Vector(TYPE_FLOAT, kSizes[i]);
        input.type.qualifier = QUALIFIER_CONST;
        info.vertex_input.InsertLast(input);

        ShaderVertexOutputVariable output;
        output.id = kInputs[i];
        output.type = Type::Vector(TYPE_FLOAT, kSizes[i]);
        output.semantic = i == 0 ? OUTPUT_POSITION : i == 1 ? OUTPUT_COLOR : OUTPUT_TEXTURE_COORDINATE;
        info.vertex_output.InsertLast(output);
    }
    ShaderConstantVariable transform;
    transform.id = "transform";
    transform.type = Type::Matrix(4);
    transform.type.qualifier = QUALIFIER_CONST;
    info.vertex_constants.InsertLast(transform);
    ShaderConstantVariable tint;
    tint.id = "tint";
    tint.type = Type::Vector(TYPE_FLOAT, 4);
    tint.type.qualifier = QUALIFIER_CONST;
    tint.type.array_size = 2;
    info.pixel_constants.InsertLast(tint);
    ShaderTextureVariable texture;
    texture.id = "diffuse";
    texture.type = Type::Texture(TEXTURE_2D);
    info.pixel_textures.InsertLast(texture);
    ShaderPixelOutputVariable color;
    color.id = "color";
    info.pixel_output.InsertLast(color);
    return info;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Log log;
    static Parser parser(log);
    static const ShaderInfo infos[2] = {MakeInfo(false), MakeInfo(true)};
    if (size < 1) return 0;

    ShaderSource source;
    source.file = "fuzz.zksl";
    source.type = (data[0] & 1) ? PIXEL_SHADER : VERTEX_SHADER;
    source.line = 1;
    // The code is a C string: a NUL inside the bytes ends it, as it would
    // for text read from a file.
    char* text = new char[size];
    memcpy(text, data + 1, size - 1);
    text[size - 1] = '\0';
    source.code = text;
    delete[] text;

    log.Clear();
    parser.Parse(infos[(data[0] >> 1) & 1], source);
    parser.Reset();
    return 0;
}
