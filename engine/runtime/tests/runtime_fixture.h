// Test support for event delivery and the frame step: a fresh engine with
// an installed program that records the events it is given.
#pragma once

#include <string>
#include <vector>

#include "engine/events/events.h"
#include "engine/runtime/tests/core_fixture.h"

// The events the test program received, in order.
inline std::vector<zk_event_t>& ReceivedEvents() {
    static std::vector<zk_event_t> events;
    return events;
}

inline int RecordEvent(zk_event_t event) {
    ReceivedEvents().push_back(event);
    return 7;  // the program's answer, passed back by delivery
}

class ZkRuntimeTest : public ZkCoreTest {
protected:
    void SetUp() override {
        ZkCoreTest::SetUp();
        zk_run_silent = 1;
        ReceivedEvents().clear();
        program_ = zk_prog_t();
        program_.EventProc = RecordEvent;
        zk_prog = &program_;
        zk_state.initialized = 1;
    }
    void TearDown() override {
        zk_prog = nullptr;
        ZkCoreTest::TearDown();
    }

    zk_prog_t program_;
};

inline zk_event_t KeyEvent(zk_event_type_t type, int key) { return ZKI_MakeEvent(zk_key_event_t{type, key, 0}); }
inline zk_event_t CharEvent(char c) {
    return ZKI_MakeEvent(zk_char_event_t{ZK_EVENT_CHARACTER, static_cast<uint8_t>(c)});
}
inline zk_event_t ButtonEvent(zk_event_type_t type, int pointer, int button, int x, int y) {
    zk_button_event_t fields = {};
    fields.type = type;
    fields.pointer = static_cast<int8_t>(pointer);
    fields.x = x;
    fields.y = y;
    fields.button = static_cast<uint16_t>(button);
    fields.pointer_type = ZK_POINTER_MOUSE;
    return ZKI_MakeEvent(fields);
}
inline zk_event_t MoveEvent(int pointer, int x, int y) {
    zk_pointer_event_t fields = {};
    fields.type = ZK_EVENT_POINTER_MOVE;
    fields.pointer = static_cast<int8_t>(pointer);
    fields.x = x;
    fields.y = y;
    fields.pointer_type = ZK_POINTER_MOUSE;
    return ZKI_MakeEvent(fields);
}
