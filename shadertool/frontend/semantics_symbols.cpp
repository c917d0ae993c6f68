// Scopes, built-in structures and variables, and the function table.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "shadertool/frontend/semantics.h"

namespace ShaderTool {

static const unsigned int kLastVersionWithConstantVariables = 0x20002;

Semantics::Semantics(Log& message_log, NodeList& node_list, const Tokenizer* source_tokenizer)
    : log(message_log),
      nodes(node_list),
      tokenizer(source_tokenizer) {
    symbol_table.PushFrame();
}

void Semantics::ReportError(const char* file, const SourceLocation& location, const char* format, va_list args) {
    char message[1024];
    vsnprintf(message, sizeof message, format, args);
    log.AddLocatedError(file, location.line, location.column, "%s", message);
    valid = false;
}

void Semantics::Error(const SourceLocation& location, const char* format, ...) {
    va_list args;
    va_start(args, format);
    ReportError(tokenizer ? tokenizer->GetFileName() : "", location, format, args);
    va_end(args);
}

// Checks that run after the parse would otherwise name the file the
// tokenizer ended in, not the one an included node came from.
void Semantics::ErrorAt(const ParserNode* node, const char* format, ...) {
    const char* file = node->file ? node->file : (tokenizer ? tokenizer->GetFileName() : "");
    va_list args;
    va_start(args, format);
    ReportError(file, node->location, format, args);
    va_end(args);
}

void Semantics::Reset() {
    function_table.Clear();
    symbol_table.Clear();
    structure_table.Reset();
    unset_outputs.count = 0;
    user_calls.count = 0;
    active_function = nullptr;
    return_count = 0;
    placeholder = nullptr;
    symbol_table.PushFrame();
    valid = true;
}

void Semantics::Initialize(ShaderType type) {
    BuiltInFunctionManager::Shared().AddFunctionsToFunctionTable(function_table);
    Type constant_int = Type::Scalar(TYPE_INT);
    constant_int.qualifier = QUALIFIER_CONST;
    placeholder = nodes.CreateSymbolNode(constant_int, "_dummy");
    shader_type = type;
}

// --- Built-in structures and variables --------------------------------------

void Semantics::InitializeStructuresAndVariables(const ShaderInfo& info) {
    if (shader_type == PIXEL_SHADER)
        InitializePixelShaderStructures(info);
    else if (shader_type == VERTEX_SHADER)
        InitializeVertexShaderStructures(info);
}

void Semantics::InitializeVertexShaderStructures(const ShaderInfo& info) {
    InitializeInputOutputStructure(StructureTable::kInput, info.vertex_input, false);
    nMap<Type>& input = *structure_table.Find(StructureTable::kInput);
    Type constant_int = Type::Scalar(TYPE_INT);
    constant_int.qualifier = QUALIFIER_CONST;
    input["instance_id"] = constant_int;
    input["vertex_id"] = constant_int;
    InitializeInputOutputStructure(StructureTable::kOutput, info.vertex_output, false);
    InitializeConstants(info.vertex_constants, info.version);
}

void Semantics::InitializePixelShaderStructures(const ShaderInfo& info) {
    InitializeInputOutputStructure(StructureTable::kInput, info.vertex_output, true);
    nMap<Type>& output = *structure_table.Find(StructureTable::kOutput);
    for (int i = 0; i < info.pixel_output.count; ++i) {
        output[info.pixel_output[i].id.c_str()] = Type::Vector(TYPE_FLOAT, 4);
        unset_outputs.InsertLast(info.pixel_output[i].id);
    }
    nMap<Type>& textures = *structure_table.Find(StructureTable::kTexture);
    for (int i = 0; i < info.pixel_textures.count; ++i)
        textures[info.pixel_textures[i].id.c_str()] = info.pixel_textures[i].type;
    AddSymbol(CreateStructureSymbol("texture", StructureTable::kTexture));
    InitializeConstants(info.pixel_constants, info.version);
}

// Copies each variable's type under its id. The vertex source's outputs are
// tracked until written; a pixel source's input adds the two facing members.
template <class Variable>
void Semantics::InitializeInputOutputStructure(const char* structure, const nArray<Variable>& variables,
                                               bool pixel_input) {
    nMap<Type>& members = *structure_table.Find(structure);
    bool track_outputs = !pixel_input && strcmp(structure, StructureTable::kOutput) == 0;
    for (int i = 0; i < variables.count; ++i) {
        members[variables[i].id.c_str()] = variables[i].type;
        if (track_outputs) unset_outputs.InsertLast(variables[i].id);
    }
    if (!pixel_input) return;
    Type face_direction = Type::Scalar(TYPE_FLOAT);
    face_direction.qualifier = QUALIFIER_CONST;
    Type is_front_facing = Type::Scalar(TYPE_BOOL);
    is_front_facing.qualifier = QUALIFIER_CONST;
    members["face_direction"] = face_direction;
    members["is_front_facing"] = is_front_facing;
}

// Files newer than version 2.2 reach their constants as members of
// "constants"; older ones as global variables of their own names.
void Semantics::InitializeConstants(const nArray<ShaderConstantVariable>& constants, unsigned int version) {
    if (version > kLastVersionWithConstantVariables)
        InitializeConstantsStructure(constants);
    else
        InitializeConstantVariables(constants);
}

void Semantics::InitializeConstantsStructure(const nArray<ShaderConstantVariable>& constants) {
    nMap<Type>& members = *structure_table.Find(StructureTable::kConstants);
    for (int i = 0; i < constants.count; ++i) members[constants[i].id.c_str()] = constants[i].type;
    AddSymbol(CreateStructureSymbol("constants", StructureTable::kConstants));
}

void Semantics::InitializeConstantVariables(const nArray<ShaderConstantVariable>& constants) {
    for (int i = 0; i < constants.count; ++i) {
        SymbolNode* symbol = nodes.CreateSymbolNode(constants[i].type, constants[i].id.c_str());
        symbol->shader_constant = true;
        AddSymbol(symbol);
    }
}

SymbolNode* Semantics::CreateStructureSymbol(const char* name, const char* structure) {
    Type type = Type::Structure(structure);
    type.qualifier = QUALIFIER_CONST;
    return nodes.CreateSymbolNode(type, name);
}

Type Semantics::GetStructureMemberType(const char* structure, const char* member) const {
    return structure_table.GetMemberType(structure, member);
}

// --- Symbols -----------------------------------------------------------------

void Semantics::AddSymbol(SymbolNode* symbol) {
    if (!symbol || symbol->name.IsEmpty()) return;
    if (symbol_table.Find(symbol->name.c_str())) {
        Error(symbol->location, "symbol '%s' already has a declaration.", symbol->name.c_str());
        return;
    }
    symbol_table.Add(symbol);
}

void Semantics::PushSymbolTableFrame() { symbol_table.PushFrame(); }

void Semantics::PopSymbolTableFrame() { symbol_table.PopFrame(); }

SymbolNode* Semantics::GetSymbolNode(const char* name, const SourceLocation& location) {
    SymbolNode* symbol = symbol_table.Find(name);
    if (symbol) return symbol;
    Error(location, "undeclared identifier '%s'.", name ? name : "");
    SymbolNode* unknown = nodes.CreateSymbolNode(Type(), "");
    unknown->location = location;
    return unknown;
}

// --- Functions -----------------------------------------------------------------

void Semantics::CheckForMainFunctionSignature(FunctionNode* function, const nString& mangled_name) {
    if (strcmp(function->name.c_str(), "main") != 0) return;
    if (!function->defined || function->type.basic_type != TYPE_VOID || strcmp(mangled_name.c_str(), "main,") != 0)
        Error(function->location, "main() must be defined only and can not have overloads.");
}

FunctionNode* Semantics::AddFunction(FunctionNode* function, bool definition) {
    if (definition) function->defined = true;
    function->mangled_name = GetMangledFunctionName(function->name, function);
    CheckForMainFunctionSignature(function, function->mangled_name);
    FunctionNode* declared = function_table.Find(function->mangled_name.c_str());
    if (!declared) {
        function_table.Add(function->mangled_name.c_str(), function);
        return function;
    }
    if (!definition) {
        Error(function->location, "function '%s' already has a declaration.", function->name.c_str());
        return function;
    }
    if (declared->defined) {
        Error(function->location, "function '%s' already has a definition.", function->name.c_str());
        return function;
    }
    MoveFunctionDefinition(declared, function);
    return declared;
}

// The prototype's node stays in the tree and in the table (calls refer to
// it); it takes the definition's parameters, and later its body.
void Semantics::MoveFunctionDefinition(FunctionNode* declared, FunctionNode* defined) {
    if (declared->children.count > 0) nodes.RemoveAndDestroy(declared->children[0]);
    declared->children = defined->children;
    declared->reference_count = defined->reference_count;
    declared->defined = defined->defined;
    nodes.RemoveAndDestroy(defined);
}

// A parameter accepts an argument of the same shape that is not an array,
// of the same BasicType or an int where the parameter is float.
static bool ParameterAccepts(const Type& parameter, const Type& argument) {
    if (parameter.vector_size != argument.vector_size || parameter.matrix_size != argument.matrix_size ||
        parameter.texture_kind != argument.texture_kind || argument.array_size != 0 ||
        strcmp(parameter.structure_name.c_str(), argument.structure_name.c_str()) != 0)
        return false;
    return parameter.basic_type == argument.basic_type ||
           (parameter.basic_type == TYPE_FLOAT && argument.basic_type == TYPE_INT);
}

static const AggregateNode* GetList(const FunctionNode* function) {
    if (function->children.count == 0) return nullptr;
    return static_cast<const AggregateNode*>(function->children[0]);
}

static bool OverloadAccepts(const FunctionNode* overload, const AggregateNode* arguments) {
    const AggregateNode* parameters = GetList(overload);
    int parameter_count = parameters ? parameters->children.count : 0;
    int argument_count = arguments ? arguments->children.count : 0;
    if (parameter_count != argument_count) return false;
    for (int i = 0; i < argument_count; ++i) {
        const ParserNode* argument = arguments->children[i];
        if (!IsTypedNode(argument)) return false;
        const Type& parameter_type = static_cast<const TypedNode*>(parameters->children[i])->type;
        if (!ParameterAccepts(parameter_type, static_cast<const TypedNode*>(argument)->type)) return false;
    }
    return true;
}

// First fit in table order: built-ins before user functions, and no ranking
// of exact matches over int-to-float ones.
FunctionNode* Semantics::FindMatchingFunction(const FunctionNode* call, bool& name_found) const {
    nArray<FunctionNode*> candidates = function_table.FindByName(call->name);
    name_found = candidates.count > 0;
    const AggregateNode* arguments = GetList(call);
    for (int i = 0; i < candidates.count; ++i)
        if (OverloadAccepts(candidates[i], arguments)) return candidates[i];
    return nullptr;
}

void Semantics::SetFunctionActive(FunctionNode* function) {
    active_function = function;
    symbol_table.PushFrame();
    const AggregateNode* parameters = GetList(function);
    for (int i = 0; parameters && i < parameters->children.count; ++i) {
        ParserNode* parameter = parameters->children[i];
        if (parameter->node_type == ParserNode::SYMBOL_NODE) AddSymbol(static_cast<SymbolNode*>(parameter));
    }
    if (strcmp(function->name.c_str(), "main") == 0) {
        symbol_table.Add(CreateStructureSymbol("input", StructureTable::kInput));
        symbol_table.Add(CreateStructureSymbol("output", StructureTable::kOutput));
    }
    return_count = 0;
}

void Semantics::ResetActiveFunction() {
    if (active_function && return_count == 0 && active_function->type.basic_type != TYPE_VOID)
        Error(active_function->location, "function '%s' must return a value.", active_function->name.c_str());
    active_function = nullptr;
    return_count = 0;
}

}  // namespace ShaderTool
