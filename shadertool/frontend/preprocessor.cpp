// One pass over a source: its start, the tokens and messages of the
// directive grammar, and the directives, which keep the stack of if
// sections and write one output line for every line read. The definition
// table, the expressions, the substitution and the files are stages of
// their own, each in a file named after it.
#include "shadertool/frontend/preprocessor.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "shadertool/frontend/pp_grammar.hpp"
#include "shadertool/frontend/preprocessor_internal.h"

namespace ShaderTool {

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
