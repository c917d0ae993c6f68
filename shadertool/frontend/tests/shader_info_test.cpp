#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "shadertool/frontend/log.h"
#include "shadertool/frontend/shader_info.h"

using namespace ShaderTool;

namespace {

// A description with every array filled, so that copies touch every field.
ShaderInfo* MakeInfo() {
    ShaderInfo* info = new ShaderInfo;
    for (int i = 0; i < 40; ++i) {  // past the first growth of the arrays
        ShaderConstant constant;
        constant.id.SetFormatted("c%i", i);
        constant.value = "1.5";
        constant.kind = ShaderConstant::FLOAT;
        info->constants.InsertLast(constant);
    }
    ShaderConstantVariable variable;
    variable.id = "world";
    variable.semantic = CONSTANT_WORLD_TRANSFORM;
    variable.size = 64;
    variable.type = Type::Matrix(4);
    variable.type.qualifier = QUALIFIER_CONST;
    info->vertex_constants.InsertLast(variable);
    variable.id = "tint";
    variable.type = Type::Vector(TYPE_FLOAT, 4);
    variable.type.array_size = 3;
    info->pixel_constants.InsertLast(variable);

    ShaderVertexInputVariable input;
    input.id = "position";
    input.semantic = INPUT_POSITION;
    input.type = Type::Vector(TYPE_FLOAT, 4);
    info->vertex_input.InsertLast(input);

    ShaderVertexOutputVariable output;
    output.id = "uv";
    output.type = Type::Vector(TYPE_FLOAT, 2);
    output.semantic = OUTPUT_TEXTURE_COORDINATE;
    info->vertex_output.InsertLast(output);

    ShaderTextureVariable texture;
    texture.id = "diffuse";
    texture.type = Type::Texture(TEXTURE_3D);
    texture.address_u = 2;
    texture.filter_mip = 3;
    info->pixel_textures.InsertLast(texture);

    ShaderPixelOutputVariable pixel_output;
    pixel_output.id = "color";
    info->pixel_output.InsertLast(pixel_output);

    ShaderSource source;
    source.file = "shaders/sprite.xml";
    source.code = "void main() { output.color = float4(1.0); }";
    source.line = 17;
    source.targets = GLSL | ESSL20;
    source.type = PIXEL_SHADER;
    info->sources.InsertLast(source);

    info->tags = "sprite,ui";
    info->targets = ALL_TARGETS;
    info->time_modified = 1234;
    info->version = 0x20002;
    return info;
}

void ExpectSameAsMade(const ShaderInfo& info) {
    ASSERT_EQ(info.constants.count, 40);
    EXPECT_STREQ(info.constants[39].id.c_str(), "c39");
    EXPECT_STREQ(info.constants[0].value.c_str(), "1.5");
    EXPECT_STREQ(info.vertex_constants[0].id.c_str(), "world");
    EXPECT_EQ(info.vertex_constants[0].type.matrix_size, 4);
    EXPECT_EQ(info.pixel_constants[0].type.array_size, 3);
    EXPECT_STREQ(info.vertex_input[0].id.c_str(), "position");
    EXPECT_EQ(info.vertex_output[0].semantic, OUTPUT_TEXTURE_COORDINATE);
    EXPECT_EQ(info.pixel_textures[0].type.texture_kind, TEXTURE_3D);
    EXPECT_EQ(info.pixel_textures[0].filter_mip, 3);
    EXPECT_STREQ(info.pixel_output[0].id.c_str(), "color");
    EXPECT_STREQ(info.sources[0].code.c_str(), "void main() { output.color = float4(1.0); }");
    EXPECT_EQ(info.sources[0].line, 17);
    EXPECT_EQ(info.sources[0].targets, 13);
    EXPECT_STREQ(info.tags.c_str(), "sprite,ui");
    EXPECT_EQ(info.version, 0x20002u);
    EXPECT_EQ(info.time_modified, 1234u);
}

}  // namespace

// Copies must own their strings: the source record is destroyed first, and
// ASan reports any string still shared with it.
TEST(ShaderInfo, CopiesAreDeep) {
    ShaderInfo* source = MakeInfo();
    ShaderInfo constructed(*source);
    ShaderInfo assigned;
    assigned.constants.InsertLast(ShaderConstant());  // replaced by the assignment
    assigned = *source;
    ShaderInfo small;
    ShaderInfo grown = small;  // an empty copy, then grown by assignment
    grown = *source;
    delete source;
    ExpectSameAsMade(constructed);
    ExpectSameAsMade(assigned);
    ExpectSameAsMade(grown);

    assigned = assigned;  // self-assignment keeps everything
    ExpectSameAsMade(assigned);
    assigned = ShaderInfo();
    EXPECT_EQ(assigned.constants.count, 0);
    EXPECT_EQ(assigned.tags.GetText(), nullptr);
}

TEST(ShaderCode, OwnedBytesAreCopiedAndBorrowedOnesShared) {
    static uint8_t borrowed[4] = {1, 2, 3, 4};
    ShaderCode code;
    ASSERT_TRUE(code.AppendStringWithNullTerminator(VERTEX_SHADER, "void main(){}"));
    code.pixel.SetExternal(borrowed, 4);
    code.pixel.position = 2;
    code.vertex.swap = true;

    ShaderCode copy(code);
    EXPECT_NE(copy.vertex.data, code.vertex.data);
    EXPECT_EQ(copy.vertex.size, 14);
    EXPECT_EQ(copy.vertex.capacity, 14);
    EXPECT_TRUE(copy.vertex.swap);
    EXPECT_STREQ(reinterpret_cast<const char*>(copy.vertex.data), "void main(){}");
    EXPECT_EQ(copy.pixel.data, borrowed);
    EXPECT_TRUE(copy.pixel.external);
    EXPECT_EQ(copy.pixel.position, 2);
    EXPECT_TRUE(copy.IsFixed(PIXEL_SHADER));
    EXPECT_FALSE(copy.IsFixed(VERTEX_SHADER));
    // A borrowed buffer never grows.
    EXPECT_FALSE(copy.Append(PIXEL_SHADER, "x", 1));

    // Assigning over a copy that owned bytes frees them; over one that shared
    // bytes leaves them alone (ASan checks both).
    ShaderCode other;
    other.Append(PIXEL_SHADER, "abc", 3);
    other = copy;
    EXPECT_EQ(other.pixel.data, borrowed);
    copy = ShaderCode();
    EXPECT_EQ(copy.vertex.data, nullptr);
    EXPECT_EQ(copy.vertex.size, 0);
    EXPECT_EQ(copy.pixel.data, nullptr);
    EXPECT_EQ(borrowed[3], 4);
}

TEST(Capabilities, PerTargetTable) {
    nArray<Capabilities> capabilities = GetCapabilities();
    ASSERT_EQ(capabilities.count, kTargetCount);
    const bool expected[kTargetCount][2] = {{false, false}, {true, true}, {false, true}, {true, true},
                                            {true, true},   {true, true}, {true, true}};
    for (int i = 0; i < kTargetCount; ++i) {
        EXPECT_EQ(capabilities[i].multiple_pixel_outputs, expected[i][0]) << GetShaderTargetName(i);
        EXPECT_EQ(capabilities[i].textures_3d, expected[i][1]) << GetShaderTargetName(i);
    }
}

TEST(Targets, NamesToMasks) {
    struct Case {
        const char* name;
        int bits;
    };
    const Case cases[] = {
        {"ESSL", 3},   {"ESSL20", 1}, {"ESSL30", 2}, {"GLSL", 12},  {"GLSL21", 4}, {"GLSL31", 8},
        {"HLSL", 48},  {"HLSL9", 16}, {"HLSL11", 32}, {"PSSL", 64}, {"ALL", 127},  {"all", 0},
        {"HLSL9 ", 0}, {"", 0},       {nullptr, 0},  {"~HLSL", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(GetShaderTargetsFromString(c.name), c.bits) << (c.name ? c.name : "null");
    for (int i = 0; i < kTargetCount; ++i) {
        EXPECT_EQ(GetShaderTargetsFromString(GetShaderTargetName(i)), 1 << i);
        EXPECT_EQ(GetShaderTargetIndex(1 << i), i);
    }
    EXPECT_EQ(GetShaderTargetName(7), nullptr);
    EXPECT_EQ(GetShaderTargetIndex(3), -1);
    EXPECT_EQ(GetShaderTargetIndex(0), -1);
}

TEST(Targets, TargetLists) {
    struct Case {
        const char* list;
        int bits;
    };
    const Case cases[] = {
        {nullptr, 127},
        {"", 127},
        {"ESSL20,GLSL21", 5},
        {"~HLSL", 79},
        {"~HLSL9", 111},
        {"~ALL", 0},
        {"~", 0},
        {"~nothing", 0},
        {"ESSL,", 3},
        {"HLSL,PSSL,ESSL20", 113},
        {"HLSL, PSSL", 0},     // blanks are not removed
        {"~ESSL,GLSL", 0},     // "~" only works alone
        {"ESSL,~GLSL", 0},
        {",ESSL", 0},          // empty item
        {"ESSL,,GLSL", 0},
        {"ESSL20,HLSL11,PSSL,GLSL", 109},
        {"ESSL20,ABCDEFGHIJKLMNOP", 0},  // an item of 16 characters
        {"GLSL21,GLSL21", 4},
    };
    for (const Case& c : cases) EXPECT_EQ(GetSourceTargetIds(c.list), c.bits) << (c.list ? c.list : "null");
}

TEST(Log, MessageFormsAndFlags) {
    Log log;
    EXPECT_FALSE(log.HasMessages());
    log.AddNote("Translating for target '%s'...", "GLSL21");
    EXPECT_TRUE(log.HasMessages());
    EXPECT_FALSE(log.HasErrors());
    log.AddWarning("shader requires extension '%s'.", "GL_EXT_gpu_shader4");
    EXPECT_FALSE(log.HasErrors());
    log.AddLocatedError(nullptr, 3, 9, "'%s' is a reserved word.", "in");
    log.AddError("file is of invalid version.");
    log.AddLocatedError("a.zksl", 1, 2, "%s", "100% sure");
    EXPECT_STREQ(log.GetText(),
                 "Translating for target 'GLSL21'...\n"
                 "Warning: shader requires extension 'GL_EXT_gpu_shader4'.\n"
                 "(3:9) error: 'in' is a reserved word.\n"
                 "Error: file is of invalid version.\n"
                 "a.zksl(1:2) error: 100% sure\n");
    EXPECT_TRUE(log.HasErrors());
    log.Clear();
    EXPECT_STREQ(log.GetText(), "");
    EXPECT_FALSE(log.HasMessages());
    EXPECT_FALSE(log.HasErrors());
}
