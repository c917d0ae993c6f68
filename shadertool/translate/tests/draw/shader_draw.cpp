// shader_draw: draws Shader XML files on a real GL driver, every target
// each file names, and checks what they compute (see draw_file.h for the
// lines it prints and draw_inputs.h for what a file gets).
//
// Usage: shader_draw [--all] [--show] [--verbose] file-or-folder...
// --show prints every pixel drawn; --verbose what the driver gave.
// The exit code is 0 only when every drawn target meets its expectations
// and agrees with the others; with --all a refused or left-out target
// fails the run too. Without a GL driver, glslangValidator or spirv-cross
// it says what is missing and fails.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shadertool/translate/tests/draw/draw_file.h"
#include "shadertool/translate/tests/draw/gl_device.h"
#include "shadertool/translate/tests/draw/hlsl_to_glsl.h"

namespace {

int Usage() {
    fputs("Usage: shader_draw [--all] [--show] [--verbose] file-or-folder...\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace ShaderTool::draw;
    DrawOptions options;
    bool verbose = false;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--all") == 0)
            options.all = true;
        else if (strcmp(argv[i], "--show") == 0)
            options.show = true;
        else if (strcmp(argv[i], "--verbose") == 0)
            verbose = true;
        else if (argv[i][0] == '-')
            return Usage();
        else
            paths.push_back(argv[i]);
    }
    if (paths.empty()) return Usage();
    std::string missing = FindHLSLConverters();
    if (!missing.empty()) {
        printf("shader_draw: %s\n", missing.c_str());
        return 1;
    }
    std::unique_ptr<Device> device = Device::Open(&missing);
    if (!device) {
        printf("shader_draw: %s\n", missing.c_str());
        return 1;
    }
    if (verbose) fputs(device->Describe().c_str(), stdout);
    SetUpTranslation();
    int files = 0, failed = 0;
    for (const std::string& path : paths) {
        std::vector<std::string> listed = ListShaderFiles(path);
        if (listed.empty()) {
            printf("%s: no Shader XML files\n", path.c_str());
            ++failed;
        }
        for (const std::string& file : listed) {
            FileReport report = DrawFile(*device, file, options);
            for (const std::string& line : report.lines) puts(line.c_str());
            ++files;
            if (!report.passed) ++failed;
        }
    }
    printf("%d passed, %d failed\n", files - failed, failed);
    return failed == 0 ? 0 : 1;
}
