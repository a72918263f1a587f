#include "BaseCommon/geometry/C2DVec.h"

#include <cmath>

#include "BaseCommon/geometry/C2DPoint.h"
#include "BaseCommon/geometry/C3DVec.h"
#include "BaseCommon/geometry/Tolerance.h"
#include "BaseCommon/matrix/CMatrix.h"

C2DVec::~C2DVec() = default;

void* C2DVec::clone() {
    return new C2DVec(*this);
}

C2DVec C2DVec::operator+(const C2DPoint& p) const {
    return C2DVec(x + p.x, y + p.y);
}

C3DVec C2DVec::operator%(const C2DVec& v) const {
    return C3DVec(0.0, 0.0, x * v.y - y * v.x);
}

int C2DVec::operator==(const C2DVec& v) const {
    return std::fabs(x - v.x) < rvn::kTol2D && std::fabs(y - v.y) < rvn::kTol2D ? 1 : 0;
}

int C2DVec::operator!=(const C2DVec& v) const {
    return (*this == v) ? 0 : 1;
}

static bool BothBelowTol(double x, double y) {
    return std::fabs(x) < rvn::kTol2D && std::fabs(y) < rvn::kTol2D;
}

void C2DVec::Normalize() {
    if (BothBelowTol(x, y)) {
        x = 0.0;
        y = 0.0;
        return;
    }
    const double len = GetLength();
    if (len < rvn::kTol2D)
        return;
    x /= len;
    y /= len;
}

C2DVec C2DVec::GetNormal() const {
    if (BothBelowTol(x, y))
        return C2DVec(0.0, 0.0);
    const double len = GetLength();
    return C2DVec(x / len, y / len);
}

double C2DVec::GetLength() const {
    return std::sqrt(x * x + y * y);
}

double C2DVec::GetCosValOfIncAngTo(const C2DVec& v) const {
    return rvn::ClampCos(v.GetNormal() * GetNormal());
}

double C2DVec::GetDistTo(const C2DVec& v) const {
    return (*this - v).GetLength();
}

int C2DVec::IsBetween(const C2DVec& a, const C2DVec& b) const {
    return rvn::InClosedRange(x, a.x, b.x) && rvn::InClosedRange(y, a.y, b.y) ? 1 : 0;
}

int C2DVec::IsNotBetween(const C2DVec& a, const C2DVec& b) const {
    return IsBetween(a, b) ? 0 : 1;
}

int C2DVec::IsZeroLength() const {
    return GetLength() < rvn::kTol2D ? 1 : 0;
}

C2DVec C2DVec::operator*(const CMatrix& m) const {
    if (m.GetRow() < 2)
        throw mtxkit::OutOfRange(m.GetRow(), -1, "at operator*");
    if (m.GetCol() < 2)
        throw mtxkit::OutOfRange(-1, m.GetCol(), "at operator*");
    return C2DVec(x * m(0, 0) + y * m(1, 0), x * m(0, 1) + y * m(1, 1));
}
