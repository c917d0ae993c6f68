#include "shadertool/translate/tests/draw/draw_file.h"

#include <string.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/tests/draw/draw_inputs.h"
#include "shadertool/translate/tests/draw/draw_marks.h"
#include "shadertool/translate/tests/draw/hlsl_to_glsl.h"
#include "shadertool/translate/tests/driver_test_support.h"
#include "shadertool/translate/tests/glsl_glslang.h"
#include "shadertool/translate/translator_driver.h"

namespace ShaderTool {
namespace draw {

namespace {

// 12 by 8 pixels: no pixel centre lies on a diagonal of the quad (where a
// cube map's faces meet, and the driver may take either) nor on a texel
// edge of the 4-texel textures (where a point filter may take either).
constexpr int kTargetWidth = 12;
constexpr int kTargetHeight = 8;

Api ApiFor(int target) {
    if (target == ESSL20) return Api::ES2;
    if (target == ESSL30) return Api::ES3;
    return Api::DESKTOP;
}

struct Translation {
    enum Outcome { NOT_A_SHADER, LEFT_OUT, REFUSED, TRANSLATED } outcome = NOT_A_SHADER;
    std::string vertex, pixel, log;
    ShaderInfo info;
};

std::string TextOf(const nByteBuffer& buffer) {
    if (!buffer.data || buffer.size == 0) return "";
    return std::string(reinterpret_cast<const char*>(buffer.data), strnlen(reinterpret_cast<const char*>(buffer.data),
                                                                           static_cast<size_t>(buffer.size)));
}

Translation Translate(const std::string& path, int target) {
    TranslatorDriver driver;
    driver.Initialize(target, nString(""), false);
    std::string folder = std::filesystem::path(path).parent_path().string();
    TranslatorDriver::Options options = testing::DefaultToolOptions(folder.empty() ? "" : folder + "/", target);
    Translation t;
    bool translated = driver.Translate(nString(path.c_str()), options, true);
    t.info = driver.GetShaderInfo();
    t.log = driver.GetMasterLog().GetText();
    // Each translation reads the file afresh.
    testing::ReleaseReadDatabases();
    if (t.info.version == 0 && translated) return t;
    if (t.info.version != 0 && !(t.info.targets & target)) {
        t.outcome = Translation::LEFT_OUT;
    } else if (!translated) {
        t.outcome = Translation::REFUSED;
    } else {
        t.outcome = Translation::TRANSLATED;
        t.vertex = TextOf(driver.GetTranslatedCode().GetBuffer(VERTEX_SHADER));
        t.pixel = TextOf(driver.GetTranslatedCode().GetBuffer(PIXEL_SHADER));
    }
    return t;
}

struct Message {
    int line = 0;  // 0 when the message names no place
    std::string text;   // as the log has it
    std::string words;  // the message alone
};

// "file.xml(12:5) error: words": the line, or 0 when the text is not such.
int PlacedLine(const std::string& line, size_t* words_at) {
    const std::string marker = ") error: ";
    size_t end = line.find(marker);
    size_t open = end == std::string::npos ? end : line.rfind('(', end);
    if (open == std::string::npos) return 0;
    *words_at = end + marker.size();
    return atoi(line.c_str() + open + 1);
}

std::vector<Message> ErrorMessages(const std::string& log) {
    std::vector<Message> messages;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        Message message;
        size_t words_at = 0;
        if ((message.line = PlacedLine(line, &words_at)) > 0) {
            message.words = line.substr(words_at);
        } else if (line.compare(0, 7, "Error: ") == 0) {
            message.words = line.substr(7);
        } else {
            continue;
        }
        message.text = line;
        messages.push_back(message);
    }
    return messages;
}

bool Matches(const ErrorMark& mark, const Message& message) {
    if (mark.line != 0 && mark.line != message.line) return false;
    return message.words.find(mark.pattern) != std::string::npos;
}

std::string MarkPlace(const ErrorMark& mark) {
    return mark.line ? "at line " + std::to_string(mark.line) : "without a place";
}

// A target the file's marks say must refuse it. Empty when it did as they
// say, else the line's verdict.
std::string CheckRefusal(const std::vector<ErrorMark>& marks, const Translation& t) {
    if (t.outcome == Translation::TRANSLATED)
        return "translated, but an error " + MarkPlace(marks[0]) + " matching \"" + marks[0].pattern +
               "\" was expected";
    std::vector<Message> messages = ErrorMessages(t.log);
    for (const ErrorMark& mark : marks) {
        bool found = std::any_of(messages.begin(), messages.end(), [&](const Message& m) { return Matches(mark, m); });
        if (!found)
            return "refused with no error " + MarkPlace(mark) + " matching \"" + mark.pattern + "\": " +
                   (messages.empty() ? std::string("no message") : messages[0].text);
    }
    for (const Message& message : messages) {
        if (message.line == 0) continue;
        bool expected = std::any_of(marks.begin(), marks.end(), [&](const ErrorMark& m) { return Matches(m, message); });
        if (!expected) return "refused with an error no mark expects: " + message.text;
    }
    return "";
}

std::string FirstError(const std::string& log) {
    std::vector<Message> messages = ErrorMessages(log);
    return messages.empty() ? "no message" : messages[0].text;
}

std::string AfterPrefix(const std::string& name, const std::string& prefix) {
    return name.compare(0, prefix.size(), prefix) == 0 ? name.substr(prefix.size()) : "";
}

// What the program's own names stand for: "_in_uv" or "input_uv" (a vertex
// input), "_const_tint", "_tex_image" or spirv-cross's
// "SPIRV_Cross_Combined_tex_image_smp_image".
std::string InputId(const std::string& name, int target) {
    return AfterPrefix(name, UsesDirect3DConventions(target) ? "input_" : "_in_");
}

std::string TextureId(const std::string& name) {
    size_t at = name.find("_tex_");
    if (at == std::string::npos) return "";
    std::string id = name.substr(at + 5);
    size_t sampler = id.find("_smp_");
    return sampler == std::string::npos ? id : id.substr(0, sampler);
}

const char* const kReciprocalSize = "_const_reciprocal_texture_dimensions_";

DrawRequest MakeRequest(const Translation& t, const Marks& marks, int target) {
    DrawRequest request;
    request.api = ApiFor(target);
    request.width = kTargetWidth;
    request.height = kTargetHeight;
    request.outputs = t.info.pixel_output.Count();
    request.clip_depth_zero_to_one = UsesDirect3DConventions(target);
    for (int i = 0; i < t.info.pixel_output.Count(); ++i)
        request.output_names.push_back(std::string("_out_") + t.info.pixel_output[i].id.c_str());
    const ShaderInfo* info = &t.info;
    request.vertex_input = [info, target](const std::string& name, bool, VertexValues* values, std::string* error) {
        if (VertexInputValues(*info, target, InputId(name, target), values)) return true;
        *error = "the vertex text reads an input '" + name + "' the file does not declare";
        return false;
    };
    request.constant = [info, &marks, target](const UniformQuery& query, UniformValues* values, std::string* error) {
        std::string reciprocal = AfterPrefix(query.name, kReciprocalSize);
        if (!reciprocal.empty()) {
            if (ReciprocalTextureSize(*info, std::atoi(reciprocal.c_str()), query, values)) return true;
            *error = "the text reads " + query.name + " of no texture";
            return false;
        }
        std::string id = AfterPrefix(query.name, "_const_");
        if (id.empty()) {
            *error = "the text reads a constant '" + query.name + "' the tool cannot fill";
            return false;
        }
        return ConstantValues(*info, marks, target, query, id, values, error);
    };
    request.texture = [info, target](const UniformQuery& query, Texture* texture, std::string* error) {
        if (TextureFor(*info, target, TextureId(query.name), texture)) return true;
        *error = "the text samples a texture '" + query.name + "' the file does not declare";
        return false;
    };
    return request;
}

struct Drawing {
    int target = 0;
    std::vector<std::vector<float>> images;
    std::vector<Colour> expected;
};

bool Near(float value, double wanted) { return std::fabs(static_cast<double>(value) - wanted) <= kTolerance; }

std::string Format(const float* rgba) {
    char text[128];
    snprintf(text, sizeof text, "(%g, %g, %g, %g)", rgba[0], rgba[1], rgba[2], rgba[3]);
    return text;
}

std::string Format(const Colour& colour) {
    char text[128];
    snprintf(text, sizeof text, "(%g, %g, %g, %g)", colour.channel[0], colour.channel[1], colour.channel[2],
             colour.channel[3]);
    return text;
}

// Pixels are visited from the top-left one, row by row; the images hold
// the bottom row first.
constexpr size_t kPixels = kTargetWidth * kTargetHeight;

size_t Stored(size_t pixel) {
    size_t y = pixel / kTargetWidth, x = pixel % kTargetWidth;
    return ((kTargetHeight - 1 - y) * kTargetWidth + x) * 4;
}

// "got (...) at (x, y)" with the output named after the first.
std::string Got(const ShaderInfo& info, size_t output, size_t pixel, const float* rgba) {
    int x = static_cast<int>(pixel % kTargetWidth);
    int y = static_cast<int>(pixel / kTargetWidth);
    std::string text = "got " + Format(rgba) + " at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    if (output > 0) text += std::string(" of output '") + info.pixel_output[static_cast<int>(output)].id.c_str() + "'";
    return text;
}

// Empty when every pixel meets the expectations.
std::string CheckExpectations(const ShaderInfo& info, const Drawing& d) {
    if (d.expected.size() > d.images.size())
        return "the file expects " + std::to_string(d.expected.size()) + " outputs, it has " +
               std::to_string(d.images.size());
    for (size_t k = 0; k < d.expected.size(); ++k)
        for (size_t p = 0; p < kPixels; ++p) {
            const float* rgba = &d.images[k][Stored(p)];
            for (int c = 0; c < 4; ++c)
                if (!Near(rgba[c], d.expected[k].channel[c]))
                    return Got(info, k, p, rgba) + ", expected " + Format(d.expected[k]);
        }
    return "";
}

// Empty when the two drawings agree on every pixel of every output.
std::string Disagreement(const ShaderInfo& info, const Drawing& d, const Drawing& other) {
    for (size_t k = 0; k < d.images.size() && k < other.images.size(); ++k)
        for (size_t p = 0; p < kPixels; ++p) {
            const float* rgba = &d.images[k][Stored(p)];
            const float* theirs = &other.images[k][Stored(p)];
            for (int c = 0; c < 4; ++c)
                if (!Near(rgba[c], theirs[c]) || std::isnan(theirs[c]))
                    return Got(info, k, p, rgba) + ", " + GetTargetName(other.target) + " gave " + Format(theirs);
        }
    return "";
}

bool SameExpectations(const Drawing& a, const Drawing& b) {
    if (a.expected.size() != b.expected.size()) return false;
    for (size_t k = 0; k < a.expected.size(); ++k)
        for (int c = 0; c < 4; ++c)
            if (a.expected[k].channel[c] != b.expected[k].channel[c]) return false;
    return true;
}

// The drawing the others are held to: of those expected to draw the same,
// and that meet the expectations if any does, the one most others agree
// with, the first of a tie.
const Drawing* Reference(const ShaderInfo& info, const std::vector<Drawing>& drawings, const Drawing& d) {
    bool any_meets = std::any_of(drawings.begin(), drawings.end(), [&](const Drawing& x) {
        return SameExpectations(x, d) && CheckExpectations(info, x).empty();
    });
    const Drawing* best = nullptr;
    int best_count = -1;
    for (const Drawing& candidate : drawings) {
        if (!SameExpectations(candidate, d) || (any_meets && !CheckExpectations(info, candidate).empty())) continue;
        int count = 0;
        for (const Drawing& other : drawings)
            if (SameExpectations(other, d) && Disagreement(info, other, candidate).empty()) ++count;
        if (count > best_count) best = &candidate, best_count = count;
    }
    return best;
}

// The drawn pixels, a line per row of each output.
void Show(const ShaderInfo& info, const Drawing& d, std::vector<std::string>* lines) {
    for (size_t k = 0; k < d.images.size(); ++k) {
        lines->push_back(std::string("  ") + GetTargetName(d.target) + " output '" +
                         info.pixel_output[static_cast<int>(k)].id.c_str() + "':");
        for (size_t y = 0; y < kTargetHeight; ++y) {
            std::string row = "   ";
            for (size_t x = 0; x < kTargetWidth; ++x) row += " " + Format(&d.images[k][Stored(y * kTargetWidth + x)]);
            lines->push_back(row);
        }
    }
}

// The GLSL 4.50 pair an HLSL-family text draws as.
bool ConvertForDrawing(const Translation& t, int target, DrawRequest* request, std::string* error) {
    std::vector<std::string> outputs;
    for (int i = 0; i < t.info.vertex_output.Count(); ++i) outputs.push_back(t.info.vertex_output[i].id.c_str());
    std::vector<SamplerKind> samplers;
    for (int i = 0; i < t.info.pixel_textures.Count(); ++i)
        samplers.push_back({t.info.pixel_textures[i].id.c_str(), t.info.pixel_textures[i].type.texture_kind});
    GLSLPair pair;
    if (!ConvertHLSLPair(target, t.vertex, t.pixel, outputs, samplers, &pair, error)) return false;
    request->vertex_text = pair.vertex;
    request->pixel_text = pair.pixel;
    return true;
}

// Draws a translated target; a drawing to be compared once every target is
// drawn leaves the verdict empty.
TargetLine DrawTarget(Device& device, const Translation& t, const Marks& marks, int target,
                      std::vector<Drawing>* drawings) {
    TargetLine line;
    line.target = target;
    DrawRequest request = MakeRequest(t, marks, target);
    // The README's first line for each GL-family text.
    request.vertex_text = testing::GLSLVersionLine(target) + t.vertex;
    request.pixel_text = testing::GLSLVersionLine(target) + t.pixel;
    std::string error;
    if (UsesDirect3DConventions(target) && !ConvertForDrawing(t, target, &request, &error)) {
        line.verdict = "does not draw: " + error, line.failed = true;
        return line;
    }
    DrawResult result = device.Draw(request);
    if (!result.drawn) {
        line.verdict = "does not draw: " + result.error, line.failed = true;
        return line;
    }
    Drawing d;
    d.target = target;
    d.images = result.images;
    d.expected = ExpectationsFor(marks, target);
    drawings->push_back(d);
    return line;
}

TargetLine Judge(Device& device, const Translation& t, const Marks& marks, int target, const DrawOptions& options,
                 std::vector<Drawing>* drawings) {
    TargetLine line;
    line.target = target;
    std::vector<ErrorMark> errors = ErrorsFor(marks, target);
    if (t.outcome == Translation::LEFT_OUT) {
        line.verdict = "left out", line.failed = options.all;
    } else if (!errors.empty()) {
        line.verdict = CheckRefusal(errors, t);
        line.failed = !line.verdict.empty();
        if (!line.failed) line.verdict = "ok";
    } else if (t.outcome == Translation::REFUSED) {
        line.verdict = "refused: " + FirstError(t.log), line.failed = options.all || options.refusals_fail;
    } else {
        line = DrawTarget(device, t, marks, target, drawings);
    }
    return line;
}

void Compare(const ShaderInfo& info, const std::vector<Drawing>& drawings, TargetLine* line) {
    const Drawing& d =
        *std::find_if(drawings.begin(), drawings.end(), [&](const Drawing& x) { return x.target == line->target; });
    line->verdict = CheckExpectations(info, d);
    if (line->verdict.empty()) line->verdict = Disagreement(info, d, *Reference(info, drawings, d));
    line->failed = line->differs = !line->verdict.empty();
    if (line->verdict.empty()) line->verdict = "ok";
}

}  // namespace

FileReport DrawFile(Device& device, const std::string& path, const DrawOptions& options) {
    FileReport report;
    report.path = path;
    std::string xml;
    Marks marks;
    if (!testing::ReadWholeFile(path, &xml)) {
        report.problem = "cannot be read";
        return report;
    }
    if (!ReadMarks(xml, &marks, &report.problem)) return report;
    std::vector<Drawing> drawings;
    ShaderInfo info;
    for (const TargetDescription& description : kTargets) {
        Translation t = Translate(path, description.bit);
        if (t.outcome == Translation::NOT_A_SHADER) {
            report.not_a_shader = true;
            return report;
        }
        info = t.info;
        report.targets.push_back(Judge(device, t, marks, description.bit, options, &drawings));
    }
    for (TargetLine& line : report.targets)
        if (line.verdict.empty()) Compare(info, drawings, &line);
    if (options.show)
        for (const Drawing& d : drawings) Show(info, d, &report.shown);
    return report;
}

bool FileReport::Passed() const {
    return problem.empty() &&
           std::none_of(targets.begin(), targets.end(), [](const TargetLine& line) { return line.failed; });
}

std::vector<std::string> FileReport::Lines() const {
    std::vector<std::string> lines;
    if (!problem.empty()) lines.push_back(path + ": " + problem);
    if (not_a_shader) lines.push_back(path + ": not a Shader XML, passed over");
    for (const TargetLine& line : targets) {
        // Messages end in a line break or carry several lines: one line each.
        std::string verdict = line.verdict;
        std::replace(verdict.begin(), verdict.end(), '\n', ' ');
        while (!verdict.empty() && verdict.back() == ' ') verdict.pop_back();
        lines.push_back(path + " " + GetTargetName(line.target) + ": " + verdict);
    }
    lines.insert(lines.end(), shown.begin(), shown.end());
    return lines;
}

std::vector<std::string> ListShaderFiles(const std::string& path) {
    std::vector<std::string> files;
    std::error_code error;
    if (!std::filesystem::is_directory(path, error)) {
        files.push_back(path);
        return files;
    }
    for (auto it = std::filesystem::recursive_directory_iterator(path, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
        if (it->is_regular_file() && it->path().extension() == ".xml") files.push_back(it->path().string());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace draw
}  // namespace ShaderTool
