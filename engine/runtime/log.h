// Logging and popups.
//
// Every engine report goes through the interface table's first slots:
// zk->ZK_Printf (an INFO line), zk->ZK_PrintDebugf (a line of a message type)
// and zk->ZK_Popupf (a line that may also be shown as a platform popup).
// Each line goes to standard output as "%s%s\n" (prefix "[ERROR] " for type
// 2, "[WARNING] " for type 1, none otherwise), serialised by core mutex
// PRINT, and then to the console through zk_console_line_hook.
//
// The printers work before main: they use only constant-initialised globals
// and skip the PRINT lock until the core mutexes exist.
#pragma once

#include "engine/base/narray.h"
#include "engine/runtime/zekar.h"

// While non-zero, ZK_Printf and ZK_PrintDebugf do nothing and return 0, and
// ZK_Popupf skips its second print. Starts at 1: the shader tool keeps the
// engine's own log lines off (tests switch them on with 0).
extern unsigned char zk_run_silent;
// While non-zero, ZK_Popupf prints nothing and shows no platform popup (it
// still adds its console line and answers as before). Starts at 0 so that
// popup texts reach standard output while the tool runs; the command-line
// path sets it after the command line returns, silencing what follows.
extern unsigned char zk_run_no_popups;

int ZK_Printf(const char* format, ...) ZK_PRINTF_LIKE(1, 2);                                   // slot 0
int ZK_PrintDebugf(zk_message_type_t type, const char* format, ...) ZK_PRINTF_LIKE(2, 3);      // slot 1
// Returns 0 when filtered by level (or after a direct popup before any
// program is installed), 1 when the text was already shown once, 4 when no
// platform popup was shown now, else the platform popup's answer.
int ZK_Popupf(zk_message_type_t type, const char* format, ...) ZK_PRINTF_LIKE(2, 3);           // slot 2
void ZK_AddConsoleAutocompletionString(const char* word, const char* extra);                  // slot 3

// Writes "%s%s\n" with the type's prefix, without taking PRINT.
void ZKD_PrintDebug(int type, const char* text);
// True while zk is null or the engine is not initialised; afterwards only
// for a path containing both "zekar-" and ".log".
bool ZKD_IsLogFile(const char* path);
// "[ERROR] ", "[WARNING] " or "".
const char* ZKI_GetMessagePrefix(int type);

// A popup waiting for the main thread: {type, owned text}.
struct ZK_ConsoleLine {
    zk_message_type_t type;
    char* text;

    ZK_ConsoleLine() : type(0), text(nullptr) {}
    ZK_ConsoleLine(zk_message_type_t t, char* owned) : type(t), text(owned) {}
};

// The popup queue (zk_popup_queue, inside log.cpp, guarded by PRINT) holds
// popups raised while they could not be shown at once; it owns its texts.
// Appends {type, heap copy of text (null stays null)} under PRINT.
void ZKI_QueuePopup(zk_message_type_t type, const char* text);
// Moves the queued popups into `out` (which then owns the texts) under PRINT.
void ZKI_TakeQueuedPopups(nArray<ZK_ConsoleLine>& out);
int ZKI_GetNumberOfQueuedPopups();
// Frees the texts of a list of popups and empties it.
void ZKI_FreeConsoleLines(nArray<ZK_ConsoleLine>& lines);

// A message raised by a thread that holds PRINT (ZKI_ThreadHoldsPrint; the
// console overlay draws its lines under PRINT) would wait on the thread
// itself: the printers keep it, and print what the thread kept, in order,
// once it lets go of PRINT (ZKI_UnlockCoreMutex calls this).
void ZKI_PrintHeldMessages();

// Forgets every text the platform has been shown (developer-mode repeat
// suppression) and drops queued popups. For tests and shutdown.
void ZKI_ResetPopupHistory();

// The console hook: every printed line is handed to it after PRINT is
// released, with its type (16-bit, as the console takes it) and text. The
// console (zk_console.AddString) installs itself here when it exists; until
// then it is null and lines go to standard output only.
typedef void (*zk_console_line_hook_t)(short type, const char* text);
extern zk_console_line_hook_t zk_console_line_hook;
// The console's completion-word hook behind slot 3; null until it exists.
typedef void (*zk_console_word_hook_t)(const char* word, const char* extra);
extern zk_console_word_hook_t zk_console_word_hook;
