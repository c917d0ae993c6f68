// Package lists, their conditions and the graphics-package choice.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/app/tests/startup_test_support.h"
#include "engine/storage/packages.h"

namespace {

std::vector<std::string> added;
std::vector<bool> added_flags;
std::vector<std::string> removed;
std::vector<std::string> existing;

void RecordAdd(const char* path, bool flag) {
    added.push_back(path);
    added_flags.push_back(flag);
}
void RecordRemove(const char* path) { removed.push_back(path); }
bool Exists(const char* path) {
    for (const std::string& p : existing)
        if (p == path) return true;
    return false;
}

class PackagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetUpEngineForTest();
        saved_ = *zk->file_system;
        zk->file_system->ZK_FileSystem_AddSearchPath = RecordAdd;
        zk->file_system->ZK_FileSystem_RemoveSearchPath = RecordRemove;
        zk->file_system->ZK_FileSystem_SearchPathExists = Exists;
        added.clear();
        added_flags.clear();
        removed.clear();
        existing.clear();
        SetProgramSize(1024, 768);
    }
    void TearDown() override {
        *zk->file_system = saved_;
        StopKeepingPrintedLines();
    }
    static void SetProgramSize(int width, int height) {
        zk_state.prog->parms.width = width;
        zk_state.prog->parms.height = height;
    }

    zk_file_system_api_t saved_;
};

TEST_F(PackagesTest, ListItems) {
    struct Case {
        const char* list;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"base,extra,music", {"res://base", "res://extra", "res://music"}},
        {"base,,extra,", {"res://base", "res://extra"}},
        {"a,bb", {"res://bb"}},
        {"", {}},
        {"@open:always,@never:skipped,@open", {"res://always"}},
        {"@open:x", {}},
        {"sounds.pak,gfx.pak.pak", {"res://sounds", "res://gfx"}},
    };
    for (const Case& c : cases) {
        added.clear();
        ZKI_AddPackages(c.list, true);
        EXPECT_EQ(added, c.expected) << c.list;
    }
    added.clear();
    ZKI_AddPackages(nullptr, true);
    EXPECT_TRUE(added.empty());
}

TEST_F(PackagesTest, ConditionsAgainstTheProgramSize) {
    struct Case {
        const char* condition;
        int width, height;
        bool holds;
    };
    const Case cases[] = {
        {"res>=1024x*", 1024, 100, true},   {"res>=1024x*", 1023, 5000, false},
        {"res=1024x768", 1024, 768, true},  {"res1024x768", 1024, 768, true},
        {"res==1024x768", 1024, 700, false}, {"res<=800x600", 800, 600, true},
        {"res<=800x600", 801, 600, false},  {"res>1000x*", 1024, 768, true},
        {"res<1000x*", 1024, 768, false},   {"res=*x768", 9, 768, true},
        {"res>=640", 1024, 768, true},      {"res=1024", 1024, 768, false},  // a missing height compares as 0
        {"resolution=768x1024", 1024, 768, true}, {"resolution=768x1024", 768, 1024, true},
        {"resolution768x1024", 768, 1024, true},  {"resolution=768x1024", 768, 768, false},
        {"open", 1, 1, true},               {"opening", 1, 1, true},
        {"nothing", 1024, 768, false},      {"", 1024, 768, false},
    };
    for (const Case& c : cases) {
        SetProgramSize(c.width, c.height);
        EXPECT_EQ(ZKI_PackageConditionHolds(c.condition), c.holds)
            << c.condition << " for " << c.width << "x" << c.height;
    }
}

TEST_F(PackagesTest, SingleComparisonSignWarnsAndActsAsOrEqual) {
    KeepPrintedLines(1);
    SetProgramSize(1024, 768);
    EXPECT_TRUE(ZKI_PackageConditionHolds("res>1024x768"));
    EXPECT_TRUE(WasPrinted(
        "[WARNING] [POPUP] prog.xml: res comparison needs to be ==, >=, or <=. 'res>1024x768' is not supported."));
}

TEST_F(PackagesTest, FeatureCondition) {
    zk_state.product_feature_lists[0] = "HD_ART";
    ZKI_AddPackages("@feature=HD_ART:hd,@feature=SD_ART:sd", false);
    EXPECT_EQ(added, std::vector<std::string>{"res://hd"});
    EXPECT_EQ(added_flags, std::vector<bool>{false});
}

TEST_F(PackagesTest, AtMostThirtyTwoItemsAndLongItemsEndTheList) {
    std::string list;
    for (int i = 0; i < 40; ++i) list += (i ? "," : "") + std::string("p") + std::to_string(i);
    ZKI_AddPackages(list.c_str(), true);
    ASSERT_EQ(added.size(), 32u);
    EXPECT_EQ(added.back(), "res://p31");

    added.clear();
    std::string with_long = "first," + std::string(512, 'x') + ",after";
    ZKI_AddPackages(with_long.c_str(), true);
    EXPECT_EQ(added, std::vector<std::string>{"res://first"});
    added.clear();
    std::string just_fits = std::string(511, 'y') + ",after";
    ZKI_AddPackages(just_fits.c_str(), true);
    EXPECT_EQ(added.size(), 2u);
}

TEST_F(PackagesTest, RemovingAListRemovesOnlyExistingSearchPaths) {
    existing = {"res://base", "res://hd"};
    ZKI_RemoveResourcePackages(nString("base,@feature=NONE:hd,@broken,missing,,after"));
    EXPECT_EQ(removed, (std::vector<std::string>{"res://base", "res://hd"}));
}

TEST_F(PackagesTest, GraphicsPackageChoice) {
    struct Case {
        const char* candidates;
        int height;
        int source_height;
        const char* chosen;  // null: none
    };
    const Case cases[] = {
        {"gfx_480,gfx_720,gfx_1080", 700, 1080, "res://gfx_720"},
        {"gfx_480,gfx_720,gfx_1080", 700, 720, nullptr},
        {"gfx_480,gfx_720,gfx_1080", 1100, 0, "res://gfx_1080"},
        {"a-600,b_800", 700, 0, "res://a-600"},   // a tie keeps the earlier
        {"retina,900,gfx_x", 890, 100, "res://900"},
        {"gfx_0,gfx_none", 700, 0, nullptr},
        {"gfx_-5", 700, 0, "res://gfx_-5"},  // the number after the last dash
    };
    for (const Case& c : cases) {
        added.clear();
        zk_state.package_paths[2] = c.candidates;
        zk_state.prog->parms.height = c.height;
        zk_state.prog->parms.ref_height = c.source_height;
        ZKI_SelectGFXPackage();
        if (c.chosen) {
            EXPECT_EQ(added, std::vector<std::string>{c.chosen}) << c.candidates << " at " << c.height;
        } else {
            EXPECT_TRUE(added.empty()) << c.candidates << " at " << c.height;
        }
    }
}

TEST_F(PackagesTest, GraphicsCandidatesAreUnmountedFirst) {
    existing = {"res://gfx_480"};
    zk_state.package_paths[2] = "gfx_480,gfx_720";
    zk_state.prog->parms.height = 720;
    zk_state.prog->parms.ref_height = 0;
    ZKI_SelectGFXPackage();
    EXPECT_EQ(removed, std::vector<std::string>{"res://gfx_480"});
    EXPECT_EQ(added, std::vector<std::string>{"res://gfx_720"});
}

TEST_F(PackagesTest, SecondPassAddsListsInOrderWithTheirFlags) {
    for (int i = 0; i < 6; ++i) zk_state.package_paths[i] = nString::Format("list%d", i);
    zk_state.package_paths[2] = "";
    ZKI_AddPackagesDefinedInProgramParameters();
    EXPECT_EQ(added, (std::vector<std::string>{"res://list0", "res://list1", "res://list3", "res://list4", "res://list5"}));
    EXPECT_EQ(added_flags, (std::vector<bool>{true, true, true, true, false}));
}

TEST_F(PackagesTest, Comparisons) {
    EXPECT_TRUE(ZKI_Compare(3, ZK_COMPARE_EQUAL, 3));
    EXPECT_TRUE(ZKI_Compare(4, ZK_COMPARE_GREATER, 3));
    EXPECT_FALSE(ZKI_Compare(3, ZK_COMPARE_GREATER, 3));
    EXPECT_TRUE(ZKI_Compare(3, ZK_COMPARE_GREATER_OR_EQUAL, 3));
    EXPECT_TRUE(ZKI_Compare(2, ZK_COMPARE_LESS, 3));
    EXPECT_TRUE(ZKI_Compare(3, ZK_COMPARE_LESS_OR_EQUAL, 3));
    EXPECT_FALSE(ZKI_Compare(3, static_cast<zk_ComparisonMode>(9), 3));
}

}  // namespace
