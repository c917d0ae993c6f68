// The engine's run-time translation driver. Its constructor touches no
// engine state, so it is safe before main; users lock the mutex
// "ShaderTranslator" around every use.
#include "shadertool/translate/translator_driver.h"

ShaderTool::TranslatorDriver shader_translator_driver;
