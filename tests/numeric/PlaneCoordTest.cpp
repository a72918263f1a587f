#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "BaseCommon/numeric/PlaneCoord.h"

namespace {
constexpr double kPi = 3.141592653589793;
double Rad(double deg) {
    return deg * kPi / 180.0;
}
}  // namespace

// Each row: the angle; AngleTo14's result and the angle it leaves; AngleTo14_EX's code and
// the angle it leaves. Degrees ending in .5 keep the truncation clear of rounding.
TEST(PlaneCoord, AngleFolding_AtTheQuarterAndHalfTurnBoundaries) {
    const std::tuple<double, int, double, int, double> cases[] = {
        {2.0, -66, Rad(-66), 1, Rad(-66)},
        {6.5, 12, 6.5, 2, Rad(12)},  // whole turns only: just the _EX form rewrites
        {Rad(90.5), 90, Rad(90.5), 0, Rad(90.5)},
        {Rad(-89.5), -89, Rad(-89.5), 0, Rad(-89.5)},
        {Rad(-90.5), 90, Rad(90), 1, Rad(90)},
        {Rad(180.5), 0, 0.0, 1, 0.0},
        {Rad(-180.5), 0, 0.0, 1, 0.0},
        {Rad(270.5), 90, Rad(90), 1, Rad(90)},
        {Rad(450.5), 90, Rad(450.5), 2, Rad(90)},
        {Rad(1e12 + 0.5), -80, Rad(1e12 + 0.5), 2, Rad(-80)},  // far beyond the int range
    };
    for (const auto& [in, deg, after, code, afterEx] : cases) {
        double a = in, b = in;
        EXPECT_EQ(AngleTo14(&a), deg) << in;
        EXPECT_EQ(AngleTo14_EX(&b), code) << in;
        EXPECT_DOUBLE_EQ(a, after) << in;
        EXPECT_DOUBLE_EQ(b, afterEx) << in;
    }
    double nan = NAN;
    EXPECT_EQ(AngleTo14(&nan) + AngleTo14_EX(&nan), 0);
}

TEST(PlaneCoord, Directions_ToleranceInclusive_RankStrict) {
    EXPECT_EQ(NormalDirection(0, 0, 0.001, -1, 0.001), 0);  // |dx| = tol still counts as vertical
    EXPECT_EQ(GetDirectionType(0, 0, 0.001, -1, 0.001), 4);
    EXPECT_EQ(NormalDirection(0, 0, 0.0005, 1, 0.001), 1);
    EXPECT_EQ(GetDirectionType(0, 0, 0.0005, 1, 0.001), 3);
    EXPECT_EQ(GetDirectionType(0, 0, -0.002, 5, 0.001), 2);
    EXPECT_EQ(CordRankOK(1, 5, 1.0000005, 6), 1);
    EXPECT_EQ(CordRankOK(1, 5, 1.0000005, 5), 0);
    EXPECT_EQ(CordRankOK(0, 5, 1e-6, 4), 1);  // exactly 1e-6 apart is no longer "equal x"
}

TEST(PlaneCoord, TurningAndBoxingPointLists) {
    std::vector<double> xy = {1, 0, 0, 2, 5, 5}, xyz = {1, 0, 7, 3, -4, 8};
    Rotate_AxisZ(xy.data(), 2, kPi / 2);
    TransCordSys_AxisZ(xyz.data(), 1, kPi / 2);
    Rotate_AxisZ(xy.data(), -1, 1.0);
    TransCordSys_AxisZ(xyz.data(), 0, 1.0);
    const std::vector<double> wantXY = {0, 1, -2, 0, 5, 5}, wantXYZ = {0, -1, 7, 3, -4, 8};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(xy[i], wantXY[i], 1e-15) << i;  // only nPnt points are touched
        EXPECT_NEAR(xyz[i], wantXYZ[i], 1e-15) << i;
    }
    const double pts[] = {1, 2, 3, -2, 6, 1, 3, 2, -5};
    std::vector<double> box(6);
    GetMiniBox(pts, 1, box.data(), 0.5);
    EXPECT_EQ(box, (std::vector<double>{0.5, 1.5, 2.5, 1.5, 2.5, 3.5}));
    GetMiniBox(pts, 3, box.data(), 0.0);
    GetMiniBox(pts, 0, box.data(), 1.0);
    EXPECT_EQ(box, (std::vector<double>{-2, 2, -5, 3, 6, 3}));
}

TEST(PlaneCoord, CalcuInertia_DecimalFactors) {
    double ix = 0, iy = 0, j = 0;
    RectFunc::CalcuInertia(0.2, 0.5, 0, ix, iy, j);
    EXPECT_NEAR(ix, 0.00208333333325, 1e-18);  // an exact twelfth gives 0.0020833333333333
    EXPECT_NEAR(iy, 0.00033333333332, 1e-18);
    EXPECT_DOUBLE_EQ(j, ix + iy);
    RectFunc::CalcuInertia(0.2, 0.5, 1, ix, iy, j);
    EXPECT_NEAR(j, 0.00099805013332, 1e-18);
}
