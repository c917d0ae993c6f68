// The first values of the start-up and null-program globals (the console's
// is with the console).
//
// Every global here is constant-initialised: it holds its first value
// before any constructor runs, so the null program is usable from the
// first instruction, whatever order other translation units initialise in.

#include "engine/app/null_program.h"
#include "engine/app/startup.h"
#include "engine/base/constant_init.h"

// Windowed sizes offered in addition to the renderer's own list.
const zk_resolution_t WINDOWED_RESOLUTIONS[ZK_NUM_WINDOWED_RESOLUTIONS] = {
    {640, 480},   {800, 600},   {960, 600},   {1024, 576},  {1024, 600},  {1024, 768},  {1152, 864},
    {1280, 720},  {1280, 768},  {1280, 800},  {1280, 960},  {1280, 1024}, {1360, 768},  {1366, 768},
    {1400, 1050}, {1440, 900},  {1600, 900},  {1600, 1024}, {1600, 1200}, {1680, 1050}, {1768, 992},
    {1856, 1392}, {1920, 1080}, {1920, 1200}, {1920, 1440}, {2560, 1440},
};

ZK_CONSTANT_INITIALISED zk_prog_t zk_null_prog;
