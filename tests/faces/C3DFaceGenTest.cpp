#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <random>
#include <vector>

#include "BaseCommon/framework/CException.h"
#include "faces/FaceTestUtil.h"
#include "faces/FaceWalkReference.h"
#include "faces/PlanFixtures.h"

namespace {

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

// The indexed walk gives bit for bit the faces of the reference walk, in the same order:
// corners and normals.
void ExpectMatchesReference(const C3DLineArray& lines) {
    Plan got, want;
    C3DFace::GenFaceByLine(lines, got.faces);
    rvn_test::ReferenceGenFaceByLine(lines, want.faces);
    ASSERT_EQ(got.faces.GetSize(), want.faces.GetSize());
    // Beyond about 1e150 the normal's cross product overflows and both give NaN.
    auto eq = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    auto same = [&eq](const C3DPoint& a, const C3DPoint& b) {
        return eq(a.x, b.x) && eq(a.y, b.y) && eq(a.z, b.z);
    };
    for (int f = 0; f < got.faces.GetSize(); ++f) {
        const C3DFace &a = *got.faces.GetAt(f), &b = *want.faces.GetAt(f);
        ASSERT_EQ(a.m_PntArray.GetSize(), b.m_PntArray.GetSize()) << "face " << f;
        for (int i = 0; i < a.m_PntArray.GetSize(); ++i)
            EXPECT_TRUE(same(*a.GetPoint(i), *b.GetPoint(i))) << "face " << f << " corner " << i;
        EXPECT_TRUE(same(*a.m_pNormalVec, *b.m_pNormalVec)) << "face " << f;
    }
}

}  // namespace

TEST(GenFaceByLine, PanelsComeAnticlockwiseAfterExistingEntriesWithoutTheOuterBoundary) {
    Plan p;
    p.faces.Add(new C3DFace());
    // Two cells; the first drawn clockwise and shuffled, so its first half-edge is a dead end.
    const P3 ends[][2] = {{{0, 1}, {1, 1}}, {{0, 0}, {0, 1}}, {{1, 1}, {1, 0}}, {{1, 0}, {0, 0}},
                          {{1, 0}, {2, 0}}, {{2, 0}, {2, 1}}, {{2, 1}, {1, 1}}};
    for (const auto& e : ends)
        p.Line(e[0], e[1]);
    EXPECT_EQ(p.Generate(), 1);
    ASSERT_EQ(p.faces.GetSize(), 3);
    EXPECT_EQ(p.faces.GetAt(0)->m_PntArray.GetSize(), 0);
    rvn_test::ExpectCorners(*p.faces.GetAt(1), {{1, 1}, {0, 1}, {0, 0}, {1, 0}});
    EXPECT_EQ(p.faces.GetAt(1)->m_pNormalVec->z, 1.0);
    EXPECT_DOUBLE_EQ(p.faces.GetAt(2)->GetArea(), 1.0);
}

TEST(GenFaceByLine, AwkwardPlansGiveTheReferenceWalksFaces) {
    const std::initializer_list<P3> tri = {{0, 0}, {2, 0}, {1, 2}};
    const std::initializer_list<P3> sq = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    Plan p[7];
    // Walked first, a dangling line enters the triangle's cycle and must end there: outside,
    // the panel stays; inside, the panel is lost.
    p[0].Line({0.8, -0.5}, {0, 0});
    p[1].Line({0.8, 0.5}, {0, 0});
    p[0].Ring(tri);
    p[1].Ring(tri);
    // The later copy wins the tie after the doubled edge and the walk meets itself: a dead end
    // that retires the panel.
    p[2].Ring(sq);
    p[2].Line({0, 0}, {1, 0});
    // Two segments 1.5e-6 long, joining crosswise, close a walk of two half-edges: no face.
    p[3].Line({0, 0}, {1.5e-6, 0});
    p[3].Line({1.5e-6, 9e-7}, {0, -9e-7});
    // The unit vector of (1, 5) dotted with itself is 1 + 2^-52: the straight step is taken.
    p[4].Ring({{0, 0}, {1, 5}, {2, 10}, {-3, 10}});
    // Shorter than the tolerance at a corner (it would win every turn), null, non-finite.
    p[5].Ring(sq);
    p[5].Line({1, 0}, {1 + 5e-7, 3e-7});
    p[5].lines.Add(nullptr);
    p[5].Line({0, 0}, {std::nan(""), 1, 0});
    p[5].Line({1, 1}, {HUGE_VAL, 1, 0});
    const int nFaces[7] = {1, 0, 0, 0, 1, 1, 0};  // the last plan has no lines
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(p[i].Generate(), 1);
        EXPECT_EQ(p[i].faces.GetSize(), nFaces[i]) << i;
        ExpectMatchesReference(p[i].lines);
    }
}

TEST(GenFaceByLine, EndsJoinBelowTheToleranceOnEachAxisWhereverTheJointLies) {
    // A triangle whose closing line misses its first corner by (dx, dy, dz).
    auto faces = [](double o, double dx, double dy, double dz) {
        Plan p;
        p.Ring({{o, o, o}, {o + 1, o, o}, {o + 1, o + 1, o}});
        *p.lines.GetAt(2)->m_pEndPnt += C3DVec(dx, dy, dz);
        p.Generate();
        return p.faces.GetSize();
    };
    for (const double gap : {9e-7, 1e-6, 2e-6}) {
        const int want = gap < 1e-6 ? 1 : 0;
        EXPECT_EQ(faces(0, gap, 0, 0) + faces(0, 0, gap, 0) + faces(0, 0, 0, gap), 3 * want) << gap;
    }
    // Moved in steps of 1.37e-7 across 6e-4: every position of the joint relative to the
    // index's cells.
    int found = 0;
    for (int k = 0; k < 4400; ++k)
        found += faces(1e3 + k * 1.37e-7, -9e-7, 9e-7, 0);
    EXPECT_EQ(found, 4400);
}

TEST(GenFaceByLine, IndexedWalkEqualsReferenceWalkOnRandomPlans) {
    // Jittered ends, then the same ends snapped to a binary grid: at 2^-10 the ends of a node
    // are nearly all equal to the last bit; at 2^-20, about the tolerance, some are and some
    // are not.
    for (uint64_t seed = 0; seed < 500 && !::testing::Test::HasFailure(); ++seed) {
        for (const double snap : {0.0, 1024.0, 1048576.0}) {
            SCOPED_TRACE(::testing::Message() << seed << " snapped to 1/" << snap);
            std::mt19937_64 rng(seed);
            Plan p;
            rvn_test::RandomPlan(rng, p.lines);
            for (int k = 0; k < p.lines.GetSize() && snap > 0.0; ++k) {
                for (C3DPoint* e : {p.lines.GetAt(k)->m_pBgnPnt, p.lines.GetAt(k)->m_pEndPnt})
                    *e = C3DPoint(std::round(e->x * snap) / snap, std::round(e->y * snap) / snap,
                                  std::round(e->z * snap) / snap);
            }
            ExpectMatchesReference(p.lines);
        }
    }
}

TEST(GenFaceByLine, IndexedWalkEqualsReferenceWalkOnLargePlans) {
    // Over a thousand cells: the corners fill several blocks, and faces taken as whole rings
    // alternate with faces walked step by step past dangling and doubled lines.
    for (uint64_t seed = 0; seed < 2 && !::testing::Test::HasFailure(); ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937_64 rng(seed);
        Plan p;
        rvn_test::RandomPlan(rng, p.lines, nullptr, 32);
        ExpectMatchesReference(p.lines);
    }
}

TEST(GenFaceByLine, IndexedWalkEqualsReferenceWalkAtEveryMagnitude) {
    // x and y scales: tiny, huge (the squared lengths of the directions overflow from about
    // 1e154 on, which the normalisation must rescale alike on both sides), and mixed.
    const double scales[][2] = {{1e-150, 1e-150}, {1e150, 1e150}, {1e155, 1e155},
                                {1e300, 1e300},   {1e155, 1.0},   {1e-150, 1e300}};
    int faces = 0;
    for (uint64_t seed = 0; seed < 30 && !::testing::Test::HasFailure(); ++seed) {
        for (const auto& s : scales) {
            SCOPED_TRACE(::testing::Message() << seed << " at " << s[0] << " x " << s[1]);
            std::mt19937_64 rng(seed);
            Plan p;
            rvn_test::RandomPlan(rng, p.lines, s);
            ExpectMatchesReference(p.lines);
            p.Generate();
            faces += p.faces.GetSize();
        }
        // Both magnitudes in one plan.
        std::mt19937_64 rng(seed);
        Plan p;
        for (const auto& s : {scales[2], scales[3], scales[4]})
            rvn_test::RandomPlan(rng, p.lines, s);
        rvn_test::RandomPlan(rng, p.lines);
        ExpectMatchesReference(p.lines);
    }
    EXPECT_GT(faces, 0);  // the plans are not all degenerate
}

TEST(GenFaceByLine, ReversedDirectionNormalisesToTheNegatedUnitAtEveryMagnitude) {
    // The indexed walk normalises each segment once and negates the unit vector for the
    // half-edge back along it; the literal walk normalises start - end itself. Subnormal,
    // rescaled (squared length under- or overflowing) and overflowing differences included.
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (const double m :
         {1e-320, 1e-300, 1e-160, 1e-154, 1.0, 3.0, 1e154, 1e160, 1e300, 1.7e308}) {
        for (int i = 0; i < 200; ++i) {
            // One coordinate in three shared by both ends: a zero component.
            double p[3], o[3];
            for (int a = 0; a < 3; ++a) {
                p[a] = m * u(rng);
                o[a] = rng() % 3 == 0 ? p[a] : m * u(rng);
            }
            const C3DVec fwd =
                (C3DPoint(o[0], o[1], o[2]) - C3DPoint(p[0], p[1], p[2])).GetNormal();
            const C3DVec back =
                (C3DPoint(p[0], p[1], p[2]) - C3DPoint(o[0], o[1], o[2])).GetNormal();
            const double f[3] = {fwd.x, fwd.y, fwd.z}, b[3] = {back.x, back.y, back.z};
            for (int a = 0; a < 3; ++a)
                ASSERT_TRUE(b[a] == -f[a] || (std::isnan(b[a]) && std::isnan(f[a])))
                    << m << " " << i << " " << a << ": " << b[a] << " " << f[a];
        }
    }
}

TEST(FindNextPoint, TakesTheSharpestLeftTurnAndTheLaterOfEqualTurns) {
    // Half-edge 0 runs (0,0)->(1,0); from (1,0) the others go straight on, turn left, turn
    // right, turn left as sharply again, and go back.
    const double ends[][2] = {{2, 0}, {1, 1}, {1, -1}, {1, 2}, {0, 0}};
    C3DPointArray pts;
    pts.Add(new C3DPoint(0, 0, 0));
    pts.Add(new C3DPoint(1, 0, 0));
    for (const auto& e : ends) {
        pts.Add(new C3DPoint(1, 0, 0));
        pts.Add(new C3DPoint(e[0], e[1], 0));
    }
    CArray<bool, bool&> used;
    used.SetSize(pts.GetSize());
    for (const int next : {8, 4, 2, -1}) {
        EXPECT_EQ(C3DFace::FindNextPoint(0, &pts, used), next);
        used[next < 0 ? 0 : next] = true;
    }
    EXPECT_EQ(C3DFace::FindNextPoint(-1, &pts, used), -1);
    EXPECT_THROW(C3DFace::FindNextPoint(0, nullptr, used), CInvalidArgException);
    used.SetSize(pts.GetSize() - 1);
    EXPECT_THROW(C3DFace::FindNextPoint(0, &pts, used), CInvalidArgException);
    pts.DeepRemoveAll();
}
