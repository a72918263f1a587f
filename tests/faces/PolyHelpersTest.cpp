#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "BaseCommon/faces/PolyHelpers.h"

TEST(PolyHelpers, CalcuArea_AbsoluteFanFromCornerZero) {
    const std::pair<std::vector<double>, double> cases[] = {
        {{0, 0, 1, 0, 1, 1, 0, 1}, 1.0},
        {{0, 0, 0, 1, 1, 1, 1, 0}, 1.0},
        {{0, 0, 4, 0, 0, 3}, 6.0},
        {{0, 0, 2, 0, 2, 1, 1, 1, 1, 2, 0, 2}, 3.0},  // an L, every corner seen from (0, 0)
        // The same L from a corner that does not see it whole: a backward fan triangle is
        // added, not subtracted (true area 3).
        {{2, 0, 2, 1, 1, 1, 1, 2, 0, 2, 0, 0}, 4.0},
        {{0, 0, 1, 0}, -1.0},
        {{}, -1.0},
    };
    for (const auto& [xy, area] : cases)
        EXPECT_DOUBLE_EQ(CalcuArea(xy.data(), static_cast<int>(xy.size() / 2)), area);
}
