#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "BaseCommon/engineering/PileSoilStiff.h"

namespace {

using Vec = std::vector<double>;
const Vec kSquare = {0, 0, 1, 0, 1, 1, 0, 1}, kLine3 = {0, 0, 10, 0, 5, 0};
const Vec kLine4 = {0, 0, 9, 0, 3, 0, 6, 0};

// Fills the nodal result with a sentinel, so entries the call must not write show as 99.
Vec Spread(int kind, const Vec& nodes, size_t n, double px, double py, int status = 1) {
    Vec r(n, 99.0);
    const double p[2] = {px, py};
    EXPECT_EQ(PileStiffEq(kind, static_cast<int>(n), nodes.data(), p, 1.0, r.data()), status);
    return r;
}

void ExpectNear(const Vec& got, const Vec& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(got[i], want[i], 1e-12) << "node " << i;
}

}  // namespace

TEST(PileStiffEq, NaturalCoordinateSearches) {
    // name, element kind, nodes, point, nodal shares
    const std::tuple<const char*, int, Vec, double, double, Vec> cases[] = {
        {"single node", 0, {0, 0}, 3, 3, {1, 99}},
        {"2-node line", 1, {0, 0, 10, 0}, 2.5, 0, {0.75, 0.25}},
        {"x spread of 1e-6 is vertical", 1, {0, 0, 1e-6, 10}, 0, 7.5, {0.25, 0.75}},
        {"x spread of 2e-6 is not", 1, {0, 0, 2e-6, 10}, 1e-6, 7.5, {0.5, 0.5}},
        {"3-node line, middle", 1, kLine3, 5, 0, {0, 0, 1}},
        {"3-node line snaps to xi = -0.5", 1, kLine3, 2.3, 0, {0.375, -0.125, 0.75}},
        {"4-node line stops at xi = 1", 1, kLine4, 20, 0, {0, 1, 0, 0}},
        // No sample comes within the starting squared distance 1e10: xi = -1.1.
        {"3-node line, far point", 1, kLine3, 1e6, 0, {1.155, 0.055, -0.21}},
        // Every sample maps to the same point: the first (xi = -1) wins the tie.
        {"3-node line, all samples tie", 1, Vec(6, 0.0), 1, 1, {1, 0, 0}},
        {"triangle", 2, {0, 0, 1, 0, 0, 1}, 0.25, 0.25, {0.5, 0.25, 0.25}},
        {"square, centre", 2, kSquare, 0.5, 0.5, {0.25, 0.25, 0.25, 0.25}},
        // The grid runs on to 2.0 past the +1 sides but starts at -1.
        {"square, past the +xi side", 2, kSquare, 1.4, 0.5, {-0.2, 0.7, 0.7, -0.2}},
        {"square, past the -xi side", 2, kSquare, -0.2, 0.5, {0.5, 0, 0, 0.5}},
        // Only node 1 is off the origin, so every sample with xi = 1 or eta = 1 hits the point;
        // the first in xi-major order is (-1, 1), which is all node 4's.
        {"quadrilateral tie", 2, {1, 0, 0, 0, 0, 0, 0, 0}, 0, 0, {0, 0, 0, 1}},
        {"5-node line", 1, Vec(10, 1.0), 1, 1, Vec(5, 0.0)},
        {"5-node plane", 2, Vec(10, 1.0), 1, 1, Vec(5, 0.0)},
    };
    for (const auto& [name, kind, nodes, px, py, want] : cases) {
        SCOPED_TRACE(name);
        ExpectNear(Spread(kind, nodes, want.size(), px, py), want);
    }
    EXPECT_EQ(Spread(3, kSquare, 4, 0.5, 0.5, 0), Vec(4, 99.0));
}

// Inside an element the nodal shares add up to the whole spring, whichever search found the
// natural coordinates.
TEST(PileStiffEq, PartitionOfUnityInsideElements) {
    const std::pair<int, Vec> elems[] = {{2, {0, 0, 4, 1, 2, 3}},
                                         {2, {0, 0, 4, 0.5, 5, 3, -1, 2}},
                                         {1, {0, 0, 6, 2, 3, 2}},
                                         {1, {0, 0, 9, 0, 2, 1, 6, 1}}};
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (const auto& [kind, nodes] : elems) {
        const size_t n = nodes.size() / 2;
        for (int t = 0; t < 50; ++t) {
            // A convex combination of the nodes lies inside the element.
            Vec w(n);
            double sw = 0, px = 0, py = 0;
            for (size_t i = 0; i < n; ++i)
                sw += (w[i] = u(rng));
            for (size_t i = 0; i < n; ++i) {
                px += w[i] / sw * nodes[2 * i];
                py += w[i] / sw * nodes[2 * i + 1];
            }
            const Vec r = Spread(kind, nodes, n, px, py);
            EXPECT_NEAR(std::accumulate(r.begin(), r.end(), 0.0), 1.0, 1e-12);
        }
    }
}

TEST(SoilStiffEq, TotalSpringAtTheNodeAverage) {
    const std::tuple<int, Vec, Vec> cases[] = {
        {1, {0, 0, 4, 0}, {2, 2}},
        // The length runs between the end nodes 1 and 2, not to the last node listed.
        {1, kLine3, {0, 0, 10}},
        {1, kLine4, {-9. / 16, -9. / 16, 81. / 16, 81. / 16}},
        {2, {0, 0, 2, 0, 2, 2, 0, 2}, {1, 1, 1, 1}},
        {2, {0, 0, 3, 0, 0, 3}, {1.5, 1.5, 1.5}},
        {7, {0, 0, 4, 0}, {99, 99}},
    };
    for (const auto& [kind, nodes, want] : cases) {
        Vec r(want.size(), 99.0);
        EXPECT_EQ(SoilStiffEq(kind, static_cast<int>(r.size()), nodes.data(), 1.0, r.data()), 1);
        ExpectNear(r, want);
    }
    const double a[] = {1, 2}, b[] = {3, 4};
    double sum = 99;
    EXPECT_EQ(CalcuPileR(2, a, b, &sum), 1);
    EXPECT_EQ(sum, 11.0);
    EXPECT_EQ(CalcuSoilR(2, a, b, 2.0, &sum), 1);
    EXPECT_EQ(sum, 5.5);
}
