#include "shadertool/translate/compiler.h"

#include "shadertool/translate/translatordriver.h"
#include "shadertool/translate/translatoroutput.h"

namespace ShaderTool {

namespace {

const int kLevels[] = {1, 2, 4};

void FreeCode(nByteBuffer& code) {
    if (!code.external) code.Clear();
}

}  // namespace

Compiler::~Compiler() {}

nString Compiler::ProcessOutput(const char* output, ShaderLevel level) {
    nString trimmed = output ? output : "";
    int length = trimmed.Length();
    while (length > 0 && (trimmed.text[length - 1] == '\r' || trimmed.text[length - 1] == '\n')) --length;
    trimmed = trimmed.Substring(0, length);
    if (level == ShaderLevel(0)) return nString::Format("- Compilation output:\n%s\n", trimmed.c_str());
    return nString::Format("- Compilation output (%s):\n%s\n", GetLevelName(level), trimmed.c_str());
}

int GetCompilerFamily(ShaderTarget target) {
    switch (static_cast<int>(target)) {
    case ESSL20:
    case ESSL30:
    case GLSL21:
    case GLSL31:
        return 0;
    case HLSL9:
    case HLSL11:
        return 1;
    case PSSL:
        return 2;
    default:
        return -1;
    }
}

Compiler* CreateCompiler(ShaderTarget) { return nullptr; }

nString GetEnvironmentPath(const char*) { return nString(); }

bool TranslatorDriver::CreateAndInitializeCompiler(ShaderTarget target) {
    int family = GetCompilerFamily(target);
    if (family >= 0 && !compilers[family]) compilers[family] = CreateCompiler(target);
    return true;
}

void TranslatorDriver::SetCompiler(ShaderTarget target, Compiler* compiler) {
    int family = GetCompilerFamily(target);
    if (family < 0) {
        delete compiler;
        return;
    }
    delete compilers[family];
    compilers[family] = compiler;
}

bool TranslatorDriver::CompileAndOutputTranslatedShaderSourceForLevel(Compiler* compiler, const nString& source,
                                                                      ShaderTarget target, ShaderLevel level,
                                                                      ShaderType stage) {
    nByteBuffer code;
    if (!compiler->Compile(target, level, stage, source, code)) {
        FreeCode(code);
        return false;
    }
    bool written = OutputCompiledCode(code, target, level, stage);
    FreeCode(code);
    return written;
}

bool TranslatorDriver::CompileAndOutputTranslatedShaderSource(const nString& source, ShaderTarget target,
                                                              ShaderType stage) {
    int family = GetCompilerFamily(target);
    Compiler* compiler = family >= 0 ? compilers[family] : nullptr;
    if (!compiler) {
        LogError(intermediate_log,
                 nString::Format("target '%s' does not have a compiler set up. If this occurred at runtime, most "
                                 "likely the target does not support runtime compilation.",
                                 GetTargetName(target)));
        return false;
    }
    if (target == HLSL11 && options.level_mask != 0) {
        bool result = true;
        for (int level : kLevels) {
            if (!(options.level_mask & level)) continue;
            if (!CompileAndOutputTranslatedShaderSourceForLevel(compiler, source, target, ShaderLevel(level), stage))
                result = false;
        }
        return result;
    }
    return CompileAndOutputTranslatedShaderSourceForLevel(compiler, source, target, ShaderLevel(0), stage);
}

}  // namespace ShaderTool
