#include <gtest/gtest.h>

#include "BaseCommon/engineering/TableSteelBar.h"

TEST(TableSteelBar, LookupsInterpolateBetweenGradesAndClampOutside) {
    using T = TableSteelBar;
    const struct {
        double (T::*fn)(double) const;
        double arg, expected;
    } cases[] = {{&T::Find_fy, 235e6, 210e6},  {&T::Find_fy, 285e6, 255e6},
                 {&T::Find_fy, 400e6, 360e6},  {&T::Find_fy, 100e6, 210e6},
                 {&T::Find_fy, 500e6, 360e6},  {&T::Find_fy_p, 385e6, 346.15384615384615e6},
                 {&T::Find_Es, 285e6, 205e9},  {&T::Find_Es, 100e6, 210e9},
                 {&T::Find_Es, 400e6, 200e9},  {&T::Find_fyk, 360e6, 400e6},
                 {&T::Find_fyk, 255e6, 285e6}, {&T::Find_fyk, 100e6, 235e6},
                 {&T::Find_fyk, 1e9, 400e6}};
    const TableSteelBar sb;
    for (const auto& c : cases) {
        EXPECT_NEAR((sb.*(c.fn))(c.arg), c.expected, 1e-12 * c.expected) << c.arg;
    }
}

TEST(TableSteelBar, GradeNumbersOutsideOneToFourGiveBare300) {
    const TableSteelBar sb;
    const double expected[] = {300.0, 235e6, 335e6, 400e6, 400e6, 300.0};
    for (int g = 0; g <= 5; ++g)
        EXPECT_EQ(sb.Getfyk_iGrade(g), expected[g]) << g;
    EXPECT_EQ(sb.Getfyk_iGrade(-1), 300.0);
}
