// Reaches fx_base through fx_middle only; inner.h is fx_inner's, not
// fx_middle's; an angle-bracket include of a system header passes.
#include "middle/inner/inner.h"
#include "middle/middle.h"

#include <vector>

#include "base/base.h"
#include "side/side.h"
