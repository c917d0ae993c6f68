// The services through the engine's own entry points: the extension call
// asks the service names first and opens the test dialog for a program in
// developer mode; shutdown destroys the modules and their implementations,
// and a start after it begins afresh.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "engine/app/startup.h"
#include "engine/runtime/interface_functions.h"
#include "engine/services/extension_mapping.h"
#include "engine/services/tests/extension_mapping_fixture.h"
#include "engine/storage/filesystem.h"

namespace services_test {
namespace {

TEST_F(ExtensionMappingTest, TheEnginesExtensionCallAsksTheServiceNamesFirst) {
    TestModule* host = new TestModule("Host");
    host->extension_answer = "FROM_MODULE";
    ZK_RegisterExtensionModule(host);
    Start("IN_APP_PURCHASES");
    EXPECT_STREQ(zk->ZK_CallExtension("IAP_IsAvailable", nullptr), "YES");
    EXPECT_STREQ(zk->ZK_CallExtension("GetPlayerOnlineID", nullptr), "FROM_MODULE");
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

TEST_F(ServicesTest, ShutdownForgetsEveryChosenImplementationAndAStartAfterItBeginsAfresh) {
    TestModule* host = new TestModule("Host");
    host->OfferEverything();
    ZK_RegisterExtensionModule(host);
    Start("LEADERBOARDS ACHIEVEMENTS IN_APP_PURCHASES");
    ASSERT_EQ(zk_all_implementations.count, 8);
    Calls().clear();
    ZEKAR_Shutdown();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"Shutdown Host", "destroyed Host"}));
    EXPECT_EQ(ChosenNames(), "-,-,-,-,-,-,-,-");
    EXPECT_EQ(zk_all_implementations.count, 0);
    EXPECT_EQ(zk_extension_implementations.count, 0);
    // Nothing reaches what was destroyed: the update walks empty lists and
    // the fronts answer as without a service.
    Calls().clear();
    ZK_UpdateExtensionModules(0.5f);
    EXPECT_FALSE(ZK_ShouldPauseFrameTimeBecauseOfExtension());
    EXPECT_FALSE(zk->cloud->ZK_Cloud_IsAvailable());
    EXPECT_EQ(zk->leaderboards->ZK_GetMaximumNumberOfScoresPerRequest(), 30);
    EXPECT_TRUE(Calls().empty());

    TestModule* next = new TestModule("Next");
    next->Offer(new TestCloud("NextCloud"));
    ZK_RegisterExtensionModule(next);
    Start("");
    EXPECT_EQ(ChosenNames(), "NextCloud,-,-,-,-,-,-,-");
    EXPECT_EQ(zk_extension_implementations.count, 3);
}

}  // namespace
}  // namespace services_test
