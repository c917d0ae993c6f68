// Names and paths of the driver's output files. The command line and the
// engine's run-time shader loader find outputs by the same layout.
#pragma once

#include "engine/base/nstring.h"
#include "shadertool/translate/frontend.h"

namespace ShaderTool {

// "ESSL20" ... "PSSL" for a single target bit; "" for anything else.
const char* GetTargetName(int target);
// "vertex" or "pixel"; "" for anything else.
const char* GetStageName(int stage);
// "_DEFAULT", "_LOW" or "_XBOX" for one HLSL11 level bit; "" otherwise.
const char* GetLevelSuffix(int level);
// "HLSL11_DEFAULT", "HLSL11_LOW" or "HLSL11_XBOX"; "" otherwise.
const char* GetLevelName(int level);

// "<output directory><target>/<subdirectory><base path><level suffix>.<stage>";
// the output directory is empty or ends in a separator, the subdirectory is
// "" for translated text and "bin/" for compiled code.
nString GetOutputFilePath(const char* output_directory, int target, const char* subdirectory, const char* base_path,
                          int level, int stage);

}  // namespace ShaderTool
