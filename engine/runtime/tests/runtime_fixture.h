// Test support for event delivery, the frame step and the console overlay:
// a fresh engine with an installed program that records the events it is
// given, and a console that can be enabled, opened and emptied.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/app/console_overlay.h"
#include "engine/runtime/events.h"
#include "engine/runtime/tests/core_fixture.h"

// The events the test program received, in order.
inline std::vector<zk_event_t>& ReceivedEvents() {
    static std::vector<zk_event_t> events;
    return events;
}

inline int RecordEvent(zk_event_t event) {
    ReceivedEvents().push_back(event);
    return 7;  // the program's answer, passed back by delivery
}

// Frees what the console keeps besides its settings: lines, history,
// completion words and hint.
inline void EmptyConsole() {
    zkConsole& c = zk_console;
    for (int i = 0; i < c.lines.count; ++i) {
        free(c.lines.items[i].text);
        free(c.lines.items[i].thread_name);
    }
    c.lines.count = 0;
    for (int i = 0; i < c.history.count; ++i) free(c.history.items[i]);
    c.history.count = 0;
    c.history_position = 0;
    c.draft_in_history = 0;
    for (int i = 0; i < c.words.count; ++i) {
        free(c.words.items[i].word);
        free(c.words.items[i].extra);
    }
    c.words.count = 0;
    free(c.completion_hint);
    c.completion_hint = nullptr;
    c.edit_line[0] = '\0';
    c.cursor = 0;
    c.scroll_offset = 0;
    c.control_held = c.shift_held = 0;
    c.open = 0;
    c.slide = 0.0f;
    c.overlay = 0;
    c.font = nullptr;
}

class ZkRuntimeTest : public ZkCoreTest {
protected:
    void SetUp() override {
        ZkCoreTest::SetUp();
        zk_run_silent = 1;
        ReceivedEvents().clear();
        program_ = zk_prog_t();
        program_.EventProc = RecordEvent;
        zk_prog = &program_;
        zk_state.initialized = 1;
        // A fresh console bound to this state's mutex registry, disabled.
        zk_console.Init();
        EmptyConsole();
    }
    void TearDown() override {
        EmptyConsole();
        zk_console.enabled = 0;
        zk_console.mutex = nullptr;
        zk_prog = nullptr;
        ZkCoreTest::TearDown();
    }

    // Enables the console in developer mode (toggle key F1), closed.
    void EnableConsole() {
        zk_state.developer_mode = 1;
        zk_state.console_enabled = 1;
        zk_console.Init();
        zk_console.lowest_kept_type = 0;  // keep every line
        EmptyConsole();
    }
    void OpenConsole() {
        EnableConsole();
        zk_console.open = 1;
    }

    zk_prog_t program_;
};

inline zk_event_t KeyEvent(zk_event_type_t type, int key) { return ZKI_MakeEvent(zk_key_event_t{type, key, 0}); }
inline zk_event_t CharEvent(char c) {
    return ZKI_MakeEvent(zk_char_event_t{ZK_EVENT_CHARACTER, static_cast<uint8_t>(c)});
}
inline zk_event_t ButtonEvent(zk_event_type_t type, int pointer, int button, int x, int y) {
    zk_button_event_t fields = {};
    fields.type = type;
    fields.pointer = static_cast<int8_t>(pointer);
    fields.x = x;
    fields.y = y;
    fields.button = static_cast<uint16_t>(button);
    fields.pointer_type = ZK_POINTER_MOUSE;
    return ZKI_MakeEvent(fields);
}
inline zk_event_t MoveEvent(int pointer, int x, int y) {
    zk_pointer_event_t fields = {};
    fields.type = ZK_EVENT_POINTER_MOVE;
    fields.pointer = static_cast<int8_t>(pointer);
    fields.x = x;
    fields.y = y;
    fields.pointer_type = ZK_POINTER_MOUSE;
    return ZKI_MakeEvent(fields);
}
