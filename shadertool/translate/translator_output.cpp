#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/translator_driver.h"

#include "engine/runtime/zekar.h"
#include "engine/storage/filesystem_api.h"

namespace ShaderTool {

namespace {

// Writes are buffered, so a full disk shows only when the file is closed,
// which reports nothing; the file's size afterwards tells.
bool HasSize(const char* path, size_t length) {
    zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(path, "r");
    if (!file) return false;
    bool whole = file->size == static_cast<int64_t>(length);
    zk->file_system->ZK_FileSystem_CloseFile(file);
    return whole;
}

}  // namespace

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
    zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(path.c_str(), "w");
    if (!file) {
        LogError(intermediate_log, nString::Format("could not open output file '%s'.", path.c_str()));
        return false;
    }
    size_t written = length > 0 ? zk->file_system->ZK_FileSystem_WriteFile(data, length, file) : 0;
    zk->file_system->ZK_FileSystem_CloseFile(file);
    if (written != length || !HasSize(path.c_str(), length)) {
        LogError(intermediate_log, nString::Format("could not write to output file '%s'.", path.c_str()));
        return false;
    }
    return true;
}

bool TranslatorDriver::OutputTranslatedShaderSource(Translator* translator, ShaderTarget target, ShaderType stage) {
    if (output_directory.IsEmpty()) return true;
    const nString& text = options.preprocess_only || !translator ? preprocessor.GetOutput() : translator->GetOutput();
    return OutputFile(text.c_str(), text.Length(), "", target, ShaderLevel(0), stage);
}

bool TranslatorDriver::OutputCompiledCode(nByteBuffer& code, ShaderTarget target, ShaderLevel level,
                                          ShaderType stage) {
    if (target != HLSL11 && target != PSSL) return true;
    return OutputFile(reinterpret_cast<const char*>(code.data), code.size, "bin/", target, level, stage);
}

}  // namespace ShaderTool
