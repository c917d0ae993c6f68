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

// Where the pieces of text that are copied whole end: a line (through its
// line break), a quoted text (through its closing quote, or up to the end
// of its line when it has none) and a word.
const char* EndOfLine(const char* p) {
    const char* end = std::strchr(p, '\n');
    return end ? end + 1 : p + std::strlen(p);
}

const char* EndOfQuotedText(const char* quote) {
    const char* end = quote + 1;
    while (*end && *end != '"' && *end != '\n') ++end;
    return *end == '"' ? end + 1 : end;
}

const char* EndOfWord(const char* word) {
    const char* end = word + 1;
    while (IsWordCharacter(*end)) ++end;
    return end;
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
            const char* end = EndOfLine(p);
            result.Append(p, static_cast<size_t>(end - p));
            p = end;
            continue;
        }
        line_start = false;
        if (*p == '"') {
            const char* end = EndOfQuotedText(p);
            result.Append(p, static_cast<size_t>(end - p));
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
        const char* end = IsWordCharacter(*p) ? EndOfWord(p) : p + 1;
        result.Append(p, static_cast<size_t>(end - p));
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

// The position of the first of the ascending values that is at or after
// `first`; values.Count() when none is.
int FirstAtOrAfter(const nArray<int>& values, int first) {
    int low = 0, high = values.Count();
    while (low < high) {
        int middle = (low + high) / 2;
        if (values[middle] < first)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// Each name's definitions, in order: a name may be defined more than once,
// and a word takes the first definition of its name that is open to it.
class DefinitionsByName {
public:
    explicit DefinitionsByName(const nArray<Definition>& definitions);
    DefinitionsByName(const DefinitionsByName&) = delete;
    DefinitionsByName& operator=(const DefinitionsByName&) = delete;

    // The first definition at or after `first` whose name is the word, or -1.
    int FindFrom(const char* word, size_t length, int first) const;

private:
    // The entry of the name the word spells, or -1.
    int FindName(const char* word, size_t length) const;

    const nArray<Definition>& definitions;
    NameIndex names;                       // each name's entry
    nArray<nArray<int> > indices_of_name;  // each entry's definitions, ascending
};

DefinitionsByName::DefinitionsByName(const nArray<Definition>& all) : definitions(all) {
    for (int i = 0; i < definitions.Count(); ++i) {
        const char* name = definitions[i].name.c_str();
        size_t length = std::strlen(name);
        int found = FindName(name, length);
        if (found < 0) {
            indices_of_name.InsertLast(nArray<int>());
            found = indices_of_name.Count() - 1;
            names.Insert(NameIndex::Hash(name, length), found);
        }
        indices_of_name[found].InsertLast(i);
    }
}

int DefinitionsByName::FindName(const char* word, size_t length) const {
    return names.Find(NameIndex::Hash(word, length), [&](int entry) {
        const char* name = definitions[indices_of_name[entry][0]].name.c_str();
        return std::strncmp(name, word, length) == 0 && name[length] == '\0';
    });
}

int DefinitionsByName::FindFrom(const char* word, size_t length, int first) const {
    int entry = FindName(word, length);
    if (entry < 0) return -1;
    const nArray<int>& indices = indices_of_name[entry];
    int at = FirstAtOrAfter(indices, first);
    return at < indices.Count() ? indices[at] : -1;
}

// A text being read in one pass: the source, or a replacement being
// expanded inside it, with the first definition open to it (a replacement
// is open only to the definitions after its own).
struct Reading {
    const char* p;
    int first;
    bool line_start;
};

// Copies the next piece of the text to result and steps over it, unless it
// is a word that a definition open to the text names: then only the word
// is stepped over, and the definition, whose replacement is to be read in
// its place, is the answer. -1 when the piece was copied.
int CopyNextPiece(Reading& reading, const DefinitionsByName& by_name, TextBuffer& result) {
    const char* p = reading.p;
    const char* end = p + 1;
    bool line_start = *p == '\n';
    if (reading.line_start && IsFileInstructionLine(p)) {
        end = EndOfLine(p);
        line_start = true;
    } else if (*p == '"') {
        end = EndOfQuotedText(p);
    } else if (IsWordCharacter(*p)) {
        end = EndOfWord(p);
        int index = by_name.FindFrom(p, static_cast<size_t>(end - p), reading.first);
        if (index >= 0) {
            reading.p = end;
            reading.line_start = false;
            return index;
        }
    }
    reading.line_start = line_start;
    result.Append(p, static_cast<size_t>(end - p));
    reading.p = end;
    return -1;
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
    DefinitionsByName by_name(definitions);
    // Texts being read, innermost last: the source, then the replacements
    // being expanded inside it.
    nArray<Reading> stack;
    stack.InsertLast(Reading{text, 0, true});
    TextBuffer result;
    while (stack.Count() > 0) {
        Reading& reading = stack[stack.Count() - 1];
        if (!*reading.p) {
            --stack.count;
            continue;
        }
        int index = CopyNextPiece(reading, by_name, result);
        if (index >= 0) stack.InsertLast(Reading{replacements[index].c_str(), index + 1, true});
    }
    return nString(result.c_str());
}

}  // namespace ShaderTool
