/// @file
/// Planar polygon face: an ordered ring of corner points and a unit normal, both owned.
///
/// Plane: the plane of a face passes through corner 0 with the normal m_pNormalVec. The normal
/// is not kept in step with the corners: after changing them call InitNormalVec (or IsPlane)
/// before any operation that measures against the plane. A new face has no corners and the
/// zero normal, so every distance is 0 until the normal is set.
///
/// Tolerances (absolute, see Tolerance.h): distances from the plane, cross-product lengths and
/// dot products use the length tolerance 0.001, strictly ("below 0.001" is zero); corner
/// identity uses the point tolerance 1e-6 per coordinate, strictly; the on-edge test of
/// PntInFace is C3DLine::PntOnLine with one argument.
///
/// Errors: the plane measurements read corner 0 and throw CInvalidArgException on a face
/// without corners (PntInFace also on a face with one corner: there is no edge to test); a
/// null corner pointer throws the same. Nothing else reports an error.
#ifndef RVN_FACES_C3DFACE_H
#define RVN_FACES_C3DFACE_H

/// @addtogroup faces
/// @{

#include "BaseCommon/Export.h"
// Before the class: the array's declaration of C3DFace carries the export attribute, which
// cannot be added once the class is defined.
#include "BaseCommon/faces/C3DFaceArray.h"
#include "BaseCommon/faces/C3DPointArray.h"
#include "BaseCommon/framework/CArray.h"
#include "BaseCommon/geometry/C3DPoint.h"
#include "BaseCommon/geometry/C3DVec.h"

class C3DLine;
class C3DLineArray;

/// Planar polygon face: an owned ring of corner points and an owned unit normal.
/// @see C3DFace.h for the plane, the tolerances and the errors of the whole class.
class RVN_API C3DFace {
public:
    /// Owned; the zero vector until set, of unit length once set.
    C3DVec* m_pNormalVec;
    /// Owned corners in ring order; the edge from the last corner back to corner 0 is implied.
    C3DPointArray m_PntArray;

    /// No corners, the zero normal.
    C3DFace();
    /// Deep copy: new corners with the same coordinates, a new normal.
    C3DFace(const C3DFace& src);
    /// Copies the corners (DeepCopy) and the normal's components into this face's own normal.
    C3DFace& operator=(const C3DFace& src);
    /// Frees the corners, then the normal.
    virtual ~C3DFace();
    /// A heap copy owned by the caller (delete it as a C3DFace).
    virtual void* clone();

    /// The face's own corner array: add heap points to it (the face then owns them).
    C3DPointArray* GetPntArray() { return &m_PntArray; }
    /// Corner i, or null when i is outside [0, count).
    C3DPoint* GetPoint(int i) const;

    /// @name Measurement against the plane
    /// @{

    /// Signed distance of p from the plane, positive on the side the normal points to.
    ///
    /// (p - P0) . n, with P0 corner 0 and n the stored normal.
    double GetDisToPnt(const C3DPoint& p) const;
    /// Vector from the plane to p along the normal.
    ///
    /// n * ((p - P0) . n).
    C3DVec GetVecToPnt(const C3DPoint& p) const;
    /// GetVecToPnt(p) normalised; (0, 0, 0) for a point exactly on the plane.
    C3DVec GetDirToPnt(const C3DPoint& p) const;
    /// 1 when p lies on the plane: |GetDisToPnt(p)| < 0.001.
    int PntOnFace(const C3DPoint& p) const;
    /// 1 when both end points satisfy PntOnFace (begin first; stops at the first failure).
    int LineOnFace(const C3DLine& l) const;
    /// The point where the segment crosses the plane, interpolated by the distances of its end
    /// points. A segment that does not reach the plane gives its begin point, and so does a
    /// segment lying wholly in the plane (both distances exactly 0).
    C3DPoint GetCrossPnt(const C3DLine& l) const;
    /// @}

    /// @name Containment and comparison
    /// @{

    /// Point-in-face test, for convex faces.
    ///
    /// 1 inside, 0 on an edge (C3DLine::PntOnLine with one argument), -1 outside or off the
    /// plane (|distance| >= 0.001). Inside and outside are decided for convex faces: a point
    /// is inside when it lies on the same side of every edge as of the last edge (cross
    /// products compared with -1e-6); a point on the line through an edge but off the edge is
    /// outside. A point in the notch of a concave face is reported outside.
    int PntInFace(const C3DPoint& p) const;
    /// 1 when some corner differs from p by less than 1e-6 in each of x, y and z.
    int PntInPntArray(const C3DPoint& p) const;
    /// 1 when p lies in the bounding box of the corners enlarged by tol on every side, bounds
    /// included; 0 for a face without corners.
    int IsInMinBox(const C3DPoint& p, double tol) const;
    /// Whether other lies within this face.
    ///
    /// No corner of other lies outside this face (corners on the border count as enclosed);
    /// 1 for a face without corners. Throws CInvalidArgException for a null other.
    int Encompass(const C3DFace* other) const;
    /// Same-polygon test.
    ///
    /// Every corner of other lies on the border of this face and every corner of this face on
    /// the border of other (PntInFace 0): the same polygon, whatever the start corner and the
    /// direction. Other's corners are tested first; stops at the first failure.
    int operator==(const C3DFace& other) const;
    /// @}

    /// @name Size and shape
    /// @{

    /// Area of a plane face.
    ///
    /// Half the length of the sum of the fan cross products from corner 0: the area of a plane
    /// polygon whatever its ring direction; 0 for fewer than 3 corners.
    double GetArea() const;
    /// Perimeter: the sum of the lengths of the edges of GenLineArray: the closed perimeter for 3
    /// or more corners, the one segment's length for 2, 0 for fewer.
    double GetGirth() const;
    /// How far p is from lying on an edge.
    ///
    /// Least |PA| + |PB| - |AB| over the edges AB of GenLineArray: 0 when p lies on an edge;
    /// 1e300 when there is no edge.
    double GetMinLength(const C3DPoint& p) const;
    /// Sets the normal from the corners.
    ///
    /// Stores the unit normal of the first corner (from corner 0 on) whose two edges have a
    /// cross product of length 0.001 or more, and returns 1; the first usable corner decides
    /// the sense, so a convex ring running anticlockwise seen from +z gets +z. Returns 0 and
    /// leaves the normal unchanged for fewer than 3 corners or when no corner qualifies.
    int InitNormalVec();
    /// Whether the corners lie in one plane (sets the normal).
    ///
    /// InitNormalVec, then 1 when every corner lies within 0.001 of the plane through corner 0
    /// (|(P - P0) . n| < 0.001), else 0. 0 for fewer than 3 corners or no usable normal.
    int IsPlane();
    /// @}

    /// @name Generation and ordering
    /// @{

    /// Faces enclosed by plan lines.
    ///
    /// Appends to faces a new face for every closed region enclosed by the lines, as the
    /// sharpest-left-turn walk over their half-edges finds them (see FindNextPoint): each
    /// region traced once, anticlockwise seen from +z, on the plan projection of the lines.
    /// Ends join when equal within 1e-6 in each coordinate; lines whose two ends are so equal,
    /// null entries and lines with non-finite coordinates take no part. Only regions the walk
    /// closes turning left or straight come out (convex panels); a region with a dangling line
    /// inside gives no face; the outer boundary of the line set is never produced. A walk
    /// that finds no continuation, or comes back onto itself elsewhere than at its first
    /// half-edge, is a dead end; every walk retires its half-edges, so a dead end can take a
    /// panel's half-edges with it (a duplicated line does so to the panel it bounds).
    /// A face's corners are copies of the start points of its half-edges in walk order, its
    /// normal ((P1 - P0) x (P2 - P1)) normalised (NaN when coordinates beyond about 1e150
    /// overflow that product). The faces come in the order of their first
    /// half-edge (2k along line k, 2k + 1 back). Existing entries of faces stay; the caller
    /// owns the new faces. Returns 1. Beyond 2^30 - 1 lines (whose half-edges could not be
    /// indexed) it throws CMemoryException.
    static int GenFaceByLine(const C3DLineArray& lines, C3DFaceArray& faces);
    /// One step of GenFaceByLine's walk.
    ///
    /// Works over a half-edge point array (points 2h and 2h + 1 are the start
    /// and end of half-edge h, named by its start index 2h). From the half-edge A -> B
    /// starting at point cur, returns the start index j of the unused half-edge that starts
    /// at B (within 1e-6 in each coordinate) and turns left the most: least cosine of the turn
    /// (clamped into [-1, 1]) among those that do not go back along the line
    /// (|1 + cos| >= 0.001) and turn left (z of u x w > 0) or go straight (|z| < 0.001, with
    /// the unnormalised directions); of equal cosines the later j. -1 when none qualifies or
    /// cur is -1. Throws CInvalidArgException for a null or odd-sized point array, a null
    /// point, flags shorter than the points, or cur outside the array.
    static int FindNextPoint(int cur, C3DPointArray* pts, CArray<bool, bool&>& used);
    /// Replaces the corners by the quadrilateral between two lines: l2's begin and end, then
    /// the end of l1 nearer to l2's end (its begin on a tie), then the other end of l1. The
    /// normal is not changed. Returns 1.
    int GenFaceByParaLine(const C3DLine& l1, const C3DLine& l2);
    /// Deep-empties lines, then appends a new line per edge: P(i) -> P(i+1), and the closing
    /// line P(last) -> P0 for 3 or more corners (2 corners give one line).
    void GenLineArray(C3DLineArray& lines) const;
    /// As GenLineArray over the corners of GenCorners (collinear intermediate corners left
    /// out).
    void GenLineMacroArray(C3DLineArray& lines) const;
    /// Empties pnts without deleting anything and fills it with this face's own corner
    /// pointers at which the boundary turns (cross product of the two edges of length 0.001 or
    /// more). The array borrows the points: never deep-empty it.
    void GenCorners(C3DPointArray& pnts) const;
    /// 1 for a rectangle: exactly four turning corners, and the unnormalised dot product of each
    /// pair of edges meeting at C0, C1 and C2 below 0.001 in magnitude.
    int IsRectangle() const;
    /// Reorders the corners anticlockwise (angle about the leftmost corner M, the first of
    /// equal x, measured from the edge leaving M; angles within 0.001 keep their order).
    /// Corners on the first ray from M come nearest-first, corners on the last ray
    /// farthest-first. Returns 0 without change when the face is not plane (IsPlane, which
    /// also sets the normal); otherwise reorders and returns 1, or 0 when corners in the
    /// middle of the ring share a ray from M. The corner objects keep their identity.
    int AntiClockRank();
    /// 1 for a convex ring: at least 3 corners, AntiClockRank succeeds (it reorders the
    /// corners), and no corner turns right by 0.001 rad or more.
    int IsOutRing();
    /// Area-weighted centroid and area over the triangle fan from corner 0 (unsigned triangle
    /// areas: exact for faces convex or star-shaped from corner 0). Fewer than 3 corners leave
    /// both outputs unchanged; a fan of zero area writes area 0 and leaves the centre.
    void CalcuCenter(C3DPoint& center, double& area) const;
    /// @}

protected:
    /// Corner i; CInvalidArgException when i is out of range or the slot is null.
    const C3DPoint& Corner(int i) const;
};

/// @}

#endif  // RVN_FACES_C3DFACE_H
