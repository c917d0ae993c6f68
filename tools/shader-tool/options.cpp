// The option table of zk-shader-tool and the usage text laid out from it at
// 80 columns: option forms in a 26-character field from column 3, their
// descriptions from column 29, value lists from column 31.
#include "tools/shader-tool/options.h"

#include <cstdio>
#include <cstring>

#include "shadertool/frontend/shader_info.h"
#include "shadertool/translate/translator_driver.h"

namespace {

// An option that only sets a flag of the options.
template <bool Options::*kFlag, bool kValue = true>
bool SetFlag(ParseState& state, const OptionDescription&, const char*) {
    state.options.*kFlag = kValue;
    return true;
}

// "<name>[=<value>]": the value is "1" without a '='.
bool AddDefinition(ParseState& state, const OptionDescription&, const char* value) {
    const char* equals = strchr(value, '=');
    nString name(value);
    if (equals) name = name.Substring(0, static_cast<int>(equals - value));
    state.options.definitions.InsertLast(name);
    state.options.definitions.InsertLast(nString(equals ? equals + 1 : "1"));
    return true;
}

bool AddLevels(ParseState& state, const OptionDescription& option, const char* value) {
    int bits = ShaderTool::GetShaderLevelsFromString(value);
    if (!bits) {
        PrintArgumentError(option, "invalid");
        return false;
    }
    state.options.levelMask |= bits;
    return true;
}

// A later output directory replaces an earlier one.
bool SetOutputDirectory(ParseState& state, const OptionDescription& option, const char* value) {
    // An empty directory (an unset shell variable, say) would become "/",
    // the root of the file system.
    if (!value[0]) {
        PrintArgumentError(option, "empty");
        return false;
    }
    state.options.outputDirectory = value;
    ShaderTool::TranslatorDriver::AppendDirectorySeparatorToPath(state.options.outputDirectory);
    return true;
}

bool SetRecursive(ParseState& state, const OptionDescription&, const char*) {
    state.recursive = true;
    return true;
}

// "~<target>" stands for every other target and may be the only target given.
bool AddTargets(ParseState& state, const OptionDescription& option, const char* value) {
    Options& options = state.options;
    bool complement = value[0] == '~';
    if (state.complement_target || (complement && options.targetMask != 0)) {
        printf("Only one 'target' must be specified when a target with '~' is specified.\n");
        return false;
    }
    int bits = ShaderTool::GetShaderTargetsFromString(complement ? value + 1 : value);
    if (!bits) {
        PrintArgumentError(option, "invalid");
        return false;
    }
    if (complement) {
        options.targetMask = bits ^ ShaderTool::ALL_TARGETS;
        state.complement_target = true;
    } else {
        options.targetMask |= bits;
    }
    return true;
}

const char* const kCompileLines[] = {"Compiles shaders after successful translation if the",
                                     "target supports compilation, and outputs the",
                                     "binaries into <output>/<target>/bin (see '-o' and", "'-t').", nullptr};
const char* const kDefineLines[] = {"Specifies an additional preprocessor definition,",
                                    "equivalent to #define <name> [<value>]. If <value>",
                                    "is omitted, the value of <name> will be 1.", nullptr};
const char* const kForceLines[] = {"Forces translation even when output is up to date.", nullptr};
const char* const kHelpLines[] = {"Shows this help.", nullptr};
const char* const kLevelLines[] = {"Shader compilation level, multiple levels can be",
                                   "specified with multple level options.", "<level> is one of:", nullptr};
const char* const kLevelValues[] = {"HLSL11_DEFAULT (default for HLSL11)", "HLSL11_LOW", "HLSL11_XBOX", "ALL",
                                    nullptr};
const char* const kOutputLines[] = {"Output directory, the default is the current working", "directory.", nullptr};
const char* const kRecursiveLines[] = {"Processes all Shader XML files in 'file/directory'",
                                       "recursively if it is a directory.", nullptr};
const char* const kTargetLines[] = {"Translation target (required), multiple targets can",
                                    "be specified with multiple target options. '~' can",
                                    "be specified in front of a target, in which case all",
                                    "other targets are set as translation targets. Only",
                                    "one target option must be specified when using '~'.",
                                    "<target> is one of:", nullptr};
const char* const kTargetValues[] = {"ESSL20", "ESSL30", "GLSL21", "GLSL31", "HLSL9", "HLSL11", "PSSL", "",
                                     "ESSL (ESSL20 | ESSL30)", "GLSL (GLSL21 | GLSL31)", "HLSL (HLSL9 | HLSL11)", "",
                                     "ALL", nullptr};
const char* const kKeepLines[] = {"Does not delete translation files after translation", "(binary targets only).",
                                  nullptr};
const char* const kPreprocessLines[] = {"Runs the preprocessor only,", nullptr};
const char* const kListDefinitionsLines[] = {"Lists preprocessor definitions, no shaders are", "translated.", nullptr};
const char* const kFailuresOnlyLines[] = {"Prints failure messages only.", nullptr};

// Matched in this order, which is also the usage text's. -h only asks for
// the usage: parsing goes on, so the other options still report their errors.
const OptionDescription kOptions[] = {
    {"-c", "--compile", NO_ARGUMENT, nullptr, SetFlag<&Options::compile>, kCompileLines, nullptr},
    {"-d", nullptr, INLINE_ARGUMENT, "<name>[=<value>]", AddDefinition, kDefineLines, nullptr},
    {"-f", "--force", NO_ARGUMENT, nullptr, SetFlag<&Options::force>, kForceLines, nullptr},
    {"-h", "--help", NO_ARGUMENT, nullptr, SetFlag<&Options::showUsage>, kHelpLines, nullptr},
    {"-l", "--level", NEXT_ARGUMENT, "<level> ...", AddLevels, kLevelLines, kLevelValues},
    {"-o", "--output", NEXT_ARGUMENT, "<output>", SetOutputDirectory, kOutputLines, nullptr},
    {"-r", "--recursive", NO_ARGUMENT, nullptr, SetRecursive, kRecursiveLines, nullptr},
    {"-t", "--target", NEXT_ARGUMENT, "<target> ...", AddTargets, kTargetLines, kTargetValues},
    {"--keep-translations", nullptr, NO_ARGUMENT, nullptr, SetFlag<&Options::deleteTranslations, false>,
     kKeepLines, nullptr},
    {"--pp", nullptr, NO_ARGUMENT, nullptr, SetFlag<&Options::preprocessOnly>, kPreprocessLines, nullptr},
    {"--ppdef", nullptr, NO_ARGUMENT, nullptr, SetFlag<&Options::listDefinitions>, kListDefinitionsLines, nullptr},
    {"--print-failures-only", nullptr, NO_ARGUMENT, nullptr, SetFlag<&Options::printFailuresOnly>,
     kFailuresOnlyLines, nullptr},
};

const char* const kClosingLines[] = {
    "'file/directory' is a file path to a Shader XML file or a directory containing",
    "Shader XML files. 'file/directory' can be omitted, in which case the current",
    "working directory is searched for Shader XML files.", nullptr};

// An option with an inline argument is named by its spelling as a prefix.
bool Names(const OptionDescription& option, const char* argument) {
    if (option.argument == INLINE_ARGUMENT) return strncmp(argument, option.spelling, strlen(option.spelling)) == 0;
    if (strcmp(argument, option.spelling) == 0) return true;
    return option.long_spelling && strcmp(argument, option.long_spelling) == 0;
}

// "-l --level <level> ...": the spellings, then the argument.
nString OptionForms(const OptionDescription& option) {
    nString forms(option.spelling);
    if (option.long_spelling) forms.AppendFormatted(" %s", option.long_spelling);
    if (option.argument == NEXT_ARGUMENT) forms.AppendFormatted(" %s", option.argument_name);
    if (option.argument == INLINE_ARGUMENT) forms.Append(option.argument_name);
    return forms;
}

void AppendEntry(nString& text, const OptionDescription& option) {
    nString forms = OptionForms(option);
    for (int i = 0; option.description[i]; ++i) {
        if (i == 0)
            text.AppendFormatted("  %-26s%s\n", forms.c_str(), option.description[i]);
        else
            text.AppendFormatted("%28s%s\n", "", option.description[i]);
    }
    for (int i = 0; option.values && option.values[i]; ++i) {
        if (option.values[i][0])
            text.AppendFormatted("%30s%s\n", "", option.values[i]);
        else
            text.Append("\n");
    }
    text.Append("\n");
}

}  // namespace

const OptionDescription* FindOption(const char* argument) {
    for (const OptionDescription& option : kOptions)
        if (Names(option, argument)) return &option;
    return nullptr;
}

void PrintArgumentError(const OptionDescription& option, const char* what) {
    const char* name = option.long_spelling ? option.long_spelling + 2 : option.spelling + 1;
    printf("Argument for option '%s' is %s.\n", name, what);
}

nString GetShaderToolUsageText() {
    nString text("Usage: zk-shader-tool options [file/directory]\n\nOptions:\n");
    for (const OptionDescription& option : kOptions) AppendEntry(text, option);
    for (int i = 0; kClosingLines[i]; ++i) {
        text.Append(kClosingLines[i]);
        text.Append("\n");
    }
    return text;
}
