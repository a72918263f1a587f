/// @file
/// 2D position; the library's one serialisable class. Its archive form is x then y, each an
/// 8-byte little-endian IEEE double (16 bytes, no tag), preceded in whole-object archives by
/// the class identity "C2DPoint", schema 0.
/// Equality is strict on the squared distance: below 1e-12 (a distance below 1e-6); a NaN
/// coordinate is never equal.
#ifndef RVN_GEOMETRY_C2DPOINT_H
#define RVN_GEOMETRY_C2DPOINT_H

/// @addtogroup geometry
/// @{

#include "BaseCommon/Export.h"
#include "BaseCommon/framework/CArchive.h"
#include "BaseCommon/framework/CObject.h"
#include "BaseCommon/geometry/C2DVec.h"

/// 2D position.
/// @see C2DPoint.h for the contracts that hold for the whole class.
class RVN_API C2DPoint : public CObject {
    DECLARE_SERIAL(C2DPoint)
public:
    double x;  ///< x coordinate
    double y;  ///< y coordinate

    C2DPoint() : x(0.0), y(0.0) {}
    /// The point (dx, dy).
    C2DPoint(double dx, double dy) : x(dx), y(dy) {}
    /// A copy of the coordinates.
    C2DPoint(const C2DPoint& p) : CObject(), x(p.x), y(p.y) {}
    /// Copies both coordinates (nothing on self-assignment) and returns a copy.
    C2DPoint operator=(const C2DPoint& p);
    ~C2DPoint() override;

    void Serialize(CArchive& ar) override;
    void AssertValid() const override;
    void Dump(CDumpContext& dc) const override;
    /// A heap copy owned by the caller.
    virtual void* clone();

    /// The point moved by v.
    C2DPoint operator+(C2DVec v) const { return C2DPoint(x + v.x, y + v.y); }
    /// The point moved by -v.
    C2DPoint operator-(C2DVec v) const { return C2DPoint(x - v.x, y - v.y); }
    /// Moves the point by v.
    void operator+=(C2DVec v) {
        x += v.x;
        y += v.y;
    }
    /// Moves the point by -v.
    void operator-=(C2DVec v) {
        x -= v.x;
        y -= v.y;
    }
    /// The vector from q to this point.
    C2DVec operator-(const C2DPoint& q) const { return C2DVec(x - q.x, y - q.y); }
    /// Coordinate-wise sum, as a vector.
    C2DVec operator+(const C2DPoint& q) const { return C2DVec(x + q.x, y + q.y); }
    /// Both coordinates times s.
    C2DPoint operator*(double s) const { return C2DPoint(s * x, s * y); }
    /// 1 when the squared distance is strictly below 1e-12 (a distance below 1e-6), else 0.
    int operator==(const C2DPoint& q) const;

    /// Distance from the origin, sqrt(x^2 + y^2).
    double Module() const;
    /// Distance to q, sqrt of CalcuDis2.
    double CalDistance(const C2DPoint& q) const;
    /// Squared distance to q, dx^2 + dy^2.
    double CalcuDis2(const C2DPoint& q) const;
    /// out = this point rotated counter-clockwise about the origin; out may be this point.
    void RotateByZ(C2DPoint& out, double angle) const;
    /// out = this point rotated counter-clockwise about the origin by the angle whose sine and
    /// cosine are given (not checked to be a unit pair); out may be this point.
    void RotateByZ(C2DPoint& out, double sinA, double cosA) const;
    /// Rotates this point in place about centre.
    void RotateByPt(const C2DPoint& centre, double sinA, double cosA);
};

/// Reads a whole C2DPoint object; the caller owns the new point. Throws CArchiveException on
/// malformed or truncated data, or when the archive holds another class.
RVN_API CArchive& operator>>(CArchive& ar, C2DPoint*& pOb);

/// @}

#endif  // RVN_GEOMETRY_C2DPOINT_H
