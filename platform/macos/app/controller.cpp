// Window modes, activation and the application's end.

#include "platform/macos/app/controller.h"

#include <cstring>

#include "engine/app/activation.h"
#include "engine/runtime/state.h"
#include "engine/runtime/zekar.h"
#include "platform/macos/app/shell.h"
#include "platform/macos/app/view.h"
#include "platform/macos/device/device.h"

namespace {

zk_osx_window_t* MainWindow() { return static_cast<zk_osx_window_t*>(zk_osx_main_window); }

// The program runs in the mode it is switched to from now on.
void ReinitializeProgram(bool windowed) {
    if (!zk || !zk_prog) return;
    zk_prog->parms.windowed = windowed ? 1 : 0;
    zk->ZK_ReinitializeWithParameters(zk_prog->parms);
}

// Holds the view's frame mutex for the whole switch, which ends the
// pending window setup.
class WindowSwitch {
public:
    WindowSwitch() : frame(ZK_OSX_GetMainFrameMutex()) { ZKT_LockMutex(frame); }
    ~WindowSwitch() {
        zk_osx_window_setup_in_progress = false;
        ZKT_UnlockMutex(frame);
    }

private:
    zk_mutex_t* frame;
};

void Print(const char* line) {
    if (zk) zk->ZK_Printf("%s", line);
}

void Activate(bool active) {
    if (!zk) return;
    zk_mutex_t* mutex = zk->ZK_GetMutex("ZK_OSX_FRAME");
    zk->ZK_LockMutex(mutex);
    ZKI_ActivateApp(active);
    zk->ZK_UnlockMutex(mutex);
}

struct MenuPlaceholder {
    const char* title;
    const char* prefix;
};
const MenuPlaceholder kMenuPlaceholders[] = {
    {"ZEKAR_APP_NAME", ""},
    {"About ZEKAR_APP_NAME", "About "},
    {"Hide ZEKAR_APP_NAME", "Hide "},
    {"Quit ZEKAR_APP_NAME", "Quit "},
};

}  // namespace

void ZK_OSX_GoFullscreenMode(zk_osx_controller_t* controller) {
    WindowSwitch running;
    Print("Switching to full screen mode.");
    ReinitializeProgram(false);
    controller->is_in_full_screen_mode = true;
    zk_osx_window_t* window = MainWindow();
    if (!window) return;
    int width = 0, height = 0;
    float scale = 1.0f;
    ZKD_MeasureScreen(&width, &height, &scale);
    window->style_mask = ZK_OSX_STYLE_BORDERLESS;
    window->level = ZK_OSX_LEVEL_FULL_SCREEN;
    window->opaque = true;
    window->hides_on_deactivate = true;
    window->frame_width = window->content_width = static_cast<float>(width) / scale;
    window->frame_height = window->content_height = static_cast<float>(height) / scale;
    window->visible = window->key = true;
    window->accepts_mouse_moved_events = true;
}

void ZK_OSX_GoWindowedMode(zk_osx_controller_t* controller) {
    WindowSwitch running;
    Print("Switching to windowed mode.");
    ReinitializeProgram(true);
    controller->is_in_full_screen_mode = false;
    zk_osx_window_t* window = MainWindow();
    if (!window) return;
    window->visible = false;
    window->frame_width = window->content_width = static_cast<float>(zk_osx_window_width) / best_screen_scale;
    window->frame_height = window->content_height = static_cast<float>(zk_osx_window_height) / best_screen_scale;
    if (zk_mac_should_center_window) {
        ++window->times_centred;
        zk_mac_should_center_window = false;
    }
    window->style_mask = ZK_OSX_STYLE_TITLED_CLOSABLE_MINIATURIZABLE;
    window->level = ZK_OSX_LEVEL_NORMAL;
    window->opaque = false;
    window->hides_on_deactivate = false;
    window->accepts_mouse_moved_events = true;
    if (zk_prog) window->title = zk_prog->title;
    window->black_background = true;
    window->visible = window->key = true;
}

void ZK_OSX_ToggleFullscreen() {
    if (zk && zk_prog) zk_osx_should_toggle_fullscreen_next_frame = true;
}

void ZK_OSX_ApplicationDidBecomeActive() { Activate(true); }

void ZK_OSX_ApplicationWillResignActive() { Activate(false); }

bool ZK_OSX_WindowShouldClose() {
    if (zk) zk->ZK_SignalShutdown();
    return false;
}

void ZK_OSX_ApplicationWillTerminate() {
    if (!zk) return;
    zk->ZK_SignalShutdown();
    zk->ZKT_Sleep(100);
}

void ZK_OSX_UpdateAppNameInMenu(nArray<zk_osx_menu_item_t>* menu, const char* name) {
    if (!menu || !name) return;
    for (int i = 0; i < menu->count; ++i) {
        zk_osx_menu_item_t& item = menu->items[i];
        for (const MenuPlaceholder& placeholder : kMenuPlaceholders) {
            if (strcmp(item.title.c_str(), placeholder.title) != 0) continue;
            item.title = nString::Format("%s%s", placeholder.prefix, name);
            break;
        }
        ZK_OSX_UpdateAppNameInMenu(&item.submenu, name);
    }
}
