// Input of the windowed layer: key codes and typed characters as engine
// keys, the modifier keys, the dispatch of the platform's events and the
// conversion of mouse positions to the program's screen.

#include <cmath>
#include <string>
#include <vector>

#include "platform/macos/app/cocoa.h"
#include "platform/macos/app/input.h"
#include "platform/macos/app/keys.h"
#include "platform/macos/app/tests/app_test_support.h"

namespace macos_app_test {
namespace {

typedef std::vector<std::string> Words;

TEST(KeyTable, VirtualKeyCodesBecomeEngineKeys) {
    struct Case {
        int code;
        int key;
    } cases[] = {
        {0, 65},    {6, 90},    {11, 66},   {29, 48},  {25, 57},  {36, 13},  {48, 9},   {49, 32},
        {53, 27},   {51, 46},   // backspace is reported as the Delete key
        {56, 16},   {60, 16},   {58, 18},   {61, 18},  {59, 17},  {62, 17},  {122, 112}, {109, 121},
        {103, 122}, {111, 123}, {64, 128},  {90, 131}, {82, 96},  {92, 105}, {115, 36}, {116, 33},
        {119, 35},  {121, 34},  {123, 37},  {124, 39}, {125, 40}, {126, 38}, {114, 47},
        {10, 0},    {24, 0},    {55, 0},    {57, 0},   {117, 0},  {127, 0},  {200, 0},  {65535, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZK_OSX_GetVirtualKeyCodeAsZKKey(static_cast<unsigned short>(c.code)), c.key) << c.code;
}

class MacInput : public WindowedLayerTest {
protected:
    void SetUp() override {
        WindowedLayerTest::SetUp();
        ShowWindow();
    }
    static zk_osx_event_t Event(int type, float x = 0, float y = 0) {
        zk_osx_event_t event;
        event.type = type;
        event.x = x;
        event.y = y;
        return event;
    }
    static zk_osx_event_t Key(int type, int code, int character = -1) {
        zk_osx_event_t event = Event(type);
        event.key_code = static_cast<unsigned short>(code);
        event.has_character = character >= 0;
        event.character = static_cast<unsigned short>(character < 0 ? 0 : character);
        return event;
    }
    static zk_osx_event_t Wheel(float delta, float x = 10, float y = 590) {
        zk_osx_event_t event = Event(ZK_OSX_EVENT_SCROLL_WHEEL, x, y);
        event.scroll_delta_y = delta;
        return event;
    }
};

TEST_F(MacInput, TypedCharactersBecomeEngineKeys) {
    struct Case {
        int character;
        int key;  // 0: nothing is sent
    } cases[] = {
        {'a', 65}, {'z', 90}, {'A', 65}, {'Z', 90}, {'0', 48}, {'9', 57},
        {ZK_OSX_CHAR_UP_ARROW, 38}, {ZK_OSX_CHAR_DOWN_ARROW, 40}, {ZK_OSX_CHAR_LEFT_ARROW, 37},
        {ZK_OSX_CHAR_RIGHT_ARROW, 39}, {ZK_OSX_CHAR_F1, 112}, {ZK_OSX_CHAR_F1 + 4, 116}, {ZK_OSX_CHAR_F10, 121},
        {ZK_OSX_CHAR_F10 + 1, 0},  // F11 has no key here
        {ZK_OSX_CHAR_INSERT, 45}, {ZK_OSX_CHAR_FORWARD_DELETE, 46}, {ZK_OSX_CHAR_HOME, 36}, {ZK_OSX_CHAR_END, 35},
        {ZK_OSX_CHAR_PAGE_UP, 33}, {ZK_OSX_CHAR_PAGE_DOWN, 34}, {'\r', 13}, {27, 27}, {' ', 32},
        {'*', 106}, {'+', 107}, {'-', 109}, {'/', 111}, {127, 8},
        {'\n', 0}, {'!', 0}, {'`', 0}, {'@', 0}, {'[', 0}, {'{', 0}, {0xE9, 0}, {0, 0},
    };
    for (const Case& c : cases) {
        ZK_OSX_SendConvertedKeyCharacterEvent(ZK_EVENT_KEY_DOWN, static_cast<unsigned short>(c.character));
        Words expected;
        if (c.key) expected.push_back("key down " + std::to_string(c.key));
        EXPECT_EQ(Delivered(), expected) << c.character;
    }
    ZK_OSX_SendConvertedKeyCharacterEvent(ZK_EVENT_KEY_UP, 'q');
    EXPECT_EQ(Delivered(), Words{"key up 81"});
}

TEST_F(MacInput, ModifierKeysGoDownAndUpByTheirFlags) {
    struct Case {
        int code;
        unsigned long flags;
        const char* sent;  // null: nothing
    } cases[] = {
        {56, ZK_OSX_FLAG_SHIFT, "key down 16"},   {56, 0, "key up 16"},
        {60, ZK_OSX_FLAG_SHIFT, "key down 16"},   {60, ZK_OSX_FLAG_CONTROL, "key up 16"},
        {58, ZK_OSX_FLAG_OPTION, "key down 18"},  {58, 0, "key up 18"},
        {61, ZK_OSX_FLAG_OPTION, "key down 18"},  {61, ZK_OSX_FLAG_SHIFT, "key up 18"},
        {59, ZK_OSX_FLAG_CONTROL, "key down 17"}, {59, ZK_OSX_FLAG_OPTION, "key up 17"},
        {62, ZK_OSX_FLAG_CONTROL, "key down 17"}, {62, 0, "key up 17"},
        {55, ZK_OSX_FLAG_COMMAND, nullptr},       {57, ZK_OSX_FLAG_CAPS_LOCK, nullptr},
        {0, ZK_OSX_FLAG_SHIFT, nullptr},
    };
    for (const Case& c : cases) {
        ZK_OSX_FlagsChanged(static_cast<unsigned short>(c.code), c.flags);
        EXPECT_EQ(Delivered(), c.sent ? Words{c.sent} : Words{}) << c.code << " " << c.flags;
    }
}

TEST_F(MacInput, ReleasingAModifierLeavesNothingOfItHeld) {
    zk_state.queue_input_events = 1;
    // Option down, then up: no key stays down.
    ZK_OSX_FlagsChanged(58, ZK_OSX_FLAG_OPTION);
    ZK_OSX_FlagsChanged(58, 0);
    EXPECT_EQ(Delivered(), (Words{"key down 18", "key up 18"}));
    for (int key : {16, 17, 18}) EXPECT_EQ(zk_state.key_states_i[key], 0) << key;

    // Control held while Option comes and goes: only Control stays down.
    ZK_OSX_FlagsChanged(59, ZK_OSX_FLAG_CONTROL);
    ZK_OSX_FlagsChanged(61, ZK_OSX_FLAG_CONTROL | ZK_OSX_FLAG_OPTION);
    ZK_OSX_FlagsChanged(61, ZK_OSX_FLAG_CONTROL);
    Delivered();
    EXPECT_EQ(zk_state.key_states_i[17], ZK_KEY_STATE_DOWN);
    EXPECT_EQ(zk_state.key_states_i[18], 0);
}

TEST_F(MacInput, EventsBecomeEngineEventsInsideTheProgramsScreen) {
    // Windowed at scale 1: a location (x, y) from the bottom left is the
    // pixel (x, 600 - y) of the program's 800 x 600 screen.
    struct Case {
        const char* what;
        zk_osx_event_t event;
        Words sent;
    } cases[] = {
        {"left down", Event(ZK_OSX_EVENT_LEFT_MOUSE_DOWN, 10, 590), {"button down 510 at 10,10 pointer 0 kind 2"}},
        {"left up", Event(ZK_OSX_EVENT_LEFT_MOUSE_UP, 799, 1), {"button up 510 at 799,599 pointer 0 kind 2"}},
        {"right down", Event(ZK_OSX_EVENT_RIGHT_MOUSE_DOWN, 0, 600), {"button down 511 at 0,0 pointer 0 kind 2"}},
        {"right up", Event(ZK_OSX_EVENT_RIGHT_MOUSE_UP, 400.7f, 300.2f), {"button up 511 at 400,299 pointer 0 kind 2"}},
        {"moved", Event(ZK_OSX_EVENT_MOUSE_MOVED, 20, 500), {"move at 20,100 pointer 0 kind 2"}},
        {"left dragged", Event(ZK_OSX_EVENT_LEFT_MOUSE_DRAGGED, 20, 500), {"move at 20,100 pointer 0 kind 2"}},
        {"right dragged", Event(ZK_OSX_EVENT_RIGHT_MOUSE_DRAGGED, 20, 500), {"move at 20,100 pointer 0 kind 2"}},
        {"other dragged", Event(ZK_OSX_EVENT_OTHER_MOUSE_DRAGGED, 20, 500), {"move at 20,100 pointer 0 kind 2"}},
        {"wheel notch", Wheel(1.0f), {"wheel 120 at 10,10"}},
        {"wheel back", Wheel(-2.5f), {"wheel -300 at 10,10"}},
        {"wheel fraction", Wheel(0.1f), {"wheel 12 at 10,10"}},
        {"wheel flick up", Wheel(1000.0f), {"wheel 32767 at 10,10"}},
        {"wheel flick down", Wheel(-1000.0f), {"wheel -32768 at 10,10"}},
        {"wheel of nothing", Wheel(std::nanf("")), {"wheel 0 at 10,10"}},
        {"key with character", Key(ZK_OSX_EVENT_KEY_DOWN, 0, 'a'), {"key down 65", "char 97"}},
        {"character cut to 7 bits", Key(ZK_OSX_EVENT_KEY_DOWN, 14, 0xE9), {"key down 69", "char 105"}},
        {"key without character", Key(ZK_OSX_EVENT_KEY_DOWN, 123), {"key down 37"}},
        {"key without engine key", Key(ZK_OSX_EVENT_KEY_DOWN, 24, '='), {}},
        {"key up", Key(ZK_OSX_EVENT_KEY_UP, 0, 'a'), {"key up 65"}},
        {"key up without engine key", Key(ZK_OSX_EVENT_KEY_UP, 24), {}},
        // Outside the program's screen.
        {"left of it", Event(ZK_OSX_EVENT_LEFT_MOUSE_DOWN, -1, 300), {}},
        {"right of it", Event(ZK_OSX_EVENT_RIGHT_MOUSE_UP, 800, 300), {}},
        {"below it", Event(ZK_OSX_EVENT_MOUSE_MOVED, 10, 0), {}},
        {"above it", Event(ZK_OSX_EVENT_LEFT_MOUSE_DRAGGED, 10, 601), {}},
        {"wheel outside", Wheel(1.0f, 900, 10), {}},
        // Types that carry nothing for the engine.
        {"other down", Event(ZK_OSX_EVENT_OTHER_MOUSE_DOWN, 10, 590), {}},
        {"entered", Event(ZK_OSX_EVENT_MOUSE_ENTERED, 10, 590), {}},
        {"flags", Key(ZK_OSX_EVENT_FLAGS_CHANGED, 56), {}},
        {"unknown", Event(99, 10, 590), {}},
    };
    for (int queued = 0; queued < 2; ++queued) {
        zk_state.queue_input_events = static_cast<uint8_t>(queued);
        for (const Case& c : cases) {
            ZK_OSX_ProcessEvent(&controller, c.event);
            EXPECT_EQ(Delivered(), c.sent) << c.what << (queued ? " (queued)" : "");
        }
    }

    // Without a program nothing reaches the engine.
    zk_prog = nullptr;
    ZK_OSX_ProcessEvent(&controller, Key(ZK_OSX_EVENT_KEY_DOWN, 0, 'a'));
    ZK_OSX_ProcessEvent(&controller, Event(ZK_OSX_EVENT_LEFT_MOUSE_DOWN, 10, 590));
    zk_prog = &program_;
    EXPECT_EQ(Delivered(), Words{});
}

TEST_F(MacInput, MousePositionsAreScaledToTheProgramsScreenAndFlipped) {
    struct Case {
        const char* what;
        bool full_screen;
        float frame_width, frame_height;  // the main window's frame in points
        float scale;                      // the screen's backing scale
        float x, y;
        bool inside;
        float program_x, program_y;
    } cases[] = {
        {"windowed", false, 0, 0, 1.0f, 10, 590, true, 10, 10},
        {"windowed on a double-density screen", false, 0, 0, 2.0f, 10, 290, true, 20, 20},
        {"windowed, right of it at double density", false, 0, 0, 2.0f, 400, 100, false, 0, 0},
        {"full screen stretched", true, 1600, 1200, 2.0f, 100, 1100, true, 50, 50},
        {"full screen shrunk", true, 400, 300, 1.0f, 100, 150, true, 200, 300},
        {"full screen top left", true, 1600, 1200, 1.0f, 0, 1200, true, 0, 0},
        {"full screen bottom edge", true, 1600, 1200, 1.0f, 0, 0, false, 0, 0},
        {"full screen frame of no size", true, 0, 0, 1.0f, 10, 10, false, 0, 0},
        {"full screen frame of no height", true, 1600, 0, 1.0f, 10, 10, false, 0, 0},
    };
    for (const Case& c : cases) {
        controller.is_in_full_screen_mode = c.full_screen;
        window.frame_width = c.frame_width;
        window.frame_height = c.frame_height;
        ZKD_SetScreenForTesting(2880, 1800, c.scale);
        ZKD_DetermineBestScreenDimensions();
        float x = c.x, y = c.y;
        EXPECT_EQ(ZK_OSX_ConvertMousePosition(&controller, &x, &y), c.inside) << c.what;
        if (!c.inside) continue;
        EXPECT_FLOAT_EQ(x, c.program_x) << c.what;
        EXPECT_FLOAT_EQ(y, c.program_y) << c.what;
    }

    // Full screen needs the window whose frame it scales by.
    controller.is_in_full_screen_mode = true;
    zk_osx_main_window = nullptr;
    float x = 10, y = 10;
    EXPECT_FALSE(ZK_OSX_ConvertMousePosition(&controller, &x, &y));
}

}  // namespace
}  // namespace macos_app_test
