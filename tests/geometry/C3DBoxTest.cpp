#include <gtest/gtest.h>

#include <memory>

#include "BaseCommon/geometry/C3DBox.h"
#include "BaseCommon/geometry/C3DPoint.h"

TEST(C3DBox, PntInRegion_InclusiveBoundsEnlargedByMargin) {
    C3DBox b;
    b.m_dLenX = 2;
    b.m_dLenY = 4;
    b.m_dLenZ = 6;
    const struct {
        double tol;
        C3DPoint p;
        int nExpected;
    } cases[] = {{0, {1, -2, 3}, 1},      {0, {-1, 2, -3}, 1},         {0, {1.0001, 0, 0}, 0},
                 {0, {0, 0, 3.0001}, 0},  {0.01, {1 + 0.01, 0, 0}, 1},  // on the enlarged face
                 {0.01, {1.02, 0, 0}, 0}, {0.01, {0, 2.0101, 0}, 0}};
    for (const auto& c : cases) {
        b.m_dTol = c.tol;
        EXPECT_EQ(b.PntInRegion(&c.p), c.nExpected) << c.p.x << " " << c.p.y << " " << c.p.z;
    }
    const C3DPoint o, off(0, 0, 1e-300);
    EXPECT_EQ(C3DBox().PntInRegion(&o), 1);  // a default box holds the origin alone
    EXPECT_EQ(C3DBox().PntInRegion(&off), 0);
}

TEST(C3DBox, CopiesOwnTheirCentreACentrelessBoxHoldsNothing) {
    C3DBox a, d;
    a.m_pCenter->x = 10;
    std::unique_ptr<C3DBox> c(static_cast<C3DBox*>(a.clone()));
    C3DPoint* pOwn = d.m_pCenter;
    d = a;
    EXPECT_EQ(d.m_pCenter, pOwn);
    a.m_pCenter->x = 0;
    EXPECT_EQ(c->m_pCenter->x + d.m_pCenter->x, 20.0);
    delete a.m_pCenter;
    a.m_pCenter = nullptr;
    EXPECT_EQ(a.PntInRegion(d.m_pCenter), 0);
    EXPECT_EQ(C3DBox(a).m_pCenter, nullptr);
}
