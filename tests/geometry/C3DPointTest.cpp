#include <gtest/gtest.h>

#include <vector>

#include "BaseCommon/faces/C3DPointArray.h"
#include "BaseCommon/geometry/C3DPoint.h"

TEST(C3DPoint, EqualityAndCollinearityStrictlyBelowThePointTolerance) {
    // Each coordinate strictly within 1e-6. Collinearity: twice the triangle's area against
    // 1e-6, so scale dependent (the fourth is exactly 1e-6); a repeated point is collinear.
    const C3DPoint o, x(1, 0, 0), y(0, 1, 0);
    EXPECT_EQ((std::vector<int>{
                  o == C3DPoint(9e-7, 0, 0), o == C3DPoint(1e-6, 0, 0), o == C3DPoint(0, -1e-6, 0),
                  o == C3DPoint(0, 0, 1e-6), C3DPoint::ThreePointOnLine(o, x, x * 2.0),
                  C3DPoint::ThreePointOnLine(o, x, y),
                  C3DPoint::ThreePointOnLine(o, x * 0.0001, y * 0.0001),
                  C3DPoint::ThreePointOnLine(o, x * 0.001, y * 0.001),
                  C3DPoint::ThreePointOnLine(C3DPoint(3, 4, 5), C3DPoint(3, 4, 5), x)}),
              (std::vector<int>{1, 0, 0, 0, 1, 0, 1, 0, 1}));
}

TEST(C3DPoint, CoorTransNormalisesAxesInPlaceAndAddsOriginBackRotateZTurnsAnticlockwise) {
    C3DVec u(0, 2, 0), v(-3, 0, 0), w(0, 0, 4);
    EXPECT_TRUE(C3DPoint(11, 2, 3).CoorTrans(C3DPoint(10, 0, 0), u, v, w) == C3DPoint(12, -1, 3));
    EXPECT_TRUE(u == C3DVec(0, 1, 0) && v == C3DVec(-1, 0, 0) && w == C3DVec(0, 0, 1));
    C3DVec zero;  // a zero axis stays zero and leaves the origin's coordinate
    EXPECT_TRUE(C3DPoint(7, 8, 9).CoorTrans(C3DPoint(1, 2, 3), u, zero, w) == C3DPoint(7, 2, 9));
    C3DPoint p(2, 1, 5);
    p.Rotate_z(1, 1, 3.141592653589793 / 2);
    EXPECT_TRUE(p == C3DPoint(1, 2, 5));
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
                              C3DPoint(0, 0, -2), C3DPoint(3, 0, 0)})
        a.Add(new C3DPoint(p));
    EXPECT_EQ(o.FindPoint_MiniDis(a), a[1]);  // plan: [1] and [4] tie at 0
    self.GetNearestPnt(a, out);
    EXPECT_EQ(out, a[2]);  // space: [2] and [4] tie at 2
    a.DeepRemoveAll();
}
