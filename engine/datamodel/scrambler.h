// Scrambled database files: a keyed byte transform with a checksum that keeps
// a saved database from being read or edited by hand.
//
// Layout (little-endian): the 14-byte magic (the key's 13 characters and a
// 0 byte), u32 N, u32 checksum, then N scrambled bytes.
#pragma once

namespace Scrambler {

// The key; its characters followed by a 0 byte are the file's magic.
extern const char key[14];
const int key_length = 13;
const int magic_length = 14;
const int header_length = 22;

// True when the data is long enough to be a scrambled file and begins with
// the magic.
bool IsScrambled(const char* data, long long length);

// The plain bytes in a new malloc'd block of N bytes (not NUL-terminated),
// with *out_length = N; null when the data is not a valid scrambled file.
// *out_length is set to 0 first.
char* Decrypt(const char* data, int length, int* out_length);

// The scrambled file of N plain bytes in a new malloc'd block of N + 22
// bytes, with *out_length set to its size; null when memory runs out or N
// does not fit the header. *out_length is set to 0 first.
char* Encrypt(const char* plain, int length, int* out_length);

}  // namespace Scrambler
