// The key tables of the windowed layer.

#include "platform/macos/app/keys.h"

#include "engine/events/events.h"
#include "platform/macos/app/cocoa.h"

namespace {

// Engine key by virtual key code 0..126 (0: no key).
const unsigned char kKeyByCode[127] = {
    65,  83,  68,  70,  72,  71,  90,  88,  67,  86,  0,   66,  81,  87,  69,  82,   // 0-15
    89,  84,  49,  50,  51,  52,  54,  53,  0,   57,  55,  0,   56,  48,  0,   79,   // 16-31
    85,  0,   73,  80,  13,  76,  74,  0,   75,  0,   0,   0,   0,   78,  77,  0,    // 32-47
    9,   32,  0,   46,  0,   27,  0,   0,   16,  0,   18,  17,  16,  18,  17,  0,    // 48-63
    128, 0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   129,  // 64-79
    130, 0,   96,  97,  98,  99,  100, 101, 102, 103, 131, 104, 105, 0,   0,   0,    // 80-95
    116, 117, 118, 114, 119, 120, 0,   122, 0,   124, 127, 125, 0,   121, 0,   123,  // 96-111
    0,   126, 47,  36,  33,  0,   115, 35,  113, 34,  112, 37,  39,  40,  38,        // 112-126
};

// Runs of characters whose keys count up with them.
struct CharacterRun {
    unsigned short first, last;
    int first_key;
};
const CharacterRun kCharacterRuns[] = {
    {'a', 'z', 'A'},
    {'A', 'Z', 'A'},
    {'0', '9', '0'},
    {ZK_OSX_CHAR_F1, ZK_OSX_CHAR_F10, 112},
};

struct CharacterKey {
    unsigned short character;
    int key;
};
const CharacterKey kCharacterKeys[] = {
    {ZK_OSX_CHAR_UP_ARROW, 38},  {ZK_OSX_CHAR_DOWN_ARROW, 40},     {ZK_OSX_CHAR_LEFT_ARROW, 37},
    {ZK_OSX_CHAR_RIGHT_ARROW, 39}, {ZK_OSX_CHAR_INSERT, 45},       {ZK_OSX_CHAR_FORWARD_DELETE, 46},
    {ZK_OSX_CHAR_HOME, 36},      {ZK_OSX_CHAR_END, 35},            {ZK_OSX_CHAR_PAGE_UP, 33},
    {ZK_OSX_CHAR_PAGE_DOWN, 34}, {'\r', 13},                       {27, 27},
    {' ', 32},                   {'*', 106},                       {'+', 107},
    {'-', 109},                  {'/', 111},                       {127, 8},
};

// The modifier keys and the flag that says whether they are down. Each
// key's engine key comes from the key table, so a key goes up as the same
// key that went down.
struct ModifierKey {
    unsigned short code;
    unsigned long flag;
};
const ModifierKey kModifierKeys[] = {
    {56, ZK_OSX_FLAG_SHIFT},  {60, ZK_OSX_FLAG_SHIFT},    // left and right shift
    {58, ZK_OSX_FLAG_OPTION}, {61, ZK_OSX_FLAG_OPTION},   // left and right option
    {59, ZK_OSX_FLAG_CONTROL}, {62, ZK_OSX_FLAG_CONTROL}, // left and right control
};

}  // namespace

int ZK_OSX_GetVirtualKeyCodeAsZKKey(unsigned short code) {
    if (code >= sizeof(kKeyByCode)) return 0;
    return kKeyByCode[code];
}

void ZK_OSX_SendConvertedKeyEvent(zk_event_type_t type, unsigned short code) {
    int key = ZK_OSX_GetVirtualKeyCodeAsZKKey(code);
    if (key > 0) ZKI_SendKeyEvent(type, key);
}

int ZK_OSX_GetCharacterAsZKKey(unsigned short character) {
    for (const CharacterRun& run : kCharacterRuns)
        if (character >= run.first && character <= run.last) return run.first_key + (character - run.first);
    for (const CharacterKey& entry : kCharacterKeys)
        if (entry.character == character) return entry.key;
    return 0;
}

void ZK_OSX_SendConvertedKeyCharacterEvent(zk_event_type_t type, unsigned short character) {
    int key = ZK_OSX_GetCharacterAsZKKey(character);
    if (key > 0) ZKI_SendKeyEvent(type, key);
}

void ZK_OSX_FlagsChanged(unsigned short code, unsigned long flags) {
    for (const ModifierKey& modifier : kModifierKeys) {
        if (modifier.code != code) continue;
        ZK_OSX_SendConvertedKeyEvent((flags & modifier.flag) ? ZK_EVENT_KEY_DOWN : ZK_EVENT_KEY_UP, code);
        return;
    }
}
