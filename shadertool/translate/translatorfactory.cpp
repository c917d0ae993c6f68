// The one place where targets get their translators. A target translator
// (a subclass of Translator in this folder) is registered by returning it
// from its case below, bound to the driver's intermediate log. Targets
// without one yet give null; the driver then fails their translations with
// "target '<name>' has no translator.".
#include "shadertool/translate/translatordriver.h"

#include "shadertool/translate/glsl_translators.h"

namespace ShaderTool {

Translator* TranslatorDriver::CreateTranslator(ShaderTarget target) {
    switch (target) {
    case ESSL20: return new ESSL20Translator(intermediate_log);
    case ESSL30: return new ESSL30Translator(intermediate_log);
    case GLSL21: return new GLSL21Translator(intermediate_log);
    case GLSL31: return new GLSL31Translator(intermediate_log);
    case HLSL9:
    case HLSL11:
    case PSSL:
    default:
        return nullptr;
    }
}

}  // namespace ShaderTool
