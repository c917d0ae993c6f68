// Results the drawing cannot check: file and target pairs whose drawn
// result says nothing about the translation, because the target language
// leaves the result undefined or a converter on the way to the driver
// changes what the text computes. A list holds them one a line,
//
//   <file> <TARGET>: why the drawing cannot check it
//
// with blank lines and lines beginning with # between them. A listed
// target drawn otherwise than expected passes as unchecked; one drawn as
// expected fails the run, so that the list keeps only what still cannot be
// checked. A listed target that fails in another way (it does not draw, or
// is refused) fails as any other: the list excuses a drawn result only.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "shadertool/translate/tests/draw/draw_file.h"

namespace ShaderTool {
namespace draw {

class UncheckedResults {
public:
    // Reads the list's text; false with the line and what is wrong with it
    // when a line is not of the form above (no reason, no known target).
    bool Read(const std::string& text, std::string* error);

    // Marks the listed targets of a drawn file, as said above.
    void Apply(FileReport* report);

    // One line for each listed target of a file among `drawn_files` that
    // no report held.
    std::vector<std::string> ListedButNotDrawn(const std::set<std::string>& drawn_files) const;

private:
    std::map<std::string, std::string> reasons;  // "<file> <TARGET>" to why
    std::set<std::string> seen;
};

}  // namespace draw
}  // namespace ShaderTool
