// Screen measurement, cursors and the start-up trio of the macOS layer.
// This program has no window and no display: the screen is 0 x 0 at scale
// 1.0 unless a test sets one.

#include "platform/macos/device.h"

#include <cstring>

#include "engine/core/log.h"
#include "engine/core/startup.h"
#include "platform/macos/window.h"

int best_screen_width = 0;
int best_screen_height = 0;
float best_screen_scale = 1.0f;

void* zk_osx_main_window = nullptr;
void* zk_osx_main_controller = nullptr;
int zk_osx_skip_frame_update = 0;
int zk_osx_window_width = 0;
int zk_osx_window_height = 0;
bool zk_osx_window_setup_in_progress = false;
bool zk_osx_shut_down = false;
bool zk_osx_should_toggle_fullscreen_next_frame = false;

static int screen_width = 0;
static int screen_height = 0;
static float screen_scale = 1.0f;
static bool device_info_determined = false;

void ZKD_SetScreenForTesting(int width, int height, float scale) {
    screen_width = width;
    screen_height = height;
    screen_scale = scale;
}

// The main window's screen, or the main screen, in backing pixels.
static void MeasureScreen() {
    best_screen_width = screen_width;
    best_screen_height = screen_height;
    best_screen_scale = screen_scale;
}

int ZK_OSX_GetDesktopWidth() {
    MeasureScreen();
    return best_screen_width;
}

int ZK_OSX_GetDesktopHeight() {
    MeasureScreen();
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

bool ZKID_CreateWindow() {
    const zk_parms_t& parms = zk_state.prog ? zk_state.prog->parms : zk_state.parms;
    ZK_Printf("Window already created. Resizing to %dx%d.\n", parms.width, parms.height);
    ZK_Printf("Desktop resolution %d x %d", zk_device_info.desktop_width, zk_device_info.desktop_height);
    ZKID_SetUpWindowForProgram();
    return true;
}

bool ZK_OSX_ZEKARPreInit() { return ZKI_PreInit(nullptr); }

bool ZK_OSX_ZEKARMainInit() {
    if (!ZKI_Init()) {
        ZK_Popupf(ZK_MESSAGE_ERROR, "Core initialization failed. See generated log for details.\n");
        return false;
    }
    ZKID_InitCursors();
    zk_state.queue_input_events = 1;
    return true;
}

void ZK_OSX_ZEKARShutdown() { ZEKAR_Shutdown(); }

void ZK_OSX_TerminateApp() {
    zk_osx_controller_t* controller = static_cast<zk_osx_controller_t*>(zk_osx_main_controller);
    if (!controller) return;
    ++controller->terminate_requests;
    zk_osx_main_controller = nullptr;
}
