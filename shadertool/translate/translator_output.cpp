#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/translator_driver.h"

#include "engine/storage/safe_write.h"
#include "engine/runtime/zekar.h"
#include "engine/storage/filesystem_api.h"

namespace ShaderTool {

void TranslatorDriver::AppendDirectorySeparatorToPath(nString& path) {
    int length = path.Length();
    if (length > 0) {
        char last = path.text[length - 1];
        if (last == '/' || last == '\\') return;
    }
    path.Append("/");
}

// Each output goes to a temporary file beside it and replaces the old one
// only when it is complete: a run that is killed or runs out of space leaves
// the previous output, never a cut-short one.
bool TranslatorDriver::OutputFile(const char* data, size_t length, const char* subdirectory, ShaderTarget target,
                                  ShaderLevel level, ShaderType stage) {
    // Without an output directory nothing is written.
    if (output_directory.IsEmpty()) return true;
    nString path = GetOutputFilePath(output_directory.c_str(), target, subdirectory, base_file_path.c_str(), level,
                                     stage);
    ZKFileSystem::SafeFile file;
    bool may_exist = !output_folders || output_folders->MayHold(path);
    if (!file.Begin(path.c_str(), nullptr, may_exist)) {
        intermediate_log.AddError("could not open output file '%s'.", path.c_str());
        return false;
    }
    if (!file.Write(data, length, nullptr) || !file.Commit(nullptr)) {
        intermediate_log.AddError("could not write to output file '%s'.", path.c_str());
        return false;
    }
    if (output_folders) output_folders->Note(path);
    return true;
}

bool TranslatorDriver::OutputTranslatedShaderSource(Translator* translator, ShaderTarget target, ShaderType stage) {
    if (output_directory.IsEmpty()) return true;
    if (options.preprocess_only || !translator) {
        const nString& text = preprocessor.GetOutput();
        return OutputFile(text.c_str(), text.Length(), "", target, ShaderLevel(0), stage);
    }
    const TextBuffer& text = translator->GetOutput();
    return OutputFile(text.c_str(), text.Length(), "", target, ShaderLevel(0), stage);
}

bool TranslatorDriver::OutputCompiledCode(nByteBuffer& code, ShaderTarget target, ShaderLevel level,
                                          ShaderType stage) {
    if (target != HLSL11 && target != PSSL) return true;
    return OutputFile(reinterpret_cast<const char*>(code.data), code.size, "bin/", target, level, stage);
}

}  // namespace ShaderTool
