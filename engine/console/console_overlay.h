// The console overlay: the developer's console drawn over the running
// program, on top of the console's log (console.h).
//
// It toggles with the console's key, takes the events delivered while it is
// open (it installs itself in front of the program when initialised), keeps
// an edit line with history and completion, scrolls, copies and pastes, and
// draws the kept lines through the graphics table.
#pragma once

#include <cstdint>

#include "engine/base/types.h"
#include "engine/console/console.h"
#include "engine/runtime/event.h"
#include "engine/runtime/zekar.h"

class zkConsole : public zkConsoleLog {
public:
    constexpr zkConsole() = default;
    ~zkConsole();

    // The log's Init, with an empty edit line; the overlay then sees every
    // delivered event before the program does.
    bool Init();
    // Opens or closes the overlay (closes only, unless enabled in developer
    // mode).
    void Toggle();
    // Slides the overlay and advances the cursor blink.
    void Update(float dt);
    // An event for the open overlay (never type 7); non-zero: consumed.
    int ProcessEvent(zk_event_t* event);
    // Draws the overlay through the graphics table.
    void Draw();
    // Null empties the line; a text over 510 characters changes nothing.
    void SetEditLine(const char* text);
    // Rebuilds the completion hint for the typed text.
    void OnLineTypedChanged(const char* text);
    // The kept line drawn at that screen position, or null.
    zk_console_line_t* GetLineAtScreenPosition(vec2_t position);

    uint8_t control_held = 0;
    uint8_t shift_held = 0;
    float slide = 0.0f;
    zk_font_t* font = nullptr;
    char edit_line[ZK_CONSOLE_EDIT_LINE_SIZE] = {};
    int32_t cursor = 0;
    uint8_t draft_in_history = 0;
    nArray<char*> history;
    int32_t history_position = 0;
    float blink_timer = 0.0f;
    char* completion_hint = nullptr;
};

extern zkConsole zk_console;
