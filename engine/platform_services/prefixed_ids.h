// Ids that a store or a game service knows under a prefix of the product:
// "base.id". The base comes from a product value (or the program's id);
// without one the ids stand alone.
#pragma once

#include "engine/base/nstring.h"

// "base.id" when the base is set (not null and not empty), else the id
// itself; a null id counts as "".
nString ZKI_JoinIdToBase(const char* base, const char* id);
// The id after a leading "base."; the id itself when there is no base or it
// does not begin with "base." (a null id stays null).
const char* ZKI_SkipIdBase(const char* base, const char* id);
