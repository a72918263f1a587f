#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "BaseCommon/faces/C3DLineArray.h"
#include "BaseCommon/framework/CException.h"
#include "BaseCommon/geometry/C3DLine.h"
#include "faces/FaceTestUtil.h"

namespace {

using namespace rvn_test;

std::unique_ptr<C3DFace> UnitSquare() {
    return Face({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
}

}  // namespace

TEST(C3DFace, CopiesOwnTheirCornersAndNormal) {
    auto src = UnitSquare();
    C3DFace copy(*src), assigned;
    assigned.GetPntArray()->Add(new C3DPoint(9, 9, 9));
    assigned = *src;
    assigned = assigned;  // self-assignment keeps the corners
    std::unique_ptr<C3DFace> clone(static_cast<C3DFace*>(src->clone()));
    src->GetPoint(0)->x = 5;
    src->m_pNormalVec->z = 5;
    for (const C3DFace* f : {&copy, &assigned, clone.get()}) {
        ExpectCorners(*f, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
        EXPECT_EQ(f->m_pNormalVec->z, 1.0);
    }
}

TEST(C3DFace, InitNormalVec_FirstCornerWithAUsableCrossProductDecides) {
    // At corner 0 the edges are nearly collinear (cross product 0.0009 long): skipped, and
    // corner 1 gives the normal. At 0.0011 corner 0 is used, with the opposite sense.
    for (const double d : {0.0009, 0.0011})
        EXPECT_EQ(Face({{0, 0}, {1, 0}, {1, 1}, {-1, -d, 0}})->m_pNormalVec->z,
                  d < 0.001 ? 1.0 : -1.0);
    auto line = Face({{0, 0}, {1, 0}, {2, 0}}, false);
    *line->m_pNormalVec = C3DVec(7, 7, 7);
    EXPECT_EQ(line->InitNormalVec(), 0);
    EXPECT_EQ(line->m_pNormalVec->x, 7.0);
    EXPECT_EQ(line->IsPlane(), 0);
}

TEST(C3DFace, IsPlane_MeasuresEachCornerFromThePlaneThroughCornerZero) {
    const struct {
        double lift, z0, slope;
        int plane;
    } cases[] = {
        {0.0005, 0, 0, 1}, {0.002, 0, 0, 0},                     // 0.001 on either side
        {0.0005, 5, 0, 1}, {0.002, 5, 0, 0},                     // a slab at +5 m
        {0.0, 5, 1, 1},    {0.0005, 0, 1, 1}, {0.002, 0, 1, 0},  // tilted: z = z0 + x
    };
    for (const auto& c : cases) {
        const double z2 = c.z0 + 2 * c.slope;
        auto f = Face({{0, 0, c.z0}, {2, 0, z2}, {2, 2, z2 + c.lift}, {0, 2, c.z0}}, false);
        EXPECT_EQ(f->IsPlane(), c.plane) << c.lift << " " << c.z0 << " " << c.slope;
    }
}

// Each pair straddles its tolerance: 0.001 from the plane, 1e-6 from a corner, the box's
// bounds included; an empty face has no box.
TEST(C3DFace, PlaneCornerAndBoxTestsUseTheirTolerances) {
    auto f = UnitSquare();
    EXPECT_EQ(f->GetDisToPnt(C3DPoint(3, 3, -2)), -2.0);
    const C3DPoint corner(1.1, 1.1, 0.1);
    EXPECT_EQ(
        (std::vector<int>{f->PntOnFace(C3DPoint(9, 9, 0.0009)), f->PntOnFace(C3DPoint(9, 9, 0.001)),
                          f->PntInPntArray(C3DPoint(1 + 9e-7, 1, 0)),
                          f->PntInPntArray(C3DPoint(0, 1e-6, 0)), f->IsInMinBox(corner, 0.1),
                          f->IsInMinBox(corner, 0.09), C3DFace().IsInMinBox(C3DPoint(), 1.0)}),
        (std::vector<int>{1, 0, 1, 0, 1, 0, 0}));
    EXPECT_THROW(C3DFace().GetDisToPnt(C3DPoint()), CInvalidArgException);
}

TEST(C3DFace, GetCrossPnt_InterpolatesByDistanceAndFallsBackToTheBeginPoint) {
    const struct {
        P3 a, b, want;
    } cases[] = {
        {{0, 0, -1}, {4, 0, 1}, {2, 0}},
        {{1, 1, 2}, {3, 3, 5}, {1, 1, 2}},  // wholly above: begin point
        {{1, 1}, {3, 3}, {1, 1}},           // lies in the plane: begin point, not 0/0
    };
    for (const auto& c : cases)
        ExpectPoint(UnitSquare()->GetCrossPnt(C3DLine(Pt(c.a), Pt(c.b))), c.want);
}

TEST(C3DFace, PntInFace_InsideOnEdgeOutsideAndOffPlane) {
    // (2, 0) and (0, 2) lie on the lines through the first and the last edge, off the edges.
    const std::pair<P3, int> cases[] = {
        {{0.5, 0.5}, 1},         {{1, 0.5}, 0},          {{0, 0}, 0},
        {{2, 0.5}, -1},          {{2, 0}, -1},           {{0, 2}, -1},
        {{0.5, 0.5, 0.002}, -1}, {{0.5, 0.5, 0.0005}, 1}};
    for (const auto& [p, want] : cases)
        EXPECT_EQ(UnitSquare()->PntInFace(Pt(p)), want) << p.x << " " << p.y << " " << p.z;
    // Convexity is assumed: a point in the notch of an L is outside.
    auto l = Face({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}});
    EXPECT_EQ(l->PntInFace(C3DPoint(1.5, 1.5, 0)), -1);
    EXPECT_THROW(Face({{0, 0}}, false)->PntInFace(C3DPoint()), CInvalidArgException);
}

TEST(C3DFace, EqualityIsTheSamePolygonAndEncompassAllowsTheBorder) {
    auto sq = UnitSquare();
    auto reversed = Face({{1, 1}, {1, 0}, {0, 0}, {0, 1}});
    auto inner = Face({{0, 0}, {0.5, 0}, {0.5, 0.5}, {0, 0.5}});
    auto beyond = Face({{0, 0}, {1.5, 0}, {1.5, 1}, {0, 1}});
    const C3DFace empty;
    EXPECT_EQ((std::vector<int>{*sq == *reversed, *sq == *inner, sq->Encompass(inner.get()),
                                sq->Encompass(beyond.get()), sq->Encompass(&empty)}),
              (std::vector<int>{1, 0, 1, 0, 1}));
    EXPECT_THROW(sq->Encompass(nullptr), CInvalidArgException);
}

TEST(C3DFace, AreaGirthMinLengthAndAreaWeightedCentroid) {
    auto sq = UnitSquare();
    EXPECT_DOUBLE_EQ(Face({{0, 0}, {4, 0}, {0, 3, 7}}, false)->GetArea(), 2 * std::sqrt(58.0));
    EXPECT_DOUBLE_EQ(sq->GetGirth(), 4.0);
    EXPECT_DOUBLE_EQ(Face({{0, 0}, {3, 4}}, false)->GetGirth(), 5.0);  // no closing edge
    EXPECT_EQ(sq->GetMinLength(C3DPoint(0.5, 0, 0)), 0.0);
    EXPECT_DOUBLE_EQ(sq->GetMinLength(C3DPoint(0.5, -1, 0)), 2 * std::sqrt(1.25) - 1);
    EXPECT_EQ(Face({{0, 0}}, false)->GetMinLength(C3DPoint(5, 5, 5)), 1e300);
    // Fewer than three corners write nothing; a fan of zero area writes area 0 and leaves the
    // centre; the centroid of a trapezoid is not the mean of its corners.
    C3DPoint c(9, 9, 9);
    double a = -1;
    Face({{0, 0}, {1, 0}}, false)->CalcuCenter(c, a);
    EXPECT_EQ(a, -1.0);
    Face({{0, 0}, {1, 0}, {2, 0}}, false)->CalcuCenter(c, a);
    EXPECT_EQ(a, 0.0);
    ExpectPoint(c, {9, 9, 9});
    Face({{0, 0}, {4, 0}, {2, 2}, {0, 2}})->CalcuCenter(c, a);
    EXPECT_DOUBLE_EQ(a, 6.0);
    ExpectPoint(c, {14.0 / 9.0, 8.0 / 9.0});
}

TEST(C3DFace, EdgeLinesTurningCornersAndRectangles) {
    // The square with a point 0.0004 off the middle of its first side: its edges' cross
    // product is 0.0008 long, below 0.001, so it is no corner.
    auto f = Face({{0, 0}, {1, 0.0004}, {2, 0}, {2, 2}, {0, 2}});
    C3DLineArray lines;
    lines.Add(new C3DLine());  // replaced, not kept
    f->GenLineArray(lines);
    EXPECT_EQ(lines.GetSize(), 5);
    f->GenLineMacroArray(lines);
    ASSERT_EQ(lines.GetSize(), 4);
    Face({{0, 0}, {3, 4}}, false)->GenLineArray(lines);
    EXPECT_EQ(lines.GetSize(), 1);  // no closing edge for two corners
    lines.DeepRemoveAll();
    C3DPointArray corners;
    f->GenCorners(corners);
    ASSERT_EQ(corners.GetSize(), 4);
    EXPECT_EQ(corners.GetAt(1), f->GetPoint(2));  // the face's own point, not a copy
    EXPECT_EQ(f->IsRectangle(), 1);
    for (const double d : {0.0009, 0.0011})  // corner 0 skewed: the edges' dot product is -d
        EXPECT_EQ(Face({{0, 0}, {1, 0}, {1 + d, 1}, {d, 1}})->IsRectangle(), d < 0.001 ? 1 : 0);
    EXPECT_EQ(Face({{0, 0}, {2, 0}, {1, 1}})->IsRectangle(), 0);
}

TEST(C3DFace, GenFaceByParaLine_RingRunsToTheNearerEndOfTheFirstLine) {
    auto f = Face({{7, 7, 7}});
    *f->m_pNormalVec = C3DVec(0, 1, 0);
    const C3DLine l1(C3DPoint(10, 0, 0), C3DPoint(0, 0, 0)),
        l2(C3DPoint(0, 5, 0), C3DPoint(10, 5, 0));
    EXPECT_EQ(f->GenFaceByParaLine(l1, l2), 1);
    ExpectCorners(*f, {{0, 5}, {10, 5}, {10, 0}, {0, 0}});
    EXPECT_EQ(f->m_pNormalVec->y, 1.0);  // untouched
}

TEST(C3DFace, AntiClockRank_OrdersAboutTheLeftmostCornerAndIsOutRingNeedsConvexity) {
    const struct {
        std::initializer_list<P3> in;
        std::vector<int> order;  // where each corner comes from
        int flag, outRing;
    } cases[] = {
        // Crossed order: starts at the leftmost corner of lower index, runs anticlockwise.
        {{{2, 0}, {0, 0}, {2, 2}, {0, 2}}, {1, 0, 2, 3}, 1, 1},
        // Corners on the first ray come nearest first, on the last ray farthest first.
        {{{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, 0}, {0, 1}}, {0, 4, 1, 2, 3, 5}, 1, 1},
        // Two corners on one ray in the middle of the ring cannot be told apart by angle.
        {{{0, 0}, {2, 0}, {2, 1}, {4, 2}, {0, 2}}, {0, 1, 2, 3, 4}, 0, 0},
        // A slab at z = 5 is plane and is ordered too; a concave ring is no outer ring.
        {{{2, 2, 5}, {0, 0, 5}, {2, 0, 5}}, {1, 2, 0}, 1, 1},
        {{{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}, {0, 1, 2, 3, 4, 5}, 1, 0},
    };
    for (const auto& c : cases) {
        auto f = Face(c.in, false);
        std::vector<C3DPoint*> before;
        for (size_t i = 0; i < c.order.size(); ++i)
            before.push_back(f->GetPoint(static_cast<int>(i)));
        EXPECT_EQ(f->AntiClockRank(), c.flag);
        for (size_t i = 0; i < c.order.size(); ++i)  // the corner objects themselves, reordered
            EXPECT_EQ(f->GetPoint(static_cast<int>(i)), before[static_cast<size_t>(c.order[i])]);
        EXPECT_EQ(Face(c.in)->IsOutRing(), c.outRing);
    }
    EXPECT_EQ(Face({{0, 0}, {2, 0}, {2, 2, 0.01}, {0, 2}}, false)->AntiClockRank(), 0);
    EXPECT_EQ(Face({{0, 0}, {2, 0}})->IsOutRing(), 0);
}
