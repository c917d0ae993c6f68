#include "shadertool/translate/translator.h"

#include <cstring>

#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/reserved_names.h"

namespace ShaderTool {

namespace {

// The type each constructor builds, in constructor order from bool.
struct ConstructedType {
    BasicType basic;
    int vector_size;
    int matrix_size;
};
const ConstructedType kConstructedTypes[] = {
    {TYPE_BOOL, 1, 0},  {TYPE_FLOAT, 1, 0}, {TYPE_FLOAT, 2, 0}, {TYPE_FLOAT, 3, 0},
    {TYPE_FLOAT, 4, 0}, {TYPE_FLOAT, 0, 2}, {TYPE_FLOAT, 0, 3}, {TYPE_FLOAT, 0, 4},
    {TYPE_INT, 1, 0},   {TYPE_INT, 2, 0},   {TYPE_INT, 3, 0},   {TYPE_INT, 4, 0},
};

int OperatorId(Operator op) { return static_cast<int>(op); }

bool IsAggregate(const ParserNode* node, int op) {
    return node && node->node_type == ParserNode::AGGREGATE_NODE && OperatorId(static_cast<const AggregateNode*>(node)->op) == op;
}

bool IsSelectionOrIteration(const ParserNode* node) {
    return node && (node->node_type == ParserNode::SELECTION_NODE || node->node_type == ParserNode::ITERATION_NODE);
}

// A declaration of an array with an initialiser list.
bool IsInitializedArrayDeclaration(const ParserNode* node) {
    if (!IsAggregate(node, OP_DECLARATION_LIST)) return false;
    const AggregateNode* list = static_cast<const AggregateNode*>(node);
    return list->type.array_size != 0 && list->children.count > 0 && list->children[0] &&
           list->children[0]->node_type == ParserNode::OPERATOR_NODE;
}

const ParserNode* FunctionBody(const FunctionNode* function) {
    return function->children.count > 1 ? function->children[1] : nullptr;
}

const AggregateNode* FunctionArguments(const FunctionNode* function) {
    if (function->children.count < 1 || !function->children[0]) return nullptr;
    if (function->children[0]->node_type != ParserNode::AGGREGATE_NODE) return nullptr;
    return static_cast<const AggregateNode*>(function->children[0]);
}

Type TypeOf(const ParserNode* node) { return node && IsTypedNode(node) ? static_cast<const TypedNode*>(node)->type : Type(); }

bool NeedsSemicolon(const ParserNode* node) {
    switch (node->node_type) {
    case ParserNode::FUNCTION_CALL_NODE:
    case ParserNode::JUMP_NODE:
    case ParserNode::LITERAL_NODE:
    case ParserNode::OPERATOR_NODE:
    case ParserNode::SYMBOL_NODE:
        return true;
    case ParserNode::AGGREGATE_NODE:
        return IsAggregate(node, OP_DECLARATION_LIST);
    case ParserNode::FUNCTION_DEFINITION_NODE:
        return FunctionBody(static_cast<const FunctionNode*>(node)) == nullptr;
    default:
        return false;
    }
}

}  // namespace

Translator::Translator(Log& log)
    : output(&body),
      log(log),
      indentation(0),
      level(0),
      target(ShaderTarget(0)),
      shader_type(UNKNOWN_SHADER),
      version(0),
      bitwise_operators_supported(false),
      inside_function(false),
      succeeded(true),
      pixel_position_passed(false),
      pixel_position_input(nullptr) {}

Translator::~Translator() {}

void Translator::Reset() {
    header.Clear();
    helpers.Clear();
    helper_names = nArray<nString>();
    prototypes = "";
    globals.Clear();
    body.Clear();
    indentation = 0;
    target = ShaderTarget(0);
    shader_type = UNKNOWN_SHADER;
    inside_function = false;
    output = &body;
    succeeded = true;
    node_depth = 0;
    located_node = nullptr;
    refused = nArray<nString>();
    pixel_position_input = nullptr;
}

void Translator::SetTranslationParameters(int level_mask, ShaderTarget new_target, ShaderType type,
                                          unsigned int new_version) {
    level = level_mask;
    target = new_target;
    shader_type = type;
    version = new_version;
}

bool Translator::Translate(const ShaderInfo& info, ShaderTarget new_target, int level_mask, ShaderType type,
                           const AggregateNode* root) {
    Reset();
    SetTranslationParameters(level_mask, new_target, type, info.version);
    for (int i = 0; type == PIXEL_SHADER && i < info.vertex_output.count; ++i)
        if (info.vertex_output[i].semantic == OUTPUT_POSITION) pixel_position_input = &info.vertex_output[i];
    PreprocessShaderInfo(info);
    ProcessRoot(root);
    if (!succeeded) return false;
    ProcessShaderInfoDeclarations(info);
    PostProcess();
    PrependGlobalDeclarations();
    return true;
}

void Translator::ProcessRoot(const AggregateNode* root) {
    if (!root) return;
    if (IsAggregate(root, OP_DECLARATION_LIST))
        ProcessVariableSequence(root);
    else if (IsAggregate(root, OP_LIST))
        ProcessSequence(root, true);
}

void Translator::PrependGlobalDeclarations() {
    if (!header.IsEmpty()) header.Append("\n");
    if (!helpers.IsEmpty()) helpers.Append("\n");
    if (!globals.IsEmpty()) globals.Append("\n");
    if (!prototypes.IsEmpty()) prototypes.Append("\n");
    TextBuffer joined;
    joined.Append(header.c_str(), static_cast<size_t>(header.Length()));
    joined.Append(helpers.c_str(), static_cast<size_t>(helpers.Length()));
    joined.Append(globals.c_str(), static_cast<size_t>(globals.Length()));
    joined.Append(prototypes);
    joined.Append(body.c_str(), static_cast<size_t>(body.Length()));
    body.Swap(joined);
}

void Translator::PostProcess() {}

void Translator::PreprocessShaderInfo(const ShaderInfo&) {}

void Translator::ProcessShaderInfoDeclarations(const ShaderInfo&) {}

nString Translator::GetTypeName(const Type& type) const { return ShaderTool::GetTypeName(type, false); }

nString Translator::GetTypeString(const Type& type) const {
    nString text;
    if (type.qualifier & 1) text = "const ";
    text.Append(GetTypeName(type).c_str());
    return text;
}

nString Translator::GetBuiltInFunctionName(const FunctionNode* call) {
    int op = OperatorId(call->op);
    if (op >= kFirstConstructor && op <= kLastConstructor) {
        const ConstructedType& made = kConstructedTypes[op - kFirstConstructor];
        return GetTypeName(Type::Make(made.basic, made.vector_size, made.matrix_size, TEXTURE_NONE));
    }
    if (call->name.IsEmpty()) return nString();
    auto* mapped = function_map.Find(call->name.c_str());
    if (mapped) return nString(mapped->value);
    return call->name;
}

void Translator::AppendIndentation() {
    for (int i = 0; i < indentation; ++i) Write("\t");
}

void Translator::LogError(const nString& message) {
    log.AddError("%s", message.c_str());
    succeeded = false;
}

void Translator::LogErrorAt(const ParserNode* node, const nString& message) {
    if (!node || node->location.line <= 0) {
        LogError(message);
        return;
    }
    log.AddLocatedError(node->file, node->location.line, node->location.column, "%s", message.c_str());
    succeeded = false;
}

void Translator::CheckIdentifier(const nString& name) {
    if (IsReservedName(target, name.c_str()))
        LogErrorOnce(name, nString::Format("identifier '%s' is not supported.", name.c_str()));
}

bool Translator::IsReservedFunctionName(const char*) const { return false; }

void Translator::CheckFunctionNames(const FunctionNode* node) {
    if (IsReservedFunctionName(node->name.c_str()))
        LogErrorOnce(nString::Format("%s()", node->name.c_str()),
                     nString::Format("function '%s' would overload a built-in function.", node->name.c_str()));
    CheckIdentifier(node->name);
    const AggregateNode* parameters = FunctionArguments(node);
    for (int i = 0; parameters && i < parameters->children.count; ++i) {
        const ParserNode* parameter = parameters->children[i];
        if (parameter && parameter->node_type == ParserNode::SYMBOL_NODE)
            CheckIdentifier(static_cast<const SymbolNode*>(parameter)->name);
    }
}

void Translator::LogErrorOnce(const nString& what, const nString& message) {
    for (int i = 0; i < refused.count; ++i)
        if (refused[i] == what) return;
    refused.InsertLast(what);
    LogError(message);
}

void Translator::SetActiveSource(const ParserNode* node) {
    if (!inside_function && IsAggregate(node, OP_DECLARATION_LIST)) output = &globals;
}

void Translator::ProcessParserNode(const ParserNode* node) {
    if (!node) return;
    const ParserNode* enclosing = located_node;
    if (node->location.line > 0) located_node = node;
    if (node_depth >= kMaximumNodeDepth) {
        if (succeeded) LogNestingError();
        succeeded = false;
    } else {
        ++node_depth;
        ProcessNodeOfItsType(node);
        --node_depth;
    }
    located_node = enclosing;
}

// Named by file, line and column, as the parser names its own nesting error.
void Translator::LogNestingError() {
    LogErrorAt(located_node, "expression is nested too deeply.");
}

void Translator::ProcessNodeOfItsType(const ParserNode* node) {
    switch (node->node_type) {
    case ParserNode::AGGREGATE_NODE: ProcessAggregateNode(static_cast<const AggregateNode*>(node)); break;
    case ParserNode::FUNCTION_DEFINITION_NODE: ProcessFunctionDefinitionNode(static_cast<const FunctionNode*>(node)); break;
    case ParserNode::FUNCTION_CALL_NODE: ProcessFunctionCallNode(static_cast<const FunctionNode*>(node)); break;
    case ParserNode::ITERATION_NODE: ProcessIterationNode(static_cast<const IterationNode*>(node)); break;
    case ParserNode::JUMP_NODE: ProcessJumpNode(static_cast<const JumpNode*>(node)); break;
    case ParserNode::LITERAL_NODE: ProcessLiteralNode(static_cast<const LiteralNode*>(node)); break;
    case ParserNode::OPERATOR_NODE: ProcessOperatorNode(static_cast<const OperatorNode*>(node)); break;
    case ParserNode::SELECTION_NODE: ProcessSelectionNode(static_cast<const SelectionNode*>(node)); break;
    case ParserNode::SYMBOL_NODE: ProcessSymbolNode(static_cast<const SymbolNode*>(node)); break;
    default: break;
    }
}

void Translator::ProcessAggregateNode(const AggregateNode* node) {
    if (IsAggregate(node, OP_DECLARATION_LIST))
        ProcessVariableSequence(node);
    else if (IsAggregate(node, OP_LIST))
        ProcessSequence(node, true);
}

// A branch or loop body: a single statement goes on its own line one level
// deeper; a sequence prints its own braces.
void Translator::ProcessAggregateNodeOrStatement(const ParserNode* node, bool indent) {
    if (!node) return;
    if (node->node_type == ParserNode::AGGREGATE_NODE) {
        ProcessAggregateNode(static_cast<const AggregateNode*>(node));
        return;
    }
    if (indent) ++indentation;
    ProcessStatement(node, indent, false);
    if (indent) --indentation;
}

void Translator::ProcessStatement(const ParserNode* node, bool indent, bool newline) {
    if (!node) return;
    SetActiveSource(node);
    if (indent) AppendIndentation();
    ProcessParserNode(node);
    if (NeedsSemicolon(node)) Write(";");
    if (newline) Write("\n");
    output = &body;
}

bool Translator::NeedsBlankLineBetween(const ParserNode* previous, const ParserNode* next) const {
    return IsSelectionOrIteration(previous) || IsSelectionOrIteration(next) ||
           IsInitializedArrayDeclaration(previous) || IsInitializedArrayDeclaration(next);
}

void Translator::ProcessSequence(const AggregateNode* sequence, bool braces) {
    bool with_braces = braces && sequence->scoped;
    if (with_braces) {
        AppendIndentation();
        Write("{\n");
        ++indentation;
    }
    const ParserNode* previous = nullptr;
    for (int i = 0; i < sequence->children.count; ++i) {
        const ParserNode* statement = sequence->children[i];
        if (!statement) continue;
        if (previous && NeedsBlankLineBetween(previous, statement)) Write("\n");
        ProcessStatement(statement, true, true);
        previous = statement;
    }
    if (with_braces) {
        --indentation;
        AppendIndentation();
        Write("}");
    }
}

void Translator::ProcessVariableSequence(const AggregateNode* list) {
    output->AppendFormatted("%s ", GetTypeString(list->type).c_str());
    if (list->type.array_size != 0) {
        ProcessVariableArraySequence(list);
        return;
    }
    for (int i = 0; i < list->children.count; ++i) {
        if (i > 0) Write(", ");
        ProcessParserNode(list->children[i]);
    }
}

// Only the first name of a list is the array ("float a[2], b;" makes b a
// float), so the names after it follow as plain declarators.
void Translator::ProcessVariableArraySequence(const AggregateNode* list) {
    if (list->children.count < 1 || !list->children[0]) return;
    const ParserNode* item = list->children[0];
    if (item->node_type == ParserNode::OPERATOR_NODE) {
        const OperatorNode* initialized = static_cast<const OperatorNode*>(item);
        ProcessParserNode(initialized->left);
        output->AppendFormatted("[%i]", list->type.array_size);
        ProcessArrayInitializerList(initialized);
    } else {
        ProcessParserNode(item);
        output->AppendFormatted("[%i]", list->type.array_size);
    }
    for (int i = 1; i < list->children.count; ++i) {
        Write(", ");
        ProcessParserNode(list->children[i]);
    }
}

void Translator::ProcessArrayInitializerList(const OperatorNode* node) {
    Write(" =\n");
    AppendIndentation();
    Write("{\n");
    ++indentation;
    const ParserNode* list = node->right;
    if (IsAggregate(list, OP_LIST)) {
        const AggregateNode* elements = static_cast<const AggregateNode*>(list);
        for (int i = 0; i < elements->children.count; ++i) {
            if (i > 0) Write(",\n");
            AppendIndentation();
            ProcessParserNode(elements->children[i]);
        }
    } else if (list) {
        AppendIndentation();
        ProcessParserNode(list);
    }
    Write("\n");
    --indentation;
    AppendIndentation();
    Write("}");
}

void Translator::ProcessFunctionDefinitionNode(const FunctionNode* function) {
    nString head = nString::Format("%s %s(", GetTypeString(function->type).c_str(), function->name.c_str());
    const AggregateNode* parameters = FunctionArguments(function);
    for (int i = 0; parameters && i < parameters->children.count; ++i) {
        const ParserNode* parameter = parameters->children[i];
        if (!parameter || parameter->node_type != ParserNode::SYMBOL_NODE) continue;
        const SymbolNode* symbol = static_cast<const SymbolNode*>(parameter);
        head.AppendFormatted("%s%s %s", i > 0 ? ", " : "", GetTypeString(symbol->type).c_str(), symbol->name.c_str());
    }
    head.Append(")");
    if (strcmp(function->name.c_str(), "main") != 0) prototypes.AppendFormatted("%s;\n", head.c_str());

    const ParserNode* function_body = FunctionBody(function);
    // A prototype in the source keeps only its head; the statement adds ";".
    output->AppendFormatted("%s%s%s", output->IsEmpty() ? "" : "\n", head.c_str(), function_body ? "\n" : "");
    if (!function_body || function_body->node_type != ParserNode::AGGREGATE_NODE) return;
    inside_function = true;
    ProcessSequence(static_cast<const AggregateNode*>(function_body), true);
    inside_function = false;
}

void Translator::ProcessFunctionCallNode(const FunctionNode* call) {
    nString name = call->built_in ? GetBuiltInFunctionName(call) : call->name;
    output->AppendFormatted("%s(", name.c_str());
    const AggregateNode* arguments = FunctionArguments(call);
    for (int i = 0; arguments && i < arguments->children.count; ++i) {
        if (i > 0) Write(", ");
        ProcessParserNode(arguments->children[i]);
    }
    Write(")");
}

void Translator::WritePrefixOperator(const char* symbol, const ParserNode* operand) {
    Write(symbol);
    int operand_start = output->Length();
    ProcessParserNode(operand);
    size_t symbol_length = strlen(symbol);
    if (symbol_length == 0 || output->Length() <= operand_start) return;
    char last = symbol[symbol_length - 1];
    if ((last == '-' || last == '+') && (*output)[operand_start] == last) output->Insert(operand_start, " ");
}

void Translator::ProcessOperatorNode(const OperatorNode* node) {
    int op = OperatorId(node->op);
    const char* symbol = GetOperatorString(node->op);
    switch (op) {
    case OP_BITWISE_NOT:
    case OP_LOGICAL_NOT:
    case OP_NEGATE:
    case OP_UNARY_PLUS:
    case OP_PRE_DECREMENT:
    case OP_PRE_INCREMENT:
        WritePrefixOperator(symbol, node->left);
        break;
    case OP_PARENTHESES:
        Write("(");
        ProcessParserNode(node->left);
        Write(")");
        break;
    case OP_POST_DECREMENT:
    case OP_POST_INCREMENT:
        ProcessParserNode(node->left);
        Write(symbol);
        break;
    case OP_SUBSCRIPT:
        ProcessParserNode(node->left);
        Write("[");
        ProcessParserNode(node->right);
        Write("]");
        break;
    case OP_SELECT:
        ProcessParserNode(node->left);
        Write(symbol);
        ProcessParserNode(node->right);
        break;
    default:
        WriteOperatorChain(node);
        return;
    }
    CheckOperatorSupport(node);
}

bool Translator::WritesOperatorBetweenOperands(const OperatorNode*) const { return true; }

void Translator::CheckOperatorSupport(const OperatorNode* node) {
    if (!bitwise_operators_supported && IsBitwiseOperator(node->op)) LogError("bit-wise operations are not supported.");
}

// "a + b - c" is the tree ((a + b) - c): each link is written as the
// recursion would write it, left operand, operator, right operand, and
// checked after its right operand, in the same order.
void Translator::WriteOperatorChain(const OperatorNode* node) {
    int base = chain_nodes.count;
    chain_nodes.InsertLast(node);
    const OperatorNode* innermost = node;
    while (node->right && IsLeftChainStep(innermost->op, innermost->left)) {
        const OperatorNode* inner = static_cast<const OperatorNode*>(innermost->left);
        if (!WritesOperatorBetweenOperands(inner)) break;
        chain_nodes.InsertLast(inner);
        innermost = inner;
    }
    ProcessParserNode(innermost->left);
    for (int i = chain_nodes.count - 1; i >= base; --i) {
        const OperatorNode* link = chain_nodes[i];
        output->AppendFormatted(" %s ", GetOperatorString(link->op));
        ProcessParserNode(link->right);
        CheckOperatorSupport(link);
    }
    chain_nodes.count = base;
}

bool Translator::HasSideEffects(const ParserNode* node) {
    // Along a stack, not by recursion: an index may be a long expression.
    nArray<const ParserNode*> pending;
    if (node) pending.InsertLast(node);
    while (pending.count > 0) {
        const ParserNode* next = pending[--pending.count];
        if (!next) continue;
        switch (next->node_type) {
        case ParserNode::OPERATOR_NODE: {
            const OperatorNode* op = static_cast<const OperatorNode*>(next);
            if (ModifiesLeftOperand(op->op)) return true;
            pending.InsertLast(op->left);
            pending.InsertLast(op->right);
            break;
        }
        case ParserNode::FUNCTION_CALL_NODE:
        case ParserNode::AGGREGATE_NODE: {
            // A call's children are its argument list.
            const AggregateNode* list = static_cast<const AggregateNode*>(next);
            if (next->node_type == ParserNode::FUNCTION_CALL_NODE && !static_cast<const FunctionNode*>(next)->built_in)
                return true;
            for (int i = 0; i < list->children.count; ++i) pending.InsertLast(list->children[i]);
            break;
        }
        default: break;
        }
    }
    return false;
}

void Translator::WriteCompoundAssignmentThroughHelper(const OperatorNode* node, const char* operation) {
    Type left_type = TypeOf(node->left);
    Type right_type = TypeOf(node->right);
    nString left_name = GetTypeName(left_type);
    nString right_name = GetTypeName(right_type);
    nString name = nString::Format("%s%s_%s_%s", kHelperFunctionPrefix, operation, left_name.c_str(), right_name.c_str());
    bool written = false;
    for (int i = 0; i < helper_names.count && !written; ++i) written = helper_names[i] == name;
    if (!written) {
        helper_names.InsertLast(name);
        // The helper's statement is the target's own rewrite of the
        // assignment, on the two parameters.
        SymbolNode left;
        left.name = "left";
        left.type = left_type;
        SymbolNode right;
        right.name = "right";
        right.type = right_type;
        OperatorNode assignment;
        assignment.op = node->op;
        assignment.left = &left;
        assignment.right = &right;
        assignment.type = node->type;
        TextBuffer statement;
        TextBuffer* enclosing = output;
        output = &statement;
        ProcessParserNode(&assignment);
        output = enclosing;
        if (!helpers.IsEmpty()) helpers.Append("\n");
        helpers.AppendFormatted("%s %s(inout %s left, %s right)\n{\n\t%s;\n\treturn left;\n}\n", left_name.c_str(),
                                name.c_str(), left_name.c_str(), right_name.c_str(), statement.c_str());
    }
    output->AppendFormatted("%s(", name.c_str());
    ProcessParserNode(node->left);
    Write(", ");
    ProcessParserNode(node->right);
    Write(")");
}

void Translator::CheckPixelPositionRead(const OperatorNode* select) {
    if (pixel_position_passed || !pixel_position_input || shader_type != PIXEL_SHADER) return;
    const ParserNode* left = select->left;
    const ParserNode* right = select->right;
    if (!left || !right || left->node_type != ParserNode::SYMBOL_NODE || right->node_type != ParserNode::SYMBOL_NODE)
        return;
    const SymbolNode* structure = static_cast<const SymbolNode*>(left);
    const SymbolNode* member = static_cast<const SymbolNode*>(right);
    if (structure->type.basic_type != TYPE_STRUCTURE || strcmp(structure->name.c_str(), "input") != 0) return;
    if (!(member->name == pixel_position_input->id)) return;
    LogErrorAt(select, nString::Format("'input.%s' (the POSITION output) is not supported in the pixel shader of "
                                       "target '%s'.",
                                       member->name.c_str(), GetTargetName(target)));
}

void Translator::ProcessJumpNode(const JumpNode* node) {
    Write(GetOperatorString(node->op));
    if (node->operand) {
        Write(" ");
        ProcessParserNode(node->operand);
    }
}

void Translator::ProcessLiteralNode(const LiteralNode* node) { Write(node->text.c_str()); }

void Translator::ProcessSymbolNode(const SymbolNode* node) {
    if (node->shader_constant)
        output->AppendFormatted("_const_%s", node->name.c_str());
    else
        Write(node->name.c_str());
}

void Translator::ProcessSelectionNode(const SelectionNode* node) {
    Write("if (");
    ProcessParserNode(node->condition);
    Write(")\n");
    ProcessAggregateNodeOrStatement(node->then_branch, true);
    const ParserNode* else_branch = node->else_branch;
    if (!else_branch) return;
    Write("\n");
    AppendIndentation();
    bool chained = else_branch->node_type == ParserNode::SELECTION_NODE;
    Write(chained ? "else " : "else\n");
    if (chained)
        ProcessStatement(else_branch, false, false);
    else
        ProcessAggregateNodeOrStatement(else_branch, true);
}

void Translator::ProcessIterationNode(const IterationNode* node) {
    switch (node->kind) {
    case IterationNode::WHILE: ProcessWhileLoop(node); break;
    case IterationNode::FOR: ProcessForLoop(node); break;
    default: Write("do\n"); break;
    }
    ProcessAggregateNodeOrStatement(node->body, true);
    if (node->kind == IterationNode::DO_WHILE) ProcessWhileLoop(node);
}

void Translator::ProcessForLoop(const IterationNode* node) {
    Write("for (");
    ProcessParserNode(node->initializer);
    Write("; ");
    ProcessParserNode(node->condition);
    Write("; ");
    ProcessParserNode(node->increment);
    Write(")\n");
}

void Translator::ProcessWhileLoop(const IterationNode* node) {
    bool do_while_tail = node->kind == IterationNode::DO_WHILE;
    if (do_while_tail) {
        Write("\n");
        AppendIndentation();
    }
    Write("while (");
    ProcessParserNode(node->condition);
    Write(do_while_tail ? ");" : ")\n");
}

bool Translator::IsBitwiseOperator(Operator op) {
    const OperatorDescription* description = FindOperator(op);
    return description && description->bitwise;
}

bool Translator::IsSamplerFunctionOperator(Operator op) {
    int id = OperatorId(op);
    return id >= OP_SAMPLE_TEXTURE && id <= OP_SAMPLE_TEXTURE_LOD_OFFSET;
}

const char* Translator::GetTextureTypeNameSuffix(const Type& type) {
    switch (type.texture_kind) {
    case TEXTURE_2D: return "2D";
    case TEXTURE_3D: return "3D";
    case TEXTURE_CUBE: return "Cube";
    default: return "";
    }
}

}  // namespace ShaderTool
