// The fronts of the achievements, cloud, notifications, social, statistic
// and user-content sub-tables. Each forwards to the implementation chosen
// for its type and gives a neutral answer when there is none.

#include "engine/runtime/interface_functions.h"
#include "engine/services/extension_modules.h"

// --- Achievements ---------------------------------------------------------------------

void ZK_UnlockAchievement(int user, const char* id) {
    if (zk_achievement_implementation) zk_achievement_implementation->UnlockAchievement(user, id);
}

void ZK_SetAchievementProgress(int user, const char* id, int progress) {
    if (zk_achievement_implementation) zk_achievement_implementation->SetAchievementProgress(user, id, progress);
}

bool ZK_IsNativeAchievementViewSupported() {
    return zk_achievement_implementation && zk_achievement_implementation->IsNativeAchievementViewSupported();
}

void ZK_ShowNativeAchievementView(int user) {
    if (zk_achievement_implementation) zk_achievement_implementation->ShowNativeAchievementView(user);
}

void ZK_SetStatisticsInt(const char* name, int value) {
    if (zk_achievement_implementation) zk_achievement_implementation->SetStatisticsInt(name, value);
}

int ZK_GetStatisticsInt(const char* name) {
    return zk_achievement_implementation ? zk_achievement_implementation->GetStatisticsInt(name) : 0;
}

// --- Cloud ---------------------------------------------------------------------------------

// A chosen cloud counts as available without asking it.
bool ZK_Cloud_IsAvailable() { return zk_cloud_implementation != nullptr; }

void ZK_Cloud_SetKeyValue(const char* key, const void* data, int size) {
    if (zk_cloud_implementation) zk_cloud_implementation->SetKeyValue(key, data, size);
}

zk_buffer_t* ZK_Cloud_GetKeyValue(const char* key) {
    return zk_cloud_implementation ? zk_cloud_implementation->GetKeyValue(key) : nullptr;
}

void ZK_Cloud_DeleteKeyValue(const char* key) {
    if (zk_cloud_implementation) zk_cloud_implementation->DeleteKeyValue(key);
}

// --- Notifications -------------------------------------------------------------------------

bool ZK_Notifications_IsAvailable() { return zk_notification_implementation != nullptr; }

void ZK_Notifications_RegisterForNotifications() {
    if (zk_notification_implementation) zk_notification_implementation->RegisterForNotifications();
}

void ZK_Notifications_RemoveAllNotifications() {
    if (zk_notification_implementation) zk_notification_implementation->RemoveAllNotifications();
}

void ZK_Notifications_SetNotification(const char* a, const char* b, const char* c, unsigned int seconds) {
    if (zk_notification_implementation) zk_notification_implementation->SetNotification(a, b, c, seconds);
}

// --- Social --------------------------------------------------------------------------------

bool ZK_Social_IsAvailable() { return zk_social_implementation != nullptr; }

void ZK_Social_Login() {
    if (zk_social_implementation) zk_social_implementation->Login();
}

void ZK_Social_Logout() {
    if (zk_social_implementation) zk_social_implementation->Logout();
}

void ZK_Social_RequestListOfUsers() {
    if (zk_social_implementation) zk_social_implementation->RequestListOfUsers();
}

void ZK_Social_PostLocalUserScore(unsigned int score) {
    if (zk_social_implementation) zk_social_implementation->PostLocalUserScore(score);
}

// Pictures smaller than 4 pixels are never asked for.
zk_bitmap_t* ZK_Social_GetUserImage(const char* user_id, int size) {
    if (size < 4 || !user_id || !zk_social_implementation) return nullptr;
    return zk_social_implementation->GetUserImage(user_id, size);
}

// --- Statistic -----------------------------------------------------------------------------

void ZK_Statistic_LogEvent(int user, zk_statistic_api_t::Category category, const nString& name,
                           zk_statistic_api_t::Stats& stats) {
    if (zk_statistic_implementation) zk_statistic_implementation->LogEvent(user, category, name, stats);
}

// --- User-generated content ---------------------------------------------------------------------

bool ZK_UGC_IsAvailable() { return zk_ugc_implementation && zk_ugc_implementation->IsAvailable(); }

void ZK_UGC_RequestListOfItems() {
    if (zk_ugc_implementation) zk_ugc_implementation->RequestListOfItems();
}

// Without a service there is nothing to wait for: the (empty) list is ready.
bool ZK_UGC_IsListOfItemsReady() { return zk_ugc_implementation ? zk_ugc_implementation->IsListOfItemsReady() : true; }

int ZK_UGC_GetNumberOfItems() { return zk_ugc_implementation ? zk_ugc_implementation->GetNumberOfItems() : 0; }

zk_ugc_item_info_t* ZK_UGC_GetItemInfoByIndex(int index) {
    return zk_ugc_implementation ? zk_ugc_implementation->GetItemInfoByIndex(index) : nullptr;
}

void ZK_UGC_SubscribeItem(const char* id) {
    if (zk_ugc_implementation) zk_ugc_implementation->SubscribeItem(id);
}

void ZK_UGC_UnsubscribeItem(const char* id) {
    if (zk_ugc_implementation) zk_ugc_implementation->UnsubscribeItem(id);
}

int ZK_UGC_CreateItem(zk_ugc_item_info_t* info) {
    return zk_ugc_implementation ? zk_ugc_implementation->CreateItem(info) : 0;
}

void ZK_UGC_OpenUGCBrowser() {
    if (zk_ugc_implementation) zk_ugc_implementation->OpenUGCBrowser();
}
