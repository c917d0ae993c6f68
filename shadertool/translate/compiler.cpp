#include "shadertool/translate/compiler.h"

#include "shadertool/translate/output_paths.h"

namespace ShaderTool {

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
    const TargetDescription* description = FindTarget(target);
    return description ? kTargetFamilies[description->family].compiler : -1;
}

Compiler* CreateCompiler(ShaderTarget) { return nullptr; }

nString GetEnvironmentPath(const char*) { return nString(); }

}  // namespace ShaderTool
