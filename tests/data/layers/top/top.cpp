// Reaches fx_base through fx_middle only; an angle-bracket include is not
// checked.
#include "middle/middle.h"

#include <vector>

#include "base/base.h"
#include "side/side.h"
