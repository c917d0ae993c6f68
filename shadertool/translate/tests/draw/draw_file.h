// One Shader XML drawn on every target it names: translated through the
// translation driver for each target on its own (as `zk-shader-tool -t
// <TARGET>` does), drawn on the device, and checked against the file's
// expectations and against the other targets' pictures. Each file and
// target gives one line:
//
//   <file> <TARGET>: ok
//   <file> <TARGET>: got (r, g, b, a) at (x, y), expected (r, g, b, a)
//   <file> <TARGET>: got (r, g, b, a) at (x, y), ESSL30 gave (r, g, b, a)
//   <file> <TARGET>: refused: <the first message>
//   <file> <TARGET>: left out
//
// and a few more for what should not happen (a translation the driver does
// not take, a refusal other than the marks say). Pixels are counted from
// the top-left one; "of output 'id'" names a pixel output after the first.
#pragma once

#include <string>
#include <vector>

#include "shadertool/translate/tests/draw/gl_device.h"

namespace ShaderTool {
namespace draw {

// Every value drawn must lie this close to what it is compared with.
constexpr double kTolerance = 1.0 / 1024.0;

struct TargetLine {
    int target = 0;
    std::string verdict;  // "ok", "got ...", "refused: ...", "left out", ...
    bool failed = false;  // refused and left out fail only as the options say
    bool differs = false;  // drawn, but not as expected or as the others
};

struct FileReport {
    std::string path;
    std::string problem;  // why the file as a whole failed (its marks cannot be read)
    bool not_a_shader = false;
    std::vector<TargetLine> targets;
    std::vector<std::string> shown;  // the pixels, when asked for

    bool Passed() const;
    std::vector<std::string> Lines() const;
};

struct DrawOptions {
    bool all = false;             // refused and left-out targets fail the file
    bool refusals_fail = false;  // refused targets do, left-out ones not
    bool show = false;  // every drawn pixel follows the lines
};

// The engine the translation driver reads files through must be set up
// (testing::SetUpEngineForDriverTests).
FileReport DrawFile(Device& device, const std::string& path, const DrawOptions& options);

// The Shader XML files a path names: itself, or the "*.xml" files below a
// folder, in name order.
std::vector<std::string> ListShaderFiles(const std::string& path);

}  // namespace draw
}  // namespace ShaderTool
