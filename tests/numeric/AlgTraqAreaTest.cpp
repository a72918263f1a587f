#include <gtest/gtest.h>

#include <cmath>

#include "BaseCommon/BaseCommonC.h"
#include "BaseCommon/numeric/AlgTraqArea.h"

TEST(AlgTraqArea, CalculateIsMeanSideTimesHeight) {
    EXPECT_DOUBLE_EQ(AlgTraqArea(2, 4, 3).Calculate(), 9.0);
}

TEST(AlgDzzlChazhi, WeightsOfInsideOutsideAndVertexPoints) {
    const struct {
        double tri[6], p[2], w[3];
    } cases[] = {{{1, 0, 0, 1, 0, 0}, {0.25, 0.5}, {0.25, 0.5, 0.25}},
                 {{1, 0, 0, 1, 0, 0}, {1, 1}, {1, 1, -1}},
                 {{2, 1, 5, 3, 1, 4}, {8.0 / 3, 8.0 / 3}, {1.0 / 3, 1.0 / 3, 1.0 / 3}},
                 {{2, 1, 5, 3, 1, 4}, {3.5, 2}, {0.5, 0.5, 0}}};
    for (const auto& c : cases) {
        double w[3];
        EXPECT_EQ(AlgDzzlChazhi(c.tri, c.p, w), w);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(w[k], c.w[k], 1e-12) << c.p[0] << " " << k;
    }
}

TEST(AlgDzzlChazhi, NullPointerWritesNothingAndDegenerateTriangleIsNonFinite) {
    const double line[] = {0, 0, 1, 1, 2, 2}, p[] = {0.5, 0.7};
    double w[3] = {9, 9, 9};
    EXPECT_EQ(AlgDzzlChazhi(nullptr, p, w), nullptr);
    EXPECT_EQ(AlgDzzlChazhi(line, nullptr, w), nullptr);
    EXPECT_EQ(w[0], 9.0);
    AlgDzzlChazhi(line, p, w);
    EXPECT_FALSE(std::isfinite(w[0]) && std::isfinite(w[1]));
}
