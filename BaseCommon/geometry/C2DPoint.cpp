#include "BaseCommon/geometry/C2DPoint.h"

#include <cmath>

#include "BaseCommon/geometry/Tolerance.h"

// Defines the exported record C2DPoint::classC2DPoint ("C2DPoint", schema 0, base CObject)
// and registers it when the library is loaded, so archives can create points by name.
IMPLEMENT_SERIAL(C2DPoint, CObject, 0)

C2DPoint C2DPoint::operator=(const C2DPoint& p) {
    if (this != &p) {
        x = p.x;
        y = p.y;
    }
    return *this;
}

C2DPoint::~C2DPoint() = default;

void C2DPoint::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << x << y;
    } else {
        ar >> x >> y;
    }
}

void C2DPoint::AssertValid() const {}

void C2DPoint::Dump(CDumpContext&) const {}

void* C2DPoint::clone() {
    return new C2DPoint(*this);
}

int C2DPoint::operator==(const C2DPoint& q) const {
    const double dx = q.x - x;
    const double dy = q.y - y;
    return dx * dx + dy * dy < rvn::kTol2DSquared ? 1 : 0;
}

double C2DPoint::Module() const {
    return std::sqrt(x * x + y * y);
}

double C2DPoint::CalDistance(const C2DPoint& q) const {
    return std::sqrt(CalcuDis2(q));
}

double C2DPoint::CalcuDis2(const C2DPoint& q) const {
    const double dx = q.x - x;
    const double dy = q.y - y;
    return dx * dx + dy * dy;
}

void C2DPoint::RotateByZ(C2DPoint& out, double angle) const {
    RotateByZ(out, std::sin(angle), std::cos(angle));
}

void C2DPoint::RotateByZ(C2DPoint& out, double sinA, double cosA) const {
    // Read both coordinates before writing: out may be this point.
    const double px = x;
    const double py = y;
    out.x = px * cosA - py * sinA;
    out.y = px * sinA + py * cosA;
}

void C2DPoint::RotateByPt(const C2DPoint& centre, double sinA, double cosA) {
    const double dx = x - centre.x;
    const double dy = y - centre.y;
    x = dx * cosA - dy * sinA + centre.x;
    y = dx * sinA + dy * cosA + centre.y;
}
