#include <gtest/gtest.h>

#include "BaseCommon/geometry/C3DVec.h"

TEST(C3DVec, Placeholder) { EXPECT_EQ(C3DVec(1, 2, 3).x, 1.0); }
