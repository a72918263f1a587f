#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "BaseCommon/engineering/PileSoilStiff.h"

using Vec = std::vector<double>;
static const Vec kUnitSquare = {0, 0, 1, 0, 1, 1, 0, 1}, kLine3 = {0, 0, 10, 0, 5, 0};
static const Vec kLine4 = {0, 0, 9, 0, 3, 0, 6, 0};

// Spreads a unit spring standing at (x, y) over n nodes and checks the shares against want
// when given; entries the call must not write keep the sentinel 99.
static Vec Spread(int kind, const Vec& nodes, size_t n, double x, double y, const Vec& want = {}) {
    Vec r(n, 99.0);
    const double p[2] = {x, y};
    EXPECT_EQ(PileStiffEq(kind, static_cast<int>(n), nodes.data(), p, 1.0, r.data()), kind < 3);
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(r[i], want[i], 1e-12) << "node " << i;
    return r;
}

TEST(PileStiffEq, NaturalCoordinateSearchesAndPartitionOfUnity) {
    // name, element kind, nodes, point, nodal shares
    const std::tuple<const char*, int, Vec, double, double, Vec> cases[] = {
        {"single node", 0, {0, 0}, 3, 3, {1, 99}},
        {"x spread of 1e-6 is vertical", 1, {0, 0, 1e-6, 10}, 0, 7.5, {0.25, 0.75}},
        {"x spread of 2e-6 is not", 1, {0, 0, 2e-6, 10}, 1e-6, 7.5, {0.5, 0.5}},
        {"3-node line snaps to xi = -0.5", 1, kLine3, 2.3, 0, {0.375, -0.125, 0.75}},
        {"4-node line stops at xi = 1", 1, kLine4, 20, 0, {0, 1, 0, 0}},
        // No sample comes within the starting squared distance 1e10: xi = -1.1.
        {"3-node line, far point", 1, kLine3, 1e6, 0, {1.155, 0.055, -0.21}},
        // Every sample maps to the same point: the first (xi = -1) wins the tie.
        {"3-node line, all samples tie", 1, Vec(6, 0.0), 1, 1, {1, 0, 0}},
        {"triangle", 2, {0, 0, 1, 0, 0, 1}, 0.25, 0.25, {0.5, 0.25, 0.25}},
        // The grid runs on to 2.0 past the +1 sides but starts at -1.
        {"square, past the +xi side", 2, kUnitSquare, 1.4, 0.5, {-0.2, 0.7, 0.7, -0.2}},
        {"square, past the -xi side", 2, kUnitSquare, -0.2, 0.5, {0.5, 0, 0, 0.5}},
        // Only node 1 is off the origin, so every sample with xi = 1 or eta = 1 hits the point;
        // the first in xi-major order is (-1, 1), which is all node 4's.
        {"quadrilateral tie", 2, {1, 0, 0, 0, 0, 0, 0, 0}, 0, 0, {0, 0, 0, 1}},
        {"5-node line", 1, Vec(10, 1.0), 1, 1, Vec(5, 0.0)},
        {"5-node plane", 2, Vec(10, 1.0), 1, 1, Vec(5, 0.0)},
    };
    for (const auto& [name, kind, nodes, px, py, want] : cases) {
        SCOPED_TRACE(name);
        Spread(kind, nodes, want.size(), px, py, want);
    }
    EXPECT_EQ(Spread(3, kUnitSquare, 4, 0.5, 0.5), Vec(4, 99.0));  // an unknown kind: 0, nothing
    // The nodal shares add up to the whole spring wherever the point lies, whichever search
    // found the natural coordinates.
    const std::pair<int, Vec> elems[] = {{2, {0, 0, 4, 1, 2, 3}},
                                         {2, {0, 0, 4, 0.5, 5, 3, -1, 2}},
                                         {1, {0, 0, 6, 2, 3, 2}},
                                         {1, {0, 0, 9, 0, 2, 1, 6, 1}}};
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-1.0, 5.0);
    for (const auto& [kind, nodes] : elems)
        for (int t = 0; t < 50; ++t) {
            const Vec r = Spread(kind, nodes, nodes.size() / 2, u(rng), u(rng));
            EXPECT_NEAR(std::accumulate(r.begin(), r.end(), 0.0), 1.0, 1e-12) << kind;
        }
}

// The total spring (length between the end nodes 1 and 2, or area) at the node average;
// reactions summed back in order.
TEST(SoilStiffEq, TotalSpringAtTheNodeAverage) {
    const std::tuple<int, Vec, Vec> cases[] = {
        {1, kLine3, {0, 0, 10}},
        {1, kLine4, {-9. / 16, -9. / 16, 81. / 16, 81. / 16}},
        {2, {0, 0, 2, 0, 2, 2, 0, 2}, {1, 1, 1, 1}},
        {2, {0, 0, 3, 0, 0, 3}, {1.5, 1.5, 1.5}},
        {7, {0, 0, 4, 0}, {99, 99}},
    };
    for (const auto& [kind, nodes, want] : cases) {
        Vec r(want.size(), 99.0);
        EXPECT_EQ(SoilStiffEq(kind, static_cast<int>(r.size()), nodes.data(), 1.0, r.data()), 1);
        for (size_t i = 0; i < want.size(); ++i)
            EXPECT_NEAR(r[i], want[i], 1e-12) << "kind " << kind << ", node " << i;
    }
    const double a[] = {1, 2}, b[] = {3, 4};
    double pile = 99, soil = 99;
    EXPECT_EQ(CalcuPileR(2, a, b, &pile) + CalcuSoilR(2, a, b, 2.0, &soil), 2);
    EXPECT_EQ(std::make_pair(pile, soil), std::make_pair(11.0, 5.5));
}
