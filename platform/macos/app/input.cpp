// Mouse conversion and event dispatch of the windowed layer.

#include "platform/macos/app/input.h"

#include <cstdint>

#include "engine/runtime/basic_functions.h"
#include "engine/events/events.h"
#include "engine/runtime/state.h"
#include "platform/macos/app/cocoa.h"
#include "platform/macos/app/keys.h"
#include "platform/macos/app/shell.h"
#include "platform/macos/device/device.h"

namespace {

enum { kWheelStep = 120 };

// Full screen stretches the window's frame over the program's screen;
// a frame of no size has no point inside it.
bool ScaleFromFullScreenWindow(float* x, float* y) {
    const zk_osx_window_t* window = static_cast<const zk_osx_window_t*>(zk_osx_main_window);
    if (!window || !(window->frame_width > 0.0f) || !(window->frame_height > 0.0f)) return false;
    *x = *x * static_cast<float>(zk_prog->parms.width) / window->frame_width;
    *y = *y * static_cast<float>(zk_prog->parms.height) / window->frame_height;
    return true;
}

// Key codes of the two mouse buttons, by event type.
struct ButtonEvent {
    int type;
    zk_event_type_t engine_type;
    int button;
};
const ButtonEvent kButtonEvents[] = {
    {ZK_OSX_EVENT_LEFT_MOUSE_DOWN, ZK_EVENT_POINTER_DOWN, ZK_KEY_MOUSE_LEFT},
    {ZK_OSX_EVENT_LEFT_MOUSE_UP, ZK_EVENT_POINTER_UP, ZK_KEY_MOUSE_LEFT},
    {ZK_OSX_EVENT_RIGHT_MOUSE_DOWN, ZK_EVENT_POINTER_DOWN, ZK_KEY_MOUSE_RIGHT},
    {ZK_OSX_EVENT_RIGHT_MOUSE_UP, ZK_EVENT_POINTER_UP, ZK_KEY_MOUSE_RIGHT},
};

bool IsMove(int type) {
    return type == ZK_OSX_EVENT_MOUSE_MOVED || type == ZK_OSX_EVENT_LEFT_MOUSE_DRAGGED ||
           type == ZK_OSX_EVENT_RIGHT_MOUSE_DRAGGED || type == ZK_OSX_EVENT_OTHER_MOUSE_DRAGGED;
}

// The wheel field holds 16 bits: a fast flick must not wrap around into
// the other direction.
int WheelDelta(float movement) {
    float delta = movement * kWheelStep;
    if (delta != delta) return 0;
    if (delta < INT16_MIN) return INT16_MIN;
    if (delta > INT16_MAX) return INT16_MAX;
    return static_cast<int>(delta);
}

void SendKeyDown(const zk_osx_event_t& event) {
    int key = ZK_OSX_GetVirtualKeyCodeAsZKKey(event.key_code);
    if (key <= 0) return;
    ZKI_SendKeyEvent(ZK_EVENT_KEY_DOWN, key);
    if (!event.has_character) return;
    // Queued like the key before it, so the program sees the key first and
    // the character inside the frame, never from the platform's thread.
    zk_char_event_t typed = {ZK_EVENT_CHARACTER, static_cast<uint8_t>(event.character & 0x7F)};
    zk_event_t character = ZKI_MakeEvent(typed);
    ZKI_SendEventQueued(&character);
}

}  // namespace

bool ZK_OSX_ConvertMousePosition(const zk_osx_controller_t* controller, float* x, float* y) {
    if (!zk_prog) return false;
    if (controller && controller->is_in_full_screen_mode) {
        if (!ScaleFromFullScreenWindow(x, y)) return false;
    } else {
        *x *= best_screen_scale;
        *y *= best_screen_scale;
    }
    float width = static_cast<float>(zk_prog->parms.width);
    float height = static_cast<float>(zk_prog->parms.height);
    *y = height - *y;
    return *x >= 0.0f && *x < width && *y >= 0.0f && *y < height;
}

void ZK_OSX_ProcessEvent(const zk_osx_controller_t* controller, const zk_osx_event_t& event) {
    if (!zk || !zk_prog) return;
    float x = event.x;
    float y = event.y;
    for (const ButtonEvent& button : kButtonEvents) {
        if (button.type != event.type) continue;
        if (ZK_OSX_ConvertMousePosition(controller, &x, &y))
            ZKI_SendMouseButtonEvent(button.engine_type, 0, button.button, x, y, ZK_POINTER_MOUSE);
        return;
    }
    if (IsMove(event.type)) {
        if (ZK_OSX_ConvertMousePosition(controller, &x, &y)) ZKI_SendMouseMoveEvent(0, x, y, ZK_POINTER_MOUSE);
        return;
    }
    switch (event.type) {
    case ZK_OSX_EVENT_KEY_DOWN:
        SendKeyDown(event);
        break;
    case ZK_OSX_EVENT_KEY_UP:
        ZK_OSX_SendConvertedKeyEvent(ZK_EVENT_KEY_UP, event.key_code);
        break;
    case ZK_OSX_EVENT_SCROLL_WHEEL:
        if (ZK_OSX_ConvertMousePosition(controller, &x, &y))
            ZKI_SendMouseWheelEvent(ZK_EVENT_WHEEL, 0, WheelDelta(event.scroll_delta_y), x, y);
        break;
    default:
        break;
    }
}
