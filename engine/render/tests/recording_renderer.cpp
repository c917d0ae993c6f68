// The recording renderer.

#include "engine/render/tests/recording_renderer.h"

#include <cstdio>

#include "shadertool/frontend/shader_info.h"

namespace {

std::string Text(int value) { return std::to_string(value); }
std::string Text(unsigned int value) { return std::to_string(value); }
std::string Text(bool value) { return value ? "1" : "0"; }
std::string Text(float value) {
    char text[32];
    snprintf(text, sizeof(text), "%g", static_cast<double>(value));
    return text;
}
std::string Text(const char* value) { return value ? value : "null"; }
std::string Text(const zk_bitmap_t* bitmap) { return bitmap ? Text(bitmap->name) : "null"; }
std::string Text(const zk_shader_t* shader) { return shader ? Text(shader->name) : "null"; }
std::string Text(const void* pointer) { return RecordingRenderer::Pointer(pointer); }

// "Name a b c".
template <class... A>
std::string Call(const char* name, const A&... arguments) {
    std::string call = name;
    ((call += " " + Text(arguments)), ...);
    return call;
}

}  // namespace

RecordingRenderer::~RecordingRenderer() { Uninstall(); }

void RecordingRenderer::Install() {
    ri = this;
    zk_state.rend_imp = this;
}

void RecordingRenderer::Uninstall() {
    if (ri == this) ri = nullptr;
    if (zk_state.rend_imp == this) zk_state.rend_imp = nullptr;
}

std::string RecordingRenderer::Pointer(const void* p) {
    if (!p) return "null";
    char text[32];
    snprintf(text, sizeof(text), "%p", p);
    return text;
}

void RecordingRenderer::Record(const std::string& call) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back(call);
    }
    if (on_call) on_call(call);
}

std::vector<std::string> RecordingRenderer::Calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

std::vector<std::string> RecordingRenderer::CallsOf(const std::string& operation) const {
    std::vector<std::string> found;
    for (const std::string& call : Calls()) {
        if (call.compare(0, call.find(' '), operation) == 0) found.push_back(call);
    }
    return found;
}

int RecordingRenderer::Count(const std::string& operation) const {
    return static_cast<int>(CallsOf(operation).size());
}

void RecordingRenderer::ClearCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

// --- Answers ---------------------------------------------------------------------------

bool RecordingRenderer::IsSupported() {
    Record(Call("IsSupported"));
    return supported;
}
int RecordingRenderer::GetThreadSafeFeatures() {
    Record(Call("GetThreadSafeFeatures"));
    return thread_safe_features;
}
int RecordingRenderer::GetMaximumTextureSize() {
    Record(Call("GetMaximumTextureSize"));
    return maximum_texture_size;
}
bool RecordingRenderer::IsReadyToRender() {
    Record(Call("IsReadyToRender"));
    return ready_to_render;
}
int RecordingRenderer::GetFeatures() {
    Record(Call("GetFeatures"));
    return features;
}
const char* RecordingRenderer::GetName() {
    Record(Call("GetName"));
    return name.c_str();
}
bool RecordingRenderer::IsResolutionSupported(int width, int height) {
    Record(Call("IsResolutionSupported", width, height));
    return RendererImplementation::IsResolutionSupported(width, height);
}
const char* RecordingRenderer::GetListOfSupportedResolutions() {
    Record(Call("GetListOfSupportedResolutions"));
    return RendererImplementation::GetListOfSupportedResolutions();
}
int RecordingRenderer::GetTextureFormat() {
    Record(Call("GetTextureFormat"));
    return texture_format;
}
int RecordingRenderer::GetVertexColorFormat() {
    Record(Call("GetVertexColorFormat"));
    return vertex_color_format;
}
bool RecordingRenderer::IsNonPowerOfTwoTexturesSupported() {
    Record(Call("IsNonPowerOfTwoTexturesSupported"));
    return non_power_of_two_textures;
}

bool RecordingRenderer::Initialize(zekar_t*, zk_state_t*, zk_parms_t* parms) {
    Record(std::string("Initialize ") + std::to_string(parms->width) + "x" + std::to_string(parms->height) +
           (parms->windowed ? " windowed" : " fullscreen"));
    std::lock_guard<std::mutex> lock(mutex_);
    if (initialize_results.empty()) return initialize_result;
    bool result = initialize_results.front();
    initialize_results.pop_front();
    return result;
}

void RecordingRenderer::InitializeBuiltInShaders() { Record(Call("InitializeBuiltInShaders")); }
bool RecordingRenderer::AttemptReinitialize(int width, int height, bool windowed) {
    Record(Call("AttemptReinitialize", width, height, windowed));
    return attempt_reinitialize_result;
}
void RecordingRenderer::Shutdown() { Record(Call("Shutdown")); }
void RecordingRenderer::SetViewport(int x, int y, int width, int height, float min_depth, float max_depth) {
    Record(Call("SetViewport", x, y, width, height, min_depth, max_depth));
}
void RecordingRenderer::ActivateWindow(bool active) { Record(Call("ActivateWindow", active)); }
bool RecordingRenderer::SetRenderTargets(zk_graphics_api_t::RenderTargets* targets) {
    Record(targets ? Call("SetRenderTargets", targets->color[0], targets->color[1], targets->color[2],
                          targets->color[3], targets->depth)
                   : Call("SetRenderTargets", "null"));
    return bitmap_operations_succeed;
}
bool RecordingRenderer::CopyRenderTargetToBitmapPixels(zk_bitmap_t* bitmap) {
    Record(Call("CopyRenderTargetToBitmapPixels", bitmap));
    return bitmap_operations_succeed;
}
bool RecordingRenderer::IsTextureFormatSupported(const zk_bitmap_parameters_t& p) {
    Record(Call("IsTextureFormatSupported", p.format, p.type, static_cast<int>(p.renderer_hint), p.width, p.height,
                p.depth, static_cast<int>(p.render_target)));
    return texture_format_supported;
}
void RecordingRenderer::MakeTexture(zk_bitmap_t* bitmap) {
    if (!make_textures || !bitmap_operations_succeed || !bitmap) return;
    std::lock_guard<std::mutex> lock(mutex_);
    // Distinct, aligned and never a real address the tests could meet.
    const void* texture = reinterpret_cast<const void*>(uintptr_t(0x7e570000) + 16 * ++next_texture_);
    live_textures_.insert(texture);
    bitmap->hw_data.renderer_data = const_cast<void*>(texture);
}
int RecordingRenderer::LiveTextures() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(live_textures_.size());
}
bool RecordingRenderer::CreateRenderTarget(zk_bitmap_t* bitmap) {
    Record(Call("CreateRenderTarget", bitmap));
    MakeTexture(bitmap);
    return bitmap_operations_succeed;
}
bool RecordingRenderer::LoadBitmap(zk_bitmap_t* bitmap) {
    Record(Call("LoadBitmap", bitmap));
    MakeTexture(bitmap);
    return bitmap_operations_succeed;
}
void RecordingRenderer::FreeBitmap(zk_bitmap_t::hw_data_t* hw) {
    const void* texture = hw ? hw->renderer_data : nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        live_textures_.erase(texture);
    }
    Record(Call("FreeBitmap", texture));
}
int RecordingRenderer::GetShaderLevel() {
    Record(Call("GetShaderLevel"));
    return shader_level;
}
int RecordingRenderer::GetShaderTarget() {
    Record(Call("GetShaderTarget"));
    return shader_target;
}
bool RecordingRenderer::UsesBinaryShaders() {
    Record(Call("UsesBinaryShaders"));
    return uses_binary_shaders;
}
bool RecordingRenderer::LoadShader(zk_shader_t* shader, const ShaderTool::ShaderInfo&,
                                   const ShaderTool::ShaderCode& code) {
    Record(Call("LoadShader", shader));
    if (!bitmap_operations_succeed || !shader) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    auto bytes = [](const nByteBuffer& buffer) {
        return buffer.size > 0 ? std::string(reinterpret_cast<const char*>(buffer.data), size_t(buffer.size)) : "";
    };
    loaded_shaders_.push_back({Text(shader->name), bytes(code.vertex), bytes(code.pixel), false});
    shader->renderer_shader = &loaded_shaders_.back();
    return true;
}
void RecordingRenderer::FreeShader(zk_shader_t* shader) {
    Record(Call("FreeShader", shader));
    std::lock_guard<std::mutex> lock(mutex_);
    for (LoadedShader& loaded : loaded_shaders_) {
        if (shader && shader->renderer_shader == &loaded) loaded.freed = true;
    }
}

const RecordingRenderer::LoadedShader* RecordingRenderer::LoadedShaderOf(const zk_shader_t* shader) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const LoadedShader& loaded : loaded_shaders_) {
        if (shader && shader->renderer_shader == &loaded) return &loaded;
    }
    return nullptr;
}

std::vector<RecordingRenderer::LoadedShader> RecordingRenderer::LoadedShaders() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::vector<LoadedShader>(loaded_shaders_.begin(), loaded_shaders_.end());
}
void RecordingRenderer::SetShader(zk_shader_t* shader) { Record(Call("SetShader", shader)); }
bool RecordingRenderer::IsShaderSupported(zk_shader_t* shader) {
    Record(Call("IsShaderSupported", shader));
    return bitmap_operations_succeed;
}
void RecordingRenderer::FrameStart(zk_eye_mode_t eye) { Record(Call("FrameStart", eye)); }
void RecordingRenderer::DrawAtStartOfFrame() { Record(Call("DrawAtStartOfFrame")); }
void RecordingRenderer::DrawAtEndOfFrame() { Record(Call("DrawAtEndOfFrame")); }
void RecordingRenderer::FrameReady() { Record(Call("FrameReady")); }
void RecordingRenderer::ClearScreen(float r, float g, float b, float a) { Record(Call("ClearScreen", r, g, b, a)); }
void RecordingRenderer::ClearDepth(float depth) { Record(Call("ClearDepth", depth)); }
bool RecordingRenderer::SetScissorRect(int x, int y, int width, int height) {
    Record(Call("SetScissorRect", x, y, width, height));
    return bitmap_operations_succeed;
}
void RecordingRenderer::DisableScissorRect() { Record(Call("DisableScissorRect")); }
void RecordingRenderer::SetBlend(zk_blend_mode_t mode) { Record(Call("SetBlend", mode)); }
void RecordingRenderer::SetTextureFilter(int stage, zk_filter_t mag, zk_filter_t min, zk_filter_t mip) {
    Record(Call("SetTextureFilter", stage, mag, min, mip));
}
void RecordingRenderer::SetTextureAddressMode(int stage, zk_address_mode_t u, zk_address_mode_t v,
                                              zk_address_mode_t w) {
    Record(Call("SetTextureAddressMode", stage, u, v, w));
}
const char* RecordingRenderer::CallExtension(const char* name, const char* arguments) {
    Record(Call("CallExtension", name, arguments));
    return nullptr;
}
void RecordingRenderer::Activate() { Record(Call("Activate")); }
void RecordingRenderer::Deactivate() { Record(Call("Deactivate")); }
void RecordingRenderer::SetDepthTest(bool enabled) { Record(Call("SetDepthTest", enabled)); }
void RecordingRenderer::SetDepthTestFunction(zk_test_function_t function) {
    Record(Call("SetDepthTestFunction", function));
}
void RecordingRenderer::SetDepthWrite(bool enabled) { Record(Call("SetDepthWrite", enabled)); }
void RecordingRenderer::SetColorWrite(bool enabled) { Record(Call("SetColorWrite", enabled)); }
void RecordingRenderer::SetCullMode(int mode) { Record(Call("SetCullMode", mode)); }
void RecordingRenderer::SetTexture(int stage, void* texture) {
    Record(Call("SetTexture", stage, static_cast<const void*>(texture)));
}
void RecordingRenderer::DrawIndexedTriangles(VertexBuffer* vertices, int vertex_count, IndexBuffer* indices,
                                             int index_count) {
    Record(Call("DrawIndexedTriangles", static_cast<const void*>(vertices), vertex_count,
                static_cast<const void*>(indices), index_count));
}
void RecordingRenderer::DrawIndexedLines(VertexBuffer* vertices, IndexBuffer* indices, int index_count) {
    Record(Call("DrawIndexedLines", static_cast<const void*>(vertices), static_cast<const void*>(indices),
                index_count));
}
void RecordingRenderer::DrawIndexedTrianglesInstanced(VertexBuffer* vertices, int vertex_count, IndexBuffer* indices,
                                                      int index_count, int instance_count) {
    Record(Call("DrawIndexedTrianglesInstanced", static_cast<const void*>(vertices), vertex_count,
                static_cast<const void*>(indices), index_count, instance_count));
    RendererImplementation::DrawIndexedTrianglesInstanced(vertices, vertex_count, indices, index_count,
                                                          instance_count);
}

// --- Buffers (software buffers of the base) ---------------------------------------------------

VertexBuffer* RecordingRenderer::CreateVertexBuffer(zk_vertex_format_t format, unsigned int count,
                                                    zk_buffer_usage_t usage) {
    Record(Call("CreateVertexBuffer", format, count, usage));
    return create_buffers ? RendererImplementation::CreateVertexBuffer(format, count, usage) : nullptr;
}
void RecordingRenderer::FreeVertexBuffer(VertexBuffer* buffer) {
    Record(Call("FreeVertexBuffer", static_cast<const void*>(buffer)));
    RendererImplementation::FreeVertexBuffer(buffer);
}
void* RecordingRenderer::LockVertexBuffer(VertexBuffer* buffer) {
    Record(Call("LockVertexBuffer", static_cast<const void*>(buffer)));
    return RendererImplementation::LockVertexBuffer(buffer);
}
void RecordingRenderer::UnlockVertexBuffer(VertexBuffer* buffer) {
    Record(Call("UnlockVertexBuffer", static_cast<const void*>(buffer)));
    RendererImplementation::UnlockVertexBuffer(buffer);
}
void RecordingRenderer::UpdateVertexBufferWithData(VertexBuffer* buffer, const void* data) {
    Record(Call("UpdateVertexBufferWithData", static_cast<const void*>(buffer), data));
    RendererImplementation::UpdateVertexBufferWithData(buffer, data);
}
IndexBuffer* RecordingRenderer::CreateIndexBuffer(unsigned int count, zk_buffer_usage_t usage) {
    Record(Call("CreateIndexBuffer", count, usage));
    return create_buffers ? RendererImplementation::CreateIndexBuffer(count, usage) : nullptr;
}
void RecordingRenderer::FreeIndexBuffer(IndexBuffer* buffer) {
    Record(Call("FreeIndexBuffer", static_cast<const void*>(buffer)));
    RendererImplementation::FreeIndexBuffer(buffer);
}
uint16_t* RecordingRenderer::LockIndexBuffer(IndexBuffer* buffer) {
    Record(Call("LockIndexBuffer", static_cast<const void*>(buffer)));
    return RendererImplementation::LockIndexBuffer(buffer);
}
void RecordingRenderer::UnlockIndexBuffer(IndexBuffer* buffer) {
    Record(Call("UnlockIndexBuffer", static_cast<const void*>(buffer)));
    RendererImplementation::UnlockIndexBuffer(buffer);
}
void RecordingRenderer::UpdateIndexBufferWithData(IndexBuffer* buffer, const uint16_t* data) {
    Record(Call("UpdateIndexBufferWithData", static_cast<const void*>(buffer), static_cast<const void*>(data)));
    RendererImplementation::UpdateIndexBufferWithData(buffer, data);
}

// --- The rest --------------------------------------------------------------------------------

vec2_t RecordingRenderer::GetPixelRenderingOffset() {
    Record(Call("GetPixelRenderingOffset"));
    return RendererImplementation::GetPixelRenderingOffset();
}
void RecordingRenderer::SetRenderTargetVirtualRect(zk_bitmap_t* bitmap, int x, int y, int width, int height) {
    Record(Call("SetRenderTargetVirtualRect", bitmap, x, y, width, height));
    RendererImplementation::SetRenderTargetVirtualRect(bitmap, x, y, width, height);
}
void RecordingRenderer::SetPresentInterval(int interval) { Record(Call("SetPresentInterval", interval)); }
void RecordingRenderer::UpdateSupportedResolutions() {
    Record(Call("UpdateSupportedResolutions"));
    for (const Resolution& r : resolutions) supported_resolutions.InsertLast(r);
}
