#include "platform/macos/app/window.h"
#include "platform/macos/app/controller.h"
#include "platform/macos/app/shell.h"

#include "engine/app/frame.h"
#include "engine/app/startup.h"
#include "engine/runtime/state.h"
#include "engine/runtime/threads.h"
#include "platform/macos/device/device.h"

static zk_osx_window_t* MainWindow() { return static_cast<zk_osx_window_t*>(zk_osx_main_window); }
static zk_osx_controller_t* MainController() { return static_cast<zk_osx_controller_t*>(zk_osx_main_controller); }
static zk_osx_view_t* OpenGLView() { return static_cast<zk_osx_view_t*>(zk_opengl_view); }

void ZK_OSX_SetAppName(const char* name) {
    if (!name) return;
    if (zk_osx_window_t* window = MainWindow()) window->title = name;
    if (zk_osx_controller_t* controller = MainController()) {
        controller->menu_app_name = name;
        ZK_OSX_UpdateAppNameInMenu(&controller->menu, name);
    }
}

void ZK_OSX_SetupWindow(int width, int height, bool fullscreen) {
    zk_osx_controller_t* controller = MainController();
    if (!zk || !MainWindow() || !controller) return;
    zk_osx_skip_frame_update = 1;
    zk_osx_window_width = width;
    zk_osx_window_height = height;
    // The frame step reads the flag on the display-link thread.
    zk->ZK_SynchronizeWithMainThreadBegin();
    zk_osx_window_setup_in_progress = true;
    zk->ZK_SynchronizeWithMainThreadEnd();
    // Sent to the main thread without waiting; a missing view ignores it.
    if (zk_osx_view_t* view = OpenGLView()) ++view->resize_backbuffer_requests;
    if (fullscreen) {
        ++controller->fullscreen_mode_requests;
    } else {
        ++controller->windowed_mode_requests;
    }
}

void ZKID_SetUpWindowForProgram() {
    if (zk_state.prog) ZK_OSX_SetAppName(zk_state.prog->title);
    if (!zk || !MainWindow() || !MainController()) return;
    const zk_parms_t& parms = zk_state.prog ? zk_state.prog->parms : zk_state.parms;
    zk->ZK_Printf("Setting up macOS windows.");
    ZK_OSX_SetupWindow(parms.width, parms.height, parms.windowed == 0);
}

// A toggle waits for a program: it is the program's parameter that flips.
static void ToggleFullscreen() {
    if (!zk_osx_should_toggle_fullscreen_next_frame || !zk_prog) return;
    zk_osx_should_toggle_fullscreen_next_frame = false;
    zk_prog->parms.windowed = zk_prog->parms.windowed ? 0 : 1;
    zk->ZK_ReinitializeWithParameters(zk_prog->parms);
}

void ZK_OSX_Frame() {
    if (!zk || zk_osx_shut_down) return;
    zk_mutex_t* mutex = zk->ZK_GetMutex("ZK_OSX_FRAME");
    zk->ZK_LockMutex(mutex);
    ZKT_GetThreadState()->thread_id = 1;
    if (zk_prog) {
        if (zk_osx_skip_frame_update > 0) {
            --zk_osx_skip_frame_update;
        } else {
            ZKI_Frame();
        }
    }
    ToggleFullscreen();
    if (!zk->ZK_IsShutdownSignalled()) {
        zk->ZK_UnlockMutex(mutex);
        return;
    }
    zk->ZK_Printf("Signalled shutdown, shutting down...");
    // Set before the mutex opens, so that no other frame starts a step.
    zk_osx_shut_down = true;
    zk->ZK_UnlockMutex(mutex);
    ZEKAR_Shutdown();
    ZK_OSX_TerminateApp();
}
