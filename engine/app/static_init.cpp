// The first values of the start-up, console and null-program globals.
//
// Every global here is constant-initialised: it holds its first value
// before any constructor runs, so the printers, the console and the null
// program are usable from the first instruction, whatever order other
// translation units initialise in. Those that own storage free it at exit
// through their destructors, in reverse order of definition.

#include "engine/app/console_overlay.h"
#include "engine/app/null_program.h"
#include "engine/app/startup.h"

// Makes the compiler prove that a global is constant-initialised.
#if defined(__clang__)
#define ZK_CONSTANT_INITIALISED [[clang::require_constant_initialization]]
#elif defined(__GNUC__)
#define ZK_CONSTANT_INITIALISED __constinit
#else
#define ZK_CONSTANT_INITIALISED
#endif

// Windowed sizes offered in addition to the renderer's own list.
const zk_resolution_t WINDOWED_RESOLUTIONS[ZK_NUM_WINDOWED_RESOLUTIONS] = {
    {640, 480},   {800, 600},   {960, 600},   {1024, 576},  {1024, 600},  {1024, 768},  {1152, 864},
    {1280, 720},  {1280, 768},  {1280, 800},  {1280, 960},  {1280, 1024}, {1360, 768},  {1366, 768},
    {1400, 1050}, {1440, 900},  {1600, 900},  {1600, 1024}, {1600, 1200}, {1680, 1050}, {1768, 992},
    {1856, 1392}, {1920, 1080}, {1920, 1200}, {1920, 1440}, {2560, 1440},
};

ZK_CONSTANT_INITIALISED zk_prog_t zk_null_prog;
ZK_CONSTANT_INITIALISED zkConsole zk_console;
