#include "shadertool/translate/compiler.h"
#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/translator_driver.h"

namespace ShaderTool {

namespace {

const int kLevels[] = {HLSL11_DEFAULT, HLSL11_LOW, HLSL11_XBOX};

// Code buffers that borrow their bytes are left to their owner.
void FreeCode(nByteBuffer& code) {
    if (!code.external) code.Clear();
}

}  // namespace

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
        intermediate_log.AddError("target '%s' does not have a compiler set up. If this occurred at runtime, most "
                                  "likely the target does not support runtime compilation.",
                                  GetTargetName(target));
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
