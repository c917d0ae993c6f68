// HLSL9Translator: the expression rewrites that every HLSL dialect shares
// (member access to the Shader XML's values, special inputs, mul() for
// matrix products, casts, comparisons of vectors, int constants, static
// globals) and the sampling functions of the dialect without texture
// objects.
#include <cstring>

#include "shadertool/translate/hlsl_translators.h"

namespace ShaderTool {

namespace {

const Type* TypeOf(const ParserNode* node) {
    if (!node || !IsTypedNode(node)) return nullptr;
    return &static_cast<const TypedNode*>(node)->type;
}

const AggregateNode* Arguments(const FunctionNode* call) {
    if (call->children.count < 1 || !call->children[0]) return nullptr;
    if (call->children[0]->node_type != ParserNode::AGGREGATE_NODE) return nullptr;
    return static_cast<const AggregateNode*>(call->children[0]);
}

int ArgumentCount(const FunctionNode* call) {
    const AggregateNode* arguments = Arguments(call);
    return arguments ? arguments->children.count : 0;
}

const ParserNode* Argument(const FunctionNode* call, int index) {
    const AggregateNode* arguments = Arguments(call);
    if (!arguments || index >= arguments->children.count) return nullptr;
    return arguments->children[index];
}

const SymbolNode* AsSymbol(const ParserNode* node) {
    return node && node->node_type == ParserNode::SYMBOL_NODE ? static_cast<const SymbolNode*>(node) : nullptr;
}

bool IsMatrix(const Type* type) { return type && type->array_size == 0 && type->matrix_size >= 1; }
bool IsVector(const Type* type) { return type && type->array_size == 0 && type->vector_size >= 2; }

// A member of one of the built-in structures: `structure`.member.
const SymbolNode* BuiltInMember(const ParserNode* node, const char* structure) {
    if (!node || node->node_type != ParserNode::OPERATOR_NODE) return nullptr;
    const OperatorNode* select = static_cast<const OperatorNode*>(node);
    const SymbolNode* left = AsSymbol(select->left);
    if (select->op != OP_SELECT || !left || left->type.basic_type != TYPE_STRUCTURE) return nullptr;
    if (strcmp(left->name.c_str(), structure) != 0) return nullptr;
    return AsSymbol(select->right);
}

bool IsIntegerType(const Type& type) { return type.basic_type == TYPE_INT; }

// A product with a matrix, which HLSL writes with mul().
bool IsMatrixProduct(const OperatorNode* node) {
    if (node->op != OP_MULTIPLY && node->op != OP_ASSIGN_MULTIPLY) return false;
    const Type* left = TypeOf(node->left);
    const Type* right = TypeOf(node->right);
    return (IsMatrix(left) && (IsVector(right) || IsMatrix(right))) || (IsVector(left) && IsMatrix(right));
}

// A comparison of vectors or matrices, which HLSL makes per component.
bool ComparesPerComponent(const OperatorNode* node) {
    if (node->op != OP_EQUAL && node->op != OP_NOT_EQUAL) return false;
    const Type* left = TypeOf(node->left);
    return IsVector(left) || IsMatrix(left);
}

// The constructors whose single argument may have another vector size;
// HLSL writes those as casts.
bool IsVectorConstructor(Operator op) {
    switch (op) {
    case OP_CONSTRUCT_FLOAT2:
    case OP_CONSTRUCT_FLOAT3:
    case OP_CONSTRUCT_FLOAT4:
    case OP_CONSTRUCT_INT2:
    case OP_CONSTRUCT_INT3:
    case OP_CONSTRUCT_INT4: return true;
    default: return false;
    }
}

// How tightly an expression binds, as in C (see operators.def); 15 for
// what is no operator node.
int Precedence(const ParserNode* node) {
    if (!node || node->node_type != ParserNode::OPERATOR_NODE) return 15;
    const OperatorDescription* description = FindOperator(static_cast<const OperatorNode*>(node)->op);
    return description ? description->precedence : 15;
}

}  // namespace

HLSL9Translator::HLSL9Translator(Log& log) : HLSL9Translator(log, HLSL9_DIALECT) {}

HLSL9Translator::HLSL9Translator(Log& log, const HLSLDialect& dialect)
    : Translator(log),
      dialect(dialect),
      facing_declaration(nullptr),
      instance_id_declaration(nullptr),
      vertex_id_declaration(nullptr),
      target_semantic(dialect.target_semantic),
      position_semantic(dialect.position_semantic),
      pixel_textures(nullptr),
      pixel_constants(nullptr),
      vertex_inputs(nullptr),
      reciprocal_dimensions_declared(),
      constant_buffer_keyword(dialect.constant_buffer_keyword) {
    pixel_position_passed = dialect.pixel_position_passed;
    InitializeFunctionMap();
}

// Every other built-in has its ZKSL name in HLSL.
void HLSL9Translator::InitializeFunctionMap() {
    function_map["sampleTexture"] = "tex";
    function_map["sampleTextureGrad"] = "tex";
    function_map["sampleTextureLod"] = "tex";
    function_map["sampleTextureLodOffset"] = "tex";
}

void HLSL9Translator::Reset() {
    Translator::Reset();
    facing_declaration = nullptr;
    instance_id_declaration = nullptr;
    vertex_id_declaration = nullptr;
    pixel_textures = nullptr;
    pixel_constants = nullptr;
    vertex_inputs = nullptr;
    for (bool& declared : reciprocal_dimensions_declared) declared = false;
}

void HLSL9Translator::PreprocessShaderInfo(const ShaderInfo& info) {
    if (shader_type == PIXEL_SHADER) {
        pixel_textures = &info.pixel_textures;
        pixel_constants = &info.pixel_constants;
    }
    if (shader_type == VERTEX_SHADER) vertex_inputs = &info.vertex_input;
}

nString HLSL9Translator::GetBuiltInFunctionName(const FunctionNode* call) {
    nString name = Translator::GetBuiltInFunctionName(call);
    if (!IsSamplerFunctionOperator(call->op)) return name;
    const Type* texture = TypeOf(Argument(call, 0));
    if (texture) name.Append(GetHLSL9TextureKindName(texture->texture_kind));
    name.Append(GetHLSL9SamplingEnding(call->op));
    return name;
}

// --- Calls ---------------------------------------------------------------------

void HLSL9Translator::ProcessFunctionCallNode(const FunctionNode* node) {
    if (IsVectorConstructor(node->op) && ProcessConstructorFunctionCallNode(node)) return;
    if (node->op == OP_SAMPLE_TEXTURE_LOD || node->op == OP_SAMPLE_TEXTURE_LOD_OFFSET) {
        ProcessSampleTextureLodFunctionCallNode(node);
        return;
    }
    if (node->op == OP_SIGN) {
        ProcessSignFunctionCallNode(node);
        return;
    }
    Translator::ProcessFunctionCallNode(node);
}

// HLSL's sign() gives ints; ZKSL's gives the float type of its argument,
// and "sign(x) / 2" must not divide integers.
void HLSL9Translator::ProcessSignFunctionCallNode(const FunctionNode* node) {
    output->AppendFormatted("%s(", GetTypeName(node->type).c_str());
    Translator::ProcessFunctionCallNode(node);
    Write(")");
}

bool HLSL9Translator::WritesAsCast(const ParserNode* node) {
    if (!node || node->node_type != ParserNode::FUNCTION_CALL_NODE) return false;
    const FunctionNode* call = static_cast<const FunctionNode*>(node);
    if (!IsVectorConstructor(call->op) || ArgumentCount(call) != 1) return false;
    const Type* type = TypeOf(Argument(call, 0));
    return type && type->vector_size != call->type.vector_size;
}

bool HLSL9Translator::ProcessConstructorFunctionCallNode(const FunctionNode* node) {
    if (!WritesAsCast(node)) return false;
    const ParserNode* argument = Argument(node, 0);
    output->AppendFormatted("(%s)(", GetTypeName(node->type).c_str());
    ProcessParserNode(argument);
    Write(")");
    return true;
}

// The level (and the offset, scaled by the texture's reciprocal size) ride
// in the coordinates: tex2Dlod(t, float4(uv, 0.0f, level)).
void HLSL9Translator::ProcessSampleTextureLodFunctionCallNode(const FunctionNode* node) {
    const ParserNode* texture = Argument(node, 0);
    const ParserNode* coordinates = Argument(node, 1);
    bool offset = node->op == OP_SAMPLE_TEXTURE_LOD_OFFSET;
    nString reciprocal;
    if (offset) reciprocal = AddReciprocalTextureDimensionsConstant(BuiltInMember(texture, "texture"));
    output->AppendFormatted("%s(", GetBuiltInFunctionName(node).c_str());
    ProcessParserNode(texture);
    Write(", float4(");
    if (offset) {
        // The arguments become operands of "+" and "*": parentheses keep
        // each one whole.
        WriteOperand(coordinates, 12);
        output->AppendFormatted(" + %s * ", reciprocal.c_str());
        WriteOperand(Argument(node, 3), 14);
    } else {
        ProcessParserNode(coordinates);
    }
    const Type* coordinates_type = TypeOf(coordinates);
    output->AppendFormatted(", %s", coordinates_type && coordinates_type->vector_size == 2 ? "0.0f, " : "");
    ProcessParserNode(Argument(node, 2));
    Write("))");
}

void HLSL9Translator::WriteOperand(const ParserNode* node, int precedence) {
    bool parentheses = Precedence(node) < precedence;
    if (parentheses) Write("(");
    ProcessParserNode(node);
    if (parentheses) Write(")");
}

nString HLSL9Translator::AddReciprocalTextureDimensionsConstant(const SymbolNode* texture) {
    nString name("_const_reciprocal_texture_dimensions_");
    int index = -1;
    for (int i = 0; texture && pixel_textures && i < pixel_textures->count; ++i)
        if ((*pixel_textures)[i].id == texture->name) index = i;
    if (index < 0) return name;
    name.AppendFormatted("%i", index);
    // The Shader XML's constants are declared under the same prefix: a
    // constant of this id would be declared a second time under this name,
    // and the engine would fill one variable with two values.
    const char* constant_id = name.c_str() + strlen("_const_");
    for (int i = 0; pixel_constants && i < pixel_constants->count; ++i)
        if (strcmp((*pixel_constants)[i].id.c_str(), constant_id) == 0)
            LogErrorOnce(nString(constant_id), nString::Format("identifier '%s' is not supported.", constant_id));
    if (index < kMaximumTextures && !reciprocal_dimensions_declared[index]) {
        bool two_dimensional = (*pixel_textures)[index].type.texture_kind == TEXTURE_2D;
        header.AppendFormatted("%s %s;\n", two_dimensional ? "float2" : "float3", name.c_str());
        reciprocal_dimensions_declared[index] = true;
    }
    return name;
}

// --- Operators -------------------------------------------------------------------

void HLSL9Translator::ProcessOperatorNode(const OperatorNode* node) {
    switch (node->op) {
    case OP_SELECT:
        if (ProcessMemberOperatorNode(node)) return;
        break;
    case OP_MULTIPLY:
    case OP_ASSIGN_MULTIPLY:
        if (ProcessMultiplyOperatorNode(node)) return;
        break;
    case OP_EQUAL:
    case OP_NOT_EQUAL:
        if (ProcessComparisonOperatorNode(node)) return;
        break;
    case OP_SUBSCRIPT:
        if (ProcessIntegerConstantElementNode(node)) return;
        break;
    default: break;
    }
    if ((node->op == OP_SELECT || node->op == OP_SUBSCRIPT) && WritesAsCast(node->left)) {
        // "(float4)(x).y" would select from x: the cast goes in parentheses.
        OperatorNode parentheses;
        parentheses.op = OP_PARENTHESES;
        parentheses.left = node->left;
        OperatorNode selection = *node;
        selection.left = &parentheses;
        Translator::ProcessOperatorNode(&selection);
        return;
    }
    Translator::ProcessOperatorNode(node);
}

bool HLSL9Translator::WritesOperatorBetweenOperands(const OperatorNode* node) const {
    return !IsMatrixProduct(node) && !ComparesPerComponent(node);
}

// "*" on HLSL matrices multiplies per component; the matrix product that
// the other targets compute is mul(). For "*=" the left operand is
// assigned the product.
bool HLSL9Translator::ProcessMultiplyOperatorNode(const OperatorNode* node) {
    if (!IsMatrixProduct(node)) return false;
    if (node->op == OP_ASSIGN_MULTIPLY && HasSideEffects(node->left)) {
        WriteCompoundAssignmentThroughHelper(node, "mul");
        return true;
    }
    if (node->op == OP_ASSIGN_MULTIPLY) {
        ProcessParserNode(node->left);
        Write(" = ");
    }
    Write("mul(");
    ProcessParserNode(node->left);
    Write(", ");
    ProcessParserNode(node->right);
    Write(")");
    return true;
}

// HLSL compares vectors and matrices per component; ZKSL's "==" is true
// when every component is equal and "!=" when any differs.
bool HLSL9Translator::ProcessComparisonOperatorNode(const OperatorNode* node) {
    if (!ComparesPerComponent(node)) return false;
    Write(node->op == OP_EQUAL ? "all(" : "any(");
    Translator::ProcessOperatorNode(node);
    Write(")");
    return true;
}

bool HLSL9Translator::ProcessMemberOperatorNode(const OperatorNode* node) {
    const SymbolNode* structure = AsSymbol(node->left);
    const SymbolNode* member = AsSymbol(node->right);
    // Only the built-in structures are rewritten; a user vector that happens
    // to be named like one keeps its swizzle.
    if (!structure || !member || structure->type.basic_type != TYPE_STRUCTURE) return false;
    CheckPixelPositionRead(node);
    const char* name = structure->name.c_str();
    if (strcmp(name, "input") == 0)
        return ProcessInputMemberOperatorNode(member->name) || ProcessUnsignedVertexInputNode(member->name);
    if (strcmp(name, "constants") == 0) {
        if (!constant_buffer_keyword && IsIntegerType(member->type) && member->type.array_size == 0)
            WriteIntegerConstant(member->name.c_str(), member->type.vector_size);
        else
            output->AppendFormatted("_const_%s", member->name.c_str());
        return true;
    }
    if (strcmp(name, "texture") == 0) {
        output->AppendFormatted("_tex_%s", member->name.c_str());
        return true;
    }
    return false;
}

bool HLSL9Translator::ProcessInputMemberOperatorNode(const nString& member) {
    const char* name = member.c_str();
    if (strcmp(name, "face_direction") == 0) {
        ProcessFaceDirectionMemberOperatorNode();
        if (!facing_declaration) SetFacingDeclaration();
    } else if (strcmp(name, "is_front_facing") == 0) {
        ProcessIsFrontFacingMemberOperatorNode();
        if (!facing_declaration) SetFacingDeclaration();
    } else if (strcmp(name, "instance_id") == 0) {
        ProcessInstanceIDMemberOperatorNode();
        if (!instance_id_declaration) SetInstanceIDDeclaration();
    } else if (strcmp(name, "vertex_id") == 0) {
        ProcessVertexIDMemberOperatorNode();
        if (!vertex_id_declaration) SetVertexIDDeclaration();
    } else {
        return false;
    }
    return true;
}

// ZKSL reads bone indices as int4: through the cast, arithmetic on them is
// signed as in the other targets.
bool HLSL9Translator::ProcessUnsignedVertexInputNode(const nString& member) {
    for (int i = 0; vertex_inputs && i < vertex_inputs->count; ++i) {
        const ShaderVertexInputVariable& input = (*vertex_inputs)[i];
        if (input.semantic != INPUT_4_BONE_INDICES || !(input.id == member)) continue;
        output->AppendFormatted("int4(input.%s)", member.c_str());
        return true;
    }
    return false;
}

void HLSL9Translator::SetFacingDeclaration() { facing_declaration = dialect.facing_declaration; }
void HLSL9Translator::SetInstanceIDDeclaration() { instance_id_declaration = dialect.instance_id_declaration; }
void HLSL9Translator::SetVertexIDDeclaration() { vertex_id_declaration = dialect.vertex_id_declaration; }

void HLSL9Translator::ProcessFaceDirectionMemberOperatorNode() { Write(dialect.face_direction); }
void HLSL9Translator::ProcessIsFrontFacingMemberOperatorNode() { Write(dialect.is_front_facing); }

void HLSL9Translator::ProcessInstanceIDMemberOperatorNode() {
    if (dialect.instance_id)
        Write(dialect.instance_id);
    else
        LogError("'input.instance_id' is not supported.");
}

void HLSL9Translator::ProcessVertexIDMemberOperatorNode() {
    if (dialect.vertex_id)
        Write(dialect.vertex_id);
    else
        LogError("'input.vertex_id' is not supported.");
}

// --- Constants, symbols and variables ------------------------------------------

// An int constant read through a cast: where constants are plain globals
// it is declared with a float type (see GetConstantTypeName), and the cast
// keeps integer arithmetic integer.
void HLSL9Translator::WriteIntegerConstant(const char* name, int vector_size) {
    output->AppendFormatted("int%i(_const_%s)", vector_size, name);
}

// An element of an int constant array: the cast goes around the element,
// since an array cannot be cast.
bool HLSL9Translator::ProcessIntegerConstantElementNode(const OperatorNode* node) {
    const SymbolNode* array = AsSymbol(node->left);
    bool constant = array && array->shader_constant;
    if (!array && !constant_buffer_keyword) {
        array = BuiltInMember(node->left, "constants");
        constant = array != nullptr;
    }
    if (!constant || !IsIntegerType(array->type) || array->type.array_size == 0) return false;
    output->AppendFormatted("int%i(", array->type.vector_size);
    Translator::ProcessOperatorNode(node);
    Write(")");
    return true;
}

void HLSL9Translator::ProcessSymbolNode(const SymbolNode* node) {
    if (!node->shader_constant && node->type.basic_type != TYPE_STRUCTURE) CheckIdentifier(node->name);
    if (node->shader_constant && IsIntegerType(node->type) && node->type.array_size == 0)
        WriteIntegerConstant(node->name.c_str(), node->type.vector_size);
    else
        Translator::ProcessSymbolNode(node);
}

void HLSL9Translator::ProcessVariableSequence(const AggregateNode* node) {
    if (!inside_function) Write("static ");
    Translator::ProcessVariableSequence(node);
}

}  // namespace ShaderTool
