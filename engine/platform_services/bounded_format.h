// The bounded formatter of the Apple side of the services.
#pragma once

// Formats into `destination` as snprintf does, cut to at most 1,022
// characters and the terminator (1,023 bytes); the destination must hold
// that much. Returns the length the whole output would have had (negative
// when the format cannot be applied; the destination then holds "").
// A null format writes "" and returns 0; a null destination only measures.
int nSprintf(char* destination, const char* format, ...) __attribute__((format(printf, 2, 3)));
