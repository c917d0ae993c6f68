// Base64 with the standard alphabet and '=' padding.
//
// Both directions work on raw bytes and return heap buffers that the caller
// frees with free().
#pragma once

#include <cstddef>

// Encodes `length` bytes. *out_length gets the number of characters
// (4 per started group of 3 bytes), set before anything else; the text is
// NUL-terminated (the NUL is not counted). Null when memory runs out.
char* base64_encode(const unsigned char* data, size_t length, size_t* out_length);

// Decodes `length` characters. Null when the length is not a multiple of 4
// (*out_length untouched) or when memory runs out. A trailing "=" or "=="
// shortens the result by one or two bytes. Characters outside the alphabet
// decode as 0. The result has no terminator; an empty text gives an empty
// (but non-null) allocation.
unsigned char* base64_decode(const char* text, size_t length, size_t* out_length);

// Builds the 256-entry decoding table (decode does this on first use).
void base64_build_decoding_table();
// Frees the decoding table; the next decode builds it again.
void base64_cleanup();
