// The built-in function table and the operator signature table as the front
// end holds them: sizes, order, keys and the shape of each entry.
#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "shadertool/frontend/builtin_functions.h"
#include "shadertool/frontend/operator_table.h"
#include "shadertool/frontend/symbol_table.h"

using namespace ShaderTool;

static const AggregateNode* Parameters(const FunctionNode& function) {
    return static_cast<const AggregateNode*>(function.children[0]);
}

TEST(BuiltInFunctionManager, HoldsEveryOverloadOnceConstructorsFirst) {
    BuiltInFunctionManager manager;
    ASSERT_EQ(manager.Count(), 223);
    EXPECT_EQ(std::string(manager[0].mangled_name.c_str()), "bool,b");
    EXPECT_EQ(std::string(manager[222].mangled_name.c_str()), "transpose,f4x4");

    std::set<std::string> keys;
    for (int i = 0; i < manager.Count(); ++i) {
        const FunctionNode& function = manager[i];
        EXPECT_TRUE(keys.insert(function.mangled_name.c_str()).second) << "duplicate " << function.mangled_name.c_str();
        // 61 constructors, then the functions; ids never go back down.
        EXPECT_EQ(function.op >= kFirstConstructor, i < 61) << function.mangled_name.c_str();
        if (i > 0 && (manager[i - 1].op >= kFirstConstructor) == (function.op >= kFirstConstructor)) {
            EXPECT_LE(manager[i - 1].op, function.op) << function.mangled_name.c_str();
        }
        EXPECT_TRUE(function.built_in);
        EXPECT_TRUE(function.defined);
        EXPECT_EQ(function.reference_count, 0);
        EXPECT_EQ(function.node_type, ParserNode::FUNCTION_DEFINITION_NODE);
        ASSERT_EQ(function.children.count, 1);
        EXPECT_EQ(Parameters(function)->op, OP_LIST);
    }
}

TEST(BuiltInFunctionManager, OverloadCountsPerFunction) {
    struct Expected {
        Operator id;
        int count;
    };
    const Expected expected[] = {
        {OP_CONSTRUCT_BOOL, 3},   {OP_CONSTRUCT_FLOAT, 3},    {OP_CONSTRUCT_FLOAT2, 5},   {OP_CONSTRUCT_FLOAT3, 6},
        {OP_CONSTRUCT_FLOAT4, 9}, {OP_CONSTRUCT_FLOAT2X2, 5}, {OP_CONSTRUCT_FLOAT3X3, 4}, {OP_CONSTRUCT_FLOAT4X4, 3},
        {OP_CONSTRUCT_INT, 3},    {OP_CONSTRUCT_INT2, 5},     {OP_CONSTRUCT_INT3, 6},     {OP_CONSTRUCT_INT4, 9},
        {OP_ALL, 6},              {OP_ANY, 6},                {OP_CROSS, 1},              {OP_LERP, 7},
        {OP_SAMPLE_TEXTURE, 3},   {OP_SAMPLE_TEXTURE_GRAD, 3}, {OP_SAMPLE_TEXTURE_LOD, 3},
        {OP_SAMPLE_TEXTURE_LOD_OFFSET, 2}, {OP_TRANSPOSE, 3},
    };
    BuiltInFunctionManager manager;
    int counts[OP_CONSTRUCT_INT4 + 1] = {};
    for (int i = 0; i < manager.Count(); ++i) counts[manager[i].op] += 1;
    for (const Expected& entry : expected) EXPECT_EQ(counts[entry.id], entry.count) << "id " << entry.id;
    // Every other function has one overload per float type.
    for (int id = kFirstBuiltInFunction; id <= kLastBuiltInFunction; ++id) {
        bool listed = false;
        for (const Expected& entry : expected) listed = listed || entry.id == id;
        if (!listed) {
            EXPECT_EQ(counts[id], 4) << "id " << id;
        }
    }
}

TEST(BuiltInFunctionManager, EntriesCarryTheirExactTypes) {
    BuiltInFunctionManager manager;
    FunctionTable table;
    manager.AddFunctionsToFunctionTable(table);
    ASSERT_EQ(table.Count(), 223);

    struct Case {
        const char* key;
        Operator id;
        const char* result;
        int parameters;
    };
    const Case cases[] = {
        {"abs,f2", OP_ABS, "float2", 1},
        {"sampleTextureLodOffset,t2,f2,f,i2", OP_SAMPLE_TEXTURE_LOD_OFFSET, "float4", 4},
        {"float2x2,f2x2", OP_CONSTRUCT_FLOAT2X2, "float2x2", 1},
        {"float4x4,f,f,f,f,f,f,f,f,f,f,f,f,f,f,f,f", OP_CONSTRUCT_FLOAT4X4, "float4x4", 16},
        {"lerp,f3,f3,f", OP_LERP, "float3", 3},
        {"dot,f4,f4", OP_DOT, "float", 2},
        {"all,i3", OP_ALL, "bool", 1},
        {"sampleTexture,tC,f3", OP_SAMPLE_TEXTURE, "float4", 2},
    };
    for (const Case& c : cases) {
        const FunctionNode* function = table.Find(c.key);
        ASSERT_NE(function, nullptr) << c.key;
        EXPECT_EQ(function->op, c.id) << c.key;
        EXPECT_EQ(std::string(GetTypeName(function->type, false).c_str()), c.result) << c.key;
        EXPECT_EQ(Parameters(*function)->children.count, c.parameters) << c.key;
    }
    // Matrices have vector size 0; textures carry their kind; others kind 3.
    const FunctionNode* transpose = table.Find("transpose,f3x3");
    EXPECT_EQ(transpose->type.vector_size, 0);
    EXPECT_EQ(transpose->type.matrix_size, 3);
    EXPECT_EQ(transpose->type.texture_kind, TEXTURE_NONE);
    const FunctionNode* sample = table.Find("sampleTexture,t3,f3");
    const TypedNode* texture = static_cast<const TypedNode*>(Parameters(*sample)->children[0]);
    EXPECT_EQ(texture->type.basic_type, TYPE_TEXTURE);
    EXPECT_EQ(texture->type.texture_kind, TEXTURE_3D);
    EXPECT_EQ(texture->type.vector_size, 0);
    // What the table must not have.
    const char* absent[] = {"sampleTextureLodOffset,tC,f3,f,i3", "transpose,f2", "all,f", "any,b", "cross,f2,f2",
                            "float2,i2", "int3,f3"};
    for (const char* key : absent) EXPECT_EQ(table.Find(key), nullptr) << key;
}

// The table's hashed lookups against a plain reading of its order: the
// function under a key is the entry holding that key, and a name finds every
// entry whose key begins with the name and a comma, built-ins first.
static std::vector<const FunctionNode*> ScanByName(const FunctionTable& table, const std::string& name) {
    std::vector<const FunctionNode*> found;
    for (int i = 0; i < table.Count(); ++i) {
        std::string key = table.At(i)->mangled_name.c_str();
        if (key.compare(0, name.size() + 1, name + ",") == 0) found.push_back(table.At(i));
    }
    return found;
}

static std::vector<const FunctionNode*> Found(const nArray<FunctionNode*>& array) {
    return std::vector<const FunctionNode*>(array.items, array.items + array.count);
}

TEST(FunctionTable, LookupsFollowTheTableOrder) {
    // User functions: overloads of one name apart from each other, a name
    // that is a prefix of another, and a new overload of a built-in name.
    const char* const keys[] = {"f,i", "ff,f", "g,", "sin,i", "f,f2", "f,", "abs,i3", "sin,b"};
    std::deque<FunctionNode> user;
    FunctionTable table;
    for (int round = 0; round < 2; ++round) {  // the second after Clear
        table.Clear();
        user.clear();
        BuiltInFunctionManager::Shared().AddFunctionsToFunctionTable(table);
        for (const char* key : keys) {
            user.emplace_back();
            user.back().mangled_name = key;
            ASSERT_EQ(table.Find(key), nullptr) << key;
            table.Add(key, &user.back());
        }
        ASSERT_EQ(table.Count(), 223 + 8);
        EXPECT_EQ(table.At(0), &BuiltInFunctionManager::Shared()[0]);
        EXPECT_EQ(table.At(223), &user[0]);
        for (int i = 0; i < table.Count(); ++i)
            EXPECT_EQ(table.Find(table.At(i)->mangled_name.c_str()), table.At(i)) << i;
        std::set<std::string> names = {"", "f,", "s", "sinx", "fff", "transpose", "float4"};
        for (int i = 0; i < table.Count(); ++i) {
            std::string key = table.At(i)->mangled_name.c_str();
            names.insert(key.substr(0, key.find(',')));
        }
        for (const std::string& name : names)
            EXPECT_EQ(Found(table.FindByName(name.c_str())), ScanByName(table, name)) << name;
    }
    EXPECT_EQ(Found(table.FindByName("f")), (std::vector<const FunctionNode*>{&user[0], &user[4], &user[5]}));
    EXPECT_EQ(table.FindByName("sin").count, 6);
    EXPECT_EQ(table.FindByName("sin")[4], &user[3]);
    table.Clear();
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.Find("abs,f"), nullptr);
    EXPECT_EQ(table.Find("f,i"), nullptr);
    EXPECT_EQ(table.FindByName("f").count, 0);
}

// Enough user functions to grow the indices several times, the overloads of
// each name spread over the whole table.
TEST(FunctionTable, ManyUserFunctionsKeepTheirOverloadOrder) {
    const int names = 300, overloads = 10;
    std::deque<FunctionNode> user;
    FunctionTable table;
    for (int o = 0; o < overloads; ++o) {
        for (int n = 0; n < names; ++n) {
            user.emplace_back();
            user.back().mangled_name = nString::Format("fn%d,%s", n, std::string(o, 'i').c_str());
            table.Add(user.back().mangled_name.c_str(), &user.back());
        }
    }
    ASSERT_EQ(table.Count(), names * overloads);
    for (int n = 0; n < names; ++n) {
        nArray<FunctionNode*> found = table.FindByName(nString::Format("fn%d", n));
        ASSERT_EQ(found.count, overloads) << n;
        for (int o = 0; o < overloads; ++o) EXPECT_EQ(found[o], &user[o * names + n]) << n << " " << o;
    }
    for (const FunctionNode& function : user) EXPECT_EQ(table.Find(function.mangled_name.c_str()), &function);
}

TEST(BuiltInFunctionManager, NoTwoOverloadsShareAParameterNode) {
    BuiltInFunctionManager manager;
    std::set<const void*> seen;
    for (int i = 0; i < manager.Count(); ++i) {
        const AggregateNode* list = Parameters(manager[i]);
        EXPECT_TRUE(seen.insert(list).second);
        for (int p = 0; p < list->children.count; ++p) EXPECT_TRUE(seen.insert(list->children[p]).second);
    }
}

TEST(BuiltInFunctionManager, VoidSlotsAreSkippedButTheFirstParameterIsAlwaysKept) {
    BuiltInFunctionManager manager;
    Type f = Type::Scalar(TYPE_FLOAT), i2 = Type::Vector(TYPE_INT, 2), v = Type::Void();
    manager.Add("gap", OP_ABS, f, f, v, i2, v);
    EXPECT_STREQ(manager[manager.Count() - 1].mangled_name.c_str(), "gap,f,i2");
    manager.Add("first", OP_ABS, f, v);
    EXPECT_STREQ(manager[manager.Count() - 1].mangled_name.c_str(), "first,void");
    manager.AddMultiple("none", OP_ABS, f, f, 0);
    EXPECT_STREQ(manager[manager.Count() - 1].mangled_name.c_str(), "none,");
    manager.AddMultiple("three", OP_ABS, f, i2, 3);
    EXPECT_STREQ(manager[manager.Count() - 1].mangled_name.c_str(), "three,i2,i2,i2");
    EXPECT_EQ(manager.Count(), 227);
}

TEST(OperatorTable, RowCountsPerOperator) {
    OperatorTable table;
    EXPECT_EQ(table.CountRows(), 396);
    const int expected[OperatorTable::kListCount] = {
        4,  0,  1, 11, 4,  11, 11, 11, 11, 29, 12, 20, 4,  20, 4, 7, 23, 4,  4,  20, 4,
        4,  4,  4, 26, 12, 2,  2,  4,  2,  2,  1,  1,  0,  7,  32, 12, 4, 9, 29, 12, 12,
    };
    for (int id = 0; id < OperatorTable::kListCount; ++id)
        EXPECT_EQ(table.GetSignatures(id).count, expected[id]) << "operator " << id;
    EXPECT_EQ(table.GetSignatures(42).count, 0);
    EXPECT_EQ(table.GetSignatures(-1).count, 0);
}

TEST(OperatorTable, NoListHoldsAnOperandPairTwice) {
    OperatorTable table;
    for (int id = 0; id < OperatorTable::kListCount; ++id) {
        std::set<std::pair<std::string, std::string> > pairs;
        const nArray<OperatorSignature>& rows = table.GetSignatures(id);
        for (int i = 0; i < rows.count; ++i) {
            std::pair<std::string, std::string> pair(GetTypeName(rows[i].left, true).c_str(),
                                                     GetTypeName(rows[i].right, true).c_str());
            EXPECT_TRUE(pairs.insert(pair).second) << "operator " << id << " " << pair.first << "," << pair.second;
        }
    }
}

TEST(OperatorTable, UnaryRowsStoreVoidOnTheRightAndTypesAreExact) {
    OperatorTable table;
    const int unary[] = {OP_BITWISE_NOT, OP_LOGICAL_NOT, OP_NEGATE, OP_UNARY_PLUS, OP_POST_DECREMENT,
                         OP_POST_INCREMENT, OP_PRE_DECREMENT, OP_PRE_INCREMENT};
    for (int id : unary) {
        const nArray<OperatorSignature>& rows = table.GetSignatures(id);
        for (int i = 0; i < rows.count; ++i) {
            EXPECT_EQ(rows[i].right.basic_type, TYPE_VOID) << id;
            EXPECT_EQ(rows[i].right.vector_size, 1) << id;
            EXPECT_EQ(rows[i].right.texture_kind, TEXTURE_NONE) << id;
        }
    }
    // Row 15 of "*" is float2 * float2x2 -> float2; the matrix has vector size 0.
    const OperatorSignature& row = table.GetSignatures(OP_MULTIPLY)[14];
    EXPECT_STREQ(GetTypeName(row.left, false).c_str(), "float2");
    EXPECT_EQ(row.right.vector_size, 0);
    EXPECT_EQ(row.right.matrix_size, 2);
    EXPECT_STREQ(GetTypeName(row.result, false).c_str(), "float2");
}

TEST(OperatorTable, AddAppendsToItsListOnly) {
    OperatorTable table;
    table.Add(OP_ALTERNATIVES, Type::Scalar(TYPE_INT), Type::Scalar(TYPE_INT), Type::Scalar(TYPE_INT));
    table.Add(static_cast<Operator>(42), Type::Scalar(TYPE_INT), Type::Scalar(TYPE_INT), Type::Scalar(TYPE_INT));
    EXPECT_EQ(table.GetSignatures(OP_ALTERNATIVES).count, 13);
    EXPECT_EQ(table.GetSignatures(OP_PARENTHESES).count, 0);
    EXPECT_EQ(table.GetSignatures(OP_SELECT).count, 0);
    EXPECT_EQ(table.CountRows(), 397);
}

// A misspelt short name in either table would silently become "no type".
TEST(BuiltInTables, EveryTypeNameInTheTablesIsKnown) {
    EXPECT_EQ(GetTypeFromShortName("f5").basic_type, TYPE_NONE);
    EXPECT_EQ(GetTypeFromShortName(nullptr).basic_type, TYPE_NONE);

    BuiltInFunctionManager manager;
    for (int i = 0; i < manager.Count(); ++i) {
        EXPECT_NE(manager[i].type.basic_type, TYPE_NONE) << manager[i].mangled_name.c_str();
        const AggregateNode* list = Parameters(manager[i]);
        EXPECT_GE(list->children.count, 1) << manager[i].mangled_name.c_str();
        for (int p = 0; p < list->children.count; ++p) {
            const Type& type = static_cast<const TypedNode*>(list->children[p])->type;
            EXPECT_NE(type.basic_type, TYPE_NONE) << manager[i].mangled_name.c_str();
            EXPECT_NE(type.basic_type, TYPE_VOID) << manager[i].mangled_name.c_str();
        }
    }
    OperatorTable table;
    for (int id = 0; id < OperatorTable::kListCount; ++id) {
        const nArray<OperatorSignature>& rows = table.GetSignatures(id);
        for (int i = 0; i < rows.count; ++i) {
            EXPECT_NE(rows[i].left.basic_type, TYPE_NONE) << "operator " << id << " row " << i;
            EXPECT_NE(rows[i].right.basic_type, TYPE_NONE) << "operator " << id << " row " << i;
            EXPECT_NE(rows[i].result.basic_type, TYPE_NONE) << "operator " << id << " row " << i;
        }
    }
}

// The tables against listings reviewed row by row, in order, with every
// type spelled out: a changed result type or a row out of place shows here
// even where the counts and the keys stay the same.
static std::string ReadListing(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

static std::string Spelled(const Type& type) {
    if (type.basic_type == TYPE_TEXTURE) {
        static const char* const kTextures[] = {"Texture2D", "Texture3D", "TextureCube"};
        return type.texture_kind <= TEXTURE_CUBE ? kTextures[type.texture_kind] : "?";
    }
    return GetTypeName(type, false).c_str();
}

TEST(OperatorTable, EveryRowIsTheReviewedOne) {
    OperatorTable table;
    std::string listing;
    for (int id = 0; id < OperatorTable::kListCount; ++id) {
        const nArray<OperatorSignature>& rows = table.GetSignatures(id);
        for (int i = 0; i < rows.count; ++i) {
            listing += std::to_string(id) + " " + GetOperatorString(id) + " (" + Spelled(rows[i].left);
            if (rows[i].right.basic_type != TYPE_VOID) listing += ", " + Spelled(rows[i].right);
            listing += ") -> " + Spelled(rows[i].result) + "\n";
        }
    }
    EXPECT_EQ(listing, ReadListing("tests/data/builtins/operator_rows.txt"));
}

TEST(BuiltInFunctionManager, EveryOverloadIsTheReviewedOne) {
    BuiltInFunctionManager manager;
    std::string listing;
    for (int i = 0; i < manager.Count(); ++i) {
        const FunctionNode& function = manager[i];
        listing += std::to_string(function.op) + " " + function.name.c_str() + ": " + Spelled(function.type) + " (";
        const AggregateNode* parameters = Parameters(function);
        for (int p = 0; p < parameters->children.count; ++p) {
            if (p > 0) listing += ", ";
            listing += Spelled(static_cast<const TypedNode*>(parameters->children[p])->type);
        }
        listing += ")\n";
    }
    EXPECT_EQ(listing, ReadListing("tests/data/builtins/builtin_functions.txt"));
}
