#include <gtest/gtest.h>

#include <climits>
#include <typeinfo>
#include <vector>

#include "BaseCommon/faces/C3DPointArray.h"

namespace {

// Counts its live instances, so that a test sees what was deleted, and clones as itself.
class CountedPoint : public C3DPoint {
public:
    static int s_nLive;
    explicit CountedPoint(double x) : C3DPoint(x, 0, 0) { ++s_nLive; }
    CountedPoint(const CountedPoint& p) : C3DPoint(p) { ++s_nLive; }
    ~CountedPoint() override { --s_nLive; }
    void* clone() override { return new CountedPoint(*this); }
};
int CountedPoint::s_nLive = 0;

void Fill(C3DPointArray& a, std::vector<double> xs) {
    for (double x : xs)
        a.Add(new CountedPoint(x));
}

TEST(CRSTypedPtrArray, DeepCopyAndAppendCloneIndependentObjects) {
    CountedPoint::s_nLive = 0;
    C3DPointArray src, dst, empty;
    Fill(src, {1, 2, 3});
    Fill(dst, {10, 11});
    dst.DeepCopy(src);
    ASSERT_EQ(dst.GetSize(), 3);
    EXPECT_EQ(CountedPoint::s_nLive, 6);  // dst's former two were deleted
    EXPECT_NE(dst[0], src[0]);
    EXPECT_EQ(typeid(*dst[2]), typeid(CountedPoint));
    dst[0]->x = 99;
    EXPECT_EQ(src[0]->x, 1.0);

    C3DPoint* pKept = dst[1];
    dst.DeepAppend(src);
    ASSERT_EQ(dst.GetSize(), 6);
    EXPECT_EQ(dst[1], pKept);
    EXPECT_EQ(dst[5]->x, 3.0);
    EXPECT_NE(dst[5], src[2]);
    dst.DeepAppend(empty);
    EXPECT_EQ(dst.GetSize(), 6);

    dst.DeepCopy(dst);  // onto itself: keeps its objects
    EXPECT_EQ(dst[1], pKept);
    src.DeepAppend(src);  // of itself: one clone of each original
    ASSERT_EQ(src.GetSize(), 6);
    EXPECT_EQ(src[4]->x, 2.0);
    EXPECT_NE(src[4], src[1]);

    dst.DeepCopy(empty);
    EXPECT_EQ(dst.GetSize(), 0);
    src.DeepRemoveAll();
    EXPECT_EQ(CountedPoint::s_nLive, 0);
}

TEST(CRSTypedPtrArray, DeepRemoveAllSkipsNullsBorrowersFreeNothing) {
    CountedPoint::s_nLive = 0;
    C3DPointArray owner;
    owner.Add(nullptr);
    Fill(owner, {0, 1, 2});
    owner.Add(nullptr);
    {
        _AlgC3DPntArray work;
        work.Append(owner);
        C3DPointArray shallow;
        shallow.Copy(owner);
    }
    EXPECT_EQ(CountedPoint::s_nLive, 3);
    owner.DeepRemoveAll();
    EXPECT_EQ(owner.GetSize(), 0);
    EXPECT_EQ(CountedPoint::s_nLive, 0);
}

TEST(CRSTypedPtrArray, Find_IdentityStrictlyAfterStart) {
    C3DPoint p, q, same;
    C3DPointArray a;
    for (C3DPoint* e : {&q, &p, &q, &p})
        a.Add(e);
    const struct {
        C3DPoint* sought;
        int nStart, nExpected;
    } cases[] = {{&p, -1, 1}, {&p, 1, 3},      {&p, 3, -1},
                 {&p, -7, 1}, {&same, -1, -1}, {&p, INT_MAX, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(a.Find(c.sought, c.nStart), c.nExpected) << c.nStart;
}

// Orders the given points; returns the input index of each point in the resulting order.
std::vector<int> Order(std::vector<C3DPoint> pts, bool bOrient) {
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

TEST(AlgC3DPntArray, SortAlongLine_FarthestFirstOnTiesStableOnEqualDistances) {
    using V = std::vector<int>;
    EXPECT_EQ(Order({{0, 0, 0}, {10, 0, 0}, {5, 0, 0}, {20, 0, 0}}, false), (V{3, 1, 2, 0}));
    EXPECT_EQ(Order({{-3, 0, 0}, {3, 0, 0}, {1, 0, 0}, {0, 0, 0}}, false), (V{0, 3, 2, 1}));
    EXPECT_EQ(Order({{10, 0, 0}, {5, 0, 0}, {5, 0, 0}, {10, 0, 0}}, false), (V{0, 3, 1, 2}));
    EXPECT_EQ(Order({{0, 0, 0}, {10, 0, 0}, {5, 0, 0}, {20, 0, 0}}, true), (V{0, 2, 1, 3}));
}

TEST(AlgC3DPntArray, OrientByMainAxis_TieRules) {
    const struct {
        C3DPoint last;  // the first point is the origin
        bool bReversed;
    } cases[] = {
        {{1, 0, -1}, false},  // |dz| = |dx|: z is not strictly largest, x decides
        {{-1, 0, 1}, true},  {{1, -1, 0}, true},  // |dy| = |dx|: y decides
        {{-2, 1, 0}, true},  {{5, 5, -6}, true}, {{0, 0, 0}, false},
    };
    for (const auto& c : cases) {
        C3DPoint first, last(c.last);
        _AlgC3DPntArray a;
        a.Add(&first);
        a.Add(&last);
        a.OrientByMainAxis();
        EXPECT_EQ(a[0] == &last, c.bReversed) << last.x << " " << last.y << " " << last.z;
    }
}

}  // namespace
