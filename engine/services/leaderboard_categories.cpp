// The category fronts of the leaderboards sub-table. The categories are
// read afresh on every call from the program's category database (which
// the database manager loads once and keeps), so they answer the same
// with or without a leaderboards implementation.

#include <cstring>

#include "engine/runtime/interface_functions.h"
#include "engine/services/leaderboards_front.h"
#include "engine/storage/database_manager.h"

namespace {

using InnerZK::DMArray;
using InnerZK::DMNode;

DMArray* Categories() { return zk_dman.GetArray(ZK_LEADERBOARD_CATEGORIES_PATH, "CATEGORIES"); }

bool IsAscending(const char* sort) {
    return sort && (strcmp(sort, "LOWEST_SCORE_FIRST") == 0 || strcmp(sort, "ASCENDING") == 0);
}

}  // namespace

int ZK_GetNumberOfLeaderboardCategories() {
    DMArray* categories = Categories();
    return categories ? categories->GetNumberOfNodes() : 0;
}

const char* ZK_GetLeaderboardCategoryIdByIndex(int index) {
    DMArray* categories = Categories();
    DMNode* node = categories ? categories->GetNodeByIndex(index) : nullptr;
    return node ? node->id : nullptr;
}

int ZK_GetLeaderboardCategoryIndexById(const char* id) {
    DMArray* categories = Categories();
    return categories ? categories->GetNodeIndexById(id) : -1;
}

// 1 for the lowest score first, 0 for the highest first (also for a
// category or file that is missing).
int ZK_GetLeaderboardCategorySortOrder(const char* category) {
    DMArray* categories = Categories();
    DMNode* node = categories ? categories->GetNodeById(category) : nullptr;
    return node && IsAscending(node->GetValue("sort")) ? 1 : 0;
}

const char* ZK_GetLeaderboardCategoryValue(const char* id, const char* key) {
    DMArray* categories = Categories();
    return categories ? categories->GetNodeValue(id, key) : nullptr;
}
