// Indexed access to the x, y, z fields shared by C3DVec and C3DPoint.
#ifndef RVN_GEOMETRY_COORDACCESS_H
#define RVN_GEOMETRY_COORDACCESS_H

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

// Divides by the length; an exact zero triple is left unchanged (no tolerance).
template <class T>
void NormalizeExact(T& p, double length) {
    if (p.x == 0.0 && p.y == 0.0 && p.z == 0.0)
        return;
    p.x /= length;
    p.y /= length;
    p.z /= length;
}

}  // namespace rvn

#endif  // RVN_GEOMETRY_COORDACCESS_H
