#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "BaseCommon/faces/C3DPointArray.h"
#include "BaseCommon/framework/CException.h"
#include "BaseCommon/geometry/C3DLine.h"

namespace {

const C3DPoint kUntouched(-77, -77, -77);

C3DLine Ln(double x0, double y0, double z0, double x1, double y1, double z1) {
    return C3DLine(C3DPoint(x0, y0, z0), C3DPoint(x1, y1, z1));
}
C3DLine X(double x0, double x1) {
    return Ln(x0, 0, 0, x1, 0, 0);
}

::testing::AssertionResult SameLine(const C3DLine& l, const C3DLine& e) {
    if (*l.GetBgnPnt() == *e.GetBgnPnt() && *l.GetEndPnt() == *e.GetEndPnt())
        return ::testing::AssertionSuccess();
    const C3DPoint &b = *l.GetBgnPnt(), &f = *l.GetEndPnt();
    return ::testing::AssertionFailure() << "got (" << b.x << "," << b.y << "," << b.z << ")-("
                                         << f.x << "," << f.y << "," << f.z << ")";
}

TEST(C3DLine, OwnsItsPointsAtFixedAddressesFootAndAngle) {
    C3DLine a = X(1, 2), b(a);
    C3DPoint* pBgn = b.GetBgnPnt();
    b = X(5, 6);
    b += C3DVec(0, 0, 1);
    EXPECT_EQ(b.GetBgnPnt(), pBgn);
    EXPECT_TRUE(SameLine(b, Ln(5, 0, 1, 6, 0, 1)));
    std::unique_ptr<C3DLine> c(static_cast<C3DLine*>(a.clone()));
    a.GetEndPnt()->x = 9;
    EXPECT_TRUE(SameLine(*c, X(1, 2)));
    C3DPoint foot(kUntouched);
    X(0, 10).GetFootPnt(C3DPoint(4, 3, 0), foot);
    EXPECT_TRUE(foot == C3DPoint(4, 0, 0));  // the foot, not the mirror point beyond p
    EXPECT_DOUBLE_EQ(Ln(0, 0, 0, 0, -1, 0).GetAngleToX(), 1.5 * 3.141592653589793);
}

TEST(C3DLine, PntOnLine_DistanceStrictEndToleranceScalesWithLength) {
    const struct {
        C3DLine l;
        C3DPoint p;
        int nExpected;
        double t;  // -77: not written
    } cases[] = {
        {X(0, 10), {5, 0.0005, 0}, 1, 0.5},     {X(0, 10), {5, 0.001, 0}, 0, -77},
        {X(0, 10), {-0.005, 0, 0}, 1, -0.0005}, {X(0, 10), {-0.02, 0, 0}, 0, -0.002},
        {X(0, 10), {10.009, 0, 0}, 1, 1.0009},  {X(0, 1000), {-0.5, 0, 0}, 1, -0.0005},
        {X(0, 1000), {-1, 0, 0}, 0, -0.001},  // strict
        {X(3, 3), {3, 0, 0}, 0, -77},         // zero length
    };
    for (const auto& c : cases) {
        double t = -77;
        EXPECT_EQ(c.l.PntOnLine(c.p, t), c.nExpected) << c.p.x << " " << c.p.y;
        EXPECT_NEAR(t, c.t, 1e-12) << c.p.x << " " << c.p.y;
    }
    // One argument: 2d for a point d before the begin point, against the single-precision
    // value of 1e-6 (2.5e-15 below 1e-6, far above the rounding at this scale).
    EXPECT_EQ(X(0, 0.001).PntOnLine(C3DPoint(-4.99999998e-7, 0, 0)), 1);
    EXPECT_EQ(X(0, 0.001).PntOnLine(C3DPoint(-4.999999993e-7, 0, 0)), 0);
    // Equality: each on the other, the one-argument test for this line's ends.
    EXPECT_EQ(X(0, 10) == X(10, 0), 1);
    EXPECT_EQ(X(2, 8) == X(0, 10), 0);
    EXPECT_EQ(X(0, 10) == X(2, 8), 0);
    EXPECT_EQ(X(0, 10.0001).IsPartof(X(0, 10)), 1);  // parameter tolerance
    EXPECT_EQ(X(0, 10.0001) == X(0, 10), 0);         // but not the one-argument test
}

TEST(C3DLine, IsOnLine_CoveredFractionOfOther) {
    const struct {
        C3DLine l, o;
        int nExpected;
        double t;  // -77: not written
    } cases[] = {
        {X(0, 10), X(5, 20), 1, 1.0 / 3}, {X(2, 8), X(0, 10), 1, 0.6},
        {X(0, 10), X(2, 8), 1, 1.0},      {X(0, 10), X(0, 5), 1, 1.0},  // inside, end shared
        {X(0, 10), X(10, 20), 0, 0.0},    {X(0, 10), X(9.995, 19.995), 0, 0.0005},  // touches
        {X(0, 10), X(20, 30), 0, -77},    {X(0, 10), Ln(0, 1, 0, 10, 1, 0), 0, -77},
        {X(0, 10), X(16, 6), 1, 0.4},  // this's end on other, other's end on this
    };
    for (const auto& c : cases) {
        double t = -77;
        EXPECT_EQ(c.l.IsOnLine(c.o, t), c.nExpected) << c.o.GetBgnPnt()->x;
        EXPECT_NEAR(t, c.t, 1e-12) << c.o.GetBgnPnt()->x;
    }
}

TEST(C3DLine, PlaneSideAndBoxTestsAtTheirTolerances) {
    const C3DLine ox = X(0, 1);
    EXPECT_EQ(Ln(0, 0, 0.0009, 0, 1, 0.0009).IsCoplanarWith(ox), 1);
    EXPECT_EQ(Ln(0, 0, 0.001, 0, 1, 0.001).IsCoplanarWith(ox), 0);
    // q = -(begin y)(end y) against a line along x
    EXPECT_EQ(Ln(0, 0.001, 0, 0, 0.9, 0).IsCrossLine(ox), 1);  // q = -0.0009
    EXPECT_EQ(Ln(0, 0.002, 0, 0, 0.9, 0).IsCrossLine(ox), 0);  // q = -0.0018
    EXPECT_EQ(Ln(0, 0, 0, 5, 5, 0.0009).LineOnXYPlane(), 1);
    EXPECT_EQ(Ln(0, 0, 0, 5, 5, 0.001).LineOnXYPlane(), 0);
    EXPECT_EQ(X(0, 10).IsInMinBox(C3DPoint(10.5, -0.5, 0.5), 0.5), 1);
    EXPECT_EQ(X(0, 10).IsInMinBox(C3DPoint(10.5, 0, 0.5000001), 0.5), 0);
    EXPECT_EQ(X(0, 1).IsIntersectLine(X(1, 2)), 2);                 // boxes touching count
    EXPECT_EQ(X(0, 2).IsIntersectLine(Ln(1, 0, 0, 1, 1, 0)), 1);    // T junction
    EXPECT_EQ(X(0, 2).IsIntersectLine(Ln(1, 0.5, 0, 1, 1, 0)), 0);  // stops short
    EXPECT_EQ(X(0, 2).IsIntersectLine(Ln(1, -1, 1, 1, 1, 1)), 0);   // skew
}

struct CrossCase {
    C3DLine l, o;
    int nExpected;
    C3DPoint p;
};

TEST(C3DLine, FindCrossPoint_PlanBranchesAndOneVerticalPlane) {
    const CrossCase cases[] = {
        {Ln(0, 0, 0, 2, 2, 2), Ln(0, 2, 1, 2, 0, 1), 1, {1, 1, 1}},   // z along this
        {Ln(1, -1, 0, 1, 1, 2), Ln(0, 0, 1, 2, 0, 1), 1, {1, 0, 1}},  // this at constant x
        {Ln(0, 0, 1, 2, 0, 1), Ln(1, -1, 0, 1, 1, 2), 1, {1, 0, 1}},  // other at constant x
        {Ln(1, 0, 0, 1, 2, 2), Ln(1, 0, 2, 1, 2, 0), 1, {1, 1, 1}},   // both at constant x
        {Ln(0, 0, 0, 2, 2, 2), Ln(0, 0, 2, 2, 2, 0), 1, {1, 1, 1}},   // equal plan slopes
        {Ln(0, 0, 0, 3, 0.3, 3), Ln(1, 0.1, 3, 2, 0.2, 0), 1, {1.5, 0.15, 1.5}},  // 0.3/3, 0.1
        // one vertical plane, and no coordinate pair above the 0.001 determinant threshold
        {Ln(0, 0, 0, 0.02, 0.02, 0),
         Ln(0.005, 0.005, -0.02, 0.015, 0.015, 0.02),
         1,
         {0.01, 0.01, 0}},
        {X(0, 2), X(1, 3), 2, kUntouched},
        {X(0, 1), X(2, 3), 0, kUntouched},
    };
    for (const CrossCase& c : cases) {
        C3DPoint out(kUntouched);
        EXPECT_EQ(c.l.FindCrossPoint(c.o, out), c.nExpected) << c.o.GetBgnPnt()->x;
        EXPECT_LT((out - c.p).Module(), 1e-12) << out.x << " " << out.y << " " << out.z;
    }
}

TEST(C3DLine, FindBeeLineCrossPoint_CarrierLines) {
    const CrossCase cases[] = {
        {X(0, 1), Ln(5, -1, 0, 5, 1, 0), 1, {5, 0, 0}},               // segments miss
        {X(0, 1), Ln(5, 0, -1, 5, 0, 1), 1, {5, 0, 0}},               // (x, z) pair
        {Ln(0, 0, 0, 0, 1, 0), Ln(0, 5, -1, 0, 5, 1), 1, {0, 5, 0}},  // (y, z) pair
        {X(0, 1), Ln(0.5, 0, 0, 0.5, 0.0011, 0), 1, {0.5, 0, 0}},
        {X(0, 1), Ln(0.5, 0, 0, 0.5, 0.001, 0), 0, kUntouched},  // |det| = 0.001: strict
        {X(0, 1), X(3, 7), 2, kUntouched},
        {X(0, 1), Ln(0, -1, 1, 0, 1, 1), 0, kUntouched},  // skew
    };
    for (const CrossCase& c : cases) {
        C3DPoint out(kUntouched);
        EXPECT_EQ(c.l.FindBeeLineCrossPoint(c.o, out), c.nExpected) << c.o.GetEndPnt()->y;
        EXPECT_TRUE(out == c.p) << out.x << " " << out.y << " " << out.z;
    }
}

TEST(C3DLine, ComAndUniPart_SortedEndPointsOrCoincidence) {
    const C3DLine zero;
    const struct {
        C3DLine l, o, com, uni;
    } cases[] = {
        {X(0, 10), X(5, 20), X(10, 5), X(0, 20)},  // common part not re-oriented
        {X(-3, 1), X(0, 3), X(0, 1), X(-3, 3)},    // -3 and 3 tie as farthest: first wins
        {X(0, 10), X(10, 20), zero, X(0, 20)},     // touch
        {X(0, 10), X(10, 0), X(0, 10), X(10, 0)},  // coincide: this, other
        {X(0, 10), X(2, 8), X(8, 2), X(0, 10)},    // other strictly inside
        {X(2, 8), X(10, 0), X(8, 2), X(0, 10)},    // this strictly inside
        {X(0, 10), X(0, 5), X(5, 0), X(0, 10)},    // inside, sharing an end
        {Ln(0, 0, 0, 0, 0, 4), Ln(0, 0, 6, 0, 0, 2), Ln(0, 0, 4, 0, 0, 2), Ln(0, 0, 0, 0, 0, 6)},
        {X(0, 10), Ln(0, 0, 0, 0, 10, 0), zero, zero},  // corner at an angle: no touch
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(SameLine(c.l.GetComPartWith(c.o), c.com)) << "com " << c.o.GetEndPnt()->x;
        EXPECT_TRUE(SameLine(c.l.GetUniPartWith(c.o), c.uni)) << "uni " << c.o.GetEndPnt()->x;
    }
    EXPECT_TRUE(SameLine(Ln(2, 3, 0, 8, 5, 1).GetProjectWith(X(0, 10)), X(8, 2)));
    EXPECT_TRUE(SameLine(Ln(12, 3, 0, 18, 3, 0).GetProjectWith(X(0, 10)), zero));
}

TEST(C3DLine, DividingLine_FewestEqualPiecesFlagsAndRefusals) {
    C3DPointArray pts;
    pts.Add(new C3DPoint(-1, -1, -1));
    X(0, 10).DividingLine(pts, 3, 1, 1);
    ASSERT_EQ(pts.GetSize(), 6);  // existing element, begin, 2.5, 5, 7.5, end
    for (int i = 0; i < 6; ++i)
        EXPECT_DOUBLE_EQ(pts[i]->x, i == 0 ? -1 : 2.5 * (i - 1));
    const double cases[][4] = {{10, 0, 0, 0}, {2.5, 0, 0, 3}, {2.4999, 0, 1, 5},
                               {0, 1, 1, 0},  {-3, 1, 1, 0},  {std::nan(""), 1, 1, 0}};
    for (const auto& c : cases) {
        pts.DeepRemoveAll();
        X(0, 10).DividingLine(pts, c[0], static_cast<int>(c[1]), static_cast<int>(c[2]));
        EXPECT_EQ(pts.GetSize(), c[3]) << c[0];
    }
    pts.DeepRemoveAll();
    EXPECT_THROW(X(0, 10).DividingLine(pts, 1e-300, 1, 1), CInvalidArgException);
    EXPECT_EQ(pts.GetSize(), 0);
    // The count from an estimate equals the plain count up from two, on lengths that are
    // whole multiples of dMax nudged by an ulp or two.
    unsigned s = 12345;
    const auto next = [&s] { return (s = s * 1103515245u + 12345u) / 4294967296.0; };
    for (int k = 0; k < 2000; ++k) {
        const double len = 0.001 + 100 * next();
        const double dMax = len / std::floor(1 + 300 * next()) * (1 + 1e-16 * (k % 5 - 2));
        int n = 1;
        while (!(dMax >= len) && (n < 2 || len / n > dMax))
            ++n;
        X(0, len).DividingLine(pts, dMax, 0, 0);
        ASSERT_EQ(pts.GetSize(), n - 1) << len << " " << dMax;
        pts.DeepRemoveAll();
    }
}

}  // namespace
