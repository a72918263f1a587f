// Small helpers shared by the face tests.
#ifndef RVN_TESTS_FACES_FACETESTUTIL_H
#define RVN_TESTS_FACES_FACETESTUTIL_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "BaseCommon/faces/C3DFace.h"

namespace rvn_test {

struct P3 {
    double x, y, z;
};

// Replaces the corners of f; sets the normal from them when asked.
inline void SetCorners(C3DFace& f, std::initializer_list<P3> corners, bool setNormal = false) {
    f.GetPntArray()->DeepRemoveAll();
    for (const P3& p : corners)
        f.GetPntArray()->Add(new C3DPoint(p.x, p.y, p.z));
    if (setNormal)
        f.InitNormalVec();
}

inline std::unique_ptr<C3DFace> Face(std::initializer_list<P3> corners, bool setNormal = true) {
    std::unique_ptr<C3DFace> f(new C3DFace());
    SetCorners(*f, corners, setNormal);
    return f;
}

inline void ExpectPoint(const C3DPoint& p, double x, double y, double z) {
    EXPECT_NEAR(p.x, x, 1e-12);
    EXPECT_NEAR(p.y, y, 1e-12);
    EXPECT_NEAR(p.z, z, 1e-12);
}

inline void ExpectCorners(const C3DFace& f, std::initializer_list<P3> want) {
    ASSERT_EQ(f.m_PntArray.GetSize(), static_cast<int>(want.size()));
    int i = 0;
    for (const P3& p : want) {
        SCOPED_TRACE(i);
        ExpectPoint(*f.GetPoint(i++), p.x, p.y, p.z);
    }
}

}  // namespace rvn_test

#endif  // RVN_TESTS_FACES_FACETESTUTIL_H
