#include "shadertool/frontend/log.h"

#include <cstdarg>
#include <cstring>

#include "engine/base/nstring.h"

namespace ShaderTool {

void LogText::Append(const char* more) {
    if (!more) return;
    int added = static_cast<int>(std::strlen(more));
    int length = Length();
    int needed = length + added + 1;
    if (needed > characters.capacity) {
        int capacity = characters.capacity > 0 ? characters.capacity : 256;
        while (capacity < needed) capacity *= 2;
        characters.SetMaximumSize(capacity);
    }
    std::memcpy(characters.items + length, more, static_cast<size_t>(added) + 1);
    characters.count = needed;
}

// Formats the caller's message once, then frames it.
static nString FormatMessage(const char* format, va_list args) {
    char stack[1024];
    char* formatted = nStringFormatDynamic(stack, sizeof stack, format, args);
    nString message(formatted);
    if (formatted != stack) delete[] formatted;
    return message;
}

void LogText::AppendFormatted(const char* format, ...) {
    va_list args;
    va_start(args, format);
    nString text = FormatMessage(format, args);
    va_end(args);
    Append(text.c_str());
}

bool Log::TakeError() {
    has_messages = true;
    has_errors = true;
    ++error_count;
    if (error_count == kMaximumErrors + 1)
        text.AppendFormatted("Error: too many errors (more than %i); the rest are not reported.\n",
                             static_cast<int>(kMaximumErrors));
    return error_count <= kMaximumErrors;
}

void Log::AddError(const char* format, ...) {
    if (!TakeError()) return;
    va_list args;
    va_start(args, format);
    nString message = FormatMessage(format, args);
    va_end(args);
    text.AppendFormatted("Error: %s\n", message.c_str());
}

void Log::AddWarning(const char* format, ...) {
    va_list args;
    va_start(args, format);
    nString message = FormatMessage(format, args);
    va_end(args);
    text.AppendFormatted("Warning: %s\n", message.c_str());
    has_messages = true;
}

void Log::AddNote(const char* format, ...) {
    va_list args;
    va_start(args, format);
    nString message = FormatMessage(format, args);
    va_end(args);
    text.AppendFormatted("%s\n", message.c_str());
    has_messages = true;
}

void Log::AddLocatedError(const char* file_name, int line, int column, const char* format, ...) {
    if (!TakeError()) return;
    va_list args;
    va_start(args, format);
    nString message = FormatMessage(format, args);
    va_end(args);
    text.AppendFormatted("%s(%i:%i) error: %s\n", file_name ? file_name : "", line, column, message.c_str());
}

void Log::AppendText(const char* more) { text.Append(more); }

void Log::Clear() {
    text.Clear();
    has_messages = false;
    has_errors = false;
    error_count = 0;
}

}  // namespace ShaderTool
