// The service names of the extension call, the test dialog, and the
// in-app purchase ids and events.

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/runtime/events.h"
#include "engine/services/extension_mapping.h"
#include "engine/services/iap.h"
#include "engine/services/tests/service_test_support.h"
#include "engine/storage/filesystem.h"

namespace services_test {
namespace {

// Delivered events as texts, read while they still own their strings.
std::vector<std::string> delivered;
int DescribeEvent(zk_event_t event) {
    std::string text = std::to_string(event.type);
    if (event.type == ZK_EVENT_PURCHASE_NOTICE || event.type == ZK_EVENT_PURCHASE_COMPLETED) {
        zk_purchase_event_t p = ZKI_EventAs<zk_purchase_event_t>(event);
        text += " kind=" + std::to_string(p.kind) + " product=" + Text(p.product_id) +
                " restored=" + std::to_string(p.restored) + " info=" + Text(p.information) +
                " further=" + Text(p.further) + " data=" + Text(p.data);
    } else if (event.type == ZK_EVENT_TEST_EXTENSION_REPLY) {
        zk_text_event_t reply = ZKI_EventAs<zk_text_event_t>(event);
        text += " " + std::to_string(reply.zero) + " " + Text(reply.text);
    }
    delivered.push_back(text);
    return 0;
}

class ExtensionMappingTest : public ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        delivered.clear();
        zk_prog->EventProc = DescribeEvent;
    }
    std::vector<std::string> Deliver() {
        delivered.clear();
        ZKI_ProcessEventQueue();
        return delivered;
    }
};

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

TEST_F(ExtensionMappingTest, TheEnginesExtensionCallAsksTheServiceNamesFirst) {
    TestModule* host = new TestModule("Host");
    host->extension_answer = "FROM_MODULE";
    ZK_RegisterExtensionModule(host);
    Start("IN_APP_PURCHASES");
    EXPECT_STREQ(zk->ZK_CallExtension("IAP_IsAvailable", nullptr), "YES");
    EXPECT_STREQ(zk->ZK_CallExtension("GetPlayerOnlineID", nullptr), "FROM_MODULE");
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

// --- The test dialog --------------------------------------------------------------------------

std::string Alert(int number, const char* message, const char* name, const char* detail, const std::string& image) {
    return "popup info: Game Alert #" + std::to_string(number) + "\n\nUser message: '" + message +
           "'\nData name: '" + name + "'\nData detail: '" + detail + "'\nImage file name: '" + image + "'";
}

std::string TooLarge(int number, const std::string& image) {
    return "popup info: Game Alert #" + std::to_string(number) + "\n\nFile '" + image +
           "' is too large! It can be max 160KB.";
}

void WriteFile(const std::string& path, size_t size) {
    std::ofstream file(path, std::ios::binary);
    file << std::string(size, 'p');
}

// The alerts count up from 1 over the whole run: this is the one test
// that opens the dialog (its seven alerts go on from the last run's when
// the tests are repeated).
TEST_F(ExtensionMappingTest, TheTestDialogNumbersItsAlertsWarnsOfLargeImagesAndReplies) {
    static int alerts_before = 0;
    const int before = alerts_before;
    alerts_before += 7;
    ZKFileSystem::Initialize();
    const std::string folder = ::testing::TempDir();
    const std::string small = folder + "zk-dialog-small.tga";
    const std::string limit = folder + "zk-dialog-limit.tga";
    const std::string large = folder + "zk-dialog-large.tga";
    WriteFile(small, 100);
    WriteFile(limit, 161792);
    WriteFile(large, 161793);

    EXPECT_EQ(ZKID_TestExtension(nullptr, "a;b;c;d"), nullptr);
    EXPECT_EQ(ZKID_TestExtension("GameCustomDialog", "a;b;c;d"), nullptr);
    EXPECT_TRUE(Lines().empty());
    EXPECT_TRUE(Deliver().empty());

    const std::string with_small = "score;level 3;Hello there;" + small;
    const std::string with_limit = "score;;Hi;" + limit;
    const std::string with_large = "score;level 9;Look;" + large;
    const std::string long_field = std::string(1023, 'm') + ";detail;message;" + small;
    EXPECT_EQ(ZKID_TestExtension("GameCustomDialogSend", with_small.c_str()), nullptr);
    EXPECT_EQ(ZKID_TestExtension("GameCustomDialogSend", with_limit.c_str()), nullptr);
    EXPECT_EQ(ZKID_TestExtension("GameCustomDialogSend", with_large.c_str()), nullptr);
    EXPECT_EQ(ZKID_TestExtension("GameCustomDialogSend", "only a name"), nullptr);
    EXPECT_EQ(ZKID_TestExtension("GameCustomDialogSend", nullptr), nullptr);
    EXPECT_EQ(ZKID_TestExtension("GameCustomDialogSend", long_field.c_str()), nullptr);
    // A program in developer mode gets the dialog through the extension call.
    zk_prog->parms.developer_mode = 1;
    EXPECT_EQ(zk->ZK_CallExtension("GameCustomDialogSend", with_small.c_str()), nullptr);

    const std::vector<std::string> expected = {
        Alert(before + 1, "Hello there", "score", "level 3", small),
        Alert(before + 2, "Hi", "score", "", limit),
        TooLarge(before + 3, large),
        Alert(before + 3, "Look", "score", "level 9", large),
        Alert(before + 4, "(null)", "only a name", "(null)", "(null)"),
        Alert(before + 5, "(null)", "(null)", "(null)", "(null)"),
        Alert(before + 6, "message", "(null)", "detail", small),
        Alert(before + 7, "Hello there", "score", "level 3", small),
    };
    EXPECT_EQ(Lines(), expected);
    EXPECT_EQ(Deliver(), std::vector<std::string>(7, "63 0 SEND_OK"));
    ZKFileSystem::Deinitialize();
    remove(small.c_str());
    remove(limit.c_str());
    remove(large.c_str());
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
