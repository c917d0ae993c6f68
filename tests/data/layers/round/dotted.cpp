// fx_side's header by way of fx_base's folder: the path begins in a folder
// fx_round links, but the ".." step leaves it.
#include "base/../side/side.h"
