#include "BaseCommon/geometry/C3DVec.h"

#include <cmath>

#include "BaseCommon/geometry/C2DVec.h"
#include "BaseCommon/geometry/C3DPoint.h"
#include "BaseCommon/geometry/Tolerance.h"
#include "BaseCommon/geometry/detail/CoordAccess.h"
#include "BaseCommon/matrix/CMatrix.h"

C3DVec::C3DVec(const C3DPoint& p) : x(p.x), y(p.y), z(p.z) {}

C3DVec::~C3DVec() = default;

void* C3DVec::clone() {
    return new C3DVec(*this);
}

void C3DVec::SetValue(int i, double v) {
    if (i >= 0 && i <= 2)
        rvn::CoordRef(*this, i) = v;
}

double C3DVec::operator()(int i) const {
    return rvn::CoordGet(*this, i);
}

double& C3DVec::operator()(int i) {
    return rvn::CoordRef(*this, i);
}

C3DVec C3DVec::operator+(const C3DPoint& p) const {
    return C3DVec(x + p.x, y + p.y, z + p.z);
}

C2DVec C3DVec::operator%(const C2DVec& v) const {
    return C2DVec(-z * v.y, z * v.x);
}

double C3DVec::Module() const {
    return std::sqrt(x * x + y * y + z * z);
}

double C3DVec::GetLengthXY() const {
    return std::sqrt(x * x + y * y);
}

double C3DVec::GetLengthYZ() const {
    return std::sqrt(y * y + z * z);
}

double C3DVec::GetLengthZX() const {
    return std::sqrt(z * z + x * x);
}

double C3DVec::GetDistTo(const C3DVec& v) const {
    return (*this - v).Module();
}

void C3DVec::Normalize() {
    rvn::NormalizeExact(*this, Module());
}

C3DVec C3DVec::GetNormal() const {
    C3DVec n(*this);
    n.Normalize();
    return n;
}

C3DVec C3DVec::GetOrthogonalVector() const {
    C3DVec r;
    if (x != 0.0) {
        r.SetXYZ(-y / x, 1.0, 0.0);
    } else if (y != 0.0) {
        r.SetXYZ(1.0, -x / y, 0.0);
    } else if (z != 0.0) {
        r.SetXYZ(1.0, 0.0, -x / z);
    } else {
        // The zero vector has no perpendicular; any unit vector is one, and (1, 0, 0) is
        // what the z branch gives for every non-zero (0, 0, z).
        r.SetXYZ(1.0, 0.0, 0.0);
    }
    r.Normalize();
    return r;
}

int C3DVec::IsABEqual(double a, double b) const {
    return std::fabs(a - b) <= rvn::kTolRelative * std::fmax(std::fabs(a), std::fabs(b)) ? 1 : 0;
}

int C3DVec::operator==(const C3DVec& v) const {
    return IsABEqual(x, v.x) && IsABEqual(y, v.y) && IsABEqual(z, v.z) ? 1 : 0;
}

int C3DVec::operator!=(const C3DVec& v) const {
    return (*this == v) ? 0 : 1;
}

int C3DVec::IsZeroLength() const {
    return Module() < rvn::kTolLength ? 1 : 0;
}

int C3DVec::IsParallel(const C3DVec& v) const {
    return (*this % v).Module() < rvn::kTolLength ? 1 : 0;
}

int C3DVec::IsOrthogonal(const C3DVec& v) const {
    return std::fabs(*this * v) < rvn::kTolLength ? 1 : 0;
}

int C3DVec::IsBetween(const C3DVec& a, const C3DVec& b) const {
    return rvn::InClosedRange(x, a.x, b.x) && rvn::InClosedRange(y, a.y, b.y) &&
                   rvn::InClosedRange(z, a.z, b.z)
               ? 1
               : 0;
}

int C3DVec::IsNotBetween(const C3DVec& a, const C3DVec& b) const {
    return IsBetween(a, b) ? 0 : 1;
}

double C3DVec::GetCosValOfIncAngTo(const C3DVec& v) const {
    return rvn::ClampCos(GetNormal() * v.GetNormal());
}

double C3DVec::GetAngleTo(const C3DVec& v) const {
    const double a = std::acos(rvn::ClampCos(v.GetNormal() * GetNormal()));
    // Parallel directions: the cross product is rounding noise whose sign would turn the
    // angle into 2pi, outside [0, 2pi).
    if (a == 0.0)
        return 0.0;
    const C3DVec c = *this % v;
    if (c.z < 0.0)
        return rvn::kTwoPi - a;
    if (c.z == 0.0 && c.x < 0.0)
        return rvn::kTwoPi - a;
    if (c.z == 0.0 && c.x == 0.0 && c.y < 0.0)
        return rvn::kTwoPi - a;
    return a;
}

double C3DVec::AngleBetween(const C3DVec& v) const {
    if ((*this % v).Module() < rvn::kTolLength)
        return 0.0;
    return std::acos(rvn::ClampCos((*this * v.GetNormal()) / Module()));
}

C3DVec C3DVec::operator*(const CMatrix& m) const {
    if (m.GetRow() < 3)
        throw mtxkit::OutOfRange(m.GetRow(), -1, "at operator*");
    if (m.GetCol() < 3)
        throw mtxkit::OutOfRange(-1, m.GetCol(), "at operator*");
    return C3DVec(x * m(0, 0) + y * m(1, 0) + z * m(2, 0), x * m(0, 1) + y * m(1, 1) + z * m(2, 1),
                  x * m(0, 2) + y * m(1, 2) + z * m(2, 2));
}
