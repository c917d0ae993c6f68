// The service names of the extension call, and the in-app purchase ids
// and events.

#include <cstring>
#include <string>
#include <vector>

#include "engine/events/events.h"
#include "engine/services/extension_mapping.h"
#include "engine/platform_services/iap.h"
#include "engine/services/tests/extension_mapping_fixture.h"

namespace services_test {
namespace {

// --- In-app purchases ------------------------------------------------------------------------

TEST_F(ExtensionMappingTest, InAppPurchaseNamesReachAnAvailableImplementation) {
    enum Purchases { None, Fallback, Available, Unavailable, NoProgress };
    struct Case {
        Purchases purchases;
        const char* name;
        const char* argument;
        const char* answer;
        std::vector<std::string> calls;
    } cases[] = {
        {None, "IAP_IsAvailable", nullptr, nullptr, {}},
        {Fallback, "IAP_IsAvailable", nullptr, "YES", {}},
        {Fallback, "IAP_ShowPurchaseProgress", nullptr, "NO", {}},
        {Fallback, "IAP_PurchaseItem", "coins", "YES", {}},
        {Available, "IAP_PurchaseItem", "coins", "YES", {"PurchaseItem coins"}},
        {Available, "IAP_RequestItemData", "gems", "OK", {"RequestItemData gems"}},
        {Available, "IAP_RestorePurchases", nullptr, "YES", {"RestorePurchases"}},
        {Available, "IAP_ShowPurchaseProgress", nullptr, "YES", {}},
        {NoProgress, "IAP_ShowPurchaseProgress", nullptr, "NO", {}},
        {Available, "IAP_Refund", "coins", nullptr, {}},
        {Available, nullptr, "coins", nullptr, {}},
        {Unavailable, "IAP_IsAvailable", nullptr, nullptr, {}},
        {Unavailable, "IAP_PurchaseItem", "coins", nullptr, {}},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(row++);
        Start(c.purchases == None ? "" : "IN_APP_PURCHASES");
        if (c.purchases >= Available) {
            TestModule* store = new TestModule("Store");
            TestPurchases* purchases = store->Offer(new TestPurchases("Store"));
            purchases->available = c.purchases != Unavailable;
            purchases->show_progress = c.purchases != NoProgress;
            ResolveWithFirst(store);
        }
        Calls().clear();
        EXPECT_STREQ(ZKID_IAPExtensionMapping(c.name, c.argument), c.answer);
        EXPECT_EQ(Calls(), c.calls);
        EXPECT_TRUE(Deliver().empty());
        ResetServices();
    }
}

// --- Game Center -------------------------------------------------------------------------------

TEST_F(ExtensionMappingTest, GameCenterCallsMapOnTheAchievementAndLeaderboardFronts) {
    enum Service { Missing, Available, Unavailable, NoView };
    const std::string long_field(512, 'x');
    const std::string category_255(255, 'c');
    const std::string category_256(256, 'c');
    const std::string unlock_long = "UnlockAchievement," + long_field;
    const std::string show_255 = "ShowLeaderboards," + category_255;
    const std::string show_256 = "ShowLeaderboards," + category_256;
    struct Case {
        bool game_center;
        Service achievements;
        Service leaderboards;
        const char* module;
        const char* argument;
        const char* answer;
        std::vector<std::string> calls;
    } cases[] = {
        {true, Available, Available, "GameCenter", "IsAvailable", "YES", {}},
        {true, Unavailable, Missing, "GameCenter", "IsAvailable", "YES", {}},
        {true, Missing, Unavailable, "GameCenter", "IsAvailable", "YES", {}},
        {false, Available, Available, "GameCenter", "IsAvailable", nullptr, {}},
        {true, Missing, Missing, "GameCenter", "IsAvailable", nullptr, {}},
        {true, Available, Available, "Other", "IsAvailable", nullptr, {}},
        {true, Available, Available, nullptr, "IsAvailable", nullptr, {}},
        {true, Available, Available, "GameCenter", nullptr, nullptr, {}},
        {true, Available, Available, "GameCenter", "Unknown,a,b", nullptr, {}},
        {true, Available, Missing, "GameCenter", "UnlockAchievement,ach1", "OK", {"UnlockAchievement 0 ach1"}},
        {true, Available, Missing, "GameCenter", unlock_long.c_str(), "OK", {"UnlockAchievement 0 (null)"}},
        {true, Available, Missing, "GameCenter", "SetAchievementProgress,ach1,50", "OK",
         {"SetAchievementProgress 0 ach1 50"}},
        {true, Available, Missing, "GameCenter", "SetAchievementProgress,ach1,0", "OK",
         {"SetAchievementProgress 0 ach1 0"}},
        {true, Available, Available, "GameCenter", "SetAchievementProgress,ach1,-5", nullptr, {}},
        {true, Available, Available, "GameCenter", "SetAchievementProgress,ach1", nullptr, {}},
        {true, Available, Missing, "GameCenter", "ShowAchievements", "OK", {"ShowNativeAchievementView 0"}},
        {true, NoView, Missing, "GameCenter", "ShowAchievements", "OK", {}},
        // An unavailable achievement service leaves its names unanswered.
        {true, Unavailable, Available, "GameCenter", "UnlockAchievement,ach1", nullptr, {}},
        {true, Available, Available, "GameCenter", "SubmitScore,speed,120", "OK", {"SubmitScore 0 120 speed"}},
        {true, Missing, Available, "GameCenter", "SubmitScore,speed", "OK", {"SubmitScore 0 0 speed"}},
        {true, Missing, Available, "GameCenter", "ShowLeaderboards,speed", "OK",
         {"ShowNativeLeaderboardsView 0 speed"}},
        {true, Missing, Available, "GameCenter", show_255.c_str(), "OK",
         {"ShowNativeLeaderboardsView 0 " + category_255}},
        {true, Missing, Available, "GameCenter", show_256.c_str(), "OK", {"ShowNativeLeaderboardsView 0 (null)"}},
        {true, Available, Unavailable, "GameCenter", "SubmitScore,speed,1", nullptr, {}},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(row++);
        TestModule* host = new TestModule("Host");
        if (c.achievements != Missing) {
            TestAchievements* achievements = host->Offer(new TestAchievements("HostAchievements"));
            achievements->available = c.achievements != Unavailable;
            achievements->view_supported = c.achievements != NoView;
        }
        if (c.leaderboards != Missing)
            host->Offer(new TestLeaderboards("HostBoards"))->available = c.leaderboards != Unavailable;
        ZK_RegisterExtensionModule(host);
        Start(c.game_center ? "LEADERBOARDS ACHIEVEMENTS GAME_CENTER" : "LEADERBOARDS ACHIEVEMENTS");
        Calls().clear();
        EXPECT_STREQ(ZKID_GameCenterExtensionMapping(c.module, c.argument), c.answer);
        EXPECT_EQ(Calls(), c.calls);
        ResetServices();
    }
}

// --- The modules' own names -----------------------------------------------------------------

TEST_F(ExtensionMappingTest, LocalNotificationNamesReachTheNotificationsAndTheModulesAreAskedStill) {
    struct Case {
        bool notifications;
        const char* name;
        const char* argument;
        const char* module_answer;
        const char* answer;
        std::vector<std::string> calls;
    } cases[] = {
        {true, "SetLocalNotification", "Title;Body;Sound", nullptr, nullptr,
         {"SetNotification Title Body Sound 5", "Host CallExtension SetLocalNotification Title;Body;Sound"}},
        {true, "SetLocalNotification", "Title;Body;Sound;30", nullptr, nullptr,
         {"SetNotification Title Body Sound 30", "Host CallExtension SetLocalNotification Title;Body;Sound;30"}},
        {true, "SetLocalNotification", nullptr, nullptr, nullptr,
         {"SetNotification (null) (null) (null) 5", "Host CallExtension SetLocalNotification (null)"}},
        {true, "RemoveAllLocalNotifications", nullptr, "DONE", "DONE",
         {"RemoveAllNotifications", "Host CallExtension RemoveAllLocalNotifications (null)"}},
        {false, "SetLocalNotification", "Title;Body;Sound", nullptr, nullptr,
         {"Host CallExtension SetLocalNotification Title;Body;Sound"}},
        {true, nullptr, "x", "ANSWER", "ANSWER", {"Host CallExtension (null) x"}},
        {false, "Anything", nullptr, "ANSWER", "ANSWER", {"Host CallExtension Anything (null)"}},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(row++);
        TestModule* host = new TestModule("Host");
        if (c.notifications) host->Offer(new TestNotifications("HostNotes"));
        host->extension_answer = c.module_answer;
        ZK_RegisterExtensionModule(host);
        Start("");
        Calls().clear();
        EXPECT_STREQ(ZK_CallExtensionModuleExtension(c.name, c.argument), c.answer);
        EXPECT_EQ(Calls(), c.calls);
        ResetServices();
    }
}

TEST_F(ExtensionMappingTest, TheFirstModuleThatAnswersEndsTheSearch) {
    TestModule* last = new TestModule("Last");
    last->extension_answer = "LAST";
    ZK_RegisterExtensionModule(last);
    TestModule* first = new TestModule("First");
    first->extension_answer = "FIRST";
    ZK_RegisterExtensionModule(first);
    Calls().clear();
    EXPECT_STREQ(ZK_CallExtensionModuleExtension("Name", "value"), "FIRST");
    EXPECT_EQ(Calls(), (std::vector<std::string>{"First CallExtension Name value"}));
}

// --- In-app purchase ids and events -------------------------------------------------------------

const char* product_id_value = nullptr;
const char* ProductValue(const char* name) { return strcmp(name, "iap_id") == 0 ? product_id_value : nullptr; }

TEST_F(ExtensionMappingTest, ProductIdsLoseOnlyTheirBaseAndTheSeparator) {
    struct Case {
        const char* iap_id;      // the product value
        const char* program_id;  // null: no program record
        const char* id;
        const char* skipped;
        const char* full;
    } cases[] = {
        {"shop", "game", "coins", "coins", "shop.coins"},
        {"shop", "game", "shop.coins", "coins", "shop.shop.coins"},
        {"shop", "game", "shop.", "", "shop.shop."},
        // The id is the base, or merely begins with it.
        {"shop", "game", "shop", "shop", "shop.shop"},
        {"shop", "game", "shopping.coins", "shopping.coins", "shop.shopping.coins"},
        {"shop", "game", "sho", "sho", "shop.sho"},
        {"shop", "game", nullptr, "", "shop."},
        // Without the value the program's id is the base.
        {nullptr, "game", "game.gold", "gold", "game.game.gold"},
        // Without any base, or an empty one, ids stay as they are.
        {nullptr, nullptr, "x.gold", "x.gold", "x.gold"},
        {nullptr, nullptr, nullptr, "", ""},
        {"", "game", ".coins", ".coins", ".coins"},
        {nullptr, "", "coins", "coins", "coins"},
    };
    zk_prog_t* program = zk_prog;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(Text(c.iap_id)) + " " + Text(c.program_id) + " " + Text(c.id));
        product_id_value = c.iap_id;
        zk->ZK_GetProductValue = ProductValue;
        zk_prog = c.program_id ? program : nullptr;
        if (c.program_id) snprintf(program->id, sizeof(program->id), "%s", c.program_id);
        EXPECT_STREQ(ZK_IAP_GetProductIdBase(), c.iap_id ? c.iap_id : c.program_id);
        EXPECT_STREQ(ZK_IAP_SkipIdIAPBase(c.id), c.skipped);
        EXPECT_STREQ(ZK_IAP_GetFullProductId(c.id).c_str(), c.full);
    }
    zk_prog = program;
}

TEST_F(ExtensionMappingTest, PurchaseEventsCarryTheShortIdAndCopiesOfTheirTexts) {
    product_id_value = "shop";
    zk->ZK_GetProductValue = ProductValue;
    ZK_IAP_SendPurchaseCompletedEvent("shop.coins", "receipt-1");
    ZK_IAP_SendRestoreCompletedEvent("shop.gems", nullptr);
    ZK_IAP_SendProductInfoEvent("coins", "100 coins for 1.99");
    ZK_IAP_SendProductInfoEvent(nullptr, nullptr);
    ZK_IAP_SendRestoreFailedEvent();
    const std::vector<std::string> expected = {
        "34 kind=1 product=coins restored=1 info=(null) further=(null) data=receipt-1",
        "33 kind=1 product=gems restored=1 info=(null) further=(null) data=",
        "33 kind=1 product=coins restored=0 info=100 coins for 1.99 further=(null) data=(null)",
        "33 kind=1 product= restored=0 info= further=(null) data=(null)",
        "33 kind=2 product=(null) restored=0 info=(null) further=(null) data=(null)",
    };
    EXPECT_EQ(Deliver(), expected);
}

}  // namespace
}  // namespace services_test
