#include "BaseCommon/geometry/C2DBox.h"

#include <memory>

#include "BaseCommon/geometry/C2DPoint.h"
#include "BaseCommon/geometry/Tolerance.h"

C2DBox::C2DBox() : C2DBox(0.0, 0.0, 0.0, 0.0) {}

C2DBox::C2DBox(double x1, double y1, double x2, double y2) {
    auto first = std::make_unique<C2DPoint>(x1, y1);
    m_pSecond = new C2DPoint(x2, y2);
    m_pFirst = first.release();
}

C2DBox::C2DBox(const C2DBox& b)
    : C2DBox(b.m_pFirst->x, b.m_pFirst->y, b.m_pSecond->x, b.m_pSecond->y) {}

C2DBox C2DBox::operator=(const C2DBox& b) {
    if (this != &b) {
        *m_pFirst = *b.m_pFirst;
        *m_pSecond = *b.m_pSecond;
    }
    return *this;
}

C2DBox::~C2DBox() {
    delete m_pFirst;
    delete m_pSecond;
}

void* C2DBox::clone() {
    return new C2DBox(*this);
}

double C2DBox::GetWidth() const {
    return m_pSecond->x - m_pFirst->x;
}

double C2DBox::GetHeight() const {
    return m_pSecond->y - m_pFirst->y;
}

int C2DBox::PntInRegion(double x, double y) const {
    return m_pFirst->x - rvn::kTol2D < x && x < m_pSecond->x + rvn::kTol2D &&
                   m_pFirst->y - rvn::kTol2D < y && y < m_pSecond->y + rvn::kTol2D
               ? 1
               : 0;
}
