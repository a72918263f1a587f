#include "BaseCommon/geometry/C3DPoint.h"

#include <cmath>

#include "BaseCommon/geometry/CoordAccess.h"
#include "BaseCommon/geometry/Tolerance.h"

C3DPoint::~C3DPoint() = default;

void* C3DPoint::clone() {
    return new C3DPoint(*this);
}

void C3DPoint::Clear() {
    x = y = z = 0.0;
}

void C3DPoint::SetValue(int i, double v) {
    if (i >= 0 && i <= 2)
        rvn::CoordRef(*this, i) = v;
}

double C3DPoint::operator()(int i) const {
    return rvn::CoordGet(*this, i);
}

double& C3DPoint::operator()(int i) {
    return rvn::CoordRef(*this, i);
}

void C3DPoint::Normalize() {
    rvn::NormalizeExact(*this, Module());
}

double C3DPoint::Module() const {
    return std::sqrt(x * x + y * y + z * z);
}

int C3DPoint::operator==(const C3DPoint& p) const {
    return std::fabs(x - p.x) < rvn::kTolPoint && std::fabs(y - p.y) < rvn::kTolPoint &&
                   std::fabs(z - p.z) < rvn::kTolPoint
               ? 1
               : 0;
}

int C3DPoint::ThreePointOnLine(const C3DPoint& p1, const C3DPoint& p2, const C3DPoint& p3) {
    return ((p2 - p1) % (p3 - p1)).Module() < rvn::kTolPoint ? 1 : 0;
}

double C3DPoint::CalDistance(const C3DPoint& p) const {
    return std::sqrt(CalcuDis2(p));
}

double C3DPoint::CalcuDis2(const C3DPoint& p) const {
    const double dx = x - p.x;
    const double dy = y - p.y;
    const double dz = z - p.z;
    return dx * dx + dy * dy + dz * dz;
}

double C3DPoint::CalcuDisPow2_XY(const C3DPoint& p) const {
    const double dx = x - p.x;
    const double dy = y - p.y;
    return dx * dx + dy * dy;
}
