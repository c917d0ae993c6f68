// What a drawn Shader XML gets, the same on every target once each
// family's conventions are applied:
//
// - The quad covers the render target: POSITION runs from (-1, -1, 0, 1) at
//   the bottom-left corner to (1, 1, 0, 1) at the top-right one.
// - COLOR is (1, 1, 1, 1); NORMAL (0, 0, 1); TANGENT (1, 0, 0); BITANGENT
//   (0, 1, 0); 4_BONE_INDICES (0, 1, 2, 3); 4_BONE_WEIGHTS (0.5, 0.25,
//   0.125, 0.125).
// - TEXTURE_COORDINATE_0 is the point's place in the picture, from 0 at the
//   left to 1 at the right, and from 0 at the bottom to 1 at the top on the
//   GL family, where v points up, but from 0 at the top to 1 at the bottom
//   on the HLSL family and PSSL, where it points down.
// - A constant with a transform semantic holds the identity; any other the
//   values of its `set` mark (a matrix row by row, as `float4(1, 0, 0, 0) *
//   m` reads its first row), or zeros.
// - Textures are 4 texels wide, high and deep. In a 2D texture the texel in
//   column i from the left and row j from the top of the picture is
//   ((i + 0.5) / 4, (j + 0.5) / 4, 0.5, A); a 3D texture's slice l the same
//   with blue (l + 0.5) / 4; a cube's face f (+X, -X, +Y, -Y, +Z, -Z) the
//   same as a 2D texture with blue (f + 1) / 8. A is 1 for the file's first
//   texture, 0.875 for the second, and so on down by 1/8. The picture's top
//   row lies at v = 1 on the GL family and at v = 0 on the others, so the
//   same texture coordinate input samples the same texel everywhere (a
//   cube is looked up by direction, alike in both families). The file's
//   address modes and filters apply; a missing address mode clamps, a
//   missing filter is linear, and without a mip filter no mip levels are
//   made.
//
// Clip space: the HLSL family and PSSL draw with Direct3D's clip-space
// depth range (0 to 1), the GL family with GL's (-1 to 1). Pixel centres
// lie half a texel from the pixel's corners on every target: Direct3D 9
// samples at the corner, but the engine moves its projection by half a
// pixel there, and the tool gives the transforms the identity, the
// projection with that move already made.
#pragma once

#include <string>

#include "shadertool/frontend/shader_info.h"
#include "shadertool/translate/tests/draw/draw_marks.h"
#include "shadertool/translate/tests/draw/gl_device.h"

namespace ShaderTool {
namespace draw {

// True for the HLSL family and PSSL: Direct3D's conventions.
bool UsesDirect3DConventions(int target);

// The four values of the vertex input `id` at each corner of the quad;
// false when the file has no such input.
bool VertexInputValues(const ShaderInfo& info, int target, const std::string& id, VertexValues* values);

// The values of constant `id` as the target's text reads it (GL types give
// the shape); false with a message when the file has no such constant or
// its `set` mark gives more values than it holds.
bool ConstantValues(const ShaderInfo& info, const Marks& marks, int target, const UniformQuery& query,
                    const std::string& id, UniformValues* values, std::string* error);

// The pattern of texture `id` with the file's modes, for the target.
bool TextureFor(const ShaderInfo& info, int target, const std::string& id, Texture* texture);

// HLSL9's reciprocal texture size for the texture at `index`.
bool ReciprocalTextureSize(const ShaderInfo& info, int index, const UniformQuery& query, UniformValues* values);

}  // namespace draw
}  // namespace ShaderTool
