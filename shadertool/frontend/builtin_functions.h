// The built-in function manager: one FunctionNode per overload of the ZKSL
// built-in functions and type constructors, built from the built-in table
// and found by mangled name or by name through hash indices. The table never
// changes, so one manager serves every parser of the process (Shared), and
// a parser's function table refers to it instead of copying 223 entries per
// source. Also the mangled names under which every function, built-in or
// declared in source, is kept.
#pragma once

#include "engine/base/narray.h"
#include "engine/base/nstring.h"
#include "shadertool/frontend/name_index.h"
#include "shadertool/frontend/nodes.h"
#include "shadertool/frontend/types.h"

namespace ShaderTool {

class FunctionTable;

// The function's key: its name, then ",%s" with the mangled type name of each
// parameter in order ("abs,f2", "sampleTextureLodOffset,t2,f2,f,i2"); a
// function without parameters is its name and one comma ("main,"). Array
// sizes and qualifiers are not part of the key.
nString GetMangledFunctionName(const nString& name, const FunctionNode* node);

// The Type a short type name stands for ("b", "i3", "f4x4", "tC", "void");
// a default Type (no type) for anything else.
Type GetTypeFromShortName(const char* name);

class BuiltInFunctionManager {
public:
    // Registers every overload of the built-in table, in table order.
    BuiltInFunctionManager();
    // The manager every parser shares: built on first use (safely when
    // threads race to it) and never changed afterwards.
    static const BuiltInFunctionManager& Shared();
    ~BuiltInFunctionManager();
    BuiltInFunctionManager(const BuiltInFunctionManager&) = delete;
    BuiltInFunctionManager& operator=(const BuiltInFunctionManager&) = delete;

    // Appends a new overload with an empty parameter list and returns it. The
    // pointer stays valid until the next append.
    FunctionNode* CreateFunctionNode(const char* name, Operator id);
    // One overload with p1 and then each of p2, p3, p4 whose BasicType is not
    // void (p1 is always registered).
    void Add(const char* name, Operator id, const Type& result, const Type& p1, const Type& p2 = Type::Void(),
             const Type& p3 = Type::Void(), const Type& p4 = Type::Void());
    // One overload with `count` parameters of the same type (none for 0).
    void AddMultiple(const char* name, Operator id, const Type& result, const Type& parameter, int count);
    // Puts every overload, in array order, into the table ahead of its user
    // functions. The table refers to this manager, which must outlive it.
    void AddFunctionsToFunctionTable(FunctionTable& table) const;

    int Count() const { return functions.count; }
    const FunctionNode& operator[](int index) const { return functions[index]; }

    // The index of the overload with this mangled name, or -1.
    int FindMangledName(const char* mangled_name) const;
    // The index of the first overload of this name (length characters of
    // name) in array order, or -1; NextOverload gives the next one of the
    // same name, -1 after the last.
    int FindFirstOverload(const char* name, size_t length) const;
    int NextOverload(int index) const { return next_overload[index]; }

private:
    void RegisterTable();
    static SymbolNode* CreateParameter(const Type& type);
    // Sets the mangled name and enters the overload into the indices.
    void FinishOverload(FunctionNode* node, const char* name);

    // Held by value: copies made when the array grows share the parameter
    // lists, which the manager alone owns.
    nArray<FunctionNode> functions;
    // Keyed by mangled name (unique) and by name (the first overload of
    // each); next_overload chains the overloads of one name in array order.
    NameIndex by_mangled_name;
    NameIndex by_name;
    nArray<int> next_overload;
};

}  // namespace ShaderTool
