// shader_draw: draws Shader XML files on a real GL driver, every target
// each file names, and checks what they compute (see draw_file.h for the
// lines it prints and draw_inputs.h for what a file gets).
//
// Usage: shader_draw [--all] [--show] [--verbose] [--unchecked-results LIST] file-or-folder...
// --show prints every pixel drawn; --verbose what the driver gave.
// --unchecked-results names a list of results the drawing cannot check,
// one a line: "<file> <TARGET>: why" (see unchecked_results.h). A listed
// target drawn otherwise than expected is reported as unchecked and does
// not fail the run; one drawn as expected fails it, so the list is kept to
// what still cannot be checked. Lines for files not drawn in this run are
// passed over.
// The exit code is 0 only when every drawn target meets its expectations
// and agrees with the others; with --all a refused or left-out target
// fails the run too. Without a GL driver, glslangValidator or spirv-cross
// it says what is missing and fails.
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "shadertool/translate/tests/draw/draw_file.h"
#include "shadertool/translate/tests/draw/gl_device.h"
#include "shadertool/translate/tests/draw/hlsl_to_glsl.h"
#include "shadertool/translate/tests/draw/unchecked_results.h"
#include "shadertool/translate/tests/driver_test_support.h"

namespace {

int Usage() {
    fputs("Usage: shader_draw [--all] [--show] [--verbose] [--unchecked-results LIST] file-or-folder...\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace ShaderTool::draw;
    DrawOptions options;
    bool verbose = false;
    const char* unchecked_list = nullptr;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--all") == 0)
            options.all = true;
        else if (strcmp(argv[i], "--show") == 0)
            options.show = true;
        else if (strcmp(argv[i], "--verbose") == 0)
            verbose = true;
        else if (strcmp(argv[i], "--unchecked-results") == 0 && i + 1 < argc)
            unchecked_list = argv[++i];
        else if (argv[i][0] == '-')
            return Usage();
        else
            paths.push_back(argv[i]);
    }
    if (paths.empty()) return Usage();
    UncheckedResults unchecked;
    std::string text, error;
    if (unchecked_list && !ShaderTool::testing::ReadWholeFile(unchecked_list, &text)) {
        printf("shader_draw: cannot read %s\n", unchecked_list);
        return 1;
    }
    if (unchecked_list && !unchecked.Read(text, &error)) {
        printf("shader_draw: %s: %s\n", unchecked_list, error.c_str());
        return 1;
    }
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
    ShaderTool::testing::SetUpEngineForDriverTests();
    int files = 0, failed = 0;
    std::set<std::string> drawn_files;
    for (const std::string& path : paths) {
        std::vector<std::string> listed = ListShaderFiles(path);
        if (listed.empty()) {
            printf("%s: no Shader XML files\n", path.c_str());
            ++failed;
        }
        for (const std::string& file : listed) {
            FileReport report = DrawFile(*device, file, options);
            drawn_files.insert(file);
            unchecked.Apply(&report);
            for (const std::string& line : report.Lines()) puts(line.c_str());
            ++files;
            if (!report.Passed()) ++failed;
        }
    }
    for (const std::string& line : unchecked.ListedButNotDrawn(drawn_files)) {
        puts(line.c_str());
        ++failed;
    }
    printf("%d passed, %d failed\n", files - failed, failed);
    return failed == 0 ? 0 : 1;
}
