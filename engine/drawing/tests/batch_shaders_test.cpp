// The batch renderer and the shader layer together: the batch renderer
// takes its default shaders from the renderer's built-in ones, sets the
// current shader at its next draw, and a program's shader switches it.

#include <gtest/gtest.h>

#include <string>

#include "engine/app/interface.h"
#include "engine/drawing/batch_renderer.h"
#include "engine/shaders/tests/shader_fixture.h"

namespace {

class BatchShadersTest : public ShaderTest {
protected:
    void SetUp() override {
        ShaderTest::SetUp();
        UseRenderer(ShaderTool::GLSL21);
        zk_batch_renderer.Initialize();
    }
    void TearDown() override {
        zk_batch_renderer.Free();
        ShaderTest::TearDown();
    }
    void DrawOneRect() {
        zk_batch_renderer.BeginPass();
        zk->graphics->ZK_Graphics_DrawRect(0, 0, 10, 10);
        zk_batch_renderer.Flush();
    }
};

TEST_F(BatchShadersTest, TheDefaultShaderIsTheBuiltInOneAndReachesTheRendererAtTheFirstDraw) {
    ASSERT_NE(zk_batch_renderer.default_shader, nullptr);
    EXPECT_STREQ(zk_batch_renderer.default_shader->name, "internal_default");
    ASSERT_NE(zk_batch_renderer.distance_field_shader, nullptr);
    EXPECT_STREQ(zk_batch_renderer.distance_field_shader->name, "internal_distance_field");
    renderer_.ClearCalls();
    DrawOneRect();
    EXPECT_EQ(renderer_.CallsOf("SetShader"), std::vector<std::string>{"SetShader internal_default"});
    DrawOneRect();  // already set: not set again
    EXPECT_EQ(renderer_.Count("SetShader"), 1);
}

TEST_F(BatchShadersTest, AProgramsShaderBecomesCurrentAndNullGoesBackToTheDefault) {
    zk_shader_t* shader = zk->graphics->ZK_Graphics_GetShader("internal_distance_field");
    ASSERT_EQ(shader, zk_batch_renderer.distance_field_shader);
    DrawOneRect();
    renderer_.ClearCalls();
    zk->graphics->ZK_Graphics_SetShader(shader);
    EXPECT_EQ(zk_batch_renderer.current_shader, shader);
    DrawOneRect();
    EXPECT_EQ(renderer_.CallsOf("SetShader"), std::vector<std::string>{"SetShader internal_distance_field"});
    zk->graphics->ZK_Graphics_SetShader(nullptr);
    EXPECT_EQ(zk_batch_renderer.current_shader, zk_batch_renderer.default_shader);
}

}  // namespace
