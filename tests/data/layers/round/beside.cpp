// The library's own header, written without its folder: found beside the
// file, not from the root.
#include "beside.h"
