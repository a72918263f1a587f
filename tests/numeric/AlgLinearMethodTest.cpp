#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "BaseCommon/numeric/AlgLinearMethod.h"

namespace {
const double kX[] = {0, 10, 20}, kY[] = {0, 100, 50};
}  // namespace

TEST(AlgLinearMethod, CalcuValY_InterpolatesInsideClampsOutsideAndHandlesTinyTables) {
    const AlgLinearMethod m(kX, kY, 3);
    const double cases[][2] = {{-5, 0}, {0, 0}, {5, 50}, {10, 100}, {15, 75}, {20, 50}, {25, 50}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(m.CalcuValY(c[0]), c[1]) << c[0];
    EXPECT_TRUE(std::isnan(m.CalcuValY(NAN)));
    const AlgLinearMethod one(kX + 1, kY + 1, 1);
    for (double q : {-1.0, 10.0, 99.0})
        EXPECT_EQ(one.CalcuValY(q), 100.0) << q;
    EXPECT_TRUE(std::isnan(AlgLinearMethod(nullptr, nullptr, 3).CalcuValY(1)));
    EXPECT_TRUE(std::isnan(AlgLinearMethod(kX, kY, 0).CalcuArea(1)));
}

TEST(AlgLinearMethod, CalcuArea_TrapezoidsThenTheClampedValuePastTheEnd) {
    const AlgLinearMethod m(kX, kY, 3);
    const double cases[][2] = {{-3, 0},     {0, 0},     {5, 125},  {10, 500},
                               {15, 937.5}, {20, 1250}, {25, 1500}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(m.CalcuArea(c[0]), c[1]) << c[0];
    EXPECT_DOUBLE_EQ(AlgLinearMethod(kX + 1, kY + 1, 1).CalcuArea(12), 200.0);
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

TEST(AlgLinearMethod, CopiesAreDeep) {
    double x[] = {0, 10, 20}, y[] = {0, 100, 50};
    auto source = std::make_unique<AlgLinearMethod>(x, y, 3);
    y[1] = -1;  // the caller's arrays were copied at construction
    AlgLinearMethod copy(*source), assigned(x, y, 1);
    assigned = *source;
    const AlgLinearMethod& self = assigned;
    assigned = self;
    source.reset();  // a shared array would now be freed under the copies
    EXPECT_DOUBLE_EQ(copy.CalcuValY(10), 100.0);
    EXPECT_DOUBLE_EQ(assigned.CalcuValY(15), 75.0);
}
