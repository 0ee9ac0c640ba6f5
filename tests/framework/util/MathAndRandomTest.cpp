#include "framework/graphics/Matrix3.h"
#include "framework/util/Timing.h"
#include "framework/util/TwisterRandom.h"

#include <gtest/gtest.h>

#include <random>

using namespace Nubra;

TEST(Matrix3, ElementaryOperationsApplyInCallOrder)
{
    Matrix3 m;
    m.Scale(2, 3);
    m.Translate(1, 1);
    NubraVector2 p = m * NubraVector2(1, 1);
    EXPECT_FLOAT_EQ(p.x, 3.0f);
    EXPECT_FLOAT_EQ(p.y, 4.0f);

    Matrix3 r;
    r.RotateDeg(90);
    p = r * NubraVector2(1, 0);
    EXPECT_NEAR(p.x, 0.0f, 1e-6);
    EXPECT_NEAR(p.y, -1.0f, 1e-6);
}

TEST(Transform2D, StaysSimpleOnlyWhileItCanKeepPlainNumbers)
{
    Transform2D scaledFirst;
    scaledFirst.Scale(2, 2);
    scaledFirst.Translate(5, 0);
    EXPECT_FALSE(scaledFirst.IsComplex());
    NubraVector2 p = scaledFirst.GetMatrix() * NubraVector2(1, 0);
    EXPECT_FLOAT_EQ(p.x, 7.0f);
    EXPECT_FLOAT_EQ(p.y, 0.0f);

    Transform2D movedFirst;
    movedFirst.Translate(5, 0);
    movedFirst.Scale(2, 2);
    EXPECT_TRUE(movedFirst.IsComplex());
    p = movedFirst.GetMatrix() * NubraVector2(1, 0);
    EXPECT_FLOAT_EQ(p.x, 12.0f);

    Transform2D rotated;
    rotated.RotateDeg(90);
    rotated.Translate(3, 0);
    EXPECT_FALSE(rotated.IsComplex());
    p = rotated.GetMatrix() * NubraVector2(1, 0);
    EXPECT_NEAR(p.x, 3.0f, 1e-6);
    EXPECT_NEAR(p.y, -1.0f, 1e-6);

    Transform2D mirrored;
    mirrored.Scale(-1, 1); // a mirror keeps it simple
    EXPECT_FALSE(mirrored.IsComplex());
    mirrored.Rotate(0.5f);
    EXPECT_TRUE(mirrored.IsComplex());
}

TEST(TwisterRandom, MatchesTheReferenceGeneratorWithTheTopBitCleared)
{
    TwisterRandom ours(4357), zeroSeed(0);
    std::mt19937 reference(4357);
    for (int i = 0; i < 1000; ++i) {
        uint32_t expected = reference() & 0x7FFFFFFF;
        ASSERT_EQ(ours.Next(), expected) << i;
        ASSERT_EQ(zeroSeed.Next(), expected) << i;
    }
    for (int i = 0; i < 1000; ++i) {
        float f = ours.NextFloat(3.5f);
        ASSERT_GE(f, 0.0f);
        ASSERT_LE(f, 3.5f);
    }
}

TEST(AspectRatio, KeepsLowestTerms)
{
    AspectRatio r(1024, 768);
    EXPECT_EQ(r.numerator, 4);
    EXPECT_EQ(r.denominator, 3);
    AspectRatio d;
    EXPECT_EQ(d.numerator, 1);
    EXPECT_EQ(d.denominator, 1);
}
