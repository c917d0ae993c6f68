// The definition table: the predefinitions every source begins with, the
// target's own and the Shader XML's general constants, the -d definitions
// of the command line, the look-up of a name's first definition and of the
// value a chain of names ends at, and the listing of the table.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "shadertool/frontend/name_index.h"
#include "shadertool/frontend/preprocessor_internal.h"

namespace ShaderTool {

namespace {

const char* const kHalfPi = "1.5707963268f";
const char* const kPi = "3.1415926536f";
const char* const kTwoPi = "6.2831853072f";

// A text of decimal digits whose value fits an int, as atoi reads it.
bool ReadDecimalInt(const char* text, int& value) {
    long long number = 0;
    if (!*text) return false;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return false;
        number = number * 10 + (*c - '0');
        if (number > std::numeric_limits<int>::max()) return false;
    }
    value = static_cast<int>(number);
    return true;
}

// 1 for a text whose first token is "true", 0 for "false".
int BoolLiteralValue(const char* text) {
    while (*text == ' ' || *text == '\t' || *text == '\n') ++text;
    return std::strncmp(text, "true", 4) == 0 && !IsWordCharacter(text[4]) ? 1 : 0;
}

}  // namespace

void Preprocessor::InitializeDefinitions() {
    SourceLocation nowhere = {0, 0};
    Constant name = MakeInt(0, nowhere);
    name.kind = Constant::STRING;
    SetString(name.string_value, kHalfPi);
    AppendDefinition("_HALF_PI", name, false, false);
    SetString(name.string_value, kPi);
    AppendDefinition("_PI", name, false, false);
    SetString(name.string_value, kTwoPi);
    AppendDefinition("_TWO_PI", name, false, false);
    for (int i = 0; i < kTargetCount; ++i) {
        AppendDefinition(nString::Format("_TARGET_%s", kTargets[i].name).c_str(), MakeInt(1 << i, nowhere), false,
                         false);
    }
    for (int i = 0; i < kTargetFamilyCount; ++i) {
        AppendDefinition(nString::Format("_TARGET_%s", kTargetFamilies[i].name).c_str(), MakeInt(1 << i, nowhere),
                         false, false);
    }
    predefinition_count = definitions.Count();
}

void Preprocessor::AppendDefinition(const char* name, const Constant& value, bool is_string_literal,
                                    bool target_dependent) {
    Definition definition;
    definition.name = name;
    definition.value = value;
    definition.is_string_literal = is_string_literal;
    definition.is_target_dependent = target_dependent;
    definitions.InsertLast(definition);
    if (GetDefinitionIndex(definition.name.c_str()) < 0) {
        const char* text = definition.name.c_str();
        definition_index.Insert(NameIndex::Hash(text, strlen(text)), definitions.Count() - 1);
    }
}

int Preprocessor::GetDefinitionIndex(const char* name) const {
    if (!name) return -1;
    return definition_index.Find(NameIndex::Hash(name, strlen(name)), [&](int i) {
        return i < definitions.Count() && std::strcmp(definitions[i].name.c_str(), name) == 0;
    });
}

int Preprocessor::GetDefinitionIndex(const String& name) const {
    return GetDefinitionIndex(name.text);
}

Constant Preprocessor::GetDefinition(const Constant& constant) {
    Constant value = constant;
    // Every step moves to a definition; more steps than definitions is a loop.
    for (int steps = 0; value.kind == Constant::STRING && steps <= definitions.Count(); ++steps) {
        int index = GetDefinitionIndex(value.string_value);
        if (index < 0) return MakeInt(0, constant.location);
        const Definition& definition = definitions[index];
        if (definition.is_target_dependent) target_dependent = true;
        value = definition.value;
        value.location = constant.location;
        if (definition.is_string_literal) return value;
    }
    if (value.kind == Constant::STRING) return MakeInt(0, constant.location);
    return value;
}

void Preprocessor::AddPredefinitions(int target) {
    int index = GetShaderTargetIndex(target);
    if (index < 0) index = 0;
    SourceLocation nowhere = {0, 0};
    Constant name = MakeInt(0, nowhere);
    name.kind = Constant::STRING;
    const TargetFamilyDescription& family = kTargetFamilies[kTargets[index].family];
    SetString(name.string_value, nString::Format("_TARGET_%s", kTargets[index].name).c_str());
    AppendDefinition("_TARGET", name, false, true);
    SetString(name.string_value, nString::Format("_TARGET_%s", family.name).c_str());
    AppendDefinition("_TARGET_GROUP", name, false, true);
    int v_points_up = family.v_points_up ? 1 : 0;
    AppendDefinition("_TEXTURE_COORDINATE_AXIS_V_POINTS_UP", MakeInt(v_points_up, nowhere), false, true);
    for (int i = 0; i < info->constants.Count(); ++i) AddGeneralConstantAsDefinition(info->constants[i]);
}

void Preprocessor::AddGeneralConstantAsDefinition(const ShaderConstant& constant) {
    SourceLocation nowhere = {0, 0};
    const char* text = constant.value.c_str();
    switch (constant.kind) {
    case ShaderConstant::BOOL:
        AppendDefinition(constant.id.c_str(), MakeInt(BoolLiteralValue(text), nowhere), false, false);
        return;
    case ShaderConstant::INT:
        AppendDefinition(constant.id.c_str(), MakeInt(ParseDecimalInt(text), nowhere), false, false);
        return;
    case ShaderConstant::FLOAT:
        AppendDefinition(constant.id.c_str(), MakeFloat(std::atof(text), nowhere), false, false);
        return;
    default: {
        Constant literal = MakeInt(0, nowhere);
        literal.kind = Constant::STRING;
        if (!SetString(literal.string_value, text)) {
            log.AddError("general constant '%s' is longer than %i characters.", constant.id.c_str(),
                         static_cast<int>(String::kMaximumLength));
            success = false;
        }
        AppendDefinition(constant.id.c_str(), literal, true, false);
        return;
    }
    }
}

void Preprocessor::AddAdditionalDefinitions(const nArray<nString>& extra_definitions) {
    for (int i = 0; i + 1 < extra_definitions.Count(); i += 2) {
        const char* name = extra_definitions[i].c_str();
        const char* value = extra_definitions[i + 1].c_str();
        if (!AddAdditionalDefinition(name, value)) {
            // Counts as a failure of the file, though processing goes on.
            log.AddError("invalid additional preprocessor definition '%s=%s' specified.", name, value);
        }
    }
}

bool Preprocessor::AddAdditionalDefinition(const char* name, const char* value) {
    SourceLocation nowhere = {0, 0};
    if (!ValidateDefinitionIdentifier(name, -1)) return false;
    // A number must be the whole value and must keep its value: "1.0 + 2.0"
    // read as 1.0, or an overlong int read as some other int, would pass on
    // a value that nobody wrote.
    BasicType kind = Tokenizer::EvaluateBasicTypeOfLiteral(nString(value));
    if (kind == TYPE_INT) {
        int number = 0;
        if (!ReadDecimalInt(value, number)) return false;
        AppendDefinition(name, MakeInt(number, nowhere), false, false);
        return true;
    }
    if (kind == TYPE_FLOAT) {
        double number = std::atof(value);
        if (std::isinf(number) || std::fabs(number) > std::numeric_limits<float>::max()) return false;
        AppendDefinition(name, MakeFloat(number, nowhere), false, false);
        return true;
    }
    if (kind == TYPE_BOOL) {
        AppendDefinition(name, MakeInt(BoolLiteralValue(value), nowhere), false, false);
        return true;
    }
    // What begins with a digit and is not one number is no name either.
    if (*value >= '0' && *value <= '9') return false;
    bool is_string_literal = false;
    if (!ParseDefinitionValueString(value, is_string_literal)) return false;
    if (is_string_literal) {
        Constant literal = MakeInt(0, nowhere);
        literal.kind = Constant::STRING;
        SetString(literal.string_value, value + 1, static_cast<int>(std::strlen(value)) - 2);
        AppendDefinition(name, literal, true, false);
        return true;
    }
    int index = GetDefinitionIndex(value);
    if (index < 0) {
        AppendDefinition(name, MakeInt(0, nowhere), false, false);
    } else {
        Definition copy = definitions[index];
        AppendDefinition(name, copy.value, copy.is_string_literal, false);
    }
    return true;
}

bool Preprocessor::ValidateDefinitionIdentifier(const char* text, int length) {
    if (!text) return false;
    if (length < 0) length = static_cast<int>(std::strlen(text));
    // An empty name would match nothing in the code yet pass every test.
    if (length == 0 || length > String::kMaximumLength || text[0] == '_') return false;
    for (int i = 0; i < length; ++i) {
        if (!IsWordCharacter(text[i])) return false;
    }
    return true;
}

bool Preprocessor::ParseDefinitionValueString(const char* text, bool& is_string_literal) {
    is_string_literal = false;
    if (!text) return false;
    int length = static_cast<int>(std::strlen(text));
    if (length >= 2 && text[0] == '"' && text[length - 1] == '"') {
        // The quotes are not part of the stored text.
        if (length - 2 > String::kMaximumLength) return false;
        for (int i = 1; i < length - 1; ++i) {
            if (text[i] == '"' || text[i] == '\n') return false;
        }
        is_string_literal = true;
        return true;
    }
    return ValidateDefinitionIdentifier(text, length);
}

void Preprocessor::OutputDefinitions() {
    int width = 0;
    for (int i = 0; i < definitions.Count(); ++i) {
        if (definitions[i].name.Length() > width) width = definitions[i].name.Length();
    }
    for (int i = 0; i < definitions.Count(); ++i) {
        const Definition& definition = definitions[i];
        nString value;
        if (definition.value.kind == Constant::INT) {
            value.SetFormatted("%i", definition.value.int_value);
        } else if (definition.value.kind == Constant::FLOAT) {
            value = FormatFloatLiteral(definition.value.float_value);
        } else {
            value = definition.value.string_value.text;
        }
        nString line = nString::Format("%-*s %s\n", width, definition.name.c_str(), value.c_str());
        log.AppendText(line.c_str());
    }
    log.has_messages = true;
}

}  // namespace ShaderTool
