#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "BaseCommon/sparse/CSparseMatrix.h"
#include "BaseCommon/sparse/SkylineNumbering.h"

using rvn::CouplingGraph;
using rvn::PlanSkyline;
using rvn::SkylineLayout;
using rvn::SkylineOrdering;
using rvn::SkylineStatus;

namespace {

// A model described twice: as a CouplingGraph and as plain element lists, so that the profile
// can be recomputed unknown by unknown without the library's node-level shortcut.
struct Model {
    std::vector<int> unknowns;               // per node
    std::vector<std::vector<int>> elements;  // nodes per element

    CouplingGraph Graph() const {
        CouplingGraph g(unknowns);
        for (const auto& e : elements)
            EXPECT_TRUE(g.AddElement(e.data(), static_cast<int>(e.size())));
        return g;
    }
};

// Random meshes: elements of 1 to 4 nodes drawn near each other (so the graph looks like a
// mesh), in `parts` node ranges that never share an element, plus nodes left uncoupled.
Model RandomModel(unsigned seed, int nNodes, int parts, int maxUnknowns, int nElements) {
    std::mt19937 rng(seed);
    Model m;
    std::uniform_int_distribution<int> u(0, maxUnknowns);
    for (int v = 0; v < nNodes; ++v)
        m.unknowns.push_back(std::max(1, u(rng)) - (v % 7 == 3 && maxUnknowns > 1 ? 1 : 0));
    const int partSize = nNodes / parts;
    for (int e = 0; e < nElements; ++e) {
        const int part = e % parts;
        // The last node of every part stays uncoupled.
        const int lo = part * partSize, hi = lo + partSize - 2;
        if (hi < lo)
            continue;
        std::uniform_int_distribution<int> at(lo, hi), size(1, 4), near(-5, 5);
        const int centre = at(rng);
        std::vector<int> nodes;
        for (int k = size(rng); k > 0; --k)
            nodes.push_back(std::clamp(centre + near(rng), lo, hi));
        m.elements.push_back(nodes);
    }
    return m;
}

std::vector<int> IdentityOf(int n) {
    std::vector<int> v(n);
    std::iota(v.begin(), v.end(), 0);
    return v;
}

// Diagonal addresses of the numbering newUnknown, from the coupled pairs of unknowns.
std::vector<long long> BruteForceDiag(const Model& m, const std::vector<int>& newUnknown) {
    std::vector<int> first(m.unknowns.size() + 1, 0);
    std::partial_sum(m.unknowns.begin(), m.unknowns.end(), first.begin() + 1);
    std::vector<int> lowest(IdentityOf(first.back()));
    auto coupleNodes = [&](int a, int b) {
        for (int i = first[a]; i < first[a + 1]; ++i)
            for (int j = first[b]; j < first[b + 1]; ++j) {
                const int ni = newUnknown[i], nj = newUnknown[j];
                lowest[ni] = std::min(lowest[ni], nj);
                lowest[nj] = std::min(lowest[nj], ni);
            }
    };
    for (int v = 0; v < static_cast<int>(m.unknowns.size()); ++v)
        coupleNodes(v, v);  // a node's own unknowns are coupled
    for (const auto& e : m.elements)
        for (int a : e)
            for (int b : e)
                coupleNodes(a, b);
    std::vector<long long> diag;
    long long d = -1;
    for (int r = 0; r < first.back(); ++r)
        diag.push_back(d += r - lowest[r] + 1);
    return diag;
}

long long Band(const std::vector<long long>& diag) {
    long long band = 0;
    for (size_t r = 1; r < diag.size(); ++r)
        band = std::max(band, diag[r] - diag[r - 1] - 1);
    return band;
}

bool IsPermutation(const std::vector<int>& v) {
    const std::vector<int> all = IdentityOf(static_cast<int>(v.size()));
    return std::is_permutation(v.begin(), v.end(), all.begin());
}

const SkylineOrdering kOrderings[] = {SkylineOrdering::Given, SkylineOrdering::ReverseCuthillMcKee,
                                      SkylineOrdering::Sloan, SkylineOrdering::Smallest,
                                      SkylineOrdering::Fastest};

}  // namespace

// Every ordering gives a permutation that keeps each node's unknowns together and in order,
// and diagonal addresses, profiles and bands equal to those counted unknown by unknown; the
// smallest profile is never above the given order's nor reverse Cuthill-McKee's.
TEST(SkylineNumbering, DiagMatchesBruteForceOnRandomMeshes) {
    const struct {
        const char* name;
        Model model;
    } cases[] = {
        {"one_part_3dof", RandomModel(1, 60, 1, 3, 120)},
        {"three_parts_mixed_dofs", RandomModel(2, 90, 3, 6, 150)},
        {"sparse_many_isolated", RandomModel(3, 80, 8, 2, 20)},
        {"one_unknown_per_node", RandomModel(4, 200, 2, 1, 400)},
        {"single_element", Model{{2, 3, 1}, {{2, 0, 1}}}},
        {"nothing_coupled", Model{{1, 1, 1, 1}, {}}},
        {"node_without_unknowns_between_two", Model{{2, 0, 2}, {{0, 1}, {1, 2}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CouplingGraph g = c.model.Graph();
        const int n = g.NodeCount();
        const std::vector<long long> given =
            BruteForceDiag(c.model, IdentityOf(static_cast<int>(g.UnknownCount())));
        long long profile[5] = {};
        for (int o = 0; o < 5; ++o) {
            SCOPED_TRACE(rvn::SkylineOrderingName(kOrderings[o]));
            const SkylineLayout L = PlanSkyline(g, kOrderings[o]);
            ASSERT_EQ(L.status, SkylineStatus::Ok);
            ASSERT_EQ(L.unknownCount, g.UnknownCount());
            ASSERT_TRUE(IsPermutation(L.nodePosition));
            ASSERT_TRUE(IsPermutation(L.newUnknown));
            for (int v = 0, old = 0; v < n; ++v)
                for (int j = 0; j < g.UnknownsOf(v); ++j, ++old)
                    ASSERT_EQ(L.newUnknown[old], L.Unknown(v, j));
            const std::vector<long long> brute = BruteForceDiag(c.model, L.newUnknown);
            ASSERT_EQ(std::vector<long long>(L.diag.begin(), L.diag.end()), brute);
            EXPECT_EQ(L.profileAfter, brute.empty() ? 0 : brute.back() + 1);
            EXPECT_EQ(L.bandAfter, Band(brute));
            EXPECT_EQ(L.profileBefore, given.empty() ? 0 : given.back() + 1);
            EXPECT_EQ(L.bandBefore, Band(given));
            EXPECT_EQ(rvn::SkylineProfile(g, L.nodePosition), L.profileAfter);
            profile[o] = L.profileAfter;
        }
        EXPECT_EQ(profile[3], std::min({profile[0], profile[1], profile[2]}));
        EXPECT_LE(profile[4], profile[1]);
    }
}

// Solving in the new numbering and reading each unknown back at its new number gives the
// solution of the system in the original numbering.
TEST(SkylineNumbering, SolutionMappedBackEqualsTheOriginalSystemsSolution) {
    const Model m = RandomModel(7, 70, 2, 3, 140);
    const CouplingGraph g = m.Graph();
    const SkylineLayout given = PlanSkyline(g, SkylineOrdering::Given);
    const SkylineLayout best = PlanSkyline(g);
    ASSERT_EQ(best.status, SkylineStatus::Ok);
    const int n = best.unknownCount;

    // An element "stiffness" coupling all of its unknowns, made diagonally dominant.
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> val(-1.0, 1.0);
    CSparseMatrix A(n, given.diag.data()), B(n, best.diag.data());
    A = 0.0;
    B = 0.0;
    auto add = [&](int i, int j, double v) {
        if (i >= j) {
            A(i, j) += v;
            B(best.newUnknown[i], best.newUnknown[j]) += v;
        }
    };
    std::vector<int> first(m.unknowns.size() + 1, 0);
    std::partial_sum(m.unknowns.begin(), m.unknowns.end(), first.begin() + 1);
    for (int i = 0; i < n; ++i)
        add(i, i, 40.0);
    for (const auto& e : m.elements)
        for (int a : e)
            for (int b : e)
                for (int i = first[a]; i < first[a + 1]; ++i)
                    for (int j = first[b]; j < first[b + 1]; ++j)
                        if (i > j)
                            add(i, j, 0.1 * val(rng));
    std::vector<double> x(n), y(n);
    for (int i = 0; i < n; ++i)
        y[best.newUnknown[i]] = x[i] = std::sin(1.0 + i);
    ASSERT_EQ(A.LdltSolve(n, x.data()), 1);
    ASSERT_EQ(B.LdltSolve(n, y.data()), 1);
    for (int i = 0; i < n; ++i)
        EXPECT_NEAR(y[best.newUnknown[i]], x[i], 1e-12);
}

// A structured mesh: both orderings find the band of the short side, and the smallest profile
// of a long strip is that of numbering across it (2 x 200 nodes, one unknown each).
TEST(SkylineNumbering, LongStripIsNumberedAcross) {
    Model m;
    const int len = 200;
    m.unknowns.assign(2 * len, 1);
    // Nodes numbered along the strip: first one edge, then the other (band len in that order).
    for (int i = 0; i + 1 < len; ++i)
        m.elements.push_back({i, i + 1, len + i, len + i + 1});
    const SkylineLayout L = PlanSkyline(m.Graph());
    EXPECT_EQ(L.bandBefore, len + 1);
    EXPECT_EQ(L.bandAfter, 3);
    EXPECT_LT(L.profileAfter, 2 * len * 4);
}

// A grillage of 12 x 12 bays, each bay two beam elements, nodes read line by line: Sloan's
// heavy-degree numbering stores far less than reverse Cuthill-McKee, but leaves nodes behind the
// front; Smallest takes it, Fastest keeps the steady numbering.
TEST(SkylineNumbering, GrillageSmallestStoresLessFastestKeepsTheSteadyFront) {
    const int bays = 12, lines = bays + 1, along = 2 * bays + 1;
    CouplingGraph g(lines * along + lines * bays, 3);
    auto xNode = [&](int line, int k) { return line * along + k; };
    auto yNode = [&](int line, int k) {
        return k % 2 == 0 ? xNode(k / 2, 2 * line) : lines * along + line * bays + k / 2;
    };
    for (int line = 0; line < lines; ++line)
        for (int k = 0; k + 1 < along; ++k) {
            ASSERT_TRUE(g.AddCoupling(xNode(line, k), xNode(line, k + 1)));
            ASSERT_TRUE(g.AddCoupling(yNode(line, k), yNode(line, k + 1)));
        }
    const SkylineLayout rcm = PlanSkyline(g, SkylineOrdering::ReverseCuthillMcKee);
    const SkylineLayout smallest = PlanSkyline(g, SkylineOrdering::Smallest);
    const SkylineLayout fastest = PlanSkyline(g);
    EXPECT_EQ(smallest.ordering, SkylineOrdering::Sloan);
    EXPECT_LT(smallest.profileAfter, 0.8 * rcm.profileAfter);
    EXPECT_GT(smallest.bandAfter, 2 * rcm.bandAfter);
    EXPECT_LE(fastest.profileAfter, rcm.profileAfter);
    EXPECT_LT(fastest.bandAfter, smallest.bandAfter);
    EXPECT_LT(fastest.profileAfter, fastest.profileBefore / 5);
}

// The refusals: profiles and unknown counts an int address cannot reach are reported with
// their size and no addresses; out-of-range nodes are not added.
TEST(SkylineNumbering, RefusesWhatAnIntAddressCannotReach) {
    // A star in the given order: row i reaches back to node 0, so the profile is n(n+1)/2,
    // above 2^31 - 1 for n = 70 000; reverse Cuthill-McKee numbers the centre last.
    const int n = 70000;
    CouplingGraph star(n, 1);
    for (int v = 1; v < n; ++v)
        ASSERT_TRUE(star.AddCoupling(0, v));
    const SkylineLayout given = PlanSkyline(star, SkylineOrdering::Given);
    EXPECT_EQ(given.status, SkylineStatus::TooLarge);
    EXPECT_EQ(given.profileAfter, 70000LL * 70001 / 2);
    EXPECT_TRUE(given.diag.empty());
    EXPECT_NE(given.message.find("2450035000"), std::string::npos) << given.message;
    const SkylineLayout best = PlanSkyline(star);
    EXPECT_EQ(best.status, SkylineStatus::Ok);
    EXPECT_EQ(best.profileAfter, 2LL * n - 1);

    const CouplingGraph huge(3, 1000000000);
    const SkylineLayout h = PlanSkyline(huge);
    EXPECT_EQ(h.status, SkylineStatus::TooLarge);
    EXPECT_NE(h.message.find("3000000000 unknowns"), std::string::npos) << h.message;

    CouplingGraph g(3, 2);
    EXPECT_FALSE(g.AddElement({0, 3}));
    EXPECT_FALSE(g.AddCoupling(-1, 1));
    EXPECT_TRUE(g.AddElement({2, 2, 1}));
    EXPECT_EQ(g.ElementStart().size(), 2u);
    EXPECT_EQ(rvn::SkylineProfile(g, {0, 1, 1}), -1);  // not a permutation
}
