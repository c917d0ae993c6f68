#include "shadertool/frontend/preprocessor.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "shadertool/frontend/name_index.h"
#include "shadertool/frontend/pp_grammar.hpp"
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

Preprocessor::Preprocessor(Log& log_) : log(log_), tokenizer(log_) {
    InitializeDefinitions();
}

Preprocessor::~Preprocessor() {
    for (int i = 0; i < calls.count; ++i) delete calls[i];
}

void Preprocessor::Reset() {
    tokens.Clear();
    calls_used = 0;
    definitions.count = predefinition_count;
    definition_index.Clear();
    for (int i = 0; i < definitions.Count(); ++i) {
        const char* name = definitions[i].name.c_str();
        if (GetDefinitionIndex(name) < 0) definition_index.Insert(NameIndex::Hash(name, strlen(name)), i);
    }
    output = "";
    output_text.Clear();
    directive_file_name = "";
    tokenizer.Reset();
    if_depth = 0;
    std::memset(if_states, 0, sizeof if_states);
    if_states[0] = 1;
    target_dependent = false;
    success = true;
    include_ends.count = 0;
    include_count = 0;
    included_length = 0;
}

void Preprocessor::Initialize(const ShaderInfo& shader_info, const ShaderSource& source) {
    Reset();
    info = &shader_info;
    tokenizer.Initialize(source, true);
    newest_source_time = 0;
    if (track_source_times) {
        newest_source_time = shader_info.time_modified;
        UpdateSourceModifiedTime(source.file.c_str());
    }
}

bool Preprocessor::Process(const ShaderInfo& shader_info, int target, const ShaderSource& source,
                           const nArray<nString>& extra_definitions, bool list_definitions) {
    Initialize(shader_info, source);
    AddPredefinitions(target);
    AddAdditionalDefinitions(extra_definitions);
    if (list_definitions) {
        OutputDefinitions();
        return true;
    }
    int parse_result = ppyyparse(this);
    output = output_text.c_str();
    output_text.Clear();
    if (parse_result != 0) {
        success = false;
        return false;
    }
    if (!success) return false;
    ValidateNesting();
    SubstituteIdentifiers();
    return success;
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

void Preprocessor::ValidateNesting() {
    if (if_depth > 0) ReportParseError("expected endif directive.");
}

// ---------------------------------------------------------------------------
// Grammar services

void Preprocessor::ReadNextToken(Token& token) {
    tokenizer.TokenizeNextInput(token);
    // A directive is reduced only once the next line's first token is read,
    // which may be the file instruction that ends an included file; its
    // messages still name the file the directive stands in.
    if (token.type == Token::TK_HASH) directive_file_name = tokenizer.GetFileName();
}

void Preprocessor::ReportParseError(const char* message) {
    log.AddLocatedError(tokenizer.GetFileName(), tokenizer.GetLocation().line, tokenizer.GetLocation().column, "%s",
                        message);
    success = false;
}

void Preprocessor::ReportError(const SourceLocation& location, const char* format, ...) {
    char message[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    log.AddLocatedError(directive_file_name.c_str(), location.line, location.column, "%s", message);
    success = false;
}

// ---------------------------------------------------------------------------
// Directives

void Preprocessor::AddDefinition(const Token& name, const Constant& value, bool is_string_literal) {
    AppendOutput("\n", 1);
    if (!IsActive()) return;
    if (name.text[0] == '_') {
        ReportError(name.location, "identifiers must not start with an underscore.");
        return;
    }
    if (GetDefinitionIndex(name.text) >= 0) {
        ReportError(name.location, "redefinition of '%s'.", name.text);
        return;
    }
    AppendDefinition(name.text, value, is_string_literal, false);
}

void Preprocessor::If(const Constant& value, const SourceLocation& location) {
    AppendOutput("\n", 1);
    if (if_depth >= kMaximumIfDepth) {
        ReportError(location, "too many nested if directives.");
        return;
    }
    bool enclosing_active = IsActive();
    ++if_depth;
    if (!IsNumeric(value)) {
        ReportError(location, "expression must be of numeric type.");
        if_states[if_depth] = 0;
        return;
    }
    if_states[if_depth] = enclosing_active && IsTrue(value) ? 1 : 0;
}

void Preprocessor::ElseIf(const Constant& value, const SourceLocation& location) {
    AppendOutput("\n", 1);
    if (if_depth == 0) {
        ReportError(location, "unexpected elif directive.");
        return;
    }
    bool numeric = IsNumeric(value);
    if (!numeric) ReportError(location, "expression must be of numeric type.");
    if (!IsEnclosingActive()) return;
    int& state = if_states[if_depth];
    if (state == 1) {
        state = 2;
    } else if (state == 0 && numeric && IsTrue(value)) {
        state = 1;
    }
}

void Preprocessor::Else(const SourceLocation& location) {
    AppendOutput("\n", 1);
    if (if_depth == 0) {
        ReportError(location, "unexpected else directive.");
        return;
    }
    if (!IsEnclosingActive()) return;
    int& state = if_states[if_depth];
    state = state == 0 ? 1 : 2;
}

void Preprocessor::EndIf(const SourceLocation& location) {
    AppendOutput("\n", 1);
    if (if_depth == 0) {
        ReportError(location, "unexpected endif directive.");
        return;
    }
    if_states[if_depth] = 0;
    --if_depth;
}

void Preprocessor::Include(const Constant& name, const SourceLocation& location) {
    if (!IsActive()) {
        AppendOutput("\n", 1);
        return;
    }
    Constant value = GetDefinition(name);
    if (value.kind != Constant::STRING) {
        ReportError(location, "expression must evaluate to a string literal.");
        // Nothing is inserted, so the directive keeps its own output line.
        AppendOutput("\n", 1);
        return;
    }
    Include(value.string_value, location);
}

void Preprocessor::Include(const String& path, const SourceLocation& location) {
    if (!IsActive()) {
        // An include that is not executed still stands for one output line.
        AppendOutput("\n", 1);
        return;
    }
    if (GetIncludeDepth() >= kMaximumIncludeDepth) {
        ReportError(location, "includes are nested too deeply (maximum is %i).", static_cast<int>(kMaximumIncludeDepth));
        AppendOutput("\n", 1);
        return;
    }
    // Depth alone does not bound the work: a file that includes the next one
    // twice, sixteen deep, makes 65536 includes.
    if (include_count >= kMaximumIncludeCount) {
        ReportError(location, "too many includes (maximum is %i).", static_cast<int>(kMaximumIncludeCount));
        AppendOutput("\n", 1);
        return;
    }
    nString directory(tokenizer.GetFileName());
    const char* slash = std::strrchr(directory.c_str(), '/');
    directory = slash ? directory.Substring(0, static_cast<int>(slash - directory.c_str()) + 1) : nString("");
    directory.Append(path.text);
    IncludeFile(ZK_CollapsePathRelations(directory.c_str()).c_str(), location);
}

void Preprocessor::AppendOutput(const char* text, int length) {
    if (length > 0) output_text.Append(text, static_cast<size_t>(length));
}

void Preprocessor::ProcessNonPreprocessorLine() {
    int length = 0;
    const char* line = tokenizer.GetStream().PeekLine(length);
    // File instruction lines keep the parser's file and line numbering right
    // even where a conditional section does not close in the file it opened in.
    if (!IsActive() && !IsFileInstructionLine(line)) {
        AppendOutput("\n", 1);
        return;
    }
    AppendOutput(line, length);
}

}  // namespace ShaderTool
