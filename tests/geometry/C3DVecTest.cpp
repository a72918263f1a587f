#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "BaseCommon/geometry/C2DVec.h"
#include "BaseCommon/geometry/C3DVec.h"
#include "TestConstants.h"

using V = std::vector<int>;

// Each pair straddles its tolerance: IsABEqual relative and inclusive (no absolute floor),
// component equality 1e-6, zero length, the cross product for parallel and the dot product
// for orthogonal all strict at 0.001 and unnormalised.
TEST(C3DVec, EqualityRelativeAndInclusiveLengthTestsStrictAndUnnormalised) {
    const C3DVec v, x(1, 0, 0);
    EXPECT_EQ(
        (V{v.IsABEqual(1000000.0, 1000001.0), v.IsABEqual(1.0, 1.00001), v.IsABEqual(0.0, 1e-20),
           C3DVec(1, 2, 3) == C3DVec(1, 2, 3.0000029), C3DVec(1, 2, 3) != C3DVec(1, 2.1, 3),
           C3DVec(0.0009, 0, 0).IsZeroLength(), C3DVec(0.001, 0, 0).IsZeroLength(),
           C3DVec(0.01, 0, 0).IsParallel(C3DVec(0, 0.01, 0)),
           C3DVec(1000, 0, 0).IsParallel(C3DVec(1000, 0.01, 0)),
           x.IsOrthogonal(C3DVec(0.0009, 1, 0)), x.IsOrthogonal(C3DVec(0.001, 1, 0))}),
        (V{1, 0, 0, 1, 1, 1, 0, 1, 0, 1, 0}));
    const C3DVec a(0, 0, 0), b(-1, -1, -1);  // closed range, bounds in either order
    EXPECT_EQ(C3DVec(-0.5, -1, 0).IsBetween(a, b), 1);
    EXPECT_EQ(C3DVec(-0.5, -1, 0.1).IsNotBetween(a, b), 1);
}

TEST(C3DVec, NormalsTestForExactZeroAndTheZeroVectorHasAPerpendicular) {
    EXPECT_DOUBLE_EQ(C3DVec(1e-100, 0, 0).GetNormal().x, 1.0);
    EXPECT_EQ(C3DVec(3, 0, 4).GetNormal() == C3DVec(0.6, 0, 0.8), 1);
    const C3DVec cases[][2] = {{{0, 0, 5}, {1, 0, 0}},
                               {{2, 0, 0}, {0, 1, 0}},
                               {{0, 3, 0}, {1, 0, 0}},
                               {{0, 0, 0}, {1, 0, 0}}};  // a unit vector, not NaN
    for (const auto& c : cases)
        EXPECT_EQ(c[0].GetOrthogonalVector() == c[1], 1) << c[0].x << c[0].y << c[0].z;
    const C3DVec o = C3DVec(1, 2, 3).GetOrthogonalVector();
    EXPECT_NEAR(o * C3DVec(1, 2, 3), 0.0, 1e-12);
    EXPECT_NEAR(o.Module(), 1.0, 1e-12);
}

TEST(C3DVec, AnglesCounterClockwiseFromPlusZParallelNeverNaN) {
    // Out of the XY plane (the last four) the cross product's x, then y sign decides.
    const struct {
        C3DVec a, b;
        double angle;
    } cases[] = {{{1, 0, 0}, {0, 1, 0}, kPi / 2}, {{1, 0, 0}, {0, -1, 0}, 3 * kPi / 2},
                 {{1, 0, 0}, {-1, 0, 0}, kPi},    {{1, 0, 0}, {1, 0, 0}, 0},
                 {{0, 1, 0}, {0, 0, 1}, kPi / 2}, {{0, 0, 1}, {0, 1, 0}, 3 * kPi / 2},
                 {{0, 0, 1}, {1, 0, 0}, kPi / 2}, {{1, 0, 0}, {0, 0, 1}, 3 * kPi / 2}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(c.a.GetAngleTo(c.b), c.angle) << c.b.x << " " << c.b.y << " " << c.b.z;
    // Parallel directions whose unit vectors' dot product rounds past 1 or -1.
    const C3DVec a(0.1, 0.7, 0.3);
    EXPECT_EQ(a.GetAngleTo(a * 3.0), 0.0);
    EXPECT_DOUBLE_EQ(a.GetAngleTo(a * -3.0), kPi);
    for (int i = 1; i < 200; ++i) {
        const C3DVec v(0.1 * i, 0.37 * i, -0.013 * i);
        EXPECT_FALSE(std::isnan(v.GetAngleTo(v * 7.0))) << i;
        EXPECT_LE(std::fabs(v.GetCosValOfIncAngTo(v * -3.0)), 1.0) << i;
    }
    EXPECT_EQ(C3DVec(1, 0, 0).AngleBetween(C3DVec(-1, 0, 0)), 0.0);  // unsigned, 0 if anti-parallel
    EXPECT_DOUBLE_EQ(C3DVec(1, 0, 0).AngleBetween(C3DVec(0, -1, 0)), kPi / 2);
    EXPECT_DOUBLE_EQ(C3DVec(1, 0, 0).AngleBetween(C3DVec(-1, 1, 0)), 3 * kPi / 4);
}

TEST(C3DVec, IndicesOutsideXYZAreIgnoredAndCopiesAreIndependent) {
    C3DVec v(1, 2, 3);
    v.SetValue(3, 9.0);
    v(3) = 9.0;  // a write through an out-of-range reference is lost
    EXPECT_EQ(v(3) + v(-1), 0.0);
    v.SetValue(1, 7.0);
    std::unique_ptr<C3DVec> c(static_cast<C3DVec*>(v.clone()));
    v.x = 5;
    EXPECT_EQ(*c == C3DVec(1, 7, 3), 1);
    const C2DVec r = C3DVec(0, 0, 2) % C2DVec(1, 3);  // (-z v.y, z v.x)
    EXPECT_TRUE(r.x == -6.0 && r.y == 2.0);
}
