// Set-up of the shader tests, over DataFolderTest (shader names are paths
// below its data folder): every shader record, queued load and cached
// database given back afterwards, and a Shader XML to load.
//
//   class MyTest : public ShaderTest {};
//   TEST_F(MyTest, ...) {
//       UseRenderer(ShaderTool::GLSL21);        // target, level; starts the translator
//       Write("shaders/a.xml", shader_test::ShaderXml());
//       zk_shader_t* shader = zk->graphics->ZK_Graphics_GetShader("shaders/a.xml");
//   }
#pragma once

#include <utime.h>

#include <string>
#include <vector>

#include "engine/shaders/run_time_shaders.h"
#include "engine/render/tests/data_folder_fixture.h"
#include "engine/storage/database_manager.h"

class ShaderTest : public DataFolderTest {
protected:
    void TearDown() override {
        ZKI_ProcessShaderResourceQueue();
        for (int i = 0; i < zk_state.num_shaders && i < ZK_MAX_SHADERS; ++i) ZKI_FreeShader(&zk_state.shaders[i]);
        ZKI_DeinitializeShaderTranslator();
        while (zk_dman.databases.Count() > 0) zk_dman.ReleaseDatabase(zk_dman.databases[0]);
        DataFolderTest::TearDown();
    }

    // The renderer's target and level; the translator starts for them.
    void UseRenderer(int target, int level = 0, bool binary = false) {
        renderer_.shader_target = target;
        renderer_.shader_level = level;
        renderer_.uses_binary_shaders = binary;
        ZKI_DeinitializeShaderTranslator();
        ZKI_InitializeShaderTranslator();
    }

    // Sets a file's modification time (seconds).
    static void SetTime(const std::string& path, time_t seconds) {
        struct utimbuf times = {seconds, seconds};
        EXPECT_EQ(utime(path.c_str(), &times), 0) << path;
    }
};

namespace shader_test {

inline const char kGlowPath[] = "shaders/fx/glow.xml";
inline const char kDefaultPixelBody[] = "output.color = sampleTexture(texture.diffuse, input.uv) * input.color * constants.tint;";

// A textured shader with tags, a user array and constants as given.
inline std::string ShaderXml(const std::string& vertex_constants = "",
                             const std::string& pixel_constants = "<node id=\"tint\" type=\"FLOAT4\"/>",
                             const std::string& pixel_body = kDefaultPixelBody) {
    return std::string(R"(<?xml version="1.0" encoding="iso-8859-1"?>
<root>
  <array id="info">
    <node id="version" value="2"/>
    <node id="revision" value="3"/>
    <node id="tags" value="DISTANCE_FIELD, OUTLINE"/>
  </array>
  <array id="user">
    <node id="passes" value="2"/>
  </array>
  <array id="vertex_input">
    <node id="position" semantic="POSITION"/>
    <node id="color" semantic="COLOR"/>
    <node id="uv" semantic="TEXTURE_COORDINATE_0"/>
  </array>
  <array id="vertex_constants">
    <node id="world_view_projection" type="FLOAT4X4" semantic="WORLD_VIEW_PROJECTION_TRANSFORM"/>
    )") + vertex_constants + R"(
  </array>
  <array id="vertex_output">
    <node id="position" type="FLOAT4" semantic="POSITION"/>
    <node id="color" type="FLOAT4" semantic="COLOR"/>
    <node id="uv" type="FLOAT2" semantic="TEXTURE_COORDINATE"/>
  </array>
  <array id="pixel_constants">
    )" + pixel_constants + R"(
  </array>
  <array id="pixel_textures">
    <node id="diffuse" type="2D" address_u="WRAP" address_v="CLAMP" filter_mag="LINEAR" filter_min="POINT"/>
  </array>
  <array id="pixel_output">
    <node id="color"/>
  </array>
  <array id="sources">
    <node type="vertex"><![CDATA[
void main()
{
    output.position = input.position * constants.world_view_projection;
    output.color = input.color;
    output.uv = input.uv;
}
]]></node>
    <node type="pixel"><![CDATA[
void main()
{
    )" + pixel_body + R"(
}
]]></node>
  </array>
</root>
)";
}

// A pixel stage that does not parse.
inline const char kBrokenPixelBody[] = "output.color = ;";

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace shader_test
