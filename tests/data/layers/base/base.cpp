#include "base/base.h"
