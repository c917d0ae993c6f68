// The base behaviour of the renderer back end, its software buffers and its
// list of supported resolutions; the order of resolutions and the sizes of
// the vertex formats.

#include "engine/render/renderer_implementation.h"

#include <climits>
#include <cstdlib>
#include <cstring>

RendererImplementation::~RendererImplementation() = default;

int RendererImplementation::GetThreadSafeFeatures() { return 0; }
bool RendererImplementation::IsReadyToRender() { return true; }
int RendererImplementation::GetFeatures() { return 0; }
int RendererImplementation::GetVertexColorFormat() { return 1; }
bool RendererImplementation::IsNonPowerOfTwoTexturesSupported() { return false; }
void RendererImplementation::InitializeBuiltInShaders() {}
bool RendererImplementation::AttemptReinitialize(int, int, bool) { return false; }
void RendererImplementation::SetViewport(int, int, int, int, float, float) {}
bool RendererImplementation::CopyRenderTargetToBitmapPixels(zk_bitmap_t*) { return false; }
bool RendererImplementation::IsTextureFormatSupported(const zk_bitmap_parameters_t&) { return false; }
int RendererImplementation::GetShaderLevel() { return 0; }
int RendererImplementation::GetShaderTarget() { return 0; }
bool RendererImplementation::LoadShader(zk_shader_t*, const ShaderTool::ShaderInfo&, const ShaderTool::ShaderCode&) {
    return true;
}
void RendererImplementation::FreeShader(zk_shader_t*) {}
void RendererImplementation::SetShader(zk_shader_t*) {}
bool RendererImplementation::IsShaderSupported(zk_shader_t*) { return true; }
void RendererImplementation::DrawAtStartOfFrame() {}
void RendererImplementation::DrawAtEndOfFrame() {}
void RendererImplementation::ClearDepth(float) {}
const char* RendererImplementation::CallExtension(const char*, const char*) { return nullptr; }
void RendererImplementation::Activate() {}
void RendererImplementation::Deactivate() {}
void RendererImplementation::DrawIndexedTriangles(VertexBuffer*, int, IndexBuffer*, int) {}
void RendererImplementation::DrawIndexedLines(VertexBuffer*, IndexBuffer*, int) {}
vec2_t RendererImplementation::GetPixelRenderingOffset() { return vec2_t{0.0f, 0.0f}; }
void RendererImplementation::SetPresentInterval(int) {}
void RendererImplementation::UpdateSupportedResolutions() {}

void RendererImplementation::DrawIndexedTrianglesInstanced(VertexBuffer*, int, IndexBuffer*, int, int) {
    zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Renderer '%s' does not support instanced drawing.", GetName());
}

// --- Resolutions -------------------------------------------------------------------

bool RendererImplementation::IsResolutionSupported(int width, int height) {
    supported_resolutions.count = 0;
    UpdateSupportedResolutions();
    for (int i = 0; i < supported_resolutions.count; ++i) {
        const Resolution& r = supported_resolutions.items[i];
        if (r.width == width && r.height == height) return true;
    }
    return false;
}

const char* RendererImplementation::GetListOfSupportedResolutions() {
    supported_resolutions.count = 0;
    UpdateSupportedResolutions();
    return SortResolutionsAndCreateResolutionsString();
}

const char* RendererImplementation::SortResolutionsAndCreateResolutionsString() {
    int count = supported_resolutions.count;
    if (count > 0) qsort(supported_resolutions.items, static_cast<size_t>(count), sizeof(Resolution), ZKI_CompareResolutionsAscending);
    supported_resolutions_text = "";
    for (int i = 0; i < count; ++i) {
        const Resolution& r = supported_resolutions.items[i];
        supported_resolutions_text.AppendFormatted("%s%ix%i", i == 0 ? "" : ",", r.width, r.height);
    }
    return count > 0 ? supported_resolutions_text.c_str() : nullptr;
}

const nArray<RendererImplementation::Resolution>& RendererImplementation::GetArrayOfSupportedResolutions() {
    supported_resolutions.count = 0;
    UpdateSupportedResolutions();
    return supported_resolutions;
}

int RendererImplementation::GetMipLevelCount(int width, int height, int requested) {
    if (requested == 1) return 1;
    int count = 2;
    while (width >= 34 && height >= 34) {
        ++count;
        width /= 2;
        height /= 2;
    }
    // A negative request has no level count of its own: it gets them all.
    if (requested <= 0) return count;
    return requested < count ? requested : count;
}

// --- Render targets ----------------------------------------------------------------

void RendererImplementation::SetRenderTargetVirtualRect(zk_bitmap_t* bitmap, int x, int y, int width, int height) {
    // A bitmap without a texture size has no UV space to map into.
    if (!bitmap || bitmap->texture_width <= 0 || bitmap->texture_height <= 0) return;
    float w = static_cast<float>(bitmap->texture_width);
    float h = static_cast<float>(bitmap->texture_height);
    float* uv = bitmap->hw_data.uv;
    uv[0] = static_cast<float>(x) / w;
    uv[1] = static_cast<float>(y) / h;
    uv[2] = static_cast<float>(x + width) / w;
    uv[3] = static_cast<float>(y + height) / h;
}

// --- Software buffers ------------------------------------------------------------------

// Storage for `count` elements of `size` bytes (at least one byte, so that
// an empty buffer is a buffer too); null when the count does not fit the
// buffer's i32 count or the memory cannot be had.
static void* AllocateElements(size_t size, unsigned int count) {
    if (count > static_cast<unsigned int>(INT_MAX)) return nullptr;
    size_t bytes = size * count;
    return malloc(bytes ? bytes : 1);
}

// The parts the two kinds of software buffer share.
template <class B>
void FreeSoftwareBuffer(B* buffer) {
    if (!buffer) return;
    free(buffer->data);
    delete buffer;
}
template <class B>
auto LockSoftwareBuffer(B* buffer) -> decltype(buffer->data) {
    if (!buffer) return nullptr;
    buffer->locked = 1;
    return buffer->data;
}
template <class B>
void UnlockSoftwareBuffer(B* buffer) {
    if (buffer) buffer->locked = 0;
}

VertexBuffer* RendererImplementation::CreateVertexBuffer(zk_vertex_format_t format, unsigned int count,
                                                         zk_buffer_usage_t) {
    void* data = AllocateElements(static_cast<size_t>(ZKI_GetVertexFormatStride(format)), count);
    if (!data) return nullptr;
    VertexBuffer* buffer = new VertexBuffer();
    buffer->format = format;
    buffer->count = static_cast<int32_t>(count);
    buffer->created = 1;
    buffer->data = data;
    return buffer;
}

void RendererImplementation::FreeVertexBuffer(VertexBuffer* buffer) { FreeSoftwareBuffer(buffer); }
void* RendererImplementation::LockVertexBuffer(VertexBuffer* buffer) { return LockSoftwareBuffer(buffer); }
void RendererImplementation::UnlockVertexBuffer(VertexBuffer* buffer) { UnlockSoftwareBuffer(buffer); }

void RendererImplementation::UpdateVertexBufferWithData(VertexBuffer* buffer, const void* data) {
    if (!buffer || !data) return;
    void* target = LockVertexBuffer(buffer);
    if (target) memcpy(target, data, static_cast<size_t>(ZKI_GetVertexFormatStride(buffer->format)) *
                                         static_cast<size_t>(buffer->count));
    UnlockVertexBuffer(buffer);
}

IndexBuffer* RendererImplementation::CreateIndexBuffer(unsigned int count, zk_buffer_usage_t) {
    uint16_t* data = static_cast<uint16_t*>(AllocateElements(sizeof(uint16_t), count));
    if (!data) return nullptr;
    IndexBuffer* buffer = new IndexBuffer();
    buffer->count = static_cast<int32_t>(count);
    buffer->data = data;
    return buffer;
}

void RendererImplementation::FreeIndexBuffer(IndexBuffer* buffer) { FreeSoftwareBuffer(buffer); }
uint16_t* RendererImplementation::LockIndexBuffer(IndexBuffer* buffer) { return LockSoftwareBuffer(buffer); }
void RendererImplementation::UnlockIndexBuffer(IndexBuffer* buffer) { UnlockSoftwareBuffer(buffer); }

void RendererImplementation::UpdateIndexBufferWithData(IndexBuffer* buffer, const uint16_t* data) {
    if (!buffer || !data) return;
    uint16_t* target = LockIndexBuffer(buffer);
    if (target) memcpy(target, data, sizeof(uint16_t) * static_cast<size_t>(buffer->count));
    UnlockIndexBuffer(buffer);
}

// --- Resolution order -----------------------------------------------------------------------------------

int CompareResolutions(const zk_resolution_t& a, const zk_resolution_t& b, bool ascending) {
    int order = 0;
    if (a.width != b.width)
        order = a.width < b.width ? -1 : 1;
    else if (a.height != b.height)
        order = a.height < b.height ? -1 : 1;
    return ascending ? order : -order;
}

int ZKI_CompareResolutionsAscending(const void* a, const void* b) {
    return CompareResolutions(*static_cast<const zk_resolution_t*>(a), *static_cast<const zk_resolution_t*>(b), true);
}

int ZKI_CompareResolutionsDescending(const void* a, const void* b) {
    return CompareResolutions(*static_cast<const zk_resolution_t*>(a), *static_cast<const zk_resolution_t*>(b),
                              false);
}

// --- Vertex formats ------------------------------------------------------------------

namespace {

// Strides of the vertex formats (bit sets of vertex attributes). They come
// from this table rather than from the bits: format 3 (position and
// colour) is 24 bytes, not 16.
const struct {
    zk_vertex_format_t format;
    int stride;
} kVertexStrides[] = {
    {1, 12}, {7, 24}, {15, 36}, {47, 48}, {111, 60}, {385, 32}, {399, 56}, {495, 80},
};
const int kDefaultVertexStride = 24;

}  // namespace

int ZKI_GetVertexFormatStride(zk_vertex_format_t format) {
    for (const auto& entry : kVertexStrides) {
        if (entry.format == format) return entry.stride;
    }
    return kDefaultVertexStride;
}
