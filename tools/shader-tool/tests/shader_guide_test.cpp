// The shader author's guide (docs/shader-xml.md) agrees with the program:
// every generated part of it is what the program's tables and the probes
// give now.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tools/shader-tool/tests/shader_guide.h"

namespace {

using ShaderGuide::Block;
using ShaderGuide::FillGuide;

std::string ReadFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) lines.push_back(line);
    return lines;
}

// Where the two texts part, with the generated part it lies in.
std::string FirstDifference(const std::string& committed, const std::string& generated) {
    std::vector<std::string> a = Lines(committed);
    std::vector<std::string> b = Lines(generated);
    size_t line = 0;
    std::string part = "(none)";
    while (line < a.size() && line < b.size() && a[line] == b[line]) {
        if (a[line].rfind("<!-- generated: ", 0) == 0) part = a[line];
        ++line;
    }
    std::string report = "first difference at line " + std::to_string(line + 1) + ", in " + part + "\n";
    report += "  committed: " + (line < a.size() ? a[line] : std::string("(end of the guide)")) + "\n";
    report += "  generated: " + (line < b.size() ? b[line] : std::string("(end of the guide)")) + "\n";
    return report;
}

TEST(ShaderGuide, GeneratedPartsAreWhatTheProgramGivesNow) {
    std::string committed = ReadFile(ShaderGuide::kGuidePath);
    ASSERT_FALSE(committed.empty()) << ShaderGuide::kGuidePath << " cannot be read";
    std::vector<Block> blocks;
    std::string problems;
    EXPECT_TRUE(ShaderGuide::GenerateGuideBlocks(&blocks, &problems)) << problems;
    std::string misplaced;
    std::string generated = FillGuide(committed, blocks, &misplaced);
    EXPECT_EQ(misplaced, "");
    EXPECT_TRUE(generated == committed)
        << ShaderGuide::kGuidePath << " disagrees with the program's tables.\n"
        << FirstDifference(committed, generated)
        << "After a deliberate change, write the guide afresh from the project root and review the difference:\n"
           "  cmake -S . -B build-test && cmake --build build-test --target shader_guide && "
           "build-test/tools/shader-tool/shader_guide\n";
}

// How a document's marked parts are replaced, and what is reported.
TEST(ShaderGuide, FillingReplacesEachMarkedPartAndReportsMismatches) {
    const std::vector<Block> blocks = {{"a", "new a\n"}, {"b", "new b\n"}};
    struct Case {
        const char* document;
        const char* filled;
        const char* problem;  // a part of the report; "" for none
    } cases[] = {
        {"x\n<!-- generated: a -->\nold\nold\n<!-- end generated -->\ny\n<!-- generated: b -->\n<!-- end generated -->\n",
         "x\n<!-- generated: a -->\nnew a\n<!-- end generated -->\ny\n<!-- generated: b -->\nnew b\n"
         "<!-- end generated -->\n",
         ""},
        {"<!-- generated: a -->\n<!-- end generated -->\n", nullptr, "no place for the generated part 'b'"},
        {"<!-- generated: a -->\n<!-- end generated -->\n<!-- generated: b -->\n<!-- end generated -->\n"
         "<!-- generated: c -->\n<!-- end generated -->\n",
         nullptr, "'c' that nothing generates"},
        {"<!-- generated: a -->\n<!-- end generated -->\n<!-- generated: b -->\nold\n", nullptr,
         "'b' has no end marker"},
        {"<!-- generated: a -->\n<!-- end generated -->\n<!-- generated: a -->\n<!-- end generated -->\n"
         "<!-- generated: b -->\n<!-- end generated -->\n",
         nullptr, "'a' twice"},
    };
    for (const Case& c : cases) {
        std::string problems;
        std::string filled = FillGuide(c.document, blocks, &problems);
        if (c.filled) {
            EXPECT_EQ(filled, c.filled) << c.document;
        }
        if (c.problem[0]) {
            EXPECT_NE(problems.find(c.problem), std::string::npos) << c.document << "\nreported: " << problems;
        } else {
            EXPECT_EQ(problems, "") << c.document;
        }
    }
}

}  // namespace
