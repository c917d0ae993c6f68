// The shader functions of the graphics API, over the pool and loading of
// engine/shaders: getting, reloading and setting shaders, their constants,
// tags and user values. They drive the batch renderer, which keeps the
// current and the default shader: a change of shader or of a constant
// first draws what is pending, so that it keeps the old shader and values.
//
// The graphics slots (ZK_Graphics_GetShader, ReloadShader, SetShader, the
// constant, tag and user-value functions) are declared in
// engine/runtime/interface_functions.h.
#pragma once

#include "engine/runtime/media_records.h"

// Makes the shader current unless it is already, flushing what was drawn
// with the one before; null, or a shader without renderer object, stands
// for the default shader.
void ZKI_MakeShaderCurrent(zk_shader_t* shader);
// Before drawing with a loaded shader: the constants with a transform
// semantic take the current matrices.
void ZKI_UpdateShaderConstants(zk_shader_t* shader);
void UpdateShaderConstantTable(zk_shader_t::constant_table_t& table, bool& unchanged);
