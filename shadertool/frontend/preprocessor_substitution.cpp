// Substitution: once the whole source is read, every defined name in the
// kept text is replaced, as a whole word, by the text of its definition.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "shadertool/frontend/name_index.h"
#include "shadertool/frontend/preprocessor_internal.h"

namespace ShaderTool {

namespace {

// Text of one definition as it goes into the code.
nString ReplacementText(const Definition& definition) {
    const Constant& value = definition.value;
    if (value.kind == Constant::INT) return nString::Format("%i", value.int_value);
    if (value.kind == Constant::FLOAT) return FormatFloatLiteral(value.float_value);
    if (definition.is_string_literal) return nString::Format("\"%s\"", value.string_value.text);
    return nString(value.string_value.text);
}

// Replaces every whole-word occurrence of name in text, leaving quoted text
// and file instruction lines alone.
nString ReplaceWholeWords(const char* text, const char* name, const nString& replacement) {
    const int name_length = static_cast<int>(std::strlen(name));
    const int replacement_length = replacement.Length();
    TextBuffer result;
    const char* p = text;
    bool line_start = true;
    while (*p) {
        if (line_start && IsFileInstructionLine(p)) {
            const char* end = std::strchr(p, '\n');
            int length = end ? static_cast<int>(end - p) + 1 : static_cast<int>(std::strlen(p));
            result.Append(p, length);
            p += length;
            continue;
        }
        line_start = false;
        if (*p == '"') {
            const char* end = p + 1;
            while (*end && *end != '"' && *end != '\n') ++end;
            if (*end == '"') ++end;
            result.Append(p, static_cast<int>(end - p));
            p = end;
            continue;
        }
        if (*p == '\n') {
            result.Append(p, 1);
            ++p;
            line_start = true;
            continue;
        }
        bool preceded = p > text && IsWordCharacter(p[-1]);
        if (!preceded && std::strncmp(p, name, name_length) == 0 && !IsWordCharacter(p[name_length])) {
            result.Append(replacement.c_str(), replacement_length);
            p += name_length;
            continue;
        }
        // Copy the rest of a word at once so that its inside is never matched.
        const char* end = p + 1;
        if (IsWordCharacter(*p)) {
            while (IsWordCharacter(*end)) ++end;
        }
        result.Append(p, static_cast<int>(end - p));
        p = end;
    }
    return nString(result.c_str());
}

// A name that can only match a whole word, and a replacement that reads the
// same in the text as alone: no line break, nothing at its start that could
// make its line a file instruction ("@", or blanks before what follows it),
// and every quote closed within it.
bool IsPlainName(const char* name) {
    if (!*name) return false;
    for (; *name; ++name)
        if (!IsWordCharacter(*name)) return false;
    return true;
}

bool IsSelfContainedReplacement(const nString& text) {
    const char* c = text.c_str();
    if (*c == '\0' || *c == '@' || *c == ' ' || *c == '\t') return false;
    bool quoted = false;
    for (; *c; ++c) {
        if (*c == '\n') return false;
        if (*c == '"') quoted = !quoted;
    }
    return !quoted;
}

}  // namespace

nString FormatFloatLiteral(float value) {
    if (std::isnan(value)) return nString("(0.0/0.0)");
    // 1e39 is beyond the float range, so it reads back as infinity.
    if (std::isinf(value)) return nString(value > 0 ? "1e39" : "-1e39");
    char text[64];
    std::snprintf(text, sizeof text, "%f", value);
    if (std::strtof(text, nullptr) == value) return nString(text);
    for (int digits = 6; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::strtof(text, nullptr) == value) break;
    }
    // A float literal needs a point or an exponent: "1e-07" is one already.
    if (!std::strchr(text, '.') && !std::strchr(text, 'e')) std::strncat(text, ".0", sizeof text - std::strlen(text) - 1);
    return nString(text);
}

// The definitions are applied one after the other, each to the whole text
// that the ones before it left: a definition's replacement is open to the
// definitions after it, never to those before. SubstituteInPasses does just
// that. When every name is a plain word and every replacement is
// self-contained (see above), the same text comes out of one pass: each word
// is looked up among the definitions, and the replacement of the first
// definition i of its name is then expanded the same way by the definitions
// after i. Numbers, names and quoted strings always qualify; only a general
// constant may not, and then the passes run.
void Preprocessor::SubstituteIdentifiers() {
    if (definitions.Count() == 0) return;
    nArray<nString> replacements;
    for (int i = 0; i < definitions.Count(); ++i) replacements.InsertLast(ReplacementText(definitions[i]));
    output = CanSubstituteInOnePass(definitions, replacements)
                 ? SubstituteInOnePass(output.c_str(), definitions, replacements)
                 : SubstituteInPasses(output.c_str(), definitions, replacements);
}

bool Preprocessor::CanSubstituteInOnePass(const nArray<Definition>& definitions, const nArray<nString>& replacements) {
    for (int i = 0; i < definitions.Count(); ++i) {
        const char* name = definitions[i].name.c_str();
        if (*name && (!IsPlainName(name) || !IsSelfContainedReplacement(replacements[i]))) return false;
    }
    return true;
}

nString Preprocessor::SubstituteInPasses(const char* text, const nArray<Definition>& definitions,
                                         const nArray<nString>& replacements) {
    nString result(text);
    for (int i = 0; i < definitions.Count(); ++i) {
        if (definitions[i].name.IsEmpty()) continue;
        result = ReplaceWholeWords(result.c_str(), definitions[i].name.c_str(), replacements[i]);
    }
    return result;
}

nString Preprocessor::SubstituteInOnePass(const char* text, const nArray<Definition>& definitions,
                                          const nArray<nString>& replacements) {
    // Each name's definitions, in order; a name may be defined more than once.
    NameIndex names;
    nArray<nArray<int> > indices_of_name;
    for (int i = 0; i < definitions.Count(); ++i) {
        const char* name = definitions[i].name.c_str();
        size_t length = strlen(name);
        int found = names.Find(NameIndex::Hash(name, length),
                               [&](int n) { return strcmp(definitions[indices_of_name[n][0]].name.c_str(), name) == 0; });
        if (found < 0) {
            indices_of_name.InsertLast(nArray<int>());
            found = indices_of_name.Count() - 1;
            names.Insert(NameIndex::Hash(name, length), found);
        }
        indices_of_name[found].InsertLast(i);
    }
    // The first definition at or after `first` of the word, or -1.
    auto find = [&](const char* word, size_t length, int first) {
        int n = names.Find(NameIndex::Hash(word, length), [&](int candidate) {
            const char* name = definitions[indices_of_name[candidate][0]].name.c_str();
            return strncmp(name, word, length) == 0 && name[length] == '\0';
        });
        if (n < 0) return -1;
        const nArray<int>& indices = indices_of_name[n];
        int low = 0, high = indices.Count();
        while (low < high) {
            int middle = (low + high) / 2;
            if (indices[middle] < first)
                low = middle + 1;
            else
                high = middle;
        }
        return low < indices.Count() ? indices[low] : -1;
    };

    // Texts being read, innermost last: the source, then the replacements
    // being expanded inside it, each with the first definition open to it.
    struct Reading {
        const char* p;
        int first;
        bool line_start;
    };
    nArray<Reading> stack;
    stack.InsertLast(Reading{text, 0, true});
    TextBuffer result;
    while (stack.Count() > 0) {
        Reading& reading = stack[stack.Count() - 1];
        const char* p = reading.p;
        if (!*p) {
            --stack.count;
            continue;
        }
        const char* end = p + 1;
        bool line_start = *p == '\n';
        if (reading.line_start && IsFileInstructionLine(p)) {
            const char* line_end = strchr(p, '\n');
            end = line_end ? line_end + 1 : p + strlen(p);
            line_start = true;
        } else if (*p == '"') {
            while (*end && *end != '"' && *end != '\n') ++end;
            if (*end == '"') ++end;
        } else if (IsWordCharacter(*p)) {
            while (IsWordCharacter(*end)) ++end;
            int index = find(p, static_cast<size_t>(end - p), reading.first);
            if (index >= 0) {
                reading.p = end;
                reading.line_start = false;
                stack.InsertLast(Reading{replacements[index].c_str(), index + 1, true});
                continue;
            }
        }
        reading.line_start = line_start;
        result.Append(p, static_cast<size_t>(end - p));
        reading.p = end;
    }
    return nString(result.c_str());
}


}  // namespace ShaderTool
