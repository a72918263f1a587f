// Small helpers shared by the face tests.
#ifndef RVN_TESTS_FACES_FACETESTUTIL_H
#define RVN_TESTS_FACES_FACETESTUTIL_H

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>

#include "BaseCommon/faces/C3DFace.h"

namespace rvn_test {

struct P3 {
    double x, y, z = 0.0;
};

inline C3DPoint Pt(P3 p) {
    return C3DPoint(p.x, p.y, p.z);
}

// Replaces the corners of f; sets the normal from them when asked.
inline void SetCorners(C3DFace& f, std::initializer_list<P3> corners, bool setNormal = false) {
    f.GetPntArray()->DeepRemoveAll();
    for (const P3& p : corners)
        f.GetPntArray()->Add(new C3DPoint(Pt(p)));
    if (setNormal)
        f.InitNormalVec();
}

inline std::unique_ptr<C3DFace> Face(std::initializer_list<P3> corners, bool setNormal = true) {
    std::unique_ptr<C3DFace> f(new C3DFace());
    SetCorners(*f, corners, setNormal);
    return f;
}

inline void ExpectPoint(const C3DPoint& p, P3 want) {
    EXPECT_TRUE(std::fabs(p.x - want.x) < 1e-12 && std::fabs(p.y - want.y) < 1e-12 &&
                std::fabs(p.z - want.z) < 1e-12)
        << "(" << p.x << ", " << p.y << ", " << p.z << ")";
}

inline void ExpectCorners(const C3DFace& f, std::initializer_list<P3> want) {
    ASSERT_EQ(f.m_PntArray.GetSize(), static_cast<int>(want.size()));
    int i = 0;
    for (const P3& p : want)
        ExpectPoint(*f.GetPoint(i++), p);
}

}  // namespace rvn_test

#endif  // RVN_TESTS_FACES_FACETESTUTIL_H
