#include <gtest/gtest.h>

#include <climits>
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

std::vector<double> Xs(const C3DPointArray& a) {
    std::vector<double> xs;
    for (int i = 0; i < a.GetSize(); ++i)
        xs.push_back(a.GetAt(i)->x);
    return xs;
}

TEST(CRSTypedPtrArray, DeepOperationsCloneIndependentObjectsAndFreeThem) {
    using V = std::vector<double>;
    CountedPoint::s_nLive = 0;
    C3DPointArray src, dst, empty;
    for (const double x : {1, 2, 3})
        src.Add(new CountedPoint(x));
    dst.Add(new CountedPoint(10));
    dst.DeepCopy(src);
    EXPECT_EQ(CountedPoint::s_nLive, 6);  // the former point deleted, three clones of their class
    dst[0]->x = 99;
    C3DPoint* kept = dst[1];
    dst.DeepAppend(src);
    dst.DeepCopy(dst);  // onto itself: keeps its objects
    EXPECT_EQ(Xs(dst), (V{99, 2, 3, 1, 2, 3}));
    EXPECT_EQ(dst[1], kept);
    src.DeepAppend(src);  // of itself: one clone of each original
    EXPECT_EQ(Xs(src), (V{1, 2, 3, 1, 2, 3}));
    EXPECT_NE(src[4], src[1]);
    dst.DeepCopy(empty);
    EXPECT_EQ(dst.GetSize(), 0);
    EXPECT_EQ(CountedPoint::s_nLive, 6);
    // Nulls are skipped; arrays that borrow free nothing.
    src.Add(nullptr);
    {
        _AlgC3DPntArray work;
        work.Append(src);
        C3DPointArray shallow;
        shallow.Copy(src);
    }
    EXPECT_EQ(CountedPoint::s_nLive, 6);
    src.DeepRemoveAll();
    EXPECT_EQ(src.GetSize(), 0);
    EXPECT_EQ(CountedPoint::s_nLive, 0);
}

TEST(CRSTypedPtrArray, Find_IdentityStrictlyAfterStart) {
    C3DPoint p, q, same;
    C3DPointArray a;
    for (C3DPoint* e : {&q, &p, &q, &p})
        a.Add(e);
    const int cases[][3] = {{1, -1, 1}, {1, 1, 3},   {1, 3, -1},
                            {1, -7, 1}, {0, -1, -1}, {1, INT_MAX, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(a.Find(c[0] ? &p : &same, c[1]), c[2]) << c[1];
}

// Orders the given points; returns the input index of each point in the resulting order.
std::vector<int> Order(std::vector<C3DPoint> pts, bool bSort, bool bOrient) {
    _AlgC3DPntArray a;
    for (C3DPoint& p : pts)
        a.Add(&p);
    if (bSort)
        a.SortAlongLine();
    if (bOrient)
        a.OrientByMainAxis();
    std::vector<int> out;
    for (int i = 0; i < a.GetSize(); ++i)
        out.push_back(static_cast<int>(a[i] - pts.data()));
    return out;
}

TEST(AlgC3DPntArray, SortFarthestFirstStableOnTiesOrientByMainAxisWithItsTieRules) {
    using V = std::vector<int>;
    // Sorted from the point farthest from the origin (the first of equal ones), then oriented.
    EXPECT_EQ(Order({{0, 0, 0}, {10, 0, 0}, {5, 0, 0}, {20, 0, 0}}, true, false), (V{3, 1, 2, 0}));
    EXPECT_EQ(Order({{-3, 0, 0}, {3, 0, 0}, {1, 0, 0}, {0, 0, 0}}, true, false), (V{0, 3, 2, 1}));
    EXPECT_EQ(Order({{10, 0, 0}, {5, 0, 0}, {5, 0, 0}, {10, 0, 0}}, true, false), (V{0, 3, 1, 2}));
    EXPECT_EQ(Order({{0, 0, 0}, {10, 0, 0}, {5, 0, 0}, {20, 0, 0}}, true, true), (V{0, 2, 1, 3}));
    // z leads only when strictly largest, then y when not below x.
    const C3DPoint kept[] = {{1, 0, -1}, {0, 0, 0}},
                   reversed[] = {{-1, 0, 1}, {1, -1, 0}, {5, 5, -6}};
    for (const C3DPoint& last : kept)
        EXPECT_EQ(Order({{0, 0, 0}, last}, false, true), (V{0, 1})) << last.x << last.y << last.z;
    for (const C3DPoint& last : reversed)
        EXPECT_EQ(Order({{0, 0, 0}, last}, false, true), (V{1, 0})) << last.x << last.y << last.z;
}

}  // namespace
