// What NaN, infinite, underflowing and degenerate input gets from the geometry classes: the
// answers their headers give, across the predicates and constructors.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

#include "BaseCommon/faces/C3DPointArray.h"
#include "BaseCommon/geometry/C2DBox.h"
#include "BaseCommon/geometry/C2DPoint.h"
#include "BaseCommon/geometry/C2DVec.h"
#include "BaseCommon/geometry/C3DBox.h"
#include "BaseCommon/geometry/C3DLine.h"
#include "TestConstants.h"

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
using V = std::vector<int>;

// Each predicate's answer is summed: one that says yes to a NaN shows as a non-zero total.
TEST(NonFiniteInput, NaNFailsEveryVectorAndPointTestAndGivesNaNAngles) {
    const C3DVec ref(1, 0, 0);
    for (const C3DVec& v : {C3DVec(kNaN, 0, 0), C3DVec(1, kNaN, 0), C3DVec(0, 0, kNaN)}) {
        EXPECT_EQ((v == v) + v.IsZeroLength() + v.IsParallel(ref) + v.IsOrthogonal(ref) +
                      v.IsBetween(ref, ref),
                  0);
        EXPECT_TRUE(std::isnan(v.GetAngleTo(ref)) && std::isnan(v.AngleBetween(ref)) &&
                    std::isnan(v.GetNormal().x));
    }
    const C2DVec nan2(kNaN, 0), x2(1, 0);
    EXPECT_EQ((nan2 == nan2) + nan2.IsZeroLength() + nan2.IsBetween(x2, x2), 0);
    EXPECT_TRUE(std::isnan(nan2.GetCosValOfIncAngTo(x2)) &&
                std::isnan(C2DVec(kInf, 0).GetNormal().x));
    const C3DPoint nan(kNaN, 0, 0), o(0, 0, 0), x(1, 0, 0);
    EXPECT_EQ((nan == nan) + C3DPoint::ThreePointOnLine(nan, o, x) +
                  C3DPoint::ThreePointOnLine(o, o, nan) + (C2DPoint(kNaN, 0) == C2DPoint(kNaN, 0)),
              0);
}

// A vector whose squared length underflows to 0 or overflows to infinity still normalises to
// a unit vector of its direction (it used to give infinities, NaN or the zero vector), and
// its angles are those of the direction; lengths in range keep the plain division.
TEST(NonFiniteInput, NormalOfUnderflowingOrOverflowingVectorIsUnit) {
    const double tiny = std::numeric_limits<double>::denorm_min();
    for (const C3DVec& v : {C3DVec(3e-170, 4e-170, 0), C3DVec(0, 0, -tiny), C3DVec(1e200, 1e200, 0),
                            C3DVec(DBL_MAX, -DBL_MAX, DBL_MAX)}) {
        const C3DVec n = v.GetNormal();
        C3DPoint p(v);
        p.Normalize();
        EXPECT_NEAR(n.Module(), 1.0, 1e-15);
        EXPECT_NEAR(p.Module(), 1.0, 1e-15);
        EXPECT_GT(n * v, 0.0);  // same direction
    }
    EXPECT_DOUBLE_EQ(C3DVec(3e-170, 4e-170, 0).GetNormal().x, 0.6);
    EXPECT_DOUBLE_EQ(C3DVec(1e200, 1e200, 0).GetAngleTo(C3DVec(1, 0, 0)), 2 * kPi - kPi / 4);
    EXPECT_EQ(C3DVec(3, 4, 0).GetNormal().y, 0.8);
    // An infinite component is NaN in its own place; the exact zero vector stays zero.
    const C3DVec inf = C3DVec(kInf, 1, 0).GetNormal();
    EXPECT_TRUE(std::isnan(inf.x) && inf.y == 0.0);
    EXPECT_EQ(C3DVec(0, 0, 0).GetNormal().Module(), 0.0);
}

// A segment with a NaN or infinite coordinate has no relation to any other, and the
// crossing searches leave out unwritten; DividingLine appends nothing for a NaN length.
TEST(NonFiniteInput, NonFiniteSegmentRelatesToNothing) {
    const C3DLine ok(C3DPoint(0, 0, 0), C3DPoint(2, 0, 0));
    const C3DLine bad[] = {{C3DPoint(kNaN, 0, 0), C3DPoint(1, 0, 0)},
                           {C3DPoint(-kInf, 0, 0), C3DPoint(kInf, 0, 0)},
                           {C3DPoint(1, -kInf, 0), C3DPoint(1, kInf, 0)},
                           {C3DPoint(0, 0, 0), C3DPoint(kInf, 0, 0)}};
    for (const C3DLine& b : bad) {
        for (int side = 0; side < 2; ++side) {
            const C3DLine& l = side ? ok : b;
            const C3DLine& m = side ? b : ok;
            double t = -5.0;
            C3DPoint out(7, 7, 7);
            EXPECT_EQ((V{l.IsOnLine(m, t), l.IsPartof(m), l == m, l.IsCoplanarWith(m),
                         l.IsIntersectLine(m), l.FindCrossPoint(m, out),
                         l.FindBeeLineCrossPoint(m, out)}),
                      V(7, 0));
            EXPECT_TRUE(out.x == 7.0 && l.GetComPartWith(m).GetLength() == 0.0);
        }
    }
    C3DPointArray pts;
    bad[0].DividingLine(pts, 1.0, 1, 1);
    EXPECT_EQ(pts.GetSize(), 0);
}

// A zero-length segment lies on a carrier line: it touches it and coincides with it.
TEST(NonFiniteInput, ZeroLengthSegmentTouchesACarrier) {
    const C3DLine zero(C3DPoint(1, 0, 0), C3DPoint(1, 0, 0));
    const C3DLine ok(C3DPoint(0, 0, 0), C3DPoint(2, 0, 0));
    EXPECT_DOUBLE_EQ(zero.GetAngleToX(), kPi / 2);  // the zero vector's cosine is 0
    C3DPoint out(7, 7, 7);
    EXPECT_EQ(ok.IsIntersectLine(zero) + ok.FindBeeLineCrossPoint(zero, out), 4);
    EXPECT_EQ(out.x, 7.0);
}

TEST(NonFiniteInput, BoxesHoldNothingWithNaNAndEverythingFiniteWhenInfinite) {
    C3DBox box;
    const C3DPoint o(0, 0, 0), nan(kNaN, 0, 0), far(1e300, -1e300, 0);
    box.m_dLenX = box.m_dLenY = box.m_dLenZ = kNaN;
    EXPECT_EQ(box.PntInRegion(&o), 0);
    box.m_dLenX = box.m_dLenY = box.m_dLenZ = kInf;
    EXPECT_EQ(box.PntInRegion(&far) - box.PntInRegion(&nan), 1);
    box.m_dTol = kNaN;
    EXPECT_EQ(box.PntInRegion(&o), 0);
    const C2DBox all(-kInf, -kInf, kInf, kInf);  // strict bounds: infinity is outside
    EXPECT_EQ((V{C2DBox(kNaN, 0, 1, 1).PntInRegion(0.5, 0.5), all.PntInRegion(1e300, -1e300),
                 all.PntInRegion(kInf, 0), all.PntInRegion(kNaN, 0)}),
              (V{0, 1, 0, 0}));
}
