// A freshly set-up engine for the start-up tests, and the console's lines
// as a way to watch what the engine printed.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/console/console_overlay.h"
#include "engine/app/startup.h"
#include "engine/render/renderer_null.h"
#include "engine/runtime/log.h"
#include "engine/runtime/state.h"
#include "engine/runtime/threads.h"

// A set-up state, table and core mutexes; no renderer, silent printers.
inline void SetUpEngineForTest() {
    zk_run_silent = 1;
    zk_run_no_popups = 0;
    ri = nullptr;
    zk_prog = nullptr;
    ZKT_InitThreads();
    ZKI_StateSetup(nullptr);
    ZKI_CreateCoreMutexes();
    zk_device_info = zk_device_info_t();
    zk_state.prog = &zk_state.default_prog;
}

inline void ClearConsoleLines() {
    for (int i = 0; i < zk_console.lines.count; ++i) {
        free(zk_console.lines.items[i].text);
        free(zk_console.lines.items[i].thread_name);
    }
    zk_console.lines.count = 0;
    for (int i = 0; i < zk_console.words.count; ++i) {
        free(zk_console.words.items[i].word);
        free(zk_console.words.items[i].extra);
    }
    zk_console.words.count = 0;
}

// Enables the console so that printed lines are kept (and shown).
inline void KeepPrintedLines(int lowest_type = 0) {
    zk_state.console_enabled = 1;
    zk_state.log_verbose_level = lowest_type;
    zk_console.Init();
    ClearConsoleLines();
    zk_run_silent = 0;
}

inline void StopKeepingPrintedLines() {
    zk_run_silent = 1;
    ClearConsoleLines();
    zk_console.enabled = 0;
    zk_state.console_enabled = 0;
}

inline std::vector<std::string> KeptLines() {
    std::vector<std::string> texts;
    for (int i = 0; i < zk_console.lines.count; ++i) texts.push_back(zk_console.lines.items[i].text);
    return texts;
}

inline bool WasPrinted(const std::string& text) {
    for (const std::string& line : KeptLines())
        if (line == text) return true;
    return false;
}
