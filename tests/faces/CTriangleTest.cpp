#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "BaseCommon/faces/CTriangle.h"
#include "BaseCommon/framework/CException.h"
#include "faces/FaceTestUtil.h"

using rvn_test::ExpectPoint;
using rvn_test::SetCorners;

TEST(CTriangle, CircumcircleInPlanOfTheFirstThreeCornersAtTheHeightOfCornerZero) {
    const struct {
        std::initializer_list<rvn_test::P3> corners;
        double z;
    } cases[] = {
        {{{0, 0}, {4, 0}, {0, 3}}, 0},
        {{{0, 0, 7}, {4, 0, 2}, {0, 3, 9}}, 7},   // in plan; z from corner 0
        {{{0, 0}, {4, 0}, {0, 3}, {10, 10}}, 0},  // a fourth corner is ignored
    };
    for (const auto& c : cases) {
        CTriangle t;
        SetCorners(t, c.corners);
        EXPECT_NEAR(t.GetCirR(), 2.499, 1e-12);  // 2.5 less the 0.001 margin
        ExpectPoint(*t.GetCirCenter(), {2, 1.5, c.z});
    }
    CTriangle t;
    SetCorners(t, {{0, 0}, {1, 0}});
    EXPECT_THROW(t.GetCirR(), CInvalidArgException);
    EXPECT_FALSE(t.m_bCirInit);
}

TEST(CTriangle, TheCircleIsCachedOnceComputedAndCopiesCarryIt) {
    CTriangle t;
    SetCorners(t, {{0, 0}, {1, 0}, {2, 0}});  // collinear: no circle, but computed all the same
    EXPECT_EQ(t.GetCirR(), 0.0);
    ExpectPoint(*t.GetCirCenter(), {0, 0});
    SetCorners(t, {{0, 0}, {4, 0}, {0, 3}});
    EXPECT_EQ(t.GetCirR(), 0.0);
    CTriangle u;
    SetCorners(u, {{0, 0}, {4, 0}, {0, 3}});
    u.GetCirR();
    ExpectPoint(C3DPoint(*u.m_pNormalVec), {0, 0, 1});
    CTriangle copy(u), assigned;
    assigned = u;
    std::unique_ptr<C3DFace> clone(static_cast<C3DFace*>(u.clone()));
    u.m_pCirCenter->x = 7;
    for (CTriangle* c : {&copy, &assigned, dynamic_cast<CTriangle*>(clone.get())}) {
        ASSERT_NE(c, nullptr);
        SetCorners(*c, {{0, 0}, {1, 0}, {0, 1}});  // not recomputed
        EXPECT_NEAR(c->GetCirR(), 2.499, 1e-12);
        ExpectPoint(*c->GetCirCenter(), {2, 1.5});
    }
}

TEST(CTriangle, CentroidAndContainment) {
    CTriangle t;
    SetCorners(t, {{0, 0}, {3, 0}, {0, 3}});
    C3DPoint centroid = t.GetTriCentroid(), onEdge(1.5, 0, 0), outside(3, 3, 0);
    ExpectPoint(centroid, {1, 1});
    EXPECT_EQ(t.IsEncompassesd(&centroid), 1);
    EXPECT_EQ(t.IsEncompassesd(&onEdge), 0);
    EXPECT_EQ(t.IsEncompassesd(&outside), -1);
    EXPECT_THROW(t.IsEncompassesd(nullptr), CInvalidArgException);
    ExpectPoint(CTriangle().GetTriCentroid(), {0, 0});
}
