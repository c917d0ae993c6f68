// Product values, developer values and the settings check.

#include <gtest/gtest.h>

#include "engine/app/tests/startup_test_support.h"
#include "engine/runtime/interface_functions.h"
#include "engine/storage/database_manager.h"
#include "engine/datamodel/datamodel.h"
#include "engine/storage/filesystem.h"
#include "engine/storage/settings.h"

namespace {

using InnerZK::DMArray;
using InnerZK::DMDatabase;
using InnerZK::DMNode;

// Appends a node even when one with the same id exists (as a file can).
DMNode* AppendNode(DMArray* array, const char* id) {
    DMNode* node = new DMNode(id);
    node->parent = array;
    array->nodes.InsertLast(node);
    return node;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetUpEngineForTest();
        zk_dman.ReleaseDatabase(PLATFORM_PARAMETERS_FILENAME);
        zk_dman.ReleaseDatabase(DEVELOPER_PARAMETERS_FILENAME);
        settings_ = zk_dman.CreateDatabase(PLATFORM_PARAMETERS_FILENAME);
    }
    void TearDown() override {
        StopKeepingPrintedLines();
        zk_dman.ReleaseDatabase(PLATFORM_PARAMETERS_FILENAME);
        zk_dman.ReleaseDatabase(DEVELOPER_PARAMETERS_FILENAME);
        zk_state.platform_name = nullptr;
    }
    // "VARIANTS" with a MAC and an IOS node, "PARAMETERS"/"APPLICATION".
    void FillSettings() {
        DMArray* variants = settings_->AddArray("VARIANTS");
        DMNode* mac = variants->AddNode("MAC");
        mac->SetValue("store", "mac-store");
        mac->AppendValue("empty", nullptr);
        variants->AddNode("IOS")->SetValue("only_ios", "ios");
        DMNode* application = settings_->AddArray("PARAMETERS")->AddNode("APPLICATION");
        application->SetValue("store", "default-store");
        application->SetValue("empty", "default-empty");
        application->SetValue("iap_id", "com.example");
    }

    DMDatabase* settings_ = nullptr;
};

TEST_F(SettingsTest, ProductValuesPreferThePlatformVariant) {
    FillSettings();
    zk_state.platform_name = "MAC";
    struct Case {
        const char* name;
        const char* value;  // null: none
    };
    const Case cases[] = {
        {"store", "mac-store"},
        {"empty", "default-empty"},  // present but null in the variant
        {"iap_id", "com.example"},
        {"only_ios", nullptr},        // another platform's value is not seen
        {"missing", nullptr},
    };
    for (const Case& c : cases) {
        const char* value = ZK_GetProductValue(c.name);
        if (c.value)
            EXPECT_STREQ(value, c.value) << c.name;
        else
            EXPECT_EQ(value, nullptr) << c.name;
    }
    EXPECT_EQ(ZK_GetProductValue(nullptr), nullptr);
    EXPECT_STREQ(ZK_CallExtension("GetProductValue", "store"), "mac-store");
}

TEST_F(SettingsTest, MissingPlatformIsReportedWithAPlaceholderAndFallsBack) {
    FillSettings();
    KeepPrintedLines(2);
    EXPECT_STREQ(ZKI_GetProductValue("store"), "default-store");
    EXPECT_TRUE(WasPrinted("[ERROR] [POPUP] Missing platform variant '<null>' in 'res://prog.xml'."));
    zk_state.platform_name = "ANDROID";
    EXPECT_STREQ(ZKI_GetProductValue("store"), "default-store");
    EXPECT_TRUE(WasPrinted("[ERROR] [POPUP] Missing platform variant 'ANDROID' in 'res://prog.xml'."));
}

TEST_F(SettingsTest, WithoutVariantsEveryValueIsMissingAndNothingIsSaid) {
    settings_->AddArray("PARAMETERS")->AddNode("APPLICATION")->SetValue("store", "default-store");
    KeepPrintedLines(0);
    EXPECT_EQ(ZKI_GetProductValue("store"), nullptr);
    EXPECT_TRUE(KeptLines().empty());
}

TEST_F(SettingsTest, DeveloperValues) {
    DMDatabase* developer = zk_dman.CreateDatabase(DEVELOPER_PARAMETERS_FILENAME);
    DMNode* node = developer->AddArray("PARAMETERS")->AddNode("DEVELOPER");
    node->SetValue("debug_shaders", "true");
    node->AppendValue("debug_shaders", "second");
    EXPECT_STREQ(ZKI_GetDeveloperValue("debug_shaders"), "true");
    EXPECT_EQ(ZKI_GetDeveloperValue("other"), nullptr);
    EXPECT_EQ(ZKI_GetDeveloperValue(nullptr), nullptr);
    developer->GetArrayById("PARAMETERS")->GetNodeById("DEVELOPER")->SetId("SOMEONE");
    EXPECT_EQ(ZKI_GetDeveloperValue("debug_shaders"), nullptr);
}

TEST_F(SettingsTest, ValidationReportsDuplicateNodesAndKeys) {
    DMArray* array = settings_->AddArray("PARAMETERS");
    for (int i = 0; i < 3; ++i) AppendNode(array, "SAME");
    DMNode* node = array->AddNode("KEYS");
    node->AppendValue("a", "1");
    node->AppendValue("a", "2");
    node->AppendValue("b", "3");
    AppendNode(array, nullptr);
    AppendNode(array, nullptr);  // nodes without ids are never the same
    KeepPrintedLines(1);
    ZKI_ValidateConfigurationArray(array);
    int same = 0;
    for (const std::string& line : KeptLines())
        if (line == "[WARNING] [POPUP] Array 'PARAMETERS' contains two nodes with id 'SAME'.") ++same;
    EXPECT_EQ(same, 3);
    EXPECT_TRUE(WasPrinted("[WARNING] [POPUP] Node 'KEYS' contains duplicate parameters with id 'a'."));
    EXPECT_EQ(KeptLines().size(), 4u);
    ZKI_ValidateConfigurationArray(nullptr);
}

TEST_F(SettingsTest, ValidationRunsOnlyInDeveloperMode) {
    DMArray* array = settings_->AddArray("PARAMETERS");
    AppendNode(array, "SAME");
    AppendNode(array, "SAME");
    KeepPrintedLines(1);
    // Developer-mode popups reach the console once a program is installed.
    zk_state.prog_initialized = 1;
    ZKI_ValidateConfigurationArrays();
    EXPECT_TRUE(KeptLines().empty());
    zk_state.developer_mode = 1;
    ZKI_ValidateConfigurationArrays();
    EXPECT_TRUE(WasPrinted("[WARNING] [POPUP] Array 'PARAMETERS' contains two nodes with id 'SAME'."));
    zk_state.developer_mode = 0;
    ZKI_ResetPopupHistory();
}

TEST_F(SettingsTest, AnIdWrittenTwiceIsADuplicateParameter) {
    DMDatabase database;
    const char* root = getenv("ZK_SOURCE_DIR");
    std::string path = std::string(root ? root : ".") + "/tests/data/startup/prog_duplicates.xml";
    ZKFileSystem::Deinitialize();
    ZKFileSystem::Initialize();
    ASSERT_TRUE(database.LoadXML(path.c_str()));
    KeepPrintedLines(1);
    ZKI_ValidateConfigurationArray(database.GetArrayById("PARAMETERS"));
    EXPECT_TRUE(WasPrinted("[WARNING] [POPUP] Node 'APPLICATION' contains duplicate parameters with id 'id'."));
}

}  // namespace
