#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numeric>
#include <sstream>
#include <stdexcept>
#include <string>

#include "PileRaft.h"

namespace {

using pileraft::Analyse;
using pileraft::ReadPlan;
using pileraft::Result;

pileraft::Plan Parse(const std::string& text) {
    std::istringstream in(text);
    return ReadPlan(in);
}

// A simply supported beam on two springs with a point load at midspan: each pile takes P/2,
// and the midspan sinks by the spring settlement plus the bending deflection PL^3/(48EI).
TEST(PileRaft, BeamOnTwoPilesMatchesClosedForm) {
    const double L = 8.0, k = 2.0e5, P = 1000.0;
    for (const char* mesh : {"MESH 0.7", "MESH 8"}) {
        const Result r = Analyse(Parse(std::string(mesh) + "\nSECTION 0.4 0.9\nLINE 0 0 8 0\n"
                                                           "PILE 0 0 200000\nPILE 8 0 200000\n"
                                                           "COLUMN 4 0 1000\n"));
        ASSERT_EQ(r.piles.size(), 2u);
        EXPECT_NEAR(r.piles[0].reaction[0], P / 2, 1e-9 * P / 2) << mesh;
        EXPECT_NEAR(r.piles[1].reaction[0], P / 2, 1e-9 * P / 2) << mesh;
        EXPECT_NEAR(r.piles[0].settlement[0], P / (2 * k), 1e-9 * P / (2 * k)) << mesh;
        const double expected = P / (2 * k) + P * L * L * L / (48 * r.E * r.I);
        EXPECT_NEAR(r.cases[0].maxDeflection, expected, 1e-9 * expected) << mesh;
        EXPECT_NEAR(r.nodes[r.cases[0].maxNode].x, 4.0, 1e-12);
    }
}

// Element end forces against the closed forms of statically determinate cases, read at the
// first end of the element that starts at the named point (every line runs along +x).
TEST(PileRaft, EndForcesMatchClosedForms) {
    const double w = 30.0, P = 200.0;
    struct Case {
        const char* name;
        const char* plan;
        double x, y;
        double moment, shear, torque;
    } cases[] = {
        // Uniform load on a single span L = 8 on two piles: wL^2/8 at midspan, wL/2 at the
        // left end (V = dM/ds), whatever the mesh.
        {"span middle", "MESH 1\nLINE 0 0 8 0 30\nPILE 0 0 1e6\nPILE 8 0 1e6\n", 4.0, 0.0,
         w * 64 / 8, 0.0, 0.0},
        {"span end", "MESH 8\nLINE 0 0 8 0 30\nPILE 0 0 1e6\nPILE 8 0 1e6\n", 0.0, 0.0, 0.0,
         w * 8 / 2, 0.0},
        // A cantilever of L = 3 beyond a back span on two piles: -wL^2/2 and wL at the root.
        {"cantilever", "MESH 1\nLINE -5 0 0 0\nLINE 0 0 3 0 30\nPILE -5 0 1e6\nPILE 0 0 1e6\n", 0.0,
         0.0, -w * 9 / 2, w * 3, 0.0},
        // A U of three beams on three piles: a load P at the free tip of one leg (a = 4 from
        // the base) twists the base by P a, and the base carries no moment or shear.
        {"eccentric",
         "MESH 1\nLINE 0 0 10 0\nLINE 0 0 0 4\nLINE 10 0 10 4\nPILE 0 0 1e6\n"
         "PILE 10 0 1e6\nPILE 0 4 1e6\nCOLUMN 10 4 200\n",
         5.0, 0.0, 0.0, 0.0, P * 4},
    };
    for (const Case& c : cases) {
        const Result r = Analyse(Parse(c.plan));
        int found = -1;
        for (size_t e = 0; e < r.elements.size(); ++e) {
            const pileraft::Node& a = r.nodes[r.elements[e].n1];
            const pileraft::Node& b = r.nodes[r.elements[e].n2];
            if (std::fabs(a.x - c.x) < 1e-9 && std::fabs(a.y - c.y) < 1e-9 && b.x > a.x)
                found = static_cast<int>(e);
        }
        ASSERT_GE(found, 0) << c.name;
        const pileraft::EndForces& f = r.forces[0][found];
        const double scale = 1e-9 * w * 64;
        EXPECT_NEAR(f.moment[0], c.moment, scale) << c.name;
        EXPECT_NEAR(f.shear[0], c.shear, scale) << c.name;
        EXPECT_NEAR(std::fabs(f.torque[0]), c.torque, scale) << c.name;
    }
}

// Mirror-symmetric plan and loads give mirror-symmetric reactions.
TEST(PileRaft, SymmetricPlanGivesSymmetricReactions) {
    const Result r = Analyse(Parse(
        "MESH 1\nLINE 0 0 12 0\nLINE 0 6 12 6\nLINE 0 0 0 6\nLINE 6 0 6 6\nLINE 12 0 12 6\n"
        "PILE 0 0 1e5\nPILE 12 0 1e5\nPILE 0 6 1e5\nPILE 12 6 1e5\nPILE 6 0 3e5\nPILE 6 6 3e5\n"
        "COLUMN 3 0 100\nCOLUMN 9 0 100\nCOLUMN 3 6 250\nCOLUMN 9 6 250\nAREA 20\n"));
    const auto& R = r.piles;  // mirrored about x = 6
    EXPECT_NEAR(R[0].reaction[0], R[1].reaction[0], 1e-9 * R[1].reaction[0]);
    EXPECT_NEAR(R[2].reaction[0], R[3].reaction[0], 1e-9 * R[3].reaction[0]);
    EXPECT_GT(R[2].reaction[0], R[0].reaction[0]);  // the heavier side takes more
    EXPECT_EQ(r.panels.size(), 2u);
    for (const pileraft::Panel& p : r.panels) {
        EXPECT_NEAR(p.area, 36.0, 1e-9);
        EXPECT_NEAR(p.girth, 24.0, 1e-9);
    }
}

// A square bay of 12 m on four corner piles, and a core ring inside it held by a brace from
// a corner: a hole of the outer panel and a panel of its own.
const std::string kSquareBay =
    "LINE 0 0 12 0\nLINE 12 0 12 12\nLINE 12 12 0 12\nLINE 0 12 0 0\n"
    "PILE 0 0 1e5\nPILE 12 0 1e5\nPILE 0 12 1e5\nPILE 12 12 1e5\n";
const std::string kCore = "LINE 4 4 8 4\nLINE 8 4 8 8\nLINE 8 8 4 8\nLINE 4 8 4 4\nLINE 0 0 4 4\n";

// Panels of any shape take their whole area load, and a column inside one goes to its
// corners: an L-shaped slab, a beam end inside a panel, a core ring inside a panel.
TEST(PileRaft, PanelsOfAnyShapeCarryTheirLoad) {
    struct Case {
        const char* name;
        std::string plan;
        size_t panels;
        double area;  // total
    } cases[] = {
        {"L",
         "LINE 0 0 12 0\nLINE 12 0 12 6\nLINE 12 6 6 6\nLINE 6 6 6 12\nLINE 6 12 0 12\n"
         "LINE 0 12 0 0\nPILE 0 0 1e5\nPILE 12 0 1e5\nPILE 0 12 1e5\nAREA 10\n"
         "COLUMN 2 9 100\n",
         1, 108.0},
        {"stub", kSquareBay + "LINE 3 0 3 4\nAREA 10\nCOLUMN 6 6 100\n", 1, 144.0},
        {"core", kSquareBay + kCore + "AREA 10\nCOLUMN 2 6 100\n", 2, 144.0},
    };
    for (const Case& c : cases) {
        const Result r = Analyse(Parse(c.plan));
        ASSERT_EQ(r.panels.size(), c.panels) << c.name;
        double area = 0.0;
        for (const pileraft::Panel& p : r.panels)
            area += p.area;
        EXPECT_NEAR(area, c.area, 1e-9) << c.name;
        const double load = 10.0 * c.area + 100.0;
        EXPECT_NEAR(r.cases[0].totalLoad, load, 1e-9 * load) << c.name;
        EXPECT_NEAR(r.cases[0].totalReaction, load, 1e-9 * load) << c.name;
    }
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// The built-in plan (crossing lines, a brace, a cantilever, a column inside a panel), analysed
// once and checked several ways: every load case balances in force and in moment about both
// axes (the piles carry exactly the column and area loads) and nothing is warned of; its
// picture draws every panel, element, pile and column, the title naming the case; and the
// written plan reads back to the same plan (every number and name survives).
TEST(PileRaft, DefaultPlanBalancesIsDrawnWholeAndReadsBack) {
    pileraft::Plan plan = Parse(pileraft::kDefaultPlan);
    const Result r = Analyse(plan);
    ASSERT_EQ(r.cases.size(), 3u);
    EXPECT_EQ(pileraft::CaseName(plan, 0), "dead");
    EXPECT_EQ(pileraft::CaseName(plan, 2), "wind");
    double panelArea = 0.0;
    for (const pileraft::Panel& p : r.panels)
        panelArea += p.area;
    EXPECT_NEAR(panelArea, 18.0 * 15.0, 1e-9);  // the brace splits a bay; the stub adds none
    EXPECT_EQ(r.panels.size(), 7u);
    const double size = std::hypot(21.0, 15.0);
    for (size_t lc = 0; lc < r.cases.size(); ++lc) {
        const pileraft::CaseResult& c = r.cases[lc];
        double columns = 0.0;
        for (const pileraft::ColumnInput& col : plan.columns)
            columns += col.loads[lc];
        const double expected = columns + plan.areaLoads[lc] * panelArea;
        EXPECT_LT(std::fabs(c.totalLoad - expected), 1e-12 * c.grossLoad) << lc;
        EXPECT_LT(std::fabs(c.totalReaction - expected), 1e-9 * c.grossLoad) << lc;
        EXPECT_LT(std::fabs(c.reactionMomentX - c.loadMomentX), 1e-9 * c.grossLoad * size);
        EXPECT_LT(std::fabs(c.reactionMomentY - c.loadMomentY), 1e-9 * c.grossLoad * size);
        EXPECT_GT(std::fabs(c.loadMomentY), 0.1 * c.grossLoad);  // the check has something to check
    }
    EXPECT_LT(r.profileSolved, r.profileInput);
    EXPECT_TRUE(r.warnings.empty());

    std::ostringstream svg;
    pileraft::WriteSvg(svg, plan, r, 2);
    const std::string s = svg.str();
    EXPECT_EQ(s.rfind("<svg ", 0), 0u);
    EXPECT_EQ(s.substr(s.size() - 7), "</svg>\n");
    EXPECT_EQ(Count(s, "class=\"panel\""), r.panels.size());
    EXPECT_EQ(Count(s, "class=\"beam\""), r.elements.size());
    EXPECT_EQ(Count(s, "class=\"pile\""), plan.piles.size());
    EXPECT_EQ(Count(s, "class=\"column\""), plan.columns.size());
    EXPECT_NE(s.find("load case 3: wind"), std::string::npos);
    EXPECT_NE(s.find(">P6 -58<"), std::string::npos);  // pile number and reaction
    EXPECT_NE(s.find(">C8 150<"), std::string::npos);  // column number and load

    plan.beams[0].a.x = 0.1 + 0.2;  // a value with no short decimal form
    std::ostringstream text;
    pileraft::WritePlan(text, plan);
    const pileraft::Plan back = Parse(text.str());
    EXPECT_EQ(back.title, plan.title);
    EXPECT_EQ(back.caseNames, plan.caseNames);
    EXPECT_EQ(back.beams[0].a.x, plan.beams[0].a.x);
    const Result a = Analyse(plan), b = Analyse(back);
    for (size_t i = 0; i < a.piles.size(); ++i)
        EXPECT_EQ(a.piles[i].reaction, b.piles[i].reaction);
}

// Pictures of a cored bay and of a plan too dense for every label: the labels thin out
// instead of piling up (that plan also balances).
TEST(PileRaft, PictureKeepsOpeningsClearAndThinsItsLabels) {
    // A panel with a core opening is one path of two rings, filled even-odd so that the
    // opening stays clear; the core's own panel is a path of one ring.
    const pileraft::Plan cored = Parse(kSquareBay + kCore + "AREA 10\n");
    const Result rc = Analyse(cored);
    ASSERT_EQ(rc.panels.size(), 2u);
    EXPECT_EQ(rc.panels[0].holes.size() + rc.panels[1].holes.size(), 1u);
    std::ostringstream coredSvg;
    pileraft::WriteSvg(coredSvg, cored, rc, 0);
    const std::string c = coredSvg.str();
    EXPECT_EQ(Count(c, "class=\"panel\" fill=\"#e8edf3\" fill-rule=\"evenodd\""), 2u);
    EXPECT_EQ(Count(c, "ZM"), 1u);
    // Both numbers shown: the outer panel's centroid lies in the opening, where the core's
    // number goes, so the outer panel's number moves onto the panel itself.
    EXPECT_NE(c.find(">#1<"), std::string::npos);
    EXPECT_NE(c.find(">#2<"), std::string::npos);

    // A grid of 40 x 40 bays of 6 m with a pile at every crossing: the labels thin out. It has
    // more unknowns than a CMatrix is constructed with (4096): the right-hand side grows by rows.
    std::ostringstream grid;
    const int n = 40;
    grid << "MESH 3\nAREA 10\n";
    for (int i = 0; i <= n; ++i) {
        grid << "LINE 0 " << 6 * i << " " << 6 * n << " " << 6 * i << "\n";
        grid << "LINE " << 6 * i << " 0 " << 6 * i << " " << 6 * n << "\n";
        for (int j = 0; j <= n; ++j)
            grid << "PILE " << 6 * i << " " << 6 * j << " 1e5\n";
    }
    const pileraft::Plan dense = Parse(grid.str());
    const Result rd = Analyse(dense);
    std::ostringstream big;
    pileraft::WriteSvg(big, dense, rd, 0);
    const size_t labels = Count(big.str(), "paint-order") + Count(big.str(), "font-style");
    EXPECT_GT(labels, 0u);
    EXPECT_LT(labels, dense.piles.size() / 10);
    EXPECT_GT(rd.nDof, 4096);
    EXPECT_EQ(rd.panels.size(), static_cast<size_t>(n * n));
    EXPECT_LT(std::fabs(rd.cases[0].totalReaction - 10.0 * 36.0 * n * n),
              1e-9 * rd.cases[0].grossLoad);
}

// Plans that cannot be taken, each refused with the reason, never solved into a confident
// wrong answer: input errors name their line (0: the plan as a whole); plans that read well
// but have no sound solution (line -1) fail the analysis.
TEST(PileRaft, UnsoundAndUnsolvablePlansAreRefused) {
    const std::string base = "LINE 0 0 6 0\nPILE 0 0 1e5\nPILE 6 0 1e5\n";
    std::string manyCases = base + "COLUMN 3 0";
    for (int i = 0; i < 4097; ++i)
        manyCases += " 1";
    std::string star = "PILE 0 0 1e5\nPILE 1 0 1e5\nPILE 0 1 1e5\nAREA 1\n";
    for (int i = 0; i < 8000; ++i) {
        const double a = 3.14159265358979 * i / 8000;
        star += "LINE " + std::to_string(-10 * std::cos(a)) + " " +
                std::to_string(-10 * std::sin(a)) + " " + std::to_string(10 * std::cos(a)) + " " +
                std::to_string(10 * std::sin(a)) + "\n";
    }
    const std::string square =
        "LINE 0 0 6 0\nLINE 6 0 6 6\nLINE 6 6 0 6\nLINE 0 6 0 0\n"
        "PILE 0 0 1e5\nPILE 6 0 1e5\nPILE 0 6 1e5\nAREA 10\n";
    struct Case {
        std::string text;
        int line;
        const char* message;
    } cases[] = {
        {base + "COLUMN 3 0 10\nBEAM 0 0 1 1\n", 5, "unknown keyword 'BEAM'"},
        {base + "COLUMN 3 0\n", 4, "COLUMN takes x y and one load per case"},
        {base + "COLUMN 3 0 abc\n", 4, "'abc' is not a number"},
        {base + "COLUMN 3 0 1.5.2\n", 4, "'1.5.2' is not a number"},
        {base + "COLUMN 3 0 " + std::string(100000, '7') + "x\n", 4,
         "'7777777777777777777777777777777777777777...' is not a number"},
        {base + "COLUMN 3 0 10 20\nAREA 5\n", 5, "1 load values, but line 4 gives 2"},
        {base + "CASE dead\nCOLUMN 3 0 10 20\n", 5, "2 load values, but line 4 gives 1"},
        {manyCases, 4, "4097 load cases: at most 1000"},
        {base + "PILE 3 1 1e5\nCOLUMN 3 0 10\n", 4, "pile at (3, 1) is not on any beam"},
        {base + "SECTION 0.4\nCOLUMN 3 0 10\n", 4, "SECTION takes 2 values (b h), found 1"},
        {base + "PILE 2 0 -5\n", 4, "pile stiffness must be positive"},
        {base + "CONCRETE 90\n", 4, "concrete grade must lie between C15 and C80"},
        {base + "LINE 2 0 4 0\nCOLUMN 3 0 10\n", 4, "overlaps the beam of line 1"},
        {base + "COLUMN 3 2 10\n", 4, "column at (3, 2) is on no beam and in no panel"},
        {base, 0, "no load case"},
        {base + "MESH 1e-6\nCOLUMN 3 0 10\n", 0, "MESH is too fine"},
        // Out of range: beyond the point tolerance's resolution, or the range of doubles.
        {base + "LINE 0 0 1e15 0\n", 4, "x2 1e+15 is out of range"},
        {base + "SECTION 1e200 1\n", 4, "section width 1e+200 is out of range"},
        {base + "COLUMN 3 0 1e308\n", 4, "load 1e+308 is out of range"},
        // Many lines through one point: refused before every pair is cut.
        {star, 1 + 4, "more than 64 beam lines meet at (0, 0)"},
        // A grillage on two piles tips about the line through them.
        {"LINE 0 0 6 0\nLINE 0 0 0 6\nPILE 6 0 1e5\nPILE 0 6 1e5\nCOLUMN 0 0 10\n", -1,
         "mechanism: "},
        // A beam group without piles falls; so does a plan with no piles at all.
        {"LINE 0 0 6 0\nLINE 10 0 16 0\nPILE 0 0 1e5\nPILE 6 0 1e5\nCOLUMN 3 0 10\n", -1,
         "mechanism: the structure is not supported against vertical movement at node"},
        {"LINE 0 0 6 0\nCOLUMN 3 0 10\n", -1,
         "mechanism: the structure is not supported against vertical movement at node"},
        // A beam 30 km long in 1 m elements: its bending loses more digits than refinement
        // wins back, and the solution is out of equilibrium.
        {"MESH 1\nLINE 0 0 30000 0\nPILE 0 0 1e5\nPILE 30000 0 1e5\nCOLUMN 7 0 10\n", -1,
         "fails its equilibrium check"},
        // Piles far softer than the beams: a pivot vanishes in rounding, named as the
        // movement left free, and said to be lost in the arithmetic.
        {"SECTION 0.5 1\nMESH 1\nLINE 0 0 20 0\nLINE 0 0 0 20\nPILE 20 0 1e-9\n"
         "PILE 0 20 1e-9\nPILE 0 0 1e-9\nCOLUMN 7 0 10\n",
         -1, "not supported against vertical movement at node 3 (20, 0); its piles would hold it"},
        // So with an element of 10 micrometres between two columns.
        {"LINE 0 0 8 0\nLINE 0 0 0 8\nPILE 0 0 1e5\nPILE 8 0 1e5\nPILE 0 8 1e5\n"
         "COLUMN 4 0 100\nCOLUMN 4.00001 0 100\n",
         -1,
         "vertical movement at node 3 (4.00001, 0); its piles would hold it, but its stiffnesses "
         "are too far apart for the arithmetic (elements 1e-05 to 1 m long"},
    };
    for (const Case& c : cases) {
        try {
            Analyse(Parse(c.text));
            ADD_FAILURE() << "accepted: " << c.text.substr(0, 200);
        } catch (const std::runtime_error& e) {
            const auto* input = dynamic_cast<const pileraft::InputError*>(&e);
            EXPECT_TRUE(input || dynamic_cast<const pileraft::AnalysisError*>(&e)) << e.what();
            EXPECT_EQ(input ? input->m_line : -1, c.line) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

// Stiffnesses far apart but not lost: a warning that names the place, and a solution that
// refinement brings back into equilibrium. A fine mesh of stiff beams loses digits too (force
// equilibrium off by 3e-8 without refinement) but warns of nothing.
TEST(PileRaft, IllConditionedModelsBalanceAndWarnWhereStiffnessesAreFarApart) {
    struct Case {
        const char* text;
        const char* where;  // null: no warning
    } cases[] = {
        {"SECTION 0.5 1\nMESH 0.05\nLINE 0 0 20 0\nLINE 0 0 0 20\nPILE 20 0 1e5\n"
         "PILE 0 20 1e5\nPILE 0 0 1e5\nCOLUMN 7 0 10\n",
         nullptr},
        // Piles far softer than the beams (pivot ratio about 1e-12).
        {"SECTION 0.5 1\nMESH 1\nLINE 0 0 20 0\nLINE 0 0 0 20\nPILE 20 0 1e-5\n"
         "PILE 0 20 1e-5\nPILE 0 0 1e-5\nCOLUMN 7 0 10\n",
         "digits lost in the vertical movement at node 3 (20, 0) (elements 1 to 1 m long"},
        // An element of 0.1 mm between two columns, beside elements of 1 m.
        {"LINE 0 0 8 0\nLINE 0 0 0 8\nPILE 0 0 1e5\nPILE 8 0 1e5\nPILE 0 8 1e5\n"
         "COLUMN 4 0 100\nCOLUMN 4.0001 0 100\n",
         "digits lost in the vertical movement at node 3 (4.0001, 0) (elements 0.0001 to 1 m"},
    };
    for (const Case& c : cases) {
        const Result r = Analyse(Parse(c.text));
        EXPECT_LT(pileraft::ForceError(r.cases[0]), 1e-12) << c.text;
        EXPECT_LT(pileraft::MomentError(r.cases[0]), c.where ? 1e-12 : 1e-10) << c.text;
        ASSERT_EQ(r.warnings.size(), c.where ? 1u : 0u) << c.text;
        if (c.where) {
            EXPECT_EQ(r.warnings[0].rfind("the stiffness matrix is ill-conditioned: about ", 0),
                      0u);
            EXPECT_NE(r.warnings[0].find(c.where), std::string::npos) << r.warnings[0];
        }
    }
}

#ifdef RVN_PILE_RAFT_EXE
// The program itself: exit codes and what it prints (standard error merged into the output;
// it is not a terminal, so there is no progress line).
int RunProgram(const std::string& args, const std::string& input, std::string& output) {
    const std::string cmd = "printf '%b' '" + input + "' | " RVN_PILE_RAFT_EXE " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return -1;
    output.clear();
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        output.append(buf, n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs with their arguments, standard input, exit code, and a text the output holds (at its
// very start where `first`: nothing printed before the message). Then the full report (plain
// newlines); --summary keeps each case's extremes and checks and drops the tables. Progress
// stays off a standard error that is not a terminal; asked for as lines, it names every stage
// in order and the factorisation up to its last row, and the report is the same. The built-in
// plan printed and run again gives the same report.
TEST(PileRaftProgram, ExitCodesMessagesReportsProgressAndPrintedPlan) {
    const struct {
        const char* args;
        const char* input;
        int code;
        const char* text;
        bool first;
    } cases[] = {
        {"-", "LINE 0 0 6 0\\nPILE 0 0 1e5\\nPILE 6 0 1e5\\nCOLUMN 3 0 x\\n", 2,
         "plan line 4: load: 'x' is not a number", false},
        {"- --svg /tmp/rvn-pile-raft-never.svg",
         "LINE 0 0 6 0\\nLINE 0 0 0 6\\nPILE 6 0 1e5\\nPILE 0 6 1e5\\nCOLUMN 0 0 10\\n", 3,
         "rvn-pile-raft: mechanism: ", true},
        // An ill-conditioned model is solved, with a warning on standard error.
        {"- --summary",
         "LINE 0 0 8 0\\nLINE 0 0 0 8\\nPILE 0 0 1e5\\nPILE 8 0 1e5\\nPILE 0 8 1e5\\n"
         "COLUMN 4 0 100\\nCOLUMN 4.0001 0 100\\n",
         0, "rvn-pile-raft: warning: the stiffness matrix is ill-conditioned: ", true},
        {"--svg /nonexistent-dir/plan.svg", "", 1, "", false},
        {"--case 4", "", 2, "", false},
        {"--bogus", "", 2, "", false},
        {"--help", "", 0, "Plan format", false},
        {"--version", "", 0, "rvn-pile-raft 1.", true},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(RunProgram(c.args, c.input, out), c.code) << c.args << "\n" << out;
        const size_t at = out.find(c.text);
        EXPECT_TRUE(c.first ? at == 0 : at != std::string::npos) << c.args << "\n" << out;
    }
    EXPECT_EQ(std::fopen("/tmp/rvn-pile-raft-never.svg", "r"), nullptr);  // refused: not written
    std::string full, summary, logged, printed, again;
    ASSERT_EQ(RunProgram("", "", full), 0);
    EXPECT_NE(full.find("Load case 1: dead"), std::string::npos);
    EXPECT_NE(full.find("equilibrium of moment"), std::string::npos);
    EXPECT_EQ(full.find('\r'), std::string::npos);
    ASSERT_EQ(RunProgram("--summary", "", summary), 0);
    EXPECT_EQ(Count(summary, "largest moment"), 3u);
    EXPECT_EQ(Count(summary, "equilibrium of force"), 3u);
    EXPECT_EQ(summary.find("reaction kN"), std::string::npos);
    EXPECT_LT(summary.size() * 10, full.size());
    EXPECT_EQ(summary.find("rvn-pile-raft: split"), std::string::npos);
    setenv("RVN_PILE_RAFT_PROGRESS", "lines", 1);
    const int code = RunProgram("--summary", "", logged);
    unsetenv("RVN_PILE_RAFT_PROGRESS");
    ASSERT_EQ(code, 0);
    size_t at = 0;
    for (const char* line :
         {"split", "node merge and elements", "renumbering", "panels", "loads", "supports",
          "assembly", "factorisation", "factorisation 100%", "refinement", "results"}) {
        at = logged.find(std::string("rvn-pile-raft: ") + line + "\n", at);
        ASSERT_NE(at, std::string::npos) << line << " missing or out of order:\n" << logged;
    }
    ASSERT_GT(logged.size(), summary.size());
    EXPECT_EQ(logged.substr(logged.size() - summary.size()), summary);
    ASSERT_EQ(RunProgram("--print-plan", "", printed), 0);
    EXPECT_NE(printed.find("CASE dead imposed wind"), std::string::npos);
    std::string escaped;
    for (char c : printed)
        escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
    ASSERT_EQ(RunProgram("-", escaped, again), 0);
    EXPECT_EQ(again, full);
}
#endif

}  // namespace
