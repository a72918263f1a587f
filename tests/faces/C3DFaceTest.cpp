#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>

#include "BaseCommon/faces/C3DFace.h"
#include "BaseCommon/faces/C3DLineArray.h"
#include "BaseCommon/framework/CException.h"
#include "BaseCommon/geometry/C3DLine.h"
#include "faces/FaceTestUtil.h"

namespace {

using rvn_test::ExpectCorners;
using rvn_test::ExpectPoint;
using rvn_test::Face;
using rvn_test::P3;

std::unique_ptr<C3DFace> UnitSquare(double z = 0.0) {
    return Face({{0, 0, z}, {1, 0, z}, {1, 1, z}, {0, 1, z}});
}

}  // namespace

// --- ownership ---------------------------------------------------------------------------------

TEST(C3DFace, CopiesOwnTheirCornersAndNormal) {
    auto src = UnitSquare();
    C3DFace copy(*src);
    C3DFace assigned;
    assigned.GetPntArray()->Add(new C3DPoint(9, 9, 9));
    assigned = *src;
    assigned = assigned;  // self-assignment keeps the corners
    std::unique_ptr<C3DFace> clone(static_cast<C3DFace*>(src->clone()));
    for (const C3DFace* f : {&copy, &assigned, clone.get()}) {
        ASSERT_EQ(f->m_PntArray.GetSize(), 4);
        EXPECT_NE(f->GetPoint(0), src->GetPoint(0));
        EXPECT_NE(f->m_pNormalVec, src->m_pNormalVec);
        EXPECT_EQ(f->m_pNormalVec->z, 1.0);
    }
    src->GetPoint(0)->x = 5;
    EXPECT_EQ(copy.GetPoint(0)->x, 0.0);
    EXPECT_EQ(src->GetPoint(-1), nullptr);
    EXPECT_EQ(src->GetPoint(4), nullptr);
}

// --- normal and plane ----------------------------------------------------------------------------

TEST(C3DFace, InitNormalVec_FirstCornerWithAUsableCrossProductDecides) {
    EXPECT_EQ(UnitSquare()->m_pNormalVec->z, 1.0);
    EXPECT_EQ(Face({{0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {0, 0, 0}})->m_pNormalVec->z, -1.0);
    // At corner 0 the edges are nearly collinear (cross product 0.0009 long): skipped, and
    // corner 1 gives the normal. At 0.0011 corner 0 is used, with the opposite sense.
    for (const double d : {0.0009, 0.0011}) {
        auto f = Face({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {-1, -d, 0}});
        EXPECT_EQ(f->m_pNormalVec->z, d < 0.001 ? 1.0 : -1.0) << d;
    }
    auto line = Face({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, false);
    *line->m_pNormalVec = C3DVec(7, 7, 7);
    EXPECT_EQ(line->InitNormalVec(), 0);
    EXPECT_EQ(line->m_pNormalVec->x, 7.0);
    EXPECT_EQ(line->IsPlane(), 0);
}

TEST(C3DFace, IsPlane_MeasuresEachCornerFromThePlaneThroughCornerZero) {
    struct Case {
        double lift, z0;
        bool tilted;
        int plane;
    } cases[] = {
        {0.0005, 0, false, 1}, {0.002, 0, false, 0},   // tolerance 0.001 on either side
        {0.0, 5, false, 1},    {0.0005, 5, false, 1},  // a slab at +5 m is plane
        {0.002, 5, false, 0},  {0.0, 0, true, 1},      // a tilted face
        {0.002, 0, true, 0},
    };
    for (const Case& c : cases) {
        const double s = c.tilted ? 1.0 : 0.0;  // z = z0 + s x on the plane
        auto f =
            Face({{0, 0, c.z0}, {2, 0, c.z0 + 2 * s}, {2, 2, c.z0 + 2 * s + c.lift}, {0, 2, c.z0}},
                 false);
        EXPECT_EQ(f->IsPlane(), c.plane) << c.lift << " " << c.z0 << " " << c.tilted;
    }
    EXPECT_EQ(Face({{0, 0, 0}, {1, 0, 0}}, false)->IsPlane(), 0);
}

// --- measurement against the plane
// ----------------------------------------------------------------

TEST(C3DFace, DistancesAndDirectionsFollowTheNormal) {
    auto f = UnitSquare();
    EXPECT_EQ(f->GetDisToPnt(C3DPoint(0, 0, 5)), 5.0);
    EXPECT_EQ(f->GetDisToPnt(C3DPoint(3, 3, -2)), -2.0);
    ExpectPoint(C3DPoint(f->GetVecToPnt(C3DPoint(7, 7, -2))), 0, 0, -2);
    ExpectPoint(C3DPoint(f->GetDirToPnt(C3DPoint(7, 7, -2))), 0, 0, -1);
    EXPECT_EQ(f->PntOnFace(C3DPoint(9, 9, 0.0009)), 1);
    EXPECT_EQ(f->PntOnFace(C3DPoint(9, 9, 0.001)), 0);
    EXPECT_EQ(f->LineOnFace(C3DLine(C3DPoint(0, 0, 0.002), C3DPoint(5, 5, 0))), 0);
    C3DFace empty;
    EXPECT_THROW(empty.GetDisToPnt(C3DPoint()), CInvalidArgException);
}

TEST(C3DFace, GetCrossPnt_InterpolatesByDistanceAndFallsBackToTheBeginPoint) {
    auto f = UnitSquare();
    struct Case {
        P3 a, b, want;
    } cases[] = {
        {{0.5, 0.5, -1}, {0.5, 0.5, 3}, {0.5, 0.5, 0}},
        {{0, 0, -1}, {4, 0, 1}, {2, 0, 0}},
        {{1, 1, 2}, {3, 3, 5}, {1, 1, 2}},  // wholly above: begin point
        {{1, 1, 2}, {3, 3, 0}, {3, 3, 0}},  // ends on the plane
        {{1, 1, 0}, {3, 3, 0}, {1, 1, 0}},  // lies in the plane: begin point, not 0/0
    };
    for (const Case& c : cases) {
        const C3DPoint p =
            f->GetCrossPnt(C3DLine(C3DPoint(c.a.x, c.a.y, c.a.z), C3DPoint(c.b.x, c.b.y, c.b.z)));
        ExpectPoint(p, c.want.x, c.want.y, c.want.z);
    }
}

// --- containment and comparison
// ----------------------------------------------------------------------

TEST(C3DFace, PntInFace_InsideOnEdgeOutsideAndOffPlane) {
    auto sq = UnitSquare();
    struct Case {
        P3 p;
        int want;
    } cases[] = {
        {{0.5, 0.5, 0}, 1},      {{1, 0.5, 0}, 0},        {{0, 0, 0}, 0},
        {{2, 0.5, 0}, -1},       {{2, 0, 0}, -1},  // on the line through an edge, off it
        {{0.5, 0.5, 0.002}, -1}, {{0.5, 0.5, 0.0005}, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sq->PntInFace(C3DPoint(c.p.x, c.p.y, c.p.z)), c.want)
            << c.p.x << " " << c.p.y << " " << c.p.z;
    // Convexity is assumed: the notch of an L is outside, and so is a point the notch hides.
    auto l = Face({{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}});
    EXPECT_EQ(l->PntInFace(C3DPoint(1.5, 1.5, 0)), -1);
    auto one = Face({{0, 0, 0}}, false);
    EXPECT_THROW(one->PntInFace(C3DPoint(0, 0, 0)), CInvalidArgException);
}

TEST(C3DFace, CornerAndBoxTestsUseTheirTolerances) {
    auto sq = UnitSquare();
    EXPECT_EQ(sq->PntInPntArray(C3DPoint(1 + 9e-7, 1, 0)), 1);
    EXPECT_EQ(sq->PntInPntArray(C3DPoint(0, 1e-6, 0)), 0);  // strict
    EXPECT_EQ(sq->IsInMinBox(C3DPoint(1.05, 0.5, 0), 0.1), 1);
    EXPECT_EQ(sq->IsInMinBox(C3DPoint(1.05, 0.5, 0), 0.01), 0);
    EXPECT_EQ(sq->IsInMinBox(C3DPoint(1.1, 1.1, 0.1), 0.1), 1);  // bounds included
    EXPECT_EQ(C3DFace().IsInMinBox(C3DPoint(), 1.0), 0);
}

TEST(C3DFace, EqualityIsTheSamePolygonAndEncompassAllowsTheBorder) {
    auto sq = UnitSquare();
    auto rotated = Face({{1, 1, 0}, {0, 1, 0}, {0, 0, 0}, {1, 0, 0}});
    auto reversed = Face({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}});
    auto inner = Face({{0, 0, 0}, {0.5, 0, 0}, {0.5, 0.5, 0}, {0, 0.5, 0}});
    auto beyond = Face({{0, 0, 0}, {1.5, 0, 0}, {1.5, 1, 0}, {0, 1, 0}});
    EXPECT_EQ(*sq == *rotated, 1);
    EXPECT_EQ(*sq == *reversed, 1);
    EXPECT_EQ(*sq == *inner, 0);
    EXPECT_EQ(sq->Encompass(inner.get()), 1);
    EXPECT_EQ(sq->Encompass(beyond.get()), 0);
    EXPECT_EQ(inner->Encompass(sq.get()), 0);
    C3DFace none;
    EXPECT_EQ(sq->Encompass(&none), 1);
    EXPECT_THROW(sq->Encompass(nullptr), CInvalidArgException);
}

// --- size and shape
// ---------------------------------------------------------------------------------

TEST(C3DFace, AreaGirthAndMinLength) {
    auto sq = UnitSquare();
    EXPECT_DOUBLE_EQ(sq->GetArea(), 1.0);
    EXPECT_DOUBLE_EQ(Face({{0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {0, 0, 0}})->GetArea(), 1.0);
    EXPECT_DOUBLE_EQ(Face({{0, 0, 0}, {4, 0, 0}, {0, 3, 7}}, false)->GetArea(),
                     0.5 * 4 * std::sqrt(58.0));
    EXPECT_EQ(Face({{0, 0, 0}, {1, 0, 0}}, false)->GetArea(), 0.0);
    EXPECT_DOUBLE_EQ(sq->GetGirth(), 4.0);
    EXPECT_DOUBLE_EQ(Face({{0, 0, 0}, {3, 4, 0}}, false)->GetGirth(), 5.0);  // no closing edge
    EXPECT_EQ(Face({{0, 0, 0}}, false)->GetGirth(), 0.0);
    EXPECT_EQ(sq->GetMinLength(C3DPoint(0.5, 0, 0)), 0.0);
    EXPECT_DOUBLE_EQ(sq->GetMinLength(C3DPoint(0.5, -1, 0)), 2 * std::sqrt(1.25) - 1);
    EXPECT_EQ(Face({{0, 0, 0}}, false)->GetMinLength(C3DPoint(5, 5, 5)), 1e300);
}

TEST(C3DFace, CalcuCenter_AreaWeightedOverTheFan) {
    C3DPoint c(9, 9, 9);
    double a = -1;
    UnitSquare()->CalcuCenter(c, a);
    ExpectPoint(c, 0.5, 0.5, 0);
    EXPECT_DOUBLE_EQ(a, 1.0);
    // A trapezoid: the centroid is not the mean of the corners.
    Face({{0, 0, 0}, {4, 0, 0}, {2, 2, 0}, {0, 2, 0}})->CalcuCenter(c, a);
    EXPECT_DOUBLE_EQ(a, 6.0);
    ExpectPoint(c, 14.0 / 9.0, 8.0 / 9.0, 0);
    // Collinear corners: area 0, centre left as it was.
    c = C3DPoint(9, 9, 9);
    Face({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, false)->CalcuCenter(c, a);
    EXPECT_EQ(a, 0.0);
    ExpectPoint(c, 9, 9, 9);
    a = -1;
    Face({{0, 0, 0}, {1, 0, 0}}, false)->CalcuCenter(c, a);
    EXPECT_EQ(a, -1.0);
}

// --- lines from a face, corners and shape tests
// -------------------------------------------------------

TEST(C3DFace, EdgeLinesAndTurningCorners) {
    struct Case {
        int nCorners, nLines;
    } cases[] = {{0, 0}, {1, 0}, {2, 1}, {3, 3}, {5, 5}};
    const P3 ring[] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};
    for (const Case& c : cases) {
        C3DFace f;
        for (int i = 0; i < c.nCorners; ++i)
            f.GetPntArray()->Add(new C3DPoint(ring[i].x, ring[i].y, ring[i].z));
        C3DLineArray lines;
        lines.Add(new C3DLine());  // replaced, not kept
        f.GenLineArray(lines);
        EXPECT_EQ(lines.GetSize(), c.nLines) << c.nCorners;
        lines.DeepRemoveAll();
    }
    // The square with a corner in the middle of its first side.
    auto f = Face({ring[0], ring[1], ring[2], ring[3], ring[4]});
    C3DLineArray lines;
    f->GenLineMacroArray(lines);
    ASSERT_EQ(lines.GetSize(), 4);
    ExpectPoint(*lines.GetAt(0)->GetEndPnt(), 2, 0, 0);
    ExpectPoint(*lines.GetAt(3)->GetEndPnt(), 0, 0, 0);
    lines.DeepRemoveAll();
    C3DPointArray corners;
    f->GenCorners(corners);
    ASSERT_EQ(corners.GetSize(), 4);
    EXPECT_EQ(corners.GetAt(1), f->GetPoint(2));  // the face's own point, not a copy
    EXPECT_EQ(f->IsRectangle(), 1);
}

TEST(C3DFace, IsRectangle_DotProductOfTheEdgesAgainstTheTolerance) {
    // Corner 0 skewed by d: the dot product of the edges meeting there is -d.
    for (const double d : {0.0009, 0.0011}) {
        auto f = Face({{0, 0, 0}, {1, 0, 0}, {1 + d, 1, 0}, {d, 1, 0}});
        EXPECT_EQ(f->IsRectangle(), d < 0.001 ? 1 : 0) << d;
    }
    const double h = std::sqrt(3.0);
    EXPECT_EQ(Face({{0, 0, 0}, {2, 0, 0}, {3, h, 0}, {1, h, 0}})->IsRectangle(), 0);
    EXPECT_EQ(Face({{0, 0, 0}, {2, 0, 0}, {1, 1, 0}})->IsRectangle(), 0);
}

TEST(C3DFace, GenFaceByParaLine_RingRunsToTheNearerEndOfTheFirstLine) {
    const C3DLine l2(C3DPoint(0, 5, 0), C3DPoint(10, 5, 0));
    for (const bool reversed : {false, true}) {
        const C3DLine l1 = reversed ? C3DLine(C3DPoint(10, 0, 0), C3DPoint(0, 0, 0))
                                    : C3DLine(C3DPoint(0, 0, 0), C3DPoint(10, 0, 0));
        auto f = Face({{7, 7, 7}});
        *f->m_pNormalVec = C3DVec(0, 1, 0);
        EXPECT_EQ(f->GenFaceByParaLine(l1, l2), 1);
        ExpectCorners(*f, {{0, 5, 0}, {10, 5, 0}, {10, 0, 0}, {0, 0, 0}});
        EXPECT_EQ(f->m_pNormalVec->y, 1.0);  // untouched
    }
}

TEST(C3DFace, AntiClockRank_OrdersAboutTheLeftmostCorner) {
    struct Case {
        std::initializer_list<P3> in;
        std::initializer_list<P3> out;
        int flag;
    } cases[] = {
        // Crossed order: starts at the leftmost corner of lower index, runs anticlockwise.
        {{{2, 0, 0}, {0, 0, 0}, {2, 2, 0}, {0, 2, 0}},
         {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}},
         1},
        // Corners on the first ray come nearest first, on the last ray farthest first.
        {{{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {1, 0, 0}, {0, 1, 0}},
         {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {0, 1, 0}},
         1},
        // Two corners on one ray in the middle of the ring cannot be told apart by angle.
        {{{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {4, 2, 0}, {0, 2, 0}},
         {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {4, 2, 0}, {0, 2, 0}},
         0},
        // A slab at z = 5 is plane and is ordered too.
        {{{2, 2, 5}, {0, 0, 5}, {2, 0, 5}}, {{0, 0, 5}, {2, 0, 5}, {2, 2, 5}}, 1},
    };
    for (const Case& c : cases) {
        auto f = Face(c.in, false);
        C3DPoint* kept = f->GetPoint(0);
        EXPECT_EQ(f->AntiClockRank(), c.flag);
        ExpectCorners(*f, c.out);
        // The corner objects are moved, not copied.
        EXPECT_NE(f->m_PntArray.Find(kept, -1), -1);
    }
    auto lifted = Face({{0, 0, 0}, {2, 0, 0}, {2, 2, 0.01}, {0, 2, 0}}, false);
    EXPECT_EQ(lifted->AntiClockRank(), 0);
}

TEST(C3DFace, IsOutRing_ConvexOnlyAfterOrdering) {
    EXPECT_EQ(Face({{2, 0, 0}, {0, 0, 0}, {2, 2, 0}, {0, 2, 0}})->IsOutRing(), 1);
    EXPECT_EQ(Face({{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}})->IsOutRing(),
              0);
    EXPECT_EQ(Face({{0, 0, 5}, {2, 0, 5}, {2, 2, 5}})->IsOutRing(), 1);
    EXPECT_EQ(Face({{0, 0, 0}, {2, 0, 0}})->IsOutRing(), 0);
}
