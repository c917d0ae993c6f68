// Error reports: the texts of the four overloads, code and platform-error
// formatting, and a detail too long for the popup printer.

#include "engine/runtime/error.h"

#include <string>
#include <vector>

#include "engine/runtime/tests/core_fixture.h"

namespace {

std::vector<std::string> console_lines;
void RecordConsoleLine(short type, const char* text) {
    console_lines.push_back(std::to_string(type) + ":" + (text ? text : "<null>"));
}

class ErrorReportTest : public ZkCoreTest {
protected:
    void SetUp() override {
        ZkCoreTest::SetUp();
        console_lines.clear();
        zk_console_line_hook = RecordConsoleLine;
    }
    // The one ERROR popup text the report raised.
    std::string Reported() {
        EXPECT_EQ(console_lines.size(), 1u);
        if (console_lines.empty()) return "<none>";
        const std::string prefix = "2:[POPUP] ";
        EXPECT_EQ(console_lines[0].compare(0, prefix.size(), prefix), 0) << console_lines[0];
        return console_lines[0].substr(prefix.size());
    }
};

TEST_F(ErrorReportTest, EachOverloadReportsItsCodePlatformErrorAndDetail) {
    const std::string head = "Unknown category error: unknown error ";
    struct Case {
        void (*raise)();
        std::string text;
    } cases[] = {
        {[] { Error::SetError(18); }, head + "(0x00000012, platform error 0)."},
        {[] { Error::SetError(0xFFFFFFFFu); }, head + "(0xFFFFFFFF, platform error 0)."},
        {[] { Error::SetError(18, 5); }, head + "(0x00000012, platform error 5)."},
        {[] { Error::SetError(0xABCDEFu, -7); }, head + "(0x00ABCDEF, platform error -7)."},
        {[] { Error::SetError(18, "%s", "disk full"); }, head + "(0x00000012, platform error 0)\n\ndisk full."},
        {[] { Error::SetError(18, 5, "%s %d", "disk full", 3); },
         head + "(0x00000012, platform error 5)\n\ndisk full 3."},
        {[] { Error::SetError(18, static_cast<const char*>(nullptr)); },
         head + "(0x00000012, platform error 0)."},
        {[] { Error::SetError(18, 5, nullptr); }, head + "(0x00000012, platform error 5)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        console_lines.clear();
        StdoutCapture out;
        c.raise();
        EXPECT_EQ(out.Finish(), "[ERROR] " + c.text + "\n");
        EXPECT_EQ(Reported(), c.text);
    }
}

TEST_F(ErrorReportTest, OverlongDetailIsCutButTheReportStillEndsWithItsFullStop) {
    std::string detail(5000, 'x');
    StdoutCapture out;
    Error::SetError(1, 2, "%s", detail.c_str());
    std::string printed = out.Finish();
    std::string text = Reported();
    EXPECT_LE(text.size(), 4095u);
    EXPECT_EQ(text.back(), '.');
    const std::string head = "Unknown category error: unknown error (0x00000001, platform error 2)\n\nxxxx";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(printed, "[ERROR] " + text + "\n");
}

}  // namespace

namespace {

TEST_F(ErrorReportTest, ReportsWorkBeforeTheInterfaceTableIsSetUp) {
    zekar_t* table = zk;
    zk = nullptr;
    StdoutCapture out;
    Error::SetError(3, 4);
    std::string printed = out.Finish();
    zk = table;
    EXPECT_EQ(printed, "[ERROR] Unknown category error: unknown error (0x00000003, platform error 4).\n");
}

}  // namespace
