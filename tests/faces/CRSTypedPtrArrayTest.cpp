#include <gtest/gtest.h>

#include <climits>
#include <typeinfo>
#include <vector>

#include "BaseCommon/faces/C3DFaceArray.h"
#include "BaseCommon/faces/C3DPointArray.h"
#include "BaseCommon/faces/C3DVecArray.h"
#include "BaseCommon/framework/CException.h"

namespace {

// A point subclass that counts its live instances, so that tests see what was deleted and
// that clone() keeps the subclass.
class CountedPoint : public C3DPoint {
public:
    static int s_nLive;
    CountedPoint(double x, double y, double z) : C3DPoint(x, y, z) { ++s_nLive; }
    CountedPoint(const CountedPoint& p) : C3DPoint(p) { ++s_nLive; }
    ~CountedPoint() override { --s_nLive; }
    void* clone() override { return new CountedPoint(*this); }
};
int CountedPoint::s_nLive = 0;

class PointArrays : public ::testing::Test {
protected:
    void SetUp() override { CountedPoint::s_nLive = 0; }
    static void Fill(C3DPointArray& a, int n, double x0) {
        for (int i = 0; i < n; ++i)
            a.Add(new CountedPoint(x0 + i, 0, 0));
    }
};

TEST_F(PointArrays, DeepCopy_ClonesIndependentObjectsAndFreesFormerOnes) {
    C3DPointArray src, dst;
    Fill(src, 3, 1.0);
    Fill(dst, 2, 10.0);
    dst.DeepCopy(src);
    ASSERT_EQ(dst.GetSize(), 3);
    EXPECT_EQ(CountedPoint::s_nLive, 6);  // dst's former two are gone
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(dst[i], src[i]);
        EXPECT_EQ(dst[i]->x, src[i]->x);
        EXPECT_EQ(typeid(*dst[i]), typeid(CountedPoint));
    }
    dst[0]->x = 99.0;
    EXPECT_EQ(src[0]->x, 1.0);
    dst.DeepRemoveAll();
    src.DeepRemoveAll();
    EXPECT_EQ(CountedPoint::s_nLive, 0);
}

TEST_F(PointArrays, DeepCopy_FromEmptyEmptiesTarget) {
    C3DPointArray src, dst;
    Fill(dst, 2, 0.0);
    dst.DeepCopy(src);
    EXPECT_EQ(dst.GetSize(), 0);
    EXPECT_EQ(CountedPoint::s_nLive, 0);
}

TEST_F(PointArrays, DeepCopy_OntoItselfKeepsTheObjects) {
    C3DPointArray a;
    Fill(a, 2, 5.0);
    C3DPoint* p0 = a[0];
    a.DeepCopy(a);
    ASSERT_EQ(a.GetSize(), 2);
    EXPECT_EQ(a[0], p0);
    EXPECT_EQ(a[1]->x, 6.0);
    EXPECT_EQ(CountedPoint::s_nLive, 2);
    a.DeepRemoveAll();
}

TEST_F(PointArrays, DeepAppend_AddsClonesBehindUntouchedElements) {
    C3DPointArray src, dst;
    Fill(dst, 2, 0.0);
    Fill(src, 3, 10.0);
    C3DPoint* p0 = dst[0];
    C3DPoint* p1 = dst[1];
    dst.DeepAppend(src);
    ASSERT_EQ(dst.GetSize(), 5);
    EXPECT_EQ(dst[0], p0);
    EXPECT_EQ(dst[1], p1);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(dst[2 + i], src[i]);
        EXPECT_EQ(dst[2 + i]->x, 10.0 + i);
    }
    C3DPointArray empty;
    dst.DeepAppend(empty);
    EXPECT_EQ(dst.GetSize(), 5);
    dst.DeepRemoveAll();
    src.DeepRemoveAll();
    EXPECT_EQ(CountedPoint::s_nLive, 0);
}

TEST_F(PointArrays, DeepAppend_OfItselfDuplicatesEachOriginalOnce) {
    C3DPointArray a;
    Fill(a, 2, 1.0);
    a.DeepAppend(a);
    ASSERT_EQ(a.GetSize(), 4);
    EXPECT_EQ(a[2]->x, 1.0);
    EXPECT_EQ(a[3]->x, 2.0);
    EXPECT_NE(a[2], a[0]);
    EXPECT_EQ(CountedPoint::s_nLive, 4);
    a.DeepRemoveAll();
    EXPECT_EQ(CountedPoint::s_nLive, 0);
}

TEST_F(PointArrays, DeepRemoveAll_SkipsNullSlotsAndEmpties) {
    C3DPointArray a;
    a.Add(nullptr);
    Fill(a, 2, 0.0);
    a.Add(nullptr);
    a.DeepRemoveAll();
    EXPECT_EQ(a.GetSize(), 0);
    EXPECT_EQ(CountedPoint::s_nLive, 0);
}

TEST_F(PointArrays, BorrowingArraysFreeNothing) {
    C3DPointArray owner;
    Fill(owner, 3, 0.0);
    {
        _AlgC3DPntArray work;
        work.Append(owner);
        C3DPointArray shallow;
        shallow.Copy(owner);
        shallow.Add(owner[0]);
    }
    EXPECT_EQ(CountedPoint::s_nLive, 3);
    EXPECT_EQ(owner[2]->x, 2.0);
    owner.DeepRemoveAll();
}

TEST_F(PointArrays, IndexOutsideTheArrayThrows) {
    C3DPointArray a;
    Fill(a, 2, 0.0);
    EXPECT_THROW(a.GetAt(2), CInvalidArgException);
    EXPECT_THROW(a.GetAt(-1), CInvalidArgException);
    EXPECT_THROW(a.SetAt(2, nullptr), CInvalidArgException);
    EXPECT_THROW(a[2], CInvalidArgException);
    a.DeepRemoveAll();
}

TEST(CRSTypedPtrArray, Find_ComparesIdentityFromAfterTheStart) {
    C3DPoint p, q, same;
    C3DVecArray unused;  // a second instantiation compiles and drops cleanly
    C3DPointArray a;
    a.Add(&q);
    a.Add(&p);
    a.Add(&q);
    a.Add(&p);
    struct Case {
        C3DPoint* sought;
        int nStart;
        int nExpected;
    };
    const Case cases[] = {
        {&p, -1, 1},       {&p, 1, 3},  {&p, 3, -1},     {&q, 0, 2},
        {&p, -7, 1},       {&q, -1, 0}, {&same, -1, -1},  // equal value, other object
        {&p, INT_MAX, -1}, {&p, 4, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(a.Find(c.sought, c.nStart), c.nExpected) << "start " << c.nStart;
    }
}

TEST(C3DFaceArray, ConstructsAndFindsOverAForwardDeclaredFace) {
    C3DFaceArray faces;
    EXPECT_EQ(faces.GetSize(), 0);
    EXPECT_EQ(faces.Find(nullptr, -1), -1);
    faces.Add(nullptr);
    EXPECT_EQ(faces.Find(nullptr, -1), 0);
    faces.RemoveAll();
}

// Orders copies of the given points; the result lists the input index of each point in the
// order the operations left them (by address, so equal coordinates stay distinguishable).
std::vector<int> Sorted(const std::vector<C3DPoint>& in, bool bOrient) {
    std::vector<C3DPoint> pts(in);
    _AlgC3DPntArray a;
    for (C3DPoint& p : pts)
        a.Add(&p);
    a.SortAlongLine();
    if (bOrient)
        a.OrientByMainAxis();
    std::vector<int> out;
    for (int i = 0; i < a.GetSize(); ++i)
        out.push_back(static_cast<int>(a[i] - pts.data()));
    return out;
}

TEST(AlgC3DPntArray, SortAlongLine_StartsAtFarthestFromOriginAndKeepsTies) {
    // Index order of the result. Ties at the farthest point keep the first; equal distances
    // (coinciding end points) keep their input order.
    EXPECT_EQ(Sorted({{0, 0, 0}, {10, 0, 0}, {5, 0, 0}, {20, 0, 0}}, false),
              (std::vector<int>{3, 1, 2, 0}));
    EXPECT_EQ(Sorted({{-3, 0, 0}, {3, 0, 0}, {1, 0, 0}, {0, 0, 0}}, false),
              (std::vector<int>{0, 3, 2, 1}));
    EXPECT_EQ(Sorted({{0, 0, 0}, {10, 0, 0}, {10, 0, 0}, {20, 0, 0}}, false),
              (std::vector<int>{3, 1, 2, 0}));
    EXPECT_EQ(Sorted({{10, 0, 0}, {5, 0, 0}, {5, 0, 0}, {10, 0, 0}}, false),
              (std::vector<int>{0, 3, 1, 2}));
}

TEST(AlgC3DPntArray, OrientByMainAxis_MainCoordinateIncreases) {
    EXPECT_EQ(Sorted({{0, 0, 0}, {10, 0, 0}, {5, 0, 0}, {20, 0, 0}}, true),
              (std::vector<int>{0, 2, 1, 3}));
    struct Case {
        C3DPoint last;
        bool bReversed;
    };
    // first point at the origin; d = last - first
    const Case cases[] = {
        {{1, 0, -1}, false},  // |dz| = |dx|: z is not strictly largest, x decides (+)
        {{-1, 0, 1}, true},   // same tie, x decides (-)
        {{1, -1, 0}, true},   // |dy| = |dx|: y wins the tie
        {{-2, 1, 0}, true},   // x largest
        {{5, 5, -6}, true},   // z strictly largest
        {{0, 0, 0}, false},   // zero d: nothing to orient
    };
    for (const Case& c : cases) {
        C3DPoint first(0, 0, 0);
        C3DPoint last(c.last);
        _AlgC3DPntArray a;
        a.Add(&first);
        a.Add(&last);
        a.OrientByMainAxis();
        EXPECT_EQ(a[0] == &last, c.bReversed) << last.x << " " << last.y << " " << last.z;
    }
}

}  // namespace
