// The constants of a shader that the engine fills itself: before a draw,
// those with a transform semantic take the current matrices. The batch
// renderer calls this as it hands its shader to the renderer, so it sits
// beneath the batch renderer and draws nothing; the shader functions of the
// graphics table, above it, set the other constants.
#pragma once

#include "engine/runtime/media_records.h"

// Before drawing with a loaded shader: the constants with a transform
// semantic take the current matrices.
void ZKI_UpdateShaderConstants(zk_shader_t* shader);
void UpdateShaderConstantTable(zk_shader_t::constant_table_t& table, bool& unchanged);
