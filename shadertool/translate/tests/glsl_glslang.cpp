#include "shadertool/translate/tests/glsl_glslang.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ShaderTool {
namespace testing {

namespace {

bool WriteFile(const char* path, const char* first, const char* second) {
    FILE* file = fopen(path, "wb");
    if (!file) return false;
    bool written = fputs(first, file) >= 0 && fputs(second, file) >= 0;
    return fclose(file) == 0 && written;
}

}  // namespace

const char* GLSLVersionLine(int target) {
    switch (target) {
    case ESSL20: return "#version 100\n";
    case ESSL30: return "#version 300 es\n";
    case GLSL21: return "#version 120\n";
    case GLSL31: return "#version 140\n";
    default: return "";
    }
}

bool CompilesWithGlslang(int target, ShaderType stage, const char* text, std::string* messages) {
    char path[] = "/tmp/zk_glslang_XXXXXX";
    int descriptor = mkstemp(path);
    if (descriptor < 0) {
        *messages = "cannot make a temporary file";
        return false;
    }
    close(descriptor);
    if (!WriteFile(path, GLSLVersionLine(target), text)) {
        unlink(path);
        *messages = "cannot write a temporary file";
        return false;
    }
    std::string command = std::string("glslangValidator --stdin -S ") + (stage == PIXEL_SHADER ? "frag" : "vert") +
                          " < " + path + " 2>&1";
    messages->clear();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        unlink(path);
        *messages = "cannot run glslangValidator";
        return false;
    }
    char buffer[512];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) messages->append(buffer, count);
    int status = pclose(pipe);
    unlink(path);
    if (status != 0 && messages->find("not found") != std::string::npos)
        *messages = "glslangValidator is not installed (package glslang-tools): " + *messages;
    return status == 0;
}

}  // namespace testing
}  // namespace ShaderTool
