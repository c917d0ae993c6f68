/* Directive grammar of the shader preprocessor.
 *
 * A source is a sequence of directive lines and opaque plain lines. The
 * actions hand each directive to the preprocessor; expressions are evaluated
 * while they are parsed. The parser is pure: all state lives in the
 * preprocessor passed to it.
 */

%code requires {
#include "shadertool/frontend/preprocessor.h"
}

%code {
#include <cstdlib>
#include <cstring>

int ppyylex(PPYYSTYPE* value, ShaderTool::Preprocessor* preprocessor);
void ppyyerror(ShaderTool::Preprocessor* preprocessor, const char* message);

using ShaderTool::Constant;
using ShaderTool::Preprocessor;
}

%define api.pure full
%define api.prefix {ppyy}
%define api.value.type {ShaderTool::PreprocessorValue}
%parse-param {ShaderTool::Preprocessor* preprocessor}
%lex-param {ShaderTool::Preprocessor* preprocessor}

%token PP_DEFINE PP_ELIF PP_ELSE PP_ENDIF PP_IF PP_INCLUDE
%token PP_FLOAT_CONSTANT PP_IDENTIFIER PP_INT_CONSTANT PP_STRING_LITERAL
%token PP_DEFINED_OP
%token PP_GREATER_THAN_EQUAL_OP PP_LESS_THAN_EQUAL_OP PP_EQUAL_OP PP_NOT_EQUAL_OP
%token PP_LOGICAL_AND_OP PP_LOGICAL_OR_OP
%token PP_ASTERISK PP_COMMA PP_DASH PP_EXCLAMATION PP_HASH PP_PLUS PP_SLASH
%token PP_LEFT_CHEVRON PP_RIGHT_CHEVRON PP_LEFT_PARENTHESIS PP_RIGHT_PARENTHESIS
%token PP_NON_PREPROCESSOR_LINE
%token PP_RESERVED

%expect 2
%start translation_unit

%%

constant
    : PP_FLOAT_CONSTANT { $$.expression = Preprocessor::MakeFloat(std::atof($1.token->text), $1.token->location); }
    | PP_IDENTIFIER     { $$.expression = preprocessor->MakeName($1.token); }
    | PP_INT_CONSTANT   { $$.expression = Preprocessor::MakeIntFromText($1.token); }
    ;

primary_expression
    : constant { $$.expression = preprocessor->GetConstantAsExpression($1.expression); }
    | PP_LEFT_PARENTHESIS expression PP_RIGHT_PARENTHESIS { $$.expression = $2.expression; }
    ;

postfix_expression
    : primary_expression { $$.expression = $1.expression; }
    | function_call      { $$.expression = preprocessor->EvaluateFunctionCall(*$1.call); }
    ;

function_call
    : function_call_header_with_parameters PP_RIGHT_PARENTHESIS { $$.call = $1.call; }
    | function_call_header_no_parameters PP_RIGHT_PARENTHESIS   { $$.call = $1.call; }
    ;

function_call_header_no_parameters
    : function_call_header { $$.call = $1.call; }
    ;

function_call_header_with_parameters
    : function_call_header PP_STRING_LITERAL
        { $$.call = $1.call; preprocessor->AddFunctionCallArgument(*$$.call, preprocessor->MakeStringLiteral($2.token)); }
    | function_call_header logical_or_expression
        { $$.call = $1.call; preprocessor->AddFunctionCallArgument(*$$.call, $2.expression); }
    | function_call_header_with_parameters PP_COMMA PP_STRING_LITERAL
        { $$.call = $1.call; preprocessor->AddFunctionCallArgument(*$$.call, preprocessor->MakeStringLiteral($3.token)); }
    | function_call_header_with_parameters PP_COMMA logical_or_expression
        { $$.call = $1.call; preprocessor->AddFunctionCallArgument(*$$.call, $3.expression); }
    ;

function_call_header
    : PP_IDENTIFIER PP_LEFT_PARENTHESIS { $$.call = preprocessor->KeepFunctionCall(preprocessor->MakeFunctionCall($1.token)); }
    ;

unary_expression
    : postfix_expression { $$.expression = $1.expression; }
    | PP_DEFINED_OP PP_LEFT_PARENTHESIS PP_IDENTIFIER PP_RIGHT_PARENTHESIS
        { $$.expression = preprocessor->EvaluateDefined($3.token, $1.token->location); }
    | PP_DASH unary_expression
        { $$.expression = preprocessor->EvaluateUnary(ShaderTool::PreprocessorOperation::NEGATE, $2.expression, $1.token->location); }
    | PP_EXCLAMATION unary_expression
        { $$.expression = preprocessor->EvaluateUnary(ShaderTool::PreprocessorOperation::LOGICAL_NOT, $2.expression, $1.token->location); }
    ;

multiplicative_expression
    : unary_expression { $$.expression = $1.expression; }
    | multiplicative_expression PP_ASTERISK unary_expression
        { $$.expression = preprocessor->EvaluateBinary(ShaderTool::PreprocessorOperation::MULTIPLY, $1.expression, $3.expression, $2.token->location); }
    | multiplicative_expression PP_SLASH unary_expression
        { $$.expression = preprocessor->EvaluateBinary(ShaderTool::PreprocessorOperation::DIVIDE, $1.expression, $3.expression, $2.token->location); }
    ;

additive_expression
    : multiplicative_expression { $$.expression = $1.expression; }
    | additive_expression PP_PLUS multiplicative_expression
        { $$.expression = preprocessor->EvaluateBinary(ShaderTool::PreprocessorOperation::ADD, $1.expression, $3.expression, $2.token->location); }
    | additive_expression PP_DASH multiplicative_expression
        { $$.expression = preprocessor->EvaluateBinary(ShaderTool::PreprocessorOperation::SUBTRACT, $1.expression, $3.expression, $2.token->location); }
    ;

relational_expression
    : additive_expression { $$.expression = $1.expression; }
    | relational_expression PP_LEFT_CHEVRON additive_expression
        { $$.expression = preprocessor->EvaluateBinary(ShaderTool::PreprocessorOperation::LESS, $1.expression, $3.expression, $2.token->location); }
    | relational_expression PP_RIGHT_CHEVRON additive_expression
        { $$.expression = preprocessor->EvaluateBinary(ShaderTool::PreprocessorOperation::GREATER, $1.expression, $3.expression, $2.token->location); }
    | relational_expression PP_LESS_THAN_EQUAL_OP additive_expression
        { $$.expression = preprocessor->EvaluateBinary(ShaderTool::PreprocessorOperation::LESS_EQUAL, $1.expression, $3.expression, $2.token->location); }
    | relational_expression PP_GREATER_THAN_EQUAL_OP additive_expression
        { $$.expression = preprocessor->EvaluateBinary(ShaderTool::PreprocessorOperation::GREATER_EQUAL, $1.expression, $3.expression, $2.token->location); }
    ;

equality_expression
    : relational_expression { $$.expression = $1.expression; }
    | equality_expression PP_EQUAL_OP relational_expression
        { $$.expression = preprocessor->EvaluateBinary(ShaderTool::PreprocessorOperation::EQUAL, $1.expression, $3.expression, $2.token->location); }
    | equality_expression PP_NOT_EQUAL_OP relational_expression
        { $$.expression = preprocessor->EvaluateBinary(ShaderTool::PreprocessorOperation::NOT_EQUAL, $1.expression, $3.expression, $2.token->location); }
    ;

logical_and_expression
    : equality_expression { $$.expression = $1.expression; }
    | logical_and_expression PP_LOGICAL_AND_OP equality_expression
        { $$.expression = preprocessor->EvaluateBinary(ShaderTool::PreprocessorOperation::LOGICAL_AND, $1.expression, $3.expression, $2.token->location); }
    ;

logical_or_expression
    : logical_and_expression { $$.expression = $1.expression; }
    | logical_or_expression PP_LOGICAL_OR_OP logical_and_expression
        { $$.expression = preprocessor->EvaluateBinary(ShaderTool::PreprocessorOperation::LOGICAL_OR, $1.expression, $3.expression, $2.token->location); }
    ;

expression
    : logical_or_expression { $$.expression = $1.expression; }
    ;

define_directive_declaration
    : PP_HASH PP_DEFINE PP_IDENTIFIER
        { preprocessor->AddDefinition($3.token, Preprocessor::MakeInt(0, $3.token->location), false); }
    | PP_HASH PP_DEFINE PP_IDENTIFIER PP_STRING_LITERAL
        { preprocessor->AddDefinition($3.token, preprocessor->MakeStringLiteral($4.token), true); }
    | PP_HASH PP_DEFINE PP_IDENTIFIER expression
        { preprocessor->AddDefinition($3.token, $4.expression, false); }
    ;

elif_directive_declaration
    : PP_HASH PP_ELIF expression { preprocessor->ElseIf($3.expression, $1.token->location); }
    ;

else_directive_declaration
    : PP_HASH PP_ELSE { preprocessor->Else($1.token->location); }
    ;

endif_directive_declaration
    : PP_HASH PP_ENDIF { preprocessor->EndIf($1.token->location); }
    ;

if_directive_declaration
    : PP_HASH PP_IF expression { preprocessor->If($3.expression, $1.token->location); }
    ;

include_declaration
    : PP_HASH PP_INCLUDE PP_STRING_LITERAL
        { preprocessor->Include(preprocessor->MakeStringLiteral($3.token).string_value, $3.token->location); }
    | PP_HASH PP_INCLUDE constant
        { preprocessor->Include($3.expression, $3.expression.location); }
    ;

directive_declaration
    : define_directive_declaration
    | elif_directive_declaration
    | else_directive_declaration
    | endif_directive_declaration
    | if_directive_declaration
    | include_declaration
    ;

non_preprocessor_line
    : PP_NON_PREPROCESSOR_LINE { preprocessor->ProcessNonPreprocessorLine(); }
    ;

declaration
    : directive_declaration
    | non_preprocessor_line
    ;

translation_unit
    : %empty
    | declaration
    | translation_unit declaration
    ;

%%

// Grammar token of each preprocessor token type; types without a grammar
// token reach the parser as an undefined symbol, which is a syntax error.
static int GrammarTokenOf(int type) {
    using T = ShaderTool::Token;
    switch (type) {
    case 0: return PPYYEOF;
    case T::TK_PP_DEFINE: return PP_DEFINE;
    case T::TK_PP_ELIF: return PP_ELIF;
    case T::TK_PP_ELSE: return PP_ELSE;
    case T::TK_PP_ENDIF: return PP_ENDIF;
    case T::TK_PP_IF: return PP_IF;
    case T::TK_PP_INCLUDE: return PP_INCLUDE;
    case T::TK_FLOAT_CONSTANT: return PP_FLOAT_CONSTANT;
    case T::TK_IDENTIFIER: return PP_IDENTIFIER;
    case T::TK_INT_CONSTANT: return PP_INT_CONSTANT;
    case T::TK_STRING_LITERAL: return PP_STRING_LITERAL;
    case T::TK_PP_DEFINED: return PP_DEFINED_OP;
    case T::TK_GREATER_THAN_EQUAL_OP: return PP_GREATER_THAN_EQUAL_OP;
    case T::TK_LESS_THAN_EQUAL_OP: return PP_LESS_THAN_EQUAL_OP;
    case T::TK_EQUAL_OP: return PP_EQUAL_OP;
    case T::TK_NOT_EQUAL_OP: return PP_NOT_EQUAL_OP;
    case T::TK_LOGICAL_AND_OP: return PP_LOGICAL_AND_OP;
    case T::TK_LOGICAL_OR_OP: return PP_LOGICAL_OR_OP;
    case T::TK_ASTERISK: return PP_ASTERISK;
    case T::TK_COMMA: return PP_COMMA;
    case T::TK_DASH: return PP_DASH;
    case T::TK_EXCLAMATION: return PP_EXCLAMATION;
    case T::TK_HASH: return PP_HASH;
    case T::TK_PLUS: return PP_PLUS;
    case T::TK_SLASH: return PP_SLASH;
    case T::TK_LEFT_CHEVRON: return PP_LEFT_CHEVRON;
    case T::TK_RIGHT_CHEVRON: return PP_RIGHT_CHEVRON;
    case T::TK_LEFT_PARENTHESIS: return PP_LEFT_PARENTHESIS;
    case T::TK_RIGHT_PARENTHESIS: return PP_RIGHT_PARENTHESIS;
    case T::TK_PP_LINE: return PP_NON_PREPROCESSOR_LINE;
    default: return PPYYUNDEF;
    }
}

int ppyylex(PPYYSTYPE* value, ShaderTool::Preprocessor* preprocessor) {
    ShaderTool::Token& token = preprocessor->NewToken();
    preprocessor->ReadNextToken(token);
    value->token.token = &token;
    return GrammarTokenOf(token.type);
}

void ppyyerror(ShaderTool::Preprocessor* preprocessor, const char* message) {
    preprocessor->ReportParseError(message);
}
