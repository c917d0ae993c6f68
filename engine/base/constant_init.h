// Marks a global that must be constant-initialised: it holds its first
// value before any constructor runs, whatever order the translation units
// initialise in, and the compiler refuses the definition when it is not.
//
//   ZK_CONSTANT_INITIALISED zkConsole zk_console;
#pragma once

#if defined(__clang__)
#define ZK_CONSTANT_INITIALISED [[clang::require_constant_initialization]]
#elif defined(__GNUC__)
#define ZK_CONSTANT_INITIALISED __constinit
#else
#define ZK_CONSTANT_INITIALISED
#endif
