// Resource packages: folders below the res root made visible as search
// paths ("res://" + name), named in comma-separated lists of the state
// record whose items may carry a condition ("@res>=1024x*:hd",
// "@feature=NAME:extra", "@resolution=768x1024:ipad", "@open:always").
#pragma once

#include "engine/base/nstring.h"

// Comparison modes of ZKI_Compare.
enum zk_ComparisonMode {
    ZK_COMPARE_EQUAL = 0,
    ZK_COMPARE_GREATER = 1,
    ZK_COMPARE_GREATER_OR_EQUAL = 2,
    ZK_COMPARE_LESS = 3,
    ZK_COMPARE_LESS_OR_EQUAL = 4,
};

// a == b, a > b, a >= b, a < b or a <= b; false for any other mode.
bool ZKI_Compare(int a, zk_ComparisonMode mode, int b);
// Adds "res://" + package as a search path with `flag` (".pak" removed
// after a warning).
void ZKI_AddPackage(const char* package, bool flag);
// Adds the packages of a list (at most 32 items) whose conditions hold.
void ZKI_AddPackages(const char* list, bool flag);
// Removes the search paths of a list's packages; conditions are not
// evaluated.
void ZKI_RemoveResourcePackages(const nString& list);
// Chooses, from list 2, the graphics package whose number is strictly
// closest to the program's height, and adds it.
void ZKI_SelectGFXPackage();
// "Adding packages...", lists 0, 1, 3 and 4 (flag true) and 5 (flag false),
// then the graphics package.
void ZKI_AddPackagesDefinedInProgramParameters();
// True when a package condition (the text between '@' and ':') holds for
// the program in use.
bool ZKI_PackageConditionHolds(const char* condition);
