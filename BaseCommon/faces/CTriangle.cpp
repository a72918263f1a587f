#include "BaseCommon/faces/CTriangle.h"

#include <cmath>

#include "BaseCommon/framework/CException.h"
#include "BaseCommon/geometry/Tolerance.h"
#include "BaseCommon/matrix/CMatrix.h"

CTriangle::CTriangle() : m_bCirInit(false), m_dCirR(0.0), m_pCirCenter(new C3DPoint()) {}

CTriangle::CTriangle(const CTriangle& src)
    : C3DFace(src),
      m_bCirInit(src.m_bCirInit),
      m_dCirR(src.m_dCirR),
      m_pCirCenter(new C3DPoint(*src.m_pCirCenter)) {}

CTriangle& CTriangle::operator=(const CTriangle& src) {
    if (this != &src) {
        C3DFace::operator=(src);
        m_bCirInit = src.m_bCirInit;
        m_dCirR = src.m_dCirR;
        *m_pCirCenter = *src.m_pCirCenter;
    }
    return *this;
}

CTriangle::~CTriangle() {
    delete m_pCirCenter;
}

void* CTriangle::clone() {
    return new CTriangle(*this);
}

double CTriangle::GetCirR() {
    if (!m_bCirInit)
        InitTriCirCircle();
    return m_dCirR;
}

C3DPoint* CTriangle::GetCirCenter() {
    if (!m_bCirInit)
        InitTriCirCircle();
    return m_pCirCenter;
}

int CTriangle::IsEncompassesd(C3DPoint* p) const {
    if (p == nullptr)
        throw CInvalidArgException();
    return PntInFace(*p);
}

C3DPoint CTriangle::GetTriCentroid() const {
    const int n = m_PntArray.GetSize();
    C3DPoint c;
    if (n == 0)
        return c;
    for (int i = 0; i < n; ++i) {
        const C3DPoint& p = Corner(i);
        c.x += p.x;
        c.y += p.y;
        c.z += p.z;
    }
    c.x /= n;
    c.y /= n;
    c.z /= n;
    return c;
}

void CTriangle::Cleanup() {}

bool CTriangle::ChenkTriangel() const {
    if (m_PntArray.GetSize() != 3)
        return false;
    const double z0 = Corner(0).z;
    return Corner(1).z == z0 && Corner(2).z == z0;
}

void CTriangle::InitTriCirCircle() {
    // Corner() throws for a triangle of fewer than three corners; a fourth is ignored.
    const C3DPoint& p0 = Corner(0);
    const C3DPoint& p1 = Corner(1);
    const C3DPoint& p2 = Corner(2);
    CMatrix a(3, 3);
    CMatrix b(3, 1);
    const C3DPoint* p[3] = {&p0, &p1, &p2};
    for (int i = 0; i < 3; ++i) {
        a(i, 0) = p[i]->x;
        a(i, 1) = p[i]->y;
        a(i, 2) = 1.0;
        b(i, 0) = -(p[i]->x * p[i]->x + p[i]->y * p[i]->y);
    }
    // A singular system (corners collinear in plan) leaves the previous circle.
    if (a.MatInv()) {
        const CMatrix s = a * b;
        const double d = s(0, 0);
        const double e = s(1, 0);
        const double f = s(2, 0);
        m_pCirCenter->x = -0.5 * d;
        m_pCirCenter->y = -0.5 * e;
        m_pCirCenter->z = p0.z;
        // Shrunk by the length tolerance: a point on the circle is not inside it.
        m_dCirR = std::sqrt(0.25 * d * d + 0.25 * e * e - f) - rvn::kTolLength;
    }
    *m_pNormalVec = ((p1 - p0) % (p2 - p1)).GetNormal();
    m_bCirInit = true;
}
