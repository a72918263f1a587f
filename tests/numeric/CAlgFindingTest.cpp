#include <gtest/gtest.h>

#include <cmath>

#include "BaseCommon/numeric/CAlgFinding.h"

TEST(CAlgFinding, NearestClampsTheEndsAndBreaksTiesTowardTheLaterEntry) {
    const double up[] = {1, 2, 4}, down[] = {4, 2, 1};
    const CAlgFinding asc(up, 3), desc(down, 3);
    const double ascCases[][2] = {{0.5, 0}, {1, 0},   {1.4, 0}, {1.5, 1}, {2.9, 1},
                                  {3, 2},   {3.5, 2}, {4, 2},   {9, 2}};
    for (const auto& c : ascCases)
        EXPECT_EQ(asc.FindNearest_Ascend(c[0]), c[1]) << c[0];
    const double descCases[][2] = {{5, 0},   {4, 0},   {3.1, 0}, {3, 1}, {2, 1},
                                   {1.5, 2}, {1.2, 2}, {1, 2},   {0, 2}};
    for (const auto& c : descCases)
        EXPECT_EQ(desc.FindNearest_Descend(c[0]), c[1]) << c[0];
}

TEST(CAlgFinding, SearchesTheBorrowedArrayAndGivesMinusOneWithoutAnEntry) {
    double a[] = {1, 2, 4};
    const CAlgFinding f(a, 3), copy(f);
    a[2] = 3;  // the caller's later edit is seen: nothing was copied
    EXPECT_EQ(copy.FindNearest_Ascend(2.6), 2);
    EXPECT_EQ(f.FindNearest_Ascend(NAN), -1);
    EXPECT_EQ(f.FindNearest_Descend(NAN), -1);
    EXPECT_EQ(CAlgFinding().FindNearest_Ascend(1), -1);
    EXPECT_EQ(CAlgFinding(a, 0).FindNearest_Descend(1), -1);
}
