// The front-end records the translation code reads: types, nodes, the
// Shader XML description and the log.
#pragma once

#include "shadertool/frontend/log.h"
#include "shadertool/frontend/nodes.h"
#include "shadertool/frontend/shader_info.h"
#include "shadertool/frontend/types.h"
