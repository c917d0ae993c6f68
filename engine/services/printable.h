// Texts that reach "%s" in log lines and popups may be null (a category or
// an id the caller did not give): they print as "(null)".
#pragma once

inline const char* Printable(const char* text) { return text ? text : "(null)"; }
