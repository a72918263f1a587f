#include <gtest/gtest.h>

#include <cmath>

#include "BaseCommon/faces/C3DPointArray.h"
#include "BaseCommon/geometry/C3DPoint.h"

namespace {

constexpr double kPi = 3.141592653589793;

TEST(C3DPoint, Equality_PointToleranceIsStrictOnEveryAxis) {
    struct Case {
        C3DPoint q;
        int nExpected;
    };
    const Case cases[] = {
        {{0.0000009, 0, 0}, 1}, {{0.000001, 0, 0}, 0},  {{0, -0.0000009, 0}, 1},
        {{0, -0.000001, 0}, 0}, {{0, 0, 0.0000009}, 1}, {{0, 0, 0.000001}, 0},
    };
    const C3DPoint o;
    for (const Case& c : cases) {
        EXPECT_EQ(o == c.q, c.nExpected) << c.q.x << " " << c.q.y << " " << c.q.z;
        EXPECT_EQ(c.q == o, c.nExpected);
    }
}

TEST(C3DPoint, ThreePointOnLine_TwiceTheAreaBelowPointTolerance) {
    struct Case {
        C3DPoint p1, p2, p3;
        int nExpected;
    };
    const Case cases[] = {
        {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, 1},           {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 0},
        {{0, 0, 0}, {0.0001, 0, 0}, {0, 0.0001, 0}, 1},  // scale dependent: tiny triangle
        {{0, 0, 0}, {0.001, 0, 0}, {0, 0.001, 0}, 0},    // cross length exactly 1e-6: strict
        {{3, 4, 5}, {3, 4, 5}, {9, -1, 2}, 1},           // two equal points
    };
    for (const Case& c : cases) {
        EXPECT_EQ(C3DPoint::ThreePointOnLine(c.p1, c.p2, c.p3), c.nExpected) << c.p2.x;
    }
}

TEST(C3DPoint, Distances) {
    const C3DPoint o;
    EXPECT_EQ(o.CalDistance(C3DPoint(1, 2, 2)), 3.0);
    EXPECT_EQ(o.CalcuDis2(C3DPoint(1, 2, 2)), 9.0);
    EXPECT_EQ(o.CalcuDisPow2_XY(C3DPoint(1, 2, 100)), 5.0);
}

TEST(C3DPoint, CoorTrans_NormalisesAxesInPlaceAndAddsOriginBack) {
    C3DVec u(0, 2, 0), v(-3, 0, 0), w(0, 0, 4);
    const C3DPoint r = C3DPoint(11, 2, 3).CoorTrans(C3DPoint(10, 0, 0), u, v, w);
    EXPECT_EQ(r.x, 12.0);
    EXPECT_EQ(r.y, -1.0);
    EXPECT_EQ(r.z, 3.0);
    EXPECT_TRUE(u == C3DVec(0, 1, 0));
    EXPECT_TRUE(v == C3DVec(-1, 0, 0));
    EXPECT_TRUE(w == C3DVec(0, 0, 1));
}

TEST(C3DPoint, CoorTrans_ZeroAxisContributesNothing) {
    C3DVec u(1, 0, 0), v(0, 0, 0), w(0, 0, 1);
    const C3DPoint p(7, 8, 9);
    const C3DPoint r = p.CoorTrans(C3DPoint(1, 2, 3), u, v, w);
    EXPECT_EQ(r.x, 7.0);
    EXPECT_EQ(r.y, 2.0);  // the origin's y alone
    EXPECT_EQ(r.z, 9.0);
    EXPECT_EQ(v.x, 0.0);
    EXPECT_EQ(p.x, 7.0);  // the point itself is not moved
}

TEST(C3DPoint, Rotate_z_CounterClockwiseAboutVerticalAxis) {
    struct Case {
        C3DPoint p;
        double x0, y0, angle;
        C3DPoint expected;
    };
    const Case cases[] = {
        {{2, 1, 5}, 1, 1, kPi / 2, {1, 2, 5}},
        {{2, 1, 5}, 1, 1, -kPi / 2, {1, 0, 5}},
        {{3, 0, -2}, 0, 0, kPi, {-3, 0, -2}},
        {{1, 2, 3}, 4, 5, 0.0, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        C3DPoint p(c.p);
        p.Rotate_z(c.x0, c.y0, c.angle);
        EXPECT_NEAR(p.x, c.expected.x, 1e-12);
        EXPECT_NEAR(p.y, c.expected.y, 1e-12);
        EXPECT_EQ(p.z, c.expected.z);
    }
}

class NearestPoint : public ::testing::Test {
protected:
    C3DPointArray m_arr;
    void Set(std::initializer_list<C3DPoint> pts) {
        m_arr.DeepRemoveAll();
        for (const C3DPoint& p : pts)
            m_arr.Add(new C3DPoint(p));
    }
    void TearDown() override { m_arr.DeepRemoveAll(); }
};

TEST_F(NearestPoint, FindPoint_MiniDis_PlanDistanceFirstOnTies) {
    C3DPoint o;
    EXPECT_EQ(o.FindPoint_MiniDis(m_arr), nullptr);
    Set({{0, 0, 100}, {1, 0, 0}});
    EXPECT_EQ(o.FindPoint_MiniDis(m_arr), m_arr[0]);  // height ignored
    Set({{3, 0, 0}, {0, 2, 0}, {-2, 0, 9}, {0, 2, -1}});
    EXPECT_EQ(o.FindPoint_MiniDis(m_arr), m_arr[1]);  // tie with [2] and [3]: earlier wins
    Set({{5, 5, 5}});
    EXPECT_EQ(o.FindPoint_MiniDis(m_arr), m_arr[0]);
}

TEST_F(NearestPoint, GetNearestPnt_SpaceDistanceFirstOnTiesEmptyGivesThis) {
    C3DPoint o;
    C3DPoint* out = nullptr;
    o.GetNearestPnt(m_arr, out);
    EXPECT_EQ(out, &o);
    Set({{5, 0, 0}, {1, 0, 0}, {3, 0, 0}});
    o.GetNearestPnt(m_arr, out);
    EXPECT_EQ(out, m_arr[1]);
    Set({{0, 0, 100}, {0, 3, 0}, {0, 0, -3}, {2, 0, 0}});
    o.GetNearestPnt(m_arr, out);
    EXPECT_EQ(out, m_arr[3]);  // z counts here
    Set({{0, 3, 0}, {0, 0, -3}});
    o.GetNearestPnt(m_arr, out);
    EXPECT_EQ(out, m_arr[0]);
}

TEST_F(NearestPoint, NullElementsAreSkipped) {
    m_arr.Add(nullptr);
    m_arr.Add(new C3DPoint(4, 0, 0));
    m_arr.Add(nullptr);
    C3DPoint o;
    EXPECT_EQ(o.FindPoint_MiniDis(m_arr), m_arr[1]);
    C3DPoint* out = nullptr;
    o.GetNearestPnt(m_arr, out);
    EXPECT_EQ(out, m_arr[1]);
}

}  // namespace
