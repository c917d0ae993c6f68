// fx_side's header, written from this folder instead of from the root.
#include "../side/side.h"
