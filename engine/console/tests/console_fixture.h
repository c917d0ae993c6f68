// Test support for the console overlay: the runtime tests' engine and
// program with a console that can be enabled, opened and emptied.
#pragma once

#include <cstdlib>

#include "engine/console/console_overlay.h"
#include "engine/runtime/tests/runtime_fixture.h"

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

// A fresh console bound to this state's mutex registry, disabled.
class ZkConsoleTest : public ZkRuntimeTest {
protected:
    void SetUp() override {
        ZkRuntimeTest::SetUp();
        zk_console.Init();
        EmptyConsole();
    }
    void TearDown() override {
        EmptyConsole();
        zk_console.enabled = 0;
        zk_console.mutex = nullptr;
        ZkRuntimeTest::TearDown();
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
};
