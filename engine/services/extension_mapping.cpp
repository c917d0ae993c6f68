// The service names of ZK_CallExtension: the in-app purchase mapping, the
// Game Center mapping, the modules' own names and the test dialog.

#include "engine/services/extension_mapping.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "engine/base/nstring.h"
#include "engine/events/events.h"
#include "engine/services/extension_modules.h"
#include "engine/services/printable.h"

namespace {

bool Is(const char* text, const char* word) { return text && strcmp(text, word) == 0; }

// --- In-app purchases ---------------------------------------------------------------------

typedef InAppPurchaseImplementation Purchases;

struct PurchaseName {
    const char* name;
    const char* (*answer)(Purchases* purchases, const char* argument);
};

const PurchaseName kPurchaseNames[] = {
    {"IAP_IsAvailable", [](Purchases*, const char*) { return "YES"; }},
    {"IAP_PurchaseItem",
     [](Purchases* p, const char* product) {
         p->PurchaseItem(product);
         return "YES";
     }},
    {"IAP_RequestItemData",
     [](Purchases* p, const char* product) {
         p->RequestItemData(product);
         return "OK";
     }},
    {"IAP_RestorePurchases",
     [](Purchases* p, const char*) {
         p->RestorePurchases();
         return "YES";
     }},
    {"IAP_ShowPurchaseProgress", [](Purchases* p, const char*) { return p->ShowPurchaseProgress() ? "YES" : "NO"; }},
};

// --- Game Center ------------------------------------------------------------------------------

// Fields of the comma-separated argument: absent when missing or longer
// than 511 characters.
struct GameCenterCall {
    const char* function;
    const char* field1;
    const char* field2;
};

const size_t kMaxLeaderboardCategory = 255;

// Null when the function is not an achievement call, or when its progress
// is missing or negative.
const char* AnswerAchievementCall(const GameCenterCall& call, bool* handled) {
    *handled = true;
    if (Is(call.function, "UnlockAchievement")) {
        zk->achievements->ZK_UnlockAchievement(0, call.field1);
        return "OK";
    }
    if (Is(call.function, "SetAchievementProgress")) {
        if (!call.field2) return nullptr;
        int progress = atoi(call.field2);
        if (progress < 0) return nullptr;
        zk->achievements->ZK_SetAchievementProgress(0, call.field1, progress);
        return "OK";
    }
    if (Is(call.function, "ShowAchievements")) {
        if (zk->achievements->ZK_IsNativeAchievementViewSupported()) zk->achievements->ZK_ShowNativeAchievementView(0);
        return "OK";
    }
    *handled = false;
    return nullptr;
}

const char* AnswerLeaderboardsCall(const GameCenterCall& call) {
    if (Is(call.function, "SubmitScore")) {
        zk_score_t score;
        memset(&score, 0, sizeof(score));
        score.points = call.field2 ? atoi(call.field2) : 0;
        zk->leaderboards->ZK_SubmitScore(0, score, call.field1);
        return "OK";
    }
    if (Is(call.function, "ShowLeaderboards")) {
        const char* category = call.field1 && strlen(call.field1) <= kMaxLeaderboardCategory ? call.field1 : nullptr;
        zk->leaderboards->ZK_ShowNativeLeaderboardsView(0, category);
        return "OK";
    }
    return nullptr;
}

// --- The test dialog ---------------------------------------------------------------------------

// Images above 160 KB cannot be sent.
const int64_t kLargestDialogImage = 161792;

std::atomic<int> dialog_alerts{0};

void WarnOfLargeImage(int alert, const char* image) {
    if (!image) return;
    zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(image, "r");
    if (!file) return;
    if (file->size > kLargestDialogImage)
        zk->ZK_Popupf(ZK_MESSAGE_INFO, "Game Alert #%d\n\nFile '%s' is too large! It can be max 160KB.", alert, image);
    zk->file_system->ZK_FileSystem_CloseFile(file);
}

}  // namespace

const char* ZKID_IAPExtensionMapping(const char* name, const char* argument) {
    Purchases* purchases = zk_in_app_purchase_implementation;
    if (!name || !purchases || !purchases->IsAvailable()) return nullptr;
    for (const PurchaseName& entry : kPurchaseNames)
        if (Is(name, entry.name)) return entry.answer(purchases, argument);
    return nullptr;
}

const char* ZKID_GameCenterExtensionMapping(const char* module, const char* argument) {
    if (!module || (!zk_leaderboards_implementation && !zk_achievement_implementation)) return nullptr;
    if (!Is(module, "GameCenter") || !zk->ZK_ProductFeatureExists("GAME_CENTER")) return nullptr;
    GameCenterCall call = {nStringGetToken(argument, ",", 0), nStringGetToken(argument, ",", 1),
                           nStringGetToken(argument, ",", 2)};
    if (Is(call.function, "IsAvailable")) return "YES";
    if (zk_achievement_implementation && zk_achievement_implementation->IsAvailable()) {
        bool handled = false;
        const char* answer = AnswerAchievementCall(call, &handled);
        if (handled) return answer;
    }
    if (zk_leaderboards_implementation && zk_leaderboards_implementation->IsAvailable())
        return AnswerLeaderboardsCall(call);
    return nullptr;
}

const char* ZK_CallExtensionModuleExtension(const char* name, const char* argument) {
    NotificationImplementation* notifications = zk_notification_implementation;
    if (notifications && Is(name, "SetLocalNotification")) {
        const char* seconds = nStringGetToken(argument, ";", 3);
        notifications->SetNotification(nStringGetToken(argument, ";", 0), nStringGetToken(argument, ";", 1),
                                       nStringGetToken(argument, ";", 2),
                                       seconds ? static_cast<unsigned int>(atoi(seconds)) : 5u);
    } else if (notifications && Is(name, "RemoveAllLocalNotifications")) {
        notifications->RemoveAllNotifications();
    }
    for (int i = 0; i < zk_extension_implementations.count; ++i) {
        const char* answer = zk_extension_implementations.items[i]->CallExtension(name, argument);
        if (answer) return answer;
    }
    return nullptr;
}

const char* ZKID_TestExtension(const char* name, const char* argument) {
    if (!Is(name, "GameCustomDialogSend")) return nullptr;
    // Fields of up to 1022 characters; a longer or missing one is absent.
    nString text(argument);
    nString data_name = text.GetToken(0, ";");
    nString data_detail = text.GetToken(1, ";");
    nString user_message = text.GetToken(2, ";");
    nString image = text.GetToken(3, ";");
    int alert = ++dialog_alerts;
    WarnOfLargeImage(alert, image.GetText());
    zk->ZK_Popupf(ZK_MESSAGE_INFO,
                  "Game Alert #%d\n\nUser message: '%s'\nData name: '%s'\nData detail: '%s'\nImage file name: '%s'",
                  alert, Printable(user_message.GetText()), Printable(data_name.GetText()),
                  Printable(data_detail.GetText()), Printable(image.GetText()));
    zk_event_t reply = ZKI_MakeEvent(zk_text_event_t{ZK_EVENT_TEST_EXTENSION_REPLY, 0, "SEND_OK"});
    zk->ZK_SendEventQueued(&reply);
    return nullptr;
}
