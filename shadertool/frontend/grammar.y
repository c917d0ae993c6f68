/*
 * ZKSL grammar.
 *
 * An LALR(1) grammar without precedence declarations: precedence and
 * associativity come from the layering of the expression rules. Every
 * action is a short call into ShaderTool::Parser, which builds the nodes and
 * runs the table and semantic checks while the rule is reduced, so a source
 * is read, typed and checked in one pass.
 *
 * Terminals carry the Token::Type value the tokenizer gives them, so the
 * lexer adapter can hand kinds straight through. A symbol's value keeps the
 * token it started with (single-symbol rules copy the whole value), which is
 * how `$<token>1` of an operator or type rule still finds its word and place.
 */

%code requires {
#include "shadertool/frontend/parser.h"
}

%code {
using namespace ShaderTool;
}

%define api.pure full
%define api.value.type {ShaderTool::ParserValue}
%define parse.trace
%parse-param {ShaderTool::Parser* parser}
%lex-param {ShaderTool::Parser* parser}

/* The if/else ambiguity: "else" binds to the nearest "if" (shift). */
%expect 1

%token <token> ZKSL_BOOL 256 ZKSL_FLOAT 257 ZKSL_FLOAT2 258 ZKSL_FLOAT2X2 259
%token <token> ZKSL_FLOAT3 260 ZKSL_FLOAT3X3 261 ZKSL_FLOAT4 262 ZKSL_FLOAT4X4 263
%token <token> ZKSL_INT 264 ZKSL_INT2 265 ZKSL_INT3 266 ZKSL_INT4 267 ZKSL_VOID 268
%token <token> ZKSL_TEXTURE2D 269 ZKSL_TEXTURE3D 270 ZKSL_TEXTURECUBE 271
%token <token> ZKSL_BREAK 272 ZKSL_CONST 273 ZKSL_CONTINUE 274 ZKSL_DISCARD 275
%token <token> ZKSL_DO 276 ZKSL_ELSE 277 ZKSL_FOR 278 ZKSL_IF 279 ZKSL_RETURN 280
%token <token> ZKSL_WHILE 281
%token <token> ZKSL_BOOL_CONSTANT 288 ZKSL_FLOAT_CONSTANT 289 ZKSL_IDENTIFIER 290
%token <token> ZKSL_INT_CONSTANT 291
%token <token> ZKSL_AMPERSAND 293 ZKSL_CARET 294 ZKSL_DECREASE_OP 295 ZKSL_INCREASE_OP 296
%token <token> ZKSL_GREATER_THAN_EQUAL_OP 297 ZKSL_LEFT_SHIFT_OP 298
%token <token> ZKSL_LESS_THAN_EQUAL_OP 299 ZKSL_EQUAL_OP 300 ZKSL_NOT_EQUAL_OP 301
%token <token> ZKSL_LOGICAL_AND_OP 302 ZKSL_LOGICAL_OR_OP 303 ZKSL_RIGHT_SHIFT_OP 304
%token <token> ZKSL_VERTICAL_BAR 305 ZKSL_ASSIGN_ADD 306 ZKSL_ASSIGN_AND 307
%token <token> ZKSL_ASSIGN_DIVIDE 308 ZKSL_ASSIGN_LEFT_SHIFT 309 ZKSL_ASSIGN_MODULO 310
%token <token> ZKSL_ASSIGN_MULTIPLY 311 ZKSL_ASSIGN_OR 312 ZKSL_ASSIGN_RIGHT_SHIFT 313
%token <token> ZKSL_ASSIGN_SUBTRACT 314 ZKSL_ASSIGN_XOR 315
%token <token> ZKSL_ASTERISK 317 ZKSL_COLON 318 ZKSL_COMMA 319 ZKSL_DASH 320
%token <token> ZKSL_EQUAL 321 ZKSL_EXCLAMATION 322 ZKSL_PERCENT 323 ZKSL_PERIOD 324
%token <token> ZKSL_PLUS 326 ZKSL_QUESTION 327 ZKSL_SEMICOLON 328 ZKSL_SLASH 329
%token <token> ZKSL_TILDE 330 ZKSL_LEFT_BRACE 331 ZKSL_LEFT_BRACKET 332
%token <token> ZKSL_LEFT_CHEVRON 333 ZKSL_LEFT_PARENTHESIS 334 ZKSL_RIGHT_BRACE 335
%token <token> ZKSL_RIGHT_BRACKET 336 ZKSL_RIGHT_CHEVRON 337 ZKSL_RIGHT_PARENTHESIS 338
%token <token> ZKSL_RESERVED 340

%type <node> variable_identifier primary_expression postfix_expression
%type <node> integer_expression function_call function_call_or_method
%type <node> function_call_generic function_call_header_no_parameters
%type <node> function_call_header_with_parameters function_call_header
%type <node> unary_expression multiplicative_expression additive_expression
%type <node> shift_expression relational_expression equality_expression
%type <node> and_expression exclusive_or_expression inclusive_or_expression
%type <node> logical_and_expression logical_or_expression conditional_expression
%type <node> assignment_expression expression
%type <node> declaration function_prototype function_declarator
%type <node> function_header_with_parameters function_header
%type <node> parameter_declarator parameter_declaration init_declarator_list
%type <node> single_declaration initializer initializer_list
%type <node> declaration_statement statement simple_statement compound_statement
%type <node> statement_no_new_scope statement_scoped compound_statement_no_new_scope
%type <node> statement_list expression_statement selection_statement condition
%type <node> iteration_statement for_init_statement conditionopt jump_statement
%type <node> translation_unit external_declaration function_definition
%type <type> fully_specified_type type_qualifier single_type_qualifier
%type <type> storage_qualifier type_specifier type_specifier_nonarray
%type <type> parameter_type_specifier
%type <identifier> function_identifier
%type <op> unary_operator assignment_operator
%type <number> array_specifier
%type <pair> selection_rest_statement for_rest_statement

%start translation_unit

%%

/* Expressions, lowest precedence last. */

variable_identifier
    : ZKSL_IDENTIFIER                   { $$ = parser->ReferToVariable($1); }
    ;

primary_expression
    : variable_identifier
    | ZKSL_INT_CONSTANT                 { $$ = parser->MakeLiteral(TYPE_INT, $1); }
    | ZKSL_FLOAT_CONSTANT               { $$ = parser->MakeLiteral(TYPE_FLOAT, $1); }
    | ZKSL_BOOL_CONSTANT                { $$ = parser->MakeLiteral(TYPE_BOOL, $1); }
    | ZKSL_LEFT_PARENTHESIS expression ZKSL_RIGHT_PARENTHESIS
                                        { $$ = parser->MakeParentheses($1, $2); }
    ;

postfix_expression
    : primary_expression
    | postfix_expression ZKSL_LEFT_BRACKET integer_expression ZKSL_RIGHT_BRACKET
                                        { $$ = parser->MakeSubscript($1, $2, $3); }
    | function_call
    | postfix_expression ZKSL_PERIOD ZKSL_IDENTIFIER
                                        { $$ = parser->MakeMemberSelection($1, $2, $3); }
    | postfix_expression ZKSL_INCREASE_OP
                                        { $$ = parser->MakeUnary(OP_POST_INCREMENT, $2, $1); }
    | postfix_expression ZKSL_DECREASE_OP
                                        { $$ = parser->MakeUnary(OP_POST_DECREMENT, $2, $1); }
    ;

integer_expression
    : expression
    ;

function_call
    : function_call_or_method
    ;

function_call_or_method
    : function_call_generic             { $$ = parser->FinishFunctionCall($1); }
    ;

function_call_generic
    : function_call_header_with_parameters ZKSL_RIGHT_PARENTHESIS
    | function_call_header_no_parameters ZKSL_RIGHT_PARENTHESIS
    ;

function_call_header_no_parameters
    : function_call_header
    ;

function_call_header_with_parameters
    : function_call_header assignment_expression
                                        { $$ = parser->AddArgument($1, $2); }
    | function_call_header_with_parameters ZKSL_COMMA assignment_expression
                                        { $$ = parser->AddArgument($1, $3); }
    ;

function_call_header
    : function_identifier ZKSL_LEFT_PARENTHESIS
                                        { $$ = parser->BeginFunctionCall($1, $<token>1, $2); }
    ;

function_identifier
    : type_specifier                    { $$ = Parser::IdentifyConstructor($1); }
    | ZKSL_IDENTIFIER                   { $$ = Parser::IdentifyFunction($1); }
    ;

unary_expression
    : postfix_expression
    | ZKSL_INCREASE_OP unary_expression { $$ = parser->MakeUnary(OP_PRE_INCREMENT, $1, $2); }
    | ZKSL_DECREASE_OP unary_expression { $$ = parser->MakeUnary(OP_PRE_DECREMENT, $1, $2); }
    | unary_operator unary_expression   { $$ = parser->MakeUnary($1, $<token>1, $2); }
    ;

unary_operator
    : ZKSL_PLUS                         { $$ = OP_UNARY_PLUS; }
    | ZKSL_DASH                         { $$ = OP_NEGATE; }
    | ZKSL_EXCLAMATION                  { $$ = OP_LOGICAL_NOT; }
    | ZKSL_TILDE                        { $$ = OP_BITWISE_NOT; }
    ;

multiplicative_expression
    : unary_expression
    | multiplicative_expression ZKSL_ASTERISK unary_expression
                                        { $$ = parser->MakeBinary(OP_MULTIPLY, $2, $1, $3); }
    | multiplicative_expression ZKSL_SLASH unary_expression
                                        { $$ = parser->MakeBinary(OP_DIVIDE, $2, $1, $3); }
    | multiplicative_expression ZKSL_PERCENT unary_expression
                                        { $$ = parser->MakeBinary(OP_MODULO, $2, $1, $3); }
    ;

additive_expression
    : multiplicative_expression
    | additive_expression ZKSL_PLUS multiplicative_expression
                                        { $$ = parser->MakeBinary(OP_ADD, $2, $1, $3); }
    | additive_expression ZKSL_DASH multiplicative_expression
                                        { $$ = parser->MakeBinary(OP_SUBTRACT, $2, $1, $3); }
    ;

shift_expression
    : additive_expression
    | shift_expression ZKSL_LEFT_SHIFT_OP additive_expression
                                        { $$ = parser->MakeBinary(OP_LEFT_SHIFT, $2, $1, $3); }
    | shift_expression ZKSL_RIGHT_SHIFT_OP additive_expression
                                        { $$ = parser->MakeBinary(OP_RIGHT_SHIFT, $2, $1, $3); }
    ;

relational_expression
    : shift_expression
    | relational_expression ZKSL_LEFT_CHEVRON shift_expression
                                        { $$ = parser->MakeBinary(OP_LESS, $2, $1, $3); }
    | relational_expression ZKSL_RIGHT_CHEVRON shift_expression
                                        { $$ = parser->MakeBinary(OP_GREATER, $2, $1, $3); }
    | relational_expression ZKSL_LESS_THAN_EQUAL_OP shift_expression
                                        { $$ = parser->MakeBinary(OP_LESS_EQUAL, $2, $1, $3); }
    | relational_expression ZKSL_GREATER_THAN_EQUAL_OP shift_expression
                                        { $$ = parser->MakeBinary(OP_GREATER_EQUAL, $2, $1, $3); }
    ;

equality_expression
    : relational_expression
    | equality_expression ZKSL_EQUAL_OP relational_expression
                                        { $$ = parser->MakeBinary(OP_EQUAL, $2, $1, $3); }
    | equality_expression ZKSL_NOT_EQUAL_OP relational_expression
                                        { $$ = parser->MakeBinary(OP_NOT_EQUAL, $2, $1, $3); }
    ;

and_expression
    : equality_expression
    | and_expression ZKSL_AMPERSAND equality_expression
                                        { $$ = parser->MakeBinary(OP_BITWISE_AND, $2, $1, $3); }
    ;

exclusive_or_expression
    : and_expression
    | exclusive_or_expression ZKSL_CARET and_expression
                                        { $$ = parser->MakeBinary(OP_BITWISE_XOR, $2, $1, $3); }
    ;

inclusive_or_expression
    : exclusive_or_expression
    | inclusive_or_expression ZKSL_VERTICAL_BAR exclusive_or_expression
                                        { $$ = parser->MakeBinary(OP_BITWISE_OR, $2, $1, $3); }
    ;

logical_and_expression
    : inclusive_or_expression
    | logical_and_expression ZKSL_LOGICAL_AND_OP inclusive_or_expression
                                        { $$ = parser->MakeBinary(OP_LOGICAL_AND, $2, $1, $3); }
    ;

logical_or_expression
    : logical_and_expression
    | logical_or_expression ZKSL_LOGICAL_OR_OP logical_and_expression
                                        { $$ = parser->MakeBinary(OP_LOGICAL_OR, $2, $1, $3); }
    ;

conditional_expression
    : logical_or_expression
    | logical_or_expression ZKSL_QUESTION expression ZKSL_COLON assignment_expression
                                        { $$ = parser->MakeConditional($1, $2, $3, $4, $5); }
    ;

assignment_expression
    : conditional_expression
    | unary_expression assignment_operator assignment_expression
                                        { $$ = parser->MakeBinary($2, $<token>2, $1, $3); }
    ;

assignment_operator
    : ZKSL_EQUAL                        { $$ = OP_ASSIGN; }
    | ZKSL_ASSIGN_MULTIPLY              { $$ = OP_ASSIGN_MULTIPLY; }
    | ZKSL_ASSIGN_DIVIDE                { $$ = OP_ASSIGN_DIVIDE; }
    | ZKSL_ASSIGN_MODULO                { $$ = OP_ASSIGN_MODULO; }
    | ZKSL_ASSIGN_ADD                   { $$ = OP_ASSIGN_ADD; }
    | ZKSL_ASSIGN_SUBTRACT              { $$ = OP_ASSIGN_SUBTRACT; }
    | ZKSL_ASSIGN_LEFT_SHIFT            { $$ = OP_ASSIGN_LEFT_SHIFT; }
    | ZKSL_ASSIGN_RIGHT_SHIFT           { $$ = OP_ASSIGN_RIGHT_SHIFT; }
    | ZKSL_ASSIGN_AND                   { $$ = OP_ASSIGN_AND; }
    | ZKSL_ASSIGN_XOR                   { $$ = OP_ASSIGN_XOR; }
    | ZKSL_ASSIGN_OR                    { $$ = OP_ASSIGN_OR; }
    ;

expression
    : assignment_expression
    ;

/* Declarations. */

declaration
    : function_prototype ZKSL_SEMICOLON { $$ = parser->DeclarePrototype($1); }
    | init_declarator_list ZKSL_SEMICOLON
    ;

function_prototype
    : function_declarator ZKSL_RIGHT_PARENTHESIS
    ;

function_declarator
    : function_header
    | function_header_with_parameters
    ;

function_header_with_parameters
    : function_header parameter_declaration
                                        { $$ = parser->AddParameter($1, $2); }
    | function_header_with_parameters ZKSL_COMMA parameter_declaration
                                        { $$ = parser->AddParameter($1, $3); }
    ;

function_header
    : fully_specified_type ZKSL_IDENTIFIER ZKSL_LEFT_PARENTHESIS
                                        { $$ = parser->BeginFunction($1, $2); }
    ;

parameter_declarator
    : type_specifier ZKSL_IDENTIFIER    { $$ = parser->MakeParameter($1, $2); }
    ;

parameter_declaration
    : type_qualifier parameter_declarator
                                        { $$ = parser->QualifyParameter($1, $2); }
    | parameter_declarator              { $$ = parser->QualifyParameter(Parser::NoQualifier(), $1); }
    | type_qualifier parameter_type_specifier
        { $$ = parser->QualifyParameter($1, parser->MakeUnnamedParameter($2, $<token>2)); }
    | parameter_type_specifier          { $$ = parser->QualifyParameter(Parser::NoQualifier(),
                                                                        parser->MakeUnnamedParameter($1, $<token>1)); }
    ;

parameter_type_specifier
    : type_specifier
    ;

init_declarator_list
    : single_declaration
    | init_declarator_list ZKSL_COMMA ZKSL_IDENTIFIER
                                        { $$ = parser->ContinueDeclaration($1, $3); }
    | init_declarator_list ZKSL_COMMA ZKSL_IDENTIFIER ZKSL_EQUAL initializer
                                        { $$ = parser->ContinueDeclaration($1, $3, $4, $5); }
    ;

single_declaration
    : fully_specified_type ZKSL_IDENTIFIER
                                        { $$ = parser->Declare($1, $2); }
    | fully_specified_type ZKSL_IDENTIFIER array_specifier
                                        { $$ = parser->DeclareArray($1, $2, $3); }
    | fully_specified_type ZKSL_IDENTIFIER array_specifier ZKSL_EQUAL
      ZKSL_LEFT_BRACE initializer_list ZKSL_RIGHT_BRACE
                                        { $$ = parser->DeclareArray($1, $2, $3, $4, $6); }
    | fully_specified_type ZKSL_IDENTIFIER ZKSL_EQUAL initializer
                                        { $$ = parser->Declare($1, $2, $3, $4); }
    ;

fully_specified_type
    : type_specifier
    | type_qualifier type_specifier     { $$ = Parser::QualifyType($1, $2); }
    ;

type_qualifier
    : single_type_qualifier
    ;

single_type_qualifier
    : storage_qualifier
    ;

storage_qualifier
    : ZKSL_CONST                        { $$ = Parser::ConstQualifier(); }
    ;

type_specifier
    : type_specifier_nonarray
    ;

array_specifier
    : ZKSL_LEFT_BRACKET ZKSL_RIGHT_BRACKET
                                        { $$ = -1; }
    | ZKSL_LEFT_BRACKET ZKSL_INT_CONSTANT ZKSL_RIGHT_BRACKET
                                        { $$ = Parser::ReadArraySize($2); }
    ;

type_specifier_nonarray
    : ZKSL_VOID                         { $$ = Parser::TypeOfWord($1); }
    | ZKSL_FLOAT                        { $$ = Parser::TypeOfWord($1); }
    | ZKSL_INT                          { $$ = Parser::TypeOfWord($1); }
    | ZKSL_BOOL                         { $$ = Parser::TypeOfWord($1); }
    | ZKSL_FLOAT2                       { $$ = Parser::TypeOfWord($1); }
    | ZKSL_FLOAT3                       { $$ = Parser::TypeOfWord($1); }
    | ZKSL_FLOAT4                       { $$ = Parser::TypeOfWord($1); }
    | ZKSL_INT2                         { $$ = Parser::TypeOfWord($1); }
    | ZKSL_INT3                         { $$ = Parser::TypeOfWord($1); }
    | ZKSL_INT4                         { $$ = Parser::TypeOfWord($1); }
    | ZKSL_FLOAT2X2                     { $$ = Parser::TypeOfWord($1); }
    | ZKSL_FLOAT3X3                     { $$ = Parser::TypeOfWord($1); }
    | ZKSL_FLOAT4X4                     { $$ = Parser::TypeOfWord($1); }
    | ZKSL_TEXTURE2D                    { $$ = Parser::TypeOfWord($1); }
    | ZKSL_TEXTURE3D                    { $$ = Parser::TypeOfWord($1); }
    | ZKSL_TEXTURECUBE                  { $$ = Parser::TypeOfWord($1); }
    ;

initializer
    : assignment_expression
    ;

initializer_list
    : initializer                       { $$ = parser->StartList($1); }
    | initializer_list ZKSL_COMMA initializer
                                        { $$ = parser->AppendToList($1, $3); }
    ;

/* Statements. */

declaration_statement
    : declaration                       { $$ = parser->MakeDeclarationStatement($1); }
    ;

statement
    : compound_statement
    | simple_statement
    ;

simple_statement
    : declaration_statement
    | expression_statement
    | selection_statement
    | iteration_statement
    | jump_statement
    ;

compound_statement
    : ZKSL_LEFT_BRACE ZKSL_RIGHT_BRACE  { $$ = nullptr; }
    | ZKSL_LEFT_BRACE                   { parser->OpenScope(); }
      statement_list ZKSL_RIGHT_BRACE   { $$ = parser->MarkScoped($3); parser->CloseScope(); }
    ;

statement_no_new_scope
    : compound_statement_no_new_scope
    | simple_statement
    ;

statement_scoped
    : compound_statement
    |                                   { parser->OpenScope(); }
      simple_statement                  { $$ = $2; parser->CloseScope(); }
    ;

compound_statement_no_new_scope
    : ZKSL_LEFT_BRACE ZKSL_RIGHT_BRACE  { $$ = parser->MakeEmptyBlock(); }
    | ZKSL_LEFT_BRACE statement_list ZKSL_RIGHT_BRACE
                                        { $$ = parser->MarkScoped($2); }
    ;

statement_list
    : statement                         { $$ = parser->StartStatementList($1); }
    | statement_list statement          { $$ = parser->AppendToStatementList($1, $2); }
    ;

expression_statement
    : ZKSL_SEMICOLON                    { $$ = nullptr; }
    | expression ZKSL_SEMICOLON
    ;

selection_statement
    : ZKSL_IF ZKSL_LEFT_PARENTHESIS expression ZKSL_RIGHT_PARENTHESIS selection_rest_statement
                                        { $$ = parser->MakeSelection($3, $5); }
    ;

selection_rest_statement
    : statement_scoped ZKSL_ELSE statement_scoped
                                        { $$ = Parser::MakePair($1, $3); }
    | statement_scoped                  { $$ = Parser::MakePair($1, nullptr); }
    ;

condition
    : expression
    | fully_specified_type ZKSL_IDENTIFIER ZKSL_EQUAL initializer
                                        { $$ = parser->Declare($1, $2, $3, $4); }
    ;

iteration_statement
    : ZKSL_WHILE ZKSL_LEFT_PARENTHESIS  { parser->OpenScope(); }
      condition ZKSL_RIGHT_PARENTHESIS statement_no_new_scope
                                        { $$ = parser->MakeWhile($4, $6); parser->CloseScope(); }
    | ZKSL_DO statement ZKSL_WHILE ZKSL_LEFT_PARENTHESIS expression ZKSL_RIGHT_PARENTHESIS ZKSL_SEMICOLON
                                        { $$ = parser->MakeDoWhile($2, $5); }
    | ZKSL_FOR ZKSL_LEFT_PARENTHESIS    { parser->OpenScope(); }
      for_init_statement for_rest_statement ZKSL_RIGHT_PARENTHESIS statement_no_new_scope
                                        { $$ = parser->MakeFor($4, $5, $7); parser->CloseScope(); }
    ;

for_init_statement
    : expression_statement
    | declaration_statement
    ;

conditionopt
    : condition                         { $$ = parser->CheckCondition($1); }
    | %empty                            { $$ = nullptr; }
    ;

for_rest_statement
    : conditionopt ZKSL_SEMICOLON       { $$ = Parser::MakePair($1, nullptr); }
    | conditionopt ZKSL_SEMICOLON expression
                                        { $$ = Parser::MakePair($1, $3); }
    ;

jump_statement
    : ZKSL_CONTINUE ZKSL_SEMICOLON      { $$ = parser->MakeJump(OP_CONTINUE, $1, nullptr); }
    | ZKSL_BREAK ZKSL_SEMICOLON         { $$ = parser->MakeJump(OP_BREAK, $1, nullptr); }
    | ZKSL_RETURN ZKSL_SEMICOLON        { $$ = parser->MakeReturn($1, nullptr); }
    | ZKSL_RETURN expression ZKSL_SEMICOLON
                                        { $$ = parser->MakeReturn($1, $2); }
    | ZKSL_DISCARD ZKSL_SEMICOLON       { $$ = parser->MakeDiscard($1); }
    ;

/* The translation unit. */

translation_unit
    : external_declaration              { $$ = parser->AddExternalDeclaration($1); }
    | translation_unit external_declaration
                                        { $$ = parser->AddExternalDeclaration($2); }
    ;

external_declaration
    : function_definition
    | declaration                       { $$ = Parser::DropPrototype($1); }
    ;

function_definition
    : function_prototype                { $<node>$ = parser->BeginFunctionDefinition($1); }
      compound_statement_no_new_scope   { $$ = parser->FinishFunctionDefinition($<node>2, $3); }
    ;

%%

/* The lexer adapter and the error hook. Kinds without a terminal come back
   from the parser as -1 and enter the grammar as the invalid token, so they
   end the parse with "syntax error" (a byte outside the language included,
   rather than passing for the end of the text). */

int yylex(YYSTYPE* value, ShaderTool::Parser* parser) {
    int kind = parser->ReadToken(value);
    return kind < 0 ? YYUNDEF : kind;
}

void yyerror(ShaderTool::Parser* parser, const char* message) {
    parser->ReportSyntaxError(message);
}
