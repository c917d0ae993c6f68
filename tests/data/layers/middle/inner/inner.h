// fx_inner, a library whose folder lies inside fx_middle's: its files and
// headers are its own, not fx_middle's. It links fx_middle in the cases
// that say so.
#pragma once

#include "middle/middle.h"
