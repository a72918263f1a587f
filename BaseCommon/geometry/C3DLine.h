/// @file
/// Directed 3D line segment between two owned points.
///
/// Terms: L = end - begin is the direction vector; the line parameter of a point p is
/// t = ((p - begin) . L) / (|L| |L|), 0 at the begin point and 1 at the end point.
///
/// Tolerances (see Tolerance.h): distances, cross- and dot-product tests use the length
/// tolerance 0.001, strictly; the end tolerance of the two-argument PntOnLine is 0.001 in units
/// of the parameter, so it scales with the segment's length; the one-argument PntOnLine
/// compares |p - begin| + |end - p| - |L| with 9.999999974752427e-07, strictly.
/// A zero-length segment makes GetDisToPnt divide by zero; the NaN fails every tolerance test,
/// so such a segment contains no point; its direction is the zero vector (GetAngleToX pi/2),
/// and another segment through it crosses it as a collinear touch (IsIntersectLine 2).
/// A segment with a NaN or infinite coordinate relates to no other: IsPartof, ==, IsOnLine,
/// IsCoplanarWith, IsIntersectLine, FindCrossPoint and FindBeeLineCrossPoint give 0 (out
/// unwritten) on either side; its lengths, distances and angles are NaN or infinite.
/// Nothing reports an error beyond its return code.
#ifndef RVN_GEOMETRY_C3DLINE_H
#define RVN_GEOMETRY_C3DLINE_H

/// @addtogroup geometry
/// @{

#include "BaseCommon/Export.h"
#include "BaseCommon/geometry/C3DPoint.h"
#include "BaseCommon/geometry/C3DVec.h"

class C3DPointArray;

/// Directed 3D line segment between two owned points.
/// @see C3DLine.h for the contracts that hold for the whole class.
class RVN_API C3DLine {
public:
    /// Owned, never null, and at the same address for the life of the line: assignment and
    /// the setters copy coordinates into them. Change the points through them; never delete
    /// or replace them.
    C3DPoint* m_pBgnPnt;
    /// Owned end point, under the same rules as m_pBgnPnt.
    C3DPoint* m_pEndPnt;

    /// Both points (0, 0, 0).
    C3DLine();
    /// Own points with the coordinates of bgn and end.
    C3DLine(const C3DPoint& bgn, const C3DPoint& end);
    /// Own points with src's coordinates.
    C3DLine(const C3DLine& src);
    /// Copies the coordinates of both points (the pointers stay); returns this line.
    C3DLine& operator=(const C3DLine& src);
    virtual ~C3DLine();
    /// A heap copy with its own points, owned by the caller (delete it as a C3DLine).
    virtual void* clone();

    /// Copy the coordinates into the owned begin point.
    void SetBgnPnt(const C3DPoint& p);
    /// Copy the coordinates into the owned end point.
    void SetEndPnt(const C3DPoint& p);
    /// The owned begin point (the line keeps ownership).
    C3DPoint* GetBgnPnt() const { return m_pBgnPnt; }
    /// The owned end point (the line keeps ownership).
    C3DPoint* GetEndPnt() const { return m_pEndPnt; }
    /// Move both points by v.
    C3DLine& operator+=(const C3DVec& v);
    /// Move both points by v (as operator+=).
    void OffSet(const C3DVec& v);

    /// Length |L| of the segment.
    double GetLength() const;
    /// Direction vector L = end - begin.
    C3DVec GetVec() const;
    /// Unit direction; (0, 0, 0) for a segment whose points coincide exactly.
    C3DVec GetDir() const;
    /// begin + L * t; t is not limited to [0, 1].
    C3DPoint GetPoint(double t) const;
    /// Distance from p to the carrier line: |(p - begin) x L| / |L|.
    double GetDisToPnt(const C3DPoint& p) const;
    /// Unit vector perpendicular to the line, from the line towards p; (0, 0, 0) when p lies
    /// exactly on the carrier line.
    C3DVec GetDirToPnt(const C3DPoint& p) const;
    /// The vector from the foot of the perpendicular to p.
    C3DVec GetVecToPnt(const C3DPoint& p) const;
    /// Writes into out the foot of the perpendicular from p on the carrier line,
    /// p - GetVecToPnt(p).
    void GetFootPnt(const C3DPoint& p, C3DPoint& out) const;
    /// Always (0, 0, 0); the argument is not read.
    C3DPoint GetCrossPnt(const C3DLine& other) const;
    /// Angle in [0, 2pi) from the +x axis to L, counter-clockwise seen from +z
    /// (C3DVec::GetAngleTo).
    double GetAngleToX() const;
    /// Angle in [0, 2pi) from the +y axis to L, counter-clockwise seen from +z
    /// (C3DVec::GetAngleTo).
    double GetAngleToY() const;

    /// p lies on the segment: its distance to the carrier line is strictly below 0.001 and
    /// its parameter t satisfies 0 < t < 1, |t| < 0.001 or |t - 1| < 0.001. t is written
    /// whenever the distance test passes, also when the parameter test then fails.
    int PntOnLine(const C3DPoint& p, double& t) const;
    /// |p - begin| + |end - p| - |L| strictly below 9.999999974752427e-07.
    int PntOnLine(const C3DPoint& p) const;
    /// Both points of this segment lie on other (two-argument PntOnLine of other).
    int IsPartof(const C3DLine& other) const;
    /// Each segment lies on the other: other's one-argument PntOnLine accepts this begin and
    /// end point, and both of other's points lie on this segment (IsPartof). Orientation does
    /// not matter.
    int operator==(const C3DLine& other) const;
    /// 1 when the two segments overlap along a common carrier line by more than a touch, with
    /// t the fraction of other's length that this segment covers (ends tested with the
    /// two-argument PntOnLine, in this order of cases):
    ///  - both ends of this lie on other, at parameters t1 and t2: t = |t1 - t2|, 1;
    ///  - both ends of other lie on this (other inside, possibly sharing an end): t = 1, 1;
    ///  - one end of this lies on other at parameter t1, and other's begin (end) lies on this:
    ///    t = t1 (1 - t1); 1 when |t| >= 0.001, else 0 with t written (a touch of the ends);
    ///  - otherwise 0, t not written.
    int IsOnLine(const C3DLine& other, double& t) const;
    /// |((begin - o.begin) x (end - o.begin)) . o.L| strictly below 0.001.
    int IsCoplanarWith(const C3DLine& other) const;
    /// This segment's end points lie on different sides of other's carrier line, or one of
    /// them on it.
    /// That is q = (M x b) . (a x M) > 0, or |q| < 0.001, with a = begin - o.begin,
    /// b = end - o.begin, M = o.L.
    int IsCrossLine(const C3DLine& other) const;
    /// 0: not coplanar, bounding boxes apart (exact, inclusive), or the segments do not cross;
    /// 2: they cross and |L x o.L| < 0.001 (collinear, touching or overlapping); 1: they cross
    /// at one point.
    int IsIntersectLine(const C3DLine& other) const;
    /// |begin.z - end.z| strictly below 0.001 (the segment is parallel to the XY plane).
    int LineOnXYPlane() const;
    /// |begin.x - end.x| strictly below 0.001 (the segment is parallel to the YZ plane).
    int LineOnYZPlane() const;
    /// |begin.y - end.y| strictly below 0.001 (the segment is parallel to the XZ plane).
    int LineOnXZPlane() const;
    /// For x, y and z: min(begin, end) - d <= p <= max(begin, end) + d, inclusive.
    int IsInMinBox(const C3DPoint& p, double d) const;

    /// The crossing point of two segments; returns IsIntersectLine and writes out only when
    /// that is 1. The crossing is taken from the plan (x, y) equations with z interpolated
    /// along x; when the segments lie in one vertical plane (plan directions parallel: the
    /// plan equations are singular or differ from singular by rounding alone) it is computed
    /// in 3D as FindBeeLineCrossPoint does (with the pair of coordinates of the largest
    /// determinant when none passes its 0.001 threshold), never as NaN or infinity.
    int FindCrossPoint(const C3DLine& other, C3DPoint& out) const;
    /// The crossing point of the two infinite carrier lines. 0: not coplanar, parallel apart,
    /// or no coordinate pair with a 2x2 determinant above 0.001 in magnitude; 2: the carrier
    /// lines coincide (|L x o.L| < 0.001 and o.begin within 0.001 of this line); 1: crossing
    /// written to out. out is written only for 1.
    int FindBeeLineCrossPoint(const C3DLine& other, C3DPoint& out) const;
    /// The common part of two collinear overlapping segments, or a zero line (both points at
    /// the origin) when IsOnLine is 0. Coinciding segments give a copy of this; otherwise the
    /// inner two of the four end points ordered along the line (SortAlongLine, not
    /// re-oriented), so a segment inside the other gives the inner segment.
    C3DLine GetComPartWith(const C3DLine& other) const;
    /// The segment covered by two collinear overlapping or touching segments, from the lowest
    /// to the highest end point along the main axis (SortAlongLine, OrientByMainAxis); a
    /// zero line when they neither overlap nor touch end to end on one carrier line (a corner
    /// where two segments meet at an angle is not a touch). Coinciding segments give a copy
    /// of other.
    C3DLine GetUniPartWith(const C3DLine& other) const;
    /// The part of other covered by the perpendicular projection of this segment onto other's
    /// carrier line: other.GetComPartWith(the projected copy of this).
    C3DLine GetProjectWith(const C3DLine& other) const;
    /// Appends to pnts new heap points (owned by pnts) dividing the segment into the fewest
    /// n >= 1 equal pieces of length at most dMaxLen: a copy of the begin point when bAddBgn
    /// is non-zero, GetPoint(i / n) for i = 1..n-1, a copy of the end point when bAddEnd
    /// is non-zero. dMaxLen <= 0 or NaN, or a segment of non-finite length longer than
    /// dMaxLen, appends nothing. A count of pieces beyond what an array can index throws
    /// CInvalidArgException before anything is appended.
    void DividingLine(C3DPointArray& pnts, double dMaxLen, int bAddBgn, int bAddEnd) const;
};

/// @}

#endif  // RVN_GEOMETRY_C3DLINE_H
