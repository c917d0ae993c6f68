#include "shadertool/translate/tests/hlsl_glslang.h"

#include <unistd.h>

#include <cstdio>

namespace ShaderTool {
namespace testing {

namespace {

bool WriteFile(const char* path, const char* text) {
    FILE* file = fopen(path, "wb");
    if (!file) return false;
    bool written = fputs(text, file) >= 0;
    return fclose(file) == 0 && written;
}

bool RunCapturingOutput(const std::string& command, std::string* messages) {
    messages->clear();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        *messages = "cannot run glslangValidator";
        return false;
    }
    char buffer[512];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) messages->append(buffer, count);
    int status = pclose(pipe);
    if (status != 0 && messages->find("not found") != std::string::npos)
        *messages = "glslangValidator is not installed (package glslang-tools): " + *messages;
    return status == 0;
}

}  // namespace

bool CompilesAsHLSL(int target, ShaderType stage, const char* text, std::string* messages) {
    char source[] = "/tmp/zk_hlsl_XXXXXX";
    int descriptor = mkstemp(source);
    if (descriptor < 0) {
        *messages = "cannot make a temporary file";
        return false;
    }
    close(descriptor);
    std::string binary = std::string(source) + ".spv";
    bool compiled = false;
    if (WriteFile(source, text)) {
        std::string command = std::string("glslangValidator -D -V -e main -S ") +
                              (stage == PIXEL_SHADER ? "frag" : "vert") +
                              (target == HLSL9 ? " --hlsl-dx9-compatible" : "") + " -o " + binary + " " + source +
                              " 2>&1";
        compiled = RunCapturingOutput(command, messages);
    } else {
        *messages = "cannot write a temporary file";
    }
    unlink(source);
    unlink(binary.c_str());
    return compiled;
}

}  // namespace testing
}  // namespace ShaderTool
