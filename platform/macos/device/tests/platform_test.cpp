// The platform layer as this program carries it.

#include <gtest/gtest.h>

#include "platform/macos/device/platform.h"

namespace {

TEST(PlatformPopup, ShowsNothingAnswersFourAndRecordsTheText) {
    ZKD_ResetPopupRecord();
    EXPECT_EQ(ZKD_Popup(2, "first"), 4);
    EXPECT_EQ(ZKD_Popup(1, nullptr), 4);
    EXPECT_EQ(ZKD_GetNumberOfPopups(), 2);
    EXPECT_EQ(ZKD_GetLastPopupType(), 1);
    EXPECT_STREQ(ZKD_GetLastPopupText(), "");
    ZKD_ResetPopupRecord();
    EXPECT_EQ(ZKD_GetNumberOfPopups(), 0);
}

TEST(PlatformCursor, HidesOnceAndShowsAgain) {
    struct Step {
        const char* name;
        int result;
        bool hidden;
    } steps[] = {
        {"arrow", 0, false}, // shown already: the hidden flag
        {nullptr, 0, true},  // hides: the display call's status
        {nullptr, 1, true},  // hidden already: the hidden flag
        {"arrow", 0, false}, // shows again
    };
    for (const Step& step : steps) {
        EXPECT_EQ(ZKD_SetCursor(step.name), step.result) << (step.name ? step.name : "null");
        EXPECT_EQ(ZKD_IsCursorHidden(), step.hidden);
    }
}

}  // namespace
