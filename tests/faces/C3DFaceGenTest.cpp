#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <random>
#include <vector>

#include "BaseCommon/faces/C3DFace.h"
#include "BaseCommon/faces/C3DFaceArray.h"
#include "BaseCommon/faces/C3DLineArray.h"
#include "BaseCommon/framework/CException.h"
#include "BaseCommon/geometry/C3DLine.h"
#include "faces/FaceTestUtil.h"
#include "faces/FaceWalkReference.h"
#include "faces/PlanFixtures.h"

namespace {

using rvn_test::ExpectCorners;
using rvn_test::P3;

// Owns the lines and faces of one test.
struct Plan {
    C3DLineArray lines;
    C3DFaceArray faces;
    ~Plan() {
        faces.DeepRemoveAll();
        lines.DeepRemoveAll();
    }
    void Line(P3 a, P3 b) {
        lines.Add(new C3DLine(C3DPoint(a.x, a.y, a.z), C3DPoint(b.x, b.y, b.z)));
    }
    void Ring(std::initializer_list<P3> pts) {  // a closed polyline
        std::vector<P3> v(pts);
        for (size_t i = 0; i < v.size(); ++i)
            Line(v[i], v[(i + 1) % v.size()]);
    }
    int Generate() { return C3DFace::GenFaceByLine(lines, faces); }
};

// Bit for bit the same faces in the same order: corners and normals.
void ExpectSameFaces(const C3DFaceArray& got, const C3DFaceArray& want) {
    ASSERT_EQ(got.GetSize(), want.GetSize());
    auto same = [](const C3DPoint& a, const C3DPoint& b) {
        return a.x == b.x && a.y == b.y && a.z == b.z;
    };
    for (int f = 0; f < got.GetSize(); ++f) {
        const C3DFace& a = *got.GetAt(f);
        const C3DFace& b = *want.GetAt(f);
        ASSERT_EQ(a.m_PntArray.GetSize(), b.m_PntArray.GetSize()) << "face " << f;
        for (int i = 0; i < a.m_PntArray.GetSize(); ++i)
            EXPECT_TRUE(same(*a.GetPoint(i), *b.GetPoint(i))) << "face " << f << " corner " << i;
        EXPECT_TRUE(same(C3DPoint(*a.m_pNormalVec), C3DPoint(*b.m_pNormalVec))) << "face " << f;
    }
}

void ExpectMatchesReference(const C3DLineArray& lines) {
    C3DFaceArray got, want;
    C3DFace::GenFaceByLine(lines, got);
    rvn_test::ReferenceGenFaceByLine(lines, want);
    ExpectSameFaces(got, want);
    got.DeepRemoveAll();
    want.DeepRemoveAll();
}

}  // namespace

// --- GenFaceByLine --------------------------------------------------------------------------

TEST(GenFaceByLine, UnitSquareGivesOneAnticlockwiseFaceAppendedAfterExistingEntries) {
    Plan p;
    p.faces.Add(new C3DFace());
    // Clockwise and shuffled: the walk still traces the panel anticlockwise.
    p.Line({0, 1, 0}, {1, 1, 0});
    p.Line({0, 0, 0}, {0, 1, 0});
    p.Line({1, 1, 0}, {1, 0, 0});
    p.Line({1, 0, 0}, {0, 0, 0});
    EXPECT_EQ(p.Generate(), 1);
    ASSERT_EQ(p.faces.GetSize(), 2);
    EXPECT_EQ(p.faces.GetAt(0)->m_PntArray.GetSize(), 0);
    const C3DFace& f = *p.faces.GetAt(1);
    ExpectCorners(f, {{1, 1, 0}, {0, 1, 0}, {0, 0, 0}, {1, 0, 0}});
    EXPECT_EQ(f.m_pNormalVec->z, 1.0);
}

TEST(GenFaceByLine, TwoSquaresSharingAnEdgeGiveTwoFacesAndNoOuterBoundary) {
    Plan p;
    p.Ring({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    p.Line({1, 0, 0}, {2, 0, 0});
    p.Line({2, 0, 0}, {2, 1, 0});
    p.Line({2, 1, 0}, {1, 1, 0});
    p.Generate();
    ASSERT_EQ(p.faces.GetSize(), 2);
    EXPECT_DOUBLE_EQ(p.faces.GetAt(0)->GetArea() + p.faces.GetAt(1)->GetArea(), 2.0);
}

TEST(GenFaceByLine, EndsJoinOnlyWhenEveryCoordinateDiffersByLessThanTheTolerance) {
    for (int axis = 0; axis < 3; ++axis) {
        for (const double gap : {9e-7, 1e-6, 2e-6}) {
            Plan p;
            p.Ring({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
            C3DPoint& end = *p.lines.GetAt(2)->m_pEndPnt;  // meets the first corner
            (axis == 0 ? end.x : axis == 1 ? end.y : end.z) = gap;
            p.Generate();
            EXPECT_EQ(p.faces.GetSize(), gap < 1e-6 ? 1 : 0) << axis << " " << gap;
        }
    }
}

TEST(GenFaceByLine, JoiningDoesNotDependOnWhereTheJointLies) {
    // A triangle whose closing line misses its first corner by 9e-7 in x and y, moved in
    // steps of 1.37e-7 across 6e-4: every position of the joint relative to the index's
    // cells, faces included, must join.
    int found = 0;
    for (int k = 0; k < 4400; ++k) {
        const double o = 1e3 + k * 1.37e-7;
        Plan p;
        p.Ring({{o, o, o}, {o + 1, o, o}, {o + 1, o + 1, o}});
        p.lines.GetAt(2)->m_pEndPnt->x = o - 9e-7;
        p.lines.GetAt(2)->m_pEndPnt->y = o + 9e-7;
        p.Generate();
        found += p.faces.GetSize();
    }
    EXPECT_EQ(found, 4400);
}

TEST(GenFaceByLine, DanglingLinesOutsideKeepThePanelInsideLoseIt) {
    for (const bool inside : {false, true}) {
        Plan p;
        // The dangling line first: its walk enters the triangle's cycle from inside and
        // must end there instead of circling for ever.
        p.Line({0.8, 0.5, 0}, {0, 0, 0});
        if (!inside)
            p.lines.GetAt(0)->m_pBgnPnt->y = -0.5;
        p.Ring({{0, 0, 0}, {2, 0, 0}, {1, 2, 0}});
        p.Generate();
        EXPECT_EQ(p.faces.GetSize(), inside ? 0 : 1) << inside;
        ExpectMatchesReference(p.lines);
    }
}

TEST(GenFaceByLine, DuplicatedLineEndsTheWalkInsteadOfLooping) {
    // At the corner after the duplicated edge the later copy wins the tie, and the walk
    // reaches half-edges already on it: a dead end, which also retires the panel.
    Plan p;
    p.Ring({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    p.Line({0, 0, 0}, {1, 0, 0});
    p.Generate();
    EXPECT_EQ(p.faces.GetSize(), 0);
    ExpectMatchesReference(p.lines);
}

TEST(GenFaceByLine, TwoHalfEdgesClosingAcrossTheToleranceMakeNoFace) {
    // Two segments 1.5e-6 long whose ends join crosswise: the walk closes after two steps.
    Plan p;
    p.Line({0, 0, 0}, {1.5e-6, 0, 0});
    p.Line({1.5e-6, 0.9e-6, 0}, {0, -0.9e-6, 0});
    p.Generate();
    EXPECT_EQ(p.faces.GetSize(), 0);
}

TEST(GenFaceByLine, StraightContinuationWhoseCosineRoundsAboveOneIsTaken) {
    // The unit vectors of (1, 5) give a dot product of 1 + 2^-52 with itself.
    Plan p;
    p.Line({0, 0, 0}, {1, 5, 0});
    p.Line({1, 5, 0}, {2, 10, 0});
    p.Line({2, 10, 0}, {-3, 10, 0});
    p.Line({-3, 10, 0}, {0, 0, 0});
    p.Generate();
    ASSERT_EQ(p.faces.GetSize(), 1);
    EXPECT_EQ(p.faces.GetAt(0)->m_PntArray.GetSize(), 4);
}

TEST(GenFaceByLine, ShortNullAndNonFiniteLinesTakeNoPart) {
    Plan p;
    p.Ring({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    // Shorter than the tolerance at a corner: as a candidate it would win every turn.
    p.Line({1, 0, 0}, {1 + 5e-7, 3e-7, 0});
    p.lines.Add(nullptr);
    p.Line({0, 0, 0}, {std::nan(""), 1, 0});
    p.Line({1, 1, 0}, {HUGE_VAL, 1, 0});
    C3DFaceArray none;
    EXPECT_EQ(C3DFace::GenFaceByLine(C3DLineArray(), none), 1);
    EXPECT_EQ(none.GetSize(), 0);
    EXPECT_EQ(p.Generate(), 1);
    EXPECT_EQ(p.faces.GetSize(), 1);
    ExpectMatchesReference(p.lines);
}

TEST(GenFaceByLine, IndexedWalkEqualsReferenceWalkOnRandomPlans) {
    for (uint64_t seed = 0; seed < 1000; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937_64 rng(seed);
        Plan p;
        rvn_test::RandomPlan(rng, p.lines);
        ExpectMatchesReference(p.lines);
        if (::testing::Test::HasFailure())
            break;
    }
}

TEST(GenFaceByLine, IndexedWalkEqualsReferenceWalkOnLargerJitteredGrids) {
    for (uint64_t seed = 0; seed < 2; ++seed) {
        std::mt19937_64 rng(seed);
        std::uniform_real_distribution<double> j(-5e-7, 5e-7);
        std::vector<rvn_test::PlanLine> v = rvn_test::RealisticLines(24, 0.3, seed);
        for (rvn_test::PlanLine& l : v)
            for (int k = 0; k < 3; ++k) {
                l.a[k] += j(rng);
                l.b[k] += j(rng);
            }
        Plan p;
        rvn_test::EmitLines(v, p.lines, &rng);
        ExpectMatchesReference(p.lines);
    }
}

// --- FindNextPoint --------------------------------------------------------------------------

TEST(FindNextPoint, TakesTheSharpestLeftTurnAndTheLaterOfEqualTurns) {
    // From (0,0)->(1,0): straight on, a left turn, a right turn and a second equal left turn.
    C3DPointArray pts;
    auto half = [&](P3 a, P3 b) {
        pts.Add(new C3DPoint(a.x, a.y, a.z));
        pts.Add(new C3DPoint(b.x, b.y, b.z));
    };
    half({0, 0, 0}, {1, 0, 0});
    half({1, 0, 0}, {2, 0, 0});
    half({1, 0, 0}, {1, 1, 0});
    half({1, 0, 0}, {1, -1, 0});
    half({1, 0, 0}, {1, 2, 0});
    half({1, 0, 0}, {0, 0, 0});  // back along the line: never taken
    CArray<bool, bool&> used;
    used.SetSize(pts.GetSize());
    EXPECT_EQ(C3DFace::FindNextPoint(0, &pts, used), 8);
    used[8] = true;
    EXPECT_EQ(C3DFace::FindNextPoint(0, &pts, used), 4);
    used[4] = true;
    EXPECT_EQ(C3DFace::FindNextPoint(0, &pts, used), 2);
    used[2] = true;
    EXPECT_EQ(C3DFace::FindNextPoint(0, &pts, used), -1);
    EXPECT_EQ(C3DFace::FindNextPoint(-1, &pts, used), -1);
    CArray<bool, bool&> shortFlags;
    shortFlags.SetSize(pts.GetSize() - 1);
    EXPECT_THROW(C3DFace::FindNextPoint(0, &pts, shortFlags), CInvalidArgException);
    EXPECT_THROW(C3DFace::FindNextPoint(0, nullptr, used), CInvalidArgException);
    pts.DeepRemoveAll();
}
