/// @file
/// Free 2D vector. Tolerances are absolute 1e-6 and strict: operator== per component,
/// IsZeroLength on the length, Normalize and GetNormal on both components. A NaN component
/// fails every test and gives NaN lengths, cosines and normals; an infinite one a NaN normal.
#ifndef RVN_GEOMETRY_C2DVEC_H
#define RVN_GEOMETRY_C2DVEC_H

/// @addtogroup geometry
/// @{

#include "BaseCommon/Export.h"

class C2DPoint;
class C3DVec;
class CMatrix;

/// Free 2D vector.
/// @see C2DVec.h for the contracts that hold for the whole class.
class RVN_API C2DVec {
public:
    double x;  ///< x component
    double y;  ///< y component

    C2DVec() : x(0.0), y(0.0) {}
    /// The vector (dx, dy).
    C2DVec(double dx, double dy) : x(dx), y(dy) {}
    /// A copy.
    C2DVec(const C2DVec& v) : x(v.x), y(v.y) {}
    /// Copies v's components.
    C2DVec& operator=(const C2DVec& v) {
        if (this != &v) {
            x = v.x;
            y = v.y;
        }
        return *this;
    }
    virtual ~C2DVec();
    /// A heap copy owned by the caller.
    virtual void* clone();

    /// Component-wise sum.
    C2DVec operator+(const C2DVec& v) const { return C2DVec(x + v.x, y + v.y); }
    /// This vector plus p's coordinates, as a vector.
    C2DVec operator+(const C2DPoint& p) const;
    /// Component-wise difference.
    C2DVec operator-(const C2DVec& v) const { return C2DVec(x - v.x, y - v.y); }
    /// Dot product.
    double operator*(const C2DVec& v) const { return x * v.x + y * v.y; }
    /// Both components times s.
    C2DVec operator*(double s) const { return C2DVec(s * x, s * y); }
    /// Row vector times the top-left 2 x 2 block of m: r_j = x*m(0, j) + y*m(1, j). A matrix
    /// smaller than 2 x 2 throws mtxkit::OutOfRange "at operator*" (see CMatrix.h).
    C2DVec operator*(const CMatrix& m) const;
    /// Both components divided by s (IEEE: s == 0 gives infinities or NaN).
    C2DVec operator/(double s) const { return C2DVec(x / s, y / s); }
    /// Cross product as a 3D vector: (0, 0, x*v.y - y*v.x).
    C3DVec operator%(const C2DVec& v) const;
    /// Adds v component-wise.
    C2DVec& operator+=(const C2DVec& v) {
        x += v.x;
        y += v.y;
        return *this;
    }
    /// Subtracts v component-wise.
    C2DVec& operator-=(const C2DVec& v) {
        x -= v.x;
        y -= v.y;
        return *this;
    }
    /// Multiplies both components by s.
    C2DVec& operator*=(double s) {
        x *= s;
        y *= s;
        return *this;
    }
    /// Divides both components by s (IEEE arithmetic).
    C2DVec& operator/=(double s) {
        x /= s;
        y /= s;
        return *this;
    }
    /// Both component differences strictly below 1e-6.
    int operator==(const C2DVec& v) const;
    /// 1 when operator== gives 0, else 0.
    int operator!=(const C2DVec& v) const;

    /// Both components below 1e-6 in magnitude: the vector becomes (0, 0). Otherwise divides
    /// by the length, unless the length itself is below 1e-6 (then unchanged).
    void Normalize();
    /// The unit vector of this vector (not a perpendicular); (0, 0) when both components are
    /// below 1e-6 in magnitude.
    C2DVec GetNormal() const;
    /// Length sqrt(x^2 + y^2).
    double GetLength() const;
    /// Length (same as GetLength).
    double Module() const { return GetLength(); }
    /// Cosine of the angle between the directions, clamped into [-1, 1]; 0 for a near-zero
    /// vector.
    double GetCosValOfIncAngTo(const C2DVec& v) const;
    /// Length of this - v.
    double GetDistTo(const C2DVec& v) const;
    /// Sets both components.
    void SetXY(const double& dx, const double& dy) {
        x = dx;
        y = dy;
    }
    /// The x component.
    double GetX() const { return x; }
    /// The y component.
    double GetY() const { return y; }
    /// Each component in the closed interval between a's and b's, either order, no tolerance.
    int IsBetween(const C2DVec& a, const C2DVec& b) const;
    /// 1 when IsBetween gives 0, else 0.
    int IsNotBetween(const C2DVec& a, const C2DVec& b) const;
    /// Length strictly below 1e-6.
    int IsZeroLength() const;
};

/// @}

#endif  // RVN_GEOMETRY_C2DVEC_H
