// Slot 24: product values of the program settings.

#include "engine/storage/settings.h"

const char* ZK_GetProductValue(const char* name) { return ZKI_GetProductValue(name); }
