#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "BaseCommon/engineering/TableSteelBar.h"

// Grade rows, between grades, below and above; the two 400 MPa grades share their row. Grade
// numbers outside 1 ... 4 give a bare 300.
TEST(TableSteelBar, LookupsInterpolateBetweenGradesAndClampOutside) {
    using T = TableSteelBar;
    const std::tuple<double (T::*)(double) const, double, double> cases[] = {
        {&T::Find_fy, 235e6, 210e6},  {&T::Find_fy, 285e6, 255e6},
        {&T::Find_fy, 400e6, 360e6},  {&T::Find_fy, 100e6, 210e6},
        {&T::Find_fy, 500e6, 360e6},  {&T::Find_fy_p, 385e6, 346.15384615384615e6},
        {&T::Find_Es, 285e6, 205e9},  {&T::Find_Es, 100e6, 210e9},
        {&T::Find_fyk, 360e6, 400e6}, {&T::Find_fyk, 255e6, 285e6},
        {&T::Find_fyk, 100e6, 235e6}, {&T::Find_fyk, 1e9, 400e6}};
    const TableSteelBar sb;
    for (const auto& [fn, arg, expected] : cases)
        EXPECT_NEAR((sb.*fn)(arg), expected, 1e-12 * expected) << arg;
    EXPECT_EQ((std::vector<double>{sb.Getfyk_iGrade(-1), sb.Getfyk_iGrade(0), sb.Getfyk_iGrade(1),
                                   sb.Getfyk_iGrade(3), sb.Getfyk_iGrade(4), sb.Getfyk_iGrade(5)}),
              (std::vector<double>{300, 300, 235e6, 400e6, 400e6, 300}));
}
