// The one place where targets get their translators. A target translator
// (a subclass of Translator in this folder) is registered by returning it
// from its case below, bound to the driver's intermediate log. Targets
// without one yet give null; the driver then fails their translations with
// "target '<name>' has no translator.".
#include "shadertool/translate/hlsl_translators.h"
#include "shadertool/translate/translatordriver.h"

namespace ShaderTool {

Translator* TranslatorDriver::CreateTranslator(ShaderTarget target) {
    switch (target) {
    case HLSL9: return new HLSL9Translator(intermediate_log);
    case HLSL11: return new HLSL11Translator(intermediate_log);
    case PSSL: return new PSSLTranslator(intermediate_log);
    case ESSL20:
    case ESSL30:
    case GLSL21:
    case GLSL31:
    default:
        return nullptr;
    }
}

}  // namespace ShaderTool
