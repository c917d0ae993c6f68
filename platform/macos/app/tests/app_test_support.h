// Test support for the windowed layer: an engine with a program of
// 800 x 600 that records the events it is given, the stand-in window,
// controller and view, and the events delivered, in words.
//
//   class MyTest : public WindowedLayerTest {};
//   ShowWindow();                                // main window, controller, view
//   ZK_OSX_ProcessEvent(&controller, event);
//   Delivered()  ->  {"key down 65", "char 97"}
#pragma once

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/events/events.h"
#include "engine/console/tests/console_fixture.h"
#include "platform/macos/app/controller.h"
#include "platform/macos/app/shell.h"
#include "platform/macos/app/view.h"
#include "platform/macos/app/window.h"
#include "platform/macos/device/device.h"

namespace macos_app_test {

// Lines printed through the table's ZK_Printf.
inline std::vector<std::string>& PrintedLines() {
    static std::vector<std::string> lines;
    return lines;
}
inline int RecordPrintf(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    PrintedLines().push_back(text);
    return 0;
}

// Parameters the engine was asked to re-initialise with.
inline std::vector<zk_parms_t>& Reinitialisations() {
    static std::vector<zk_parms_t> parms;
    return parms;
}
inline bool RecordReinitialisation(zk_parms_t parms) {
    Reinitialisations().push_back(parms);
    return true;
}

// The windowed layer's globals as a fresh process has them.
inline void ResetWindowedLayer() {
    zk_osx_main_window = zk_osx_main_controller = zk_opengl_view = nullptr;
    zk_osx_skip_frame_update = 0;
    zk_osx_window_width = zk_osx_window_height = 0;
    zk_osx_window_setup_in_progress = false;
    zk_osx_shut_down = false;
    zk_osx_should_toggle_fullscreen_next_frame = false;
    zk_mac_should_center_window = true;
    zk_osx_reshape_scale = 1.0f;
    ZKD_SetScreenForTesting(0, 0, 1.0f);
    ZKD_DetermineBestScreenDimensions();
}

// One delivered event in words.
inline std::string Describe(const zk_event_t& event) {
    char text[96];
    switch (event.type) {
    case ZK_EVENT_CHARACTER:
        snprintf(text, sizeof text, "char %d", ZKI_EventAs<zk_char_event_t>(event).character);
        break;
    case ZK_EVENT_KEY_DOWN:
    case ZK_EVENT_KEY_UP:
        snprintf(text, sizeof text, "key %s %d", event.type == ZK_EVENT_KEY_DOWN ? "down" : "up",
                 ZKI_EventAs<zk_key_event_t>(event).key);
        break;
    case ZK_EVENT_POINTER_DOWN:
    case ZK_EVENT_POINTER_UP: {
        zk_button_event_t b = ZKI_EventAs<zk_button_event_t>(event);
        snprintf(text, sizeof text, "button %s %d at %d,%d pointer %d kind %d",
                 event.type == ZK_EVENT_POINTER_DOWN ? "down" : "up", b.button, b.x, b.y, b.pointer, b.pointer_type);
        break;
    }
    case ZK_EVENT_POINTER_MOVE: {
        zk_pointer_event_t m = ZKI_EventAs<zk_pointer_event_t>(event);
        snprintf(text, sizeof text, "move at %d,%d pointer %d kind %d", m.x, m.y, m.pointer, m.pointer_type);
        break;
    }
    case ZK_EVENT_WHEEL: {
        zk_wheel_event_t w = ZKI_EventAs<zk_wheel_event_t>(event);
        snprintf(text, sizeof text, "wheel %d at %d,%d", w.delta, w.x, w.y);
        break;
    }
    case ZK_EVENT_ACTIVATION:
        snprintf(text, sizeof text, "activation lost %d", ZKI_EventAs<zk_activation_event_t>(event).deactivated);
        break;
    default:
        snprintf(text, sizeof text, "type %u", event.type);
    }
    return text;
}

// Delivers what waits in the queue, then lists every event the program
// was given since the last call.
inline std::vector<std::string> Delivered() {
    ZKI_ProcessEventQueue();
    std::vector<std::string> words;
    for (const zk_event_t& event : ReceivedEvents()) words.push_back(Describe(event));
    ReceivedEvents().clear();
    return words;
}

// The stand-in window, delegate and view, shown as the main ones on request.
struct WindowStandIns {
    void ShowWindow() {
        zk_osx_main_window = &window;
        zk_osx_main_controller = &controller;
        zk_opengl_view = &view;
    }

    zk_osx_window_t window;
    zk_osx_controller_t controller;
    zk_osx_view_t view;
};

class WindowedLayerTest : public ZkConsoleTest, public WindowStandIns {
protected:
    void SetUp() override {
        ZkConsoleTest::SetUp();
        ResetWindowedLayer();
        PrintedLines().clear();
        Reinitialisations().clear();
        zk->ZK_Printf = RecordPrintf;
        zk->ZK_ReinitializeWithParameters = RecordReinitialisation;
        program_.parms.width = 800;
        program_.parms.height = 600;
        snprintf(program_.title, sizeof program_.title, "%s", "Marble Run");
    }
    void TearDown() override {
        ResetWindowedLayer();
        ZKI_ProcessEventQueue();
        ZkConsoleTest::TearDown();
    }
};

}  // namespace macos_app_test
