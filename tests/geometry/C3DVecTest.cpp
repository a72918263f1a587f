#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "BaseCommon/geometry/C2DVec.h"
#include "BaseCommon/geometry/C3DVec.h"

namespace {

constexpr double kPi = 3.141592653589793;

TEST(C3DVec, IsABEqual_RelativeInclusiveWithoutAbsoluteFloor) {
    struct Case {
        double a, b;
        int expected;
    } cases[] = {
        {0.0, 0.0, 1},
        {0.0, 1e-20, 0},            // no absolute floor
        {1000000.0, 1000001.0, 1},  // exactly 1e-6 relative: inclusive
        {1.0, 1.00001, 0},
        {-2.0, -2.000001, 1},
        {1.0, -1.0, 0},
    };
    const C3DVec v;
    for (const Case& c : cases)
        EXPECT_EQ(v.IsABEqual(c.a, c.b), c.expected) << c.a << " vs " << c.b;
}

TEST(C3DVec, Equality_UsesRelativeToleranceOnEachComponent) {
    EXPECT_EQ(C3DVec(1, 2, 3) == C3DVec(1, 2, 3.0000029), 1);
    EXPECT_EQ(C3DVec(0, 0, 0) == C3DVec(0, 0, 1e-12), 0);
    EXPECT_EQ(C3DVec(1, 2, 3) != C3DVec(1, 2.1, 3), 1);
}

TEST(C3DVec, LengthToleranceTestsAreStrictAndUnnormalised) {
    EXPECT_EQ(C3DVec(0.0005, 0, 0).IsZeroLength(), 1);
    EXPECT_EQ(C3DVec(0.001, 0, 0).IsZeroLength(), 0);
    // Cross-product length 1e-4: short perpendicular vectors count as parallel.
    EXPECT_EQ(C3DVec(0.01, 0, 0).IsParallel(C3DVec(0, 0.01, 0)), 1);
    // Long vectors at a tiny angle do not.
    EXPECT_EQ(C3DVec(1000, 0, 0).IsParallel(C3DVec(1000, 0.01, 0)), 0);
    EXPECT_EQ(C3DVec(1, 0, 0).IsOrthogonal(C3DVec(0.0009, 1, 0)), 1);
    EXPECT_EQ(C3DVec(1, 0, 0).IsOrthogonal(C3DVec(0.001, 1, 0)), 0);
}

TEST(C3DVec, NormalisationUsesExactZeroTest) {
    C3DVec zero;
    zero.Normalize();
    EXPECT_EQ(zero.x, 0.0);
    EXPECT_EQ(zero.y, 0.0);
    EXPECT_EQ(zero.z, 0.0);
    const C3DVec n = C3DVec(0, 0, 0).GetNormal();
    EXPECT_FALSE(std::isnan(n.x));
    // A small but non-zero vector is still normalised.
    const C3DVec t = C3DVec(1e-100, 0, 0).GetNormal();
    EXPECT_DOUBLE_EQ(t.x, 1.0);
    const C3DVec v(3, 0, 4);
    const C3DVec u = v.GetNormal();
    EXPECT_DOUBLE_EQ(u.x, 0.6);
    EXPECT_DOUBLE_EQ(u.z, 0.8);
    EXPECT_EQ(v.x, 3.0);  // GetNormal leaves this unchanged
}

TEST(C3DVec, OrthogonalVectorFollowsAxisOrder) {
    struct Case {
        C3DVec v, expected;
    } cases[] = {
        {C3DVec(0, 0, 5), C3DVec(1, 0, 0)},
        {C3DVec(2, 0, 0), C3DVec(0, 1, 0)},
        {C3DVec(0, 3, 0), C3DVec(1, 0, 0)},
        {C3DVec(0, 0, 0), C3DVec(1, 0, 0)},  // the zero vector gets a unit vector, not NaN
    };
    for (const Case& c : cases) {
        const C3DVec r = c.v.GetOrthogonalVector();
        EXPECT_EQ(r == c.expected, 1) << r.x << "," << r.y << "," << r.z;
    }
    const C3DVec v(1, 2, 3);
    const C3DVec o = v.GetOrthogonalVector();
    EXPECT_NEAR(o * v, 0.0, 1e-12);
    EXPECT_NEAR(o.Module(), 1.0, 1e-12);
}

TEST(C3DVec, GetAngleToIsCounterClockwiseFromPlusZ) {
    const C3DVec x(1, 0, 0);
    EXPECT_DOUBLE_EQ(x.GetAngleTo(C3DVec(0, 1, 0)), kPi / 2);
    EXPECT_DOUBLE_EQ(x.GetAngleTo(C3DVec(0, -1, 0)), 3 * kPi / 2);
    EXPECT_DOUBLE_EQ(x.GetAngleTo(C3DVec(-1, 0, 0)), kPi);
    EXPECT_EQ(x.GetAngleTo(C3DVec(1, 0, 0)), 0.0);
    // Out of the XY plane the cross product's x then y sign decides.
    EXPECT_DOUBLE_EQ(C3DVec(0, 1, 0).GetAngleTo(C3DVec(0, 0, 1)), kPi / 2);  // c = (1,0,0)
    EXPECT_DOUBLE_EQ(C3DVec(0, 0, 1).GetAngleTo(C3DVec(0, 1, 0)), 3 * kPi / 2);
    EXPECT_DOUBLE_EQ(C3DVec(0, 0, 1).GetAngleTo(C3DVec(1, 0, 0)), kPi / 2);  // c = (0,1,0)
    EXPECT_DOUBLE_EQ(C3DVec(1, 0, 0).GetAngleTo(C3DVec(0, 0, 1)), 3 * kPi / 2);
}

TEST(C3DVec, AnglesOfParallelVectorsAreExactNeverNaN) {
    // Directions whose normalised dot product rounds past 1 (or -1) must not give NaN.
    const C3DVec a(0.1, 0.7, 0.3);
    const C3DVec b = a * 3.0;
    EXPECT_EQ(a.GetAngleTo(b), 0.0);
    EXPECT_EQ(a.GetCosValOfIncAngTo(b) <= 1.0, true);
    EXPECT_DOUBLE_EQ(a.GetAngleTo(b * -1.0), kPi);
    EXPECT_GE(a.GetCosValOfIncAngTo(b * -1.0), -1.0);
    for (int i = 1; i < 200; ++i) {
        const C3DVec v(0.1 * i, 0.37 * i, -0.013 * i);
        EXPECT_FALSE(std::isnan(v.GetAngleTo(v * 7.0))) << i;
        EXPECT_LE(std::fabs(v.GetCosValOfIncAngTo(v * -3.0)), 1.0) << i;
    }
}

TEST(C3DVec, AngleBetweenIsUnsignedAndZeroForAntiParallel) {
    EXPECT_EQ(C3DVec(1, 0, 0).AngleBetween(C3DVec(-1, 0, 0)), 0.0);
    EXPECT_DOUBLE_EQ(C3DVec(1, 0, 0).AngleBetween(C3DVec(0, 1, 0)), kPi / 2);
    EXPECT_DOUBLE_EQ(C3DVec(1, 0, 0).AngleBetween(C3DVec(0, -1, 0)), kPi / 2);
    EXPECT_DOUBLE_EQ(C3DVec(1, 0, 0).AngleBetween(C3DVec(-1, 1, 0)), 3 * kPi / 4);
}

TEST(C3DVec, IndexedAccessIgnoresIndicesOutsideXYZ) {
    C3DVec v(1, 2, 3);
    EXPECT_EQ(v(2), 3.0);
    EXPECT_EQ(v(3), 0.0);
    EXPECT_EQ(v(-1), 0.0);
    v.SetValue(3, 9.0);
    v(3) = 9.0;  // a write through an out-of-range reference is lost
    EXPECT_EQ(v(3), 0.0);
    EXPECT_EQ(v == C3DVec(1, 2, 3), 1);
    v.SetValue(1, 7.0);
    EXPECT_EQ(v.y, 7.0);
}

TEST(C3DVec, IsBetweenIsClosedInEitherOrder) {
    const C3DVec a(0, 0, 0), b(-1, -1, -1);
    EXPECT_EQ(C3DVec(-0.5, -1, 0).IsBetween(a, b), 1);
    EXPECT_EQ(C3DVec(-0.5, -1, 0.1).IsBetween(a, b), 0);
    EXPECT_EQ(C3DVec(-0.5, -1, 0.1).IsNotBetween(a, b), 1);
}

TEST(C3DVec, CrossProductWith2DVectorKeepsPlanComponents) {
    const C2DVec r = C3DVec(0, 0, 1) % C2DVec(1, 0);
    EXPECT_EQ(r.x, 0.0);
    EXPECT_EQ(r.y, 1.0);
    const C3DVec c = C3DVec(1, 2, 3) % C3DVec(4, 5, 6);
    EXPECT_EQ(c == C3DVec(-3, 6, -3), 1);
}

TEST(C3DVec, CloneIsAnIndependentHeapCopy) {
    C3DVec v(1, 2, 3);
    std::unique_ptr<C3DVec> c(static_cast<C3DVec*>(v.clone()));
    v.x = 5;
    EXPECT_EQ(c->x, 1.0);
}

}  // namespace
