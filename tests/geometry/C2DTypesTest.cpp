#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "BaseCommon/framework/CArchive.h"
#include "BaseCommon/framework/CFile.h"
#include "BaseCommon/geometry/C2DBox.h"
#include "BaseCommon/geometry/C2DPoint.h"
#include "BaseCommon/geometry/C2DVec.h"
#include "BaseCommon/geometry/C3DVec.h"

namespace {

constexpr double kPi = 3.141592653589793;

TEST(C2DVec, NormalizeTreatsComponentsBelowToleranceAsZero) {
    struct Case {
        double x, y, ex, ey;
    } cases[] = {
        {3, 4, 0.6, 0.8},
        {5e-7, -5e-7, 0, 0},
        {1e-6, 0, 1, 0},  // exactly 1e-6 is not below the tolerance
    };
    for (const Case& c : cases) {
        C2DVec v(c.x, c.y);
        v.Normalize();
        EXPECT_DOUBLE_EQ(v.x, c.ex);
        EXPECT_DOUBLE_EQ(v.y, c.ey);
        const C2DVec n = C2DVec(c.x, c.y).GetNormal();
        EXPECT_DOUBLE_EQ(n.x, c.ex);
        EXPECT_DOUBLE_EQ(n.y, c.ey);
    }
}

TEST(C2DVec, EqualityIsStrictPerComponent) {
    EXPECT_EQ(C2DVec(1, 2) == C2DVec(1 + 9e-7, 2), 1);
    EXPECT_EQ(C2DVec(0, 0) == C2DVec(1e-6, 0), 0);
    EXPECT_EQ(C2DVec(0, 0) != C2DVec(1e-6, 0), 1);
    EXPECT_EQ(C2DVec(9e-7, 0).IsZeroLength(), 1);
    EXPECT_EQ(C2DVec(1e-6, 0).IsZeroLength(), 0);
}

TEST(C2DVec, ProductsAndRanges) {
    const C3DVec c = C2DVec(1, 0) % C2DVec(0, 1);
    EXPECT_EQ(c.x, 0.0);
    EXPECT_EQ(c.z, 1.0);
    EXPECT_EQ(C2DVec(1, 1).IsBetween(C2DVec(2, 0), C2DVec(0, 2)), 1);
    EXPECT_EQ(C2DVec(1, 3).IsBetween(C2DVec(2, 0), C2DVec(0, 2)), 0);
    EXPECT_EQ(C2DVec(2, 2).IsBetween(C2DVec(2, 0), C2DVec(0, 2)), 1);
    EXPECT_EQ(C2DVec(1, 0).GetCosValOfIncAngTo(C2DVec(0, 0)), 0.0);
    EXPECT_LE(C2DVec(0.3, 0.7).GetCosValOfIncAngTo(C2DVec(0.9, 2.1)), 1.0);
}

TEST(C2DPoint, EqualityIsStrictOnSquaredDistance) {
    EXPECT_EQ(C2DPoint(0, 0) == C2DPoint(9e-7, 0), 1);
    EXPECT_EQ(C2DPoint(0, 0) == C2DPoint(1.0000001e-6, 0), 0);
    EXPECT_EQ(C2DPoint(0, 0) == C2DPoint(7e-7, 7e-7), 1);  // 9.8e-13 squared
    EXPECT_EQ(C2DPoint(0, 0) == C2DPoint(7.1e-7, 7.1e-7), 0);
}

TEST(C2DPoint, Rotations) {
    C2DPoint out;
    C2DPoint(1, 0).RotateByZ(out, kPi / 2);
    EXPECT_NEAR(out.x, 0.0, 1e-15);
    EXPECT_NEAR(out.y, 1.0, 1e-15);
    C2DPoint(1, 0).RotateByZ(out, 1.0, 0.0);
    EXPECT_EQ(out.x, 0.0);
    EXPECT_EQ(out.y, 1.0);
    // Rotating a point into itself reads both coordinates first.
    C2DPoint self(3, 4);
    self.RotateByZ(self, 1.0, 0.0);
    EXPECT_EQ(self.x, -4.0);
    EXPECT_EQ(self.y, 3.0);
    C2DPoint p(2, 1);
    p.RotateByPt(C2DPoint(1, 1), 1.0, 0.0);
    EXPECT_EQ(p.x, 1.0);
    EXPECT_EQ(p.y, 2.0);
}

TEST(C2DBox, RegionTestWidensStrictlyByTolerance) {
    const C2DBox box(0, 0, 10, 5);
    EXPECT_EQ(box.GetWidth(), 10.0);
    EXPECT_EQ(box.GetHeight(), 5.0);
    struct Case {
        double x, y;
        int expected;
    } cases[] = {{10, 5, 1}, {10.0000005, 5, 1}, {10.00001, 5, 0}, {-5e-7, 0, 1}, {5, -2e-6, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(box.PntInRegion(c.x, c.y), c.expected) << c.x << "," << c.y;
    EXPECT_EQ(C2DBox(10, 5, 0, 0).PntInRegion(5, 2), 0);  // swapped corners contain nothing
}

TEST(C2DBox, CopiesOwnTheirCorners) {
    C2DBox a(0, 0, 1, 1);
    C2DBox b(a);
    std::unique_ptr<C2DBox> c(static_cast<C2DBox*>(a.clone()));
    a.m_pSecond->x = 7;
    EXPECT_EQ(b.GetWidth(), 1.0);
    EXPECT_EQ(c->GetWidth(), 1.0);
    b = a;
    EXPECT_EQ(b.GetWidth(), 7.0);
    EXPECT_NE(b.m_pSecond, a.m_pSecond);
}

// ---- archive form ----------------------------------------------------------------------

TEST(C2DPointArchive, SerializeWritesSixteenLittleEndianBytesAndReadsBackBitwise) {
    C2DPoint p(0.1, -1e300);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        p.Serialize(ar);
    }
    ASSERT_EQ(file.GetLength(), 16u);
    const unsigned char one[8] = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F};  // 1.0 little-endian
    CMemFile f1;
    {
        CArchive ar(&f1, CArchive::store);
        C2DPoint(1.0, 0.0).Serialize(ar);
    }
    EXPECT_EQ(std::memcmp(f1.GetBuffer(), one, 8), 0);

    file.SeekToBegin();
    CArchive in(&file, CArchive::load);
    C2DPoint q;
    q.Serialize(in);
    EXPECT_EQ(std::memcmp(&q.x, &p.x, sizeof(double)), 0);
    EXPECT_EQ(std::memcmp(&q.y, &p.y, sizeof(double)), 0);
}

TEST(C2DPointArchive, WholeObjectsRoundTripByClassName) {
    C2DPoint a(1.5, -2.25), b(3, 4);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << &a << &b << static_cast<const CObject*>(nullptr);
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    C2DPoint* pa = nullptr;
    C2DPoint* pb = nullptr;
    C2DPoint* pn = &a;
    ar >> pa >> pb >> pn;
    std::unique_ptr<C2DPoint> ha(pa), hb(pb);
    ASSERT_TRUE(pa && pb);
    EXPECT_EQ(pa->x, 1.5);
    EXPECT_EQ(pa->y, -2.25);
    EXPECT_EQ(pb->y, 4.0);
    EXPECT_EQ(pn, nullptr);
    EXPECT_STREQ(pa->GetRuntimeClass()->m_lpszClassName, "C2DPoint");
    EXPECT_EQ(C2DPoint::classC2DPoint.m_wSchema, 0u);
    EXPECT_TRUE(pa->IsKindOf(RUNTIME_CLASS(CObject)));
}

TEST(C2DPointArchive, EveryTruncationThrowsArchiveException) {
    C2DPoint a(1, 2), b(3, 4);
    CMemFile full;
    {
        CArchive ar(&full, CArchive::store);
        ar << &a << &b;
    }
    const auto n = static_cast<unsigned>(full.GetLength());
    for (unsigned len = 0; len < n; ++len) {
        CMemFile cut(full.GetBuffer(), len);
        CArchive ar(&cut, CArchive::load);
        C2DPoint* p = nullptr;
        C2DPoint* q = nullptr;
        try {
            ar >> p >> q;
            ADD_FAILURE() << "no exception at length " << len;
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile) << len;
        }
        delete p;  // a point completed before the cut belongs to the caller
        EXPECT_EQ(q, nullptr);
    }
}

}  // namespace
