// HLSL-family translators on hand-built trees: products the front end does
// not make today but the translators must still write as HLSL.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "shadertool/translate/translator_factory.h"
#include "shadertool/translate/tests/tree_builder.h"

namespace ShaderTool {
namespace {

using testing::TreeBuilder;

// main() { <statement> } translated as a vertex shader of an empty Shader XML.
std::string TranslateMain(int target, ParserNode* statement, TreeBuilder& tree) {
    ShaderInfo info;
    info.version = 0x20003;
    Log log;
    std::unique_ptr<Translator> translator(CreateTranslator(ShaderTarget(target), log));
    AggregateNode* root = tree.List({tree.Function(Type::Void(), "main", {}, tree.Block({statement}))});
    EXPECT_TRUE(translator->Translate(info, ShaderTarget(target), 0, VERTEX_SHADER, root)) << log.GetText();
    return translator->GetOutput().c_str();
}

TEST(HLSLTrees, MatrixTimesVectorIsMul) {
    for (int target : {HLSL9, HLSL11, PSSL}) {
        TreeBuilder tree;
        OperatorNode* product = tree.Op(OP_MULTIPLY, tree.Sym("m", Type::Matrix(3)), tree.Sym("v", TreeBuilder::Float(3)));
        product->type = TreeBuilder::Float(3);
        std::string text = TranslateMain(target, tree.Op(OP_ASSIGN, tree.Sym("v", TreeBuilder::Float(3)), product), tree);
        EXPECT_NE(text.find("\tv = mul(m, v);\n"), std::string::npos) << target << "\n" << text;
    }
}

// A matrix array is not a matrix: its elements are.
TEST(HLSLTrees, ArraysAreNotMultipliedWithMul) {
    TreeBuilder tree;
    Type matrices = Type::Matrix(4);
    matrices.array_size = 2;
    OperatorNode* element = tree.Op(OP_SUBSCRIPT, tree.Sym("bones", matrices), tree.Lit("1", TYPE_INT));
    element->type = Type::Matrix(4);
    OperatorNode* product = tree.Op(OP_MULTIPLY, tree.Sym("v", TreeBuilder::Float(4)), element);
    product->type = TreeBuilder::Float(4);
    std::string text = TranslateMain(HLSL11, tree.Op(OP_ASSIGN, tree.Sym("v", TreeBuilder::Float(4)), product), tree);
    EXPECT_NE(text.find("\tv = mul(v, bones[1]);\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace ShaderTool
