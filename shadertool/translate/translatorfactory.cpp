// The one place where targets get their translators. A target translator
// (a subclass of Translator in this folder) is registered by returning it
// from its case below, bound to the driver's intermediate log. Targets
// without one yet give null; the driver then fails their translations with
// "target '<name>' has no translator.".
#include "shadertool/translate/translatordriver.h"

namespace ShaderTool {

Translator* TranslatorDriver::CreateTranslator(ShaderTarget target) {
    switch (target) {
    case ESSL20:
    case ESSL30:
    case GLSL21:
    case GLSL31:
    case HLSL9:
    case HLSL11:
    case PSSL:
    default:
        return nullptr;
    }
}

}  // namespace ShaderTool
