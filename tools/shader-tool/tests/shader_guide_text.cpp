// The guide's own words for the rows of its generated tables, and its
// probes. The rows themselves come from the program's tables (see
// shader_guide.h); a key here that no table has, or a row of a table that
// has no key here, stops the guide from being generated.
#include "shadertool/frontend/targets.h"
#include "tools/shader-tool/tests/shader_guide.h"

namespace ShaderGuide {

namespace {

// The stages' code around a statement of the pixel stage ("$").
const char* const kPixelStatement =
    "void main()\n{\n    $\n    output.color = float4(input.uv, 0.0, 1.0);\n}\n";
const char* const kVertexStatement =
    "void main()\n{\n    output.position = input.position;\n    output.uv = input.uv;\n    $\n}\n";

GuideText MakeGuideText() {
    GuideText text;

    text.arrays = {
        {"info",
         "`version`, `revision` and what else the table below lists; a file without it is not a Shader XML and is "
         "skipped"},
        {"constants",
         "general constants, each `id` and `value`; or a node with only `file`, which reads the `constants` array "
         "of another file"},
        {"vertex_input", "one node per vertex input: `id`, `semantic`"},
        {"vertex_constants", "the vertex stage's constants: `id`, `type`, optionally `count` and `semantic`"},
        {"vertex_output", "what the vertex stage hands on to the pixel stage: `id`, `type`, `semantic`"},
        {"pixel_constants", "the pixel stage's constants, written as the vertex stage's"},
        {"pixel_textures",
         "`id`, `type`, optionally `address_u`, `address_v`, `address_w`, `filter_mag`, `filter_min`, "
         "`filter_mip`, `source`"},
        {"pixel_output", "one node (`id`) per colour the pixel stage writes; at least one"},
        {"sources", "the code: `type`, optionally `target`, and either a character data section or `file`"},
    };

    text.info_entries = {
        {"version", "`2` (or higher): the file format's version"},
        {"revision", "`3` with version 2; revision 2 is the older form (below), revision 1 is refused"},
        {"tags", "free text, kept with the shader for the engine; the tool does nothing with it"},
        {"target",
         "the targets the file is written for, as a target list (below); when translating for other targets the "
         "file is skipped"},
        {"feature_level", "an older way to say the targets, read only when there is no `target`"},
    };

    text.targets = {
        {"ESSL20", "OpenGL ES 2.0 (GLSL ES 1.00)"},
        {"ESSL30", "OpenGL ES 3.0 (GLSL ES 3.00)"},
        {"GLSL21", "OpenGL 2.1 (GLSL 1.20)"},
        {"GLSL31", "OpenGL 3.1 (GLSL 1.40)"},
        {"HLSL9", "Direct3D 9 (shader model 3)"},
        {"HLSL11", "Direct3D 11, one binary per level of `-l`"},
        {"PSSL", "PSSL, written like HLSL11 with names of its own"},
    };

    text.vertex_inputs = {
        {"POSITION", "the vertex position in model space; every format has it"},
        {"COLOR", "the vertex colour, each channel 0 to 1"},
        {"TEXTURE_COORDINATE_0", "the texture coordinate"},
        {"NORMAL", "the surface normal"},
        {"TEXTURE_COORDINATE_1",
         "a second texture coordinate; no vertex format has it, so a file that declares it is refused"},
        {"TANGENT", "the tangent: the direction in which the texture's u grows across the surface"},
        {"BITANGENT", "the bitangent: the direction in which v grows"},
        {"4_BONE_INDICES", "the four bones that move the vertex, as indexes into an array of bone matrices"},
        {"4_BONE_WEIGHTS", "how much each of the four bones moves the vertex"},
    };

    text.vertex_formats = {
        {"1",
         "position alone: depth and shadow passes (which write their depth into a colour output), flat colours "
         "from constants"},
        {"7", "sprites, text, particles, 2D and unlit meshes, full-screen passes"},
        {"15", "lit meshes"},
        {"47", "normal mapping, with the bitangent made in the shader (`cross(normal, tangent)`)"},
        {"111", "normal mapping with a full tangent frame (`normal_mapped.xml`)"},
        {"385", "skinned meshes, position alone"},
        {"399", "lit skinned meshes (`skinning.xml`)"},
        {"495", "normal-mapped skinned meshes"},
    };

    text.constant_semantics = {
        {"WORLD_TRANSFORM", "the world transform: model space to world space"},
        {"WORLD_VIEW_TRANSFORM", "world and view: model space to view space"},
        {"WORLD_VIEW_PROJECTION_TRANSFORM", "world, view and projection: model space to clip space"},
        {"VIEW_TRANSFORM", "the view transform: world space to view space"},
        {"VIEW_PROJECTION_TRANSFORM", "view and projection: world space to clip space"},
    };

    text.vertex_outputs = {
        {"COLOR", "a colour"},
        {"POSITION", "the clip-space position the vertex stage computes (one output, and only one, has it)"},
        {"TEXTURE_COORDINATE",
         "anything else the pixel stage reads, interpolated across the triangle (ints are handed on as they "
         "are); a missing or unknown semantic word gives this one, without a message"},
    };

    text.texture_types = {
        {"2D", "an ordinary image"},
        {"3D", "a volume, such as a colour look-up table"},
        {"CUBE", "six square faces looked up by a direction, such as an environment map"},
    };

    text.address_modes = {
        {"CLAMP", "the edge texels stretch on"},
        {"WRAP", "the image repeats"},
        {"MIRROR", "the image repeats, every other copy mirrored"},
    };

    text.filter_modes = {
        {"POINT", "the nearest texel (or mip level)"},
        {"LINEAR", "neighbouring texels (or mip levels) blended"},
        {"ANISOTROPIC", "anisotropic filtering"},
    };

    text.source_types = {
        {"vertex", "the vertex stage"},
        {"pixel", "the pixel stage"},
    };

    text.built_ins = {
        {"abs", "the absolute value"},
        {"acos", "the arc cosine, in radians"},
        {"all", "`true` when no component is 0"},
        {"any", "`true` when some component is not 0"},
        {"asin", "the arc sine, in radians"},
        {"atan", "the arc tangent, in radians"},
        {"atan2", "`atan2(y, x)`: the angle of the point (x, y), -π to π"},
        {"ceil", "the nearest whole number at or above"},
        {"clamp", "`clamp(x, low, high)`: x kept within low and high"},
        {"cos", "the cosine of radians"},
        {"cross", "the cross product"},
        {"degrees", "radians in degrees"},
        {"distance", "the distance between two points"},
        {"dot", "the dot product"},
        {"exp", "e to the power"},
        {"exp2", "2 to the power"},
        {"floor", "the nearest whole number at or below"},
        {"frac", "the fraction: `x - floor(x)`"},
        {"length", "the length of a vector"},
        {"lerp", "`lerp(a, b, t)`: `a + (b - a) * t`"},
        {"log", "the natural logarithm"},
        {"log2", "the logarithm to base 2"},
        {"max", "the greater, per component"},
        {"min", "the smaller, per component"},
        {"normalize", "the vector at length 1"},
        {"pow", "`pow(x, y)`: x to the power y"},
        {"radians", "degrees in radians"},
        {"reflect", "`reflect(i, n)`: the direction i reflected at a surface of normal n"},
        {"rsqrt", "`1 / sqrt(x)`"},
        {"sampleTexture", "the texture at a coordinate; the hardware picks the mip level"},
        {"sampleTextureGrad",
         "`sampleTextureGrad(t, c, dx, dy)`: the texture at c, the mip level picked from the coordinate's change "
         "per pixel, dx and dy"},
        {"sampleTextureLod", "`sampleTextureLod(t, c, level)`: the texture at c at that mip level"},
        {"sampleTextureLodOffset",
         "`sampleTextureLodOffset(t, c, level, offset)`: as `sampleTextureLod`, moved by whole texels"},
        {"saturate", "kept within 0 and 1"},
        {"sign", "-1, 0 or 1"},
        {"sin", "the sine of radians"},
        {"smoothstep", "`smoothstep(low, high, x)`: 0 up to low, 1 from high, a smooth S-curve between"},
        {"sqrt", "the square root"},
        {"step", "`step(edge, x)`: 0 where x is below edge, else 1"},
        {"tan", "the tangent of radians"},
        {"transpose", "the matrix with rows and columns swapped"},
    };

    text.predefined_names = {
        {"_HALF_PI", "π / 2 as a float literal in code; 0 in `#if`"},
        {"_PI", "π as a float literal in code; 0 in `#if`"},
        {"_TWO_PI", "2π as a float literal in code; 0 in `#if`"},
        {"_TARGET", "the name of the target being translated for; compare it with a target's name in `#if`"},
        {"_TARGET_GROUP", "the name of the target's family; compare it with a family's name in `#if`"},
        {"_TEXTURE_COORDINATE_AXIS_V_POINTS_UP",
         "1 where the texture coordinate v grows upwards in the image, 0 where it grows downwards"},
    };

    text.directives = {
        {"define", "`#define NAME value`: a name for a number, a quoted text or another name; no macros with "
                   "arguments, no redefinition"},
        {"elif", "`#elif expression`"},
        {"else", "`#else`"},
        {"endif", "`#endif`; at most 7 `#if` inside each other"},
        {"if", "`#if expression`: numbers, names, `+ - * /`, comparisons, `! && ||`, parentheses"},
        {"include", "`#include \"file\"`: the file's text, the path taken from the including file's folder"},
        {"defined", "in `#if`: 1 when NAME is defined, else 0"},
    };

    text.target_features = {
        {"a 3D texture", "<node id=\"volume\" type=\"3D\"/>",
         Probe().PixelTextures("$").PixelCode(
             "void main()\n{\n    output.color = sampleTexture(texture.volume, float3(input.uv, 0.5));\n}\n")},
        {"two pixel outputs", "<node id=\"color\"/><node id=\"glow\"/>",
         Probe().PixelOutput("$").PixelCode(
             "void main()\n{\n    output.color = float4(input.uv, 0.0, 1.0);\n    output.glow = float4(1.0);\n}\n")},
        {"an `INT` vertex output", "<node id=\"n\" type=\"INT\" semantic=\"TEXTURE_COORDINATE\"/>",
         Probe()
             .VertexOutput("<node id=\"position\" type=\"FLOAT4\" semantic=\"POSITION\"/>"
                           "<node id=\"uv\" type=\"FLOAT2\" semantic=\"TEXTURE_COORDINATE\"/>$")
             .VertexCode("void main()\n{\n    output.position = input.position;\n    output.uv = input.uv;\n"
                         "    output.n = 1;\n}\n")},
        {"a `BOOL` vertex output", "<node id=\"b\" type=\"BOOL\" semantic=\"TEXTURE_COORDINATE\"/>",
         Probe()
             .VertexOutput("<node id=\"position\" type=\"FLOAT4\" semantic=\"POSITION\"/>"
                           "<node id=\"uv\" type=\"FLOAT2\" semantic=\"TEXTURE_COORDINATE\"/>$")
             .VertexCode("void main()\n{\n    output.position = input.position;\n    output.uv = input.uv;\n"
                         "    output.b = true;\n}\n")},
        {"bit-wise operators (`& | ^ ~ << >>` and their assignments)", "int bits = (int(input.uv.x) & 3) << 2;",
         Probe().PixelCode(kPixelStatement)},
        {"`input.instance_id` (vertex stage)", "output.position.x += float(input.instance_id);",
         Probe().VertexCode(kVertexStatement)},
        {"`input.vertex_id` (vertex stage)", "output.position.x += float(input.vertex_id);",
         Probe().VertexCode(kVertexStatement)},
        {"`input.face_direction` and `input.is_front_facing` (pixel stage)",
         "float side = input.is_front_facing ? input.face_direction : 0.0;", Probe().PixelCode(kPixelStatement)},
        {"a global array with an initializer list", "float weights[3] = {0.25, 0.5, 0.25};",
         Probe().PixelCode("$\nvoid main()\n{\n    output.color = float4(weights[1]);\n}\n")},
        {"a global variable set from a call of a function", "float scale = twice(0.5);",
         Probe().PixelCode("float twice(float x)\n{\n    return x * 2.0;\n}\n$\nvoid main()\n{\n"
                           "    output.color = float4(scale);\n}\n")},
        {"`sampleTextureLodOffset` with an offset that is not constant",
         "float4 c = sampleTextureLodOffset(texture.image, input.uv, 0.0, int2(int(input.uv.x * 4.0), 0));",
         Probe().PixelTextures("<node id=\"image\" type=\"2D\"/>").PixelCode(kPixelStatement)},
        {"a write to a member of `input` (pixel stage)", "input.uv = input.uv * 2.0;",
         Probe().PixelCode(kPixelStatement)},
        {"a read of the `POSITION` output's `input` member (pixel stage)", "float4 p = input.position;",
         Probe().PixelCode(kPixelStatement)},
        {"a function named like a GLSL built-in function (`mod`)", "float mod(float x, float y)",
         Probe().PixelCode("$\n{\n    return x - y * floor(x / y);\n}\nvoid main()\n{\n"
                           "    output.color = float4(mod(input.uv.x, 0.5));\n}\n")},
        {"a function named like an HLSL function the texts call (`mul`)", "float4 mul(float4 v, float4x4 m)",
         Probe().PixelCode("$\n{\n    return v;\n}\nvoid main()\n{\n"
                           "    float4 v = float4(input.uv, 0.0, 1.0);\n    output.color = mul(v, float4x4(v, v, v, v));\n}\n")},
        {"a name that is a GLSL word (`filter`, `vec3`, `sampler2D`, ...: see below)", "float filter = 0.5;",
         Probe().PixelCode(kPixelStatement)},
        {"a name that is an HLSL word (`sampler`, `float4x3`, `half`, ...: see below)", "float sampler = 0.5;",
         Probe().PixelCode(kPixelStatement)},
    };

    const int ESSL20_ONLY = ShaderTool::ESSL20;
    const int GLSL21_ONLY = ShaderTool::GLSL21;
    const int GLSL31_ONLY = ShaderTool::GLSL31;
    text.messages = {
        {"<node id=\"uv1\" semantic=\"TEXTURE_COORDINATE_1\"/>", 0,
         "The vertex inputs' semantics together make none of the vertex formats (here: no format has "
         "TEXTURE_COORDINATE_1). Use one of the formats' sets of semantics.",
         Probe().VertexInput("<node id=\"position\" semantic=\"POSITION\"/><node id=\"color\" semantic=\"COLOR\"/>"
                             "<node id=\"uv\" semantic=\"TEXTURE_COORDINATE_0\"/>$")},
        {"<node id=\"uv\" semantic=\"TEXCOORD0\"/>", 0,
         "The same for a semantic word that does not exist: the words are exact, in capitals.",
         Probe().VertexInput("<node id=\"position\" semantic=\"POSITION\"/><node id=\"color\" semantic=\"COLOR\"/>$")},
        {"<node id=\"fade\" type=\"FLOAT\"/>", 0,
         "A constant is a `FLOAT4`, an `INT4` or a matrix. Put a single value in the `x` of a `FLOAT4`.",
         Probe().PixelConstants("$")},
        {"<node id=\"wvp\" type=\"FLOAT4X4\" semantic=\"WORLD_VIEW_PROJECTION\"/>", 0,
         "Not one of the constant semantics.", Probe().VertexConstants("$")},
        {"<node id=\"image\" type=\"2d\"/>", 0, "The texture types are `2D`, `3D` and `CUBE`.",
         Probe().PixelTextures("$")},
        {"<node id=\"image\" type=\"2D\" address_u=\"REPEAT\"/>", 0,
         "Not one of the address modes; the filters are checked the same way.", Probe().PixelTextures("$")},
        {"<node id=\"volume\" type=\"3D\"/>", 0,
         "The file fails for every target, not only for ESSL20, and none of its outputs is kept, as with every "
         "refusal. Leave ESSL20 out with "
         "`<node id=\"target\" value=\"~ESSL20\"/>` in `info` (as `color_grade.xml` does), or give ESSL20 a file "
         "of its own.",
         Probe().PixelTextures("$").PixelCode(
             "void main()\n{\n    output.color = sampleTexture(texture.volume, float3(input.uv, 0.5));\n}\n")},
        {"float SCALE = 1.0;", 0,
         "Here the file has a general constant `SCALE`, which replaces the word `SCALE` everywhere in the code, "
         "so the line reads `float 2.000000 = 1.0;`. The same happens to a member (`output.SCALE`) or a parameter "
         "of that name: keep the constants' names apart, for example in capitals.",
         Probe().Constants("<node id=\"SCALE\" value=\"2.0\"/>").PixelCode(kPixelStatement)},
        {"#ifdef MOBILE", 0,
         "The preprocessor has `#if`, `#elif`, `#else`, `#endif`, `#define` and `#include` only: write "
         "`#if defined(MOBILE)`. Any other `#` line, `#pragma` too, is a syntax error.",
         Probe().PixelCode("$\n#endif\nvoid main()\n{\n    output.color = float4(1.0);\n}\n")},
        {"#define SCALE 3.0", 0,
         "A name defined already (here by a general constant) cannot be defined again, and names beginning with "
         "`_` cannot be defined at all.",
         Probe().Constants("<node id=\"SCALE\" value=\"2.0\"/>").PixelCode(
             "$\nvoid main()\n{\n    output.color = float4(SCALE);\n}\n")},
        {"#if QUALITY > 1", 0,
         "An `#if` without its `#endif`. The message stands at the end of the source, not at the `#if`: look "
         "for the `#if` whose `#endif` is missing.",
         Probe().PixelCode("void main()\n{\n$\n    output.color = float4(1.0);\n}\n")},
        {"#endif", 0, "An `#endif` with no `#if` open; a lone `#else` or `#elif` is refused the same way, by its "
                      "own word.",
         Probe().PixelCode("void main()\n{\n    output.color = float4(1.0);\n$\n}\n")},
        {"#include \"lighting.zksl\"", 0,
         "Includes nest at most as deep as the message says; deeper, here in a file that includes itself, is "
         "refused at the include that goes too deep.",
         Probe()
             .File("lighting.zksl", "#include \"lighting.zksl\"\n")
             .PixelCode("$\nvoid main()\n{\n    output.color = float4(1.0);\n}\n")},
        {"float4 c = texture2D(texture.image, input.uv);", 0,
         "ZKSL has its own names for what the target languages spell differently: `sampleTexture`, `lerp`, "
         "`frac`, `atan2`, `rsqrt`.",
         Probe().PixelTextures("<node id=\"image\" type=\"2D\"/>").PixelCode(kPixelStatement)},
        {"float4 c = texture.image.Sample(input.uv);", 0,
         "Textures have no methods: write `sampleTexture(texture.image, input.uv)`. A `syntax error` may follow "
         "the same line.",
         Probe().PixelTextures("<node id=\"image\" type=\"2D\"/>").PixelCode(kPixelStatement)},
        {"float4 c = constants.fade;", 0,
         "Here `fade` is a vertex constant, which the pixel stage does not see: each stage reads only the "
         "constants of its own array. Declare it in `pixel_constants` too, or hand it on as a vertex output. "
         "The same message comes when the array's id is misspelt (below).",
         Probe().VertexConstants("<node id=\"fade\" type=\"FLOAT4\"/>").PixelCode(kPixelStatement)},
        {"float4 c = sampleTexture(texture.image, float3(input.uv, 0.0));", 0,
         "No overload takes these arguments: a 2D texture is sampled with a `float2`.",
         Probe().PixelTextures("<node id=\"image\" type=\"2D\"/>").PixelCode(kPixelStatement)},
        {"int i = 1.5;", 0,
         "The message names neither side's type: compare them. Here a float goes into an int: only an int is made "
         "a float on its own; the other way, write `int(1.5)`.",
         Probe().PixelCode(kPixelStatement)},
        {"float4 c = input.uv.xyx;", 0,
         "The same for a vector of another size, here a `float3` into a `float4`: a vector is neither filled up "
         "nor cut on its own. Write `float4(input.uv.xyx, 1.0)`, or `.xyz` to take three components.",
         Probe().PixelCode(kPixelStatement)},
        {"float3 v = constants.rotation * input.uv.xyy;", 0,
         "A matrix is multiplied by a vector from the left only: write `input.uv.xyy * constants.rotation`, as "
         "positions are written `input.position * constants.world_view_projection`.",
         Probe().PixelConstants("<node id=\"rotation\" type=\"FLOAT3X3\"/>").PixelCode(kPixelStatement)},
        {"float r = input.uv.x % 0.5;", 0, "`%` takes ints; for floats write `x - y * floor(x / y)`.",
         Probe().PixelCode(kPixelStatement)},
        {"float w[2] = {1, 0.5};", 0,
         "In an initializer list every item must have the list's type: write `1.0`.",
         Probe().PixelCode(kPixelStatement)},
        {"struct Light { float4 color; };", 0,
         "ZKSL has no structures; the other reserved words (`in`, `out`, `inout`, `uint`, `bool2`, ...) are refused "
         "the same way.",
         Probe().PixelCode("$\nvoid main()\n{\n    output.color = float4(1.0);\n}\n")},
        {"float do = 1.0;", 0,
         "A ZKSL keyword (here `do`; see [Statements](#zksl)) or type name cannot be a name, and the message says "
         "no more: look at the names on the line.",
         Probe().PixelCode(kPixelStatement)},
        {"static const float SCALE = 2.0;", 0,
         "ZKSL has no `static`, nor any qualifier but `const`: write `const float SCALE = 2.0;`, in a function or "
         "outside.",
         Probe().PixelCode("$\nvoid main()\n{\n    output.color = float4(1.0);\n}\n")},
        {"highp float d = 1.0;", 0,
         "ZKSL has no precision qualifiers (`highp`, `mediump`, `lowp`; a `precision` line is a `syntax error`): "
         "each stage has the precision its target declares (see [Precision](#what-a-3d-pass-must-know-of-the-"
         "targets)). Leave the word out.",
         Probe().PixelCode(kPixelStatement)},
        {"float total(float w[3]) { return w[0] + w[1] + w[2]; }", 0,
         "An array cannot be a parameter, and the message, at the `[`, says no more. Hand the elements over one "
         "by one, or declare the array outside the functions (without an initializer list, for ESSL20) and read "
         "it in the function.",
         Probe().PixelCode("$\nvoid main()\n{\n    output.color = float4(1.0);\n}\n")},
        {"const float w[2] = {0.25, 0.75};", 0,
         "`const` arrays are refused: leave out `const`. An array with an initializer list is set in the code "
         "then (on ESSL20 element by element).",
         Probe().PixelCode(kPixelStatement)},
        {"float d = ddx(input.uv.x);", 0,
         "ZKSL has no derivative functions (`ddx`, `ddy`, `dFdx`, `dFdy`, `fwidth`) and no query of a texture's "
         "size: hand a texture's size, or one texel's, in as a constant (a `FLOAT4` of `pixel_constants`).",
         Probe().PixelCode(kPixelStatement)},
        {"float4 c = sampleTexture(texture.image, input.uv);", 0,
         "Here in the vertex stage, which has no `texture.`: textures are the pixel stage's. Sample in the pixel "
         "stage, or hand the value in as a constant.",
         Probe().PixelTextures("<node id=\"image\" type=\"2D\"/>").VertexCode(kVertexStatement)},
        {"<array id=\"pixel_constant\"><node id=\"tint\" type=\"FLOAT4\"/></array>", 0,
         "The array's id is misspelt (`pixel_constant` for `pixel_constants`). An array the tool does not know "
         "is ignored without a word, so the constants are not there; the message comes from the first use of "
         "one (here `output.color = constants.tint;`). Check the array's id before the constant's.",
         Probe()
             .ExtraArray("pixel_constant", "<node id=\"tint\" type=\"FLOAT4\"/>")
             .PixelCode("void main()\n{\n    output.color = constants.tint;\n}\n")},
        {"float2 uv() { return input.uv; }", 0,
         "`input` and `output` exist in `main` only: hand what a function needs to it as parameters. "
         "`constants.` and `texture.` can be used in every function.",
         Probe().PixelCode("$\nvoid main()\n{\n    output.color = float4(uv(), 0.0, 1.0);\n}\n")},
        {"float4 n = float4(input.normal, 0.0);", 0,
         "The pixel stage's `input` holds the vertex outputs, not the vertex inputs: add a vertex output and set "
         "it in the vertex stage.",
         Probe().PixelCode(kPixelStatement)},
        {"output.position = input.position;", 0,
         "Every vertex output must be set in the vertex stage's `main` (here `uv` is not).",
         Probe().VertexCode("void main()\n{\n    $\n}\n")},
        {"float4 color = float4(input.uv, 0.0, 1.0);", 0,
         "Every pixel output must be set in the pixel stage's `main` (here the colour goes to a variable instead).",
         Probe().PixelCode("void main()\n{\n    $\n}\n")},
        {"output.color = input.position;", GLSL31_ONLY,
         "The vertex stage writes its `POSITION` output to the target's own position, which the GL family and "
         "HLSL9 do not hand to the pixel stage; HLSL11 and PSSL give the pixel's window position there. Hand on "
         "what the pixel stage needs in a `TEXTURE_COORDINATE` output.",
         Probe().PixelCode("void main()\n{\n    $\n}\n")},
        {"<node id=\"position\" type=\"FLOAT4\" semantic=\"POSITON\"/>", 0,
         "None of the vertex outputs has the semantic `POSITION` (an unknown word, here a misspelt one, makes a "
         "texture coordinate), so the vertex stage would place nothing on the screen.",
         Probe()
             .VertexOutput("$<node id=\"uv\" type=\"FLOAT2\" semantic=\"TEXTURE_COORDINATE\"/>")
             .VertexCode("void main()\n{\n    output.position = input.position;\n    output.uv = input.uv;\n}\n")},
        {"float fade(float x) { return x > 0.1 ? fade(x * 0.5) : x; }", 0,
         "A function calls itself, here directly; a cycle through other functions is refused the same way, at "
         "the call that closes it. No target runs recursion: write a loop.",
         Probe().PixelCode("$\nvoid main()\n{\n    output.color = float4(fade(input.uv.x));\n}\n")},
        {"discard;", 0, "`discard` belongs to the pixel stage.", Probe().VertexCode(kVertexStatement)},
        {"return;", 0, "`main` ends at its end; use `if` and `else` around what is to be left out.",
         Probe().PixelCode("void main()\n{\n    output.color = float4(input.uv, 0.0, 1.0);\n    $\n}\n")},
        {"<array id=\"pixel_output\"></array>", 0, "Every file writes at least one colour.",
         Probe().PixelOutput("")},
        {"float4 c = sampleTextureLod(texture.image, input.uv, 0.0);", ESSL20_ONLY,
         "The target has no such function (see the table of built-in functions). Give the target a source of its "
         "own (`target` on the source), or leave it out of the file.",
         Probe().PixelTextures("<node id=\"image\" type=\"2D\"/>").PixelCode(kPixelStatement)},
        {"float weights[3] = {0.25, 0.5, 0.25};", ESSL20_ONLY,
         "ESSL20 cannot set an array outside the functions from an initializer list (see [what each target "
         "takes](#what-each-target-takes)). Declare it there without the list and set its elements in `main`, "
         "which ESSL20 takes, or declare it with its list inside the function that reads it. The message names "
         "no line: look for `= {` outside the functions.",
         Probe().PixelCode("$\nvoid main()\n{\n    output.color = float4(weights[1]);\n}\n")},
        {"<node id=\"n\" type=\"INT\" semantic=\"TEXTURE_COORDINATE\"/>", GLSL21_ONLY,
         "GLSL21 and ESSL20 hand on floats only: hand on a float and turn it back with `int()`.",
         Probe()
             .VertexOutput("<node id=\"position\" type=\"FLOAT4\" semantic=\"POSITION\"/>"
                           "<node id=\"uv\" type=\"FLOAT2\" semantic=\"TEXTURE_COORDINATE\"/>$")
             .VertexCode("void main()\n{\n    output.position = input.position;\n    output.uv = input.uv;\n"
                         "    output.n = 1;\n}\n")},
        {"float filter = 0.5;", GLSL31_ONLY,
         "The name is a word of the target's language (see [Names each target refuses]"
         "(#names-each-target-refuses)): choose another. The message names no line: search the code for the "
         "name, which stands somewhere as a variable, a parameter or a function.",
         Probe().PixelCode(kPixelStatement)},
        {"<node id=\"target\" value=\"~ESSL20\"/>", ESSL20_ONLY,
         "The file leaves out every target asked for. It is skipped, and counts as translated.",
         Probe().Info("<node id=\"version\" value=\"2\"/><node id=\"revision\" value=\"3\"/>$")},
        {"<node id=\"revision\" value=\"1\"/>", 0, "Write version 2, revision 3.",
         Probe().Info("<node id=\"version\" value=\"2\"/>$")},
        {"(no `info` array)", 0,
         "Without `info` the file is no Shader XML: it is skipped, and counts as translated.",
         Probe().WithoutInfo()},
    };
    return text;
}

}  // namespace

const GuideText& GetGuideText() {
    static const GuideText text = MakeGuideText();
    return text;
}

}  // namespace ShaderGuide
