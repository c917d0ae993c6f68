// Loading the renderer at start-up: the platform's back end becomes current
// once, and the table is filled again for it.

#include "engine/app/startup.h"
#include "engine/drawing/graphics_state.h"
#include "engine/screen/renderer_interface.h"
#include "engine/render/renderer_null.h"
#include "engine/render/tests/media_fixture.h"
#include "engine/runtime/interface_functions.h"

namespace {

class RendererLoadingTest : public MediaTest {};

// The colour setters follow the renderer's vertex colour format, which is
// why loading a renderer fills the table again: a setter put there by hand
// shows whether it was.
bool TableFilledAgain() { return zk->graphics->ZK_Graphics_SetColor != ZK_Graphics_SetColor_RGBA; }

TEST_F(RendererLoadingTest, LoadingMakesTheNullRendererCurrentOnceAndRefillsTheTable) {
    zk->graphics->ZK_Graphics_SetColor = ZK_Graphics_SetColor_RGBA;
    EXPECT_TRUE(ZKI_LoadRendImp());  // one is current already
    EXPECT_EQ(ri, &renderer_);
    EXPECT_FALSE(TableFilledAgain());
    EXPECT_TRUE(Lines().empty());

    renderer_.Uninstall();
    EXPECT_TRUE(ZKI_LoadRendImp());
    EXPECT_EQ(ri, GetRendImpNull());
    EXPECT_EQ(zk_state.rend_imp, ri);
    EXPECT_TRUE(TableFilledAgain());
    EXPECT_EQ(zk->graphics->ZK_Graphics_SetColor, ZK_Graphics_SetColor_BGRA);
    EXPECT_EQ(Lines(), std::vector<std::string>{"3:Loading renderer implementation..."});
    ri = nullptr;
    zk_state.rend_imp = nullptr;
    EXPECT_TRUE(ZKI_CreateWindow());
}

}  // namespace
