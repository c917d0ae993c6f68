// Display-link frames, reshapes and the surface size of the OpenGL view.

#include "platform/macos/app/view.h"

#include "engine/screen/resolution_selection.h"
#include "engine/runtime/zekar.h"
#include "platform/macos/app/shell.h"
#include "platform/macos/device/device.h"

zk_mutex_t* ZK_OSX_GetMainFrameMutex() {
    // Made on first use by whichever thread comes first, and kept for the
    // whole process: the display link may try it at any time.
    static zk_mutex_t* const mutex = [] {
        zk_osx_main_frame_mutex = ZKT_CreateMutex("OS_X_MAIN_FRAME");
        return zk_osx_main_frame_mutex;
    }();
    return mutex;
}

void ZK_OSX_InitView(zk_osx_view_t* view) {
    static const bool started = ZK_OSX_ZEKARPreInit();
    (void)started;
    ZK_OSX_GetMainFrameMutex();
    if (!zk_opengl_view) zk_opengl_view = view;
    if (zk_prog) {
        view->backing_width = zk_prog->parms.width;
        view->backing_height = zk_prog->parms.height;
    }
}

zk_osx_draw_t ZK_OSX_DrawView(zk_osx_view_t* view) {
    if (zk_osx_shut_down) return ZK_OSX_DRAW_NOTHING;
    if (zk_osx_window_setup_in_progress) {
        ++view->black_frames;
        return ZK_OSX_DRAW_BLACK;
    }
    zk_mutex_t* frame = ZK_OSX_GetMainFrameMutex();
    if (!ZKT_TryLockMutex(frame)) return ZK_OSX_DRAW_SKIPPED;
    zk_osx_draw_t drawn = ZK_OSX_DRAW_FLUSHED;
    if (zk_state.initialized) {
        if (zk_prog) {
            zk_device_info.screen_width = zk_prog->parms.width;
            zk_device_info.screen_height = zk_prog->parms.height;
        }
        ZK_OSX_Frame();
        drawn = ZK_OSX_DRAW_ENGINE_FRAME;
    }
    ++view->flushed_frames;
    ZKT_UnlockMutex(frame);
    return drawn;
}

void ZK_OSX_Reshape() {
    zk_mutex_t* frame = ZK_OSX_GetMainFrameMutex();
    ZKT_LockMutex(frame);
    if (zk && zk_prog && zk_osx_main_window) {
        ZKD_DetermineBestScreenDimensions();
        zk_device_info.screen_width = best_screen_width;
        zk_device_info.screen_height = best_screen_height;
        zk->ZK_Printf("Desktop now %d x %d scale %g", best_screen_width, best_screen_height, best_screen_scale);
        if (best_screen_scale != zk_osx_reshape_scale) {
            ZKI_SelectOptimalResolution(zk_prog->parms.windowed != 0, false);
            zk_osx_reshape_scale = best_screen_scale;
        }
        ZKI_SetDeviceScreenSize(zk_state.screen_width, zk_state.screen_height);
    }
    ZKT_UnlockMutex(frame);
}

void ZK_OSX_ResizeBackbuffer(zk_osx_view_t* view) {
    // A surface of no size is refused by the platform.
    if (zk_osx_window_width > 0 && zk_osx_window_height > 0) {
        view->backing_width = zk_osx_window_width;
        view->backing_height = zk_osx_window_height;
    }
    view->wants_best_resolution = true;
}

void ZKID_Mac_UpdateDeviceInfo(zk_device_info_t* info) {
    if (!info || !zk_osx_main_window) return;
    float scale = 1.0f;
    int width = 0, height = 0;
    ZKD_MeasureScreen(&width, &height, &scale);
    info->screen_width = width;
    info->screen_height = height;
}

void ZK_OSX_WindowSetup(void* /*unused*/) {
    zk_mutex_t* frame = ZK_OSX_GetMainFrameMutex();
    ZKT_LockMutex(frame);
    ZKT_UnlockMutex(frame);
}
