// The shader preprocessor: runs the define, if, elif, else, endif and include
// directives of one shader source for one target and substitutes every
// defined name in the kept text. The output has one line per input line, so
// the parser's line numbers stay those of the source; included text is framed
// by file instruction lines ("@f \"name\" line").
#pragma once

#include <cstdint>

#include "engine/base/narray.h"
#include "engine/base/nstring.h"
#include "shadertool/frontend/log.h"
#include "shadertool/frontend/name_index.h"
#include "shadertool/frontend/preprocessor_tokenizer.h"
#include "shadertool/frontend/shader_info.h"
#include "shadertool/frontend/text_buffer.h"
#include "shadertool/frontend/token.h"

namespace ShaderTool {

// A text of at most 127 characters, held inline so that grammar values stay
// plain data.
struct String {
    enum { kMaximumLength = 127 };
    int length;
    char text[kMaximumLength + 1];
};

// Copies at most 127 characters of text (length < 0: the whole text) into
// out. False when the text had to be cut.
bool SetString(String& out, const char* text, int length = -1);

// The value of a definition or of an expression.
struct Constant {
    enum Kind : int { FLOAT = 0, INT = 1, STRING = 2 };
    // Why an evaluation failed; reported by ValidateOperationResult.
    enum Fault : int { NO_FAULT = 0, NOT_NUMERIC, DIVISION_BY_ZERO, DIVISION_OVERFLOW };

    int kind;
    int int_value;
    float float_value;
    String string_value;
    SourceLocation location;
    int fault;
};

// A call of a function-like macro: the name, the number of arguments and the
// first two of them.
struct FunctionCall {
    String name;
    int argument_count;
    Constant arguments[2];
    SourceLocation location;
};

struct Definition {
    nString name;
    Constant value;
    bool is_string_literal = false;
    bool is_target_dependent = false;
};

// Semantic value of the directive grammar's symbols. The token and the call
// stay in the preprocessor's stores for the whole source, so that a value
// stays small: Bison copies values at every shift and reduction.
struct PreprocessorValue {
    TokenReference token;
    Constant expression;
    FunctionCall* call;
};

enum class PreprocessorOperation {
    NEGATE,
    LOGICAL_NOT,
    MULTIPLY,
    DIVIDE,
    ADD,
    SUBTRACT,
    LESS,
    GREATER,
    LESS_EQUAL,
    GREATER_EQUAL,
    EQUAL,
    NOT_EQUAL,
    LOGICAL_AND,
    LOGICAL_OR,
};

class Preprocessor {
public:
    enum {
        kMaximumIfDepth = 7,
        // A file that includes itself would expand without end.
        kMaximumIncludeDepth = 16,
        // Bounds on the includes of one source, however shallow.
        kMaximumIncludeCount = 1024,
        kMaximumIncludedLength = 16 * 1024 * 1024,
    };

    explicit Preprocessor(Log& log);
    ~Preprocessor();
    Preprocessor(const Preprocessor&) = delete;
    Preprocessor& operator=(const Preprocessor&) = delete;

    // Preprocesses source for one target (a single ShaderTarget bit).
    // extra_definitions holds -d pairs: name at even, value at odd indexes.
    // With list_definitions only the definitions are written to the log.
    bool Process(const ShaderInfo& info, int target, const ShaderSource& source,
                 const nArray<nString>& extra_definitions, bool list_definitions);
    void Reset();

    const nString& GetOutput() const { return output; }
    bool IsSuccessful() const { return success; }
    bool IsTargetDependent() const { return target_dependent; }
    uint32_t GetNewestSourceTime() const { return newest_source_time; }
    void SetTrackSourceTimes(bool track) { track_source_times = track; }
    // While the sources of one Shader XML are processed, each file's time
    // is looked up once, not once for every source that names or includes
    // it; the Shader XML's own time (read with it) is known from the start.
    void BeginFileTimes(const char* shader_xml_path, uint32_t time);
    // Looks every file up again from now on.
    void ForgetFileTimes();
    const nArray<Definition>& GetDefinitions() const { return definitions; }

    // --- Called by the directive grammar.
    void ReadNextToken(Token& token);
    void ReportParseError(const char* message);

    static Constant MakeInt(int value, const SourceLocation& location);
    static Constant MakeFloat(double value, const SourceLocation& location);
    // The value of an integer literal as atoi reads it, wrapped to 32 bits.
    static Constant MakeIntFromText(const Token& token);
    Constant MakeName(const Token& token);
    Constant MakeStringLiteral(const Token& token);
    FunctionCall MakeFunctionCall(const Token& name);
    // A copy of the call in the store of the current source.
    FunctionCall* KeepFunctionCall(const FunctionCall& call);
    // A token in the store of the current source.
    Token& NewToken() { return tokens.New(); }

    void AddDefinition(const Token& name, const Constant& value, bool is_string_literal);
    void If(const Constant& value, const SourceLocation& location);
    void ElseIf(const Constant& value, const SourceLocation& location);
    void Else(const SourceLocation& location);
    void EndIf(const SourceLocation& location);
    void Include(const String& path, const SourceLocation& location);
    void Include(const Constant& name, const SourceLocation& location);
    Constant GetConstantAsExpression(const Constant& constant);
    Constant EvaluateFunctionCall(const FunctionCall& call);
    void AddFunctionCallArgument(FunctionCall& call, const Constant& argument);
    Constant EvaluateDefined(const Token& name, const SourceLocation& location);
    Constant EvaluateUnary(PreprocessorOperation operation, const Constant& operand,
                           const SourceLocation& location);
    Constant EvaluateBinary(PreprocessorOperation operation, const Constant& left, const Constant& right,
                            const SourceLocation& location);
    void ProcessNonPreprocessorLine();
    void ValidateOperationResult(Constant& result, const SourceLocation& location);

    // --- Look-up and definition helpers.
    int GetDefinitionIndex(const String& name) const;
    int GetDefinitionIndex(const char* name) const;
    // Follows a name through the definitions to a number or string literal;
    // an undefined name gives the int 0.
    Constant GetDefinition(const Constant& constant);
    static bool ValidateDefinitionIdentifier(const char* text, int length);
    static bool ParseDefinitionValueString(const char* text, bool& is_string_literal);
    // Every definition applied to text in order, each to what the ones
    // before it left, with replacements[i] for definition i. Both give the
    // same text where CanSubstituteInOnePass holds (see
    // SubstituteIdentifiers).
    static bool CanSubstituteInOnePass(const nArray<Definition>& definitions, const nArray<nString>& replacements);
    static nString SubstituteInPasses(const char* text, const nArray<Definition>& definitions,
                                      const nArray<nString>& replacements);
    static nString SubstituteInOnePass(const char* text, const nArray<Definition>& definitions,
                                       const nArray<nString>& replacements);

private:
    void Initialize(const ShaderInfo& info, const ShaderSource& source);
    void AddPredefinitions(int target);
    void AddAdditionalDefinitions(const nArray<nString>& extra_definitions);
    bool AddAdditionalDefinition(const char* name, const char* value);
    void AddGeneralConstantAsDefinition(const ShaderConstant& constant);
    void AppendDefinition(const char* name, const Constant& value, bool is_string_literal, bool target_dependent);
    void InitializeDefinitions();
    void OutputDefinitions();
    void SubstituteIdentifiers();
    void ValidateNesting();
    bool DoesNameExistInShaderInfoArray(const String& array, const String& name, const SourceLocation& location);
    void IncludeFile(const char* path, const SourceLocation& location);
    int GetIncludeDepth();
    void UpdateSourceModifiedTime(const char* path);
    void AppendOutput(const char* text, int length);
    bool IsActive() const { return if_states[if_depth] == 1; }
    bool IsEnclosingActive() const { return if_depth == 0 || if_states[if_depth - 1] == 1; }
    void ReportError(const SourceLocation& location, const char* format, ...) __attribute__((format(printf, 3, 4)));

    const ShaderInfo* info = nullptr;
    nArray<Definition> definitions;
    NameIndex definition_index;  // each name's first definition
    Log& log;
    nString output;
    // The output while the source is read; nString would copy on every line.
    TextBuffer output_text;
    PreprocessorTokenizer tokenizer;
    int predefinition_count = 0;
    int if_depth = 0;
    int if_states[kMaximumIfDepth + 1] = {1};
    uint32_t newest_source_time = 0;
    bool target_dependent = false;
    bool success = true;
    bool track_source_times = false;
    // The times looked up since BeginFileTimes (time 0: the look-up failed).
    struct FileTime {
        nString path;
        uint32_t time;
    };
    nArray<FileTime> file_times;
    bool keep_file_times = false;
    TokenStore tokens;
    nArray<FunctionCall*> calls;  // owned; the first calls_used are in use
    int calls_used = 0;
    // Stream positions where the back instruction of each open include
    // begins, innermost last; gives the include depth at a directive.
    nArray<int> include_ends;
    int include_count = 0;
    int included_length = 0;
    nString directive_file_name;  // file of the directive being read
};

// A float written so that it reads back as the same value and tokenizes as a
// float literal: "%f" when that is exact (0.5 gives "0.500000"), else the
// shortest exact form.
nString FormatFloatLiteral(float value);

// Reads a whole file through the file-system table. 0 on success, 1 when it
// does not exist or cannot be opened, 2 when it is not a regular file or
// fewer bytes than its size arrive. With a log, a
// source file is also checked for NUL bytes, which would silently end its
// text: one is reported there, and the result is 2.
int ReadWholeTextFile(const char* path, nString& text, Log* source_log = nullptr);
// The same for the raw bytes: `bytes` gets them and a terminating NUL.
int ReadWholeFile(const char* path, nArray<char>& bytes);

}  // namespace ShaderTool

// Removes every "component/.." pair, repeatedly from the start, until none
// is left: "a/b/../c" gives "a/c"; a leading "../" stays.
nString ZK_CollapsePathRelations(const char* path);
