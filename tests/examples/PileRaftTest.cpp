#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numeric>
#include <sstream>
#include <string>

#include "PileRaft.h"

namespace {

using pileraft::Analyse;
using pileraft::Plan;
using pileraft::ReadPlan;
using pileraft::Result;

Plan Parse(const std::string& text) {
    std::istringstream in(text);
    return ReadPlan(in);
}

double RelErr(double got, double want) {
    return std::fabs(got - want) / std::fabs(want);
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
        EXPECT_LT(RelErr(r.piles[0].reaction[0], P / 2), 1e-9) << mesh;
        EXPECT_LT(RelErr(r.piles[1].reaction[0], P / 2), 1e-9) << mesh;
        const double expected = P / (2 * k) + P * L * L * L / (48 * r.E * r.I);
        EXPECT_LT(RelErr(r.cases[0].maxDeflection, expected), 1e-9) << mesh;
        EXPECT_NEAR(r.nodes[r.cases[0].maxNode].x, 4.0, 1e-12);
    }
}

// Mirror-symmetric plan and loads give mirror-symmetric reactions.
TEST(PileRaft, SymmetricPlanGivesSymmetricReactions) {
    const Result r = Analyse(Parse(
        "MESH 1\nLINE 0 0 12 0\nLINE 0 6 12 6\nLINE 0 0 0 6\nLINE 6 0 6 6\nLINE 12 0 12 6\n"
        "PILE 0 0 1e5\nPILE 12 0 1e5\nPILE 0 6 1e5\nPILE 12 6 1e5\nPILE 6 0 3e5\nPILE 6 6 3e5\n"
        "COLUMN 3 0 100\nCOLUMN 9 0 100\nCOLUMN 3 6 250\nCOLUMN 9 6 250\nAREA 20\n"));
    const auto& R = r.piles;
    EXPECT_LT(RelErr(R[0].reaction[0], R[1].reaction[0]), 1e-9);  // about x = 6
    EXPECT_LT(RelErr(R[2].reaction[0], R[3].reaction[0]), 1e-9);
    EXPECT_GT(R[2].reaction[0], R[0].reaction[0]);  // the heavier side takes more
    EXPECT_EQ(r.panels.size(), 2u);
    for (const pileraft::Panel& p : r.panels) {
        EXPECT_NEAR(p.area, 36.0, 1e-9);
        EXPECT_NEAR(p.girth, 24.0, 1e-9);
    }
}

// Every load case balances: the piles carry exactly the column and area loads, on the
// built-in plan (crossing lines, a brace, a cantilever, a column inside a panel).
TEST(PileRaft, EveryLoadCaseOfTheDefaultPlanBalances) {
    const Plan plan = Parse(pileraft::kDefaultPlan);
    const Result r = Analyse(plan);
    ASSERT_EQ(r.cases.size(), 3u);
    double panelArea = 0.0;
    for (const pileraft::Panel& p : r.panels)
        panelArea += p.area;
    EXPECT_NEAR(panelArea, 18.0 * 15.0, 1e-9);  // the brace splits a bay; the stub adds none
    EXPECT_EQ(r.panels.size(), 7u);
    for (size_t lc = 0; lc < r.cases.size(); ++lc) {
        double columns = 0.0;
        for (const pileraft::ColumnInput& c : plan.columns)
            columns += c.loads[lc];
        const double expected = columns + plan.areaLoads[lc] * panelArea;
        const double gross = r.cases[lc].grossLoad;  // case 3 (wind) sums to zero
        EXPECT_LT(std::fabs(r.cases[lc].totalLoad - expected), 1e-12 * gross) << lc;
        EXPECT_LT(std::fabs(r.cases[lc].totalReaction - expected), 1e-9 * gross) << lc;
    }
    EXPECT_LT(r.profileSolved, r.profileInput);
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(PileRaft, PictureShowsEveryPanelElementAndPile) {
    const Plan plan = Parse(pileraft::kDefaultPlan);
    const Result r = Analyse(plan);
    std::ostringstream svg;
    pileraft::WriteSvg(svg, plan, r, 2);
    const std::string s = svg.str();
    EXPECT_EQ(s.rfind("<svg ", 0), 0u);
    EXPECT_EQ(s.substr(s.size() - 7), "</svg>\n");
    EXPECT_EQ(Count(s, "<polygon "), r.panels.size());
    EXPECT_EQ(Count(s, "<line "), r.elements.size());
    EXPECT_EQ(Count(s, "<circle "), plan.piles.size());
    EXPECT_NE(s.find("Load case 3"), std::string::npos);
}

// More unknowns than a CMatrix is constructed with (4096): the right-hand side grows by rows.
TEST(PileRaft, LargeGridBalances) {
    std::ostringstream p;
    const int n = 22;
    p << "MESH 3\nAREA 10\n";
    for (int i = 0; i <= n; ++i) {
        p << "LINE 0 " << 6 * i << " " << 6 * n << " " << 6 * i << "\n";
        p << "LINE " << 6 * i << " 0 " << 6 * i << " " << 6 * n << "\n";
        for (int j = 0; j <= n; ++j)
            p << "PILE " << 6 * i << " " << 6 * j << " 1e5\n";
    }
    const Result r = Analyse(Parse(p.str()));
    EXPECT_GT(r.nDof, 4096);
    EXPECT_EQ(r.panels.size(), static_cast<size_t>(n * n));
    EXPECT_LT(std::fabs(r.cases[0].totalReaction - 10.0 * 36.0 * n * n),
              1e-9 * r.cases[0].grossLoad);
}

TEST(PileRaft, MalformedPlansNameTheirLine) {
    const std::string base = "LINE 0 0 6 0\nPILE 0 0 1e5\nPILE 6 0 1e5\n";
    struct Case {
        std::string text;
        int line;
        const char* message;
    } cases[] = {
        {base + "COLUMN 3 0 10\nBEAM 0 0 1 1\n", 5, "unknown keyword 'BEAM'"},
        {base + "COLUMN 3 0\n", 4, "COLUMN takes x y and one load per case"},
        {base + "COLUMN 3 0 abc\n", 4, "'abc' is not a number"},
        {base + "COLUMN 3 0 1.5.2\n", 4, "'1.5.2' is not a number"},
        {base + "COLUMN 3 0 10 20\nAREA 5\n", 5, "1 load values, but line 4 gives 2"},
        {base + "PILE 3 1 1e5\nCOLUMN 3 0 10\n", 4, "pile at (3, 1) is not on any beam"},
        {base + "SECTION 0.4\nCOLUMN 3 0 10\n", 4, "SECTION takes 2 values (b h), found 1"},
        {base + "PILE 2 0 -5\n", 4, "pile stiffness must be positive"},
        {base + "CONCRETE 90\n", 4, "concrete grade must lie between C15 and C80"},
        {base + "LINE 2 0 4 0\nCOLUMN 3 0 10\n", 4, "overlaps the beam of line 1"},
        {base + "COLUMN 3 2 10\n", 4, "column at (3, 2) is on no beam and in no panel"},
        {base, 0, "no load case"},
        {base + "MESH 1e-6\nCOLUMN 3 0 10\n", 0, "MESH is too fine"},
    };
    for (const Case& c : cases) {
        try {
            Analyse(Parse(c.text));
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const pileraft::InputError& e) {
            EXPECT_EQ(e.m_line, c.line) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(PileRaft, MechanismsAreRefused) {
    // A grillage on two piles tips about the line through them.
    EXPECT_THROW(Analyse(Parse("LINE 0 0 6 0\nLINE 0 0 0 6\nPILE 6 0 1e5\nPILE 0 6 1e5\n"
                               "COLUMN 0 0 10\n")),
                 pileraft::AnalysisError);
    // A beam group without piles falls.
    EXPECT_THROW(Analyse(Parse("LINE 0 0 6 0\nLINE 10 0 16 0\nPILE 0 0 1e5\nPILE 6 0 1e5\n"
                               "COLUMN 3 0 10\n")),
                 pileraft::AnalysisError);
}

#ifdef RVN_PILE_RAFT_EXE
// The program itself: exit codes and what it prints.
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

TEST(PileRaftProgram, ExitCodesAndMessages) {
    std::string out;
    EXPECT_EQ(RunProgram("", "", out), 0);
    EXPECT_NE(out.find("of the gross load"), std::string::npos);
    EXPECT_EQ(RunProgram("-", "LINE 0 0 6 0\\nPILE 0 0 1e5\\nPILE 6 0 1e5\\nCOLUMN 3 0 x\\n", out),
              2);
    EXPECT_NE(out.find("plan line 4: load: 'x' is not a number"), std::string::npos) << out;
    EXPECT_EQ(RunProgram("--svg /nonexistent-dir/plan.svg", "", out), 1);
    EXPECT_EQ(RunProgram("--bogus", "", out), 2);
    EXPECT_EQ(RunProgram("--help", "", out), 0);
    EXPECT_NE(out.find("Plan format"), std::string::npos);
}
#endif

}  // namespace
