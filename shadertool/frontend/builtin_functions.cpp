#include "shadertool/frontend/builtin_functions.h"

#include <cstdlib>
#include <cstring>

#include "shadertool/builtins/builtin_tables.h"
#include "shadertool/frontend/symbol_table.h"

namespace ShaderTool {

nString GetMangledFunctionName(const nString& name, const FunctionNode* node) {
    nString mangled(name.c_str());
    const AggregateNode* parameters = nullptr;
    if (node && node->children.count > 0) parameters = static_cast<const AggregateNode*>(node->children[0]);
    if (!parameters || parameters->children.count == 0) {
        mangled.Append(",");
        return mangled;
    }
    for (int i = 0; i < parameters->children.count; ++i) {
        const TypedNode* parameter = static_cast<const TypedNode*>(parameters->children[i]);
        mangled.AppendFormatted(",%s", GetTypeName(parameter->type, true).c_str());
    }
    return mangled;
}

Type GetTypeFromShortName(const char* name) {
    struct ShortName {
        const char* name;
        Type (*make)();
    };
    static const ShortName kNames[] = {
        {"b", [] { return Type::Scalar(TYPE_BOOL); }},
        {"i", [] { return Type::Scalar(TYPE_INT); }},
        {"f", [] { return Type::Scalar(TYPE_FLOAT); }},
        {"i2", [] { return Type::Vector(TYPE_INT, 2); }},
        {"i3", [] { return Type::Vector(TYPE_INT, 3); }},
        {"i4", [] { return Type::Vector(TYPE_INT, 4); }},
        {"f2", [] { return Type::Vector(TYPE_FLOAT, 2); }},
        {"f3", [] { return Type::Vector(TYPE_FLOAT, 3); }},
        {"f4", [] { return Type::Vector(TYPE_FLOAT, 4); }},
        {"f2x2", [] { return Type::Matrix(2); }},
        {"f3x3", [] { return Type::Matrix(3); }},
        {"f4x4", [] { return Type::Matrix(4); }},
        {"t2", [] { return Type::Texture(TEXTURE_2D); }},
        {"t3", [] { return Type::Texture(TEXTURE_3D); }},
        {"tC", [] { return Type::Texture(TEXTURE_CUBE); }},
        {"void", [] { return Type::Void(); }},
    };
    if (!name) return Type();
    for (const ShortName& entry : kNames)
        if (strcmp(entry.name, name) == 0) return entry.make();
    return Type();
}

BuiltInFunctionManager::BuiltInFunctionManager() { RegisterTable(); }

const BuiltInFunctionManager& BuiltInFunctionManager::Shared() {
    static const BuiltInFunctionManager shared;
    return shared;
}

BuiltInFunctionManager::~BuiltInFunctionManager() {
    // The copies in the array share their parameter lists; free each once.
    for (int i = 0; i < functions.count; ++i) {
        FunctionNode& function = functions[i];
        if (function.children.count == 0) continue;
        AggregateNode* parameters = static_cast<AggregateNode*>(function.children[0]);
        for (int p = 0; p < parameters->children.count; ++p) DestroyNode(parameters->children[p]);
        DestroyNode(parameters);
    }
}

SymbolNode* BuiltInFunctionManager::CreateParameter(const Type& type) {
    SymbolNode* parameter = new SymbolNode;
    parameter->type = type;
    return parameter;
}

FunctionNode* BuiltInFunctionManager::CreateFunctionNode(const char* name, Operator id) {
    FunctionNode node(ParserNode::FUNCTION_DEFINITION_NODE);
    node.op = id;
    node.name = name ? name : "";
    node.built_in = true;
    node.defined = true;
    node.children.InsertLast(new AggregateNode);  // the parameter list, OP_LIST
    functions.InsertLast(node);
    next_overload.InsertLast(-1);
    return &functions[functions.count - 1];
}

void BuiltInFunctionManager::FinishOverload(FunctionNode* node, const char* name) {
    node->mangled_name = GetMangledFunctionName(nString(name ? name : ""), node);
    int index = static_cast<int>(node - functions.items);
    const char* mangled = node->mangled_name.c_str();
    if (FindMangledName(mangled) < 0) by_mangled_name.Insert(NameIndex::Hash(mangled, strlen(mangled)), index);
    size_t name_length = strlen(node->name.c_str());
    int first = FindFirstOverload(node->name.c_str(), name_length);
    if (first < 0) {
        by_name.Insert(NameIndex::Hash(node->name.c_str(), name_length), index);
        return;
    }
    while (next_overload[first] >= 0) first = next_overload[first];
    next_overload[first] = index;
}

int BuiltInFunctionManager::FindMangledName(const char* mangled_name) const {
    if (!mangled_name) return -1;
    return by_mangled_name.Find(NameIndex::Hash(mangled_name, strlen(mangled_name)), [&](int index) {
        return strcmp(functions[index].mangled_name.c_str(), mangled_name) == 0;
    });
}

int BuiltInFunctionManager::FindFirstOverload(const char* name, size_t length) const {
    if (!name) return -1;
    return by_name.Find(NameIndex::Hash(name, length), [&](int index) {
        const char* candidate = functions[index].name.c_str();
        return strncmp(candidate, name, length) == 0 && candidate[length] == '\0';
    });
}

void BuiltInFunctionManager::Add(const char* name, Operator id, const Type& result, const Type& p1, const Type& p2,
                                 const Type& p3, const Type& p4) {
    FunctionNode* node = CreateFunctionNode(name, id);
    node->type = result;
    AggregateNode* parameters = static_cast<AggregateNode*>(node->children[0]);
    parameters->children.InsertLast(CreateParameter(p1));
    const Type* rest[] = {&p2, &p3, &p4};
    for (const Type* parameter : rest)
        if (parameter->basic_type != TYPE_VOID) parameters->children.InsertLast(CreateParameter(*parameter));
    FinishOverload(node, name);
}

void BuiltInFunctionManager::AddMultiple(const char* name, Operator id, const Type& result, const Type& parameter,
                                         int count) {
    FunctionNode* node = CreateFunctionNode(name, id);
    node->type = result;
    AggregateNode* parameters = static_cast<AggregateNode*>(node->children[0]);
    for (int i = 0; i < count; ++i) parameters->children.InsertLast(CreateParameter(parameter));
    FinishOverload(node, name);
}

void BuiltInFunctionManager::AddFunctionsToFunctionTable(FunctionTable& table) const { table.SetBuiltIns(this); }

// A row's parameters are either "N*T" (N parameters of type T) or up to four
// short type names separated by commas.
void BuiltInFunctionManager::RegisterTable() {
    for (int i = 0; i < kBuiltInOverloadCount; ++i) {
        const BuiltInOverloadRow& row = kBuiltInOverloads[i];
        Operator id = static_cast<Operator>(row.id);
        Type result = GetTypeFromShortName(row.result);
        const char* star = strchr(row.parameters, '*');
        if (star) {
            int count = atoi(row.parameters);
            AddMultiple(row.name, id, result, GetTypeFromShortName(star + 1), count);
            continue;
        }
        Type parameters[4] = {Type::Void(), Type::Void(), Type::Void(), Type::Void()};
        for (int p = 0; p < 4; ++p) {
            nString token = nString(row.parameters).GetToken(p, ",");
            if (token.IsEmpty()) break;
            parameters[p] = GetTypeFromShortName(token.c_str());
        }
        Add(row.name, id, result, parameters[0], parameters[1], parameters[2], parameters[3]);
    }
}

}  // namespace ShaderTool
