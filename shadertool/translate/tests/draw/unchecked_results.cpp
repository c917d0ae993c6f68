#include "shadertool/translate/tests/draw/unchecked_results.h"

#include <sstream>

#include "shadertool/frontend/targets.h"
#include "shadertool/translate/output_paths.h"

namespace ShaderTool {
namespace draw {

namespace {

bool IsTargetName(const std::string& name) {
    for (const TargetDescription& target : kTargets)
        if (name == target.name) return true;
    return false;
}

}  // namespace

bool UncheckedResults::Read(const std::string& text, std::string* error) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        size_t colon = line.find(": ");
        size_t space = line.rfind(' ', colon);
        std::string what = "line " + std::to_string(number) + " \"" + line + "\" ";
        if (colon == std::string::npos || line.find_first_not_of(' ', colon + 2) == std::string::npos) {
            *error = what + "gives no reason after \": \"";
            return false;
        }
        if (space == std::string::npos || space == 0 || !IsTargetName(line.substr(space + 1, colon - space - 1))) {
            *error = what + "does not begin with a file and a target";
            return false;
        }
        reasons[line.substr(0, colon)] = line.substr(colon + 2);
    }
    return true;
}

void UncheckedResults::Apply(FileReport* report) {
    for (TargetLine& line : report->targets) {
        std::string key = report->path + " " + GetTargetName(line.target);
        auto reason = reasons.find(key);
        if (reason == reasons.end()) continue;
        seen.insert(key);
        if (line.differs) {
            line.verdict = "unchecked (" + reason->second + "): " + line.verdict;
            line.failed = false;
        } else if (!line.failed) {
            line.verdict = "passes, but is listed as a result the drawing cannot check: " + line.verdict;
            line.failed = true;
        }
    }
}

std::vector<std::string> UncheckedResults::ListedButNotDrawn(const std::set<std::string>& drawn_files) const {
    std::vector<std::string> lines;
    for (const auto& reason : reasons)
        if (!seen.count(reason.first) && drawn_files.count(reason.first.substr(0, reason.first.rfind(' '))))
            lines.push_back(reason.first + ": listed as a result the drawing cannot check, but not drawn");
    return lines;
}

}  // namespace draw
}  // namespace ShaderTool
