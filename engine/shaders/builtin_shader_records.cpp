// The built-in shaders' code records. Their Shader XML texts and stage texts
// are written at build time from the Shader XML files under builtin/
// (write_builtin_shader_texts.cpp).
//
// The HLSL11 and PSSL code records hold compiled objects of those
// platforms' shader compilers, which this build does not have: the records
// name their target and level and carry no code bytes. No renderer of this
// program selects them (the null renderer's HLSL11 level 0 has no record).
// Records of target 128 are never selected.

#include "engine/shaders/builtin_shaders.h"

namespace {

#define ZK_CODE_RECORD_WITHOUT_CODE(target, level) {target, 0, 0, 0, level, 0, 0, 0, 0, 0, 0, 0}
const unsigned char kHLSL11Default[] = ZK_CODE_RECORD_WITHOUT_CODE(32, 1);
const unsigned char kHLSL11Low[] = ZK_CODE_RECORD_WITHOUT_CODE(32, 2);
const unsigned char kHLSL11Xbox[] = ZK_CODE_RECORD_WITHOUT_CODE(32, 4);
const unsigned char kPSSL[] = ZK_CODE_RECORD_WITHOUT_CODE(64, 0);
const unsigned char kTarget128[] = ZK_CODE_RECORD_WITHOUT_CODE(128, 0);
#undef ZK_CODE_RECORD_WITHOUT_CODE

}  // namespace

const unsigned char* const InternalShader_default::binaries[] = {
    kHLSL11Default, kHLSL11Default,
    kHLSL11Low, kHLSL11Low,
    kHLSL11Xbox, kHLSL11Xbox,
    kPSSL, kPSSL,
    kTarget128, kTarget128,
    nullptr, nullptr,
};

const unsigned char* const InternalShader_distance_field::binaries[] = {
    kHLSL11Default, kHLSL11Default,
    kHLSL11Low, kHLSL11Low,
    kHLSL11Xbox, kHLSL11Xbox,
    kPSSL, kPSSL,
    nullptr, nullptr,
};

const unsigned char* const InternalShader_clear::binaries[] = {
    kPSSL, kPSSL,
    kTarget128, kTarget128,
    nullptr, nullptr,
};

const unsigned char* const InternalShader_cube_map::binaries[] = {
    kPSSL, kPSSL,
    nullptr, nullptr,
};

const unsigned char* const InternalShader_hdr::binaries[] = {
    kHLSL11Xbox, kHLSL11Xbox,
    kPSSL, kPSSL,
    nullptr, nullptr,
};

const unsigned char* const InternalShader_mip::binaries[] = {
    kPSSL, kPSSL,
    nullptr, nullptr,
};
