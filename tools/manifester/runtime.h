// zk-manifester's own small runtime: the interface table through which its
// engine pieces call each other, the console printers with the warning box,
// two formatters, the table of open files over C stdio, bitmap frames and
// the static state. It is not the runtime of zk-shader-tool.
//
// Everything of this program lives in namespace manifester: its records,
// table and functions carry the names of the engine's own, and a program
// that links both keeps each side's, instead of one chosen silently by the
// linker.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "engine/safewrite/safe_write_file.h"
#include "tools/manifester/records.h"
#include "tools/manifester/xml_database.h"

namespace manifester {

// The interface table: 125 entries by position; positions not named here
// stay null and nothing in this program calls them.
struct zekar_t {
    int (*Printf)(const char* format, ...);                                             // 0
    int (*PrintDebugf)(int level, const char* format, ...);                             // 1
    int (*Popupf)(int type, const char* format, ...);                                   // 2
    void* unused_3[12];
    zk_font_t* (*GetFont)(const char* name);                                            // 15
    void* unused_16[2];
    bool (*SaveFont)(zk_font_t* font, const char* path);                                // 18
    void* unused_19[4];
    char* (*FormatTemporary)(int unused, const char* format, ...);                      // 23
    char* (*FormatIntoBuffer)(char* buffer, int size, int unused, const char* format, ...);  // 24
    void* unused_25[6];
    zk_file_t* (*OpenFile)(const char* name, const char* mode);                         // 31
    int (*CloseFile)(zk_file_t* file);                                                  // 32
    size_t (*ReadFile)(void* buffer, size_t size, zk_file_t* file);                     // 33
    size_t (*WriteFile)(const void* buffer, size_t size, zk_file_t* file);              // 34
    int (*FlushFile)(zk_file_t* file);                                                  // 35
    long (*GetFilePosition)(zk_file_t* file);                                           // 36
    int (*SetFilePosition)(zk_file_t* file, long offset, int origin);                   // 37
    int (*GetChar)(zk_file_t* file);                                                    // 38
    int (*SetFilePositionAgain)(zk_file_t* file, long offset, int origin);              // 39
    long (*GetFilePositionAgain)(zk_file_t* file);                                      // 40
    size_t (*ReadItems)(void* buffer, size_t size, size_t count, zk_file_t* file);      // 41
    size_t (*WriteItems)(const void* buffer, size_t size, size_t count, zk_file_t* file);  // 42
    void* unused_43[45];
    void (*Shutdown)();                                                                 // 88
    void* unused_89;
    void (*ZK_Graphics_SetBitmapFrame)(zk_bitmap_t* bitmap, int frame);                 // 90
    void* unused_91[34];
};

extern zekar_t* zk;

const int zk_max_fonts = 32;

// The state record: the flags the image code reads, the open-file count,
// the loaded XML databases and the font slots. Plain data: the setup zeroes
// it, and an exit handler frees what its containers hold.
struct zk_state_t {
    int pixel_byte_order;  // 0 R, G, B, A; 1 B, G, R, A (never set to 1 here)
    int byte_order;        // 4321 would mean big-endian; never set here
    int32_t open_files;
    ZK_XMLDatabaseList databases;
    zk_font_t fonts[zk_max_fonts];  // a slot is free while its name is null
    int32_t used_fonts;             // slots ever taken; only grows
    uint8_t default_utf8;           // the UTF-8 flag of a newly taken font slot
};

extern zk_state_t zk_state;

// Frees what the state's containers hold (databases and fonts) and zeroes
// the table and the state, then fills the table.
void ZKI_SetBasicInterface();
// Frees what the state's containers hold; run at exit.
void ZKI_FreeState();

// A heap copy of the text (of "" for null).
char* ZKI_StrDup(const char* text);
// A heap copy of the path up to its last '/', or of the whole path.
char* GetPathDirectory(const char* path);

// The console printers and formatters behind positions 0-2, 23 and 24.
int ZKI_ConsolePrintf(const char* format, ...);
int ZKI_ConsolePrintDebugf(int level, const char* format, ...);
int ZKI_ConsolePopupf(int type, const char* format, ...);
char* ZKI_FormatTemporary(int unused, const char* format, ...);
char* ZKI_FormatIntoBuffer(char* buffer, int size, int unused, const char* format, ...);

// Messages about one file: the first of them is preceded by a line of its
// own that names the file, "File '<name>':", so that a text that does not
// name it (a library's, or one that must stay as it is) still tells which
// file it is about.
struct zk_file_messages_t {
    const char* name;  // null: "(unnamed)"
    bool named;        // the name line is out
};
void ZKI_NameFileOnce(zk_file_messages_t* messages);

// The file table behind positions 31 to 42.
zk_file_t* ZKI_OpenFile(const char* name, const char* mode);
int ZKI_CloseFile(zk_file_t* file);

void ZK_Graphics_SetBitmapFrame(zk_bitmap_t* bitmap, int frame);

// A file written through a temporary beside it and renamed into place only
// when every write and the close succeeded; written through its stream.
typedef zk_safe_write_t zk_safe_file_t;
bool ZKI_OpenSafeFile(zk_safe_file_t* file, const char* path);
// Flushes and closes the temporary and renames it to the path; false (the
// temporary removed) when anything failed or `failed` says so already.
bool ZKI_CommitSafeFile(zk_safe_file_t* file, bool failed = false);

}  // namespace manifester
