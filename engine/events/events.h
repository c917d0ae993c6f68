// Event delivery and input state.
//
// Every input or service event travels as one 64-byte zk_event_t (engine/runtime/event.h):
// the type, then fields that depend on it. The records below lay those
// fields over the event; read and write an event through the record of its
// type (ZKI_EventAs). The platform layer builds input events with the
// ZKI_Send... entry points; they are delivered at once (ZKI_SendEvent) or
// queued (ZKI_SendEventQueued, engine/runtime/basic_functions.h) and delivered by
// ZKI_ProcessEventQueue once per frame. Delivery lets the console see the
// event first, keeps the key, button and pointer tables of zk_state up to
// date, and then hands the event to the program's event procedure.
#pragma once

#include <cstdint>
#include <cstring>

#include "engine/base/types.h"
#include "engine/runtime/event.h"
#include "engine/runtime/state.h"

// Event types.
enum {
    ZK_EVENT_CHARACTER = 1,
    ZK_EVENT_POINTER_MOVE = 2,
    ZK_EVENT_WHEEL = 4,
    ZK_EVENT_POINTER_UP = 5,
    ZK_EVENT_POINTER_DOWN = 6,
    ZK_EVENT_CONSOLE_TEXT = 7,
    ZK_EVENT_KEY_DOWN = 8,
    ZK_EVENT_KEY_UP = 9,
    ZK_EVENT_ACTIVATION = 10,
    ZK_EVENT_RENDERER_REINIT = 11,
    ZK_EVENT_SCREEN_SIZE = 12,
    ZK_EVENT_WINDOW_CLOSE = 13,
    ZK_EVENT_RENDER_TARGET_RECREATED = 15,
    ZK_EVENT_PARAMETER_CHECK = 16,
    ZK_EVENT_SERVICE_18 = 18,
    ZK_EVENT_LEADERBOARD_SCORES = 19,
    ZK_EVENT_SERVICE_20 = 20,
    ZK_EVENT_PURCHASE_NOTICE = 33,
    ZK_EVENT_PURCHASE_COMPLETED = 34,
    ZK_EVENT_SERVICE_36 = 36,
    ZK_EVENT_SOCIAL_LOGIN = 37,
    ZK_EVENT_SOCIAL_USERS = 38,
    ZK_EVENT_TEST_EXTENSION_REPLY = 63,
};

typedef int32_t zk_pointer_type_t;
enum { ZK_POINTER_MOUSE = 2 };

// Key codes below 256 follow the Windows virtual-key numbering.
enum {
    ZK_KEY_TAB = 9,
    ZK_KEY_ENTER = 13,
    ZK_KEY_SHIFT = 16,
    ZK_KEY_CONTROL = 17,
    ZK_KEY_ALT = 18,
    ZK_KEY_PAGE_UP = 33,
    ZK_KEY_PAGE_DOWN = 34,
    ZK_KEY_END = 35,
    ZK_KEY_HOME = 36,
    ZK_KEY_LEFT = 37,
    ZK_KEY_UP = 38,
    ZK_KEY_RIGHT = 39,
    ZK_KEY_DOWN = 40,
    ZK_KEY_INSERT = 45,
    ZK_KEY_DELETE = 46,
    ZK_KEY_F1 = 112,
};

// Regions of the key tables.
enum {
    ZK_KEY_STATE_DOWN = 3,
    ZK_KEY_POINTER0_X = 504,           // pointer 0's position, both tables
    ZK_KEY_POINTER0_Y = 505,
    ZK_KEY_MOUSE_LEFT = 510,           // the two mouse button keys
    ZK_KEY_MOUSE_RIGHT = 511,
    ZK_MAX_POINTERS = 10,
    ZK_KEY_POINTER_BLOCK = 524,        // pointer p: block of 20 from 524 + 20p
    ZK_KEY_POINTER_BLOCK_SIZE = 20,
    ZK_KEY_POINTER_X = 0,              // float: last x, y
    ZK_KEY_POINTER_Y = 1,
    ZK_KEY_POINTER_BUTTONS = 6,        // integer: state of buttons 510 and 511
    ZK_KEY_GAMEPAD_BLOCK = 800,        // gamepad p: 800 + 64p is "connected"
    ZK_KEY_GAMEPAD_BLOCK_SIZE = 64,
    ZK_KEY_GAMEPAD_LAST = 62,          // buttons and axes: 801 + 64p .. 862 + 64p
    ZK_KEY_GAMEPAD_KEPT = 42,          // 842 + 64p survives a clear
};

// --- Layouts, one per type ----------------------------------------------------

struct zk_char_event_t {               // 1
    zk_event_type_t type;
    uint8_t character;
};

struct zk_pointer_event_t {            // 2
    zk_event_type_t type;
    int8_t pointer;                    // 0-9
    int32_t x, y;
    int32_t previous_x, previous_y;    // filled on delivery
    zk_pointer_type_t pointer_type;
};

struct zk_wheel_event_t {              // 4
    zk_event_type_t type;
    int8_t pointer;
    int32_t x, y;
    int16_t delta;                     // 120 per notch
    zk_pointer_type_t pointer_type;    // always 2 (mouse)
};

struct zk_button_event_t {             // 5 up, 6 down
    zk_event_type_t type;
    int8_t pointer;
    int32_t x, y;
    uint16_t button;                   // key code: 510, 511, ...
    int32_t previous_x, previous_y;    // filled on delivery
    zk_pointer_type_t pointer_type;
};

struct zk_console_text_event_t {       // 7
    zk_event_type_t type;
    char* text;                        // owned by the sender
};

struct zk_key_event_t {                // 8 down, 9 up
    zk_event_type_t type;
    int32_t key;
    uint8_t fresh;                     // set on delivery: the state changed
};

// Both senders (ZKI_ActivateApp and ZKI_SendWindowActivationEvent) write
// the flag as the byte right after the type and zeroes after it, so a
// reader that takes the first data word as a 32-bit value sees the same 0
// or 1.
struct zk_activation_event_t {         // 10
    zk_event_type_t type;
    uint8_t deactivated;               // 1: lost activation, 0: gained it
    uint8_t zero[3];                   // the rest of the word, never padding
};

struct zk_renderer_reinit_event_t {    // 11
    zk_event_type_t type;
    int32_t phase;                     // 0 before, 1 after
};

struct zk_screen_size_event_t {        // 12
    zk_event_type_t type;
    uint16_t width, height;
};

// Sent at once (not queued) when a renderer start has made a render-target
// bitmap again: its old contents are gone.
struct zk_render_target_event_t {      // 15
    zk_event_type_t type;
    zk_bitmap_t* bitmap;
};

struct zk_parameter_check_event_t {    // 16
    zk_event_type_t type;
    zekar_t* table;
    zk_parms_t* parms;                 // the program may change them
};

// Service results. The event owns every heap block it carries: the
// engine frees them with ZK_FreeMemory after delivery (ZKI_FreeEvent), so
// a sender fills them with ZK_AllocMemory copies. Senders and ZKI_FreeEvent
// both go through the records below, so the layout lives in one place.

// 18, 20 and 36 carry no layout of their own yet: 18 and 20 own their
// first block, 36 its first three.
struct zk_service_event_t {
    zk_event_type_t type;
    int32_t result;
    void* blocks[4];
};

struct zk_leaderboard_scores_event_t { // 19
    zk_event_type_t type;
    uint32_t success;                  // 1 success, 0 failure
    char* reason;                      // failure only, else null
    char* category;
    int32_t total;                     // scores in the category (or the friends list)
    uint32_t filter;                   // zk_leaderboard_filter_t: 0 global, 1 friends
    int32_t first;                     // first requested position, 1-based
    int32_t count;                     // scores in this answer
    zk_score_t* scores;                // `count` scores; null when count is 0
};

// 33: a restore completed (kind 1, restored 1, data), product information
// (kind 1, restored 0, information) or a restore failed (kind 2, nothing
// else). 34: a purchase completed (kind 1, restored 1, data). Product ids
// come without the product id base.
struct zk_purchase_event_t {           // 33, 34
    zk_event_type_t type;
    uint32_t kind;
    char* product_id;
    uint32_t restored;
    char* information;
    char* further;                     // no sender fills it; freed when set
    char* data;
};

// One user of the social network, as the social events carry it.
struct zk_social_user_t {
    char* id;
    char* name;
    uint32_t score;
};

struct zk_social_login_event_t {       // 37
    zk_event_type_t type;
    uint32_t success;                  // 1
    void* unused;                      // left null; freed when set
    zk_social_user_t* user;            // one heap record with heap id and name
};

struct zk_social_users_event_t {       // 38
    zk_event_type_t type;
    uint32_t zero;
    zk_social_user_t* users;           // heap array of `count` records, highest score first
    int32_t count;
};

struct zk_text_event_t {               // 63
    zk_event_type_t type;
    uint32_t zero;
    const char* text;                  // the constant "SEND_OK", never freed
};

// Reads or writes an event through the layout of its type.
template <class T>
T ZKI_EventAs(const zk_event_t& event) {
    static_assert(sizeof(T) <= sizeof(zk_event_t), "layout fits the event");
    T fields;
    memcpy(static_cast<void*>(&fields), &event, sizeof(T));
    return fields;
}
template <class T>
void ZKI_EventSet(zk_event_t& event, const T& fields) {
    static_assert(sizeof(T) <= sizeof(zk_event_t), "layout fits the event");
    memcpy(static_cast<void*>(&event), &fields, sizeof(T));
}
// A zeroed event of that layout's type.
template <class T>
zk_event_t ZKI_MakeEvent(const T& fields) {
    zk_event_t event;
    memset(static_cast<void*>(&event), 0, sizeof(event));
    ZKI_EventSet(event, fields);
    return event;
}

// --- Delivery ---------------------------------------------------------------------

// Delivers now; returns the program's result, or 0.
int ZKI_SendEvent(zk_event_t* event);
// The console overlay sees every delivered event first: it installs itself
// here when it is initialised (null until then). A true answer ends the
// delivery, with *result as its answer.
typedef bool (*zk_event_filter_t)(zk_event_t* event, int* result);
extern zk_event_filter_t zk_console_event_hook;
// Delivers the queued events in order, freeing each afterwards. Events
// queued meanwhile wait for the next call. Main thread, once per frame.
void ZKI_ProcessEventQueue();
// Frees the heap blocks a service event owns; other types own nothing.
void ZKI_FreeEvent(zk_event_t* event);

// --- Entry points of the platform layer ----------------------------------------------

// Key down (8) or up (9); queued when zk_state_t::queue_input_events is set.
void ZKI_SendKeyEvent(zk_event_type_t type, int key);
// Character event with the low byte of c; always sent at once.
void ZKI_SendCharEvent(int c);
void ZKI_SendMouseButtonEvent(zk_event_type_t type, int pointer, int button, float x, float y,
                              zk_pointer_type_t kind);
void ZKI_SendMouseMoveEvent(int pointer, float x, float y, zk_pointer_type_t kind);
void ZKI_SendMouseWheelEvent(zk_event_type_t type, int pointer, int delta, float x, float y);
// Sends type 13 at once, then signals shutdown in the state.
void ZKI_SendWindowCloseEvent();
// Queues type 10 and stores zk_state_t::app_active; nothing once shutdown
// is signalled.
void ZKI_SendWindowActivationEvent(bool active);
// Drops a pointer event whose index is outside 0-9; converts its position
// to the virtual screen; queues or sends it like key events.
void ZKI_SendMouseEvent(zk_event_t* event);
void ZKI_ConvertMouseEventCursorPositionToVirtualScreenSpace(int* x, int* y);

// --- Gamepads and keyboard state ------------------------------------------------------

// Queues a key down when the key is up and `down`, a key up when it is not
// up and not `down`; nothing otherwise.
void ZKI_SetGamepadButtonState(int key, bool down);
void ZKI_SetGamepadButtonFloat(int key, float value);
// Stores `connected` in the pad's first key and zeroes its buttons and
// axes in both tables, except key 842 + 64 pad.
void ZKI_ClearGamepadState(int pad, bool connected);
// Radial dead zone: shorter than the dead zone gives (0, 0); longer is
// rescaled so that the dead zone's edge maps to 0 and length 1 to 1.
void ZKI_TrimGamepadVector(vec2_t& v, float deadzone);
// Zeroes the integer states of keys 0-255 and 510-517.
void ZKI_ResetKeyboardKeyStates();
// Integer key states 0-254, 801-863, 865-927, 929-991 and 993-1055 become 0.
void ZKI_ClearKeyStates();

// False for null, for a text without a terminator in its first `max`
// bytes (max >= 1) and for the empty text.
bool ZKI_IsValidNullTerminatedString(const char* text, int max);
// For a successful type-19 event: the sort order of its category; else 0.
int ZKI_ValidateLeaderboardsEvent(zk_event_t* event);
