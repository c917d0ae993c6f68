// The built-in function manager: one FunctionNode per overload of the ZKSL
// built-in functions and type constructors, built once per parser from the
// built-in table and entered into the parser's function table after every
// reset. Also the mangled names under which every function, built-in or
// declared in source, is kept.
#pragma once

#include "engine/base/narray.h"
#include "engine/base/nstring.h"
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
    // Stores every overload's address under its mangled name, in array order.
    void AddFunctionsToFunctionTable(FunctionTable& table);

    int Count() const { return functions.count; }
    const FunctionNode& operator[](int index) const { return functions[index]; }

private:
    void RegisterTable();
    static SymbolNode* CreateParameter(const Type& type);
    void FinishOverload(FunctionNode* node, const char* name);

    // Held by value: copies made when the array grows share the parameter
    // lists, which the manager alone owns.
    nArray<FunctionNode> functions;
};

}  // namespace ShaderTool
