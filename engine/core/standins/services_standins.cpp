// stand-in until: engine/services zk_services ZKI_FillLeaderboardsInterface
// Neutral stand-ins for the service sub-tables (achievements, cloud,
// leaderboards, notifications, social, statistic, user content): every
// function answers false, zero or null and does nothing else. They give way
// to the services subsystem's definitions of the same names.

#include "engine/core/interface_functions.h"
#include "engine/core/ntransform.h"
#include "engine/core/types.h"
#include "engine/core/zekar.h"

void ZK_UnlockAchievement(int /*user*/, const char* /*id*/) {}
void ZK_SetAchievementProgress(int /*user*/, const char* /*id*/, int /*progress*/) {}
bool ZK_IsNativeAchievementViewSupported() { return false; }
void ZK_ShowNativeAchievementView(int /*user*/) {}
void ZK_SetStatisticsInt(const char* /*name*/, int /*value*/) {}
int ZK_GetStatisticsInt(const char* /*name*/) { return 0; }

void ZKI_FillAchievementsInterface(zk_achievements_api_t* api) {
    api->ZK_UnlockAchievement = ZK_UnlockAchievement;
    api->ZK_SetAchievementProgress = ZK_SetAchievementProgress;
    api->ZK_IsNativeAchievementViewSupported = ZK_IsNativeAchievementViewSupported;
    api->ZK_ShowNativeAchievementView = ZK_ShowNativeAchievementView;
    api->ZK_SetStatisticsInt = ZK_SetStatisticsInt;
    api->ZK_GetStatisticsInt = ZK_GetStatisticsInt;
}

bool ZK_Cloud_IsAvailable() { return false; }
void ZK_Cloud_SetKeyValue(const char* /*key*/, const void* /*data*/, int /*size*/) {}
zk_buffer_t* ZK_Cloud_GetKeyValue(const char* /*key*/) { return nullptr; }
void ZK_Cloud_DeleteKeyValue(const char* /*key*/) {}

void ZKI_FillCloudInterface(zk_cloud_api_t* api) {
    api->ZK_Cloud_IsAvailable = ZK_Cloud_IsAvailable;
    api->ZK_Cloud_SetKeyValue = ZK_Cloud_SetKeyValue;
    api->ZK_Cloud_GetKeyValue = ZK_Cloud_GetKeyValue;
    api->ZK_Cloud_DeleteKeyValue = ZK_Cloud_DeleteKeyValue;
}

void ZK_SubmitScore(int /*user*/, zk_score_t /*score*/, const char* /*category*/) {}
bool ZK_RequestScores(int /*first*/, int /*count*/, zk_leaderboard_filter_t /*filter*/, const char* /*category*/) { return false; }
bool ZK_RequestScoresAroundUserRank(int /*user*/, int /*count*/, const char* /*category*/) { return false; }
bool ZK_IsNativeLeaderboardsViewSupported() { return false; }
void ZK_ShowNativeLeaderboardsView(int /*user*/, const char* /*category*/) {}
const char* ZK_GetUserId(int /*user*/) { return nullptr; }
int ZK_GetLeaderboardsLoginState(int /*user*/) { return 0; }
void ZK_LeaderboardsLogin(int /*user*/) {}
bool ZK_IsNativeUserProfileViewSupported() { return false; }
void ZK_ShowNativeUserProfileView(const char* /*user_id*/) {}
int ZK_GetNumberOfLeaderboardCategories() { return 0; }
const char* ZK_GetLeaderboardCategoryIdByIndex(int /*index*/) { return nullptr; }
int ZK_GetLeaderboardCategoryIndexById(const char* /*id*/) { return 0; }
int ZK_GetLeaderboardCategorySortOrder(const char* /*category*/) { return 0; }
int ZK_GetMaximumNumberOfScoresPerRequest() { return 0; }
const char* ZK_GetLeaderboardCategoryValue(const char* /*id*/, const char* /*key*/) { return nullptr; }

void ZKI_FillLeaderboardsInterface(zk_leaderboards_api_t* api) {
    api->ZK_SubmitScore = ZK_SubmitScore;
    api->ZK_RequestScores = ZK_RequestScores;
    api->ZK_RequestScoresAroundUserRank = ZK_RequestScoresAroundUserRank;
    api->ZK_IsNativeLeaderboardsViewSupported = ZK_IsNativeLeaderboardsViewSupported;
    api->ZK_ShowNativeLeaderboardsView = ZK_ShowNativeLeaderboardsView;
    api->ZK_GetUserId = ZK_GetUserId;
    api->ZK_GetLeaderboardsLoginState = ZK_GetLeaderboardsLoginState;
    api->ZK_LeaderboardsLogin = ZK_LeaderboardsLogin;
    api->ZK_IsNativeUserProfileViewSupported = ZK_IsNativeUserProfileViewSupported;
    api->ZK_ShowNativeUserProfileView = ZK_ShowNativeUserProfileView;
    api->ZK_GetNumberOfLeaderboardCategories = ZK_GetNumberOfLeaderboardCategories;
    api->ZK_GetLeaderboardCategoryIdByIndex = ZK_GetLeaderboardCategoryIdByIndex;
    api->ZK_GetLeaderboardCategoryIndexById = ZK_GetLeaderboardCategoryIndexById;
    api->ZK_GetLeaderboardCategorySortOrder = ZK_GetLeaderboardCategorySortOrder;
    api->ZK_GetMaximumNumberOfScoresPerRequest = ZK_GetMaximumNumberOfScoresPerRequest;
    api->ZK_GetLeaderboardCategoryValue = ZK_GetLeaderboardCategoryValue;
}

bool ZK_Notifications_IsAvailable() { return false; }
void ZK_Notifications_RegisterForNotifications() {}
void ZK_Notifications_RemoveAllNotifications() {}
void ZK_Notifications_SetNotification(const char* /*a*/, const char* /*b*/, const char* /*c*/, unsigned int /*seconds*/) {}

void ZKI_FillNotificationsInterface(zk_notifications_api_t* api) {
    api->ZK_Notifications_IsAvailable = ZK_Notifications_IsAvailable;
    api->ZK_Notifications_RegisterForNotifications = ZK_Notifications_RegisterForNotifications;
    api->ZK_Notifications_RemoveAllNotifications = ZK_Notifications_RemoveAllNotifications;
    api->ZK_Notifications_SetNotification = ZK_Notifications_SetNotification;
}

bool ZK_Social_IsAvailable() { return false; }
void ZK_Social_Login() {}
void ZK_Social_Logout() {}
void ZK_Social_RequestListOfUsers() {}
void ZK_Social_PostLocalUserScore(unsigned int /*score*/) {}
zk_bitmap_t* ZK_Social_GetUserImage(const char* /*user_id*/, int /*size*/) { return nullptr; }

void ZKI_FillSocialInterface(zk_social_api_t* api) {
    api->ZK_Social_IsAvailable = ZK_Social_IsAvailable;
    api->ZK_Social_Login = ZK_Social_Login;
    api->ZK_Social_Logout = ZK_Social_Logout;
    api->ZK_Social_RequestListOfUsers = ZK_Social_RequestListOfUsers;
    api->ZK_Social_PostLocalUserScore = ZK_Social_PostLocalUserScore;
    api->ZK_Social_GetUserImage = ZK_Social_GetUserImage;
}

void ZK_Statistic_LogEvent(int /*user*/, zk_statistic_api_t::Category /*category*/, const nString& /*name*/, zk_statistic_api_t::Stats& /*stats*/) {}

void ZKI_FillStatisticInterface(zk_statistic_api_t* api) {
    api->ZK_Statistic_LogEvent = ZK_Statistic_LogEvent;
}

bool ZK_UGC_IsAvailable() { return false; }
void ZK_UGC_RequestListOfItems() {}
bool ZK_UGC_IsListOfItemsReady() { return false; }
int ZK_UGC_GetNumberOfItems() { return 0; }
zk_ugc_item_info_t* ZK_UGC_GetItemInfoByIndex(int /*index*/) { return nullptr; }
void ZK_UGC_SubscribeItem(const char* /*id*/) {}
void ZK_UGC_UnsubscribeItem(const char* /*id*/) {}
int ZK_UGC_CreateItem(zk_ugc_item_info_t* /*info*/) { return 0; }
void ZK_UGC_OpenUGCBrowser() {}

void ZKI_FillUGCInterface(zk_ugc_api_t* api) {
    api->ZK_UGC_IsAvailable = ZK_UGC_IsAvailable;
    api->ZK_UGC_RequestListOfItems = ZK_UGC_RequestListOfItems;
    api->ZK_UGC_IsListOfItemsReady = ZK_UGC_IsListOfItemsReady;
    api->ZK_UGC_GetNumberOfItems = ZK_UGC_GetNumberOfItems;
    api->ZK_UGC_GetItemInfoByIndex = ZK_UGC_GetItemInfoByIndex;
    api->ZK_UGC_SubscribeItem = ZK_UGC_SubscribeItem;
    api->ZK_UGC_UnsubscribeItem = ZK_UGC_UnsubscribeItem;
    api->ZK_UGC_CreateItem = ZK_UGC_CreateItem;
    api->ZK_UGC_OpenUGCBrowser = ZK_UGC_OpenUGCBrowser;
}
