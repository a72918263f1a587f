/// @file
/// Position in 3D model space: the point arithmetic that mixes points and vectors, equality
/// with the point tolerance (every coordinate difference strictly below 1e-6), distances, a
/// local-frame transform, rotation about a vertical axis and nearest-point searches.
/// A NaN coordinate makes equality and ThreePointOnLine 0 and distances NaN; coincident points
/// are equal and lie on a line with any third point.
#ifndef RVN_GEOMETRY_C3DPOINT_H
#define RVN_GEOMETRY_C3DPOINT_H

/// @addtogroup geometry
/// @{

#include "BaseCommon/Export.h"
#include "BaseCommon/geometry/C3DVec.h"

class C3DPointArray;

/// Position in 3D model space.
/// @see C3DPoint.h for the contracts that hold for the whole class.
class RVN_API C3DPoint {
public:
    double x;  ///< x coordinate
    double y;  ///< y coordinate
    double z;  ///< z coordinate

    C3DPoint() : x(0.0), y(0.0), z(0.0) {}
    /// The point (dx, dy, dz).
    C3DPoint(double dx, double dy, double dz) : x(dx), y(dy), z(dz) {}
    /// A copy.
    C3DPoint(const C3DPoint& p) : x(p.x), y(p.y), z(p.z) {}
    /// The point at the tip of v from the origin (implicit: points and vectors convert freely).
    C3DPoint(const C3DVec& v) : x(v.x), y(v.y), z(v.z) {}  // NOLINT: implicit by design
    /// Copies p's coordinates.
    C3DPoint& operator=(const C3DPoint& p) {
        if (this != &p) {
            x = p.x;
            y = p.y;
            z = p.z;
        }
        return *this;
    }
    virtual ~C3DPoint();
    /// A heap copy owned by the caller (delete it as a C3DPoint).
    virtual void* clone();
    /// Sets x, y and z to 0.
    virtual void Clear();

    /// Index 0, 1, 2 selects x, y, z; any other index is ignored (operator() then gives 0.0).
    void SetValue(int i, double v);
    /// Coordinate i: 0, 1, 2 give x, y, z; any other index gives 0.0.
    double operator()(int i) const;
    /// Coordinate i, writable: 0, 1, 2 give x, y, z; any other index gives a scratch value
    /// (reset to 0.0 on each such call) whose writes change nothing.
    double& operator()(int i);
    /// Divides by the length; the exact zero point is left unchanged.
    void Normalize();
    /// Distance from the origin, sqrt(x^2 + y^2 + z^2).
    double Module() const;

    /// The point moved by v.
    C3DPoint operator+(const C3DVec& v) const { return C3DPoint(x + v.x, y + v.y, z + v.z); }
    /// Moves the point by v.
    void operator+=(const C3DVec& v) {
        x += v.x;
        y += v.y;
        z += v.z;
    }
    /// The point moved by -v.
    C3DPoint operator-(const C3DVec& v) const { return C3DPoint(x - v.x, y - v.y, z - v.z); }
    /// Moves the point by -v.
    void operator-=(C3DVec v) {
        x -= v.x;
        y -= v.y;
        z -= v.z;
    }
    /// The vector from p to this point.
    C3DVec operator-(const C3DPoint& p) const { return C3DVec(x - p.x, y - p.y, z - p.z); }
    /// Coordinate-wise sum, as a vector.
    C3DVec operator+(const C3DPoint& p) const { return C3DVec(x + p.x, y + p.y, z + p.z); }
    /// Dot product of the coordinate triples.
    double operator*(const C3DPoint& p) const { return x * p.x + y * p.y + z * p.z; }
    /// Every coordinate times d.
    C3DPoint operator*(double d) const { return C3DPoint(x * d, y * d, z * d); }
    /// Multiplies every coordinate by d.
    C3DPoint& operator*=(double d) {
        x *= d;
        y *= d;
        z *= d;
        return *this;
    }
    /// Cross product of the coordinate triples.
    C3DPoint operator%(const C3DPoint& p) const {
        return C3DPoint(y * p.z - z * p.y, z * p.x - x * p.z, x * p.y - y * p.x);
    }

    /// Every coordinate difference strictly below 1e-6.
    int operator==(const C3DPoint& p) const;
    /// Length of (p2 - p1) x (p3 - p1) strictly below 1e-6: twice the triangle's area, so the
    /// test is scale dependent; two equal points among the three always give 1.
    static int ThreePointOnLine(const C3DPoint& p1, const C3DPoint& p2, const C3DPoint& p3);
    /// Distance to p, sqrt of CalcuDis2.
    double CalDistance(const C3DPoint& p) const;
    /// Squared distance to p, dx^2 + dy^2 + dz^2.
    double CalcuDis2(const C3DPoint& p) const;
    /// Squared plan distance dx^2 + dy^2 (z ignored).
    double CalcuDisPow2_XY(const C3DPoint& p) const;

    /// Normalises u, v and w in place (the caller's vectors change; an exactly zero axis stays
    /// zero and contributes 0), then returns o + ((p - o).u, (p - o).v, (p - o).w) for this
    /// point p. The origin's coordinates are added back: each result coordinate is o's plus
    /// the projection of p - o on the matching axis, not the bare local coordinate.
    C3DPoint CoorTrans(const C3DPoint& o, C3DVec& u, C3DVec& v, C3DVec& w) const;
    /// Rotates this point in place by angle radians, counter-clockwise seen from +z, about the
    /// vertical line through (x0, y0); z is unchanged.
    void Rotate_z(double x0, double y0, double angle);
    /// The element nearest to this point in plan (squared xy distance, z ignored); ties keep
    /// the earlier element. nullptr for an empty array. Null elements are skipped. The array
    /// keeps ownership of the returned point.
    C3DPoint* FindPoint_MiniDis(const C3DPointArray& arr) const;
    /// Writes into out the element nearest to this point in space (squared 3D distance); ties
    /// keep the earlier element. An empty array (or one of null elements only) sets out to
    /// this point itself. The array keeps ownership of the returned point.
    void GetNearestPnt(const C3DPointArray& arr, C3DPoint*& out);
};

/// @}

#endif  // RVN_GEOMETRY_C3DPOINT_H
