#include "BaseCommon/geometry/C3DPoint.h"

#include <cmath>

#include "BaseCommon/faces/C3DPointArray.h"
#include "BaseCommon/geometry/Tolerance.h"
#include "BaseCommon/geometry/detail/CoordAccess.h"

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

C3DPoint C3DPoint::CoorTrans(const C3DPoint& o, C3DVec& u, C3DVec& v, C3DVec& w) const {
    u.Normalize();
    v.Normalize();
    w.Normalize();
    // The homogeneous row [p, 1] times a translation by -o and then times the matrix whose
    // columns are u, v, w: the terms with the identity's zeros and ones drop out and what is
    // left is the same sums of products in the same order, so the numbers are those of the
    // 4x4 matrix products (for finite coordinates) without building them.
    const C3DVec d(x - o.x, y - o.y, z - o.z);
    return C3DPoint(o.x + (d.x * u.x + d.y * u.y + d.z * u.z),
                    o.y + (d.x * v.x + d.y * v.y + d.z * v.z),
                    o.z + (d.x * w.x + d.y * w.y + d.z * w.z));
}

void C3DPoint::Rotate_z(double x0, double y0, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    C3DVec u(c, -s, 0.0);
    C3DVec v(s, c, 0.0);
    C3DVec w(0.0, 0.0, 1.0);
    *this = CoorTrans(C3DPoint(x0, y0, 0.0), u, v, w);
}

namespace {

// The non-null element with the least distance(element), the earlier of equals; nullptr when
// there is none.
template <class Distance>
C3DPoint* Nearest(const C3DPointArray& arr, Distance distance) {
    C3DPoint* pBest = nullptr;
    double dBest = 0.0;
    for (int i = 0; i < arr.GetSize(); ++i) {
        C3DPoint* p = arr.GetAt(i);
        if (!p)
            continue;
        const double d = distance(*p);
        if (!pBest || d < dBest) {
            pBest = p;
            dBest = d;
        }
    }
    return pBest;
}

}  // namespace

C3DPoint* C3DPoint::FindPoint_MiniDis(const C3DPointArray& arr) const {
    return Nearest(arr, [this](const C3DPoint& p) { return CalcuDisPow2_XY(p); });
}

void C3DPoint::GetNearestPnt(const C3DPointArray& arr, C3DPoint*& out) {
    C3DPoint* pBest = Nearest(arr, [this](const C3DPoint& p) { return CalcuDis2(p); });
    out = pBest ? pBest : this;
}
