#include "shadertool/translate/tests/draw/draw_marks.h"

#include <cstdlib>
#include <sstream>

#include "shadertool/frontend/shader_info.h"

namespace ShaderTool {
namespace draw {

namespace {

bool ReadNumber(const std::string& word, double* value) {
    if (word.empty()) return false;
    char* end = nullptr;
    *value = strtod(word.c_str(), &end);
    return end && *end == '\0';
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    std::string word;
    while (stream >> word) words.push_back(word);
    return words;
}

int LineAt(const std::string& text, size_t at) {
    int line = 1;
    for (size_t i = 0; i < at && i < text.size(); ++i)
        if (text[i] == '\n') ++line;
    return line;
}

// "TARGETS:" or "TARGETS" before what follows, as a target mask; 0 for a
// list the Shader XML's own reader refuses.
int ReadTargets(std::string list) {
    if (!list.empty() && list.back() == ':') list.pop_back();
    return list.empty() ? 0 : GetSourceTargetIds(list.c_str());
}

bool ReadSet(const std::vector<std::string>& words, Marks* marks, std::string* why) {
    if (words.size() < 3) {
        *why = "set takes a name and at least one value";
        return false;
    }
    std::vector<double>& values = marks->values[words[1]];
    if (!values.empty()) {
        *why = "the values of '" + words[1] + "' are set twice";
        return false;
    }
    for (size_t i = 2; i < words.size(); ++i) {
        double value;
        if (!ReadNumber(words[i], &value)) {
            *why = "'" + words[i] + "' is not a number";
            return false;
        }
        values.push_back(value);
    }
    return true;
}

bool ReadExpect(const std::vector<std::string>& words, Marks* marks, std::string* why) {
    Expectation expectation;
    size_t first = 1;
    if (words.size() > 1 && words[1].back() == ':') {
        expectation.targets = ReadTargets(words[1]);
        if (expectation.targets == 0) {
            *why = "'" + words[1] + "' is not a target list";
            return false;
        }
        first = 2;
    }
    if (words.size() != first + 4) {
        *why = "expect takes four values, R G B A";
        return false;
    }
    for (int c = 0; c < 4; ++c)
        if (!ReadNumber(words[first + static_cast<size_t>(c)], &expectation.colour.channel[c])) {
            *why = "'" + words[first + static_cast<size_t>(c)] + "' is not a number";
            return false;
        }
    marks->expectations.push_back(expectation);
    return true;
}

// `text` follows the word ERROR: an optional target list, then the pattern
// in double quotes.
bool ReadError(const std::string& text, int line, Marks* marks, std::string* why) {
    size_t open = text.find('"');
    size_t close = text.rfind('"');
    if (open == std::string::npos || close == open) {
        *why = "ERROR takes a pattern in double quotes";
        return false;
    }
    ErrorMark mark;
    mark.line = line;
    mark.pattern = text.substr(open + 1, close - open - 1);
    std::vector<std::string> before = Words(text.substr(0, open));
    if (before.size() > 1) {
        *why = "ERROR takes one target list before its pattern";
        return false;
    }
    if (before.size() == 1) {
        mark.targets = ReadTargets(before[0]);
        if (mark.targets == 0) {
            *why = "'" + before[0] + "' is not a target list";
            return false;
        }
    }
    marks->errors.push_back(mark);
    return true;
}

bool ReadComment(const std::string& body, Marks* marks, std::string* why) {
    std::vector<std::string> words = Words(body);
    if (words.empty()) return true;
    if (words[0] == "set") return ReadSet(words, marks, why);
    if (words[0] == "expect") return ReadExpect(words, marks, why);
    if (words[0] == "ERROR") return ReadError(body.substr(body.find("ERROR") + 5), 0, marks, why);
    return true;
}

}  // namespace

bool ReadMarks(const std::string& xml, Marks* marks, std::string* error) {
    std::string why;
    for (size_t open = xml.find("<!--"); open != std::string::npos; open = xml.find("<!--", open + 4)) {
        size_t close = xml.find("-->", open + 4);
        if (close == std::string::npos) break;
        if (!ReadComment(xml.substr(open + 4, close - open - 4), marks, &why)) {
            *error = "line " + std::to_string(LineAt(xml, open)) + ": " + why;
            return false;
        }
    }
    std::istringstream lines(xml);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        size_t mark = line.find("// ERROR");
        if (mark == std::string::npos) continue;
        if (!ReadError(line.substr(mark + 8), number, marks, &why)) {
            *error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
    }
    return true;
}

std::vector<Colour> ExpectationsFor(const Marks& marks, int target) {
    std::vector<Colour> general, own;
    for (const Expectation& e : marks.expectations) {
        if (e.targets == 0)
            general.push_back(e.colour);
        else if (e.targets & target)
            own.push_back(e.colour);
    }
    for (size_t k = 0; k < own.size() && k < general.size(); ++k) general[k] = own[k];
    for (size_t k = general.size(); k < own.size(); ++k) general.push_back(own[k]);
    return general;
}

std::vector<ErrorMark> ErrorsFor(const Marks& marks, int target) {
    std::vector<ErrorMark> errors;
    for (const ErrorMark& e : marks.errors)
        if (e.targets == 0 || (e.targets & target)) errors.push_back(e);
    return errors;
}

}  // namespace draw
}  // namespace ShaderTool
