// GLSL21Translator: the expression and statement rewrites that every GLSL
// dialect shares (type names, built-in names, sampling, modulo, all/any,
// saturate, member access to the Shader XML's values, array constructors,
// conditions).
#include "shadertool/frontend/name_index.h"
#include "shadertool/translate/glsl_translators.h"

#include <cstring>

namespace ShaderTool {

namespace {

const Type* TypeOf(const ParserNode* node) {
    if (!node) return nullptr;
    switch (node->node_type) {
    case ParserNode::ITERATION_NODE:
    case ParserNode::JUMP_NODE:
    case ParserNode::SELECTION_NODE:
        return nullptr;
    default:
        return &static_cast<const TypedNode*>(node)->type;
    }
}

const AggregateNode* Arguments(const FunctionNode* call) {
    if (call->children.count < 1 || !call->children[0]) return nullptr;
    if (call->children[0]->node_type != ParserNode::AGGREGATE_NODE) return nullptr;
    return static_cast<const AggregateNode*>(call->children[0]);
}

const ParserNode* Argument(const FunctionNode* call, int index) {
    const AggregateNode* arguments = Arguments(call);
    if (!arguments || index >= arguments->children.count) return nullptr;
    return arguments->children[index];
}

const SymbolNode* AsSymbol(const ParserNode* node) {
    return node && node->node_type == ParserNode::SYMBOL_NODE ? static_cast<const SymbolNode*>(node) : nullptr;
}

int VectorSizeOf(const ParserNode* node) {
    const Type* type = TypeOf(node);
    return type ? type->vector_size : 0;
}

// "float" for a scalar, "vec3" for a 3-vector: the float type of the same
// shape, used to hand int values to mod().
nString FloatTypeName(int vectorSize) {
    return vectorSize >= 2 ? nString::Format("vec%i", vectorSize) : nString("float");
}

// Operators whose text binds tighter than "!=", so that "x != 0" needs no
// parentheses around them.
bool BindsTighterThanComparison(const ParserNode* node) {
    if (node->node_type != ParserNode::OPERATOR_NODE) return true;
    Operator op = static_cast<const OperatorNode*>(node)->op;
    return op == OP_PARENTHESES || op == OP_SELECT || op == OP_SUBSCRIPT;
}

// Sampling functions of GLSL 1.20 carry the texture kind in their name and
// the way of choosing the level after it: texture2D, texture3DLod, ...
const char* SamplingNameEnding(Operator op) {
    switch (op) {
    case OP_SAMPLE_TEXTURE_GRAD: return "Grad";
    case OP_SAMPLE_TEXTURE_LOD: return "Lod";
    case OP_SAMPLE_TEXTURE_LOD_OFFSET: return "LodOffset";
    default: return "";
    }
}

}  // namespace

GLSL21Translator::GLSL21Translator(Log& log)
    : Translator(log),
      declaration_formats(GLSL_DECLARATION_FORMATS),
      variable_formats(GLSL_VARIABLE_FORMATS),
      location_layout(false),
      position_input(nullptr),
      position_output(nullptr),
      integer_varying_qualifier(nullptr),
      constant_global_initializers_required(false) {
    InitializeFunctionMap(false);
}

void GLSL21Translator::InitializeFunctionMap(bool inOutStyle) {
    for (int i = 0; i < GLSL_FUNCTION_RENAME_COUNT; ++i) {
        const GLSLFunctionRename& rename = GLSL_FUNCTION_RENAMES[i];
        function_map[rename.zksl] = inOutStyle ? rename.glsl31 : rename.glsl21;
    }
}

void GLSL21Translator::Reset() {
    Translator::Reset();
    extensions.count = 0;
    position_input = nullptr;
    position_output = nullptr;
}

nString GLSL21Translator::GetTypeName(const Type& type) const {
    static const char* const kFloatVectors[] = {"vec2", "vec3", "vec4"};
    static const char* const kMatrices[] = {"mat2", "mat3", "mat4"};
    static const char* const kIntVectors[] = {"ivec2", "ivec3", "ivec4"};
    if (type.basic_type == TYPE_FLOAT) {
        if (type.vector_size >= 2 && type.vector_size <= 4) return nString(kFloatVectors[type.vector_size - 2]);
        if (type.vector_size < 2 && type.matrix_size >= 2 && type.matrix_size <= 4)
            return nString(kMatrices[type.matrix_size - 2]);
        return nString("float");
    }
    if (type.basic_type == TYPE_INT) {
        if (type.vector_size >= 2 && type.vector_size <= 4) return nString(kIntVectors[type.vector_size - 2]);
        return nString("int");
    }
    return Translator::GetTypeName(type);
}

nString GLSL21Translator::GetBuiltInFunctionName(const FunctionNode* call) {
    nString name = Translator::GetBuiltInFunctionName(call);
    if (!IsSamplerFunctionOperator(call->op)) return name;
    const Type* texture = TypeOf(Argument(call, 0));
    if (texture) name.Append(GetTextureTypeNameSuffix(*texture));
    name.Append(SamplingNameEnding(call->op));
    return name;
}

void GLSL21Translator::AddExtension(const char* name, bool warn) {
    for (int i = 0; i < extensions.count; ++i)
        if (strcmp(extensions[i], name) == 0) return;
    if (warn) log.AddWarning("shader requires extension '%s'.", name);
    extensions.InsertLast(name);
}

void GLSL21Translator::ProcessFunctionCallNode(const FunctionNode* node) {
    switch (node->op) {
    case OP_SAMPLE_TEXTURE_GRAD:
    case OP_SAMPLE_TEXTURE_LOD:
    case OP_SAMPLE_TEXTURE_LOD_OFFSET:
        AddExtension("GL_EXT_gpu_shader4", false);
        CheckTexelOffset(node);
        Translator::ProcessFunctionCallNode(node);
        break;
    case OP_ALL:
    case OP_ANY: ProcessAllOrAnyFunctionCallNode(node); break;
    case OP_SATURATE: ProcessSaturateFunctionCallNode(node); break;
    default: Translator::ProcessFunctionCallNode(node); break;
    }
}

// GLSL's all() and any() take boolean vectors only.
void GLSL21Translator::ProcessAllOrAnyFunctionCallNode(const FunctionNode* node) {
    const ParserNode* argument = Argument(node, 0);
    output->AppendFormatted("%s(bvec%i(", node->name.c_str(), VectorSizeOf(argument));
    ProcessParserNode(argument);
    Write("))");
}

void GLSL21Translator::ProcessSaturateFunctionCallNode(const FunctionNode* node) {
    LiteralNode zero;
    zero.type = Type::Scalar(TYPE_FLOAT);
    zero.text = "0.0f";
    LiteralNode one;
    one.type = Type::Scalar(TYPE_FLOAT);
    one.text = "1.0f";
    Write("clamp(");
    ProcessParserNode(Argument(node, 0));
    Write(", ");
    ProcessLiteralNode(&zero);
    Write(", ");
    ProcessLiteralNode(&one);
    Write(")");
}

void GLSL21Translator::ProcessOperatorNode(const OperatorNode* node) {
    if (node->op == OP_ASSIGN && !inside_function) CheckGlobalInitializer(node->left, node->right);
    CheckPixelInputWrite(node);
    if (node->op == OP_MODULO || node->op == OP_ASSIGN_MODULO) {
        ProcessModuloOperatorNode(node);
        return;
    }
    if (node->op == OP_SELECT && ProcessMemberOperatorNode(node)) return;
    Translator::ProcessOperatorNode(node);
}

bool GLSL21Translator::WritesOperatorBetweenOperands(const OperatorNode* node) const {
    return node->op != OP_MODULO && node->op != OP_ASSIGN_MODULO;
}

// GLSL 1.20 and ES 1.00 reserve "%": int remainders go through mod() on
// floats and back.
void GLSL21Translator::ProcessModuloOperatorNode(const OperatorNode* node) {
    if (node->op == OP_ASSIGN_MODULO && HasSideEffects(node->left)) {
        WriteCompoundAssignmentThroughHelper(node, "mod");
        return;
    }
    if (node->op == OP_ASSIGN_MODULO) {
        ProcessParserNode(node->left);
        Write(" = ");
    }
    int left_size = VectorSizeOf(node->left);
    nString result = left_size >= 2 ? nString::Format("ivec%i", left_size) : nString("int");
    output->AppendFormatted("%s(mod(%s(", result.c_str(), FloatTypeName(left_size).c_str());
    ProcessParserNode(node->left);
    output->AppendFormatted("), %s(", FloatTypeName(VectorSizeOf(node->right)).c_str());
    ProcessParserNode(node->right);
    Write(")))");
}

bool GLSL21Translator::ProcessMemberOperatorNode(const OperatorNode* node) {
    const SymbolNode* structure = AsSymbol(node->left);
    const SymbolNode* member = AsSymbol(node->right);
    // Only the built-in structures are rewritten; a user vector that happens
    // to be named like one keeps its swizzle.
    if (!structure || !member || structure->type.basic_type != TYPE_STRUCTURE) return false;
    CheckPixelPositionRead(node);
    if (strcmp(structure->name.c_str(), "input") == 0 && ProcessInputMemberOperatorNode(member->name)) return true;
    const char* format = GetVariableFormat(structure->name, member->name);
    if (!format) return false;
    // Integer vertex inputs are declared as float attributes.
    bool converted = shader_type == VERTEX_SHADER && strcmp(structure->name.c_str(), "input") == 0 &&
                     member->type.basic_type != TYPE_FLOAT;
    if (converted) output->AppendFormatted("%s(", GetTypeName(member->type).c_str());
    output->AppendFormatted(format, member->name.c_str());
    if (converted) Write(")");
    return true;
}

// Each stage has its own special members; in the other stage the same name
// is an ordinary input (a vertex output may be called "vertex_id").
bool GLSL21Translator::ProcessInputMemberOperatorNode(const nString& member) {
    const char* name = member.c_str();
    if (shader_type == PIXEL_SHADER && strcmp(name, "face_direction") == 0) {
        ProcessFaceDirectionMemberOperatorNode();
    } else if (shader_type == VERTEX_SHADER && strcmp(name, "instance_id") == 0) {
        ProcessInstanceIDMemberOperatorNode();
    } else if (shader_type == PIXEL_SHADER && strcmp(name, "is_front_facing") == 0) {
        Write("gl_FrontFacing");
    } else if (shader_type == VERTEX_SHADER && strcmp(name, "vertex_id") == 0) {
        LogError("'input.vertex_id' is not supported.");
    } else {
        return false;
    }
    return true;
}

void GLSL21Translator::ProcessFaceDirectionMemberOperatorNode() { Write("(gl_FrontFacing ? 1.0f : -1.0f)"); }

// GLSL 1.20 has no instance id.
void GLSL21Translator::ProcessInstanceIDMemberOperatorNode() { LogError("'input.instance_id' is not supported."); }

const char* GLSL21Translator::GetVariableFormat(const nString& structure, const nString& member) const {
    const char* name = structure.c_str();
    if (strcmp(name, "constants") == 0) return variable_formats[NAME_CONSTANT];
    if (strcmp(name, "texture") == 0) return variable_formats[NAME_TEXTURE];
    bool input = strcmp(name, "input") == 0;
    bool output = strcmp(name, "output") == 0;
    if (shader_type == PIXEL_SHADER) {
        if (input) return variable_formats[NAME_PIXEL_INPUT];
        if (output) return variable_formats[NAME_PIXEL_OUTPUT];
    } else if (shader_type == VERTEX_SHADER) {
        if (input) return variable_formats[NAME_VERTEX_INPUT];
        if (output) {
            bool position = position_output && position_output->id == member;
            return variable_formats[position ? NAME_POSITION_OUTPUT : NAME_VERTEX_OUTPUT];
        }
    }
    return nullptr;
}

void GLSL21Translator::ProcessArrayInitializerList(const OperatorNode* node) {
    const Type* declared = TypeOf(node->left);
    output->AppendFormatted(" = %s[]\n", GetTypeName(declared ? *declared : node->type).c_str());
    AppendIndentation();
    Write("(\n");
    ++indentation;
    const ParserNode* list = node->right;
    if (list && list->node_type == ParserNode::AGGREGATE_NODE) {
        const AggregateNode* elements = static_cast<const AggregateNode*>(list);
        for (int i = 0; i < elements->children.count; ++i) {
            if (i > 0) Write(",\n");
            AppendIndentation();
            ProcessParserNode(elements->children[i]);
            if (!inside_function) CheckGlobalInitializer(node->left, elements->children[i]);
        }
    }
    Write("\n");
    --indentation;
    AppendIndentation();
    Write(")");
}

void GLSL21Translator::CheckGlobalInitializer(const ParserNode* variable, const ParserNode* value) {
    if (!constant_global_initializers_required || IsConstantExpression(value)) return;
    const SymbolNode* symbol = AsSymbol(variable);
    LogError(nString::Format("initializer of global variable '%s' must be a constant expression.",
                             symbol ? symbol->name.c_str() : ""));
}

// What the GLSL compilers fold: literals, const variables with constant
// values, and operators, constructors and built-in functions (but sampling)
// applied to those.
bool GLSL21Translator::IsConstantExpression(const ParserNode* node) const {
    if (!node) return true;
    switch (node->node_type) {
    case ParserNode::LITERAL_NODE: return true;
    case ParserNode::SYMBOL_NODE: {
        const SymbolNode* symbol = static_cast<const SymbolNode*>(node);
        return symbol->type.constant && !symbol->shader_constant;
    }
    case ParserNode::OPERATOR_NODE: {
        const OperatorNode* op = static_cast<const OperatorNode*>(node);
        // Along a chain of one operator level the walk goes in a loop.
        while (op->right && IsLeftChainStep(op->op, op->left)) {
            if (!IsConstantExpression(op->right)) return false;
            op = static_cast<const OperatorNode*>(op->left);
        }
        // The right side of "." names a member or a swizzle.
        if (op->op == OP_SELECT) return IsConstantExpression(op->left);
        return IsConstantExpression(op->left) && IsConstantExpression(op->right);
    }
    case ParserNode::FUNCTION_CALL_NODE: {
        const FunctionNode* call = static_cast<const FunctionNode*>(node);
        if (!call->built_in || IsSamplerFunctionOperator(call->op)) return false;
        const AggregateNode* arguments = Arguments(call);
        for (int i = 0; arguments && i < arguments->children.count; ++i)
            if (!IsConstantExpression(arguments->children[i])) return false;
        return true;
    }
    case ParserNode::AGGREGATE_NODE: {
        const AggregateNode* list = static_cast<const AggregateNode*>(node);
        for (int i = 0; i < list->children.count; ++i)
            if (!IsConstantExpression(list->children[i])) return false;
        return true;
    }
    default: return false;
    }
}

void GLSL21Translator::CheckTexelOffset(const FunctionNode* node) {
    if (node->op != OP_SAMPLE_TEXTURE_LOD_OFFSET || IsConstantExpression(Argument(node, 3))) return;
    LogError(nString::Format("offset of function '%s' must be a constant expression.", node->name.c_str()));
}

void GLSL21Translator::CheckPixelInputWrite(const OperatorNode* node) {
    if (shader_type != PIXEL_SHADER || !ModifiesLeftOperand(node->op)) return;
    const SymbolNode* member = nullptr;
    const ParserNode* target = node->left;
    while (target && target->node_type == ParserNode::OPERATOR_NODE) {
        const OperatorNode* step = static_cast<const OperatorNode*>(target);
        if (step->op != OP_SELECT && step->op != OP_SUBSCRIPT && step->op != OP_PARENTHESES) return;
        const SymbolNode* structure = AsSymbol(step->left);
        if (step->op == OP_SELECT && structure && structure->type.basic_type == TYPE_STRUCTURE &&
            strcmp(structure->name.c_str(), "input") == 0)
            member = AsSymbol(step->right);
        target = step->left;
    }
    if (!member) return;
    nString name = nString::Format("input.%s", member->name.c_str());
    LogErrorOnce(name, nString::Format("writing to '%s' is not supported.", name.c_str()));
}

// The built-in structures and the Shader XML's constants are written under
// names of their own.
void GLSL21Translator::ProcessSymbolNode(const SymbolNode* node) {
    if (!node->shader_constant && node->type.basic_type != TYPE_STRUCTURE) CheckIdentifier(node->name);
    Translator::ProcessSymbolNode(node);
}

bool GLSL21Translator::IsReservedFunctionName(const char* name) const {
    static const NameSet substituted(GLSL21_SUBSTITUTED_FUNCTIONS, GLSL21_SUBSTITUTED_FUNCTION_COUNT);
    return substituted.Contains(name);
}

void GLSL21Translator::ProcessFunctionDefinitionNode(const FunctionNode* node) {
    CheckFunctionNames(node);
    Translator::ProcessFunctionDefinitionNode(node);
}

const ParserNode* GLSL21Translator::GetBooleanCondition(const ParserNode* condition, ConditionScratch& scratch) {
    const Type* type = TypeOf(condition);
    if (!type || type->basic_type != TYPE_INT || type->array_size != 0) return condition;
    if (type->vector_size != 1) {
        LogError(nString::Format("condition of type '%s' is not supported.", ShaderTool::GetTypeName(*type, false).c_str()));
        return condition;
    }
    const ParserNode* operand = condition;
    if (!BindsTighterThanComparison(condition)) {
        scratch.parentheses.op = OP_PARENTHESES;
        scratch.parentheses.left = const_cast<ParserNode*>(condition);
        scratch.parentheses.type = *type;
        operand = &scratch.parentheses;
    }
    scratch.zero.text = "0";
    scratch.zero.type = Type::Scalar(TYPE_INT);
    scratch.comparison.op = OP_NOT_EQUAL;
    scratch.comparison.left = const_cast<ParserNode*>(operand);
    scratch.comparison.right = &scratch.zero;
    scratch.comparison.type = Type::Scalar(TYPE_BOOL);
    return &scratch.comparison;
}

void GLSL21Translator::ProcessSelectionNode(const SelectionNode* node) {
    ConditionScratch scratch;
    SelectionNode selection = *node;
    selection.condition = const_cast<ParserNode*>(GetBooleanCondition(node->condition, scratch));
    Translator::ProcessSelectionNode(&selection);
}

void GLSL21Translator::ProcessForLoop(const IterationNode* node) {
    ConditionScratch scratch;
    IterationNode loop = *node;
    loop.condition = const_cast<ParserNode*>(GetBooleanCondition(node->condition, scratch));
    Translator::ProcessForLoop(&loop);
}

void GLSL21Translator::ProcessWhileLoop(const IterationNode* node) {
    ConditionScratch scratch;
    IterationNode loop = *node;
    loop.condition = const_cast<ParserNode*>(GetBooleanCondition(node->condition, scratch));
    Translator::ProcessWhileLoop(&loop);
}

}  // namespace ShaderTool
