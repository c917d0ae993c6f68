// The records that carry one Shader XML file through the front end, the
// stage enumeration, and the target names and capabilities (the targets
// themselves are in targets.h).
// Every record owns its strings and arrays, and copies are deep: the
// translator driver and the run-time shader queue keep copies of them.
#pragma once

#include "engine/base/narray.h"
#include "engine/base/nbytebuffer.h"
#include "engine/base/nstring.h"
#include "shadertool/frontend/targets.h"
#include "shadertool/frontend/types.h"

struct zk_bitmap_t;  // the engine's pooled bitmap record (media)

namespace ShaderTool {

enum ShaderType : int {
    VERTEX_SHADER = 0,
    PIXEL_SHADER = 1,
    UNKNOWN_SHADER = 3,  // a source whose type could not be read
};

enum ShaderVertexOutputSemantic : int {
    OUTPUT_COLOR = 0,
    OUTPUT_POSITION = 1,
    OUTPUT_TEXTURE_COORDINATE = 2,
};

// Semantics of vertex and pixel constants (0 while not yet valid).
enum ShaderConstantSemantic : int {
    CONSTANT_INVALID = 0,
    CONSTANT_NONE = 1,
    CONSTANT_WORLD_TRANSFORM = 2,
    CONSTANT_WORLD_VIEW_TRANSFORM = 3,
    CONSTANT_WORLD_VIEW_PROJECTION_TRANSFORM = 4,
    CONSTANT_VIEW_TRANSFORM = 5,
    CONSTANT_VIEW_PROJECTION_TRANSFORM = 6,
};

// Vertex input semantics, one bit each.
enum ShaderVertexInputSemantic : int {
    INPUT_POSITION = 1,
    INPUT_COLOR = 2,
    INPUT_TEXTURE_COORDINATE_0 = 4,
    INPUT_NORMAL = 8,
    INPUT_TEXTURE_COORDINATE_1 = 16,
    INPUT_TANGENT = 32,
    INPUT_BITANGENT = 64,
    INPUT_4_BONE_INDICES = 128,
    INPUT_4_BONE_WEIGHTS = 256,
};

// General constant of the file.
struct ShaderConstant {
    enum Kind : int { BOOL = 0, FLOAT = 1, INT = 2, OTHER = 3 };
    nString id;
    nString value;
    int kind = OTHER;  // from the first token of the value
};

// Vertex or pixel constant.
struct ShaderConstantVariable {
    nString id;
    int semantic = CONSTANT_INVALID;  // ShaderConstantSemantic
    int size = 0;  // bytes: 16 per vector or 64 per matrix, times the array size when not 0
    Type type;     // const, with the array size when the count is not 1
};

struct ShaderVertexInputVariable {
    nString id;
    int semantic = 0;  // one ShaderVertexInputSemantic bit
    Type type;         // implied by the semantic, const
};

struct ShaderVertexOutputVariable {
    nString id;
    Type type;
    ShaderVertexOutputSemantic semantic = OUTPUT_COLOR;
    int semantic_index = 0;  // earlier outputs with the same semantic
};

struct ShaderTextureVariable {
    // Address modes and filters hold the media layer's values:
    // address 0 default, 1 clamp, 2 wrap, 3 mirror;
    // filter 0 default, 1 point, 2 linear, 3 anisotropic.
    nString id;
    zk_bitmap_t* source = nullptr;  // borrowed from the bitmap pool; null when none is named
    Type type;                      // texture, kind 0 2D, 1 3D, 2 cube
    int address_u = 0;
    int address_v = 0;
    int address_w = 0;
    int filter_mag = 0;
    int filter_min = 0;
    int filter_mip = 0;
};

struct ShaderPixelOutputVariable {
    nString id;
};

struct ShaderSource {
    nString file;  // name used in messages: the Shader XML's path for inline code
    nString code;
    int line = 1;  // line of `file` on which `code` begins
    int targets = ALL_TARGETS;  // ShaderTarget mask
    ShaderType type = UNKNOWN_SHADER;
};

// Everything one Shader XML file declares. The implicit copy operations are
// deep: every array copies its elements with their strings.
struct ShaderInfo {
    nArray<ShaderConstant> constants;
    nArray<ShaderConstantVariable> pixel_constants;
    nArray<ShaderPixelOutputVariable> pixel_output;
    nArray<ShaderTextureVariable> pixel_textures;
    nArray<ShaderSource> sources;
    nString tags;  // may hold no text
    nArray<ShaderConstantVariable> vertex_constants;
    nArray<ShaderVertexInputVariable> vertex_input;
    nArray<ShaderVertexOutputVariable> vertex_output;
    int targets = 0;                 // ShaderTarget mask of the file
    unsigned int time_modified = 0;  // seconds; 0 when not known
    unsigned int version = 0;        // (version << 16) | revision; 0 without "info"
};

// Translated or precompiled code of a shader pair. A buffer flagged
// `external` does not own its bytes: copies share them and nobody frees them.
struct ShaderCode {
    ShaderCode() = default;
    ShaderCode(const ShaderCode& other);
    // Per buffer: size and capacity become the source's size; position and
    // both flags are copied; owned bytes are copied (null for size 0), bytes
    // that are not owned are shared.
    ShaderCode& operator=(const ShaderCode& other);

    nByteBuffer& GetBuffer(ShaderType stage) { return stage == PIXEL_SHADER ? pixel : vertex; }
    const nByteBuffer& GetBuffer(ShaderType stage) const { return stage == PIXEL_SHADER ? pixel : vertex; }
    // Appends to the stage's buffer; false when a buffer that does not own
    // its bytes would have to grow, or memory runs out.
    bool Append(ShaderType stage, const void* bytes, int length);
    bool AppendStringWithNullTerminator(ShaderType stage, const char* text);
    // A buffer that does not own its bytes is fixed: it never grows.
    bool IsFixed(ShaderType stage) const { return GetBuffer(stage).external; }

    nByteBuffer vertex;
    nByteBuffer pixel;
};

struct Capabilities {
    bool multiple_pixel_outputs = false;
    bool textures_3d = false;
};

// Seven entries in target index order.
nArray<Capabilities> GetCapabilities();

// Mask of one target or family name ("ESSL", "ESSL20", ..., "ALL"), exact and
// case-sensitive; 0 for anything else, "" and null.
int GetShaderTargetsFromString(const char* name);

// Mask of one level name ("HLSL11_DEFAULT", ..., "ALL"), exact and
// case-sensitive; 0 for anything else.
int GetShaderLevelsFromString(const char* name);

// Name of the target with bit index 0-6 ("ESSL20" ... "PSSL"); these are
// also the output directory names. Null for other indices.
const char* GetShaderTargetName(int index);

// Bit index (0-6) of a single target bit, -1 for anything else.
int GetShaderTargetIndex(int target);

// Mask of a Shader XML target list: null or "" gives all targets; a single
// item "~NAME" gives the complement of NAME within 127; else the OR of the
// comma-separated items, each shorter than 16 characters and known, or 0.
int GetSourceTargetIds(const char* text);

}  // namespace ShaderTool
