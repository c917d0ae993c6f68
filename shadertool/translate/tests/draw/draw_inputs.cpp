#include "shadertool/translate/tests/draw/draw_inputs.h"

#include <GL/glcorearb.h>

#include <algorithm>
#include <cmath>

namespace ShaderTool {
namespace draw {

namespace {

constexpr int kTextureSize = 4;

const ShaderConstantVariable* FindConstant(const ShaderInfo& info, const std::string& id) {
    for (const nArray<ShaderConstantVariable>* list : {&info.vertex_constants, &info.pixel_constants})
        for (int i = 0; i < list->Count(); ++i)
            if (id == (*list)[i].id.c_str()) return &(*list)[i];
    return nullptr;
}

int FindTexture(const ShaderInfo& info, const std::string& id) {
    for (int i = 0; i < info.pixel_textures.Count(); ++i)
        if (id == info.pixel_textures[i].id.c_str()) return i;
    return -1;
}

bool IsTransform(int semantic) { return semantic != CONSTANT_NONE && semantic != CONSTANT_INVALID; }

int MatrixSize(unsigned type) {
    switch (type) {
    case GL_FLOAT_MAT2: return 2;
    case GL_FLOAT_MAT3: return 3;
    case GL_FLOAT_MAT4: return 4;
    default: return 0;
    }
}

int VectorSize(unsigned type) {
    switch (type) {
    case GL_FLOAT: case GL_INT: return 1;
    case GL_FLOAT_VEC2: case GL_INT_VEC2: return 2;
    case GL_FLOAT_VEC3: case GL_INT_VEC3: return 3;
    case GL_FLOAT_VEC4: case GL_INT_VEC4: return 4;
    default: return 0;
    }
}

bool IsIntVector(unsigned type) {
    return type == GL_INT || type == GL_INT_VEC2 || type == GL_INT_VEC3 || type == GL_INT_VEC4;
}

// The values as written (a matrix row by row) into the layout the text
// reads. A GL-family text multiplies `v * m` with m the matrix itself; glslang
// reads HLSL's mul(v, m) as m's transpose times v, so there the same values
// give the transpose. GL takes either column by column.
void LayOutMatrices(const std::vector<double>& rows, int n, int count, bool transposed, std::vector<float>* out) {
    size_t per = static_cast<size_t>(n * n);
    out->assign(per * static_cast<size_t>(count), 0.0f);
    for (size_t e = 0; e < static_cast<size_t>(count); ++e)
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c) {
                size_t given = e * per + static_cast<size_t>(r * n + c);
                size_t column_major = e * per + static_cast<size_t>(c * n + r);
                size_t at = transposed ? given : column_major;
                (*out)[at] = given < rows.size() ? static_cast<float>(rows[given]) : 0.0f;
            }
}

// The texel of the documented pattern, picture row `row` from the top.
void PatternTexel(int column, int row, float blue, float alpha, float* texel) {
    texel[0] = (column + 0.5f) / kTextureSize;
    texel[1] = (row + 0.5f) / kTextureSize;
    texel[2] = blue;
    texel[3] = alpha;
}

// One picture of kTextureSize rows, stored bottom row first where v points
// up, top row first where it points down.
void AppendPicture(bool top_row_first, float blue, float alpha, std::vector<float>* texels) {
    for (int stored = 0; stored < kTextureSize; ++stored) {
        int row = top_row_first ? stored : kTextureSize - 1 - stored;
        for (int column = 0; column < kTextureSize; ++column) {
            float texel[4];
            PatternTexel(column, row, blue, alpha, texel);
            texels->insert(texels->end(), texel, texel + 4);
        }
    }
}

unsigned AddressMode(int mode) {
    switch (mode) {
    case 2: return GL_REPEAT;
    case 3: return GL_MIRRORED_REPEAT;
    default: return GL_CLAMP_TO_EDGE;  // clamp, and the engine's default here
    }
}

bool IsPoint(int filter) { return filter == 1; }

unsigned MinFilter(int min, int mip) {
    if (mip == 0) return IsPoint(min) ? GL_NEAREST : GL_LINEAR;
    if (IsPoint(mip)) return IsPoint(min) ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_NEAREST;
    return IsPoint(min) ? GL_NEAREST_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_LINEAR;
}

}  // namespace

bool UsesDirect3DConventions(int target) { return (target & (HLSL | PSSL)) != 0; }

bool VertexInputValues(const ShaderInfo& info, int target, const std::string& id, VertexValues* values) {
    const ShaderVertexInputVariable* input = nullptr;
    for (int i = 0; i < info.vertex_input.Count(); ++i)
        if (id == info.vertex_input[i].id.c_str()) input = &info.vertex_input[i];
    if (!input) return false;
    for (int v = 0; v < 4; ++v) {
        float x = kQuadCorners[v][0], y = kQuadCorners[v][1];
        float u = (x + 1) / 2, up = (y + 1) / 2;
        float value[4] = {0, 0, 0, 0};
        switch (input->semantic) {
        case INPUT_POSITION: value[0] = x, value[1] = y, value[3] = 1; break;
        case INPUT_COLOR: value[0] = value[1] = value[2] = value[3] = 1; break;
        case INPUT_TEXTURE_COORDINATE_0:
        case INPUT_TEXTURE_COORDINATE_1:
            value[0] = u, value[1] = UsesDirect3DConventions(target) ? 1 - up : up;
            break;
        case INPUT_NORMAL: value[2] = 1; break;
        case INPUT_TANGENT: value[0] = 1; break;
        case INPUT_BITANGENT: value[1] = 1; break;
        case INPUT_4_BONE_INDICES: value[0] = 0, value[1] = 1, value[2] = 2, value[3] = 3; break;
        case INPUT_4_BONE_WEIGHTS: value[0] = 0.5f, value[1] = 0.25f, value[2] = 0.125f, value[3] = 0.125f; break;
        default: return false;
        }
        for (int c = 0; c < 4; ++c) values->values[v][c] = value[c];
    }
    return true;
}

bool ConstantValues(const ShaderInfo& info, const Marks& marks, int target, const UniformQuery& query,
                    const std::string& id, UniformValues* values, std::string* error) {
    const ShaderConstantVariable* constant = FindConstant(info, id);
    if (!constant) {
        *error = "the text reads a constant '" + id + "' the file does not declare";
        return false;
    }
    int n = MatrixSize(query.type);
    int width = n ? n * n : VectorSize(query.type);
    if (width == 0) {
        *error = "constant '" + id + "' has a type the tool does not fill";
        return false;
    }
    std::vector<double> given;
    auto set = marks.values.find(id);
    if (set != marks.values.end()) given = set->second;
    // The program may hold fewer elements than the file declares: the
    // driver drops those past the last one the code reads.
    int declared = std::max(constant->type.array_size, 1);
    if (given.size() > static_cast<size_t>(width * declared)) {
        *error = "set " + id + " gives " + std::to_string(given.size()) + " values, the constant holds " +
                 std::to_string(width * declared);
        return false;
    }
    if (IsTransform(constant->semantic) && n) {
        given.assign(static_cast<size_t>(width * query.count), 0.0);
        for (int e = 0; e < query.count; ++e)
            for (int d = 0; d < n; ++d) given[static_cast<size_t>(e * width + d * n + d)] = 1.0;
    }
    given.resize(static_cast<size_t>(width * query.count), 0.0);  // zeros after the set values, or cut
    if (n) {
        LayOutMatrices(given, n, query.count, UsesDirect3DConventions(target), &values->floats);
    } else if (IsIntVector(query.type)) {
        for (double v : given) values->ints.push_back(static_cast<int>(std::lround(v)));
    } else {
        for (double v : given) values->floats.push_back(static_cast<float>(v));
    }
    return true;
}

bool TextureFor(const ShaderInfo& info, int target, const std::string& id, Texture* texture) {
    int index = FindTexture(info, id);
    if (index < 0) return false;
    const ShaderTextureVariable& variable = info.pixel_textures[index];
    float alpha = 1.0f - index / 8.0f;
    bool top_row_first = UsesDirect3DConventions(target);
    texture->width = texture->height = kTextureSize;
    texture->texels.clear();
    switch (variable.type.texture_kind) {
    case TEXTURE_3D:
        texture->kind = Texture::TEXTURE_3D;
        texture->depth = kTextureSize;
        for (int slice = 0; slice < kTextureSize; ++slice)
            AppendPicture(top_row_first, (slice + 0.5f) / kTextureSize, alpha, &texture->texels);
        break;
    case TEXTURE_CUBE:
        // A face's rows run down from t = 0 in both families alike.
        texture->kind = Texture::TEXTURE_CUBE;
        for (int face = 0; face < 6; ++face) AppendPicture(true, (face + 1) / 8.0f, alpha, &texture->texels);
        break;
    default:
        texture->kind = Texture::TEXTURE_2D;
        AppendPicture(top_row_first, 0.5f, alpha, &texture->texels);
    }
    texture->wrap[0] = AddressMode(variable.address_u);
    texture->wrap[1] = AddressMode(variable.address_v);
    texture->wrap[2] = AddressMode(variable.address_w);
    texture->mag_filter = IsPoint(variable.filter_mag) ? GL_NEAREST : GL_LINEAR;
    texture->min_filter = MinFilter(variable.filter_min, variable.filter_mip);
    texture->mipmaps = variable.filter_mip != 0;
    return true;
}

bool ReciprocalTextureSize(const ShaderInfo& info, int index, const UniformQuery& query, UniformValues* values) {
    if (index < 0 || index >= info.pixel_textures.Count()) return false;
    int n = VectorSize(query.type);
    for (int c = 0; c < n; ++c) values->floats.push_back(1.0f / kTextureSize);
    return n > 0;
}

}  // namespace draw
}  // namespace ShaderTool
