// The console overlay: editing, submitting, history, scrolling keys,
// completion and its hint, the clipboard, sliding, and drawing through a
// recording graphics table.

#include <algorithm>
#include <string>
#include <vector>

#include "engine/runtime/tests/recording_graphics.h"
#include "engine/console/tests/console_fixture.h"

namespace {

std::vector<std::string> clipboard_writes;
const char* clipboard_text = nullptr;

const char* FakeCallExtension(const char* name, const char* value) {
    std::string n = name ? name : "";
    if (n == "Clipboard_SetText") clipboard_writes.push_back(value ? value : "<null>");
    if (n == "Clipboard_GetText") return clipboard_text;
    return nullptr;
}

class ConsoleOverlayTest : public ZkConsoleTest {
protected:
    void SetUp() override {
        ZkConsoleTest::SetUp();
        OpenConsole();
        graphics_.Install();
        saved_extension_ = zk->ZK_CallExtension;
        zk->ZK_CallExtension = FakeCallExtension;
        clipboard_writes.clear();
        clipboard_text = nullptr;
        zk_parms.width = 800;
        zk_parms.height = 480;
    }
    void TearDown() override {
        zk->ZK_CallExtension = saved_extension_;
        graphics_.Restore();
        zk_parms = zk_parms_t();
        recording_graphics::LoadedFont() = nullptr;
        ZkConsoleTest::TearDown();
    }

    // Delivers as the engine does: through ZKI_SendEvent.
    static int Send(zk_event_t event) { return ZKI_SendEvent(&event); }
    static void Type(const std::string& text) {
        for (char c : text) Send(CharEvent(c));
    }
    static int Key(int key) { return Send(KeyEvent(ZK_EVENT_KEY_DOWN, key)); }
    static int ControlKey(int key) {
        Key(ZK_KEY_CONTROL);
        int result = Key(key);
        Send(KeyEvent(ZK_EVENT_KEY_UP, ZK_KEY_CONTROL));
        return result;
    }
    static void AddLines(int count) {
        for (int i = 1; i <= count; ++i) zk_console.AddString(0, ("line " + std::to_string(i)).c_str());
    }
    static std::string EditLine() { return zk_console.edit_line; }
    static std::string Hint() { return zk_console.completion_hint ? zk_console.completion_hint : "<null>"; }

    RecordingGraphics graphics_;
    const char* (*saved_extension_)(const char*, const char*) = nullptr;
};

// --- Editing ----------------------------------------------------------------------------

TEST_F(ConsoleOverlayTest, EditingKeysAndCharacters) {
    struct Step {
        enum Kind { TYPE, KEY } kind;
        std::string text;
        int key;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::string line;
        int cursor;
    } cases[] = {
        {"typing", {{Step::TYPE, "abc", 0}}, "abc", 3},
        {"insert in the middle", {{Step::TYPE, "abc", 0}, {Step::KEY, "", ZK_KEY_LEFT}, {Step::KEY, "", ZK_KEY_LEFT},
                                  {Step::TYPE, "X", 0}}, "aXbc", 2},
        {"backspace", {{Step::TYPE, "abc", 0}, {Step::KEY, "", ZK_KEY_LEFT}, {Step::TYPE, "\b", 0}}, "ac", 1},
        {"backspace at the start", {{Step::TYPE, "ab", 0}, {Step::KEY, "", ZK_KEY_HOME}, {Step::TYPE, "\b", 0}},
         "ab", 0},
        {"delete", {{Step::TYPE, "abc", 0}, {Step::KEY, "", ZK_KEY_HOME}, {Step::KEY, "", ZK_KEY_DELETE}}, "bc", 0},
        {"delete at the end", {{Step::TYPE, "abc", 0}, {Step::KEY, "", ZK_KEY_DELETE}}, "abc", 3},
        {"home and end", {{Step::TYPE, "abc", 0}, {Step::KEY, "", ZK_KEY_HOME}, {Step::KEY, "", ZK_KEY_RIGHT},
                          {Step::KEY, "", ZK_KEY_END}, {Step::KEY, "", ZK_KEY_RIGHT}}, "abc", 3},
        {"left stops at 0", {{Step::TYPE, "a", 0}, {Step::KEY, "", ZK_KEY_LEFT}, {Step::KEY, "", ZK_KEY_LEFT}},
         "a", 0},
        {"control characters and high bytes", {{Step::TYPE, "a\tb\x01\xe9\x7f", 0}}, "ab\x7f", 3},
        {"510 characters at most", {{Step::TYPE, std::string(515, 'x'), 0}}, std::string(510, 'x'), 510},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        zk_console.SetEditLine(nullptr);
        for (const Step& s : c.steps) {
            if (s.kind == Step::TYPE) Type(s.text);
            else Key(s.key);
        }
        EXPECT_EQ(EditLine(), c.line);
        EXPECT_EQ(zk_console.cursor, c.cursor);
    }
    EXPECT_TRUE(ReceivedEvents().size() > 0);  // the keys went on to the program
    for (const zk_event_t& e : ReceivedEvents()) EXPECT_NE(e.type, ZK_EVENT_CHARACTER);
}

TEST_F(ConsoleOverlayTest, SetEditLineRefusesOverlongTextAndKeepsTheLine) {
    zk_console.SetEditLine("keep");
    zk_console.SetEditLine(std::string(511, 'y').c_str());
    EXPECT_EQ(EditLine(), "keep");
    zk_console.SetEditLine(std::string(510, 'y').c_str());
    EXPECT_EQ(zk_console.cursor, 510);
    zk_console.SetEditLine(nullptr);
    EXPECT_EQ(EditLine(), "");
    EXPECT_EQ(zk_console.cursor, 0);
}

// --- Submitting and the history ---------------------------------------------------------------

TEST_F(ConsoleOverlayTest, SubmittedLineIsKeptRememberedAndSentToTheProgram) {
    Type("hello\r");
    ASSERT_EQ(ReceivedEvents().size(), 1u);
    zk_console_text_event_t sent = ZKI_EventAs<zk_console_text_event_t>(ReceivedEvents()[0]);
    EXPECT_EQ(sent.type, static_cast<zk_event_type_t>(ZK_EVENT_CONSOLE_TEXT));
    EXPECT_EQ(sent.text, zk_console.edit_line);  // the sender's buffer, cleared after delivery
    ASSERT_EQ(zk_console.lines.count, 1);
    EXPECT_STREQ(zk_console.lines.items[0].text, "hello\n");
    ASSERT_EQ(zk_console.history.count, 1);
    EXPECT_STREQ(zk_console.history.items[0], "hello");
    EXPECT_EQ(zk_console.history_position, 1);
    EXPECT_EQ(EditLine(), "");
    EXPECT_EQ(zk_console.cursor, 0);
}

std::string text_at_delivery;
int RecordConsoleText(zk_event_t event) {
    if (event.type == ZK_EVENT_CONSOLE_TEXT) text_at_delivery = ZKI_EventAs<zk_console_text_event_t>(event).text;
    return 0;
}

TEST_F(ConsoleOverlayTest, TheProgramReadsTheTypedTextWhileItIsDelivered) {
    program_.EventProc = RecordConsoleText;
    Type("say hi\r");
    EXPECT_EQ(text_at_delivery, "say hi");
}

TEST_F(ConsoleOverlayTest, HashLineScrollsToThatLineAndLeavesNoHistory) {
    AddLines(20);
    Type("#5\r");
    // The 21st kept line is the typed one itself.
    EXPECT_EQ(zk_console.scroll_offset, 21 - 5);
    EXPECT_EQ(zk_console.history.count, 0);
    EXPECT_TRUE(ReceivedEvents().empty());
}

TEST_F(ConsoleOverlayTest, HistoryWalkKeepsTheDraftAndSubmittingReplacesIt) {
    Type("one\r");
    Type("two\r");
    Type("dr");
    ReceivedEvents().clear();
    struct Step {
        int key;
        const char* line;
    } steps[] = {
        {ZK_KEY_UP, "two"}, {ZK_KEY_UP, "one"}, {ZK_KEY_DOWN, "one"},
        {ZK_KEY_DOWN, "two"}, {ZK_KEY_DOWN, "dr"}, {ZK_KEY_DOWN, "one"},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(Key(s.key), 7);  // not consumed: it reaches the program
        EXPECT_EQ(EditLine(), s.line);
    }
    EXPECT_EQ(ReceivedEvents().size(), 6u);
    ASSERT_EQ(zk_console.history.count, 3);
    zk_console.SetEditLine("dr");
    Type("\r");
    ASSERT_EQ(zk_console.history.count, 3);
    EXPECT_STREQ(zk_console.history.items[0], "one");
    EXPECT_STREQ(zk_console.history.items[1], "two");
    EXPECT_STREQ(zk_console.history.items[2], "dr");
    EXPECT_EQ(zk_console.history_position, 3);
}

TEST_F(ConsoleOverlayTest, HistoryKeysDoNothingWithoutHistory) {
    Type("x");
    Key(ZK_KEY_UP);
    Key(ZK_KEY_DOWN);
    EXPECT_EQ(EditLine(), "x");
    EXPECT_EQ(zk_console.history.count, 0);
}

// --- Scrolling --------------------------------------------------------------------------------

TEST_F(ConsoleOverlayTest, ScrollingKeysAndWheel) {
    AddLines(30);
    struct Step {
        const char* name;
        int (*act)();
        int offset;
        int result;
    } steps[] = {
        {"page up", [] { return Key(ZK_KEY_PAGE_UP); }, 10, 0},
        {"page up again", [] { return Key(ZK_KEY_PAGE_UP); }, 20, 0},
        {"page down", [] { return Key(ZK_KEY_PAGE_DOWN); }, 10, 0},
        {"control up", [] { return ControlKey(ZK_KEY_UP); }, 11, 1},
        {"control down", [] { return ControlKey(ZK_KEY_DOWN); }, 10, 1},
        {"control end", [] { return ControlKey(ZK_KEY_END); }, 0, 1},
        {"control home", [] { return ControlKey(ZK_KEY_HOME); }, 30, 1},
        {"wheel back two notches", [] {
             zk_wheel_event_t wheel = {ZK_EVENT_WHEEL, 0, 0, 0, -240, ZK_POINTER_MOUSE};
             return Send(ZKI_MakeEvent(wheel));
         }, 28, 1},
        {"wheel part of a notch", [] {
             zk_wheel_event_t wheel = {ZK_EVENT_WHEEL, 0, 0, 0, 119, ZK_POINTER_MOUSE};
             return Send(ZKI_MakeEvent(wheel));
         }, 28, 1},
        {"end without control", [] { return Key(ZK_KEY_END); }, 28, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        int result = s.act();
        EXPECT_EQ(result != 0 && result != 7, s.result != 0);
        EXPECT_EQ(zk_console.scroll_offset, s.offset);
    }
}

TEST_F(ConsoleOverlayTest, ShiftAndControlAreHeldUntilReleased) {
    Key(ZK_KEY_SHIFT);
    Key(ZK_KEY_CONTROL);
    EXPECT_EQ(zk_console.shift_held, 1);
    EXPECT_EQ(zk_console.control_held, 1);
    Send(KeyEvent(ZK_EVENT_KEY_UP, ZK_KEY_SHIFT));
    EXPECT_EQ(zk_console.shift_held, 0);
    EXPECT_EQ(zk_console.control_held, 1);
    EXPECT_EQ(Key('A'), 1);  // consumed while control is held
    EXPECT_EQ(Send(KeyEvent(ZK_EVENT_KEY_UP, ZK_KEY_CONTROL)), 7);  // key ups still reach the program
    EXPECT_EQ(Key('A'), 7);
}

// --- Completion -------------------------------------------------------------------------------

TEST_F(ConsoleOverlayTest, TabCompletesTheEditLine) {
    zk_console.AddAutoCompletionString("ShowFPS", nullptr);
    zk_console.AddAutoCompletionString("ShowStats", nullptr);
    Type("showS");
    Key(ZK_KEY_TAB);
    EXPECT_EQ(EditLine(), "ShowStats");
    EXPECT_EQ(zk_console.cursor, 9);
    zk_console.SetEditLine("nothing");
    Key(ZK_KEY_TAB);
    EXPECT_EQ(EditLine(), "nothing");
    // With Tab as the toggle key, Tab never completes (it toggles instead).
    zk_console.toggle_key = ZK_KEY_TAB;
    zk_console.SetEditLine("show");
    zk_console.open = 1;
    zk_event_t tab = KeyEvent(ZK_EVENT_KEY_DOWN, ZK_KEY_TAB);
    EXPECT_EQ(zk_console.ProcessEvent(&tab), 0);
    EXPECT_EQ(EditLine(), "show");
}

TEST_F(ConsoleOverlayTest, HintListsMatchingWordsAndExplainsASingleOne) {
    zk_console.AddAutoCompletionString("ShowFPS", "Shows the frame rate.");
    zk_console.AddAutoCompletionString("ShowStats", "");
    zk_console.AddAutoCompletionString("flash", "Flashes.");
    struct Case {
        const char* typed;
        std::string hint;
    } cases[] = {
        {"", "<null>"},
        {"zzz", "<null>"},
        {"sh", "Autocomplete (tab): |#ffaa55|Sh|#ffffff|owFPS |#ffaa55|Sh|#ffffff|owStats "},
        {"showf", "Autocomplete (tab): |#ffaa55|ShowF|#ffffff|PS \n\nShows the frame rate."},
        {"ash", "Autocomplete (tab): fl|#ffaa55|ash|#ffffff| \n\nFlashes."},
        {"as", "<null>"},  // two characters are only matched at the start
        {"ShowStats", "Autocomplete (tab): |#ffaa55|ShowStats|#ffffff| "},  // its extra text is empty
        {"Show", "Autocomplete (tab): |#ffaa55|Show|#ffffff|FPS |#ffaa55|Show|#ffffff|Stats "},
    };
    for (const Case& c : cases) {
        zk_console.SetEditLine(c.typed);
        EXPECT_EQ(Hint(), c.hint) << c.typed;
    }
}

TEST_F(ConsoleOverlayTest, AWordEqualToTheTextExplainsItselfAmongOthers) {
    zk_console.AddAutoCompletionString("Stat", "Just stat.");
    zk_console.AddAutoCompletionString("Statistics", "Many.");
    zk_console.SetEditLine("Stat");
    EXPECT_EQ(Hint(), "Autocomplete (tab): |#ffaa55|Stat|#ffffff| |#ffaa55|Stat|#ffffff|istics \n\nJust stat.");
}

// --- Clipboard --------------------------------------------------------------------------------

TEST_F(ConsoleOverlayTest, CopyAndPaste) {
    AddLines(2);
    ControlKey('C');  // empty edit line: every kept line, joined
    zk_console.SetEditLine("typed");
    ControlKey('C');
    EXPECT_EQ(clipboard_writes, (std::vector<std::string>{"line 1line 2", "typed"}));

    clipboard_text = "pasted\nnot this";
    zk_console.SetEditLine("ab");
    Key(ZK_KEY_LEFT);
    ControlKey('V');
    EXPECT_EQ(EditLine(), "apastedb");
    EXPECT_EQ(zk_console.cursor, 7);

    std::string long_text(600, 'z');
    clipboard_text = long_text.c_str();
    zk_console.SetEditLine("ab");
    ControlKey('V');
    EXPECT_EQ(EditLine(), "ab" + std::string(508, 'z'));
    clipboard_text = nullptr;
    ControlKey('V');  // nothing on the clipboard
    EXPECT_EQ(EditLine().size(), 510u);
}

TEST_F(ConsoleOverlayTest, ClickingALineCopiesIt) {
    AddLines(3);
    zk_console.slide = 1.0f;
    // Newest line at y = 0.8 * 480 - 2 * 16 - 2 = 350, older ones 16 higher each.
    struct Case {
        int y;
        const char* copied;  // null: nothing
    } cases[] = {{351, "line 3"}, {365, "line 3"}, {340, "line 2"}, {320, "line 1"}, {300, nullptr}, {380, nullptr}};
    for (const Case& c : cases) {
        clipboard_writes.clear();
        EXPECT_EQ(Send(ButtonEvent(ZK_EVENT_POINTER_DOWN, 0, 510, 100, c.y)), 1);
        EXPECT_EQ(clipboard_writes.size(), c.copied ? 1u : 0u) << c.y;
        if (c.copied && !clipboard_writes.empty()) {
            EXPECT_EQ(clipboard_writes[0], c.copied);
        }
    }
    zk_console.slide = 0.5f;  // not fully open: no line is under the pointer
    vec2_t at = {100, 351};
    EXPECT_EQ(zk_console.GetLineAtScreenPosition(at), nullptr);
    zk_console.slide = 1.0f;
    zk_console.SetEditLine("2");  // searching: only matching lines are on screen
    zk_console_line_t* line = zk_console.GetLineAtScreenPosition(at);
    ASSERT_NE(line, nullptr);
    EXPECT_STREQ(line->text, "line 2");
}

// --- Opening and sliding ---------------------------------------------------------------------

TEST_F(ConsoleOverlayTest, SlideAndBlink) {
    struct Case {
        bool open, overlay;
        float slide, blink, dt;
        float expect_slide, expect_blink;
    } cases[] = {
        {true, false, 0.0f, 0.0f, 0.1f, 0.4f, 0.1f},   {true, false, 0.9f, 0.0f, 0.1f, 1.0f, 0.1f},
        {false, false, 0.5f, 0.0f, 0.1f, 0.1f, 0.1f},  {false, false, 0.1f, 0.0f, 0.1f, 0.0f, 0.1f},
        {false, true, 0.0f, 0.0f, 0.1f, 0.4f, 0.1f},   {true, false, 1.0f, 0.95f, 0.1f, 1.0f, 0.05f},
    };
    for (const Case& c : cases) {
        zk_console.open = c.open;
        zk_console.overlay = c.overlay;
        zk_console.slide = c.slide;
        zk_console.blink_timer = c.blink;
        zk_console.Update(c.dt);
        EXPECT_NEAR(zk_console.slide, c.expect_slide, 1e-6);
        EXPECT_NEAR(zk_console.blink_timer, c.expect_blink, 1e-6);
    }
    zk_console.enabled = 0;
    zk_console.Update(1.0f);
    EXPECT_NEAR(zk_console.slide, 1.0f, 1e-6);
}

TEST_F(ConsoleOverlayTest, NothingIsHandledOutsideDeveloperMode) {
    zk_state.developer_mode = 0;
    zk_event_t c = CharEvent('a');
    EXPECT_EQ(zk_console.ProcessEvent(&c), 0);
    EXPECT_EQ(EditLine(), "");
    zk_console.Toggle();
    EXPECT_EQ(zk_console.open, 0);
}

// --- Drawing ----------------------------------------------------------------------------------

TEST_F(ConsoleOverlayTest, DrawingShowsTheNewestLinesInTheirColours) {
    zk_console.AddString(ZK_MESSAGE_INFO, "alpha");
    zk_console.AddString(ZK_MESSAGE_ERROR, "beta");
    zk_console.AddString(ZK_MESSAGE_SYSTEM, "gamma");
    zk_console.slide = 1.0f;
    zk_console.scroll_offset = 99;  // clamped: every line fits
    zk_console.Draw();
    EXPECT_EQ(graphics_.Matching("LoadFont"), std::vector<std::string>{"LoadFont core/console.mft"});
    EXPECT_EQ(zk_console.font, &zk_state.fonts[0]);  // no glyphs loaded: the first font slot
    EXPECT_EQ(zk_console.scroll_offset, 0);
    std::vector<std::string> texts = graphics_.Matching("DrawText ");
    // The edit line, then per kept line its number, time, thread and text,
    // newest first, one line step (16) apart.
    ASSERT_EQ(texts.size(), 1u + 3u * 4u);
    EXPECT_EQ(texts[0], "DrawText 10 368 ");
    char number[32];
    snprintf(number, sizeof(number), "DrawText 10 350 #%.4d: ", zk_console.lines.items[2].number);
    EXPECT_EQ(texts[1], number);
    EXPECT_EQ(texts[3], "DrawText 110 350 [MAIN]>");
    EXPECT_EQ(texts[4], "DrawText 170 350 [SYSTEM] gamma");  // trunc(8 * 7 * 0.9) + 120 for "[MAIN]>"
    EXPECT_EQ(texts[8], "DrawText 170 334 [ERROR] beta");
    EXPECT_EQ(texts[12], "DrawText 170 318 alpha");
    // Background over 0.8 of the height; the colour of each line by its type.
    EXPECT_FALSE(graphics_.Matching("DrawRect 0 0 800 384").empty());
    std::vector<std::string> colours = graphics_.Matching("SetColorWithAlpha");
    EXPECT_NE(std::find(colours.begin(), colours.end(), "SetColorWithAlpha 0 1 0 1"), colours.end());
    EXPECT_NE(std::find(colours.begin(), colours.end(), "SetColorWithAlpha 1 0 0 1"), colours.end());
    // Drawing again does not load the font again.
    zk_console.Draw();
    EXPECT_EQ(graphics_.Matching("LoadFont").size(), 1u);
}

TEST_F(ConsoleOverlayTest, TypedTextIsDrawnWithItsCursorAndCompletionHint) {
    zk_console.AddAutoCompletionString("ShowFPS", "Shows the frame rate.");
    Type("sho");
    Key(ZK_KEY_LEFT);
    zk_console.slide = 1.0f;
    zk_console.blink_timer = 0.25f;
    zk_console.Draw();
    const std::string hint = "Autocomplete (tab): |#ffaa55|Sho|#ffffff|wFPS \n\nShows the frame rate.";
    EXPECT_FALSE(graphics_.Matching("DrawText 10 368 sho").empty());
    // The hint below the console, wrapped to the width less 20, on a black box.
    std::vector<std::string> calls = graphics_.calls;
    auto hint_at = std::find(calls.begin(), calls.end(), "DrawText 10 388 " + hint);
    ASSERT_NE(hint_at, calls.end());
    EXPECT_EQ(*(hint_at - 1), "SetTextboxWidth 780");
    EXPECT_EQ(*(hint_at + 1), "SetTextboxWidth 0");
    EXPECT_FALSE(graphics_.Matching("DrawRect 0 384 800 96").empty());
    // The cursor after "sh" (8 pixels a character), fading with the blink.
    auto cursor_at = std::find(calls.begin(), calls.end(), "DrawRect 26 368 2 16");
    ASSERT_NE(cursor_at, calls.end());
    EXPECT_EQ(*(cursor_at - 1), "SetColorWithAlpha 1 1 1 0.75");
}

TEST_F(ConsoleOverlayTest, SearchingShowsOnlyMatchingLinesHighlighted) {
    zk_console.AddString(0, "alpha");
    zk_console.AddString(0, "beta");
    zk_console.AddString(0, "Betamax");
    zk_console.AddString(0, std::string(600, 'e').c_str());
    zk_console.SetEditLine("et");
    zk_console.slide = 1.0f;
    zk_console.Draw();
    std::vector<std::string> texts = graphics_.Matching("DrawText 170 ");
    ASSERT_EQ(texts.size(), 2u);  // "beta" and "Betamax" (searching ignores case)
    EXPECT_EQ(texts[0], "DrawText 170 350 B|#1199ff|et|#ffffff|amax");
    EXPECT_EQ(texts[1], "DrawText 170 334 b|#1199ff|et|#ffffff|a");
}

TEST_F(ConsoleOverlayTest, DraggingAlongTheRightEdgeScrolls) {
    AddLines(100);
    zk_console.slide = 1.0f;
    zk_state.key_states_i[ZK_KEY_MOUSE_LEFT] = 3;
    zk_state.key_states_i[ZK_KEY_POINTER0_X] = 790;
    zk_state.key_states_i[ZK_KEY_POINTER0_Y] = 183;  // half of the text area (366)
    zk_console.Draw();
    EXPECT_EQ(zk_console.scroll_offset, 50);
    zk_state.key_states_i[ZK_KEY_POINTER0_Y] = 0;  // the top: at most lines - rows (100 - 22)
    zk_console.Draw();
    EXPECT_EQ(zk_console.scroll_offset, 78);
    zk_state.key_states_i[ZK_KEY_POINTER0_X] = 700;  // away from the edge: no drag
    zk_state.key_states_i[ZK_KEY_POINTER0_Y] = 183;
    zk_console.Draw();
    EXPECT_EQ(zk_console.scroll_offset, 78);
}

TEST_F(ConsoleOverlayTest, NothingIsDrawnWhileClosedOrOutsideDeveloperMode) {
    zk_console.slide = 0.0f;
    zk_console.Draw();
    zk_console.slide = 1.0f;
    zk_state.developer_mode = 0;
    zk_console.Draw();
    EXPECT_TRUE(graphics_.calls.empty());
}

}  // namespace
