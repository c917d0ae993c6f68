#include "shadertool/translate/tests/glsl_glslang.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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

namespace {

// Runs glslangValidator with the arguments and the files; the files are
// removed afterwards.
bool RunGlslang(const std::string& arguments, const std::vector<std::string>& files, std::string* messages) {
    std::string command = "glslangValidator " + arguments;
    for (const std::string& file : files) command += " " + file;
    command += " 2>&1";
    messages->clear();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        for (const std::string& file : files) unlink(file.c_str());
        *messages = "cannot run glslangValidator";
        return false;
    }
    char buffer[512];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) messages->append(buffer, count);
    int status = pclose(pipe);
    for (const std::string& file : files) unlink(file.c_str());
    if (status != 0 && messages->find("not found") != std::string::npos)
        *messages = "glslangValidator is not installed (package glslang-tools): " + *messages;
    return status == 0;
}

// A temporary file holding the dialect's version line and the text, named
// with the stage's extension, which tells glslangValidator the stage.
bool WriteStageFile(int target, ShaderType stage, const char* text, std::string* path, std::string* messages) {
    char pattern[] = "/tmp/zk_glslang_XXXXXX.vert";
    if (stage == PIXEL_SHADER) std::memcpy(pattern + sizeof pattern - 5, "frag", 4);
    int descriptor = mkstemps(pattern, 5);
    if (descriptor < 0) {
        *messages = "cannot make a temporary file";
        return false;
    }
    close(descriptor);
    *path = pattern;
    if (!WriteFile(path->c_str(), GLSLVersionLine(target), text)) {
        unlink(path->c_str());
        *messages = "cannot write a temporary file";
        return false;
    }
    return true;
}

}  // namespace

bool CompilesWithGlslang(int target, ShaderType stage, const char* text, std::string* messages) {
    std::string path;
    if (!WriteStageFile(target, stage, text, &path, messages)) return false;
    return RunGlslang("", {path}, messages);
}

bool LinksWithGlslang(int target, const char* vertexText, const char* pixelText, std::string* messages) {
    std::string vertex;
    std::string pixel;
    if (!WriteStageFile(target, VERTEX_SHADER, vertexText, &vertex, messages)) return false;
    if (!WriteStageFile(target, PIXEL_SHADER, pixelText, &pixel, messages)) {
        unlink(vertex.c_str());
        return false;
    }
    return RunGlslang("-l", {vertex, pixel}, messages);
}

}  // namespace testing
}  // namespace ShaderTool
