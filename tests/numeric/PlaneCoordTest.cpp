#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "BaseCommon/numeric/PlaneCoord.h"
#include "TestConstants.h"

constexpr double kDeg = kPi / 180.0;

// Each row: the angle; AngleTo14's result and the angle it leaves; AngleTo14_EX's code and
// the angle it leaves. Degrees ending in .5 keep the truncation clear of rounding.
TEST(PlaneCoord, AngleFoldingAtTheBoundaries_DirectionToleranceInclusive_RankStrict) {
    const std::tuple<double, int, double, int, double> cases[] = {
        {90.5 * kDeg, 90, 90.5 * kDeg, 0, 90.5 * kDeg},
        {-89.5 * kDeg, -89, -89.5 * kDeg, 0, -89.5 * kDeg},
        {-90.5 * kDeg, 90, 90 * kPi / 180, 1, 90 * kPi / 180},
        {180.5 * kDeg, 0, 0.0, 1, 0.0},
        {450.5 * kDeg, 90, 450.5 * kDeg, 2, 90 * kPi / 180},  // whole turns: only _EX rewrites
        {(1e12 + 0.5) * kDeg, -80, (1e12 + 0.5) * kDeg, 2, -80 * kPi / 180},  // beyond int
    };
    for (const auto& [in, deg, after, code, afterEx] : cases) {
        double a = in, b = in;
        EXPECT_EQ(std::make_pair(AngleTo14(&a), AngleTo14_EX(&b)), std::make_pair(deg, code)) << in;
        EXPECT_EQ(std::make_pair(a, b), std::make_pair(after, afterEx)) << in;
    }
    double nan = NAN;
    EXPECT_EQ(AngleTo14(&nan) + AngleTo14_EX(&nan), 0);
    // Directions: |dx| = tol still counts as vertical; x values 1e-6 apart are no longer
    // "equal" for the rank.
    EXPECT_EQ((std::vector<int>{
                  NormalDirection(0, 0, 0.001, -1, 0.001), GetDirectionType(0, 0, 0.001, -1, 0.001),
                  NormalDirection(0, 0, 0.0005, 1, 0.001), GetDirectionType(0, 0, 0.0005, 1, 0.001),
                  GetDirectionType(0, 0, -0.002, 5, 0.001), CordRankOK(1, 5, 1.0000005, 6),
                  CordRankOK(1, 5, 1.0000005, 5), CordRankOK(0, 5, 1e-6, 4)}),
              (std::vector<int>{0, 4, 1, 3, 2, 1, 0, 1}));
}

// Only nPnt points are turned or boxed; no point at all changes nothing.
TEST(PlaneCoord, TurningAndBoxingPointLists) {
    std::vector<double> pts = {1, 0, 0, 2, 5, 5, 1, 0, 7, 3, -4, 8}, box(6);
    Rotate_AxisZ(pts.data(), 2, kPi / 2);            // pairs (x, y), counter-clockwise
    TransCordSys_AxisZ(pts.data() + 6, 1, kPi / 2);  // triples (x, y, z); the axes turn
    Rotate_AxisZ(pts.data(), -1, 1.0);
    TransCordSys_AxisZ(pts.data(), 0, 1.0);
    const std::vector<double> want = {0, 1, -2, 0, 5, 5, 0, -1, 7, 3, -4, 8};
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(pts[i], want[i], 1e-15) << i;
    const double xyz[] = {1, 2, 3, -2, 6, 1, 3, 2, -5};
    GetMiniBox(xyz, 3, box.data(), 0.5);
    GetMiniBox(xyz, 0, box.data(), 1.0);
    EXPECT_EQ(box, (std::vector<double>{-2.5, 1.5, -5.5, 3.5, 6.5, 3.5}));
}

// Section constants take ten-digit decimals, not exact fractions: an exact twelfth would give
// 0.0020833333333333.
TEST(PlaneCoord, CalcuInertia_DecimalFactors) {
    double ix = 0, iy = 0, j = 0, jt = 0;
    RectFunc::CalcuInertia(0.2, 0.5, 1, ix, iy, jt);  // the torsion constant
    RectFunc::CalcuInertia(0.2, 0.5, 0, ix, iy, j);   // the polar moment
    EXPECT_NEAR(ix, 0.00208333333325, 1e-18);
    EXPECT_NEAR(j, 0.00241666666657, 1e-18);
    EXPECT_NEAR(jt, 0.00099805013332, 1e-18);
}
