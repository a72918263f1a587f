#include <gtest/gtest.h>

#include <memory>

#include "BaseCommon/geometry/C3DBox.h"
#include "BaseCommon/geometry/C3DPoint.h"

namespace {

C3DBox MakeBox(double tol) {
    C3DBox b;
    b.m_dLenX = 2;
    b.m_dLenY = 4;
    b.m_dLenZ = 6;
    b.m_dTol = tol;
    return b;
}

TEST(C3DBox, PntInRegion_BoundsInclusiveOnEveryAxis) {
    struct Case {
        double tol;
        C3DPoint p;
        int nExpected;
    };
    const Case cases[] = {
        {0.0, {1, -2, 3}, 1},        {0.0, {-1, 2, -3}, 1},    {0.0, {1.0001, 0, 0}, 0},
        {0.0, {0, -2.0001, 0}, 0},   {0.0, {0, 0, 3.0001}, 0}, {0.01, {1.005, 0, 0}, 1},
        {0.01, {1.02, 0, 0}, 0},     {0.01, {0, 0, -3.01}, 1}, {0.01, {0, 2.0101, 0}, 0},
        {0.01, {1 + 0.01, 0, 0}, 1},  // exactly on the enlarged face
    };
    for (const Case& c : cases) {
        const C3DBox b = MakeBox(c.tol);
        EXPECT_EQ(b.PntInRegion(&c.p), c.nExpected) << c.p.x << " " << c.p.y << " " << c.p.z;
    }
}

TEST(C3DBox, DefaultBoxContainsOnlyTheOrigin) {
    const C3DBox b;
    const C3DPoint o, off(0, 0, 1e-300);
    EXPECT_EQ(b.PntInRegion(&o), 1);
    EXPECT_EQ(b.PntInRegion(&off), 0);
    EXPECT_EQ(b.PntInRegion(nullptr), 0);
}

TEST(C3DBox, CopiesOwnTheirCentre) {
    C3DBox a = MakeBox(0.0);
    a.m_pCenter->x = 10;
    C3DBox b(a);
    std::unique_ptr<C3DBox> c(static_cast<C3DBox*>(a.clone()));
    C3DBox d;
    C3DPoint* pOwn = d.m_pCenter;
    d = a;
    EXPECT_EQ(d.m_pCenter, pOwn);  // assignment copies coordinates into the own centre
    for (const C3DBox* x : {&b, c.get(), &d}) {
        EXPECT_NE(x->m_pCenter, a.m_pCenter);
        EXPECT_EQ(x->m_pCenter->x, 10.0);
        EXPECT_EQ(x->m_dLenZ, 6.0);
    }
    a.m_pCenter->x = 0;
    const C3DPoint p(11, 0, 0);
    EXPECT_EQ(b.PntInRegion(&p), 1);
    EXPECT_EQ(a.PntInRegion(&p), 0);
}

TEST(C3DBox, BoxWithoutCentreContainsNothingAndCopiesAsSuch) {
    C3DBox a;
    delete a.m_pCenter;
    a.m_pCenter = nullptr;
    const C3DPoint o;
    EXPECT_EQ(a.PntInRegion(&o), 0);
    C3DBox b(a);
    EXPECT_EQ(b.m_pCenter, nullptr);
    C3DBox c;
    c = a;
    EXPECT_EQ(c.m_pCenter, nullptr);
    c = MakeBox(0.0);
    ASSERT_NE(c.m_pCenter, nullptr);
    EXPECT_EQ(c.PntInRegion(&o), 1);
}

}  // namespace
