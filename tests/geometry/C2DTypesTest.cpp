#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "BaseCommon/framework/CArchive.h"
#include "BaseCommon/framework/CFile.h"
#include "BaseCommon/geometry/C2DBox.h"
#include "BaseCommon/geometry/C2DPoint.h"
#include "BaseCommon/geometry/C2DVec.h"
#include "BaseCommon/geometry/C3DVec.h"

using V = std::vector<int>;

// Each pair straddles 1e-6: equality per component and zero length strict; the included
// angle's range closed; the cosine against a zero vector 0 and never past 1.
TEST(C2DVec, ComparisonsAndNormalisationStrictlyBelowTheTolerance) {
    const C2DVec x(2, 0), y(0, 2);
    EXPECT_EQ((V{C2DVec(1, 2) == C2DVec(1 + 9e-7, 2), C2DVec(0, 0) != C2DVec(1e-6, 0),
                 C2DVec(9e-7, 0).IsZeroLength(), C2DVec(1e-6, 0).IsZeroLength(),
                 C2DVec(2, 2).IsBetween(x, y), C2DVec(1, 3).IsBetween(x, y)}),
              (V{1, 1, 1, 0, 1, 0}));
    const struct {
        double x, y, ex, ey;
    } cases[] = {{3, 4, 0.6, 0.8}, {5e-7, -5e-7, 0, 0}, {1e-6, 0, 1, 0}};  // 1e-6 is not below
    for (const auto& c : cases) {
        C2DVec v(c.x, c.y);
        v.Normalize();
        const C2DVec n = C2DVec(c.x, c.y).GetNormal();
        EXPECT_TRUE(v.x == c.ex && v.y == c.ey && n.x == c.ex && n.y == c.ey) << c.x << " " << c.y;
    }
    EXPECT_EQ((C2DVec(1, 0) % C2DVec(0, 1)).z, 1.0);
    EXPECT_EQ(C2DVec(1, 0).GetCosValOfIncAngTo(C2DVec(0, 0)), 0.0);
    EXPECT_LE(C2DVec(0.3, 0.7).GetCosValOfIncAngTo(C2DVec(0.9, 2.1)), 1.0);
}

TEST(C2DPoint, EqualityStrictOnSquaredDistanceRotationsIntoItself) {
    // Squared distances 9.8e-13, 1.0082e-12 and exactly 1e-12 against 1e-12.
    const C2DPoint o(0, 0);
    EXPECT_EQ((V{o == C2DPoint(7e-7, 7e-7), o == C2DPoint(7.1e-7, 7.1e-7), o == C2DPoint(1e-6, 0)}),
              (V{1, 0, 0}));
    C2DPoint out, self(3, 4), p(2, 1);
    C2DPoint(1, 0).RotateByZ(out, 3.141592653589793 / 2);
    EXPECT_TRUE(std::fabs(out.x) < 1e-15 && std::fabs(out.y - 1.0) < 1e-15);
    self.RotateByZ(self, 1.0, 0.0);  // reads both coordinates first
    EXPECT_TRUE(self.x == -4.0 && self.y == 3.0);
    p.RotateByPt(C2DPoint(1, 1), 1.0, 0.0);
    EXPECT_TRUE(p.x == 1.0 && p.y == 2.0);
}

TEST(C2DPoint, SerializeWritesSixteenLittleEndianBytesAndReadsBackBitwise) {
    const C2DPoint p(1.0, -1e300);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        const_cast<C2DPoint&>(p).Serialize(ar);
    }
    ASSERT_EQ(file.GetLength(), 16u);
    const unsigned char one[8] = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
    EXPECT_EQ(std::memcmp(file.GetBuffer(), one, 8), 0);
    file.SeekToBegin();
    CArchive in(&file, CArchive::load);
    C2DPoint q;
    q.Serialize(in);
    EXPECT_EQ(std::memcmp(&q.y, &p.y, sizeof(double)), 0);
    EXPECT_STREQ(C2DPoint::classC2DPoint.m_lpszClassName, "C2DPoint");
    EXPECT_EQ(C2DPoint::classC2DPoint.m_wSchema, 0u);
}

TEST(C2DBox, RegionWidensStrictlyByToleranceCopiesOwnTheirCorners) {
    const C2DBox box(0, 0, 10, 5);
    const struct {
        double x, y;
        int expected;
    } cases[] = {{10, 5, 1},    {10.0000005, 5, 1}, {10.000001, 5, 0},
                 {-5e-7, 0, 1}, {-1.5e-6, 0, 0},    {5, -1e-6, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(box.PntInRegion(c.x, c.y), c.expected) << c.x << "," << c.y;
    EXPECT_EQ(C2DBox(10, 5, 0, 0).PntInRegion(5, 2), 0);  // swapped corners contain nothing
    C2DBox a(0, 0, 1, 1), b(a);
    std::unique_ptr<C2DBox> c(static_cast<C2DBox*>(a.clone()));
    a.m_pSecond->x = 7;
    EXPECT_EQ(b.GetWidth() + c->GetWidth(), 2.0);
    b = a;
    EXPECT_EQ(b.GetWidth(), 7.0);
    EXPECT_NE(b.m_pSecond, a.m_pSecond);
}
