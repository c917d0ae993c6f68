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

// Formats the caller's message once, between a frame's two parts.
static void AppendFramed(LogText& text, const char* before, const char* format, va_list args, const char* after) {
    char stack[1024];
    char* formatted = nStringFormatDynamic(stack, sizeof stack, format, args);
    text.Append(before);
    text.Append(formatted);
    text.Append(after);
    if (formatted != stack) delete[] formatted;
}

void LogText::AppendFormatted(const char* format, ...) {
    va_list args;
    va_start(args, format);
    AppendFramed(*this, "", format, args, "");
    va_end(args);
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
    AppendFramed(text, "Error: ", format, args, "\n");
    va_end(args);
}

void Log::AddWarning(const char* format, ...) {
    va_list args;
    va_start(args, format);
    AppendFramed(text, "Warning: ", format, args, "\n");
    va_end(args);
    has_messages = true;
}

void Log::AddNote(const char* format, ...) {
    va_list args;
    va_start(args, format);
    AppendFramed(text, "", format, args, "\n");
    va_end(args);
    has_messages = true;
}

void Log::AddLocatedError(const char* file_name, int line, int column, const char* format, ...) {
    if (!TakeError()) return;
    va_list args;
    va_start(args, format);
    char stack[1024];
    char* message = nStringFormatDynamic(stack, sizeof stack, format, args);
    va_end(args);
    text.AppendFormatted("%s(%i:%i) error: %s\n", file_name ? file_name : "", line, column, message);
    if (message != stack) delete[] message;
}

void Log::AppendText(const char* more) { text.Append(more); }

void Log::Clear() {
    text.Clear();
    has_messages = false;
    has_errors = false;
    error_count = 0;
}

}  // namespace ShaderTool
