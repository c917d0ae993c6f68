// Helpers of the leaderboards sub-table that the leaderboard
// implementations share.
#pragma once

#include "engine/runtime/zekar.h"

// "GLOBAL" for 0, "FRIENDS" for 1, "ERROR" for any other filter.
const char* ZKI_LeaderboardFilterName(zk_leaderboard_filter_t filter);

// The program's leaderboard categories: the nodes of the first array
// "CATEGORIES" of this database, each node's id a category id.
#define ZK_LEADERBOARD_CATEGORIES_PATH "leaderboards/leaderboards.xml"
