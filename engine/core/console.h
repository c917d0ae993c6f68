// The engine console: the log sink behind the printers and the store of the
// in-program console.
//
// One instance exists, zk_console. It is constant-initialised (valid and
// disabled before main) and initialised by ZKI_PreInit. Once enabled it
// keeps the last 8192 lines with a number, the time and the calling thread's
// name, and appends each line to the log file when file logging is on. In
// the shader tool it stays disabled: every operation returns at once.
#pragma once

#include <cstdint>

#include "engine/core/narray.h"
#include "engine/core/nstring.h"
#include "engine/core/threads.h"
#include "engine/core/types.h"
#include "engine/core/zekar.h"

// One kept line.
struct zk_console_line_t {
    uint8_t type;          // 0..7
    int32_t number;        // 0 for the ellipsis line
    zk_date_t time;
    char* text;            // owned
    char* thread_name;     // owned, may be null
};

// One completion word: owned word and owned extra text (or null).
struct zk_console_word_t {
    char* word;
    char* extra;
};

enum {
    ZK_CONSOLE_MAX_LINES = 8192,
    ZK_CONSOLE_EDIT_LINE_SIZE = 512,
    ZK_CONSOLE_FILE_NAME_SIZE = 512,
};

class zkConsole {
public:
    constexpr zkConsole() = default;
    zkConsole(const zkConsole&) = delete;
    zkConsole& operator=(const zkConsole&) = delete;
    ~zkConsole();

    // Always true. Takes the console mutex and the settings of the state;
    // enables the console only when zk_state_t::console_enabled is set.
    bool Init();
    // Keeps a line (split at '\n' when it holds several) and writes it to
    // the log file. Does nothing while disabled.
    void AddString(short type, const char* text);
    // "logs://<program id>.log", or a dated name in developer mode.
    nString DetermineLogFileName();
    void PrintStats();
    // Frees the kept lines and disables the console (when it is open).
    void Free();
    // Lets go of the console mutex before the state that owns it is reset;
    // lines are dropped until Init runs again.
    void Detach();
    static const char* GetMessageTypeAsString(int type);

    // Completion words registered by the engine and the program.
    void AddAutoCompletionString(const char* word, const char* extra);
    const char* GetAutoCompletionForString(const char* text);

    // The overlay over the running program (developer mode; console_overlay.cpp).
    // Opens or closes it (closes only, unless enabled in developer mode).
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

    // The log-file form of a line: number, time, thread name (null: none),
    // type name and the text as given.
    static nString FormatLogLine(int number, const zk_date_t& time, const char* thread_name, int type,
                                 const char* text);

    uint8_t enabled = 0;
    uint8_t control_held = 0;
    uint8_t shift_held = 0;
    uint8_t open = 0;
    float slide = 0.0f;
    uint8_t overlay = 0;
    zk_font_t* font = nullptr;
    int32_t scroll_offset = 0;
    int32_t line_counter = 0;
    uint8_t log_to_file = 0;
    char log_file_name[ZK_CONSOLE_FILE_NAME_SIZE] = {};
    uint8_t toggle_key = 0;
    int32_t message_counters[8] = {};
    int16_t lowest_kept_type = 0;
    char edit_line[ZK_CONSOLE_EDIT_LINE_SIZE] = {};
    int32_t cursor = 0;
    uint8_t draft_in_history = 0;
    nArray<char*> history;
    int32_t history_position = 0;
    nArray<zk_console_word_t> words;
    float blink_timer = 0.0f;
    nArray<zk_console_line_t> lines;
    zk_mutex_t* mutex = nullptr;
    char* completion_hint = nullptr;

private:
    void AddSegments(short type, const char* text);
    void KeepLine(int type, const char* text, int* number, zk_date_t* time, char** thread_name);
    void WriteToLogFile(int number, const zk_date_t& time, const char* thread_name, int type, const char* text);
    void FreeLines();
};

extern zkConsole zk_console;

// Formats into a 4096-byte buffer (an exactly sized heap buffer when longer)
// and writes the bytes, without terminator, through the file-system table.
int ZK_fprintf(zk_file_t* file, const char* format, ...) ZK_PRINTF_LIKE(2, 3);
