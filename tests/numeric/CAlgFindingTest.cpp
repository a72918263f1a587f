#include <gtest/gtest.h>

#include <cmath>

#include "BaseCommon/numeric/CAlgFinding.h"

// Each row: x, the index found in {1, 2, 4} ascending, the index found in {4, 2, 1}.
TEST(CAlgFinding, NearestClampsTheEndsAndBreaksTiesTowardTheLaterEntry) {
    double up[] = {1, 2, 4}, down[] = {4, 2, 1};
    const CAlgFinding asc(up, 3), desc(down, 3);
    const double cases[][3] = {{0.5, 0, 2}, {1, 0, 2}, {1.4, 0, 2}, {1.5, 1, 2}, {2, 1, 1},
                               {2.9, 1, 1}, {3, 2, 1}, {3.1, 2, 0}, {4, 2, 0},   {9, 2, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(asc.FindNearest_Ascend(c[0]), c[1]) << c[0];
        EXPECT_EQ(desc.FindNearest_Descend(c[0]), c[2]) << c[0];
    }
    const CAlgFinding copy(asc);
    up[2] = 3;  // the array is borrowed: the caller's later edit is seen
    EXPECT_EQ(copy.FindNearest_Ascend(2.6), 2);
    EXPECT_EQ(asc.FindNearest_Ascend(NAN) + desc.FindNearest_Descend(NAN), -2);
    EXPECT_EQ(CAlgFinding().FindNearest_Ascend(1) + CAlgFinding(up, 0).FindNearest_Descend(1), -2);
}
