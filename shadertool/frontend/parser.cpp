#include "shadertool/frontend/parser.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstdarg>
#include <cstring>

namespace ShaderTool {

// ---- Lifecycle. ----

Parser::Parser(Log& parser_log)
    : log(parser_log), tokenizer(parser_log), semantics(parser_log, node_list, &tokenizer) {}

Parser::~Parser() {
    // The tree goes first; the tables hold pointers into it.
    DestroyNodes();
}

void Parser::DestroyNodes() {
    node_list.DestroyAll();
    root = nullptr;
}

void Parser::RemoveAndDestroyNode(ParserNode* node) {
    if (node == root) root = nullptr;
    node_list.RemoveAndDestroy(node);
}

void Parser::Reset() {
    DestroyNodes();
    tokens.Clear();
    semantics.Reset();
    tokenizer.Reset();
}

void Parser::Initialize(const ShaderSource& source) {
    Reset();
    semantics.Initialize(source.type);
    Tokenizer::InitializeZKSLKeywordMap();
    tokenizer.SetSource(source.file.c_str(), source.code, source.line);
    node_list.SetFile(tokenizer.GetFileName());
    current_location = SourceLocation{1, source.line};
}

bool Parser::Parse(const ShaderInfo& info, const ShaderSource& source) {
    Initialize(source);
    InitializeStructuresAndVariables(info);
    if (yyparse(this) != 0) {
        semantics.valid = false;
        return false;
    }
    CheckFunctionDefinitions();
    CheckFunctionRecursion();
    CheckOutputsNotSet();
    return IsValid();
}

void Parser::InitializeStructuresAndVariables(const ShaderInfo& info) {
    semantics.InitializeStructuresAndVariables(info);
}

void Parser::CheckFunctionDefinitions() {
    semantics.CheckFunctionDefinitions();
}

void Parser::CheckFunctionRecursion() {
    semantics.CheckFunctionRecursion();
}

void Parser::CheckOutputsNotSet() {
    semantics.CheckOutputsNotSet();
}

void Parser::ReportError(const SourceLocation& location, const char* format, ...) {
    va_list args;
    va_start(args, format);
    char buffer[512];
    char* text = nStringFormatDynamic(buffer, sizeof buffer, format, args);
    va_end(args);
    log.AddLocatedError(tokenizer.GetFileName(), location.line, location.column, "%s", text);
    if (text != buffer) delete[] text;
    semantics.valid = false;
}

// ---- Lexer adapter. ----

// Token kinds the grammar has a terminal for; everything else (string
// literals, "#", preprocessor kinds, the unset kind, stray characters and
// bytes outside the language) reaches the grammar as an invalid token.
static bool IsGrammarTerminal(int type) {
    if (type >= Token::TK_BOOL && type <= Token::TK_WHILE) return true;
    if (type >= Token::TK_BOOL_CONSTANT && type <= Token::TK_INT_CONSTANT) return true;
    if (type >= Token::TK_AMPERSAND && type <= Token::TK_ASSIGN_XOR) return true;
    if (type >= Token::TK_ASTERISK && type <= Token::TK_RIGHT_PARENTHESIS) return type != Token::TK_HASH;
    return type == Token::TK_RESERVED;
}

int Parser::ReadToken(ParserValue* value) {
    memset(static_cast<void*>(value), 0, sizeof *value);
    Token& token = tokens.New();
    token.type = Token::TK_UNSET;
    tokenizer.TokenizeNextInput(token);
    value->token.token = &token;
    current_location = token.location;
    // Included code names its own file.
    node_list.SetFile(tokenizer.GetFileName());
    int type = token.type;
    if (type == Token::TK_END) return 0;
    return IsGrammarTerminal(type) ? type : -1;
}

void Parser::ReportSyntaxError(const char* message) {
    ReportError(current_location, "%s", message);
}

// ---- Nesting. ----

void Parser::Nest(ParserNode* node, const ParserNode* child) {
    if (!node || !child || child->depth + 1 <= node->depth) return;
    node->depth = child->depth + 1;
    if (node->depth != kMaximumNestingDepth + 1) return;
    // Lists carry no place of their own; the token being read stands near.
    bool placed = node->location.line > 0;
    ReportError(placed ? node->location : current_location, "expression is nested too deeply.");
}

// ---- Expressions. ----

static TypedNode* AsTyped(ParserNode* node) {
    return node && IsTypedNode(node) ? static_cast<TypedNode*>(node) : nullptr;
}

ParserNode* Parser::ReferToVariable(const Token& name) {
    return semantics.GetSymbolNode(name.text, name.location);
}

// Decimal, octal with a leading "0" and hexadecimal with "0x" alike: the
// targets take any literal whose bits fit 32, and no compiler takes more.
static bool FitsIn32Bits(const char* text) {
    errno = 0;
    unsigned long long value = strtoull(text, nullptr, 0);
    return errno != ERANGE && value <= 0xFFFFFFFFull;
}

ParserNode* Parser::MakeLiteral(BasicType basic, const Token& token) {
    if (basic == TYPE_INT && !FitsIn32Bits(token.text))
        ReportError(token.location, "integer literal '%s' does not fit in 32 bits.", token.text);
    return node_list.CreateLiteralNode(basic, token.text, token.location);
}

ParserNode* Parser::MakeParentheses(const Token& parenthesis, ParserNode* expression) {
    OperatorNode* node = node_list.CreateOperatorNode(OP_PARENTHESES, parenthesis.location);
    node->left = expression;
    if (TypedNode* inner = AsTyped(expression)) node->type = inner->type;
    Nest(node, expression);
    return node;
}

ParserNode* Parser::MakeSubscript(ParserNode* left, const Token& bracket, ParserNode* index) {
    OperatorNode* node = node_list.CreateOperatorNode(OP_SUBSCRIPT, bracket.location);
    semantics.EvaluateSubscriptOperationAndSetOperands(node, left, index);
    Nest(node, left);
    Nest(node, index);
    return node;
}

ParserNode* Parser::MakeMemberSelection(ParserNode* left, const Token& period, const Token& member) {
    OperatorNode* node = node_list.CreateOperatorNode(OP_SELECT, period.location);
    semantics.EvaluateMemberOperationAndSetOperands(node, left, member.text);
    Nest(node, left);
    return node;
}

ParserNode* Parser::MakeUnary(Operator op, const Token& at, ParserNode* operand) {
    OperatorNode* node = node_list.CreateOperatorNode(op, at.location);
    semantics.EvaluateGeneralOperationAndSetOperands(node, operand, nullptr);
    Nest(node, node->left ? node->left : operand);
    return node;
}

ParserNode* Parser::MakeBinary(Operator op, const Token& at, ParserNode* left, ParserNode* right) {
    OperatorNode* node = node_list.CreateOperatorNode(op, at.location);
    semantics.EvaluateGeneralOperationAndSetOperands(node, left, right);
    // The operands may have been replaced by conversions.
    const ParserNode* first = node->left ? node->left : left;
    if (!IsLeftChainStep(op, first))
        Nest(node, first);
    else if (first->depth > node->depth)
        node->depth = first->depth;
    Nest(node, node->right ? node->right : right);
    return node;
}

ParserNode* Parser::MakeConditional(ParserNode* condition, const Token& question, ParserNode* if_true,
                                    const Token& colon, ParserNode* if_false) {
    ParserNode* alternatives = MakeBinary(OP_ALTERNATIVES, colon, if_true, if_false);
    return MakeBinary(OP_CONDITIONAL, question, condition, alternatives);
}

// ---- Calls. ----

FunctionIdentifier Parser::IdentifyConstructor(const ParserType& type) {
    FunctionIdentifier identifier;
    memset(static_cast<void*>(&identifier), 0, sizeof identifier);
    identifier.is_constructor = true;
    identifier.name = "";
    identifier.type = type;
    return identifier;
}

FunctionIdentifier Parser::IdentifyFunction(const Token& name) {
    FunctionIdentifier identifier;
    memset(static_cast<void*>(&identifier), 0, sizeof identifier);
    size_t length = strlen(name.text);
    identifier.name = length <= FunctionIdentifier::kMaximumNameLength ? name.text : "";
    return identifier;
}

ParserNode* Parser::BeginFunctionCall(const FunctionIdentifier& identifier, const Token& name,
                                      const Token& parenthesis) {
    if (identifier.is_constructor || identifier.name[0] != '\0')
        return node_list.CreateFunctionCallNode(identifier, parenthesis.location);
    // Declarations keep names of all 128 characters, so calls do too.
    return node_list.CreateFunctionNode(ParserNode::FUNCTION_CALL_NODE, name.text, parenthesis.location);
}

static AggregateNode* ParameterList(ParserNode* function) {
    if (!function) return nullptr;
    if (function->node_type != ParserNode::FUNCTION_DEFINITION_NODE &&
        function->node_type != ParserNode::FUNCTION_CALL_NODE)
        return nullptr;
    FunctionNode* node = static_cast<FunctionNode*>(function);
    if (node->children.count < 1 || !node->children[0]) return nullptr;
    return static_cast<AggregateNode*>(node->children[0]);
}

ParserNode* Parser::AddArgument(ParserNode* call, ParserNode* argument) {
    if (AggregateNode* arguments = ParameterList(call)) arguments->children.InsertLast(argument);
    Nest(call, argument);
    return call;
}

ParserNode* Parser::FinishFunctionCall(ParserNode* call) {
    semantics.EvaluateFunctionCall(static_cast<FunctionNode*>(call));
    return call;
}

// ---- Functions. ----

ParserNode* Parser::BeginFunction(const ParserType& return_type, const Token& name) {
    FunctionNode* function =
        node_list.CreateFunctionNode(ParserNode::FUNCTION_DEFINITION_NODE, name.text, name.location);
    function->type = GetTypeFromParserType(return_type);
    semantics.CheckFunctionType(function, true);
    return function;
}

ParserNode* Parser::MakeParameter(const ParserType& type, const Token& name) {
    return node_list.CreateSymbolNode(GetTypeFromParserType(type), name);
}

ParserNode* Parser::MakeUnnamedParameter(const ParserType& type, const Token& type_word) {
    SymbolNode* parameter = node_list.CreateSymbolNode(GetTypeFromParserType(type), "");
    // Messages about the parameter point at its type word.
    parameter->location = type_word.location;
    return parameter;
}

ParserNode* Parser::QualifyParameter(const ParserType& qualifier, ParserNode* parameter) {
    SymbolNode* symbol = static_cast<SymbolNode*>(parameter);
    symbol->type.qualifier |= qualifier.qualifier;
    semantics.CheckFunctionType(symbol, false);
    return symbol;
}

ParserNode* Parser::AddParameter(ParserNode* function, ParserNode* parameter) {
    if (AggregateNode* parameters = ParameterList(function)) parameters->children.InsertLast(parameter);
    return function;
}

ParserNode* Parser::DeclarePrototype(ParserNode* prototype) {
    return semantics.AddFunction(static_cast<FunctionNode*>(prototype), false);
}

ParserNode* Parser::BeginFunctionDefinition(ParserNode* prototype) {
    FunctionNode* function = semantics.AddFunction(static_cast<FunctionNode*>(prototype), true);
    semantics.SetFunctionActive(function);
    return function;
}

ParserNode* Parser::FinishFunctionDefinition(ParserNode* function, ParserNode* body) {
    static_cast<FunctionNode*>(function)->children.InsertLast(body);
    Nest(function, body);
    semantics.ResetActiveFunction();
    CloseScope();
    return function;
}

// ---- Declarations. ----

// One declaration statement: a declaration list of the declared type holding
// the symbol, or with an initializer the "=" node.
ParserNode* Parser::StartDeclarationList(const Type& type, ParserNode* first) {
    AggregateNode* list = node_list.CreateSequenceNode(OP_DECLARATION_LIST);
    list->type = type;
    list->children.InsertLast(first);
    Nest(list, first);
    return list;
}

ParserNode* Parser::Declare(const ParserType& type, const Token& name) {
    Type declared = GetTypeFromParserType(type);
    return StartDeclarationList(declared,
                                semantics.DeclareVariable(declared, name.text, name.location, nullptr, name.location));
}

ParserNode* Parser::Declare(const ParserType& type, const Token& name, const Token& equal, ParserNode* initializer) {
    Type declared = GetTypeFromParserType(type);
    ParserNode* variable = semantics.DeclareVariable(declared, name.text, name.location, initializer, equal.location);
    Nest(variable, initializer);
    return StartDeclarationList(declared, variable);
}

ParserNode* Parser::DeclareArray(const ParserType& type, const Token& name, int size) {
    if (size == -1) ReportError(name.location, "array size is required when the initializer list is omitted.");
    if (size == 0) ReportError(name.location, "array size must be larger than 0.");
    ParserType sized = type;
    sized.array_size = size;
    return Declare(sized, name);
}

ParserNode* Parser::DeclareArray(const ParserType& type, const Token& name, int size, const Token& equal,
                                 ParserNode* list) {
    ParserType sized = type;
    sized.array_size = size;
    Type declared = GetTypeFromParserType(sized);
    // A refused size is reported; the variable is declared all the same.
    semantics.ParseArrayDeclaration(declared, static_cast<AggregateNode*>(list), name.location);
    ParserNode* variable = semantics.DeclareVariable(declared, name.text, name.location, list, equal.location);
    Nest(variable, list);
    return StartDeclarationList(declared, variable);
}

// A name after a comma takes the list's type but is never an array: the
// grammar has no array form there, and "float a[2], b;" makes b a float.
static Type TypeOfFurtherName(const AggregateNode* declarations) {
    Type type = declarations->type;
    type.array_size = 0;
    type.constant = false;
    return type;
}

ParserNode* Parser::ContinueDeclaration(ParserNode* list, const Token& name) {
    AggregateNode* declarations = static_cast<AggregateNode*>(list);
    ParserNode* variable =
        semantics.DeclareVariable(TypeOfFurtherName(declarations), name.text, name.location, nullptr, name.location);
    declarations->children.InsertLast(variable);
    Nest(list, variable);
    return list;
}

ParserNode* Parser::ContinueDeclaration(ParserNode* list, const Token& name, const Token& equal,
                                        ParserNode* initializer) {
    AggregateNode* declarations = static_cast<AggregateNode*>(list);
    ParserNode* variable =
        semantics.DeclareVariable(TypeOfFurtherName(declarations), name.text, name.location, initializer, equal.location);
    Nest(variable, initializer);
    declarations->children.InsertLast(variable);
    Nest(list, variable);
    return list;
}

static ParserType MakeParserType(BasicType basic, Operator constructor, int vector, int matrix,
                                 TextureKind kind) {
    ParserType type;
    type.basic_type = basic;
    type.constructor = constructor;
    type.texture_kind = kind;
    type.array_size = 0;
    type.vector_size = vector;
    type.matrix_size = matrix;
    type.qualifier = 0;
    return type;
}

ParserType Parser::TypeOfWord(const Token& word) {
    switch (word.type) {
        case Token::TK_FLOAT: return MakeParserType(TYPE_FLOAT, OP_CONSTRUCT_FLOAT, 1, 0, TEXTURE_NONE);
        case Token::TK_INT: return MakeParserType(TYPE_INT, OP_CONSTRUCT_INT, 1, 0, TEXTURE_NONE);
        case Token::TK_BOOL: return MakeParserType(TYPE_BOOL, OP_CONSTRUCT_BOOL, 1, 0, TEXTURE_NONE);
        case Token::TK_FLOAT2: return MakeParserType(TYPE_FLOAT, OP_CONSTRUCT_FLOAT2, 2, 0, TEXTURE_NONE);
        case Token::TK_FLOAT3: return MakeParserType(TYPE_FLOAT, OP_CONSTRUCT_FLOAT3, 3, 0, TEXTURE_NONE);
        case Token::TK_FLOAT4: return MakeParserType(TYPE_FLOAT, OP_CONSTRUCT_FLOAT4, 4, 0, TEXTURE_NONE);
        case Token::TK_INT2: return MakeParserType(TYPE_INT, OP_CONSTRUCT_INT2, 2, 0, TEXTURE_NONE);
        case Token::TK_INT3: return MakeParserType(TYPE_INT, OP_CONSTRUCT_INT3, 3, 0, TEXTURE_NONE);
        case Token::TK_INT4: return MakeParserType(TYPE_INT, OP_CONSTRUCT_INT4, 4, 0, TEXTURE_NONE);
        case Token::TK_FLOAT2X2: return MakeParserType(TYPE_FLOAT, OP_CONSTRUCT_FLOAT2X2, 0, 2, TEXTURE_NONE);
        case Token::TK_FLOAT3X3: return MakeParserType(TYPE_FLOAT, OP_CONSTRUCT_FLOAT3X3, 0, 3, TEXTURE_NONE);
        case Token::TK_FLOAT4X4: return MakeParserType(TYPE_FLOAT, OP_CONSTRUCT_FLOAT4X4, 0, 4, TEXTURE_NONE);
        case Token::TK_TEXTURE2D: return MakeParserType(TYPE_TEXTURE, OP_NO_CONSTRUCTOR, 0, 0, TEXTURE_2D);
        case Token::TK_TEXTURE3D: return MakeParserType(TYPE_TEXTURE, OP_NO_CONSTRUCTOR, 0, 0, TEXTURE_3D);
        case Token::TK_TEXTURECUBE: return MakeParserType(TYPE_TEXTURE, OP_NO_CONSTRUCTOR, 0, 0, TEXTURE_CUBE);
        default: return MakeParserType(TYPE_VOID, OP_NO_CONSTRUCTOR, 1, 0, TEXTURE_NONE);
    }
}

ParserType Parser::QualifyType(const ParserType& qualifier, const ParserType& type) {
    ParserType qualified = type;
    qualified.qualifier = qualifier.qualifier;
    return qualified;
}

ParserType Parser::ConstQualifier() {
    ParserType qualifier = NoQualifier();
    qualifier.qualifier = QUALIFIER_CONST;
    return qualifier;
}

ParserType Parser::NoQualifier() {
    return MakeParserType(TYPE_NONE, OP_NO_CONSTRUCTOR, 0, 0, TEXTURE_NONE);
}

// The leading decimal digits of the token: "010" is 10, and "0x8" is 0
// because only its "0" is read. Sizes beyond the int range stay at INT_MAX.
int Parser::ReadArraySize(const Token& number) {
    long long size = 0;
    for (const char* c = number.text; *c >= '0' && *c <= '9'; ++c) {
        size = size * 10 + (*c - '0');
        if (size > INT_MAX) return INT_MAX;
    }
    return static_cast<int>(size);
}

// ---- Lists and statements. ----

ParserNode* Parser::StartList(ParserNode* item) {
    AggregateNode* list = node_list.CreateSequenceNode(OP_LIST);
    list->children.InsertLast(item);
    Nest(list, item);
    return list;
}

ParserNode* Parser::AppendToList(ParserNode* list, ParserNode* item) {
    static_cast<AggregateNode*>(list)->children.InsertLast(item);
    Nest(list, item);
    return list;
}

ParserNode* Parser::StartStatementList(ParserNode* statement) {
    AggregateNode* list = node_list.CreateSequenceNode(OP_LIST);
    return AppendToStatementList(list, statement);
}

ParserNode* Parser::AppendToStatementList(ParserNode* list, ParserNode* statement) {
    // Empty statements and empty braces leave no node.
    if (statement) static_cast<AggregateNode*>(list)->children.InsertLast(statement);
    Nest(list, statement);
    return list;
}

ParserNode* Parser::MarkScoped(ParserNode* list) {
    static_cast<AggregateNode*>(list)->scoped = true;
    return list;
}

ParserNode* Parser::MakeEmptyBlock() {
    return MarkScoped(node_list.CreateSequenceNode(OP_LIST));
}

static bool IsFunctionPrototype(const ParserNode* node) {
    return node && node->node_type == ParserNode::FUNCTION_DEFINITION_NODE;
}

ParserNode* Parser::MakeDeclarationStatement(ParserNode* declaration) {
    if (!IsFunctionPrototype(declaration)) return declaration;
    ReportError(declaration->location, "local function declarations are not allowed.");
    return nullptr;
}

ParserNode* Parser::DropPrototype(ParserNode* declaration) {
    // A prototype lives on in the function table, not in the tree.
    return IsFunctionPrototype(declaration) ? nullptr : declaration;
}

ParserNodePair Parser::MakePair(ParserNode* first, ParserNode* second) {
    ParserNodePair pair;
    pair.then_branch = first;
    pair.else_branch = second;
    return pair;
}

ParserNode* Parser::CheckCondition(ParserNode* condition) {
    semantics.CheckForBooleanExpression(condition);
    return condition;
}

ParserNode* Parser::MakeSelection(ParserNode* condition, const ParserNodePair& branches) {
    semantics.CheckForBooleanExpression(condition);
    SelectionNode* selection = node_list.CreateSelectionNode(condition, branches);
    Nest(selection, condition);
    Nest(selection, selection->then_branch);
    Nest(selection, selection->else_branch);
    return selection;
}

ParserNode* Parser::NestLoop(IterationNode* loop) {
    Nest(loop, loop->initializer);
    Nest(loop, loop->condition);
    Nest(loop, loop->increment);
    Nest(loop, loop->body);
    return loop;
}

ParserNode* Parser::MakeWhile(ParserNode* condition, ParserNode* body) {
    semantics.CheckForBooleanExpression(condition);
    return NestLoop(node_list.CreateIterationNode(IterationNode::WHILE, nullptr, condition, nullptr, body));
}

ParserNode* Parser::MakeDoWhile(ParserNode* body, ParserNode* condition) {
    semantics.CheckForBooleanExpression(condition);
    return NestLoop(node_list.CreateIterationNode(IterationNode::DO_WHILE, nullptr, condition, nullptr, body));
}

ParserNode* Parser::MakeFor(ParserNode* initializer, const ParserNodePair& condition_and_increment,
                            ParserNode* body) {
    return NestLoop(node_list.CreateIterationNode(IterationNode::FOR, initializer, condition_and_increment.then_branch,
                                                  condition_and_increment.else_branch, body));
}

ParserNode* Parser::MakeJump(Operator op, const Token& keyword, ParserNode* operand) {
    return node_list.CreateJumpNode(op, operand, keyword.location);
}

ParserNode* Parser::MakeReturn(const Token& keyword, ParserNode* value) {
    JumpNode* jump = node_list.CreateJumpNode(OP_RETURN, value, keyword.location);
    Nest(jump, value);
    semantics.ValidateReturn(jump);
    return jump;
}

ParserNode* Parser::MakeDiscard(const Token& keyword) {
    semantics.CheckForShaderType(PIXEL_SHADER, keyword.location);
    return node_list.CreateJumpNode(OP_DISCARD, nullptr, keyword.location);
}

void Parser::OpenScope() {
    semantics.PushSymbolTableFrame();
}

void Parser::CloseScope() {
    semantics.PopSymbolTableFrame();
}

ParserNode* Parser::AddExternalDeclaration(ParserNode* declaration) {
    if (!root) root = node_list.CreateSequenceNode(OP_LIST);
    if (declaration) root->children.InsertLast(declaration);
    Nest(root, declaration);
    return root;
}

}  // namespace ShaderTool
