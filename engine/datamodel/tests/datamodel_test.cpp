// The data model: hashed look-up, first match wins, setters and removal.
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/base/nstring.h"
#include "engine/datamodel/datamodel.h"
#include "engine/datamodel/tests/datamodel_test_support.h"

using namespace InnerZK;
using namespace datamodel_test;

namespace {

TEST(DataModel, KeysCarryTheStringIdHash) {
    struct Case {
        const char* text;
        unsigned int hash;
    } cases[] = {{"id", 3985u}, {"w", 119u}, {"h", 104u}, {"DATA", 3536562u}, {"CDATA", 129105349u}, {"", 0u}};
    for (const Case& c : cases) {
        DMValue value(c.text, "v");
        EXPECT_EQ(value.id_hash, c.hash) << c.text;
        value.Free();
        DMNode node(c.text);
        EXPECT_EQ(node.id_hash, c.hash) << c.text;
    }
    DMNode unnamed(nullptr);
    EXPECT_EQ(unnamed.id, nullptr);
    EXPECT_EQ(unnamed.id_hash, 0u);
}

// Appends a pair with a hash of our choosing, to see which of hash and text
// the look-up trusts.
void AppendRawPair(DMNode& node, const char* key, unsigned int hash, const char* value) {
    DMValue pair;
    pair.id = key ? CopyText(key) : nullptr;
    pair.id_hash = hash;
    pair.value = CopyText(value);
    node.values.InsertLast(pair);
}

TEST(DataModel, LookUpComparesTheHashFirstAndThenTheText) {
    DMNode node("n");
    AppendRawPair(node, "k", 0, "wrong hash");                // right text, wrong hash
    AppendRawPair(node, "x", nStringHash("k"), "wrong text");  // right hash, wrong text
    AppendRawPair(node, nullptr, 0, "no key");                 // a null key never matches
    EXPECT_EQ(node.GetValue("k"), nullptr);
    EXPECT_EQ(node.GetValue(""), nullptr);
    AppendRawPair(node, "k", nStringHash("k"), "found");
    AppendRawPair(node, "k", nStringHash("k"), "second");
    EXPECT_STREQ(node.GetValue("k"), "found");
    EXPECT_EQ(node.GetValue(nullptr), nullptr);
}

TEST(DataModel, NodeLookUpComparesTheHashFirstAndThenTheText) {
    DMArray array("a", nullptr);
    DMNode* tampered = array.AddNode("n");
    tampered->id_hash = 0;
    EXPECT_EQ(array.GetNodeById("n"), nullptr);
    // Look-ups by text do not care about the hash.
    EXPECT_EQ(array.GetNodeIndexById("n"), 0);
    EXPECT_TRUE(array.RemoveNodeById("n"));
    EXPECT_EQ(array.GetNumberOfNodes(), 0);
}

TEST(DataModel, DuplicateIdsStayAndTheFirstWins) {
    DMArray array("a", nullptr);
    DMNode* first = array.AddNode("same");
    EXPECT_EQ(array.AddNode("same"), first);  // AddNode finds the existing node
    DMNode* second = new DMNode("same");
    second->parent = &array;
    array.nodes.InsertLast(second);
    EXPECT_EQ(array.GetNumberOfNodes(), 2);
    EXPECT_EQ(array.GetNodeById("same"), first);
    first->SetValue("v", "1");
    second->SetValue("v", "2");
    EXPECT_STREQ(array.GetNodeValue("same", "v"), "1");
    EXPECT_EQ(array.GetFirstNodeWithValue("v", "2"), second);

    // A null id makes a new id-less node every time.
    DMNode* a = array.AddNode(nullptr);
    DMNode* b = array.AddNode(nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->values.count, 0);
    EXPECT_EQ(array.GetNumberOfNodes(), 4);
    // Nodes without id never match a removal by id.
    EXPECT_FALSE(array.RemoveNodeById(""));
    EXPECT_TRUE(array.RemoveNodeById("same"));
    EXPECT_EQ(array.GetNodeById("same"), second);
}

TEST(DataModel, AddNodeGivesTheNodeItsIdAsAPair) {
    DMArray array("a", nullptr);
    DMNode* node = array.AddNode("n1");
    EXPECT_EQ(node->parent, &array);
    ASSERT_EQ(node->values.count, 1);
    EXPECT_STREQ(node->values[0].id, "id");
    EXPECT_EQ(node->values[0].id_hash, 3985u);
    EXPECT_STREQ(node->values[0].value, "n1");
}

TEST(DataModel, NodeSetValueRules) {
    DMNode node(nullptr);
    node.SetValue("id", "new");
    EXPECT_STREQ(node.id, "new");
    EXPECT_EQ(node.id_hash, nStringHash("new"));
    EXPECT_STREQ(node.GetValue("id"), "new");
    node.SetValue("id", "renamed");
    EXPECT_STREQ(node.id, "renamed");
    EXPECT_STREQ(node.GetValue("id"), "renamed");
    EXPECT_EQ(node.values.count, 1);

    node.SetValue("k", "v");
    node.SetValue("k", nullptr);  // a null value leaves a pair unchanged
    EXPECT_STREQ(node.GetValue("k"), "v");
    node.SetValue("empty", nullptr);  // but a new pair keeps it
    EXPECT_EQ(node.FindValue("empty"), 2);
    EXPECT_EQ(node.GetValue("empty"), nullptr);
    node.SetValue(nullptr, "x");
    node.SetValuef("f", "%d-%s", 7, "x");
    EXPECT_STREQ(node.GetValue("f"), "7-x");
    node.SetValuef(nullptr, "%d", 1);
    EXPECT_EQ(node.values.count, 4);

    EXPECT_TRUE(node.RemoveValue("k"));
    EXPECT_FALSE(node.RemoveValue("k"));
    EXPECT_FALSE(node.RemoveValue(nullptr));
    EXPECT_EQ(node.FindValue("empty"), 1);  // later pairs moved down
}

TEST(DataModel, LongFormattedValuesAreCut) {
    std::string long_text(3000, 'x');
    DMNode node("n");
    node.SetValuef("k", "%s", long_text.c_str());
    EXPECT_EQ(strlen(node.GetValue("k")), 2047u);
    DMArray array("a", nullptr);
    array.SetNodeValuef("n", "k", "%s", long_text.c_str());
    EXPECT_EQ(strlen(array.GetNodeValue("n", "k")), 1023u);
    DMDatabase database;
    database.SetValuef("a", "n", "k", "%s", long_text.c_str());
    EXPECT_EQ(strlen(database.GetValue("a", "n", "k")), 1023u);
}

TEST(DataModel, ValueConversions) {
    DMValue value("k", nullptr);
    EXPECT_STREQ(value.GetValue(), "");
    value.SetValueInt(-42);
    EXPECT_STREQ(value.GetValue(), "-42");
    EXPECT_EQ(value.GetValueInt(), -42);
    value.SetValueFloat(0.1f);
    EXPECT_STREQ(value.GetValue(), "0.1");
    EXPECT_FLOAT_EQ(value.GetValueFloat(), 0.1f);
    value.SetValue(nullptr);
    EXPECT_STREQ(value.GetValue(), "0.1");
    value.SetId(nullptr);
    EXPECT_STREQ(value.id, "k");
    value.SetId("w");
    EXPECT_EQ(value.id_hash, 119u);

    DMValue copy(&value);
    EXPECT_TRUE(copy.Equals(&value));
    copy.SetValue("other");
    EXPECT_FALSE(copy.Equals(&value));
    value.Free();
    copy.Free();
    EXPECT_EQ(value.GetValueInt(), 0);
    EXPECT_EQ(value.GetValueFloat(), 0.0f);

    DMValue unset;
    DMValue from_unset(&unset);
    EXPECT_STREQ(from_unset.id, "");
    EXPECT_STREQ(from_unset.value, "");
    EXPECT_FALSE(unset.Equals(&unset));  // null texts are never equal
    from_unset.Free();
}

TEST(DataModel, ArrayValuesAndTheArrayId) {
    DMDatabase database;
    DMArray* array = database.AddArray("old");
    unsigned int hash = array->id_hash;
    array->SetArrayValue("id", "new");
    EXPECT_STREQ(array->id, "new");
    EXPECT_EQ(array->id_hash, hash);  // the hash stays
    EXPECT_EQ(array->GetNumberOfArrayValues(), 0);
    EXPECT_EQ(database.GetArrayById("new"), array);
    EXPECT_EQ(database.GetArrayById("old"), nullptr);

    array->SetArrayValue("k", "1");
    array->SetArrayValue("k", "2");
    array->SetArrayValue("k", nullptr);
    array->SetArrayValue("n", nullptr);
    array->SetArrayValue(nullptr, "x");
    EXPECT_EQ(array->GetNumberOfArrayValues(), 2);
    EXPECT_STREQ(array->GetArrayValue("k"), "2");
    EXPECT_EQ(array->GetArrayValue("n"), nullptr);
    EXPECT_STREQ(array->GetArrayValueIdByIndex(1), "n");
    EXPECT_STREQ(array->GetArrayValue(0), "2");
    EXPECT_EQ(array->GetArrayValue(2), nullptr);
    EXPECT_EQ(array->GetArrayValueIdByIndex(-1), nullptr);
    array->RemoveArrayValue("k");
    array->RemoveArrayValue("missing");
    EXPECT_EQ(array->GetNumberOfArrayValues(), 1);
    EXPECT_STREQ(array->GetArrayValueIdByIndex(0), "n");
}

TEST(DataModel, RemovedNodesAreReleased) {
    // The sanitizer build reports any node these removals leave behind.
    DMArray array("a", nullptr);
    for (const char* id : {"a", "b", "c", "d"}) array.AddNode(id)->SetValue("k", id);
    EXPECT_TRUE(array.RemoveNodeByIndex(1));
    EXPECT_FALSE(array.RemoveNodeByIndex(3));
    EXPECT_FALSE(array.RemoveNodeByIndex(-1));
    EXPECT_STREQ(array.GetNodeByIndex(1)->id, "c");
    EXPECT_FALSE(array.RemoveNodeById(nullptr));
    EXPECT_FALSE(array.RemoveNodeById("b"));
    array.RemoveAllNodes();
    EXPECT_EQ(array.GetNumberOfNodes(), 0);
}

TEST(DataModel, GetFirstNodeWithValueNeedsKeyAndValue) {
    DMArray array("a", nullptr);
    array.SetNodeValue("n1", "k", "x");
    array.SetNodeValue("n2", "k", "y");
    array.SetNodeValue(nullptr, "k", "z");  // a null node id does nothing
    EXPECT_EQ(array.GetNumberOfNodes(), 2);
    EXPECT_EQ(array.GetFirstNodeWithValue("k", "y"), array.GetNodeById("n2"));
    EXPECT_EQ(array.GetFirstNodeWithValue("k", nullptr), nullptr);
    EXPECT_EQ(array.GetFirstNodeWithValue(nullptr, "x"), nullptr);
    EXPECT_EQ(array.GetFirstNodeWithValue("k", "q"), nullptr);
    EXPECT_STREQ(array.GetNodeValue(0, "k"), "x");
    EXPECT_EQ(array.GetNodeValue(5, "k"), nullptr);
    EXPECT_EQ(array.GetNodeValue(0, nullptr), nullptr);
}

TEST(DataModel, CloneIsDeepAndEqual) {
    DMDatabase database;
    DMArray* array = database.AddArray("a");
    array->SetArrayValue("version", "3");
    array->SetNodeValue("n1", "w", "32");
    array->SetNodeValue("n2", "h", "16");
    DMArray* copy = array->Clone();
    EXPECT_EQ(copy->parent, &database);
    EXPECT_TRUE(array->Equals(copy));
    EXPECT_EQ(copy->GetNodeById("n1")->parent, array);  // the node clones keep their parent

    copy->SetNodeValue("n2", "h", "17");
    EXPECT_FALSE(array->Equals(copy));
    EXPECT_STREQ(array->GetNodeValue("n2", "h"), "16");
    copy->SetNodeValue("n2", "h", "16");
    EXPECT_TRUE(array->Equals(copy));
    copy->SetArrayValue("version", "4");
    EXPECT_FALSE(array->Equals(copy));
    delete copy;

    // Node ids are not compared, only the pairs.
    DMNode left("x");
    DMNode right("y");
    left.SetValue("k", "v");
    right.SetValue("k", "v");
    EXPECT_TRUE(left.Equals(&right));
    right.SetValue("j", "v");
    EXPECT_FALSE(left.Equals(&right));
}

TEST(DataModel, DatabaseLookUpsAndSetters) {
    DMDatabase database;
    EXPECT_EQ(database.values_per_line, 5);
    database.SetValue("settings", "screen", "w", "640");
    database.SetValue("settings", "screen", "h", "480");
    database.SetValue("other", nullptr, "k", "v");  // makes the array, stops at the node
    EXPECT_EQ(database.GetNumberOfArrays(), 2);
    EXPECT_EQ(database.GetArraySize("other"), 0);
    EXPECT_EQ(database.GetArraySize("settings"), 1);
    EXPECT_STREQ(database.GetValue("settings", "screen", "h"), "480");
    EXPECT_STREQ(database.GetValue("settings", 0, "w"), "640");
    EXPECT_EQ(database.GetValue("settings", 1, "w"), nullptr);
    EXPECT_EQ(database.GetValue("settings", "screen", "d"), nullptr);
    EXPECT_EQ(database.GetValue("missing", "screen", "w"), nullptr);
    EXPECT_EQ(database.GetValue(nullptr, "screen", "w"), nullptr);
    EXPECT_EQ(database.GetNode("settings", nullptr), nullptr);
    EXPECT_EQ(database.GetArrayByIndex(2), nullptr);

    DMArray* duplicate = database.AddArray("settings");
    EXPECT_EQ(database.GetArrayById("settings"), database.GetArrayByIndex(0));
    EXPECT_TRUE(database.RemoveArray("settings"));
    EXPECT_EQ(database.GetArrayById("settings"), duplicate);
    EXPECT_FALSE(database.RemoveArray(nullptr));
    EXPECT_FALSE(database.RemoveArray("missing"));
}

TEST(DataModel, ParentDatabaseNames) {
    DMArray loose("a", nullptr);
    EXPECT_STREQ(loose.GetParentDatabaseName(), "(no db)");
    DMDatabase database;
    DMArray* array = database.AddArray("a");
    EXPECT_STREQ(array->GetParentDatabaseName(), "(unnamed db)");
    database.SetName("x.xml");
    EXPECT_STREQ(array->GetParentDatabaseName(), "x.xml");
    EXPECT_EQ(database.name_hash, nStringHash("x.xml"));
    database.Free();
    EXPECT_EQ(database.name, nullptr);
    EXPECT_EQ(database.GetNumberOfArrays(), 0);
}

TEST(DataModel, ValidNames) {
    DMDatabase database;
    struct Case {
        const char* name;
        bool valid;
    } cases[] = {{"a", true},   {"Abc_1-2", true}, {"1abc", false}, {"_a", false},
                 {"a b", false}, {"a.b", false},   {"", false},     {nullptr, false}};
    for (const Case& c : cases) EXPECT_EQ(database.IsValidName(c.name), c.valid) << (c.name ? c.name : "null");
}

class DataModelPrint : public DataModelTest {};

TEST_F(DataModelPrint, PrintWritesOneLinePerElement) {
    DMDatabase database;
    database.SetName("db.xml");
    database.SetValue("a", "n", "k", "v");
    database.Print();
    std::vector<std::string> lines;
    for (const Message& m : Recorded()) lines.push_back(m.text);
    EXPECT_EQ(lines, (std::vector<std::string>{"Database 'db.xml'", " Array id='a'", "  Node id='n'", "   id='n'",
                                               "   k='v'"}));
}

}  // namespace
