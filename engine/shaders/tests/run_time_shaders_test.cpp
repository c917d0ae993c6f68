// Shaders of the graphics API on the recording renderer: run-time
// translation and precompiled outputs, the slots of the pool, the renderer
// objects and source times of reloads, and the queue for the renderer
// thread.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <thread>

#include "engine/bitmaps/bitmap_api.h"
#include "engine/screen/renderer_interface.h"
#include "engine/render/resource_queues.h"
#include "engine/shaders/tests/shader_fixture.h"
#include "engine/runtime/threads.h"
#include "shadertool/frontend/shader_info.h"

namespace {

using namespace shader_test;

class RunTimeShaderTest : public ShaderTest {
protected:
    zk_shader_t* Get(const char* name) { return zk->graphics->ZK_Graphics_GetShader(name); }

    std::vector<std::string> Popups() {
        std::vector<std::string> popups;
        for (const std::string& line : Lines())
            if (line.rfind("2:[POPUP] ", 0) == 0) popups.push_back(line.substr(10));
        return popups;
    }

    // A renderer restart starts the batch renderer, which puts its white
    // texture in the pool; stop it again and free what it made, or a second
    // run in this process would reset the state over that texture.
    static void FreeWhatTheRestartMade() {
        ZKI_ShutdownRendImp();
        for (int i = 0; i < zk_state.num_bitmaps && i < ZK_MAX_BITMAPS; ++i)
            if (zk_state.bitmaps[i].name) ZKI_FreeBitmap(&zk_state.bitmaps[i]);
    }
};

TEST_F(RunTimeShaderTest, AGLSL21RendererGetsTheShaderXmlTranslatedAtRunTime) {
    UseRenderer(ShaderTool::GLSL21);
    Write(kGlowPath, ShaderXml());
    zk_shader_t* shader = Get(kGlowPath);
    ASSERT_NE(shader, nullptr);
    EXPECT_EQ(renderer_.Count("LoadShader"), 1);
    const RecordingRenderer::LoadedShader* loaded = renderer_.LoadedShaderOf(shader);
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(Contains(loaded->vertex, "gl_Position = _in_position * _const_world_view_projection;\n"))
        << loaded->vertex;
    EXPECT_TRUE(Contains(loaded->pixel, "gl_FragColor = texture2D(_tex_diffuse, _vary_uv)")) << loaded->pixel;
    // Texts reach the renderer with their NUL.
    EXPECT_EQ(loaded->vertex.back(), '\0');
    EXPECT_EQ(loaded->pixel.back(), '\0');
    EXPECT_EQ(shader->flags, ZK_SHADER_LOADED | ZK_SHADER_CONSTANTS_UNCHANGED);
    EXPECT_TRUE(zk->graphics->ZK_Graphics_IsShaderSupported(shader));
    EXPECT_TRUE(Popups().empty());
}

// The bitmap a texture names, as the graphics table's bitmap slot answers.
zk_bitmap_t glow_bitmap;
zk_bitmap_t* GetGlowBitmap(const char* name) { return strcmp(name, "gfx/glow.png") == 0 ? &glow_bitmap : nullptr; }

TEST_F(RunTimeShaderTest, TheRecordTakesLayoutConstantsTexturesAndTagsFromTheShaderXml) {
    UseRenderer(ShaderTool::GLSL21);
    std::string xml = ShaderXml("", "<node id=\"tint\" type=\"FLOAT4\"/><node id=\"weights\" type=\"FLOAT4\" count=\"3\"/>"
                                    "<node id=\"steps\" type=\"INT4\"/>");
    xml.replace(xml.find("type=\"2D\""), 9, "type=\"2D\" source=\"gfx/glow.png\"");
    Write(kGlowPath, xml);
    zk->graphics->ZK_Graphics_GetBitmap = GetGlowBitmap;
    zk_shader_t* shader = Get(kGlowPath);
    ASSERT_NE(shader, nullptr);
    EXPECT_EQ(shader->kind, 4u);
    EXPECT_STREQ(shader->tags, "DISTANCE_FIELD, OUTLINE");

    struct Element {
        uint32_t offset, component_class, semantic, components;
    } elements[] = {{0, 1, 1, 3}, {12, 2, 2, 4}, {16, 1, 4, 2}};
    ASSERT_EQ(shader->num_vertex_elements, 3);
    for (int i = 0; i < 3; ++i) {
        const zk_shader_t::vertex_element_t& e = shader->vertex_elements[i];
        EXPECT_EQ(e.offset, elements[i].offset) << i;
        EXPECT_EQ(e.component_class, elements[i].component_class) << i;
        EXPECT_EQ(e.semantic, elements[i].semantic) << i;
        EXPECT_EQ(e.component_count, elements[i].components) << i;
    }
    EXPECT_EQ(shader->vertex_semantics, 7u);

    struct Constant {
        const char* name;
        uint16_t count, size;
        uint32_t semantic, kind;
        int offset;
    };
    const Constant vertex[] = {{"world_view_projection", 1, 64, 4, 2, 0}};
    const Constant pixel[] = {{"tint", 1, 16, 1, 1, 0}, {"weights", 3, 48, 1, 1, 16}, {"steps", 1, 16, 1, 3, 64}};
    auto expect_table = [](const zk_shader_t::constant_table_t& table, const Constant* expected, int count, int bytes) {
        ASSERT_EQ(table.count, count);
        EXPECT_EQ(table.value_bytes, bytes);
        for (int i = 0; i < count; ++i) {
            SCOPED_TRACE(expected[i].name);
            const zk_shader_t::constant_t& entry = table.entries[i];
            EXPECT_STREQ(entry.name, expected[i].name);
            EXPECT_EQ(entry.count, expected[i].count);
            EXPECT_EQ(entry.size, expected[i].size);
            EXPECT_EQ(entry.semantic, expected[i].semantic);
            EXPECT_EQ(entry.value_kind, expected[i].kind);
            EXPECT_EQ(entry.uploaded, 1);
            EXPECT_EQ(static_cast<uint8_t*>(entry.value), table.values + expected[i].offset);
        }
    };
    expect_table(shader->vertex_constants, vertex, 1, 64);
    expect_table(shader->pixel_constants, pixel, 3, 80);

    ASSERT_EQ(shader->num_texture_inputs, 1);
    const zk_shader_t::texture_input_t& texture = shader->texture_inputs[0];
    EXPECT_STREQ(texture.name, "diffuse");
    EXPECT_EQ(texture.source, &glow_bitmap);
    EXPECT_EQ(texture.address_u, 2u);
    EXPECT_EQ(texture.address_v, 1u);
    EXPECT_EQ(texture.filter_mag, 2u);
    EXPECT_EQ(texture.filter_min, 1u);
    EXPECT_EQ(texture.filter_mip, 0u);
}

// An HLSL11 renderer at level 2 takes the shader tool's outputs for that
// level when both stage files are there, and translates otherwise.
TEST_F(RunTimeShaderTest, AnHLSL11LevelTwoRendererPicksThePrecompiledFiles) {
    const std::string binary_code("DXBC\0\1\2", 7);
    struct Case {
        const char* label;
        bool binary;
        std::vector<std::pair<std::string, std::string>> files;
        const char* vertex;  // null: translated
    } cases[] = {
        {"compiled code as it is", true,
         {{"shaders/HLSL11/bin/fx/glow_LOW.vertex", binary_code}, {"shaders/HLSL11/bin/fx/glow_LOW.pixel", "PS"}},
         "DXBC"},
        {"translated text with a NUL", false,
         {{"shaders/HLSL11/fx/glow_LOW.vertex", "VS text"}, {"shaders/HLSL11/fx/glow_LOW.pixel", "PS text"}},
         "VS text"},
        {"no vertex file", false, {{"shaders/HLSL11/fx/glow_LOW.pixel", "PS text"}}, nullptr},
        {"an empty vertex file", false,
         {{"shaders/HLSL11/fx/glow_LOW.vertex", ""}, {"shaders/HLSL11/fx/glow_LOW.pixel", "PS text"}}, nullptr},
        {"files of another level", false,
         {{"shaders/HLSL11/fx/glow_DEFAULT.vertex", "VS"}, {"shaders/HLSL11/fx/glow_DEFAULT.pixel", "PS"}}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        storage_test::TempDirectory data;
        ASSERT_EQ(chdir(data.Path().c_str()), 0);
        UseRenderer(ShaderTool::HLSL11, ShaderTool::HLSL11_LOW, c.binary);
        Write(kGlowPath, ShaderXml());
        for (const auto& file : c.files) Write(file.first, file.second);
        zk_shader_t* shader = Get(kGlowPath);
        ASSERT_NE(shader, nullptr);
        const RecordingRenderer::LoadedShader* loaded = renderer_.LoadedShaderOf(shader);
        ASSERT_NE(loaded, nullptr);
        if (!c.vertex) {
            EXPECT_TRUE(Contains(loaded->vertex, "VertexOutput main(VertexInput input)")) << loaded->vertex;
        } else if (c.binary) {
            EXPECT_EQ(loaded->vertex, binary_code);
            EXPECT_EQ(loaded->pixel, "PS");
        } else {
            EXPECT_EQ(loaded->vertex, std::string(c.vertex) + '\0');
            EXPECT_EQ(loaded->pixel, std::string("PS text") + '\0');
        }
        // The record is filled from the Shader XML either way.
        EXPECT_EQ(shader->pixel_constants.count, 1);
        ZKI_FreeShader(shader);
        while (zk_dman.databases.Count() > 0) zk_dman.ReleaseDatabase(zk_dman.databases[0]);
        ASSERT_EQ(chdir(folder_.Path().c_str()), 0);
    }
}

size_t (*real_read_file)(void*, size_t, zk_file_t*) = nullptr;
size_t ReadOneByteShort(void* data, size_t size, zk_file_t* file) {
    return size > 0 ? real_read_file(data, size - 1, file) : 0;
}

TEST_F(RunTimeShaderTest, APrecompiledFileReadShortFailsTheShaderWithoutTranslating) {
    UseRenderer(ShaderTool::HLSL11, ShaderTool::HLSL11_LOW, true);
    Write(kGlowPath, ShaderXml());
    Write("shaders/HLSL11/bin/fx/glow_LOW.vertex", "VS code");
    Write("shaders/HLSL11/bin/fx/glow_LOW.pixel", "PS code");
    real_read_file = zk->file_system->ZK_FileSystem_ReadFile;
    zk->file_system->ZK_FileSystem_ReadFile = ReadOneByteShort;
    zk_shader_t* shader = Get(kGlowPath);
    zk->file_system->ZK_FileSystem_ReadFile = real_read_file;

    ASSERT_NE(shader, nullptr);
    EXPECT_EQ(Popups(), std::vector<std::string>{
                            "Failed to load shader: Failed to read shader code file "
                            "'shaders/HLSL11/bin/fx/glow_LOW.vertex'."});
    EXPECT_EQ(renderer_.Count("LoadShader"), 0);
    EXPECT_FALSE(zk->graphics->ZK_Graphics_IsShaderSupported(shader));
    EXPECT_EQ(shader->pixel_constants.count, 0);
}

TEST_F(RunTimeShaderTest, TwoGetsGiveOneRecordAndOneLoad) {
    UseRenderer(ShaderTool::GLSL21);
    Write(kGlowPath, ShaderXml());
    zk_shader_t* first = Get(kGlowPath);
    zk_shader_t* second = Get(kGlowPath);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(zk_state.num_shaders, 1);
    EXPECT_EQ(renderer_.Count("LoadShader"), 1);
}

TEST_F(RunTimeShaderTest, APlaceholderNameGetsARecordButNoLoad) {
    UseRenderer(ShaderTool::GLSL21);
    zk_shader_t* none = Get(nullptr);
    ASSERT_NE(none, nullptr);
    EXPECT_STREQ(none->name, "!NONE");
    EXPECT_EQ(Get("!NONE"), none);
    EXPECT_FALSE(zk->graphics->ZK_Graphics_ReloadShader(none));
    EXPECT_FALSE(zk->graphics->ZK_Graphics_IsShaderSupported(none));
    EXPECT_EQ(renderer_.Count("LoadShader"), 0);
    EXPECT_TRUE(Popups().empty());
}

TEST_F(RunTimeShaderTest, OneHundredTwentyEightNamesFitAndThe129thFails) {
    UseRenderer(ShaderTool::GLSL21);
    char name[64];
    for (int i = 0; i < ZK_MAX_SHADERS; ++i) {
        snprintf(name, sizeof(name), "missing/%d.xml", i);
        // A shader that fails to load still has its record.
        ASSERT_NE(Get(name), nullptr) << name;
    }
    EXPECT_EQ(zk_state.num_shaders, ZK_MAX_SHADERS);
    ClearLines();
    EXPECT_EQ(Get("missing/128.xml"), nullptr);
    EXPECT_EQ(Popups(), std::vector<std::string>{"Failed to load shader 'missing/128.xml': Zekar is out of free shaders."});

    // A freed slot takes the next new name.
    ZKI_FreeShader(&zk_state.shaders[5]);
    zk_shader_t* late = Get("missing/128.xml");
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(late->index, 5u);
}

// A name whose record lies behind a freed slot is still found: it must not
// get a second record in the free slot.
TEST_F(RunTimeShaderTest, ANameBehindAFreedSlotKeepsItsRecord) {
    UseRenderer(ShaderTool::GLSL21);
    Write("shaders/a.xml", ShaderXml());
    Write("shaders/b.xml", ShaderXml());
    zk_shader_t* a = Get("shaders/a.xml");
    zk_shader_t* b = Get("shaders/b.xml");
    ASSERT_EQ(a->index, 0u);
    ZKI_FreeShader(a);
    EXPECT_EQ(Get("shaders/b.xml"), b);
    EXPECT_EQ(renderer_.Count("LoadShader"), 2);
    EXPECT_EQ(a->name, nullptr);
    zk_shader_t* c = Get("shaders/c.xml");
    EXPECT_EQ(c, a);
    EXPECT_EQ(zk_state.num_shaders, 2);
}

// The popups of a run, as the user would see them.
std::vector<std::string> shown_popups;
int RecordPopup(zk_message_type_t type, const char* format, ...) {
    char text[4096];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    if (type == ZK_MESSAGE_ERROR) shown_popups.push_back(text);
    return 0;
}

// The XML reader's own warning is below the popup level; the translation
// popup says where the Shader XML is broken all the same.
TEST_F(RunTimeShaderTest, TheTranslationPopupOfBrokenXmlNamesTheLine) {
    UseRenderer(ShaderTool::GLSL21);
    std::string broken = ShaderXml();
    broken.replace(broken.find("value=\"3\""), 9, "value=3");
    Write(kGlowPath, broken);
    shown_popups.clear();
    auto popup = zk->ZK_Popupf;
    zk->ZK_Popupf = RecordPopup;
    zk_shader_t* shader = Get(kGlowPath);
    zk->ZK_Popupf = popup;
    ASSERT_NE(shader, nullptr);
    EXPECT_FALSE(shader->flags & ZK_SHADER_LOADED);
    ASSERT_EQ(shown_popups.size(), 1u);
    EXPECT_EQ(shown_popups[0].rfind("Failed to translate shader 'shaders/fx/glow.xml':\n", 0), 0u) << shown_popups[0];
    EXPECT_TRUE(Contains(shown_popups[0], ") around line 5 in XML 'shaders/fx/glow.xml'.")) << shown_popups[0];
}

// A reload on another thread leaves the renderer to the renderer thread
// (unless the renderer takes shaders on any thread): the next shader pass,
// or the renderer's shutdown before it, loads the new object and frees the
// old one, once.
TEST_F(RunTimeShaderTest, AReloadOnAWorkerFreesTheOldObjectOnTheRendererThread) {
    struct Case {
        const char* label;
        int thread_safe_features;
        bool shut_down;      // the renderer stops before the next pass
        bool freed_at_once;  // on the worker, which the renderer allows
    } cases[] = {
        {"next pass", 0, false, false},
        {"shutdown first", 0, true, false},
        {"shaders on any thread", ZK_RENDERER_THREAD_SAFE_SHADERS, false, true},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        UseRenderer(ShaderTool::GLSL21);
        renderer_.thread_safe_features = 0;
        std::string path = "shaders/reloaded" + std::to_string(number++) + ".xml";
        Write(path, ShaderXml());
        zk_shader_t* shader = Get(path.c_str());
        ASSERT_NE(shader, nullptr);
        const RecordingRenderer::LoadedShader* old_object = renderer_.LoadedShaderOf(shader);
        ASSERT_NE(old_object, nullptr);
        Write(path, ShaderXml("", "<node id=\"glow\" type=\"FLOAT4\"/>",
                              "output.color = sampleTexture(texture.diffuse, input.uv) * constants.glow;"));
        renderer_.thread_safe_features = c.thread_safe_features;
        renderer_.ClearCalls();
        std::atomic<int> worker_object_calls{0};
        renderer_.on_call = [&](const std::string& call) {
            bool object_call = call.rfind("LoadShader", 0) == 0 || call.rfind("FreeShader", 0) == 0;
            if (object_call && ZKT_GetCurrentThreadId() != 1) ++worker_object_calls;
        };
        bool reloaded = false;
        std::thread worker([&] { reloaded = zk->graphics->ZK_Graphics_ReloadShader(shader); });
        worker.join();
        EXPECT_TRUE(reloaded);
        EXPECT_EQ(worker_object_calls, c.freed_at_once ? 2 : 0);
        EXPECT_EQ(old_object->freed, c.freed_at_once);

        if (c.shut_down) {
            ZKI_ShutdownRendImp();
            EXPECT_TRUE(old_object->freed);
            ASSERT_TRUE(ZKI_InitRendImp());
        }
        ZKI_ProcessShaderResourceQueue();
        renderer_.on_call = nullptr;
        EXPECT_TRUE(old_object->freed);
        EXPECT_EQ(renderer_.Count("FreeShader"), 1);
        const RecordingRenderer::LoadedShader* new_object = renderer_.LoadedShaderOf(shader);
        ASSERT_NE(new_object, nullptr);
        EXPECT_NE(new_object, old_object);
        EXPECT_TRUE(Contains(new_object->pixel, "_const_glow"));
        EXPECT_TRUE(shader->flags & ZK_SHADER_LOADED);
        EXPECT_EQ(replaced_renderer_shaders.count, 0);
        ZKI_FreeShader(shader);
        if (c.shut_down) FreeWhatTheRestartMade();
    }
}

// In developer mode the source times are kept: a reload of sources that
// did not change keeps the record, and a renderer restart loads the shader
// into the new renderer even so.
TEST_F(RunTimeShaderTest, SourceTimesDecideReloadsInDeveloperMode) {
    zk_state.developer_mode = 1;
    UseRenderer(ShaderTool::GLSL21);
    Write(kGlowPath, ShaderXml());
    SetTime(kGlowPath, 1500000000);
    zk_shader_t* shader = Get(kGlowPath);
    ASSERT_NE(shader, nullptr);
    EXPECT_EQ(shader->source_time, 1500000000);
    const zk_shader_t before = *shader;

    EXPECT_FALSE(zk->graphics->ZK_Graphics_ReloadShader(shader));
    EXPECT_EQ(memcmp(shader, &before, sizeof(before)), 0);
    EXPECT_EQ(renderer_.Count("LoadShader"), 1);

    ZKI_FreeShaderInRenderer(shader);
    EXPECT_TRUE(ZKI_LoadShaderInRenderer(shader));
    EXPECT_EQ(renderer_.Count("LoadShader"), 2);
    EXPECT_TRUE(shader->flags & ZK_SHADER_LOADED);

    SetTime(kGlowPath, 1500000100);
    EXPECT_TRUE(zk->graphics->ZK_Graphics_ReloadShader(shader));
    EXPECT_EQ(shader->source_time, 1500000100);
    EXPECT_EQ(renderer_.Count("LoadShader"), 3);
}

// The popup of a failed translation answers 3 when the user fixed the file
// and asks to retry.
std::vector<std::string> retry_popups;
int AnswerRetryOnceFixed(zk_message_type_t, const char* format, ...) {
    char text[4096];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    retry_popups.push_back(text);
    if (retry_popups.size() > 1) return 0;
    std::ofstream(kGlowPath, std::ios::binary) << ShaderXml();
    return 3;
}

TEST_F(RunTimeShaderTest, ARetryAnswerReadsTheShaderXmlAfresh) {
    UseRenderer(ShaderTool::GLSL21);
    Write(kGlowPath, ShaderXml("", "", kBrokenPixelBody));
    retry_popups.clear();
    auto popup = zk->ZK_Popupf;
    zk->ZK_Popupf = AnswerRetryOnceFixed;
    zk_shader_t* shader = Get(kGlowPath);
    zk->ZK_Popupf = popup;

    ASSERT_EQ(retry_popups.size(), 1u) << retry_popups[0] << "\n---\n" << retry_popups.back();
    EXPECT_EQ(retry_popups[0].rfind("Failed to translate shader 'shaders/fx/glow.xml':\n", 0), 0u) << retry_popups[0];
    ASSERT_NE(shader, nullptr);
    EXPECT_TRUE(shader->flags & ZK_SHADER_LOADED);
    EXPECT_EQ(zk->graphics->ZK_Graphics_GetShaderPixelConstantIndex(shader, "tint"), 0);
}

// Off the renderer thread a load waits in the queue for the next frame,
// unless the renderer loads shaders on any thread.
TEST_F(RunTimeShaderTest, AShaderGotOnAWorkerThreadIsLoadedWhereTheRendererAllows) {
    struct Case {
        int thread_safe_features;
        uint32_t loading_thread;  // 1: the renderer thread
    } cases[] = {{0, 1}, {ZK_RENDERER_THREAD_SAFE_SHADERS, 0}};
    UseRenderer(ShaderTool::GLSL21);
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.thread_safe_features);
        std::string path = "shaders/worker" + std::to_string(number++) + ".xml";
        Write(path, ShaderXml());
        renderer_.thread_safe_features = c.thread_safe_features;
        std::atomic<uint32_t> loading_thread{99};
        renderer_.on_call = [&](const std::string& call) {
            if (call.rfind("LoadShader", 0) == 0) loading_thread = ZKT_GetCurrentThreadId();
        };
        std::atomic<zk_shader_t*> shader{nullptr};
        std::atomic<bool> supported{false};
        std::thread worker([&] {
            shader = zk->graphics->ZK_Graphics_GetShader(path.c_str());
            supported = zk->graphics->ZK_Graphics_IsShaderSupported(shader);
        });
        if (c.loading_thread == 1) {
            // The worker's answer waits for the frame's upload pass.
            for (int wait = 0; wait < 10000; ++wait) {
                {
                    ZK_ResourceQueueLock lock;
                    if (zk_state.shader_load_queue.count == 1) break;
                }
                ZKT_Sleep(1);
            }
            EXPECT_EQ(renderer_.Count("LoadShader"), 0);
            EXPECT_FALSE(supported);
            ZKI_ProcessShaderResourceQueue();
        }
        worker.join();
        renderer_.on_call = nullptr;
        EXPECT_TRUE(supported);
        EXPECT_EQ(loading_thread, c.loading_thread);
        EXPECT_EQ(zk_state.shader_load_queue.count, 0);
        EXPECT_EQ(queued_shader_data.count, 0);
        EXPECT_TRUE(shader.load()->flags & ZK_SHADER_LOADED);
        renderer_.ClearCalls();
    }
}

// The queue keeps copies: the caller's code and info may be gone before
// the frame loads them.
TEST_F(RunTimeShaderTest, QueuedLoadsOwnTheirCodeAndInfo) {
    bool existed = false;
    zk_shader_t* shader = GetAndInitializeShader("queued", existed);
    std::thread worker([shader] {
        ShaderTool::ShaderCode code;
        code.AppendStringWithNullTerminator(ShaderTool::VERTEX_SHADER, "vertex text");
        code.AppendStringWithNullTerminator(ShaderTool::PIXEL_SHADER, "pixel text");
        ShaderTool::ShaderInfo info;
        info.tags = "queued";
        EXPECT_TRUE(LoadShaderInRenderer(shader, info, code));
    });
    worker.join();
    EXPECT_EQ(renderer_.Count("LoadShader"), 0);
    ZKI_ProcessShaderResourceQueue();
    const RecordingRenderer::LoadedShader* loaded = renderer_.LoadedShaderOf(shader);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->vertex, std::string("vertex text") + '\0');
    EXPECT_EQ(loaded->pixel, std::string("pixel text") + '\0');
}

TEST_F(RunTimeShaderTest, CopiesAndMovesOfQueuedDataShareOnlyBorrowedBytes) {
    static uint8_t borrowed[] = {1, 2, 3};
    auto make = [] {
        QueuedShaderData data;
        data.code.Append(ShaderTool::VERTEX_SHADER, "owned", 5);
        data.code.pixel.SetExternal(borrowed, 3);
        data.info.tags = "tags";
        return data;
    };
    struct Case {
        const char* label;
        QueuedShaderData (*take)(QueuedShaderData& from);
    } cases[] = {
        {"copy", [](QueuedShaderData& from) { return QueuedShaderData(from); }},
        {"move", [](QueuedShaderData& from) { return QueuedShaderData(std::move(from)); }},
        {"move assignment",
         [](QueuedShaderData& from) {
             QueuedShaderData to;
             to = std::move(from);
             return to;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        QueuedShaderData* source = new QueuedShaderData(make());
        const uint8_t* source_bytes = source->code.vertex.data;
        QueuedShaderData taken = c.take(*source);
        delete source;
        ASSERT_EQ(taken.code.vertex.size, 5);
        EXPECT_NE(taken.code.vertex.data, source_bytes);
        EXPECT_EQ(memcmp(taken.code.vertex.data, "owned", 5), 0);
        EXPECT_EQ(taken.code.pixel.data, borrowed);
        EXPECT_STREQ(taken.info.tags.c_str(), "tags");
    }
}

}  // namespace
