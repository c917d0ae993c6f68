// The state record after set-up, and set-up over a used state.

#include "engine/runtime/state_setup.h"
#include "engine/runtime/tests/core_fixture.h"

namespace {

class StateTest : public ZkCoreTest {};

TEST_F(StateTest, FreshStateHasItsDefaults) {
    const zk_state_t& s = zk_state;
    EXPECT_EQ(s.world_transform_top, -1);
    EXPECT_EQ(s.view_transform_top, -1);
    EXPECT_EQ(s.projection_transform_top, -1);
    EXPECT_EQ(s.scissor_rect_top, -1);
    EXPECT_EQ(s.reference_counting, 1);
    EXPECT_FLOAT_EQ(s.overlay_zoom, 1.0f);
    EXPECT_FLOAT_EQ(s.overlay_zoom_saved, 1.0f);
    EXPECT_EQ(s.num_bitmaps, 0);
    EXPECT_EQ(s.num_sounds, 0);
    EXPECT_EQ(s.num_fonts, 0);
    EXPECT_EQ(s.num_shaders, 0);
    EXPECT_EQ(s.log_verbose_level, 2);
    EXPECT_EQ(s.console_toggle_key, 112);
    EXPECT_EQ(s.windowed, 1);
    EXPECT_EQ(s.developer_mode, 0);
    EXPECT_EQ(s.allowed_orientations, 12);
    EXPECT_EQ(s.interface_orientation, 8);
    EXPECT_EQ(s.target_orientation, 8);
    EXPECT_EQ(s.default_bitmap_cache_mode, 4);
    EXPECT_EQ(s.default_bitmap_flags, 2);
    EXPECT_EQ(s.pack_bitmaps, 1);
    EXPECT_FLOAT_EQ(s.depth_range[0], 0.1f);
    EXPECT_FLOAT_EQ(s.depth_range[1], 0.5f);
    EXPECT_FLOAT_EQ(s.depth_range[2], 1.0f);
    EXPECT_FLOAT_EQ(s.depth_default, 0.5f);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(s.quad_vertices[i].z, 0.5f);
        EXPECT_EQ(s.quad_vertices[i].color, 0xFFFFFFFFu);
        EXPECT_FLOAT_EQ(s.quad_vertices_4v[i].z, 0.5f);
        EXPECT_EQ(s.quad_vertices_4v[i].color, 0xFFFFFFFFu);
    }
    for (int i = 0; i < 16; ++i) {
        float identity = (i % 5 == 0) ? 1.0f : 0.0f;
        EXPECT_FLOAT_EQ(s.world_view_transform.m[i], identity) << i;
        EXPECT_FLOAT_EQ(zk_transform_identity.m[i], identity) << i;
    }
    EXPECT_EQ(s.endianness, ZK_LITTLE_ENDIAN); // the build hosts are little-endian
    EXPECT_EQ(s.has_platform_argument, 0);
    EXPECT_EQ(s.platform_argument, nullptr);
}

TEST_F(StateTest, SetUpKeepsThePlatformArgument) {
    int argument = 7;
    ZKI_SetUpState(&argument);
    EXPECT_EQ(zk_state.has_platform_argument, 1);
    EXPECT_EQ(zk_state.platform_argument, &argument);
}

TEST_F(StateTest, SetUpOverAUsedStateStartsClean) {
    zk_state.num_bitmaps = 5;
    zk_state.bitmaps[3].width = 64;
    zk_state.key_states_i[2047] = 3;
    zk_state.developer_mode = 1;
    zk_state.parms.width = 1024;
    zk_state.package_paths[1] = "data,data-de";
    zk_state.search_paths.InsertLast(nString("search"));
    zk_state.owned_texts.InsertLast(strdup("owned"));
    zk_event_t event = {};
    event.type = 9;
    zk_state.event_queue.InsertLast(event);
    zk_run_silent = 1;
    ZK_GetMutex("registered");
    zk_parms.width = 800;

    ZKI_SetUpState(nullptr);
    EXPECT_EQ(zk_state.num_bitmaps, 0);
    EXPECT_EQ(zk_state.bitmaps[3].width, 0);
    EXPECT_EQ(zk_state.key_states_i[2047], 0);
    EXPECT_EQ(zk_state.developer_mode, 0);
    EXPECT_EQ(zk_state.parms.width, 0);
    EXPECT_TRUE(zk_state.package_paths[1].IsEmpty());
    EXPECT_EQ(zk_state.search_paths.count, 0);
    EXPECT_EQ(zk_state.owned_texts.count, 0);
    EXPECT_EQ(zk_state.event_queue.count, 0);
    EXPECT_EQ(zk_state.named_mutexes.count, 0);
    EXPECT_EQ(zk_parms.width, 0);
    // Core mutexes are created by pre-initialisation, after set-up.
    for (zk_mutex_t* core : zk_state.core_mutexes) EXPECT_EQ(core, nullptr);
    EXPECT_EQ(zk, &zekar);
}

TEST_F(StateTest, CoreMutexCreationKeepsExistingOnes) {
    zk_mutex_t* print = zk_state.core_mutexes[ZK_CORE_MUTEX_PRINT];
    ZKI_CreateCoreMutexes();
    EXPECT_EQ(zk_state.core_mutexes[ZK_CORE_MUTEX_PRINT], print);
    ZKI_DestroyCoreMutexes();
    for (zk_mutex_t* core : zk_state.core_mutexes) EXPECT_EQ(core, nullptr);
}

TEST(StateLayout, RecordSizesOthersRelyOn) {
    EXPECT_EQ(sizeof(zk_parms_t), 120u);
    EXPECT_EQ(sizeof(zk_event_t), 64u);
    EXPECT_EQ(sizeof(zk_vertex_t), 24u);
    EXPECT_EQ(sizeof(zekar_t), 52 * sizeof(void*));
}

}  // namespace
