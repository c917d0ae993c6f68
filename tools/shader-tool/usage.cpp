// The usage text of zk-shader-tool, kept as one table of entries and laid out
// at 80 columns: option forms in a 26-character field from column 3, their
// descriptions from column 29, value lists from column 31.
#include "tools/shader-tool/command_line.h"

namespace {

struct UsageEntry {
    const char* options;
    const char* const* description;  // null-terminated lines
    const char* const* values;       // null-terminated lines, "" for an empty line; may be null
};

const char* const kCompile[] = {"Compiles shaders after successful translation if the",
                                "target supports compilation, and outputs the",
                                "binaries into <output>/<target>/bin (see '-o' and", "'-t').", nullptr};
const char* const kDefine[] = {"Specifies an additional preprocessor definition,",
                               "equivalent to #define <name> [<value>]. If <value>",
                               "is omitted, the value of <name> will be 1.", nullptr};
const char* const kForce[] = {"Forces translation even when output is up to date.", nullptr};
const char* const kHelp[] = {"Shows this help.", nullptr};
const char* const kLevel[] = {"Shader compilation level, multiple levels can be",
                              "specified with multple level options.", "<level> is one of:", nullptr};
const char* const kLevelValues[] = {"HLSL11_DEFAULT (default for HLSL11)", "HLSL11_LOW", "HLSL11_XBOX", "ALL", nullptr};
const char* const kOutput[] = {"Output directory, the default is the current working", "directory.", nullptr};
const char* const kRecursive[] = {"Processes all Shader XML files in 'file/directory'",
                                  "recursively if it is a directory.", nullptr};
const char* const kTarget[] = {"Translation target (required), multiple targets can",
                               "be specified with multiple target options. '~' can",
                               "be specified in front of a target, in which case all",
                               "other targets are set as translation targets. Only",
                               "one target option must be specified when using '~'.",
                               "<target> is one of:", nullptr};
const char* const kTargetValues[] = {"ESSL20", "ESSL30", "GLSL21", "GLSL31", "HLSL9", "HLSL11", "PSSL", "",
                                     "ESSL (ESSL20 | ESSL30)", "GLSL (GLSL21 | GLSL31)", "HLSL (HLSL9 | HLSL11)", "",
                                     "ALL", nullptr};
const char* const kKeep[] = {"Does not delete translation files after translation", "(binary targets only).", nullptr};
const char* const kPreprocess[] = {"Runs the preprocessor only,", nullptr};
const char* const kListDefinitions[] = {"Lists preprocessor definitions, no shaders are", "translated.", nullptr};
const char* const kFailuresOnly[] = {"Prints failure messages only.", nullptr};

const UsageEntry kUsage[] = {
    {"-c --compile", kCompile, nullptr},
    {"-d<name>[=<value>]", kDefine, nullptr},
    {"-f --force", kForce, nullptr},
    {"-h --help", kHelp, nullptr},
    {"-l --level <level> ...", kLevel, kLevelValues},
    {"-o --output <output>", kOutput, nullptr},
    {"-r --recursive", kRecursive, nullptr},
    {"-t --target <target> ...", kTarget, kTargetValues},
    {"--keep-translations", kKeep, nullptr},
    {"--pp", kPreprocess, nullptr},
    {"--ppdef", kListDefinitions, nullptr},
    {"--print-failures-only", kFailuresOnly, nullptr},
};

const char* const kClosing[] = {
    "'file/directory' is a file path to a Shader XML file or a directory containing",
    "Shader XML files. 'file/directory' can be omitted, in which case the current",
    "working directory is searched for Shader XML files.", nullptr};

void AppendEntry(nString& text, const UsageEntry& entry) {
    for (int i = 0; entry.description[i]; ++i) {
        if (i == 0)
            text.AppendFormatted("  %-26s%s\n", entry.options, entry.description[i]);
        else
            text.AppendFormatted("%28s%s\n", "", entry.description[i]);
    }
    for (int i = 0; entry.values && entry.values[i]; ++i) {
        if (entry.values[i][0])
            text.AppendFormatted("%30s%s\n", "", entry.values[i]);
        else
            text.Append("\n");
    }
    text.Append("\n");
}

}  // namespace

nString GetShaderToolUsageText() {
    nString text("Usage: zk-shader-tool options [file/directory]\n\nOptions:\n");
    for (const UsageEntry& entry : kUsage) AppendEntry(text, entry);
    for (int i = 0; kClosing[i]; ++i) {
        text.Append(kClosing[i]);
        text.Append("\n");
    }
    return text;
}
