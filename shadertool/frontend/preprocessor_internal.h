// What the stages of the preprocessor share: the tests of characters and
// lines of its text and of its values. Only the preprocessor's own files
// include it.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "shadertool/frontend/preprocessor.h"

namespace ShaderTool {

// Characters that make a name part of a longer word.
inline bool IsWordCharacter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// A line, read from its start, that is a file instruction ("@f ...").
inline bool IsFileInstructionLine(const char* line) {
    while (*line == ' ' || *line == '\t') ++line;
    return line[0] == '@' && line[1] == 'f';
}

inline bool IsTrue(const Constant& value) {
    return value.kind == Constant::INT ? value.int_value != 0 : value.float_value != 0.0f;
}

inline bool IsNumeric(const Constant& value) {
    return value.kind == Constant::INT || value.kind == Constant::FLOAT;
}

// atoi without its undefined behaviour on overflow: decimal digits after an
// optional sign, wrapped to 32 bits.
inline int ParseDecimalInt(const char* text) {
    long long value = std::strtoll(text, nullptr, 10);
    return static_cast<int>(static_cast<uint32_t>(static_cast<unsigned long long>(value)));
}

}  // namespace ShaderTool
