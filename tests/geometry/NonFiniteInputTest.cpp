// What NaN, infinite, underflowing and degenerate input gets from the geometry classes: the
// answers their headers give, across the predicates and constructors.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "BaseCommon/faces/C3DPointArray.h"
#include "BaseCommon/geometry/C2DBox.h"
#include "BaseCommon/geometry/C2DPoint.h"
#include "BaseCommon/geometry/C2DVec.h"
#include "BaseCommon/geometry/C3DBox.h"
#include "BaseCommon/geometry/C3DLine.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kPi = 3.141592653589793;

}  // namespace

TEST(NonFiniteInput, NaNComponentFailsEveryVectorTestAndGivesNaNAngles) {
    const C3DVec ref(1, 0, 0);
    const C3DVec cases[] = {{kNaN, 0, 0}, {1, kNaN, 0}, {0, 0, kNaN}, {kNaN, kNaN, kNaN}};
    for (const C3DVec& v : cases) {
        EXPECT_EQ(v == v, 0);
        EXPECT_EQ(v.IsZeroLength(), 0);
        EXPECT_EQ(v.IsParallel(ref), 0);
        EXPECT_EQ(v.IsOrthogonal(ref), 0);
        EXPECT_EQ(v.IsBetween(ref, ref), 0);
        EXPECT_TRUE(std::isnan(v.GetAngleTo(ref)));
        EXPECT_TRUE(std::isnan(v.AngleBetween(ref)));
        EXPECT_TRUE(std::isnan(v.GetNormal().x));
    }
}

// A vector whose squared length underflows to 0 or overflows to infinity still normalises to
// a unit vector of its direction (it used to give infinities, NaN or the zero vector), and
// its angles are those of the direction.
TEST(NonFiniteInput, NormalOfUnderflowingOrOverflowingVectorIsUnit) {
    const double tiny = std::numeric_limits<double>::denorm_min();
    const C3DVec cases[] = {
        {3e-170, 4e-170, 0}, {0, 0, -tiny}, {1e200, 1e200, 0}, {DBL_MAX, -DBL_MAX, DBL_MAX}};
    for (const C3DVec& v : cases) {
        const C3DVec n = v.GetNormal();
        EXPECT_NEAR(n.Module(), 1.0, 1e-15);
        EXPECT_GT(n * v, 0.0);  // same direction
        C3DPoint p(v);
        p.Normalize();
        EXPECT_NEAR(p.Module(), 1.0, 1e-15);
    }
    EXPECT_DOUBLE_EQ(C3DVec(3e-170, 4e-170, 0).GetNormal().x, 0.6);
    EXPECT_DOUBLE_EQ(C3DVec(1e200, 1e200, 0).GetAngleTo(C3DVec(1, 0, 0)), 2 * kPi - kPi / 4);
    // Lengths in range keep the plain division.
    EXPECT_EQ(C3DVec(3, 4, 0).GetNormal().y, 0.8);
    // An infinite component is NaN in its own place; the exact zero vector stays zero.
    const C3DVec inf = C3DVec(kInf, 1, 0).GetNormal();
    EXPECT_TRUE(std::isnan(inf.x));
    EXPECT_EQ(inf.y, 0.0);
    EXPECT_EQ(C3DVec(0, 0, 0).GetNormal().Module(), 0.0);
}

TEST(NonFiniteInput, PointsWithNaNAreNeverEqualNorCollinear) {
    const C3DPoint nan(kNaN, 0, 0), o(0, 0, 0), x(1, 0, 0);
    EXPECT_EQ(nan == nan, 0);
    EXPECT_EQ(C3DPoint::ThreePointOnLine(nan, o, x), 0);
    EXPECT_EQ(C3DPoint::ThreePointOnLine(o, o, nan), 0);
    EXPECT_EQ(C3DPoint::ThreePointOnLine(x, x, C3DPoint(5, 9, 2)), 1);  // coincident pair
    EXPECT_EQ(C2DPoint(kNaN, 0) == C2DPoint(kNaN, 0), 0);
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
            EXPECT_EQ(l.IsOnLine(m, t), 0);
            EXPECT_EQ(l.IsPartof(m), 0);
            EXPECT_EQ(l == m, 0);
            EXPECT_EQ(l.IsCoplanarWith(m), 0);
            EXPECT_EQ(l.IsIntersectLine(m), 0);
            EXPECT_EQ(l.FindCrossPoint(m, out), 0);
            EXPECT_EQ(l.FindBeeLineCrossPoint(m, out), 0);
            EXPECT_EQ(out.x, 7.0);
            EXPECT_EQ(l.GetComPartWith(m).GetLength(), 0.0);
        }
    }
    C3DPointArray pts;
    bad[0].DividingLine(pts, 1.0, 1, 1);
    EXPECT_EQ(pts.GetSize(), 0);
}

TEST(NonFiniteInput, ZeroLengthSegmentContainsNoPointButTouchesACarrier) {
    const C3DLine zero(C3DPoint(1, 0, 0), C3DPoint(1, 0, 0));
    const C3DLine ok(C3DPoint(0, 0, 0), C3DPoint(2, 0, 0));
    double t = -5.0;
    EXPECT_EQ(zero.PntOnLine(C3DPoint(1, 0, 0), t), 0);
    EXPECT_EQ(t, -5.0);
    EXPECT_EQ(zero.GetDir().Module(), 0.0);
    EXPECT_DOUBLE_EQ(zero.GetAngleToX(), kPi / 2);  // the zero vector's cosine is 0
    EXPECT_EQ(ok.IsIntersectLine(zero), 2);
    C3DPoint out(7, 7, 7);
    EXPECT_EQ(ok.FindBeeLineCrossPoint(zero, out), 2);  // on the carrier: coinciding
    EXPECT_EQ(out.x, 7.0);
}

TEST(NonFiniteInput, BoxesHoldNothingWithNaNAndEverythingFiniteWhenInfinite) {
    C3DBox box;
    const C3DPoint o(0, 0, 0), nan(kNaN, 0, 0), far(1e300, -1e300, 0);
    box.m_dLenX = box.m_dLenY = box.m_dLenZ = kNaN;
    EXPECT_EQ(box.PntInRegion(&o), 0);
    box.m_dLenX = box.m_dLenY = box.m_dLenZ = kInf;
    EXPECT_EQ(box.PntInRegion(&far), 1);
    EXPECT_EQ(box.PntInRegion(&nan), 0);
    box.m_dTol = kNaN;
    EXPECT_EQ(box.PntInRegion(&o), 0);

    EXPECT_EQ(C2DBox(kNaN, 0, 1, 1).PntInRegion(0.5, 0.5), 0);
    const C2DBox all(-kInf, -kInf, kInf, kInf);
    EXPECT_EQ(all.PntInRegion(1e300, -1e300), 1);
    EXPECT_EQ(all.PntInRegion(kInf, 0), 0);  // strict bounds
    EXPECT_EQ(all.PntInRegion(kNaN, 0), 0);
}

TEST(NonFiniteInput, PlaneVectorWithNaNFailsItsTests) {
    const C2DVec nan(kNaN, 0), x(1, 0);
    EXPECT_EQ(nan == nan, 0);
    EXPECT_EQ(nan.IsZeroLength(), 0);
    EXPECT_EQ(nan.IsBetween(x, x), 0);
    EXPECT_TRUE(std::isnan(nan.GetCosValOfIncAngTo(x)));
    EXPECT_TRUE(std::isnan(C2DVec(kInf, 0).GetNormal().x));
}
