// The translator of each target: the one place that knows which class
// translates for which target.
#pragma once

#include "shadertool/frontend/log.h"
#include "shadertool/translate/translator.h"

namespace ShaderTool {

// A new translator for one target bit that reports into log; the caller
// owns it. Null for anything but a single target bit.
Translator* CreateTranslator(ShaderTarget target, Log& log);

}  // namespace ShaderTool
