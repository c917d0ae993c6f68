// Keys of the windowed layer: the platform's virtual key codes and the
// characters of its key events as engine key codes (Windows virtual-key
// numbering), and the modifier keys, which the platform reports only as
// changes of its modifier flags.
#pragma once

#include "engine/runtime/zekar.h"

// The engine key of a virtual key code; 0 (no key) for codes without one
// and for codes above 126.
int ZK_OSX_GetVirtualKeyCodeAsZKKey(unsigned short code);
// Sends the code's engine key as a key event of `type` (8 down, 9 up);
// nothing for a code without a key.
void ZK_OSX_SendConvertedKeyEvent(zk_event_type_t type, unsigned short code);

// The engine key of a typed character: letters as upper case, digits, the
// arrows, F1-F10, the editing keys, return, escape, space, "*+-/" as the
// keypad's keys and delete (127) as backspace; 0 for any other character.
int ZK_OSX_GetCharacterAsZKKey(unsigned short character);
// Sends the character's engine key as a key event of `type`; nothing for a
// character without one.
void ZK_OSX_SendConvertedKeyCharacterEvent(zk_event_type_t type, unsigned short character);

// A modifier key changed (the view's flags-changed handler): for the
// shift, option and control keys on either side, the key's engine key goes
// down when its modifier flag is set in `flags` and up when it is clear.
// Other keys send nothing.
void ZK_OSX_FlagsChanged(unsigned short code, unsigned long flags);
