// Event delivery: key and pointer state (with bounds on what queued events
// may carry), the queue, the platform entry points and the gamepad helpers.

#include <cmath>
#include <cstddef>
#include <cstring>

#include "engine/runtime/basic_functions.h"
#include "engine/runtime/tests/runtime_fixture.h"

namespace {

class EventTest : public ZkRuntimeTest {};

TEST_F(EventTest, HeldKeyRepeatsAreNotFreshPresses) {
    struct Step {
        zk_event_type_t type;
        int fresh;
        int state;
    } steps[] = {
        {ZK_EVENT_KEY_DOWN, 1, 3},
        {ZK_EVENT_KEY_DOWN, 0, 3},
        {ZK_EVENT_KEY_DOWN, 0, 3},
        {ZK_EVENT_KEY_UP, 1, 0},
        {ZK_EVENT_KEY_UP, 0, 0},
    };
    for (const Step& s : steps) {
        zk_event_t event = KeyEvent(s.type, 'W');
        ZKI_SendEvent(&event);
        EXPECT_EQ(ZKI_EventAs<zk_key_event_t>(ReceivedEvents().back()).fresh, s.fresh);
        EXPECT_EQ(zk_state.key_states_i['W'], s.state);
    }
}

TEST_F(EventTest, KeyCodesOutsideTheTableChangeNoState) {
    int32_t before[ZK_NUM_KEY_STATES];
    memcpy(before, zk_state.key_states_i, sizeof(before));
    for (int key : {-1, 2048, 100000, -100000, 65536 + 'A'}) {
        zk_event_t event = KeyEvent(ZK_EVENT_KEY_DOWN, key);
        ZKI_SendEvent(&event);
        EXPECT_EQ(memcmp(before, zk_state.key_states_i, sizeof(before)), 0) << key;
    }
    EXPECT_EQ(ReceivedEvents().size(), 5u);  // still delivered
}

TEST_F(EventTest, PointerPositionsAndButtonsLandInTheirBlocks) {
    zk_event_t first = MoveEvent(9, 10, 20);
    zk_event_t second = ButtonEvent(ZK_EVENT_POINTER_DOWN, 9, 511, 30, 40);
    ZKI_SendEvent(&first);
    ZKI_SendEvent(&second);
    const int block = 524 + 20 * 9;
    EXPECT_EQ(zk_state.key_states_f[block], 30.0f);
    EXPECT_EQ(zk_state.key_states_f[block + 1], 40.0f);
    EXPECT_EQ(zk_state.key_states_i[block + 7], 3);  // 531 + 20p: button 511
    EXPECT_EQ(zk_state.key_states_i[511], 0);        // only pointer 0 sets the button key
    EXPECT_EQ(zk_state.key_states_i[ZK_KEY_POINTER0_X], 0);
    zk_button_event_t delivered = ZKI_EventAs<zk_button_event_t>(ReceivedEvents().back());
    EXPECT_EQ(delivered.previous_x, 10);
    EXPECT_EQ(delivered.previous_y, 20);

    zk_event_t down = ButtonEvent(ZK_EVENT_POINTER_DOWN, 0, 510, 7, 8);
    ZKI_SendEvent(&down);
    EXPECT_EQ(zk_state.key_states_i[510], 3);
    EXPECT_EQ(zk_state.key_states_i[530], 3);
    EXPECT_EQ(zk_state.key_states_i[504], 7);
    EXPECT_EQ(zk_state.key_states_f[505], 8.0f);
    zk_event_t up = ButtonEvent(ZK_EVENT_POINTER_UP, 0, 510, 7, 8);
    ZKI_SendEvent(&up);
    EXPECT_EQ(zk_state.key_states_i[510], 0);
    EXPECT_EQ(zk_state.key_states_i[530], 0);
}

// Events queued through the table skip the entry points' filter; delivery
// must still keep every write inside the key tables.
TEST_F(EventTest, QueuedPointerEventsWithBadIndexOrButtonStayInsideTheTables) {
    struct Case {
        const char* name;
        zk_event_t event;
        bool delivered;
    } cases[] = {
        {"index 10", MoveEvent(10, 1, 2), false},
        {"index 127", ButtonEvent(ZK_EVENT_POINTER_DOWN, 127, 510, 1, 2), false},
        {"index -1", MoveEvent(-1, 1, 2), false},
        {"index -128", ButtonEvent(ZK_EVENT_POINTER_UP, -128, 510, 1, 2), false},
        {"button 65535", ButtonEvent(ZK_EVENT_POINTER_DOWN, 0, 65535, 1, 2), true},
        {"button 2048", ButtonEvent(ZK_EVENT_POINTER_DOWN, 0, 2048, 1, 2), true},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUpTestEngine();
        ZKI_CreateCoreMutexes();
        zk_state.initialized = 1;
        zk_state.mouse_x = 0x5A5A;
        ReceivedEvents().clear();
        zk->ZK_SendEventQueued(&c.event);
        ZKI_ProcessEventQueue();
        EXPECT_EQ(ReceivedEvents().size(), c.delivered ? 1u : 0u);
        EXPECT_EQ(zk_state.mouse_x, 0x5A5A);
        int changed = 0;
        for (int key = 0; key < ZK_NUM_KEY_STATES; ++key)
            if (zk_state.key_states_i[key] || zk_state.key_states_f[key]) ++changed;
        // A valid pointer 0 with a foreign button only moves (504, 505 in both
        // tables and its block's x, y).
        EXPECT_EQ(changed, c.delivered ? 4 : 0);
    }
}

TEST_F(EventTest, EntryPointsDropPointerIndicesOutsideZeroToNine) {
    ZKI_SendMouseMoveEvent(10, 1, 2, ZK_POINTER_MOUSE);
    ZKI_SendMouseMoveEvent(-1, 1, 2, ZK_POINTER_MOUSE);
    ZKI_SendMouseButtonEvent(ZK_EVENT_POINTER_DOWN, 300, 510, 1, 2, ZK_POINTER_MOUSE);
    EXPECT_TRUE(ReceivedEvents().empty());
    ZKI_SendMouseMoveEvent(9, 1.9f, 2.9f, ZK_POINTER_MOUSE);
    ASSERT_EQ(ReceivedEvents().size(), 1u);
    zk_pointer_event_t move = ZKI_EventAs<zk_pointer_event_t>(ReceivedEvents()[0]);
    EXPECT_EQ(move.x, 1);
    EXPECT_EQ(move.y, 2);
}

TEST_F(EventTest, PositionsAreConvertedToTheVirtualScreen) {
    struct Case {
        bool autoscale;
        float offset_x, offset_y, inverse_x, inverse_y;
        float zoom;
        int zoom_offset_x, zoom_offset_y;
        float x, y;
        int expect_x, expect_y;
    } cases[] = {
        {false, 0, 0, 0, 0, 1.0f, 0, 0, 100.7f, 50.2f, 100, 50},
        {true, 10, 20, 0.5f, 0.25f, 1.0f, 0, 0, 110, 100, 50, 20},
        {true, 10.5f, 0, 0.5f, 1, 1.0f, 0, 0, 13, 7, 1, 7},  // 13 - 10.5 truncates to 2, then x 0.5
        {false, 0, 0, 0, 0, 2.0f, 10, 20, 110, 60, 50, 20},
        {true, 10, 0, 2, 1, 0.5f, 5, 0, 20, 3, 30, 6},
        {false, 0, 0, 0, 0, 1.0000001f, 40, 40, 100, 100, 100, 100},  // within 1e-6 of 1: no zoom
    };
    for (const Case& c : cases) {
        zk_state.autoscale = c.autoscale;
        zk_state.autoscale_offset_x = c.offset_x;
        zk_state.autoscale_offset_y = c.offset_y;
        zk_state.autoscale_inverse_scale_x = c.inverse_x;
        zk_state.autoscale_inverse_scale_y = c.inverse_y;
        zk_state.overlay_zoom = c.zoom;
        zk_state.overlay_offset_x = c.zoom_offset_x;
        zk_state.overlay_offset_y = c.zoom_offset_y;
        ReceivedEvents().clear();
        ZKI_SendMouseButtonEvent(ZK_EVENT_POINTER_DOWN, 0, 510, c.x, c.y, ZK_POINTER_MOUSE);
        ASSERT_EQ(ReceivedEvents().size(), 1u);
        zk_button_event_t button = ZKI_EventAs<zk_button_event_t>(ReceivedEvents()[0]);
        EXPECT_EQ(button.x, c.expect_x) << c.x;
        EXPECT_EQ(button.y, c.expect_y) << c.y;
        EXPECT_EQ(button.button, 510);
    }
}

TEST_F(EventTest, InputIsQueuedWhenAskedAndDeliveredInOrderByTheFrame) {
    zk_state.queue_input_events = 1;
    ZKI_SendKeyEvent(ZK_EVENT_KEY_DOWN, 'Q');
    ZKI_SendMouseWheelEvent(ZK_EVENT_WHEEL, 0, -240, 3, 4);
    ZKI_SendCharEvent('q' + 0x100);  // characters are never queued; low byte only
    ASSERT_EQ(ReceivedEvents().size(), 1u);
    EXPECT_EQ(ZKI_EventAs<zk_char_event_t>(ReceivedEvents()[0]).character, 'q');
    EXPECT_EQ(zk_state.key_states_i['Q'], 0);  // not delivered yet

    ZKI_ProcessEventQueue();
    ASSERT_EQ(ReceivedEvents().size(), 3u);
    EXPECT_EQ(ReceivedEvents()[1].type, ZK_EVENT_KEY_DOWN);
    zk_wheel_event_t wheel = ZKI_EventAs<zk_wheel_event_t>(ReceivedEvents()[2]);
    EXPECT_EQ(wheel.delta, -240);
    EXPECT_EQ(wheel.pointer_type, ZK_POINTER_MOUSE);
    EXPECT_EQ(zk_state.key_states_i['Q'], 3);
    EXPECT_EQ(zk_state.event_queue.count, 0);
}

int QueueAnotherEvent(zk_event_t event) {
    ReceivedEvents().push_back(event);
    zk_event_t later = KeyEvent(ZK_EVENT_KEY_UP, 'Z');
    if (event.type == ZK_EVENT_KEY_DOWN) ZKI_SendEventQueued(&later);
    return 0;
}

TEST_F(EventTest, EventsQueuedDuringDeliveryWaitForTheNextFrame) {
    program_.EventProc = QueueAnotherEvent;
    zk_event_t down = KeyEvent(ZK_EVENT_KEY_DOWN, 'Z');
    ZKI_SendEventQueued(&down);
    ZKI_ProcessEventQueue();
    EXPECT_EQ(ReceivedEvents().size(), 1u);
    ZKI_ProcessEventQueue();
    ASSERT_EQ(ReceivedEvents().size(), 2u);
    EXPECT_EQ(ReceivedEvents()[1].type, ZK_EVENT_KEY_UP);
}

TEST_F(EventTest, NothingReachesTheProgramBeforeInitialisationButTheTablesDo) {
    zk_state.initialized = 0;
    zk_event_t event = KeyEvent(ZK_EVENT_KEY_DOWN, 'K');
    EXPECT_EQ(ZKI_SendEvent(&event), 0);
    EXPECT_TRUE(ReceivedEvents().empty());
    EXPECT_EQ(zk_state.key_states_i['K'], 3);
}

char* HeapText(const char* text) {
    char* copy = static_cast<char*>(ZK_AllocMemory(static_cast<unsigned int>(strlen(text) + 1)));
    strcpy(copy, text);
    return copy;
}

zk_social_user_t* HeapUsers(int count) {
    zk_social_user_t* users =
        static_cast<zk_social_user_t*>(ZK_AllocMemory(static_cast<unsigned int>(count * sizeof(zk_social_user_t))));
    for (int i = 0; i < count; ++i) users[i] = {HeapText("id"), HeapText("name"), static_cast<uint32_t>(40 - i)};
    return users;
}

// Every service answer as its sender lays it out, with numbers in the
// fields that sit where an earlier layout had pointers: freeing one of
// those would crash, and a string left unfreed is reported as a leak under
// the sanitizers. The type-63 text is a constant and must not be freed.
TEST_F(EventTest, DeliveredServiceEventsFreeTheBlocksTheyOwn) {
    std::vector<zk_event_t> events;
    for (zk_event_type_t type : {18u, 20u, 36u}) {
        zk_service_event_t service = {};
        service.type = type;
        int owned = type == 36 ? 3 : 1;
        for (int i = 0; i < owned; ++i) service.blocks[i] = HeapText("block");
        events.push_back(ZKI_MakeEvent(service));
    }
    zk_score_t* scores = static_cast<zk_score_t*>(ZK_AllocMemory(2 * sizeof(zk_score_t)));
    memset(static_cast<void*>(scores), 0, 2 * sizeof(zk_score_t));
    events.push_back(ZKI_MakeEvent(zk_leaderboard_scores_event_t{ZK_EVENT_LEADERBOARD_SCORES, 1, nullptr,
                                                                 HeapText("speed"), 1200, 1, 7, 2, scores}));
    events.push_back(ZKI_MakeEvent(zk_leaderboard_scores_event_t{ZK_EVENT_LEADERBOARD_SCORES, 0,
                                                                 HeapText("Not yet initialized."),
                                                                 HeapText("speed"), 0, 1, 0, 0, nullptr}));
    events.push_back(ZKI_MakeEvent(zk_purchase_event_t{ZK_EVENT_PURCHASE_NOTICE, 1, HeapText("coins"), 1, nullptr,
                                                       nullptr, HeapText("receipt")}));
    events.push_back(ZKI_MakeEvent(zk_purchase_event_t{ZK_EVENT_PURCHASE_NOTICE, 1, HeapText("coins"), 0,
                                                       HeapText("100 coins"), HeapText("further"), nullptr}));
    events.push_back(ZKI_MakeEvent(zk_purchase_event_t{ZK_EVENT_PURCHASE_NOTICE, 2, nullptr, 0, nullptr, nullptr,
                                                       nullptr}));
    events.push_back(ZKI_MakeEvent(zk_purchase_event_t{ZK_EVENT_PURCHASE_COMPLETED, 1, HeapText("coins"), 1,
                                                       nullptr, nullptr, HeapText("receipt")}));
    events.push_back(ZKI_MakeEvent(zk_social_login_event_t{ZK_EVENT_SOCIAL_LOGIN, 1, nullptr, HeapUsers(1)}));
    events.push_back(ZKI_MakeEvent(zk_social_users_event_t{ZK_EVENT_SOCIAL_USERS, 0, HeapUsers(11), 11}));
    events.push_back(ZKI_MakeEvent(zk_text_event_t{ZK_EVENT_TEST_EXTENSION_REPLY, 0, "SEND_OK"}));
    for (zk_event_t& event : events) ZKI_SendEventQueued(&event);
    ZKI_ProcessEventQueue();
    ASSERT_EQ(ReceivedEvents().size(), events.size());
    zk_leaderboard_scores_event_t delivered = ZKI_EventAs<zk_leaderboard_scores_event_t>(ReceivedEvents()[3]);
    EXPECT_EQ(delivered.total, 1200);
    EXPECT_EQ(delivered.count, 2);
}

// The layouts are those the programs read: the offsets of a 64-bit build.
TEST_F(EventTest, ServiceAnswerFieldsSitAtTheirPlaces) {
    EXPECT_EQ(offsetof(zk_leaderboard_scores_event_t, reason), 8u);
    EXPECT_EQ(offsetof(zk_leaderboard_scores_event_t, category), 16u);
    EXPECT_EQ(offsetof(zk_leaderboard_scores_event_t, total), 24u);
    EXPECT_EQ(offsetof(zk_leaderboard_scores_event_t, filter), 28u);
    EXPECT_EQ(offsetof(zk_leaderboard_scores_event_t, first), 32u);
    EXPECT_EQ(offsetof(zk_leaderboard_scores_event_t, count), 36u);
    EXPECT_EQ(offsetof(zk_leaderboard_scores_event_t, scores), 40u);
    EXPECT_EQ(offsetof(zk_purchase_event_t, product_id), 8u);
    EXPECT_EQ(offsetof(zk_purchase_event_t, restored), 16u);
    EXPECT_EQ(offsetof(zk_purchase_event_t, information), 24u);
    EXPECT_EQ(offsetof(zk_purchase_event_t, further), 32u);
    EXPECT_EQ(offsetof(zk_purchase_event_t, data), 40u);
    EXPECT_EQ(offsetof(zk_social_login_event_t, user), 16u);
    EXPECT_EQ(offsetof(zk_social_users_event_t, users), 8u);
    EXPECT_EQ(offsetof(zk_social_users_event_t, count), 16u);
    EXPECT_EQ(offsetof(zk_text_event_t, text), 8u);
}

TEST_F(EventTest, WindowCloseAndActivation) {
    ZKI_SendWindowActivationEvent(false);
    EXPECT_EQ(zk_state.app_active, 0);
    ZKI_SendWindowActivationEvent(true);
    EXPECT_EQ(zk_state.app_active, 1);
    ZKI_SendWindowCloseEvent();  // sent at once
    ASSERT_EQ(ReceivedEvents().size(), 1u);
    EXPECT_EQ(ReceivedEvents()[0].type, ZK_EVENT_WINDOW_CLOSE);
    EXPECT_TRUE(zk_state.shutdown_signalled);
    ZKI_SendWindowActivationEvent(false);  // after the close: nothing
    EXPECT_EQ(zk_state.app_active, 1);
    ZKI_ProcessEventQueue();
    ASSERT_EQ(ReceivedEvents().size(), 3u);
    EXPECT_EQ(ZKI_EventAs<zk_activation_event_t>(ReceivedEvents()[1]).deactivated, 1);
    EXPECT_EQ(ZKI_EventAs<zk_activation_event_t>(ReceivedEvents()[2]).deactivated, 0);
}

TEST(GamepadVector, RadialDeadZone) {
    struct Case {
        float x, y, deadzone;
        float expect_x, expect_y;
    } cases[] = {
        {0.05f, 0, 0.1f, 0, 0}, {1, 0, 0.1f, 1, 0},       {0.55f, 0, 0.1f, 0.5f, 0},
        {3, 4, 0.5f, 0.6f, 0.8f}, {0, 0, 0, 0, 0},         {0, 0, 0.2f, 0, 0},
        {1, 0, 1, 0, 0},         {0.6f, 0.8f, 1, 0, 0},   {0, -2, 1.5f, 0, 0},
        {0, -0.5f, 0, 0, -0.5f},
    };
    for (const Case& c : cases) {
        vec2_t v = {c.x, c.y};
        ZKI_TrimGamepadVector(v, c.deadzone);
        SCOPED_TRACE(::testing::Message() << c.x << "," << c.y << " dead zone " << c.deadzone);
        EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));
        EXPECT_NEAR(v.x, c.expect_x, 1e-6);
        EXPECT_NEAR(v.y, c.expect_y, 1e-6);
    }
}

TEST_F(EventTest, GamepadButtonsQueueOnlyChanges) {
    const int key = 801;
    ZKI_SetGamepadButtonState(key, false);  // up and staying up
    EXPECT_EQ(zk_state.event_queue.count, 0);
    ZKI_SetGamepadButtonState(key, true);
    ASSERT_EQ(zk_state.event_queue.count, 1);
    EXPECT_EQ(zk_state.event_queue.items[0].type, ZK_EVENT_KEY_DOWN);
    ZKI_ProcessEventQueue();
    ZKI_SetGamepadButtonState(key, true);  // held
    EXPECT_EQ(zk_state.event_queue.count, 0);
    ZKI_SetGamepadButtonState(key, false);
    ASSERT_EQ(zk_state.event_queue.count, 1);
    EXPECT_EQ(zk_state.event_queue.items[0].type, ZK_EVENT_KEY_UP);
    ZKI_SetGamepadButtonState(5000, true);  // outside the table: nothing
    EXPECT_EQ(zk_state.event_queue.count, 1);
}

TEST_F(EventTest, ClearingAPadKeepsOneKeyAndStaysInsideTheTables) {
    for (int key = 800; key < ZK_NUM_KEY_STATES; ++key) {
        zk_state.key_states_i[key] = 9;
        zk_state.key_states_f[key] = 9.0f;
    }
    zk_state.mouse_x = 0x5A5A;
    ZKI_ClearGamepadState(1, true);
    EXPECT_EQ(zk_state.key_states_i[864], 1);
    EXPECT_EQ(zk_state.key_states_i[865], 0);
    EXPECT_EQ(zk_state.key_states_f[926], 0.0f);
    EXPECT_EQ(zk_state.key_states_i[906], 9);  // 842 + 64
    EXPECT_EQ(zk_state.key_states_f[906], 9.0f);
    EXPECT_EQ(zk_state.key_states_i[927], 9);  // next pad
    EXPECT_EQ(zk_state.key_states_i[863], 9);  // previous pad
    ZKI_ClearGamepadState(1, false);
    EXPECT_EQ(zk_state.key_states_i[864], 0);
    // The last pad's block runs past the end of the tables.
    ZKI_ClearGamepadState(19, true);
    EXPECT_EQ(zk_state.key_states_i[2016], 1);
    EXPECT_EQ(zk_state.key_states_i[2047], 0);
    ZKI_ClearGamepadState(40, true);
    ZKI_ClearGamepadState(-1, true);
    EXPECT_EQ(zk_state.mouse_x, 0x5A5A);
}

TEST_F(EventTest, KeyboardResetClearsKeysAndMouseButtonsOnly) {
    for (int key : {1, 255, 510, 517, 256, 518}) zk_state.key_states_i[key] = 3;
    ZKI_ResetKeyboardKeyStates();
    for (int key : {1, 255, 510, 517}) EXPECT_EQ(zk_state.key_states_i[key], 0) << key;
    for (int key : {256, 518}) EXPECT_EQ(zk_state.key_states_i[key], 3) << key;
}

TEST(NullTerminatedText, Validity) {
    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    struct Case {
        const char* text;
        int max;
        bool valid;
    } cases[] = {
        {nullptr, 10, false}, {"", 10, false}, {"abc", 4, true}, {"abc", 3, false},
        {unterminated, 4, false}, {"abc", 0, true}, {"abc", -5, true},
    };
    for (const Case& c : cases) EXPECT_EQ(ZKI_IsValidNullTerminatedString(c.text, c.max), c.valid) << c.max;
}

int category_sort_order_calls = 0;
int SortOrderOf(const char* category) {
    ++category_sort_order_calls;
    return category && strcmp(category, "speed") == 0 ? 2 : 1;
}

TEST_F(EventTest, LeaderboardEventsAskForTheirCategorysSortOrderOnSuccessOnly) {
    zk_leaderboards_api_t table = *zk->leaderboards;
    table.ZK_GetLeaderboardCategorySortOrder = SortOrderOf;
    zk_leaderboards_api_t* saved = zk->leaderboards;
    zk->leaderboards = &table;
    char category[] = "speed";
    zk_leaderboard_scores_event_t ok = {ZK_EVENT_LEADERBOARD_SCORES, 1, nullptr, category, 3, 0, 1, 0, nullptr};
    zk_leaderboard_scores_event_t failed = ok;
    failed.success = 0;
    zk_event_t ok_event = ZKI_MakeEvent(ok), failed_event = ZKI_MakeEvent(failed);
    zk_event_t other = KeyEvent(ZK_EVENT_KEY_DOWN, 1);
    EXPECT_EQ(ZKI_ValidateLeaderboardsEvent(&ok_event), 2);
    EXPECT_EQ(ZKI_ValidateLeaderboardsEvent(&failed_event), 0);
    EXPECT_EQ(ZKI_ValidateLeaderboardsEvent(&other), 0);
    EXPECT_EQ(category_sort_order_calls, 1);
    zk->leaderboards = saved;
}

}  // namespace
