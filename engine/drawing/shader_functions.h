// The shader functions of the graphics API, over the pool and loading of
// engine/shaders: getting, reloading and setting shaders, their constants,
// tags and user values. They drive the batch renderer, which keeps the
// current and the default shader: a change of shader or of a constant
// first draws what is pending, so that it keeps the old shader and values.
// The constants with a transform semantic are filled beneath the batch
// renderer (shader_constants.h).
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
