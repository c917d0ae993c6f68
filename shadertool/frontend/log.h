// The front end's message sink: one text that every stage appends to, with
// a flag for "something was said" and one for "an error was said". Work goes
// on after most errors, so callers test has_errors besides their result.
#pragma once

#include "engine/base/narray.h"
#include "engine/base/nstring.h"

namespace ShaderTool {

// The text of a log. It grows by doubling, so an append costs what the
// appended text costs, however long the log has become.
class LogText {
public:
    void Append(const char* more);
    void AppendFormatted(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // The text, or "" when nothing was appended.
    const char* c_str() const { return characters.count > 0 ? characters.items : ""; }
    int Length() const { return characters.count > 0 ? characters.count - 1 : 0; }
    bool IsEmpty() const { return Length() == 0; }
    void Clear() { characters.count = 0; }

private:
    nArray<char> characters;  // the text and its NUL, once anything was appended
};

class Log {
public:
    // A file that repeats one fault many times would otherwise fill the log
    // with it; after this many errors the log says so once and takes no more
    // (the flags are still set).
    enum { kMaximumErrors = 100 };

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
    // Empties the text, clears both flags and the count of errors.
    void Clear();

    const char* GetText() const { return text.c_str(); }
    bool HasMessages() const { return has_messages; }
    bool HasErrors() const { return has_errors; }

    LogText text;
    bool has_messages = false;
    bool has_errors = false;

private:
    // Counts an error and sets the flags; false when the error is past the
    // limit and must not be written.
    bool TakeError();

    int error_count = 0;
};

}  // namespace ShaderTool
