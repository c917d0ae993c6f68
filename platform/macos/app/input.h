// Input of the windowed layer: the platform's mouse, wheel and key events
// as engine events.
#pragma once

#include "platform/macos/app/window.h"

// What the layer reads from one of the platform's events.
struct zk_osx_event_t {
    int type = 0;                  // zk_osx_event_type_t (cocoa.h)
    float x = 0, y = 0;            // location in the window: points, origin at the bottom left
    unsigned short key_code = 0;   // virtual key code of a key event
    bool has_character = false;    // whether the key event typed a character
    unsigned short character = 0;  // the first one, ignoring modifiers
    float scroll_delta_y = 0;      // vertical wheel movement
};

// Converts a location in the window to the program's screen (pixels,
// origin at the top left): in full-screen mode scaled by the program's size
// over the window's frame, in windowed mode by the screen's backing scale;
// then y is flipped. True only when the result lies inside the program's
// screen; false without a program, and in full-screen mode without a main
// window or with a frame of no width or height.
bool ZK_OSX_ConvertMousePosition(const zk_osx_controller_t* controller, float* x, float* y);

// Turns one event into engine events, with a program and the engine only:
// - left and right buttons: pointer button down (6) or up (5) for keys 510
//   and 511, pointer 0, mouse;
// - moves and drags: pointer move (2);
// - the wheel: wheel event (4) with the vertical movement times 120, held
//   to the event's 16-bit range;
// - a key down with an engine key: key down (8), then the typed character,
//   cut to 7 bits, queued as a character event (1); a key up: key up (9).
// Pointer and wheel events outside the program's screen are dropped;
// other event types send nothing.
void ZK_OSX_ProcessEvent(const zk_osx_controller_t* controller, const zk_osx_event_t& event);
