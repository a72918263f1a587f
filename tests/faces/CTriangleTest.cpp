#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "BaseCommon/faces/CTriangle.h"
#include "BaseCommon/framework/CException.h"
#include "faces/FaceTestUtil.h"

namespace {

using rvn_test::ExpectPoint;
using rvn_test::SetCorners;

}  // namespace

TEST(CTriangle, CircumcircleInPlanAtTheHeightOfCornerZero) {
    struct Case {
        std::initializer_list<rvn_test::P3> corners;
        double cx, cy, cz;
    } cases[] = {
        {{{0, 0, 0}, {4, 0, 0}, {0, 3, 0}}, 2, 1.5, 0},
        {{{0, 0, 7}, {4, 0, 7}, {0, 3, 7}}, 2, 1.5, 7},
        {{{0, 0, 7}, {4, 0, 2}, {0, 3, 9}}, 2, 1.5, 7},  // in plan; z from corner 0
        // A fourth corner is ignored: the circle of the first three.
        {{{0, 0, 0}, {4, 0, 0}, {0, 3, 0}, {10, 10, 0}}, 2, 1.5, 0},
    };
    for (const Case& c : cases) {
        CTriangle t;
        SetCorners(t, c.corners);
        EXPECT_NEAR(t.GetCirR(), 2.499, 1e-12);  // 2.5 less the 0.001 margin
        ExpectPoint(*t.GetCirCenter(), c.cx, c.cy, c.cz);
        EXPECT_TRUE(t.m_bCirInit);
    }
    CTriangle t;
    SetCorners(t, {{0, 0, 0}, {4, 0, 0}, {0, 3, 0}});
    t.GetCirCenter();
    ExpectPoint(C3DPoint(*t.m_pNormalVec), 0, 0, 1);
}

TEST(CTriangle, CollinearCornersGiveNoCircleAndAreNotRetried) {
    CTriangle t;
    SetCorners(t, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
    EXPECT_EQ(t.GetCirR(), 0.0);
    ExpectPoint(*t.GetCirCenter(), 0, 0, 0);
    EXPECT_TRUE(t.m_bCirInit);
    // The cache holds even when the corners change afterwards.
    SetCorners(t, {{0, 0, 0}, {4, 0, 0}, {0, 3, 0}});
    EXPECT_EQ(t.GetCirR(), 0.0);
}

TEST(CTriangle, FewerThanThreeCornersThrow) {
    CTriangle t;
    SetCorners(t, {{0, 0, 0}, {1, 0, 0}});
    EXPECT_THROW(t.GetCirR(), CInvalidArgException);
    EXPECT_FALSE(t.m_bCirInit);
}

TEST(CTriangle, CopiesCarryTheCachedCircleInTheirOwnCentre) {
    CTriangle t;
    SetCorners(t, {{0, 0, 0}, {4, 0, 0}, {0, 3, 0}});
    t.GetCirR();
    CTriangle copy(t);
    CTriangle assigned;
    assigned = t;
    std::unique_ptr<C3DFace> clone(static_cast<C3DFace*>(t.clone()));
    auto* ct = dynamic_cast<CTriangle*>(clone.get());
    ASSERT_NE(ct, nullptr);
    for (CTriangle* c : {&copy, &assigned, ct}) {
        EXPECT_NE(c->m_pCirCenter, t.m_pCirCenter);
        SetCorners(*c, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});  // not recomputed
        EXPECT_NEAR(c->GetCirR(), 2.499, 1e-12);
        ExpectPoint(*c->GetCirCenter(), 2, 1.5, 0);
    }
}

TEST(CTriangle, CentroidAndContainment) {
    CTriangle t;
    SetCorners(t, {{0, 0, 0}, {3, 0, 0}, {0, 3, 0}});
    C3DPoint centroid = t.GetTriCentroid();
    ExpectPoint(centroid, 1, 1, 0);
    EXPECT_EQ(t.IsEncompassesd(&centroid), 1);
    C3DPoint onEdge(1.5, 0, 0), outside(3, 3, 0);
    EXPECT_EQ(t.IsEncompassesd(&onEdge), 0);
    EXPECT_EQ(t.IsEncompassesd(&outside), -1);
    EXPECT_THROW(t.IsEncompassesd(nullptr), CInvalidArgException);
    ExpectPoint(CTriangle().GetTriCentroid(), 0, 0, 0);
}
