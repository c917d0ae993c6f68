// The interface table and its setup, the console printers with the warning
// box, the two formatters and the string helpers.
#include "tools/manifester/runtime.h"

#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/windows/win32.h"
#include "tools/manifester/fonts.h"

namespace manifester {

static zekar_t zk_table;
zekar_t* zk = &zk_table;
zk_state_t zk_state;

void ZKI_FreeState() {
    FreeDatabaseList(&zk_state.databases);
    ZKI_FreeFonts();
}

// What the state holds is freed at exit, before the process's own checks.
static const bool state_freed_at_exit = atexit(ZKI_FreeState) == 0;

// The console buffer that the three printers share, and the rotating
// temporary buffers of the formatter at position 23.
static char console_buffer[2048];
static const int temporary_count = 16;
static const int temporary_size = 260;
static char temporary_buffers[temporary_count][temporary_size];
static int temporary_index = 0;

static const char* const warning_box_title = "zk-rescaler warning";

static int PrintToConsole(const char* format, va_list args) {
    int count = vsnprintf(console_buffer, sizeof console_buffer, format, args);
    printf("%s", console_buffer);
    return count;
}

int ZKI_ConsolePrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    int count = PrintToConsole(format, args);
    va_end(args);
    return count;
}

int ZKI_ConsolePrintDebugf(int, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int count = PrintToConsole(format, args);
    va_end(args);
    return count;
}

// Every warning stops in a box until it is dismissed.
int ZKI_ConsolePopupf(int, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int count = PrintToConsole(format, args);
    va_end(args);
    fflush(stdout);
    MessageBoxA(nullptr, console_buffer, warning_box_title, MB_OK);
    return count;
}

char* ZKI_FormatTemporary(int, const char* format, ...) {
    temporary_index = (temporary_index + 1) % temporary_count;
    char* buffer = temporary_buffers[temporary_index];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, temporary_size, format, args);
    va_end(args);
    return buffer;
}

// Formats into a local buffer first, then copies at most size - 1
// characters (and never more than the local buffer holds).
char* ZKI_FormatIntoBuffer(char* buffer, int size, int, const char* format, ...) {
    char local[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(local, sizeof local, format, args);
    va_end(args);
    if (buffer && size > 0) snprintf(buffer, size_t(size) < sizeof local ? size_t(size) : sizeof local, "%s", local);
    return buffer;
}

void ZKI_NameFileOnce(zk_file_messages_t* messages) {
    if (messages->named) return;
    messages->named = true;
    zk->PrintDebugf(1, "File '%s':\n", messages->name ? messages->name : "(unnamed)");
}

char* ZKI_StrDup(const char* text) {
    if (!text) text = "";
    size_t size = strlen(text) + 1;
    char* copy = static_cast<char*>(malloc(size));
    if (copy) memcpy(copy, text, size);
    return copy;
}

char* GetPathDirectory(const char* path) {
    if (!path) return ZKI_StrDup("");
    const char* slash = strrchr(path, '/');
    if (!slash) return ZKI_StrDup(path);
    size_t length = size_t(slash - path);
    char* copy = static_cast<char*>(malloc(length + 1));
    if (!copy) return nullptr;
    memcpy(copy, path, length);
    copy[length] = '\0';
    return copy;
}

static void DoNothing() {}

// Positions are part of the table's layout: check the named ones.
#define ZK_CHECK_POSITION(field, position) \
    static_assert(offsetof(zekar_t, field) == (position) * sizeof(void*), #field " at " #position)
ZK_CHECK_POSITION(PrintDebugf, 1);
ZK_CHECK_POSITION(Popupf, 2);
ZK_CHECK_POSITION(GetFont, 15);
ZK_CHECK_POSITION(SaveFont, 18);
ZK_CHECK_POSITION(FormatTemporary, 23);
ZK_CHECK_POSITION(FormatIntoBuffer, 24);
ZK_CHECK_POSITION(OpenFile, 31);
ZK_CHECK_POSITION(GetChar, 38);
ZK_CHECK_POSITION(WriteItems, 42);
ZK_CHECK_POSITION(Shutdown, 88);
ZK_CHECK_POSITION(ZK_Graphics_SetBitmapFrame, 90);
static_assert(sizeof(zekar_t) == 125 * sizeof(void*), "125 entries");

size_t ZKI_ReadFile(void* buffer, size_t size, zk_file_t* file);
size_t ZKI_WriteFile(const void* buffer, size_t size, zk_file_t* file);
int ZKI_FlushFile(zk_file_t* file);
long ZKI_GetFilePosition(zk_file_t* file);
int ZKI_SetFilePosition(zk_file_t* file, long offset, int origin);
int ZKI_GetChar(zk_file_t* file);
size_t ZKI_ReadItems(void* buffer, size_t size, size_t count, zk_file_t* file);
size_t ZKI_WriteItems(const void* buffer, size_t size, size_t count, zk_file_t* file);

void ZKI_SetBasicInterface() {
    (void)state_freed_at_exit;
    ZKI_FreeState();
    memset(&zk_table, 0, sizeof zk_table);
    memset(&zk_state, 0, sizeof zk_state);
    zk_state.pixel_byte_order = 0;
    zk_table.Printf = ZKI_ConsolePrintf;
    zk_table.PrintDebugf = ZKI_ConsolePrintDebugf;
    zk_table.Popupf = ZKI_ConsolePopupf;
    zk_table.GetFont = ZKI_LoadFont;
    zk_table.SaveFont = ZKI_SaveFont;
    zk_table.FormatTemporary = ZKI_FormatTemporary;
    zk_table.FormatIntoBuffer = ZKI_FormatIntoBuffer;
    zk_table.OpenFile = ZKI_OpenFile;
    zk_table.CloseFile = ZKI_CloseFile;
    zk_table.ReadFile = ZKI_ReadFile;
    zk_table.WriteFile = ZKI_WriteFile;
    zk_table.FlushFile = ZKI_FlushFile;
    zk_table.GetFilePosition = ZKI_GetFilePosition;
    zk_table.SetFilePosition = ZKI_SetFilePosition;
    zk_table.GetChar = ZKI_GetChar;
    zk_table.SetFilePositionAgain = ZKI_SetFilePosition;
    zk_table.GetFilePositionAgain = ZKI_GetFilePosition;
    zk_table.ReadItems = ZKI_ReadItems;
    zk_table.WriteItems = ZKI_WriteItems;
    zk_table.Shutdown = DoNothing;
    zk_table.ZK_Graphics_SetBitmapFrame = ZK_Graphics_SetBitmapFrame;
}

}  // namespace manifester
