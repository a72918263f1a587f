#include "BaseCommon/faces/PlanPanels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <tuple>
#include <vector>

#include "faces/FaceTestUtil.h"
#include "faces/PlanFixtures.h"

namespace {

using rvn_test::P3;
using Ring = std::vector<P3>;

// Owns the lines and the results of one plan.
struct PlanUnderTest {
    C3DLineArray lines;
    C3DFaceArray panels, holes;
    CArray<int, int> holeOf;
    ~PlanUnderTest() {
        panels.DeepRemoveAll();
        holes.DeepRemoveAll();
        lines.DeepRemoveAll();
    }
    void Line(P3 a, P3 b) { lines.Add(new C3DLine(rvn_test::Pt(a), rvn_test::Pt(b))); }
    void Closed(const Ring& r) {
        for (size_t i = 0; i < r.size(); ++i)
            Line(r[i], r[(i + 1) % r.size()]);
    }
    int Generate() { return rvn::GenPanelsByLine(lines, panels, holes, holeOf); }
};

// Twice the signed plan area of a face's corners: positive when anticlockwise.
double SignedArea2(const C3DFace& f) {
    const int n = f.m_PntArray.GetSize();
    double s = 0.0;
    for (int i = 0; i < n; ++i) {
        const C3DPoint &a = *f.GetPoint(i), &b = *f.GetPoint((i + 1) % n);
        s += a.x * b.y - b.x * a.y;
    }
    return s;
}

std::vector<double> Areas(const C3DFaceArray& faces) {
    std::vector<double> a;
    for (int i = 0; i < faces.GetSize(); ++i)
        a.push_back(std::round(faces.GetAt(i)->GetArea() * 1e6) / 1e6);
    std::sort(a.begin(), a.end());
    return a;
}

// Equal within twice the joining tolerance, as ends joined into one corner are.
bool Near(const C3DPoint& a, const C3DPoint& b) {
    return std::fabs(a.x - b.x) < 2e-6 && std::fabs(a.y - b.y) < 2e-6 &&
           std::fabs(a.z - b.z) < 2e-6;
}

const Ring kSquare = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
const Ring kOpening = {{4, 4}, {6, 4}, {6, 6}, {4, 6}};

}  // namespace

TEST(GenPanelsByLine, PanelsHolesAndLeftOutLinesOfSmallPlans) {
    using Lines = std::vector<std::pair<P3, P3>>;
    struct Case {
        const char* name;
        std::vector<Ring> rings;  // closed polylines
        Lines extra;              // single lines
        std::vector<double> panelAreas;
        std::vector<std::pair<double, double>> holes;  // (hole area, area of its panel)
    };
    const Ring inner = {{2, 2}, {8, 2}, {8, 8}, {2, 8}};
    const Ring right = {{10, 0}, {20, 0}, {20, 10}, {10, 10}};
    const Case cases[] = {
        {"L-shaped slab", {{{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}}, {}, {3}, {}},
        {"stub and a tree of stubs inside, a dangling line outside",
         {kSquare},
         {{{0, 5}, {3, 5}},
          {{10, 10}, {8, 8}},
          {{8, 8}, {8, 6}},
          {{8, 8}, {6, 8}},
          {{10, 0}, {12, -1}}},
         {100},
         {}},
        {"opening", {kSquare, kOpening}, {}, {4, 100}, {{4, 100}}},
        {"opening held by a beam, split by a core wall",
         {kSquare, {{4, 4}, {5, 4}, {6, 4}, {6, 6}, {5, 6}, {4, 6}}},
         {{{0, 0}, {4, 4}}, {{5, 4}, {5, 6}}},
         {2, 2, 100},
         {{4, 100}}},
        {"opening in an opening: each hole in the smallest panel around it",
         {kSquare, inner, kOpening},
         {},
         {4, 36, 100},
         {{4, 36}, {36, 100}}},
        {"rooms side by side, one touching at a corner: no holes",
         {kSquare, right, {{20, 10}, {21, 10}, {21, 11}, {20, 11}}},
         {},
         {1, 100, 100},
         {}},
        {"doubled lines either way round",
         {kSquare},
         {{{0, 0}, {10, 0}}, {{10, 10}, {10, 0}}},
         {100},
         {}},
        {"rooms apart", {kSquare, {{20, 0}, {21, 0}, {21, 1}}}, {}, {0.5, 100}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlanUnderTest p;
        for (const Ring& r : c.rings)
            p.Closed(r);
        for (const auto& l : c.extra)
            p.Line(l.first, l.second);
        EXPECT_EQ(p.Generate(), static_cast<int>(c.panelAreas.size()));
        EXPECT_EQ(Areas(p.panels), c.panelAreas);
        for (int i = 0; i < p.panels.GetSize(); ++i) {
            const C3DFace& f = *p.panels.GetAt(i);
            EXPECT_GT(SignedArea2(f), 0.0);
            EXPECT_EQ(f.m_pNormalVec->z, 1.0);
            // No line bounding no area runs out and back along a boundary.
            for (int a = 0; a < f.m_PntArray.GetSize(); ++a)
                for (int b = 0; b < a; ++b)
                    EXPECT_FALSE(*f.GetPoint(a) == *f.GetPoint(b)) << i;
        }
        ASSERT_EQ(p.holeOf.GetSize(), p.holes.GetSize());
        std::vector<std::pair<double, double>> holes;
        for (int i = 0; i < p.holes.GetSize(); ++i) {
            EXPECT_GT(SignedArea2(*p.holes.GetAt(i)), 0.0);
            holes.emplace_back(p.holes.GetAt(i)->GetArea(), p.panels.GetAt(p.holeOf[i])->GetArea());
        }
        std::sort(holes.begin(), holes.end());
        EXPECT_EQ(holes, c.holes);
    }
}

TEST(GenPanelsByLine, RingsStartAtTheFirstLineAndKeepExistingEntries) {
    PlanUnderTest p;
    p.panels.Add(new C3DFace());
    // Line 0 is the shared wall, drawn downwards: the right room (walked along line 0) comes
    // first; the end points of the joint at (1, 0) differ by 5e-7 and the first one given
    // is kept. Collinear split nodes stay corners; the sloped room tilts its normal.
    for (const Ring& chain : {Ring{{1, 1}, {1, 0}, {2, 0}, {2, 1}, {1.5, 1}, {1, 1}},
                              Ring{{1, 5e-7}, {0, 0, 1}, {0, 1, 1}, {1, 1}}})
        for (size_t i = 0; i + 1 < chain.size(); ++i)
            p.Line(chain[i], chain[i + 1]);
    p.holes.Add(new C3DFace());
    p.holeOf.Add(7);
    EXPECT_EQ(p.Generate(), 2);
    ASSERT_EQ(p.panels.GetSize(), 3);
    rvn_test::ExpectCorners(*p.panels.GetAt(1), {{1, 1}, {1, 0}, {2, 0}, {2, 1}, {1.5, 1}});
    rvn_test::ExpectCorners(*p.panels.GetAt(2), {{1, 0}, {1, 1}, {0, 1, 1}, {0, 0, 1}});
    const C3DVec& n = *p.panels.GetAt(2)->m_pNormalVec;
    EXPECT_NEAR(n.x, std::sqrt(0.5), 1e-15);
    EXPECT_NEAR(n.z, std::sqrt(0.5), 1e-15);
    EXPECT_EQ(std::make_tuple(p.holes.GetSize(), p.holeOf.GetSize(), p.holeOf.GetAt(0)),
              std::make_tuple(1, 1, 7));
}

namespace {

// A random plan of known covered area: the occupied cells of an uneven grid (an L-shaped or
// notched outline when corner cells are left empty), inner lines left out (merged panels),
// edges split at collinear points, a diagonal or a stub in some cells, an opening in others
// (now and then held by a beam from a corner), doubled lines; ends jittered by up to 5e-7,
// shuffled and half reversed. Returns the covered area; nOpenings counts the openings.
double PanelPlan(std::mt19937_64& rng, C3DLineArray& lines, int& nOpenings) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    auto chance = [&](double p) { return u(rng) < p; };
    std::vector<double> xs{0.0}, ys{0.0};
    for (std::vector<double>* c : {&xs, &ys})
        for (int i = 2 + static_cast<int>(rng() % 6); i > 0; --i)
            c->push_back(c->back() + 0.5 + 3 * u(rng));
    const int nx = static_cast<int>(xs.size()) - 1, ny = static_cast<int>(ys.size()) - 1;
    // Cells taken out at the corners of the outline: L shapes and notches.
    std::vector<char> full(nx * ny, 1);
    for (int k = 0; k < 2; ++k) {
        const int cx = int(rng() % 2) * (nx - 1), cy = int(rng() % 2) * (ny - 1);
        if (chance(0.5) && nx > 1 && ny > 1)
            full[cx * ny + cy] = 0;
    }
    auto occupied = [&](int i, int j) {
        return i >= 0 && j >= 0 && i < nx && j < ny && full[i * ny + j];
    };
    std::vector<rvn_test::PlanLine> v;
    auto add = [&](double x0, double y0, double x1, double y1) {
        v.push_back({{x0, y0, 0}, {x1, y1, 0}});
        if (chance(0.05))
            v.push_back({{x1, y1, 0}, {x0, y0, 0}});
    };
    // An edge between cells a and b (either may be outside): drawn on the outline, often
    // left out between two occupied cells.
    auto edge = [&](bool a, bool b, double x0, double y0, double x1, double y1) {
        if (a != b || (a && !chance(0.2))) {
            if (chance(0.15)) {
                const double t = 0.2 + 0.6 * u(rng);
                add(x0, y0, x0 + t * (x1 - x0), y0 + t * (y1 - y0));
                add(x0 + t * (x1 - x0), y0 + t * (y1 - y0), x1, y1);
            } else {
                add(x0, y0, x1, y1);
            }
        }
    };
    double area = 0.0;
    nOpenings = 0;
    for (int i = 0; i <= nx; ++i) {
        for (int j = 0; j <= ny; ++j) {
            const double x = xs[i], y = ys[j];
            if (i < nx)
                edge(occupied(i, j - 1), occupied(i, j), x, y, xs[i + 1], y);
            if (j < ny)
                edge(occupied(i - 1, j), occupied(i, j), x, y, x, ys[j + 1]);
            if (!occupied(i, j))
                continue;
            const double w = xs[i + 1] - x, h = ys[j + 1] - y;
            area += w * h;
            const double r = u(rng);
            if (r < 0.15) {
                add(x, y, x + w, y + h);
            } else if (r < 0.25) {
                const double ox = x + 0.4 * w, oy = y + 0.4 * h, ow = 0.2 * w, oh = 0.2 * h;
                add(ox, oy, ox + ow, oy);
                add(ox + ow, oy, ox + ow, oy + oh);
                add(ox + ow, oy + oh, ox, oy + oh);
                add(ox, oy + oh, ox, oy);
                if (chance(0.4))
                    add(x, y, ox, oy);
                ++nOpenings;
            } else if (r < 0.4) {
                add(x, y, x + 0.3 * w * u(rng), y + 0.3 * h * u(rng));
            }
        }
    }
    for (rvn_test::PlanLine& l : v)
        for (double* p : {l.a, l.b})
            for (int a = 0; a < 3; ++a)
                p[a] += (2 * u(rng) - 1) * 5e-7;
    rvn_test::EmitLines(v, lines, &rng);
    return area;
}

}  // namespace

TEST(GenPanelsByLine, PanelsLessHolesCoverThePlanOnRandomPlans) {
    for (uint64_t seed = 0; seed < 300 && !::testing::Test::HasFailure(); ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937_64 rng(seed);
        PlanUnderTest p;
        int nOpenings = 0;
        const double area = PanelPlan(rng, p.lines, nOpenings);
        p.Generate();
        double net = 0.0;
        int lastLine = -1;
        for (int i = 0; i < p.panels.GetSize(); ++i) {
            const C3DFace& f = *p.panels.GetAt(i);
            ASSERT_GT(SignedArea2(f), 0.0);
            net += f.GetArea();
            // Panels come in the order of their first line, which runs from corner 0 to 1.
            const C3DPoint &c0 = *f.GetPoint(0), &c1 = *f.GetPoint(1);
            int line = 0;
            while (line < p.lines.GetSize()) {
                const C3DLine& l = *p.lines.GetAt(line);
                if ((Near(*l.GetBgnPnt(), c0) && Near(*l.GetEndPnt(), c1)) ||
                    (Near(*l.GetBgnPnt(), c1) && Near(*l.GetEndPnt(), c0)))
                    break;
                ++line;
            }
            ASSERT_LT(line, p.lines.GetSize()) << i;
            EXPECT_GE(line, lastLine) << i;
            lastLine = line;
        }
        ASSERT_EQ(p.holes.GetSize(), nOpenings);
        for (int i = 0; i < p.holes.GetSize(); ++i) {
            const double hole = p.holes.GetAt(i)->GetArea();
            EXPECT_LT(hole, p.panels.GetAt(p.holeOf[i])->GetArea());
            net -= hole;
        }
        EXPECT_NEAR(net, area, 1e-5);
    }
}

TEST(GenPanelsByLine, EveryFaceOfGenFaceByLineIsAPanel) {
    // On the random plans of the walk's equivalence test: the walk's simple rings are convex
    // panels whose corners are the ends as given, within the joining tolerance of the panels'.
    auto same = [](const C3DFace& a, const C3DFace& b) {
        const int n = a.m_PntArray.GetSize();
        for (int s = 0; s < n && b.m_PntArray.GetSize() == n; ++s) {
            int i = 0;
            while (i < n && Near(*a.GetPoint(i), *b.GetPoint((i + s) % n)))
                ++i;
            if (i == n)
                return true;
        }
        return false;
    };
    int faces = 0;
    for (uint64_t seed = 0; seed < 300 && !::testing::Test::HasFailure(); ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937_64 rng(seed);
        PlanUnderTest p;
        // Drawn at plan scales: microscopic cells (several ends within a few tolerances of
        // each other) are where joining in chains and joining in pairs part ways.
        const double scale[2] = {seed % 2 ? 1.0 : 1e3, seed % 2 ? 1.0 : 1e3};
        rvn_test::RandomPlan(rng, p.lines, scale);
        C3DFaceArray walked;
        C3DFace::GenFaceByLine(p.lines, walked);
        p.Generate();
        for (int f = 0; f < walked.GetSize(); ++f) {
            // Along a doubled line the walk can close a ring that visits a node twice: no
            // panel of the plan.
            const C3DFace& w = *walked.GetAt(f);
            bool simple = true;
            for (int i = 0; i < w.m_PntArray.GetSize(); ++i)
                for (int j = 0; j < i; ++j)
                    simple = simple && !Near(*w.GetPoint(i), *w.GetPoint(j));
            if (!simple)
                continue;
            ++faces;
            bool found = false;
            for (int i = 0; i < p.panels.GetSize() && !found; ++i)
                found = same(*walked.GetAt(f), *p.panels.GetAt(i));
            EXPECT_TRUE(found) << "face " << f;
        }
        walked.DeepRemoveAll();
    }
    EXPECT_GT(faces, 1000);
}
