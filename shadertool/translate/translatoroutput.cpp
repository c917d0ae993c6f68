#include "shadertool/translate/translatoroutput.h"

#include "shadertool/translate/translatordriver.h"

namespace ShaderTool {

namespace {

const char* const kTargetNames[] = {"ESSL20", "ESSL30", "GLSL21", "GLSL31", "HLSL9", "HLSL11", "PSSL"};

struct LevelNames {
    int level;
    const char* name;
};
const LevelNames kLevelNames[] = {{1, "HLSL11_DEFAULT"}, {2, "HLSL11_LOW"}, {4, "HLSL11_XBOX"}};

}  // namespace

const char* GetTargetName(int target) {
    int index = TranslatorDriver::GetTranslatorIndexForTarget(target);
    return index < 0 ? "" : kTargetNames[index];
}

const char* GetStageName(int stage) {
    if (stage == 0) return "vertex";
    if (stage == 1) return "pixel";
    return "";
}

const char* GetLevelName(int level) {
    for (const LevelNames& entry : kLevelNames)
        if (entry.level == level) return entry.name;
    return "";
}

// The suffix is the level's name from its "_" on.
const char* GetLevelSuffix(int level) {
    const char* name = GetLevelName(level);
    const char* underscore = name;
    while (*underscore && *underscore != '_') ++underscore;
    return underscore;
}

nString GetOutputFilePath(const char* outputDirectory, int target, const char* subdirectory, const char* basePath,
                          int level, int stage) {
    return nString::Format("%s%s/%s%s%s.%s", outputDirectory ? outputDirectory : "", GetTargetName(target),
                           subdirectory ? subdirectory : "", basePath ? basePath : "", GetLevelSuffix(level),
                           GetStageName(stage));
}

void TranslatorDriver::AppendDirectorySeparatorToPath(nString& path) {
    int length = path.Length();
    if (length > 0) {
        char last = path.text[length - 1];
        if (last == '/' || last == '\\') return;
    }
    path.Append("/");
}

bool TranslatorDriver::OutputFile(const char* data, size_t length, const char* subdirectory, ShaderTarget target,
                                  ShaderLevel level, ShaderType stage) {
    // Without an output directory nothing is written.
    if (output_directory.IsEmpty()) return true;
    nString path = GetOutputFilePath(output_directory.c_str(), target, subdirectory, base_file_path.c_str(), level,
                                     stage);
    zk_file_t* file = zk->filesystem->OpenFile(path.c_str(), "w");
    if (!file) {
        LogError(intermediate_log, nString::Format("could not open output file '%s'.", path.c_str()));
        return false;
    }
    size_t written = length > 0 ? zk->filesystem->WriteFile(data, length, file) : 0;
    zk->filesystem->CloseFile(file);
    if (written != length) {
        LogError(intermediate_log, nString::Format("could not write to output file '%s'.", path.c_str()));
        return false;
    }
    return true;
}

bool TranslatorDriver::OutputTranslatedShaderSource(Translator* translator, ShaderTarget target, ShaderType stage) {
    if (output_directory.IsEmpty()) return true;
    const nString& text = options.preprocess_only ? preprocessor.output : translator->GetOutput();
    return OutputFile(text.c_str(), text.Length(), "", target, ShaderLevel(0), stage);
}

bool TranslatorDriver::OutputCompiledCode(nByteBuffer& code, ShaderTarget target, ShaderLevel level,
                                          ShaderType stage) {
    if (target != HLSL11 && target != PSSL) return true;
    return OutputFile(reinterpret_cast<const char*>(code.data), code.size, "bin/", target, level, stage);
}

}  // namespace ShaderTool
