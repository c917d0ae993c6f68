// Device functions of the macOS layer as this program carries them.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <string>

#include "engine/runtime/log.h"
#include "engine/runtime/state.h"
#include "platform/macos/device/device.h"

namespace {

TEST(LanguageFromCode, MapsPreferredLanguageCodes) {
    struct Case {
        const char* code;
        const char* language;
    };
    const Case cases[] = {
        {"en-GB", "en"},   {"pt-BR", "pt-BR"}, {"zh-Hans", "zh-CN"}, {"zh", "zh-CN"},  {"pt-PT", "pt"},
        {"fr", "fr"},      {"", ""},           {"-x", ""},           {"zh-", "zh-CN"}, {"pt-BR-x", "pt"},
        {"zhx-TW", "zhx"},
    };
    for (const Case& c : cases) EXPECT_STREQ(ZKD_LanguageFromCode(c.code).c_str(), c.language) << c.code;
    EXPECT_EQ(ZKD_LanguageFromCode(nullptr).GetText(), nullptr);
    EXPECT_EQ(ZKD_LanguageFromCode(std::string(1023, 'a').c_str()).GetText(), nullptr);
    EXPECT_EQ(ZKD_LanguageFromCode(std::string(1022, 'a').c_str()).Length(), 1022);
}

// Sets the three locale variables for one test and restores them after.
class LocaleEnvironment : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            const char* value = getenv(kNames[i]);
            had_[i] = value != nullptr;
            saved_[i] = value ? value : "";
        }
    }
    void TearDown() override {
        for (int i = 0; i < 3; ++i) {
            if (had_[i])
                setenv(kNames[i], saved_[i].c_str(), 1);
            else
                unsetenv(kNames[i]);
        }
    }
    static void Set(const char* all, const char* messages, const char* lang) {
        const char* values[3] = {all, messages, lang};
        for (int i = 0; i < 3; ++i) {
            if (values[i])
                setenv(kNames[i], values[i], 1);
            else
                unsetenv(kNames[i]);
        }
    }
    static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    bool had_[3] = {};
    std::string saved_[3];
};

TEST_F(LocaleEnvironment, PreferredLanguageFromTheLocaleVariables) {
    struct Case {
        const char* all;
        const char* messages;
        const char* lang;
        const char* language;
    };
    const Case cases[] = {
        {nullptr, nullptr, "en_GB.UTF-8", "en"},
        {nullptr, nullptr, "pt_BR.UTF-8", "pt-BR"},
        {nullptr, "zh_TW.UTF-8", "en_US.UTF-8", "zh-CN"},
        {"fr_FR@euro", "de_DE", "en_US", "fr"},
        {"", "", "de", "de"},
        {nullptr, nullptr, "C", ""},
        {"POSIX", nullptr, "en_US", ""},
        {nullptr, nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        Set(c.all, c.messages, c.lang);
        EXPECT_STREQ(ZK_OSX_GetLanguage().c_str(), c.language)
            << (c.all ? c.all : "-") << " " << (c.messages ? c.messages : "-") << " " << (c.lang ? c.lang : "-");
    }
}

TEST_F(LocaleEnvironment, LanguageAnswerIsCutAt31Characters) {
    std::string longest(40, 'q');
    Set(longest.c_str(), nullptr, nullptr);
    const char* answer = ZKD_CallExtension("GetLanguage", nullptr);
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(std::string(answer), std::string(31, 'q'));
    Set(nullptr, nullptr, "C");
    EXPECT_STREQ(ZKD_CallExtension("GetLanguage", nullptr), "");
    EXPECT_EQ(ZKD_CallExtension("Unknown", nullptr), nullptr);
    EXPECT_EQ(ZKD_CallExtension(nullptr, nullptr), nullptr);
}

TEST(DeviceInfo, NoScreenUnlessATestSetsOne) {
    zk_device_info_t info;
    info.screen_width = 99;
    info.fixed_resolution = 1;
    ZKD_SetScreenForTesting(0, 0, 1.0f);
    ZKID_DetermineDeviceInfo(&info);
    EXPECT_EQ(info.desktop_width, 0);
    EXPECT_EQ(info.desktop_height, 0);
    EXPECT_EQ(info.fixed_resolution, 0);
    EXPECT_FLOAT_EQ(best_screen_scale, 1.0f);

    ZKD_SetScreenForTesting(2880, 1800, 2.0f);
    info.screen_width = 640;  // only the first call clears the device screen size
    ZKID_DetermineDeviceInfo(&info);
    EXPECT_EQ(info.desktop_width, 2880);
    EXPECT_EQ(info.desktop_height, 1800);
    EXPECT_EQ(info.screen_width, 640);
    EXPECT_FLOAT_EQ(best_screen_scale, 2.0f);
    ZKD_SetScreenForTesting(0, 0, 1.0f);
}

// Window sizes in points are divided by the scale: a screen that reports
// none must not leave a scale of 0 behind.
TEST(DeviceInfo, AScreenWithoutAScaleMeasuresAsScaleOne) {
    struct Case {
        float reported;
        float measured;
    } cases[] = {{0.0f, 1.0f}, {-2.0f, 1.0f}, {std::nanf(""), 1.0f}, {2.0f, 2.0f}, {1.5f, 1.5f}};
    for (const Case& c : cases) {
        ZKD_SetScreenForTesting(1280, 800, c.reported);
        best_screen_scale = 7.0f;
        ZKD_DetermineBestScreenDimensions();
        EXPECT_FLOAT_EQ(best_screen_scale, c.measured) << c.reported;
        EXPECT_EQ(best_screen_width, 1280);
        EXPECT_EQ(ZK_OSX_GetDesktopHeight(), 800);
        EXPECT_FLOAT_EQ(best_screen_scale, c.measured) << c.reported;
    }
    ZKD_SetScreenForTesting(0, 0, 1.0f);
}

TEST(Cursors, InitClearsTheCursorTable) {
    zk_state.cursors[0] = 7;
    zk_state.cursors[ZK_CURSOR_BLOCK_SIZE - 1] = 9;
    ZKID_InitCursors();
    EXPECT_EQ(zk_state.cursors[0], 0);
    EXPECT_EQ(zk_state.cursors[ZK_CURSOR_BLOCK_SIZE - 1], 0);
}

}  // namespace
