// The engine console's log: the sink behind the printers and the store of
// lines and completion words that the overlay (console_overlay.h) shows.
//
// One instance exists, the console zk_console of the overlay. It is
// constant-initialised (valid and disabled before main) and initialised by
// ZKI_PreInit. Once enabled it keeps the last 8192 lines with a number, the
// time and the calling thread's name, and appends each line to the log file
// when file logging is on. In the shader tool it stays disabled: every
// operation returns at once.
#pragma once

#include <cstdint>

#include "engine/base/narray.h"
#include "engine/base/nstring.h"
#include "engine/runtime/threads.h"
#include "engine/runtime/zekar.h"

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

class zkConsoleLog {
public:
    constexpr zkConsoleLog() = default;
    zkConsoleLog(const zkConsoleLog&) = delete;
    zkConsoleLog& operator=(const zkConsoleLog&) = delete;
    ~zkConsoleLog();

    // Always true. Takes the console mutex and the settings of the state,
    // closes the overlay and puts itself behind the printers; enables the
    // console only when zk_state_t::console_enabled is set.
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

    // The log-file form of a line: number, time, thread name (null: none),
    // type name and the text as given.
    static nString FormatLogLine(int number, const zk_date_t& time, const char* thread_name, int type,
                                 const char* text);

    uint8_t enabled = 0;
    // The overlay's state that the log's set-up decides: open (closed by
    // Init and Free), shown over the program, its toggle key, and how far
    // it is scrolled back (a new line keeps the view where it is).
    uint8_t open = 0;
    uint8_t overlay = 0;
    uint8_t toggle_key = 0;
    int32_t scroll_offset = 0;
    int32_t line_counter = 0;
    uint8_t log_to_file = 0;
    char log_file_name[ZK_CONSOLE_FILE_NAME_SIZE] = {};
    int32_t message_counters[8] = {};
    int16_t lowest_kept_type = 0;
    nArray<zk_console_word_t> words;
    nArray<zk_console_line_t> lines;
    zk_mutex_t* mutex = nullptr;

private:
    void AddSegments(short type, const char* text);
    void KeepLine(int type, const char* text, int* number, zk_date_t* time, char** thread_name);
    void WriteToLogFile(int number, const zk_date_t& time, const char* thread_name, int type, const char* text);
    void FreeLines();
};

// Formats into a 4096-byte buffer (an exactly sized heap buffer when longer)
// and writes the bytes, without terminator, through the file-system table.
int ZK_fprintf(zk_file_t* file, const char* format, ...) ZK_PRINTF_LIKE(2, 3);
