#include "BaseCommon/geometry/C3DBox.h"

#include "BaseCommon/geometry/C3DPoint.h"

namespace {

// Inclusive on both ends; the bounds are formed as c - 0.5*L - tol and c + 0.5*L + tol.
bool InSlab(double p, double c, double len, double tol) {
    return c - 0.5 * len - tol <= p && p <= c + 0.5 * len + tol;
}

}  // namespace

C3DBox::C3DBox()
    : m_pCenter(new C3DPoint()), m_dLenX(0.0), m_dLenY(0.0), m_dLenZ(0.0), m_dTol(0.0) {}

C3DBox::C3DBox(const C3DBox& src)
    : m_pCenter(src.m_pCenter ? new C3DPoint(*src.m_pCenter) : nullptr),
      m_dLenX(src.m_dLenX),
      m_dLenY(src.m_dLenY),
      m_dLenZ(src.m_dLenZ),
      m_dTol(src.m_dTol) {}

C3DBox C3DBox::operator=(const C3DBox& src) {
    if (this != &src) {
        if (!src.m_pCenter) {
            delete m_pCenter;
            m_pCenter = nullptr;
        } else if (m_pCenter) {
            *m_pCenter = *src.m_pCenter;
        } else {
            m_pCenter = new C3DPoint(*src.m_pCenter);
        }
        m_dLenX = src.m_dLenX;
        m_dLenY = src.m_dLenY;
        m_dLenZ = src.m_dLenZ;
        m_dTol = src.m_dTol;
    }
    return *this;
}

C3DBox::~C3DBox() {
    delete m_pCenter;
}

void* C3DBox::clone() {
    return new C3DBox(*this);
}

int C3DBox::PntInRegion(const C3DPoint* p) const {
    if (!p || !m_pCenter)
        return 0;
    const C3DPoint& c = *m_pCenter;
    return InSlab(p->x, c.x, m_dLenX, m_dTol) && InSlab(p->y, c.y, m_dLenY, m_dTol) &&
                   InSlab(p->z, c.z, m_dLenZ, m_dTol)
               ? 1
               : 0;
}
