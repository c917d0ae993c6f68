// Tests on file names: how a name ends and whether its last component has
// an extension. Paths are separated by '/' only; a '\' is part of a name.
// A null text ends with nothing and has no extension.
#pragma once

// True when text ends with ending, byte for byte; an ending longer than the
// text never matches, an empty one always does.
bool nStringEndsWith(const char* text, const char* ending);

// The same, without regard to the case of A-Z (".PNG" ends with ".png").
bool nStringEndsWithIgnoringCase(const char* text, const char* ending);

// The text after the last '.' of the path's last component, or null when
// that component has no '.'. A '.' standing first counts: ".png" gives
// "png", and "a.b" "b"; "a.b/c" gives null and "a." "".
const char* nPathExtension(const char* path);

// What a '.' standing first in the whole path is: the start of an
// extension, as nPathExtension takes it, or part of the name, so that
// ".png" alone names a file without extension (but "a/.png" still has the
// extension "png": only the text's very first character is set apart).
enum nLeadingDot { nLEADING_DOT_STARTS_EXTENSION, nLEADING_DOT_IS_NAME };

// True when the path's last component has an extension under that rule.
bool nPathHasExtension(const char* path, nLeadingDot leading_dot);
