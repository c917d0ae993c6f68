// The registry: which implementation each service type resolves to, the
// start-up steps, the built-in modules and the per-frame update.

#include <initializer_list>
#include <string>
#include <vector>

#include "engine/runtime/interface_functions.h"
#include "engine/services/extension_mapping.h"
#include "engine/services/local_leaderboards.h"
#include "engine/services/simulated_leaderboards.h"
#include "engine/services/tests/service_test_support.h"

namespace services_test {
namespace {

// The same, as the getters find them afresh.
std::string FoundNames() {
    return NamesOf({ZK_GetCloudImplementation(), ZK_GetLeaderboardsImplementation(),
                    ZK_GetAchievementImplementation(), ZK_GetStatisticImplementation(),
                    ZK_GetInAppPurchaseImplementation(), ZK_GetSocialImplementation(), ZK_GetUGCImplementation(),
                    ZK_GetNotificationImplementation()});
}

std::string WithoutNone(const std::string& names) {
    std::string kept;
    size_t start = 0;
    while (start <= names.size()) {
        size_t end = names.find(',', start);
        if (end == std::string::npos) end = names.size();
        std::string name = names.substr(start, end - start);
        if (name != "-") kept += (kept.empty() ? "" : ",") + name;
        start = end + 1;
    }
    return kept;
}

std::string AllImplementations() {
    std::string names;
    for (int i = 0; i < zk_all_implementations.count; ++i)
        names += std::string(names.empty() ? "" : ",") + zk_all_implementations.items[i]->GetName();
    return names;
}

// Stand-ins for the local and simulated implementations the built-in
// modules make, so that resolution is seen without their files and threads.
LeaderboardsImplementation* MakeLocalBoards() { return new TestLeaderboards("LocalDatabase"); }
LeaderboardsImplementation* MakeSimulatedBoards() { return new TestLeaderboards("Simulated"); }
CloudImplementation* MakeSimulatedCloud() { return new TestCloud("Simulated"); }
SocialImplementation* MakeSimulatedSocial() { return new TestSocial("Simulated"); }

class ExtensionModulesTest : public ServicesTest {
protected:
    void PlugInBuiltInImplementations() {
        zk_builtin_makers = {MakeLocalBoards, MakeSimulatedCloud, MakeSimulatedBoards, MakeSimulatedSocial};
    }
    void UnplugBuiltInImplementations() { zk_builtin_makers = {nullptr, nullptr, nullptr, nullptr}; }
    void PlugIn(bool built_in) {
        if (built_in)
            PlugInBuiltInImplementations();
        else
            UnplugBuiltInImplementations();
    }
};

TEST_F(ExtensionModulesTest, EachServiceTypeResolvesToTheFirstModuleThatOffersItWhenItsFeatureIsSet) {
    struct Case {
        const char* features;
        bool host;      // a module offering every type, registered before start-up
        bool built_in;  // the built-in modules make their local and simulated implementations
        const char* chosen;
    } cases[] = {
        // The shader tool's case: no features, nothing chosen.
        {"", false, false, "-,-,-,-,-,-,-,-"},
        {"", false, true, "-,-,-,-,-,-,-,-"},
        // Leaderboards, achievements and in-app purchases need their feature.
        {"", true, false, "HostCloud,-,-,HostStatistic,-,HostSocial,HostUGC,HostNotification"},
        {"LEADERBOARDS ACHIEVEMENTS", true, false,
         "HostCloud,HostLeaderboards,HostAchievement,HostStatistic,-,HostSocial,HostUGC,HostNotification"},
        // The built-in modules are asked before a module registered earlier.
        {"IN_APP_PURCHASES", false, false, "-,-,-,-,Fallback,-,-,-"},
        {"IN_APP_PURCHASES,LEADERBOARDS", true, false,
         "HostCloud,HostLeaderboards,-,HostStatistic,Fallback,HostSocial,HostUGC,HostNotification"},
        // Simulation is asked before Local Fallbacks.
        {"LEADERBOARDS LOCAL_LEADERBOARDS SIMULATED_LEADERBOARDS", false, true, "-,Simulated,-,-,-,-,-,-"},
        {"LEADERBOARDS;LOCAL_LEADERBOARDS", true, true,
         "HostCloud,LocalDatabase,-,HostStatistic,-,HostSocial,HostUGC,HostNotification"},
        // Both leaderboards are made, but neither is used without LEADERBOARDS.
        {"LOCAL_LEADERBOARDS SIMULATED_LEADERBOARDS", false, true, "-,-,-,-,-,-,-,-"},
        {"SIMULATED_CLOUD SIMULATED_SOCIAL", true, true,
         "Simulated,-,-,HostStatistic,-,Simulated,HostUGC,HostNotification"},
        // Without the makers the built-in modules make nothing of their kind.
        {"LEADERBOARDS LOCAL_LEADERBOARDS SIMULATED_CLOUD", true, false,
         "HostCloud,HostLeaderboards,-,HostStatistic,-,HostSocial,HostUGC,HostNotification"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.features) + (c.host ? " with host" : "") + (c.built_in ? " built-in" : ""));
        PlugIn(c.built_in);
        if (c.host) {
            TestModule* host = new TestModule("Host");
            host->OfferEverything();
            ZK_RegisterExtensionModule(host);
        }
        Start(c.features);
        EXPECT_EQ(ChosenNames(), c.chosen);
        EXPECT_EQ(FoundNames(), c.chosen);
        EXPECT_EQ(AllImplementations(), WithoutNone(c.chosen));
        ResetServices();
    }
}

TEST_F(ExtensionModulesTest, StartUpRegistersInitialisesResolvesAndInitialisesTheChosenInOrder) {
    TestModule* host = new TestModule("Host");
    host->Offer(new TestCloud("HostCloud"));
    host->Offer(new TestLeaderboards("HostBoards"));
    host->Offer(new TestNotifications("HostNotes"));
    ZK_RegisterExtensionModule(host);
    Start("LEADERBOARDS REGISTER_FOR_LOCAL_NOTIFICATIONS_ON_LAUNCH");
    const std::vector<std::string> expected_lines = {
        "info: Registering extension module 'Host'.",
        "info: Registering extension module 'Local Fallbacks'.",
        "info: Registering extension module 'Simulation'.",
        "system: Initializing extension module 'Simulation'...",
        "system: Initializing extension module 'Local Fallbacks'...",
        "system: Initializing extension module 'Host'...",
        "system: Resolving implementations inside extensions modules...",
        "system: Using Cloud implementation from module 'Host'",
        "info: Using Leaderboards implementation from module 'Host'",
        "info: Using Notification implementation from module 'Host'",
        "system: Initializing resolved implementations inside extensions modules...",
        "system: Initializing Cloud implementation 'HostCloud'...",
        "system: Initializing Leaderboards implementation 'HostBoards'...",
        "system: Initializing Notification implementation 'HostNotes'...",
    };
    EXPECT_EQ(Lines(), expected_lines);
    const std::vector<std::string> expected_calls = {"Initialize Host", "Initialize HostCloud",
                                                     "Initialize HostBoards", "Initialize HostNotes",
                                                     "RegisterForNotifications"};
    EXPECT_EQ(Calls(), expected_calls);
    EXPECT_EQ(host->initialized_with, zk);
}

TEST_F(ExtensionModulesTest, NotificationsAreRegisteredAtLaunchOnlyWhenAskedFor) {
    TestModule* host = new TestModule("Host");
    host->Offer(new TestNotifications("HostNotes"));
    ZK_RegisterExtensionModule(host);
    Start("");
    EXPECT_EQ(Calls(), (std::vector<std::string>{"Initialize Host", "Initialize HostNotes"}));
}

TEST_F(ExtensionModulesTest, AModuleThatFailsToInitialiseIsWarnedAboutAndStillSupplies) {
    TestModule* host = new TestModule("Broken");
    host->Offer(new TestCloud("BrokenCloud"));
    host->initialize_answer = false;
    ZK_RegisterExtensionModule(host);
    Start("");
    EXPECT_EQ(CountLogged("popup warning: Failed to initialize extension 'Broken'"), 1);
    EXPECT_EQ(ChosenNames(), "BrokenCloud,-,-,-,-,-,-,-");
}

TEST_F(ExtensionModulesTest, TheModuleRegisteredLastIsAskedFirst) {
    TestModule* older = new TestModule("Older");
    older->Offer(new TestCloud("OlderCloud"));
    older->Offer(new TestSocial("OlderSocial"));
    ZK_RegisterExtensionModule(older);
    Start("");
    TestModule* newer = new TestModule("Newer");
    newer->Offer(new TestCloud("NewerCloud"));
    ResolveWithFirst(newer);
    EXPECT_EQ(ChosenNames(), "NewerCloud,-,-,-,-,OlderSocial,-,-");
    EXPECT_EQ(AllImplementations(), "NewerCloud,OlderSocial");
    ZK_RegisterExtensionModuleFromDynamicLinkLibrary("libmodule.so");
    EXPECT_EQ(zk_extension_implementations.count, 4);
}

TEST_F(ExtensionModulesTest, TheInAppPurchaseFallbackIsAvailableAndNeverAnswers) {
    Start("IN_APP_PURCHASES");
    InAppPurchaseImplementation* fallback = zk_in_app_purchase_implementation;
    ASSERT_NE(fallback, nullptr);
    EXPECT_STREQ(fallback->GetName(), "Fallback");
    EXPECT_EQ(fallback->GetInterfaceType(), BaseImplementation::IAP);
    EXPECT_TRUE(fallback->IsAvailable());
    EXPECT_FALSE(fallback->ShowPurchaseProgress());
    fallback->PurchaseItem("coins");
    fallback->RequestItemData("coins");
    fallback->RestorePurchases();
    ZKI_ProcessEventQueue();
    EXPECT_TRUE(ReceivedEvents().empty());
}

TEST_F(ExtensionModulesTest, TheFrameAdvancesModulesThenTheChosenImplementations) {
    TestModule* host = new TestModule("Host");
    host->Offer(new TestCloud("HostCloud"));
    host->Offer(new TestSocial("HostSocial"));
    ZK_RegisterExtensionModule(host);
    Start("");
    Calls().clear();
    ZK_UpdateExtensionModules(0.25f);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"Update Host 0.25", "Update HostCloud", "Update HostSocial"}));
    EXPECT_FALSE(ZK_ShouldPauseFrameTimeBecauseOfExtension());
    host->pause = true;
    EXPECT_TRUE(ZK_ShouldPauseFrameTimeBecauseOfExtension());
}

// Pre-initialisation run again without a shutdown starts the modules
// again: the first start's modules are let go of, not stacked under a
// second set.
TEST_F(ExtensionModulesTest, ASecondStartWithoutShutdownLetsGoOfTheFirstStartsModules) {
    PlugInBuiltInImplementations();
    TestModule* host = new TestModule("Host");
    host->Offer(new TestCloud("HostCloud"));
    ZK_RegisterExtensionModule(host);
    Start("LEADERBOARDS LOCAL_LEADERBOARDS");
    Calls().clear();
    Start("LEADERBOARDS LOCAL_LEADERBOARDS");
    EXPECT_EQ(Calls().front(), "Shutdown Host");
    EXPECT_EQ(zk_extension_implementations.count, 2);
    EXPECT_EQ(ChosenNames(), "-,LocalDatabase,-,-,-,-,-,-");
}

TEST_F(ExtensionModulesTest, TheSimulationModuleNamesThePlayerOnlyWithSimulatedLeaderboards) {
    struct Case {
        const char* features;
        bool built_in;
        const char* name;
        const char* answer;
    } cases[] = {
        {"SIMULATED_LEADERBOARDS", true, "GetPlayerOnlineID", "SimulatedPlayer"},
        {"SIMULATED_LEADERBOARDS", true, nullptr, nullptr},
        {"SIMULATED_LEADERBOARDS", true, "GetPlayerName", nullptr},
        {"SIMULATED_LEADERBOARDS", false, "GetPlayerOnlineID", nullptr},
        {"SIMULATED_CLOUD", true, "GetPlayerOnlineID", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.features) + " " + Text(c.name));
        PlugIn(c.built_in);
        Start(c.features);
        EXPECT_STREQ(ZK_CallExtensionModuleExtension(c.name, nullptr), c.answer);
        ResetServices();
    }
}

// The engine's own local and simulated implementations, as the built-in
// modules make them: the simulated leaderboards win over the local ones.
TEST_F(ExtensionModulesTest, TheBuiltInModulesMakeTheEnginesOwnImplementations) {
    struct Case {
        const char* features;
        const char* chosen;
        bool simulated_leaderboards;
    } cases[] = {
        {"LEADERBOARDS LOCAL_LEADERBOARDS SIMULATED_LEADERBOARDS SIMULATED_CLOUD SIMULATED_SOCIAL",
         "Simulated,Simulated,-,-,-,Simulated,-,-", true},
        {"LEADERBOARDS LOCAL_LEADERBOARDS", "-,LocalDatabase,-,-,-,-,-,-", false},
    };
    SetCategories({{"Coins", nullptr}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.features);
        Start(c.features);
        EXPECT_EQ(ChosenNames(), c.chosen);
        EXPECT_EQ(dynamic_cast<SimulatedLeaderboardsImplementation*>(zk_leaderboards_implementation) != nullptr,
                  c.simulated_leaderboards);
        EXPECT_EQ(dynamic_cast<LocalLeaderboardsImplementation*>(zk_leaderboards_implementation) != nullptr,
                  !c.simulated_leaderboards);
        EXPECT_STREQ(ZK_CallExtensionModuleExtension("GetPlayerOnlineID", nullptr),
                     c.simulated_leaderboards ? "SimulatedPlayer" : nullptr);
        ResetServices();
    }
    zk_dman.ReleaseDatabase(ZK_LOCAL_LEADERBOARDS_PATH);
}

void NoQuad(zk_vertex_format_t, void*) {}

TEST_F(ExtensionModulesTest, TheExtensionInterfaceCarriesTheMediaLayersDrawQuad) {
    zk_extension_api.ZK_DrawQuad = NoQuad;
    zk_extension_api_t* api = ZKIE_GetExtensionInterface();
    EXPECT_EQ(api, zk->ext);
    EXPECT_EQ(api->ZK_DrawQuad, ZK_DrawQuad);
}

TEST(InterfaceTypeNames, EveryTypeHasItsDisplayName) {
    const char* const names[] = {"Null", "Cloud", "Leaderboards", "Achievement", "IAP",
                                 "Social", "UGC", "Notification", "Statistic", "Unknown"};
    for (int type = 0; type <= 9; ++type) EXPECT_STREQ(InterfaceTypeName(type), names[type]) << type;
    EXPECT_STREQ(InterfaceTypeName(-1), "Unknown");
}

}  // namespace
}  // namespace services_test
