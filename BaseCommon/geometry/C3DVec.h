/// @file
/// Free 3D vector: three doubles and the vector algebra every geometric class is written in.
///
/// Tolerances (see Tolerance.h): operator== is the relative test of IsABEqual on x, y, z;
/// IsZeroLength, IsParallel and IsOrthogonal use the length tolerance 0.001, strictly and on
/// un-normalised quantities (so IsParallel depends on the vectors' magnitudes); Normalize,
/// GetNormal and GetOrthogonalVector test components against exactly 0.0.
/// Nothing reports an error: divisions by zero follow IEEE arithmetic.
///
/// Degenerate and non-finite input: the zero vector is zero length, parallel and orthogonal
/// to every vector, has cosine 0 (GetAngleTo pi/2) and AngleBetween 0 with any vector. A NaN
/// component fails every test (==, IsZeroLength, IsParallel, IsOrthogonal, IsBetween give 0)
/// and makes lengths, normals and angles NaN; an infinite component gives NaN in its place in
/// normals and so NaN cosines and angles. A finite vector whose squared length underflows or
/// overflows (components below about 1e-154 or above 1e154) still normalises to a unit
/// vector, though its Module is 0 or infinity.
#ifndef RVN_GEOMETRY_C3DVEC_H
#define RVN_GEOMETRY_C3DVEC_H

/// @addtogroup geometry
/// @{

#include "BaseCommon/Export.h"

class C3DPoint;
class C2DVec;
class CMatrix;

/// Free 3D vector.
/// @see C3DVec.h for the contracts that hold for the whole class.
class RVN_API C3DVec {
public:
    double x;  ///< x component
    double y;  ///< y component
    double z;  ///< z component

    C3DVec() : x(0.0), y(0.0), z(0.0) {}
    /// The vector (dx, dy, dz).
    C3DVec(double dx, double dy, double dz) : x(dx), y(dy), z(dz) {}
    /// A copy.
    C3DVec(const C3DVec& v) : x(v.x), y(v.y), z(v.z) {}
    /// The position vector of p (implicit: points and vectors convert freely).
    C3DVec(const C3DPoint& p);  // NOLINT: implicit conversion is part of the API
    /// Copies v's components.
    C3DVec& operator=(const C3DVec& v) {
        if (this != &v) {
            x = v.x;
            y = v.y;
            z = v.z;
        }
        return *this;
    }
    virtual ~C3DVec();
    /// A heap copy owned by the caller (delete it as a C3DVec).
    virtual void* clone();

    /// Sets the three components.
    void SetXYZ(const double& dx, const double& dy, const double& dz) {
        x = dx;
        y = dy;
        z = dz;
    }
    /// Index 0, 1, 2 selects x, y, z; any other index is ignored (operator() then gives 0.0).
    void SetValue(int i, double v);
    /// Component i: 0, 1, 2 give x, y, z; any other index gives 0.0.
    double operator()(int i) const;
    /// Component i, writable: 0, 1, 2 give x, y, z; any other index gives a scratch value
    /// (reset to 0.0 on each such call) whose writes change nothing.
    double& operator()(int i);
    /// The x component.
    double GetX() const { return x; }
    /// The y component.
    double GetY() const { return y; }
    /// The z component.
    double GetZ() const { return z; }

    /// Component-wise sum.
    C3DVec operator+(const C3DVec& v) const { return C3DVec(x + v.x, y + v.y, z + v.z); }
    /// This vector plus p's coordinates, as a vector.
    C3DVec operator+(const C3DPoint& p) const;
    /// Component-wise difference.
    C3DVec operator-(const C3DVec& v) const { return C3DVec(x - v.x, y - v.y, z - v.z); }
    /// Every component times d.
    C3DVec operator*(double d) const { return C3DVec(x * d, y * d, z * d); }
    /// Every component divided by d (IEEE: d == 0 gives infinities or NaN).
    C3DVec operator/(double d) const { return C3DVec(x / d, y / d, z / d); }
    /// Adds v component-wise.
    C3DVec& operator+=(const C3DVec& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    /// Subtracts v component-wise.
    C3DVec& operator-=(const C3DVec& v) {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        return *this;
    }
    /// Multiplies every component by d.
    C3DVec& operator*=(double d) {
        x *= d;
        y *= d;
        z *= d;
        return *this;
    }
    /// Divides every component by d (IEEE arithmetic).
    C3DVec& operator/=(double d) {
        x /= d;
        y /= d;
        z /= d;
        return *this;
    }
    /// Dot product.
    double operator*(const C3DVec& v) const { return x * v.x + y * v.y + z * v.z; }
    /// Cross product this x v.
    C3DVec operator%(const C3DVec& v) const {
        return C3DVec(y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x);
    }
    /// First two components of this x (v.x, v.y, 0), that is (-z*v.y, z*v.x).
    C2DVec operator%(const C2DVec& v) const;
    /// Row vector times the top-left 3 x 3 block of m: r_j = x*m(0, j) + y*m(1, j) + z*m(2, j).
    /// A matrix smaller than 3 x 3 throws mtxkit::OutOfRange "at operator*" (see CMatrix.h).
    C3DVec operator*(const CMatrix& m) const;

    /// Length sqrt(x^2 + y^2 + z^2), computed directly (0 or infinity when the squares
    /// underflow or overflow).
    double Module() const;
    /// Length (same as Module).
    double GetLength() const { return Module(); }
    /// Squared length x^2 + y^2 + z^2.
    double GetModuleSquare() const { return x * x + y * y + z * z; }
    /// Length of the projection on the XY plane, sqrt(x^2 + y^2).
    double GetLengthXY() const;
    /// Length of the projection on the YZ plane, sqrt(y^2 + z^2).
    double GetLengthYZ() const;
    /// Length of the projection on the ZX plane, sqrt(z^2 + x^2).
    double GetLengthZX() const;
    /// Length of this - v.
    double GetDistTo(const C3DVec& v) const;

    /// Divides by the length; the exact zero vector is left unchanged.
    void Normalize();
    /// The unit vector of this direction; (0, 0, 0) for the exact zero vector.
    C3DVec GetNormal() const;
    /// A unit vector perpendicular to this: (-y/x, 1, 0) when x != 0, else (1, -x/y, 0) when
    /// y != 0, else (1, 0, -x/z), normalised. The exact zero vector gives (1, 0, 0).
    C3DVec GetOrthogonalVector() const;

    /// |a - b| <= 1e-6 * max(|a|, |b|), inclusive; no absolute floor. Does not read the vector.
    int IsABEqual(double a, double b) const;
    /// 1 when x, y and z each pass IsABEqual (relative 1e-6, inclusive), else 0.
    int operator==(const C3DVec& v) const;
    /// 1 when operator== gives 0, else 0.
    int operator!=(const C3DVec& v) const;
    /// Length strictly below 0.001.
    int IsZeroLength() const;
    /// Length of the un-normalised cross product strictly below 0.001.
    int IsParallel(const C3DVec& v) const;
    /// |un-normalised dot product| strictly below 0.001.
    int IsOrthogonal(const C3DVec& v) const;
    /// Every coordinate in the closed interval spanned by a's and b's (either order, exact).
    int IsBetween(const C3DVec& a, const C3DVec& b) const;
    /// 1 when IsBetween gives 0, else 0.
    int IsNotBetween(const C3DVec& a, const C3DVec& b) const;

    /// Cosine of the angle between the two directions (0 when either is the zero vector),
    /// clamped into [-1, 1].
    double GetCosValOfIncAngTo(const C3DVec& v) const;
    /// Angle from this to v in [0, 2pi): counter-clockwise seen from +z for vectors in the XY
    /// plane; out of the plane the sense follows the cross product's z, then x, then y sign.
    /// Parallel directions give exactly 0, anti-parallel exactly pi. In radians; the cosine
    /// is clamped into [-1, 1] before the arc cosine.
    double GetAngleTo(const C3DVec& v) const;
    /// Unsigned angle in [0, pi]; 0 when the cross product is shorter than 0.001 (parallel
    /// and anti-parallel alike). In radians; the cosine is clamped into [-1, 1] before the arc
    /// cosine.
    double AngleBetween(const C3DVec& v) const;
};

/// @}

#endif  // RVN_GEOMETRY_C3DVEC_H
