// A headless GL driver for drawing translated shaders: EGL on Mesa's
// surfaceless platform (no window, no pbuffer), with an OpenGL ES context
// for the ES texts and a desktop compatibility context for the rest. Each
// draw builds its program, textures and render target afresh, draws one
// quad and reads every colour target back as floats.
//
// The device knows nothing of Shader XML: it asks its caller, by the names
// the linked program reports, what each vertex input, constant and texture
// holds.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ShaderTool {
namespace draw {

enum class Api { ES2, ES3, DESKTOP };

// Four values per vertex of the quad, in the order of kQuadCorners.
struct VertexValues {
    bool integer = false;  // read as ivec/uvec by the program
    float values[4][4] = {};
};

// Clip-space corners of the quad drawn: a strip that covers the target,
// counter-clockwise, so its one face is the front face everywhere.
extern const float kQuadCorners[4][2];

// A constant's value as the program reads it. Floats hold each element's
// components; a matrix element is given column by column of the matrix the
// program's text multiplies with (GLSL's own layout). Ints likewise.
struct UniformValues {
    std::vector<float> floats;
    std::vector<int> ints;
};

struct Texture {
    enum Kind { TEXTURE_2D, TEXTURE_3D, TEXTURE_CUBE } kind = TEXTURE_2D;
    int width = 0, height = 0, depth = 1;  // depth is 1 but for 3D
    // RGBA floats, row 0 first; for 3D slice 0 first; for a cube the six
    // faces in GL's order (+X, -X, +Y, -Y, +Z, -Z).
    std::vector<float> texels;
    unsigned wrap[3] = {};                   // GL address modes for s, t, r
    unsigned mag_filter = 0, min_filter = 0;  // GL filters (min may name a mip filter)
    bool mipmaps = false;
};

// What the program's text asks for, by name and GL type (a GL enum).
struct UniformQuery {
    std::string name;  // without a block's name and without "[0]"
    unsigned type = 0;
    int count = 1;  // array size
};

struct DrawRequest {
    Api api = Api::ES3;
    std::string vertex_text;
    std::string pixel_text;
    int outputs = 1;                              // colour targets
    std::vector<std::string> output_names;        // bound to targets 0, 1, ... where not set in the text
    bool clip_depth_zero_to_one = false;          // Direct3D's clip range instead of GL's
    int width = 8, height = 8;
    // Fill `values` for an active vertex input; false with a message when
    // the name means nothing.
    std::function<bool(const std::string& name, bool integer, VertexValues* values, std::string* error)>
        vertex_input;
    // Fill `values` for an active constant (not a texture).
    std::function<bool(const UniformQuery& query, UniformValues* values, std::string* error)> constant;
    // Fill `texture` for an active sampler.
    std::function<bool(const UniformQuery& query, Texture* texture, std::string* error)> texture;
};

struct DrawResult {
    bool drawn = false;
    std::string error;  // why not drawn
    // Per colour target, width * height RGBA floats, the bottom row first.
    std::vector<std::vector<float>> images;
};

class Device {
public:
    // Null with a message that says what is missing when there is no EGL
    // driver, no surfaceless platform or no context of the kinds needed.
    static std::unique_ptr<Device> Open(std::string* error);
    ~Device();

    DrawResult Draw(const DrawRequest& request);
    // "RGBA32F", or the format the context fell back to.
    const char* TargetFormatName(Api api) const;
    // A line for each context: what the driver gave for what was asked.
    std::string Describe() const;

    struct State;

private:
    Device() = default;
    std::unique_ptr<State> state;
};

}  // namespace draw
}  // namespace ShaderTool
