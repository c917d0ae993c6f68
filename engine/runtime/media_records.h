// Pooled media records and the vertex record.
//
// The engine state holds fixed pools of these records by value (3072
// bitmaps, 512 sounds, 32 fonts, 128 shaders), so the core needs their full
// layout. The media subsystem owns their meaning and may extend the fields
// here; keep every record plain data (the state zeroes the pools with
// memset, and pointers into the pools stay valid for the whole run).
#pragma once

#include <cstdint>

#include "engine/runtime/zekar.h"

// A screen or window size in pixels.
struct zk_resolution_t {
    int32_t width;
    int32_t height;
};

// The 24-byte vertex of 2D drawing (vertex format 7).
struct zk_vertex_t {
    float x, y, z;
    uint32_t color; // packed in the renderer's vertex colour format
    float u, v;
};
static_assert(sizeof(zk_vertex_t) == 24, "zk_vertex_t is 24 bytes");

// Argument of CreateBitmap and IsTextureFormatSupported.
struct zk_bitmap_parameters_t {
    uint32_t format;
    uint32_t type;
    int16_t renderer_hint;
    int32_t width;
    int32_t height;
    int32_t depth;
    uint8_t render_target;
};

struct zk_bitmap_t {
    // Renderer side of a bitmap (also used by font glyphs).
    struct hw_data_t {
        uint8_t loaded;
        float uv[4];          // left, top, right, bottom in the texture, 0..1
        int32_t texture_width;
        int32_t texture_height;
        void* renderer_data;
    };

    char* name;               // null: free pool slot; '!' first: placeholder
    uint32_t hash;
    uint32_t taken_word;
    uint32_t slot;
    int16_t reference_count;
    int8_t cache_mode;
    uint8_t locked;
    char* file_path;
    uint32_t file_time;
    int32_t width, height;    // size used for drawing
    int32_t depth;
    uint32_t* pixels;
    int32_t texture_width, texture_height; // size of the loaded image
    uint32_t format;
    uint32_t type;
    uint16_t flags;           // 1 alpha, 2 reloadable, 4 render target, 8 counted
    int16_t renderer_hint;
    uint16_t state;
    uint32_t pack_mode;       // 0 expand, 2 transparent, 3 no padding
    zk_bitmap_t* duplicate_of;
    zk_bitmap_t* frames;
    int32_t frame_count;
    zk_bitmap_t* atlas;
    int32_t frame_index;
    float frame_rate;
    hw_data_t hw_data;
};

struct zk_sound_t {
    char* name;               // null: free pool slot
    uint32_t hash;
    int32_t state;
    int32_t index;
    int16_t reference_count;
    uint8_t cache_mode;
    char* file_name;
    uint32_t flags;
    float length;
    int32_t aux_id;
    int32_t last_play_time;
    uint32_t data_size;
    void* data;
};

struct zk_font_t {
    struct zk_glyph_t {
        uint32_t code;
        float y_offset;
        int16_t x_offset;
        int16_t advance;
        int8_t* kern;
        zk_bitmap_t bitmap;
    };

    char* name;               // null: free pool slot
    uint32_t hash;
    uint32_t state;
    uint32_t slot;
    int16_t reference_count;
    int8_t cache_mode;
    uint8_t locked;
    uint32_t time_modified;
    uint8_t flags;
    uint8_t utf8;
    int32_t baseline;
    int32_t height;
    int32_t line_spacing;     // the console spaces its lines by it
    zk_glyph_t* glyphs;
    int32_t num_glyphs;
    zk_bitmap_t atlas;
    float scale;
    float smoothing;
    float spread;
};

struct zk_shader_t {
    typedef zk_shader_constant_type_t type_t;

    struct constant_t {
        char* name;
        void* value;
        uint16_t count;
        uint32_t semantic;
        uint16_t size;
        uint32_t value_kind;
        uint8_t uploaded;
    };
    struct constant_table_t {
        uint8_t* values;
        constant_t* entries;
        int32_t value_bytes;
        int32_t count;
    };
    struct texture_input_t {
        char* name;
        zk_bitmap_t* source;
        uint32_t address_u, address_v, address_w;
        uint32_t filter_mag, filter_min, filter_mip;
    };
    struct vertex_element_t {
        uint32_t offset;
        uint32_t component_class;
        uint32_t semantic;
        uint16_t component_count;
    };

    char* name;               // null: free pool slot
    uint32_t kind;
    uint32_t index;
    int32_t source_time;
    texture_input_t texture_inputs[8];
    void* renderer_shader;
    constant_table_t pixel_constants;
    constant_table_t vertex_constants;
    char* tags;
    int16_t num_texture_inputs;
    int16_t num_vertex_elements;
    uint32_t vertex_semantics;
    vertex_element_t vertex_elements[9];
    uint8_t flags;            // 1 constants unchanged, 2 loaded in the renderer
};
