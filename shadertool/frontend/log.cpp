#include "shadertool/frontend/log.h"

#include <cstdarg>

#include "engine/base/nstring.h"

namespace ShaderTool {

// Formats the caller's message once, then frames it.
static nString FormatMessage(const char* format, va_list args) {
    char stack[1024];
    char* formatted = nStringFormatDynamic(stack, sizeof stack, format, args);
    nString message(formatted);
    if (formatted != stack) delete[] formatted;
    return message;
}

void Log::AddError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    nString message = FormatMessage(format, args);
    va_end(args);
    text.AppendFormatted("Error: %s\n", message.c_str());
    has_messages = true;
    has_errors = true;
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
    va_list args;
    va_start(args, format);
    nString message = FormatMessage(format, args);
    va_end(args);
    text.AppendFormatted("%s(%i:%i) error: %s\n", file_name ? file_name : "", line, column, message.c_str());
    has_messages = true;
    has_errors = true;
}

void Log::AppendText(const char* more) {
    if (more) text.Append(more);
}

void Log::Clear() {
    text = nString();
    has_messages = false;
    has_errors = false;
}

}  // namespace ShaderTool
