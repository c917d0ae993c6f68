// The console overlay drawing its lines through the text functions, over the
// batch renderer and the recording renderer.

#include <cstring>
#include <string>
#include <vector>

#include "engine/console/tests/console_fixture.h"
#include "engine/text/tests/text_fixture.h"

namespace {

class ConsoleTextTest : public TextDrawingTest {};

TEST_F(ConsoleTextTest, TheConsoleDrawsItsLinesThroughTheTextFunctions) {
    zk_font_t* font = Latin1Font();
    zk_parms.width = 640;
    zk_parms.height = 480;
    zk_state.developer_mode = 1;
    zk_state.console_enabled = 1;
    zk_console_line_hook_t kept_lines = zk_console_line_hook;
    zk_console.Init();
    zk_console_line_hook = kept_lines;  // printed lines stay with the test
    EmptyConsole();
    zk_console.lowest_kept_type = 0;
    zk_console.open = 1;
    zk_console.slide = 1.0f;
    zk_console.font = font;
    zk_console.AddString(0, "hello");
    strcpy(zk_console.edit_line, "ell");
    zk_console.cursor = 3;

    zk_console.Draw();
    std::string drawn = DrawnText();
    EXPECT_NE(drawn.find("ell"), std::string::npos) << "the edit line";
    EXPECT_NE(drawn.find("hello"), std::string::npos) << "the line, its search highlighted by colour blocks";
    EXPECT_EQ(drawn.find('|'), std::string::npos);
    EXPECT_EQ(drawn.find("1199"), std::string::npos);
    std::vector<DrawnQuad> quads = Quads();
    size_t hello = drawn.find("hello");
    EXPECT_EQ(quads[hello].color, Packed(1, 1, 1));
    EXPECT_EQ(quads[hello + 1].color, Packed(0x11 / 255.0f, 0x99 / 255.0f, 1));
    EXPECT_EQ(quads[hello + 4].color, Packed(1, 1, 1));

    // A line whose blocks raise a popup (here the deprecated scale) is
    // drawn while the console holds PRINT: the popup follows once it is let
    // go, instead of waiting on the drawing thread.
    zk_state.prog_initialized = 1;
    zk_console.AddString(0, "|scale=x| tag");
    zk_console.edit_line[0] = '\0';
    ClearLines();
    zk_console.Draw();
    EXPECT_EQ(Popups(), std::vector<std::string>{"1:[POPUP] |scale=x| tag is deprecated. Remove all references to it."});
    zk_state.prog_initialized = 0;

    EmptyConsole();
    zk_console.enabled = 0;
    zk_console.mutex = nullptr;
    zk_parms = zk_parms_t();
}

}  // namespace
