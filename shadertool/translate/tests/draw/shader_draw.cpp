// shader_draw: draws Shader XML files on a real GL driver, every target
// each file names, and checks what they compute (see draw_file.h for the
// lines it prints and draw_inputs.h for what a file gets).
//
// Usage: shader_draw [--all] [--show] [--verbose] [--known-faults LIST] file-or-folder...
// --show prints every pixel drawn; --verbose what the driver gave.
// --known-faults names a list of faults found and not mended yet, one a
// line: "<file> <TARGET>: why". A listed target that fails is reported as
// a known fault and does not fail the run; one that passes fails it, so
// the list is kept true as the faults are mended. Lines for files not
// drawn in this run are passed over.
// The exit code is 0 only when every drawn target meets its expectations
// and agrees with the others; with --all a refused or left-out target
// fails the run too. Without a GL driver, glslangValidator or spirv-cross
// it says what is missing and fails.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/tests/draw/draw_file.h"
#include "shadertool/translate/tests/draw/gl_device.h"
#include "shadertool/translate/tests/draw/hlsl_to_glsl.h"

namespace {

int Usage() {
    fputs("Usage: shader_draw [--all] [--show] [--verbose] [--known-faults LIST] file-or-folder...\n", stderr);
    return 2;
}

// "<file> <TARGET>" to why, from the list's lines; # begins a comment.
bool ReadKnownFaults(const char* path, std::map<std::string, std::string>* faults) {
    std::ifstream file(path);
    if (!file) return false;
    std::string line;
    while (std::getline(file, line)) {
        size_t colon = line.find(": ");
        if (line.empty() || line[0] == '#' || colon == std::string::npos) continue;
        (*faults)[line.substr(0, colon)] = line.substr(colon + 2);
    }
    return true;
}

// A listed target that failed passes as a known fault; one that did not
// fail fails.
void ApplyKnownFaults(std::map<std::string, std::string>& faults, std::map<std::string, bool>& seen,
                      ShaderTool::draw::FileReport* report) {
    for (ShaderTool::draw::TargetLine& line : report->targets) {
        std::string key = report->path + " " + ShaderTool::GetTargetName(line.target);
        auto fault = faults.find(key);
        if (fault == faults.end()) continue;
        seen[key] = true;
        if (line.failed)
            line.verdict = "known fault (" + fault->second + "): " + line.verdict;
        else
            line.verdict = "passes, but is listed as a known fault: " + line.verdict;
        line.failed = !line.failed;
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace ShaderTool::draw;
    DrawOptions options;
    bool verbose = false;
    const char* known_faults = nullptr;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--all") == 0)
            options.all = true;
        else if (strcmp(argv[i], "--show") == 0)
            options.show = true;
        else if (strcmp(argv[i], "--verbose") == 0)
            verbose = true;
        else if (strcmp(argv[i], "--known-faults") == 0 && i + 1 < argc)
            known_faults = argv[++i];
        else if (argv[i][0] == '-')
            return Usage();
        else
            paths.push_back(argv[i]);
    }
    if (paths.empty()) return Usage();
    std::map<std::string, std::string> faults;
    std::map<std::string, bool> seen;
    if (known_faults && !ReadKnownFaults(known_faults, &faults)) {
        printf("shader_draw: cannot read %s\n", known_faults);
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
    SetUpTranslation();
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
            ApplyKnownFaults(faults, seen, &report);
            for (const std::string& line : report.Lines()) puts(line.c_str());
            ++files;
            if (!report.Passed()) ++failed;
        }
    }
    for (const auto& fault : faults)
        if (!seen[fault.first] && drawn_files.count(fault.first.substr(0, fault.first.rfind(' ')))) {
            printf("%s: listed as a known fault, but not drawn\n", fault.first.c_str());
            ++failed;
        }
    printf("%d passed, %d failed\n", files - failed, failed);
    return failed == 0 ? 0 : 1;
}
