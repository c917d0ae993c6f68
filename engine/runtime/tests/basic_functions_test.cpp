// Key states, list freeing, product features, events and the shutdown signal.

#include <cstdlib>
#include <cstring>

#include "engine/runtime/basic_functions.h"
#include "engine/runtime/tests/core_fixture.h"

namespace {

class CoreServicesTest : public ZkCoreTest {};

TEST_F(CoreServicesTest, ReadingAKeyConsumesItsWentDownBitBelow256) {
    ZK_SetKeyStatei(65, 3);
    EXPECT_EQ(ZK_GetKeyStatei(65), 3);
    EXPECT_EQ(ZK_GetKeyStatei(65), 1);
    ZK_SetKeyStatei(300, 3);
    EXPECT_EQ(ZK_GetKeyStatei(300), 3);
    EXPECT_EQ(ZK_GetKeyStatei(300), 3);
    ZK_SetKeyStatef(2047, 0.25f);
    EXPECT_FLOAT_EQ(ZK_GetKeyStatef(2047), 0.25f);
}

TEST_F(CoreServicesTest, FeatureWordsMustStandAlone) {
    struct Case {
        const char* first;
        const char* second;
        const char* name;
        bool found;
    } cases[] = {
        {"AUTOSCALE_RETAIN_ASPECT_RATIO;SHOW_FPS", nullptr, "SHOW_FPS", true},
        {"AUTOSCALE_RETAIN_ASPECT_RATIO;SHOW_FPS", nullptr, "AUTOSCALE", false},
        {"AUTOSCALE_RETAIN_ASPECT_RATIO;SHOW_FPS", nullptr, "FPS", false},
        {",NO_SOUND ", nullptr, "NO_SOUND", true},
        {"XNO_SOUND NO_SOUNDX", "A, NO_SOUND", "NO_SOUND", true},
        {nullptr, "SHOW_INFO", "SHOW_INFO", true},
        {"SHOW_INFO", nullptr, "", false},
        {"SHOW_INFO", nullptr, nullptr, false},
        {nullptr, nullptr, "SHOW_INFO", false},
    };
    for (const Case& c : cases) {
        zk_state.product_feature_lists[0] = c.first;
        zk_state.product_feature_lists[1] = c.second;
        EXPECT_EQ(ZK_ProductFeatureExists(c.name), c.found) << (c.name ? c.name : "<null>") << " in "
                                                            << (c.first ? c.first : "<null>");
    }
}

TEST_F(CoreServicesTest, FreeListFreesEveryText) {
    zk_list_t* list = static_cast<zk_list_t*>(malloc(sizeof(zk_list_t)));
    list->count = 3;
    list->items = static_cast<char**>(malloc(3 * sizeof(char*)));
    list->items[0] = strdup("a.xml");
    list->items[1] = nullptr;
    list->items[2] = strdup("b.xml");
    ZK_FreeList(list); // the sanitizer build reports anything left
    ZK_FreeList(nullptr);
}

TEST_F(CoreServicesTest, QueuedEventsAreZeroedCopies) {
    zk_event_t event;
    memset(&event, 0xAB, sizeof(event));
    ZK_SetupEvent(&event, 63);
    EXPECT_EQ(event.type, 63u);
    for (unsigned char byte : event.payload) EXPECT_EQ(byte, 0);
    ZK_SendEventQueued(&event);
    event.type = 1;
    ASSERT_EQ(zk_state.event_queue.count, 1);
    EXPECT_EQ(zk_state.event_queue.items[0].type, 63u);
}

TEST_F(CoreServicesTest, ShutdownIsAnnouncedOnceAndReachesTheProgram) {
    zk_prog_t program;
    zk_prog = &program;
    StdoutCapture out;
    ZK_SignalShutdown();
    ZK_SignalShutdown();
    std::string text = out.Finish();
    zk_prog = nullptr;
    EXPECT_TRUE(ZK_IsShutdownSignalled());
    EXPECT_EQ(program.parms.shutdown_requested, 1);
    EXPECT_EQ(text.find("Signalling shutdown at "), 0u);
    EXPECT_EQ(text.find("Signalling shutdown at ", 1), std::string::npos);
}

TEST_F(CoreServicesTest, MainThreadIsAlwaysSynchronised) {
    EXPECT_TRUE(ZK_IsSynchronizedWithMainThread());
    ZK_SynchronizeWithMainThreadBegin();
    EXPECT_EQ(zk_state.main_thread_sync_requested, 1);
    EXPECT_EQ(zk_state.core_mutexes[ZK_CORE_MUTEX_MAIN_LOOP]->locked, 0); // no lock on the main thread
    ZK_SynchronizeWithMainThreadEnd();
    EXPECT_EQ(zk_state.main_thread_sync_requested, 0);
}

}  // namespace
