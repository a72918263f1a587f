#include <gtest/gtest.h>

#include "BaseCommon/BaseCommonC.h"

// Weights of the first, second and third vertex; outside points get a negative weight.
TEST(AlgDzzlChazhi, WeightsOfOutsideAndEdgePoints_NullPointerWritesNothing) {
    const struct {
        double tri[6], p[2], w[3];
    } cases[] = {{{1, 0, 0, 1, 0, 0}, {1, 1}, {1, 1, -1}},
                 {{2, 1, 5, 3, 1, 4}, {3.5, 2}, {0.5, 0.5, 0}}};
    for (const auto& c : cases) {
        double w[3];
        EXPECT_EQ(AlgDzzlChazhi(c.tri, c.p, w), w);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(w[k], c.w[k], 1e-12) << c.p[0] << " " << k;
    }
    double w[3] = {9, 9, 9};
    // A null pointer: nothing written, null returned.
    EXPECT_TRUE(!AlgDzzlChazhi(nullptr, w, w) && !AlgDzzlChazhi(w, nullptr, w) && w[0] == 9.0);
}
