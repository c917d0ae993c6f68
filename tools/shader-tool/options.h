// zk-shader-tool's options, each written once: its spellings, the argument
// it takes, what it does, and its entry in the usage text.
#pragma once

#include "tools/shader-tool/command_line.h"

// What one walk over the arguments has found so far.
struct ParseState {
    Options& options;
    bool recursive = false;
    bool complement_target = false;  // a target with '~' was given
    bool argument_error = false;
    bool input_refused = false;
};

enum OptionArgument {
    NO_ARGUMENT,
    NEXT_ARGUMENT,    // the next argument, which the option consumes
    INLINE_ARGUMENT,  // the rest of the argument after the spelling
};

struct OptionDescription {
    const char* spelling;       // "-c", or the only one ("--pp"); a prefix for an inline argument
    const char* long_spelling;  // "--compile", or null; messages name the option by it
    OptionArgument argument;
    const char* argument_name;  // as the usage shows it, "<level> ..."; null without an argument
    // Applies the option, value being its argument (null without one).
    // False on an argument error, whose message it has printed.
    bool (*apply)(ParseState& state, const OptionDescription& option, const char* value);
    const char* const* description;  // the usage's lines, null-terminated
    const char* const* values;       // value lines, "" an empty line, null-terminated; may be null
};

// The option that an argument beginning with '-' names; null when none does.
const OptionDescription* FindOption(const char* argument);

// Prints "Argument for option '<name>' is <what>.\n", the option named by
// its long spelling (or its only one) without the dashes.
void PrintArgumentError(const OptionDescription& option, const char* what);
