// The platform's numbers that the windowed layer reads from its events:
// event types, modifier flags and the characters of the function keys.
// They are the values the platform hands over, so the windowed layer's
// logic can be written and tested without it.
#pragma once

// Event types.
enum zk_osx_event_type_t {
    ZK_OSX_EVENT_LEFT_MOUSE_DOWN = 1,
    ZK_OSX_EVENT_LEFT_MOUSE_UP = 2,
    ZK_OSX_EVENT_RIGHT_MOUSE_DOWN = 3,
    ZK_OSX_EVENT_RIGHT_MOUSE_UP = 4,
    ZK_OSX_EVENT_MOUSE_MOVED = 5,
    ZK_OSX_EVENT_LEFT_MOUSE_DRAGGED = 6,
    ZK_OSX_EVENT_RIGHT_MOUSE_DRAGGED = 7,
    ZK_OSX_EVENT_MOUSE_ENTERED = 8,
    ZK_OSX_EVENT_MOUSE_EXITED = 9,
    ZK_OSX_EVENT_KEY_DOWN = 10,
    ZK_OSX_EVENT_KEY_UP = 11,
    ZK_OSX_EVENT_FLAGS_CHANGED = 12,
    ZK_OSX_EVENT_SCROLL_WHEEL = 22,
    ZK_OSX_EVENT_OTHER_MOUSE_DOWN = 25,
    ZK_OSX_EVENT_OTHER_MOUSE_UP = 26,
    ZK_OSX_EVENT_OTHER_MOUSE_DRAGGED = 27,
};

// Modifier flags of an event.
enum : unsigned long {
    ZK_OSX_FLAG_CAPS_LOCK = 1ul << 16,
    ZK_OSX_FLAG_SHIFT = 1ul << 17,
    ZK_OSX_FLAG_CONTROL = 1ul << 18,
    ZK_OSX_FLAG_OPTION = 1ul << 19,
    ZK_OSX_FLAG_COMMAND = 1ul << 20,
};

// Characters of the function keys (a private-use block of Unicode).
enum : unsigned short {
    ZK_OSX_CHAR_UP_ARROW = 0xF700,
    ZK_OSX_CHAR_DOWN_ARROW = 0xF701,
    ZK_OSX_CHAR_LEFT_ARROW = 0xF702,
    ZK_OSX_CHAR_RIGHT_ARROW = 0xF703,
    ZK_OSX_CHAR_F1 = 0xF704,      // F2 .. F35 follow one by one
    ZK_OSX_CHAR_F10 = 0xF70D,
    ZK_OSX_CHAR_INSERT = 0xF727,
    ZK_OSX_CHAR_FORWARD_DELETE = 0xF728,
    ZK_OSX_CHAR_HOME = 0xF729,
    ZK_OSX_CHAR_END = 0xF72B,
    ZK_OSX_CHAR_PAGE_UP = 0xF72C,
    ZK_OSX_CHAR_PAGE_DOWN = 0xF72D,
};
