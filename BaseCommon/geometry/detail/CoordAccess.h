// Indexed access to the x, y, z fields shared by C3DVec and C3DPoint.
#ifndef RVN_GEOMETRY_DETAIL_COORDACCESS_H
#define RVN_GEOMETRY_DETAIL_COORDACCESS_H

#include <cmath>

namespace rvn {

// Index 0, 1, 2 gives x, y, z; any other index gives 0.0.
template <class T>
double CoordGet(const T& p, int i) {
    return i == 0 ? p.x : i == 1 ? p.y : i == 2 ? p.z : 0.0;
}

// Index 0, 1, 2 gives the field; any other index gives a scratch value reset to 0.0 on every
// such call, so a write through it changes nothing that is read later.
template <class T>
double& CoordRef(T& p, int i) {
    thread_local double scratch;
    if (i == 0)
        return p.x;
    if (i == 1)
        return p.y;
    if (i == 2)
        return p.z;
    scratch = 0.0;
    return scratch;
}

// Divides by the length; an exact zero triple is left unchanged (no tolerance). A finite
// triple whose sum of squares underflows to 0 or overflows to infinity (components below
// about 1e-154 or above 1e154) is first divided by its largest magnitude, so that it still
// comes out a unit triple instead of infinities, NaN or zeros; every other triple is
// divided by the length given. A NaN component gives NaN everywhere, an infinite one NaN in
// its own place.
template <class T>
void NormalizeExact(T& p, double length) {
    if (p.x == 0.0 && p.y == 0.0 && p.z == 0.0)
        return;
    if (length == 0.0 || std::isinf(length)) {
        const double m = std::fmax(std::fabs(p.x), std::fmax(std::fabs(p.y), std::fabs(p.z)));
        if (std::isfinite(m)) {
            p.x /= m;
            p.y /= m;
            p.z /= m;
            length = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
        }
    }
    p.x /= length;
    p.y /= length;
    p.z /= length;
}

}  // namespace rvn

#endif  // RVN_GEOMETRY_DETAIL_COORDACCESS_H
