#include <gtest/gtest.h>

#include "BaseCommon/faces/C3DPointArray.h"
#include "BaseCommon/geometry/C3DPoint.h"

namespace {

TEST(C3DPoint, Equality_PointToleranceStrictOnEveryAxis) {
    const C3DPoint o;
    const struct {
        C3DPoint q;
        int nExpected;
    } cases[] = {{{0.0000009, 0, 0}, 1},
                 {{0.000001, 0, 0}, 0},

                 {{0, -0.000001, 0}, 0},
                 {{0, 0, 0.000001}, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(o == c.q, c.nExpected) << c.q.x << " " << c.q.y;
}

TEST(C3DPoint, ThreePointOnLine_TwiceTheAreaStrictlyBelowPointTolerance) {
    const struct {
        C3DPoint p1, p2, p3;
        int nExpected;
    } cases[] = {
        {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, 1},           {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0},
        {{0, 0, 0}, {0.0001, 0, 0}, {0, 0.0001, 0}, 1},  // scale dependent
        {{0, 0, 0}, {0.001, 0, 0}, {0, 0.001, 0}, 0},    // exactly 1e-6
        {{3, 4, 5}, {3, 4, 5}, {9, -1, 2}, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(C3DPoint::ThreePointOnLine(c.p1, c.p2, c.p3), c.nExpected) << c.p2.x;
    }
}

TEST(C3DPoint, CoorTrans_NormalisesAxesInPlaceAndAddsOriginBack) {
    C3DVec u(0, 2, 0), v(-3, 0, 0), w(0, 0, 4);
    const C3DPoint r = C3DPoint(11, 2, 3).CoorTrans(C3DPoint(10, 0, 0), u, v, w);
    EXPECT_TRUE(r == C3DPoint(12, -1, 3));
    EXPECT_TRUE(u == C3DVec(0, 1, 0) && v == C3DVec(-1, 0, 0) && w == C3DVec(0, 0, 1));
    C3DVec zero;  // a zero axis stays zero and leaves the origin's coordinate
    EXPECT_TRUE(C3DPoint(7, 8, 9).CoorTrans(C3DPoint(1, 2, 3), u, zero, w) == C3DPoint(7, 2, 9));
}

TEST(C3DPoint, Rotate_z_CounterClockwiseAboutVerticalLine) {
    C3DPoint p(2, 1, 5);
    p.Rotate_z(1, 1, 3.141592653589793 / 2);
    EXPECT_TRUE(p == C3DPoint(1, 2, 5));
    p.Rotate_z(0, 0, -3.141592653589793 / 2);
    EXPECT_TRUE(p == C3DPoint(2, -1, 5));
}

TEST(C3DPoint, NearestPointSearches_TiesKeepTheEarlierNullsSkipped) {
    const C3DPoint o;
    C3DPoint self;
    C3DPoint* out = nullptr;
    C3DPointArray a;
    EXPECT_EQ(o.FindPoint_MiniDis(a), nullptr);
    self.GetNearestPnt(a, out);
    EXPECT_EQ(out, &self);
    a.Add(nullptr);
    for (const C3DPoint& p : {C3DPoint(0, 0, 100), C3DPoint(0, 2, 0), C3DPoint(2, 0, -1),
                              C3DPoint(0, 0, -2), C3DPoint(3, 0, 0)}) {
        a.Add(new C3DPoint(p));
    }
    EXPECT_EQ(o.FindPoint_MiniDis(a), a[1]);  // plan: [1] and [4] tie at 0
    self.GetNearestPnt(a, out);
    EXPECT_EQ(out, a[2]);  // space: [2] and [4] tie at 2
    a.DeepRemoveAll();
}

}  // namespace
