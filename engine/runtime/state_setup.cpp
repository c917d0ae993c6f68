// Setting the state record and the interface table up for a start.

#include "engine/runtime/state_setup.h"

#include <cstring>

#include "engine/base/clock.h"
#include "engine/base/ntransform.h"
#include "engine/runtime/interface_filling.h"
#include "engine/runtime/state.h"

namespace {

void SetIdentity(nTransform& t) {
    t = nTransform();
    t.m[0] = t.m[5] = t.m[10] = t.m[15] = 1.0f;
}

int HostByteOrder() {
    const uint16_t probe = 1;
    unsigned char first;
    memcpy(&first, &probe, 1);
    return first == 1 ? ZK_LITTLE_ENDIAN : ZK_BIG_ENDIAN;
}

void SetDefaults(zk_state_t& s) {
    s.reference_counting = 1;
    s.log_verbose_level = 2;
    s.console_toggle_key = 112;
    s.windowed = 1;
    s.world_transform_top = s.view_transform_top = s.projection_transform_top = -1;
    s.scissor_rect_top = -1;
    SetIdentity(s.world_view_transform);
    s.world_view_transform_valid = 1;
    SetIdentity(zk_transform_identity);
    s.pack_bitmaps = 1;
    s.allowed_orientations = 12;
    s.interface_orientation = 8;
    s.target_orientation = 8;
    s.default_bitmap_cache_mode = 4;
    s.default_bitmap_flags = 2;
    s.depth_range[0] = 0.1f;
    s.depth_range[1] = 0.5f;
    s.depth_range[2] = 1.0f;
    s.depth_default = 0.5f;
    // Opaque white, as the scratch quad's colour below says.
    for (float& component : s.current_color) component = 1.0f;
    s.current_packed_color = 0xFFFFFFFFu;
    for (int i = 0; i < 4; ++i) {
        s.quad_vertices[i].z = s.quad_vertices_4v[i].z = 0.5f;
        s.quad_vertices[i].color = s.quad_vertices_4v[i].color = 0xFFFFFFFFu;
    }
    s.overlay_zoom = s.overlay_zoom_saved = 1.0f;
    s.endianness = HostByteOrder();
}

}  // namespace

void ZKI_SetUpState(void* platform_argument) {
    ri = nullptr;
    zk = &zekar;
    zekar = zekar_t();
    zk_parms = zk_parms_t();
    ZKI_StateReset();
    ZKI_FillRuntimeInterface(&zekar);
    zk_state.zk = zk;
    zk_state.device_info = &zk_device_info;
    SetDefaults(zk_state);
    zk_parms.command_line_params = zk_command_line_params;
    if (platform_argument) {
        zk_state.has_platform_argument = 1;
        zk_state.platform_argument = platform_argument;
    }
    zk_state.start_time_ms = ZKT_GetTime();
    zk_state.start_steady_clock = ZKT_GetSteadyClockNanoseconds();
}
