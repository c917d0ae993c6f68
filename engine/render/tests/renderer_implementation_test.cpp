// The renderer back end: the order of its slots, the null back end's
// answers, and the base behaviour (resolution list, render-target UVs,
// software buffers, the instanced-drawing report).

#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "engine/render/renderer_null.h"
#include "engine/render/tests/media_fixture.h"
#include "engine/drawing/vertex_buffers.h"

namespace {

typedef RendererImplementation R;

// The slot of a virtual member function: under the Itanium C++ ABI (x86-64)
// a pointer to one holds 1 + its byte offset in the table.
template <class M>
int SlotOf(M member) {
    struct {
        uintptr_t pointer;
        ptrdiff_t adjustment;
    } representation;
    static_assert(sizeof(member) == sizeof(representation), "Itanium member pointer");
    memcpy(&representation, &member, sizeof(representation));
    if (!(representation.pointer & 1)) return -1;
    return static_cast<int>((representation.pointer - 1) / sizeof(void*));
}

TEST(RendererSlots, EveryOperationKeepsItsSlot) {
#if !defined(__x86_64__)
    GTEST_SKIP() << "slot numbers are read through the x86-64 member-pointer layout";
#else
    // Slots 0 and 1 are the two destructors.
    const int slots[] = {
        SlotOf(&R::IsSupported), SlotOf(&R::GetThreadSafeFeatures), SlotOf(&R::GetMaximumTextureSize),
        SlotOf(&R::IsReadyToRender), SlotOf(&R::GetFeatures), SlotOf(&R::GetName), SlotOf(&R::IsResolutionSupported),
        SlotOf(&R::GetListOfSupportedResolutions), SlotOf(&R::GetTextureFormat), SlotOf(&R::GetVertexColorFormat),
        SlotOf(&R::IsNonPowerOfTwoTexturesSupported), SlotOf(&R::Initialize), SlotOf(&R::InitializeBuiltInShaders),
        SlotOf(&R::AttemptReinitialize), SlotOf(&R::Shutdown), SlotOf(&R::SetViewport), SlotOf(&R::ActivateWindow),
        SlotOf(&R::SetRenderTargets), SlotOf(&R::CopyRenderTargetToBitmapPixels),
        SlotOf(&R::IsTextureFormatSupported), SlotOf(&R::CreateRenderTarget), SlotOf(&R::LoadBitmap),
        SlotOf(&R::FreeBitmap), SlotOf(&R::GetShaderLevel), SlotOf(&R::GetShaderTarget),
        SlotOf(&R::UsesBinaryShaders), SlotOf(&R::LoadShader), SlotOf(&R::FreeShader), SlotOf(&R::SetShader),
        SlotOf(&R::IsShaderSupported), SlotOf(&R::FrameStart), SlotOf(&R::DrawAtStartOfFrame),
        SlotOf(&R::DrawAtEndOfFrame), SlotOf(&R::FrameReady), SlotOf(&R::ClearScreen), SlotOf(&R::ClearDepth),
        SlotOf(&R::SetScissorRect), SlotOf(&R::DisableScissorRect), SlotOf(&R::SetBlend),
        SlotOf(&R::SetTextureFilter), SlotOf(&R::SetTextureAddressMode), SlotOf(&R::CallExtension),
        SlotOf(&R::Activate), SlotOf(&R::Deactivate), SlotOf(&R::SetDepthTest), SlotOf(&R::SetDepthTestFunction),
        SlotOf(&R::SetDepthWrite), SlotOf(&R::SetColorWrite), SlotOf(&R::SetCullMode), SlotOf(&R::SetTexture),
        SlotOf(&R::DrawIndexedTriangles), SlotOf(&R::DrawIndexedLines), SlotOf(&R::DrawIndexedTrianglesInstanced),
        SlotOf(&R::CreateVertexBuffer), SlotOf(&R::FreeVertexBuffer), SlotOf(&R::LockVertexBuffer),
        SlotOf(&R::UnlockVertexBuffer), SlotOf(&R::UpdateVertexBufferWithData), SlotOf(&R::CreateIndexBuffer),
        SlotOf(&R::FreeIndexBuffer), SlotOf(&R::LockIndexBuffer), SlotOf(&R::UnlockIndexBuffer),
        SlotOf(&R::UpdateIndexBufferWithData), SlotOf(&R::GetPixelRenderingOffset),
        SlotOf(&R::SetRenderTargetVirtualRect), SlotOf(&R::SetPresentInterval), SlotOf(&R::UpdateSupportedResolutions),
        SlotOf(&RendererImplementationNull::DrawTriangles),
    };
    for (size_t i = 0; i < sizeof(slots) / sizeof(slots[0]); ++i) EXPECT_EQ(slots[i], static_cast<int>(i) + 2) << i;
    // The slots other parts of the engine name.
    EXPECT_EQ(SlotOf(&R::GetThreadSafeFeatures), 3);
    EXPECT_EQ(SlotOf(&R::GetVertexColorFormat), 11);
    EXPECT_EQ(SlotOf(&R::SetTexture), 51);
#endif
}

// --- The null back end -----------------------------------------------------------------------

class NullRendererTest : public MediaTest {
protected:
    RendererImplementation* null_ = GetRendImpNull();
};

TEST_F(NullRendererTest, AnswersOfTheNullBackEnd) {
    zk_bitmap_t bitmap = {};
    zk_graphics_api_t::RenderTargets targets = {};
    struct Case {
        const char* operation;
        std::function<std::string(RendererImplementation*)> ask;
        std::string expected;
    } cases[] = {
        {"GetName", [](R* r) { return std::string(r->GetName()); }, "Null"},
        {"IsSupported", [](R* r) { return std::to_string(r->IsSupported()); }, "1"},
        {"GetMaximumTextureSize", [](R* r) { return std::to_string(r->GetMaximumTextureSize()); }, "2048"},
        {"GetShaderTarget", [](R* r) { return std::to_string(r->GetShaderTarget()); }, "32"},
        {"GetShaderLevel", [](R* r) { return std::to_string(r->GetShaderLevel()); }, "0"},
        {"GetThreadSafeFeatures", [](R* r) { return std::to_string(r->GetThreadSafeFeatures()); }, "0"},
        {"GetTextureFormat", [](R* r) { return std::to_string(r->GetTextureFormat()); }, "0"},
        {"GetVertexColorFormat", [](R* r) { return std::to_string(r->GetVertexColorFormat()); }, "1"},
        {"IsReadyToRender", [](R* r) { return std::to_string(r->IsReadyToRender()); }, "1"},
        {"UsesBinaryShaders", [](R* r) { return std::to_string(r->UsesBinaryShaders()); }, "0"},
        {"IsResolutionSupported", [](R* r) { return std::to_string(r->IsResolutionSupported(123, 45)); }, "1"},
        {"GetListOfSupportedResolutions",
         [](R* r) { return std::string(r->GetListOfSupportedResolutions() ? "a list" : "null"); }, "null"},
        {"Initialize", [](R* r) { return std::to_string(r->Initialize(zk, &zk_state, &zk_parms)); }, "1"},
        {"AttemptReinitialize", [](R* r) { return std::to_string(r->AttemptReinitialize(800, 600, true)); }, "0"},
        {"CopyRenderTargetToBitmapPixels",
         [&](R* r) { return std::to_string(r->CopyRenderTargetToBitmapPixels(&bitmap)); }, "1"},
        {"IsTextureFormatSupported",
         [](R* r) { return std::to_string(r->IsTextureFormatSupported(zk_bitmap_parameters_t())); }, "0"},
        {"SetRenderTargets", [&](R* r) { return std::to_string(r->SetRenderTargets(&targets)); }, "1"},
        {"SetScissorRect", [](R* r) { return std::to_string(r->SetScissorRect(0, 0, 10, 10)); }, "1"},
        {"CallExtension", [](R* r) { return std::string(r->CallExtension("Any", "x") ? "answer" : "null"); }, "null"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.ask(null_), c.expected) << c.operation;
    EXPECT_EQ(GetRendImpNull(), null_);
    EXPECT_EQ(ZKID_LoadRendImp(), null_);
}

TEST_F(NullRendererTest, InstancedDrawingIsReportedAndDrawsNothing) {
    null_->DrawIndexedTrianglesInstanced(nullptr, 3, nullptr, 3, 10);
    EXPECT_EQ(Lines(), std::vector<std::string>{"2:[POPUP] Renderer 'Null' does not support instanced drawing."});
}

// --- Base behaviour ------------------------------------------------------------------------

typedef MediaTest RendererBaseTest;

TEST_F(RendererBaseTest, ResolutionListIsRefreshedSortedAndWritten) {
    renderer_.resolutions = {{1920, 1080}, {800, 600}, {1280, 720}, {1280, 600}};
    const char* text = renderer_.GetListOfSupportedResolutions();
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "800x600,1280x600,1280x720,1920x1080");
    // A second call starts from an empty list rather than adding to it.
    EXPECT_STREQ(renderer_.GetListOfSupportedResolutions(), "800x600,1280x600,1280x720,1920x1080");
    EXPECT_EQ(renderer_.Count("UpdateSupportedResolutions"), 2);

    struct Case {
        int width, height;
        bool supported;
    } cases[] = {{1280, 720, true}, {720, 1280, false}, {800, 601, false}, {1920, 1080, true}};
    for (const Case& c : cases)
        EXPECT_EQ(renderer_.IsResolutionSupported(c.width, c.height), c.supported) << c.width << "x" << c.height;

    renderer_.resolutions.clear();
    EXPECT_EQ(renderer_.GetListOfSupportedResolutions(), nullptr);
    EXPECT_FALSE(renderer_.IsResolutionSupported(1280, 720));
}

TEST_F(RendererBaseTest, RenderTargetRectangleBecomesItsUVs) {
    struct Case {
        int texture_width, texture_height;
        int x, y, width, height;
        float uv[4];
    } cases[] = {
        {256, 128, 64, 32, 128, 64, {0.25f, 0.25f, 0.75f, 0.75f}},
        {256, 128, 0, 0, 256, 128, {0.0f, 0.0f, 1.0f, 1.0f}},
        {100, 50, 10, 5, 20, 40, {0.1f, 0.1f, 0.3f, 0.9f}},
        // Without a texture size there is nothing to map into: unchanged.
        {0, 128, 64, 32, 128, 64, {-1.0f, -1.0f, -1.0f, -1.0f}},
    };
    for (const Case& c : cases) {
        zk_bitmap_t bitmap = {};
        bitmap.texture_width = c.texture_width;
        bitmap.texture_height = c.texture_height;
        for (float& uv : bitmap.hw_data.uv) uv = -1.0f;
        renderer_.SetRenderTargetVirtualRect(&bitmap, c.x, c.y, c.width, c.height);
        for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(bitmap.hw_data.uv[i], c.uv[i]) << c.texture_width << " uv " << i;
    }
}

TEST_F(RendererBaseTest, SoftwareBuffersTakeWholeBuffersThroughLockAndUnlock) {
    const float vertices[2 * 3] = {1, 2, 3, 4, 5, 6};
    VertexBuffer* vb = renderer_.CreateVertexBuffer(1, 2, 0);  // two 12-byte positions
    ASSERT_NE(vb, nullptr);
    EXPECT_EQ(vb->count, 2);
    EXPECT_EQ(vb->created, 1);
    renderer_.ClearCalls();
    renderer_.UpdateVertexBufferWithData(vb, vertices);
    EXPECT_EQ(renderer_.Calls(),
              (std::vector<std::string>{"UpdateVertexBufferWithData " + RecordingRenderer::Pointer(vb) + " " +
                                            RecordingRenderer::Pointer(vertices),
                                        "LockVertexBuffer " + RecordingRenderer::Pointer(vb),
                                        "UnlockVertexBuffer " + RecordingRenderer::Pointer(vb)}));
    EXPECT_EQ(memcmp(vb->data, vertices, sizeof(vertices)), 0);
    EXPECT_EQ(vb->locked, 0);
    renderer_.FreeVertexBuffer(vb);

    const uint16_t indices[3] = {7, 8, 9};
    IndexBuffer* ib = renderer_.CreateIndexBuffer(3, 1);
    ASSERT_NE(ib, nullptr);
    renderer_.UpdateIndexBufferWithData(ib, indices);
    EXPECT_EQ(memcmp(ib->data, indices, sizeof(indices)), 0);
    EXPECT_EQ(renderer_.Count("LockIndexBuffer"), 1);
    renderer_.FreeIndexBuffer(ib);

    // A count its i32 record cannot hold gives no buffer.
    EXPECT_EQ(renderer_.CreateVertexBuffer(7, static_cast<unsigned>(INT_MAX) + 1u, 0), nullptr);
    EXPECT_EQ(renderer_.CreateIndexBuffer(UINT_MAX, 0), nullptr);
}

}  // namespace
