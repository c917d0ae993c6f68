// The front end's message sink: one text that every stage appends to, with
// a flag for "something was said" and one for "an error was said". Work goes
// on after most errors, so callers test has_errors besides their result.
#pragma once

#include "engine/base/nstring.h"

namespace ShaderTool {

class Log {
public:
    // "Error: %s\n"; sets both flags.
    void AddError(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // "Warning: %s\n"; sets has_messages only.
    void AddWarning(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // "%s\n"; sets has_messages only.
    void AddNote(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // "%s(%i:%i) error: %s\n" with file name, line and column; sets both
    // flags. A null file name is written as "".
    void AddLocatedError(const char* file_name, int line, int column, const char* format, ...)
        __attribute__((format(printf, 5, 6)));
    // Appends text as it is, without touching the flags.
    void AppendText(const char* more);
    // Empties the text and clears both flags.
    void Clear();

    const char* GetText() const { return text.c_str(); }
    bool HasMessages() const { return has_messages; }
    bool HasErrors() const { return has_errors; }

    nString text;
    bool has_messages = false;
    bool has_errors = false;
};

}  // namespace ShaderTool
