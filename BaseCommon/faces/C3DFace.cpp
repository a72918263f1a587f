#include "BaseCommon/faces/C3DFace.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "BaseCommon/faces/C3DFaceArray.h"
#include "BaseCommon/faces/C3DLineArray.h"
#include "BaseCommon/faces/detail/ArrayGuard.h"
#include "BaseCommon/framework/CException.h"
#include "BaseCommon/geometry/C3DLine.h"
#include "BaseCommon/geometry/Tolerance.h"

// The deep operations of the face array need the complete face class; they are instantiated
// (and exported) here.
template void CRSTypedPtrArray<CPtrArray, C3DFace*>::DeepCopy(const CRSTypedPtrArray&);
template void CRSTypedPtrArray<CPtrArray, C3DFace*>::DeepAppend(const CRSTypedPtrArray&);
template void CRSTypedPtrArray<CPtrArray, C3DFace*>::DeepRemoveAll();

namespace {

// PntInFace: a point is on the inner side of an edge when the cross products of that edge
// and of the reference edge do not point apart by more than this (their dot product).
constexpr double kTolSameSide = 1e-6;

// GetMinLength of a face without edges.
constexpr double kNoEdgeLength = 1e300;

}  // namespace

C3DFace::C3DFace() : m_pNormalVec(new C3DVec()) {}

C3DFace::C3DFace(const C3DFace& src) : m_pNormalVec(new C3DVec(*src.m_pNormalVec)) {
    // The normal is already owned: free it if copying the corners throws.
    std::unique_ptr<C3DVec> normal(m_pNormalVec);
    try {
        m_PntArray.DeepCopy(src.m_PntArray);
    } catch (...) {
        m_PntArray.DeepRemoveAll();
        throw;
    }
    normal.release();
}

C3DFace& C3DFace::operator=(const C3DFace& src) {
    if (this != &src) {
        m_PntArray.DeepCopy(src.m_PntArray);
        *m_pNormalVec = *src.m_pNormalVec;
    }
    return *this;
}

C3DFace::~C3DFace() {
    m_PntArray.DeepRemoveAll();
    delete m_pNormalVec;
}

void* C3DFace::clone() {
    return new C3DFace(*this);
}

C3DPoint* C3DFace::GetPoint(int i) const {
    if (i < 0 || i >= m_PntArray.GetSize())
        return nullptr;
    return m_PntArray.GetAt(i);
}

const C3DPoint& C3DFace::Corner(int i) const {
    const C3DPoint* p = m_PntArray.GetAt(i);
    if (p == nullptr)
        throw CInvalidArgException();
    return *p;
}

// --- measurement against the plane ----------------------------------------------------------

double C3DFace::GetDisToPnt(const C3DPoint& p) const {
    return (p - Corner(0)) * *m_pNormalVec;
}

C3DVec C3DFace::GetVecToPnt(const C3DPoint& p) const {
    return *m_pNormalVec * GetDisToPnt(p);
}

C3DVec C3DFace::GetDirToPnt(const C3DPoint& p) const {
    return GetVecToPnt(p).GetNormal();
}

int C3DFace::PntOnFace(const C3DPoint& p) const {
    return std::fabs(GetDisToPnt(p)) < rvn::kTolLength ? 1 : 0;
}

int C3DFace::LineOnFace(const C3DLine& l) const {
    return PntOnFace(*l.GetBgnPnt()) && PntOnFace(*l.GetEndPnt()) ? 1 : 0;
}

C3DPoint C3DFace::GetCrossPnt(const C3DLine& l) const {
    const C3DPoint& a = *l.GetBgnPnt();
    const C3DPoint& b = *l.GetEndPnt();
    const C3DVec va = GetVecToPnt(a);
    const C3DVec vb = GetVecToPnt(b);
    double t = 0.0;
    if (va * vb <= 0.0) {
        const double la = va.Module();
        const double sum = vb.Module() + la;
        // Both ends exactly in the plane: every point of the segment is a crossing; the begin
        // point rather than 0/0.
        t = sum == 0.0 ? 0.0 : la / sum;
    }
    return a + (b - a) * t;
}

// --- containment and comparison ---------------------------------------------------------------

int C3DFace::PntInFace(const C3DPoint& p) const {
    if (!(std::fabs(GetDisToPnt(p)) < rvn::kTolLength))
        return -1;
    C3DLineArray edges;
    rvn::detail::DeepRemoveGuard<C3DLineArray> guard(edges);
    GenLineArray(edges);
    const int n = edges.GetSize();
    for (int i = 0; i < n; ++i) {
        if (edges.GetAt(i)->PntOnLine(p))
            return 0;
    }
    // GetAt throws for a face with one corner: no edge, no side to decide.
    const C3DLine& last = *edges.GetAt(n - 1);
    const C3DVec r = (*last.GetBgnPnt() - p) % last.GetVec();
    // On the line through the reference edge but not on the edge: outside a convex face.
    if (r.Module() < rvn::kTolLength)
        return -1;
    for (int i = 0; i < n - 1; ++i) {
        const C3DLine& e = *edges.GetAt(i);
        const C3DVec c = (*e.GetBgnPnt() - p) % e.GetVec();
        if (c.Module() < rvn::kTolLength)
            return -1;
        if (c * r < -kTolSameSide)
            return -1;
    }
    return 1;
}

int C3DFace::PntInPntArray(const C3DPoint& p) const {
    const int n = m_PntArray.GetSize();
    for (int i = 0; i < n; ++i) {
        if (Corner(i) == p)
            return 1;
    }
    return 0;
}

int C3DFace::IsInMinBox(const C3DPoint& p, double tol) const {
    const int n = m_PntArray.GetSize();
    if (n == 0)
        return 0;
    C3DPoint lo = Corner(0);
    C3DPoint hi = lo;
    for (int i = 1; i < n; ++i) {
        const C3DPoint& c = Corner(i);
        lo.x = std::min(lo.x, c.x);
        lo.y = std::min(lo.y, c.y);
        lo.z = std::min(lo.z, c.z);
        hi.x = std::max(hi.x, c.x);
        hi.y = std::max(hi.y, c.y);
        hi.z = std::max(hi.z, c.z);
    }
    if (p.x < lo.x - tol || p.x > hi.x + tol)
        return 0;
    if (p.y < lo.y - tol || p.y > hi.y + tol)
        return 0;
    if (p.z < lo.z - tol || p.z > hi.z + tol)
        return 0;
    return 1;
}

int C3DFace::Encompass(const C3DFace* other) const {
    if (other == nullptr)
        throw CInvalidArgException();
    const int n = other->m_PntArray.GetSize();
    for (int i = 0; i < n; ++i) {
        if (PntInFace(other->Corner(i)) == -1)
            return 0;
    }
    return 1;
}

int C3DFace::operator==(const C3DFace& other) const {
    const int nOther = other.m_PntArray.GetSize();
    for (int i = 0; i < nOther; ++i) {
        if (PntInFace(other.Corner(i)) != 0)
            return 0;
    }
    const int n = m_PntArray.GetSize();
    for (int i = 0; i < n; ++i) {
        if (other.PntInFace(Corner(i)) != 0)
            return 0;
    }
    return 1;
}

// --- size and shape -----------------------------------------------------------------------------

double C3DFace::GetArea() const {
    const int n = m_PntArray.GetSize();
    if (n < 3)
        return 0.0;
    const C3DPoint& p0 = Corner(0);
    C3DVec e = Corner(1) - p0;
    C3DVec s;
    for (int i = 2; i < n; ++i) {
        const C3DVec f = Corner(i) - p0;
        s += e % f;
        e = f;
    }
    return 0.5 * s.Module();
}

double C3DFace::GetGirth() const {
    // The edges of GenLineArray measured in place: |end - begin| of each, as C3DLine does.
    const int n = m_PntArray.GetSize();
    double girth = 0.0;
    for (int i = 0; i + 1 < n; ++i)
        girth += (Corner(i + 1) - Corner(i)).Module();
    if (n >= 3)
        girth += (Corner(0) - Corner(n - 1)).Module();
    return girth;
}

double C3DFace::GetMinLength(const C3DPoint& p) const {
    const int n = m_PntArray.GetSize();
    double best = kNoEdgeLength;
    auto edge = [&](const C3DPoint& a, const C3DPoint& b) {
        const double d = (a - p).Module() + (b - p).Module() - (b - a).Module();
        if (d < best)
            best = d;
    };
    for (int i = 0; i + 1 < n; ++i)
        edge(Corner(i), Corner(i + 1));
    if (n >= 3)
        edge(Corner(n - 1), Corner(0));
    return best;
}

int C3DFace::InitNormalVec() {
    const int n = m_PntArray.GetSize();
    if (n < 3)
        return 0;
    C3DVec e0 = Corner(0) - Corner(n - 1);
    for (int i = 0; i + 1 < n; ++i) {
        const C3DVec e1 = Corner(i + 1) - Corner(i);
        const C3DVec c = e0 % e1;
        if (!(c.Module() < rvn::kTolLength)) {
            *m_pNormalVec = c.GetNormal();
            return 1;
        }
        e0 = e1;
    }
    return 0;
}

int C3DFace::IsPlane() {
    if (m_PntArray.GetSize() < 3 || !InitNormalVec())
        return 0;
    // The distance of each corner from the plane through corner 0. A local frame whose
    // transformed points keep the origin's coordinates would measure z from z = 0 and call
    // every face away from z = 0 (a slab at +5 m) not plane.
    const C3DPoint& p0 = Corner(0);
    const int n = m_PntArray.GetSize();
    for (int i = 1; i < n; ++i) {
        if (!(std::fabs((Corner(i) - p0) * *m_pNormalVec) < rvn::kTolLength))
            return 0;
    }
    return 1;
}
