// The one place where targets get their translators. A target translator
// (a subclass of Translator in this folder) is registered by returning it
// from its case below, bound to the driver's intermediate log. A target
// without one gives null; the driver then fails its translations with
// "target '<name>' has no translator.".
#include "shadertool/translate/translator_driver.h"

#include "shadertool/translate/glsl_translators.h"
#include "shadertool/translate/hlsl_translators.h"

namespace ShaderTool {

Translator* TranslatorDriver::CreateTranslator(ShaderTarget target) {
    switch (target) {
    case ESSL20: return new ESSL20Translator(intermediate_log);
    case ESSL30: return new ESSL30Translator(intermediate_log);
    case GLSL21: return new GLSL21Translator(intermediate_log);
    case GLSL31: return new GLSL31Translator(intermediate_log);
    case HLSL9: return new HLSL9Translator(intermediate_log);
    case HLSL11: return new HLSL11Translator(intermediate_log);
    case PSSL: return new PSSLTranslator(intermediate_log);
    default:
        return nullptr;
    }
}

}  // namespace ShaderTool
