// Links fx_base.
#pragma once

#include "base/base.h"
