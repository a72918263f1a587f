#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "BaseCommon/numeric/AlgLinearMethod.h"

const double kX[] = {0, 10, 20};

// Each row: x, CalcuValY(x), CalcuArea(x). Outside the table the end value holds; past its end
// the area grows by the clamped value. Copies own their arrays.
TEST(AlgLinearMethod, InterpolatesInsideClampsOutsideIntegratesTheClampedValueAndCopiesDeep) {
    double y[] = {0, 100, 50};
    auto source = std::make_unique<AlgLinearMethod>(kX, y, 3);
    y[1] = -1;  // the caller's arrays were copied at construction
    const AlgLinearMethod m(*source);
    AlgLinearMethod assigned(kX, y, 1);
    assigned = *source;
    source.reset();  // a shared array would now be freed under the copies
    const double cases[][3] = {{-5, 0, 0},      {0, 0, 0},      {5, 50, 125},  {10, 100, 500},
                               {15, 75, 937.5}, {20, 50, 1250}, {25, 50, 1500}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(m.CalcuValY(c[0]), c[1]) << c[0];
        EXPECT_DOUBLE_EQ(assigned.CalcuArea(c[0]), c[2]) << c[0];
    }
    EXPECT_TRUE(std::isnan(m.CalcuValY(NAN)));
    const AlgLinearMethod one(kX + 1, y + 2, 1);  // one point: Y[0] everywhere
    for (double q : {-1.0, 10.0, 99.0})
        EXPECT_EQ(one.CalcuValY(q), 50.0) << q;
    EXPECT_DOUBLE_EQ(one.CalcuArea(12), 100.0);
    EXPECT_TRUE(std::isnan(AlgLinearMethod(nullptr, nullptr, 3).CalcuValY(1)));
    EXPECT_TRUE(std::isnan(AlgLinearMethod(kX, y, 0).CalcuArea(1)));
}

TEST(AlgLinearMethod, CalcuArea_ToleranceIsInclusiveAtBothChecks) {
    const double t = 1e-6, above = std::nextafter(t, 1.0);
    // Within 1e-6 of X[0] there is no area yet; just past it, a sliver of height 1e6.
    const double x[] = {0, 10}, y[] = {1e6, 1e6};
    EXPECT_EQ(AlgLinearMethod(x, y, 2).CalcuArea(t), 0.0);
    EXPECT_NEAR(AlgLinearMethod(x, y, 2).CalcuArea(above), 1.0, 1e-6);
    // Up to 1e-6 past an interior node, x still belongs to the segment before it: one wide
    // trapezoid from X[0] whose right height comes from the steep next segment.
    const double xs[] = {-10, 0, 10}, ys[] = {0, 0, 1e6};
    const AlgLinearMethod steep(xs, ys, 3);
    EXPECT_NEAR(steep.CalcuArea(t), 0.1 * (10 + t) * 0.5, 1e-9);
    EXPECT_NEAR(steep.CalcuArea(above), 0.1 * t * 0.5, 1e-12);
}
