// A test folder belongs to no library: this include is never checked.
#include "side/side.h"
