// Screen measurement, cursors and the window's end.
// This program has no window and no display: the screen is 0 x 0 at scale
// 1.0 unless a test sets one.

#include "platform/macos/device/device.h"

#include <cstring>

#include "engine/runtime/log.h"

int best_screen_width = 0;
int best_screen_height = 0;
float best_screen_scale = 1.0f;

static int screen_width = 0;
static int screen_height = 0;
static float screen_scale = 1.0f;
static bool device_info_determined = false;

void ZKD_SetScreenForTesting(int width, int height, float scale) {
    screen_width = width;
    screen_height = height;
    screen_scale = scale;
}

void ZKD_MeasureScreen(int* width, int* height, float* scale) {
    *width = screen_width;
    *height = screen_height;
    // Sizes in points are backing sizes divided by the scale: a screen
    // that reports none (or no screen at all) counts as 1.0.
    *scale = screen_scale > 0.0f ? screen_scale : 1.0f;
}

void ZKD_DetermineBestScreenDimensions() {
    ZKD_MeasureScreen(&best_screen_width, &best_screen_height, &best_screen_scale);
}

int ZK_OSX_GetDesktopWidth() {
    ZKD_DetermineBestScreenDimensions();
    return best_screen_width;
}

int ZK_OSX_GetDesktopHeight() {
    ZKD_DetermineBestScreenDimensions();
    return best_screen_height;
}

void ZKID_DetermineDeviceInfo(zk_device_info_t* info) {
    if (!info) return;
    if (!device_info_determined) {
        info->screen_width = 0;
        info->screen_height = 0;
        device_info_determined = true;
    }
    info->fixed_resolution = 0;
    info->desktop_width = ZK_OSX_GetDesktopWidth();
    info->desktop_height = ZK_OSX_GetDesktopHeight();
}

void ZKID_InitCursors() { memset(zk_state.cursors, 0, sizeof(zk_state.cursors)); }

void ZKID_DestroyWindow() { ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Destroy Window.\n"); }
