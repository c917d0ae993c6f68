#include <gtest/gtest.h>

#include <cmath>

#include "engine/base/ntransform.h"
#include "engine/base/tests/transform_helpers.h"
#include "engine/base/types.h"

namespace {

void ExpectNear(const nTransform& a, const nTransform& b, float tolerance = 1e-5f) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.m[i], b.m[i], tolerance) << "element " << i;
}

TEST(NTransform, CombineIsAOnTheLeft) {
    nTransform t = Translation(1, 2, 3), s = Scale(2), out;
    nTransform::Combine(out, zk_transform_identity, t);
    ExpectNear(out, t, 0);
    nTransform::Combine(out, t, zk_transform_identity);
    ExpectNear(out, t, 0);

    // Translation then scale: a point is scaled first, then moved.
    nTransform::Combine(out, t, s);
    EXPECT_FLOAT_EQ(out.m[3], 1);
    EXPECT_FLOAT_EQ(out.m[0], 2);
    nTransform::Combine(out, s, t);
    EXPECT_FLOAT_EQ(out.m[3], 2);
    EXPECT_FLOAT_EQ(out.m[7], 4);
}

TEST(NTransform, InvertGivesTheInverse) {
    nTransform m = zk_transform_identity;
    m.Invert();
    ExpectNear(m, zk_transform_identity, 0);

    nTransform s = Scale(2);
    s.Invert();
    EXPECT_FLOAT_EQ(s.m[0], 0.5f);
    EXPECT_FLOAT_EQ(s.m[10], 0.5f);
    EXPECT_FLOAT_EQ(s.m[15], 1.0f);

    // A general matrix: rotation-like, with translation and shear.
    nTransform g = {{0.6f, -0.8f, 0.1f, 4, 0.8f, 0.6f, 0.2f, -3, 0.0f, 0.3f, 1.5f, 2, 0.1f, 0, 0, 1}};
    nTransform inverse = g, product;
    inverse.Invert();
    nTransform::Combine(product, g, inverse);
    ExpectNear(product, zk_transform_identity);
    nTransform::Combine(product, inverse, g);
    ExpectNear(product, zk_transform_identity);
}

TEST(NTransform, SingularMatrixGivesNonFiniteElements) {
    nTransform zero = {};
    zero.Invert();
    bool anyNonFinite = false;
    for (float v : zero.m) anyNonFinite = anyNonFinite || !std::isfinite(v);
    EXPECT_TRUE(anyNonFinite);
}

TEST(Color, FromHexValue) {
    color_t c = {0, 0, 0, 0};
    c.FromHexValue("#FF0080");
    EXPECT_FLOAT_EQ(c.r, 1.0f);
    EXPECT_FLOAT_EQ(c.g, 0.0f);
    EXPECT_NEAR(c.b, 128 / 255.0f, 1e-6);
    EXPECT_FLOAT_EQ(c.a, 1.0f);
    c.FromHexValue("00000040");
    EXPECT_NEAR(c.a, 64 / 255.0f, 1e-6);
    c.FromHexValue("#123");
    EXPECT_NEAR(c.a, 64 / 255.0f, 1e-6);
}

}  // namespace
