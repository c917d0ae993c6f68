// A target translator (a subclass of Translator in this folder) is
// registered by returning it from its case below. A target without one
// gives null; the driver then fails its translations with
// "target '<name>' has no translator.".
#include "shadertool/translate/translator_factory.h"

#include "shadertool/translate/glsl_translators.h"
#include "shadertool/translate/hlsl_translators.h"

namespace ShaderTool {

Translator* CreateTranslator(ShaderTarget target, Log& log) {
    switch (target) {
    case ESSL20: return new ESSL20Translator(log);
    case ESSL30: return new ESSL30Translator(log);
    case GLSL21: return new GLSL21Translator(log);
    case GLSL31: return new GLSL31Translator(log);
    case HLSL9: return new HLSL9Translator(log);
    case HLSL11: return new HLSL11Translator(log);
    case PSSL: return new PSSLTranslator(log);
    default:
        return nullptr;
    }
}

}  // namespace ShaderTool
