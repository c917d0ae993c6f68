// Event delivery through the console overlay, which sees every event first:
// routing with the console closed and open, and its toggle key.

#include "engine/console/tests/console_fixture.h"

namespace {

class EventTest : public ZkConsoleTest {};

TEST_F(EventTest, RoutingWithTheConsoleClosedAndOpen) {
    struct Case {
        const char* name;
        bool open;
        bool control;
        zk_event_t event;
        bool reaches_program;
        int result;
    } cases[] = {
        {"character, closed", false, false, CharEvent('a'), true, 7},
        {"character, open", true, false, CharEvent('a'), false, 1},
        {"key down, open, no control", true, false, KeyEvent(ZK_EVENT_KEY_DOWN, 'A'), true, 7},
        {"key down, open, control", true, true, KeyEvent(ZK_EVENT_KEY_DOWN, 'A'), false, 1},
        {"key up, open", true, false, KeyEvent(ZK_EVENT_KEY_UP, 'A'), true, 7},
        {"pointer move, open", true, false, MoveEvent(0, 5, 5), false, 1},
        {"button down, open", true, false, ButtonEvent(ZK_EVENT_POINTER_DOWN, 0, 510, 5, 5), false, 1},
        {"console text, open", true, false, ZKI_MakeEvent(zk_console_text_event_t{ZK_EVENT_CONSOLE_TEXT, nullptr}),
         true, 7},
        {"window close, open", true, false, ZKI_MakeEvent(zk_key_event_t{ZK_EVENT_WINDOW_CLOSE, 0, 0}), true, 7},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.open) OpenConsole();
        zk_console.control_held = c.control;
        ReceivedEvents().clear();
        EXPECT_EQ(ZKI_SendEvent(&c.event), c.result);
        EXPECT_EQ(ReceivedEvents().size(), c.reaches_program ? 1u : 0u);
        EmptyConsole();
    }
}

TEST_F(EventTest, ConsumedPointerEventsLeaveThePointerStateAlone) {
    OpenConsole();
    zk_event_t move = MoveEvent(0, 50, 60);
    ZKI_SendEvent(&move);
    EXPECT_EQ(zk_state.key_states_i[ZK_KEY_POINTER0_X], 0);
    EXPECT_EQ(zk_state.key_states_f[ZK_KEY_POINTER_BLOCK], 0.0f);
}

TEST_F(EventTest, ToggleKeyOpensAndClosesOnlyInDeveloperModeAndGoesNoFurther) {
    struct Case {
        bool developer_mode;
        zk_event_t event;
        bool open_after_one, open_after_two;
    } cases[] = {
        {true, KeyEvent(ZK_EVENT_KEY_DOWN, ZK_KEY_F1), true, false},
        {true, CharEvent(ZK_KEY_F1), true, false},  // the character 'p' has the toggle's code
        {false, KeyEvent(ZK_EVENT_KEY_DOWN, ZK_KEY_F1), false, false},
    };
    for (Case& c : cases) {
        EnableConsole();
        zk_state.developer_mode = c.developer_mode;
        zk_console.control_held = zk_console.shift_held = 1;
        ReceivedEvents().clear();
        EXPECT_EQ(ZKI_SendEvent(&c.event), 0);
        EXPECT_EQ(zk_console.open, c.open_after_one);
        EXPECT_EQ(zk_console.control_held + zk_console.shift_held, 0);
        EXPECT_EQ(ZKI_SendEvent(&c.event), 0);
        EXPECT_EQ(zk_console.open, c.open_after_two);
        EXPECT_TRUE(ReceivedEvents().empty());
        EmptyConsole();
    }
}

}  // namespace
