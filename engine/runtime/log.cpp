// Logging and popups.

#include "engine/runtime/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/runtime/device_services.h"
#include "engine/runtime/state.h"
#include "engine/runtime/threads.h"

// The shader tool keeps the engine's own log lines off; popups print until
// the command line has returned (then zk_run_no_popups is set).
unsigned char zk_run_silent = 1;
unsigned char zk_run_no_popups = 0;

zk_console_line_hook_t zk_console_line_hook = nullptr;
zk_console_word_hook_t zk_console_word_hook = nullptr;

enum { kFormatBufferSize = 4096 };

namespace {

// A list of owned texts that frees them at exit and stays usable (empty)
// should anything print after that.
struct OwnedTextList {
    nArray<char*> texts;
    ~OwnedTextList() { Clear(); }
    void Clear() {
        for (int i = 0; i < texts.count; ++i) free(texts.items[i]);
        delete[] texts.items;
        texts.items = nullptr;
        texts.count = texts.capacity = 0;
    }
};

struct PopupQueue {
    nArray<ZK_ConsoleLine> lines;
    ~PopupQueue() { ZKI_FreeConsoleLines(lines); }
};

// Messages of a thread that held PRINT when it raised them.
enum HeldKind { HELD_PRINTF, HELD_DEBUG, HELD_POPUP };
struct HeldMessage {
    int kind;
    int type;
    char* text;
};
thread_local nArray<HeldMessage>* held_messages = nullptr;

bool HoldWhilePrintIsHeld(int kind, int type, const char* text) {
    if (!ZKI_ThreadHoldsPrint()) return false;
    if (!held_messages) held_messages = new nArray<HeldMessage>();
    held_messages->InsertLast(HeldMessage{kind, type, strdup(text)});
    return true;
}

}  // namespace

// Every text let through to the platform popup (developer mode); never
// cleared while the program runs. Guarded by PRINT.
static OwnedTextList blocked;
// Popups waiting for the main thread. Guarded by PRINT.
static PopupQueue zk_popup_queue;

const char* ZKI_GetMessagePrefix(int type) {
    if (type == ZK_MESSAGE_ERROR) return "[ERROR] ";
    if (type == ZK_MESSAGE_WARNING) return "[WARNING] ";
    return "";
}

static void WriteLine(int type, const char* text) { printf("%s%s\n", ZKI_GetMessagePrefix(type), text); }

static void AddConsoleLine(int type, const char* text) {
    zk_console_line_hook_t hook = zk_console_line_hook;
    if (hook) hook(static_cast<short>(type), text);
}

static void AddPopupConsoleLine(int type, const char* text) {
    if (!zk_console_line_hook) return;
    char line[kFormatBufferSize + 16];
    snprintf(line, sizeof(line), "[POPUP] %s", text);
    AddConsoleLine(type, line);
}

void ZKD_PrintDebug(int type, const char* text) { WriteLine(type, text ? text : ""); }

bool ZKD_IsLogFile(const char* path) {
    if (!zk || !zk_state.initialized) return true;
    return path && strstr(path, "zekar-") && strstr(path, ".log");
}

// Formats into text; a null format gives the empty text.
static int FormatLine(char* text, size_t size, const char* format, va_list args) {
    if (!format) {
        text[0] = '\0';
        return 0;
    }
    return vsnprintf(text, size, format, args);
}

int ZK_Printf(const char* format, ...) {
    if (zk_run_silent) return 0;
    char text[kFormatBufferSize];
    va_list args;
    va_start(args, format);
    int count = FormatLine(text, sizeof(text), format, args);
    va_end(args);
    if (HoldWhilePrintIsHeld(HELD_PRINTF, ZK_MESSAGE_INFO, text)) return count;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_PRINT);
    WriteLine(ZK_MESSAGE_INFO, text);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_PRINT);
    AddConsoleLine(ZK_MESSAGE_INFO, text);
    return count;
}

int ZK_PrintDebugf(zk_message_type_t type, const char* format, ...) {
    if (zk_run_silent || type < zk_state.log_verbose_level) return 0;
    char text[kFormatBufferSize];
    va_list args;
    va_start(args, format);
    int count = FormatLine(text, sizeof(text), format, args);
    va_end(args);
    if (HoldWhilePrintIsHeld(HELD_DEBUG, type, text)) return count;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_PRINT);
    WriteLine(type, text);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_PRINT);
    AddConsoleLine(type, text);
    return count;
}

// Caller holds PRINT.
static bool WasShownBefore(const char* text) {
    for (int i = 0; i < blocked.texts.count; ++i) {
        const char* shown = blocked.texts.items[i];
        if (shown && strcmp(shown, text) == 0) return true;
    }
    return false;
}

// Shows a popup on the platform, with the repeated standard-output line.
static int ShowPlatformPopup(int type, const char* text) {
    if (!zk_run_silent) WriteLine(type, text);
    return zk_device.Popup(type, text);
}

// Developer mode with a program installed; PRINT is held on entry.
static int PopupOnceInDeveloperMode(int type, const char* text) {
    if (WasShownBefore(text)) {
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_PRINT);
        AddPopupConsoleLine(type, text);
        return 1;
    }
    blocked.texts.InsertLast(strdup(text));
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_PRINT);
    AddPopupConsoleLine(type, text);
    if (zk_run_no_popups) return 4;
    if (zk_state.initialized && ZKT_IsMainThread()) return ShowPlatformPopup(type, text);
    // Platform popups are shown on the main thread only, once the engine runs.
    ZKI_QueuePopup(type, text);
    return 4;
}

int ZK_Popupf(zk_message_type_t type, const char* format, ...) {
    if (type < zk_state.log_verbose_level) return 0;
    char text[kFormatBufferSize];
    va_list args;
    va_start(args, format);
    FormatLine(text, sizeof(text), format, args);
    va_end(args);
    if (HoldWhilePrintIsHeld(HELD_POPUP, type, text)) return 4;
    bool holds_print = zk_state.prog_initialized != 0;
    if (holds_print) ZKI_LockCoreMutex(ZK_CORE_MUTEX_PRINT);
    // Popup texts reach standard output even when the engine runs silent,
    // until popups are switched off altogether.
    if (!zk_run_no_popups) WriteLine(type, text);
    if (!zk_state.developer_mode) {
        if (holds_print) ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_PRINT);
        AddPopupConsoleLine(type, text);
        return 4;
    }
    if (!holds_print) {
        // No program installed yet: straight to the platform, from any thread.
        if (!zk_run_no_popups) ShowPlatformPopup(type, text);
        return 0;
    }
    return PopupOnceInDeveloperMode(type, text);
}

void ZKI_PrintHeldMessages() {
    nArray<HeldMessage>* messages = held_messages;
    if (!messages) return;
    // Taken first: a message printed here may be held again only if PRINT
    // is taken anew, which starts a list of its own.
    held_messages = nullptr;
    for (int i = 0; i < messages->count; ++i) {
        const HeldMessage& m = messages->items[i];
        const char* text = m.text ? m.text : "";
        if (m.kind == HELD_PRINTF) ZK_Printf("%s", text);
        if (m.kind == HELD_DEBUG) ZK_PrintDebugf(m.type, "%s", text);
        if (m.kind == HELD_POPUP) ZK_Popupf(m.type, "%s", text);
        free(m.text);
    }
    delete messages;
}

void ZK_AddConsoleAutocompletionString(const char* word, const char* extra) {
    zk_console_word_hook_t hook = zk_console_word_hook;
    if (hook) hook(word, extra);
}

void ZKI_QueuePopup(zk_message_type_t type, const char* text) {
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_PRINT);
    zk_popup_queue.lines.InsertLast(ZK_ConsoleLine(type, text ? strdup(text) : nullptr));
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_PRINT);
}

void ZKI_TakeQueuedPopups(nArray<ZK_ConsoleLine>& out) {
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_PRINT);
    for (int i = 0; i < zk_popup_queue.lines.count; ++i) out.InsertLast(zk_popup_queue.lines.items[i]);
    zk_popup_queue.lines.count = 0;
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_PRINT);
}

int ZKI_GetNumberOfQueuedPopups() {
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_PRINT);
    int count = zk_popup_queue.lines.count;
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_PRINT);
    return count;
}

void ZKI_FreeConsoleLines(nArray<ZK_ConsoleLine>& lines) {
    for (int i = 0; i < lines.count; ++i) free(lines.items[i].text);
    delete[] lines.items;
    lines.items = nullptr;
    lines.count = lines.capacity = 0;
}

void ZKI_ResetPopupHistory() {
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_PRINT);
    blocked.Clear();
    ZKI_FreeConsoleLines(zk_popup_queue.lines);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_PRINT);
}
