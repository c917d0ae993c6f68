// The services fixture with the program's events described as texts:
// Deliver() runs the event queue and gives what reached the program.
#pragma once

#include <string>
#include <vector>

#include "engine/events/events.h"
#include "engine/services/tests/service_test_support.h"

namespace services_test {

// Delivered events as texts, read while they still own their strings.
inline std::vector<std::string>& DeliveredEvents() {
    static std::vector<std::string> delivered;
    return delivered;
}
inline int DescribeEvent(zk_event_t event) {
    std::string text = std::to_string(event.type);
    if (event.type == ZK_EVENT_PURCHASE_NOTICE || event.type == ZK_EVENT_PURCHASE_COMPLETED) {
        zk_purchase_event_t p = ZKI_EventAs<zk_purchase_event_t>(event);
        text += " kind=" + std::to_string(p.kind) + " product=" + Text(p.product_id) +
                " restored=" + std::to_string(p.restored) + " info=" + Text(p.information) +
                " further=" + Text(p.further) + " data=" + Text(p.data);
    } else if (event.type == ZK_EVENT_TEST_EXTENSION_REPLY) {
        zk_text_event_t reply = ZKI_EventAs<zk_text_event_t>(event);
        text += " " + std::to_string(reply.zero) + " " + Text(reply.text);
    }
    DeliveredEvents().push_back(text);
    return 0;
}

class ExtensionMappingTest : public ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        DeliveredEvents().clear();
        zk_prog->EventProc = DescribeEvent;
    }
    std::vector<std::string> Deliver() {
        DeliveredEvents().clear();
        ZKI_ProcessEventQueue();
        return DeliveredEvents();
    }
};

}  // namespace services_test
