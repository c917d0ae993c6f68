// The engine console's log: kept lines, completion words and the log file.

#include "engine/console/console.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/runtime/basic_functions.h"
#include "engine/runtime/log.h"
#include "engine/runtime/state.h"

static const char* const kMessageTypeNames[] = {"INFO", "WARNING", "ERROR", "SYSTEM"};

static char* CopyText(const char* text) { return text ? strdup(text) : nullptr; }

const char* zkConsoleLog::GetMessageTypeAsString(int type) {
    if (type < 0 || type > 3) return "UNKNOWN";
    return kMessageTypeNames[type];
}

// The log the printers feed: the last one initialised.
static zkConsoleLog* hooked_log = nullptr;

static void ForwardLine(short type, const char* text) { hooked_log->AddString(type, text); }
static void ForwardWord(const char* word, const char* extra) { hooked_log->AddAutoCompletionString(word, extra); }

zkConsoleLog::~zkConsoleLog() {
    // Anything printed after this point must not reach a destroyed console.
    if (hooked_log == this) {
        if (zk_console_line_hook == ForwardLine) zk_console_line_hook = nullptr;
        if (zk_console_word_hook == ForwardWord) zk_console_word_hook = nullptr;
        hooked_log = nullptr;
    }
    enabled = 0;
    FreeLines();
    for (int i = 0; i < words.count; ++i) {
        free(words.items[i].word);
        free(words.items[i].extra);
    }
    words.count = 0;
}

void zkConsoleLog::FreeLines() {
    for (int i = 0; i < lines.count; ++i) {
        free(lines.items[i].text);
        free(lines.items[i].thread_name);
    }
    lines.count = 0;
}

bool zkConsoleLog::Init() {
    if (zk_state.developer_mode) {
        toggle_key = static_cast<uint8_t>(zk_state.console_toggle_key);
        overlay = ZKI_ProductFeatureExists("CONSOLE_OVERLAY") ? 1 : 0;
    }
    mutex = ZK_GetMutex("ZK_CONSOLE");
    enabled = 0;
    open = 0;
    log_file_name[0] = '\0';
    memset(message_counters, 0, sizeof(message_counters));
    scroll_offset = 0;
    lowest_kept_type = static_cast<int16_t>(zk_state.log_verbose_level);
    hooked_log = this;
    zk_console_line_hook = ForwardLine;
    zk_console_word_hook = ForwardWord;
    if (!zk_state.console_enabled) return true;

    log_to_file = zk_state.log_to_file;
    if (log_to_file) {
        nString name = DetermineLogFileName();
        zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(name.c_str(), "w");
        if (!file) {
            log_to_file = 0;
            ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Unable to allocate file for the logs.\n");
            return true;
        }
        ZK_fprintf(file, "Trivek ZK (API %.2d.%.2d.%.2d + core %.4d, built %s %s)\n", 15, 10, 0, 2325, "May 15 2019",
                   "08:10:21");
        ZK_fprintf(file, "%s\n", "----------------------------------------------------------------");
        zk->file_system->ZK_FileSystem_CloseFile(file);
        snprintf(log_file_name, sizeof(log_file_name), "%s", name.c_str());
    }
    enabled = 1;
    zk_date_t today = ZK_GetDate();
    ZK_Printf("Logging started on %.2d-%.2d-%.2d.", today.year, today.month, today.day);
    return true;
}

nString zkConsoleLog::DetermineLogFileName() {
    nString base(zk_state.prog ? zk_state.prog->id : "");
    base.Replace(" ", "-");
    if (!zk_state.developer_mode) return nString::Format("logs://%s.log", base.c_str());
    zk_date_t d = ZK_GetDate();
    nString name = nString::Format("logs://%s-%.4d-%.2d-%.2d-%.2d-%.2d.log", base.c_str(), d.year, d.month, d.day,
                                   d.hour, d.minute);
    for (int counter = 1; counter <= 99 && zk->file_system->ZK_FileSystem_FileExists(name.c_str()); ++counter) {
        name.SetFormatted("logs://%s-%.4d-%.2d-%.2d-%.2d-%.2d-%d.log", base.c_str(), d.year, d.month, d.day, d.hour,
                          d.minute, counter);
    }
    return name;
}

// Number of segments between '\n' characters; a final '\n' opens none.
static int CountSegments(const char* text) {
    int segments = 1;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n' && p[1] != '\0') ++segments;
    }
    return segments;
}

void zkConsoleLog::AddSegments(short type, const char* text) {
    // Each segment gets its own copy, whatever its length: the shared token
    // buffers of other threads are not touched, and no segment is lost.
    const char* start = text;
    while (*start) {
        const char* end = strchr(start, '\n');
        size_t length = end ? static_cast<size_t>(end - start) : strlen(start);
        if (length > 0) {
            char* segment = static_cast<char*>(malloc(length + 1));
            if (segment) {
                memcpy(segment, start, length);
                segment[length] = '\0';
                AddString(type, segment);
                free(segment);
            }
        }
        if (!end) break;
        start = end + 1;
    }
}

// Caller holds the console mutex.
void zkConsoleLog::KeepLine(int type, const char* text, int* number, zk_date_t* time, char** thread_name) {
    *number = ++line_counter;
    *time = ZK_GetDate();
    ZKT_ThreadInfo_t* info = ZKT_GetCurrentThreadInfo();
    *thread_name = CopyText(info && info->name ? info->name : "MAIN");

    zk_console_line_t line = {};
    line.type = static_cast<uint8_t>(type);
    line.number = *number;
    line.time = *time;
    line.text = type >= 1 && type <= 3 ? strdup(nString::Format("[%s] %s", kMessageTypeNames[type], text).c_str())
                                       : CopyText(text);
    line.thread_name = CopyText(*thread_name);
    lines.InsertLast(line);
    if (lines.count > ZK_CONSOLE_MAX_LINES) {
        for (int i = 0; i < 2; ++i) {
            free(lines.items[0].text);
            free(lines.items[0].thread_name);
            lines.RemoveItemAtIndex(0);
        }
        zk_console_line_t ellipsis = {};
        ellipsis.type = ZK_MESSAGE_SYSTEM;
        ellipsis.time = *time;
        ellipsis.text = CopyText("...");
        lines.InsertFirst(ellipsis);
    }
    if (scroll_offset > 0) ++scroll_offset;
}

void zkConsoleLog::AddString(short type, const char* text) {
    if (!enabled) return;
    if (text && CountSegments(text) >= 2) {
        AddSegments(type, text);
        return;
    }
    ZK_LockMutex(mutex);
    int kept_type = type < 0 || type > 7 ? static_cast<int>(ZK_MESSAGE_ERROR) : type;
    ++message_counters[kept_type];
    if (kept_type < lowest_kept_type || !text || !*text) {
        ZK_UnlockMutex(mutex);
        return;
    }
    int number = 0;
    zk_date_t time = {};
    char* thread_name = nullptr;
    KeepLine(kept_type, text, &number, &time, &thread_name);
    ZK_UnlockMutex(mutex);
    if (log_to_file) WriteToLogFile(number, time, thread_name, kept_type, text);
    free(thread_name);
}

nString zkConsoleLog::FormatLogLine(int number, const zk_date_t& time, const char* thread_name, int type,
                                 const char* text) {
    const char* name = GetMessageTypeAsString(type);
    if (!thread_name) {
        if (type == 0) return nString::Format("%.4d: [%.2d:%.2d.%.2d] %s", number, time.hour, time.minute, time.second, text);
        return nString::Format("%.4d: [%.2d:%.2d.%.2d] [%s] %s", number, time.hour, time.minute, time.second, name,
                               text);
    }
    if (type == 0)
        return nString::Format("%.4d: [%.2d:%.2d.%.2d] [%s]> %s", number, time.hour, time.minute, time.second,
                               thread_name, text);
    return nString::Format("%.4d: [%.2d:%.2d.%.2d] [%s]> [%s] %s", number, time.hour, time.minute, time.second,
                           thread_name, name, text);
}

void zkConsoleLog::WriteToLogFile(int number, const zk_date_t& time, const char* thread_name, int type,
                               const char* text) {
    zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(log_file_name, "a");
    if (!file) return;
    nString line = FormatLogLine(number, time, thread_name, type, text);
    ZK_fprintf(file, "%s", line.c_str());
    size_t length = strlen(text);
    if (length == 0 || text[length - 1] != '\n') ZK_fprintf(file, "\n");
    zk->file_system->ZK_FileSystem_FlushFile(file);
    zk->file_system->ZK_FileSystem_CloseFile(file);
}

void zkConsoleLog::PrintStats() {
    if (!enabled) return;
    ZK_Printf("ZEKAR log: %d errors, %d warnings, %d infos.", message_counters[ZK_MESSAGE_ERROR],
              message_counters[ZK_MESSAGE_WARNING], message_counters[ZK_MESSAGE_INFO]);
    // The names are copied under the lock and printed after it: printing
    // takes other locks.
    nArray<nString> names;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_CORE_VARIABLE);
    for (int i = 0; i < zk_state.open_files.count; ++i) {
        const zk_file_t* file = zk_state.open_files.items[i];
        names.InsertLast(nString(file && file->name ? file->name : ""));
    }
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_CORE_VARIABLE);
    ZK_Printf("%d files left open..", names.count);
    for (int i = 0; i < names.count; ++i) ZK_PrintDebugf(ZK_MESSAGE_WARNING, "File '%s' left open.", names.items[i].c_str());
}

void zkConsoleLog::Free() {
    if (!open) return;
    ZK_LockMutex(mutex);
    FreeLines();
    ZK_UnlockMutex(mutex);
    open = 0;
    enabled = 0;
}

void zkConsoleLog::Detach() {
    enabled = 0;
    mutex = nullptr;
}

static bool StartsWithIgnoringCase(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix) {
        char a = *text, b = *prefix;
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

const char* zkConsoleLog::GetAutoCompletionForString(const char* text) {
    if (!text) return nullptr;
    ZK_LockMutex(mutex);
    const char* found = nullptr;
    if (!*text) {
        found = words.count > 0 ? words.items[0].word : nullptr;
    } else {
        size_t length = strlen(text);
        for (int i = 0; i < words.count && !found; ++i) {
            const char* word = words.items[i].word;
            if (strlen(word) >= length && StartsWithIgnoringCase(word, text)) found = word;
        }
        for (int i = 0; i < words.count && !found; ++i) {
            if (strstr(words.items[i].word, text)) found = words.items[i].word;
        }
    }
    ZK_UnlockMutex(mutex);
    return found;
}

void zkConsoleLog::AddAutoCompletionString(const char* word, const char* extra) {
    if (!word) return;
    if (strstr(word, "://")) {
        ZK_Popupf(ZK_MESSAGE_WARNING, "Invalid autocompletion string registered: '%s' is not allowed.", word);
        return;
    }
    if (strlen(word) >= ZK_CONSOLE_EDIT_LINE_SIZE - 1) return;
    if (GetAutoCompletionForString(word)) return;
    zk_console_word_t entry = {CopyText(word), CopyText(extra)};
    ZK_LockMutex(mutex);
    words.InsertLast(entry);
    ZK_UnlockMutex(mutex);
}

int ZK_fprintf(zk_file_t* file, const char* format, ...) {
    char buffer[4096];
    va_list args;
    va_start(args, format);
    char* text = nStringFormatDynamic(buffer, sizeof(buffer), format, args);
    va_end(args);
    int written = static_cast<int>(zk->file_system->ZK_FileSystem_WriteFile(text, strlen(text), file));
    if (text != buffer) delete[] text;
    return written;
}
