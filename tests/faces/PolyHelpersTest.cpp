#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "BaseCommon/faces/PolyHelpers.h"

TEST(PolyHelpers, CalcuArea_AbsoluteFanFromCornerZero) {
    const std::pair<std::vector<double>, double> cases[] = {
        {{0, 0, 0, 1, 1, 1, 1, 0}, 1.0},  // clockwise
        {{0, 0, 4, 0, 0, 3}, 6.0},
        // An L from a corner that does not see it whole: the backward fan triangle is added,
        // not subtracted (true area 3).
        {{2, 0, 2, 1, 1, 1, 1, 2, 0, 2, 0, 0}, 4.0},
        {{0, 0, 1, 0}, -1.0},
    };
    for (const auto& [xy, area] : cases)
        EXPECT_DOUBLE_EQ(CalcuArea(xy.data(), static_cast<int>(xy.size() / 2)), area);
}

TEST(PolyHelpers, Poly4_DiagonalCrossingAndPerimeters) {
    const double r2 = std::sqrt(2.0);
    const struct {
        double x[4], y[4], z[4];
        double cx, cy, cz, girth, tri0;
    } cases[] = {
        // A kite: the diagonals cross at (1, 0), off the centroid.
        {{0, 1, 3, 1}, {0, -1, 0, 1}, {2, 2, 2, 2}, 1, 0, 2, 2 * r2 + 2 * std::sqrt(5.0), 2 + r2},
        // Parallel diagonals: the crossing stays at the origin.
        {{0, 1, 1, 2}, {0, 0, 1, 1}, {0, 0, 0, 0}, 0, 0, 0, 3 + std::sqrt(5.0), 2},
    };
    for (const auto& c : cases) {
        double cx = -7, cy = -7, cz = -7, girth = -7, tri[4] = {-7, -7, -7, -7};
        Poly4_Cross(c.x, c.y, c.z, &cx, &cy, &cz);
        Poly4_Girth(c.x, c.y, c.z, &girth, tri);
        EXPECT_LT(std::hypot(cx - c.cx, cy - c.cy, cz - c.cz), 1e-12)
            << cx << " " << cy << " " << cz;
        EXPECT_DOUBLE_EQ(girth, c.girth);
        EXPECT_DOUBLE_EQ(tri[0], c.tri0);
    }
    double girth = -7, tri[4];
    Poly4_Girth(cases[0].x, nullptr, cases[0].z, &girth, tri);
    EXPECT_EQ(girth, -7.0);
}
