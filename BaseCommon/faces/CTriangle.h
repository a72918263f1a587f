/// @file
/// Triangle: a C3DFace of three corners that also knows its circumscribed circle in plan (the
/// XY plane) and its centroid.
///
/// The circle is computed on the first GetCirR or GetCirCenter and cached: moving the corners
/// afterwards does not change it, and copies carry it with them. Its radius is the true radius
/// less 0.001 (the length tolerance), so that a point on the circle counts as outside a strict
/// in-circle test. Corners collinear in plan give no circle: radius 0 and centre (0, 0, 0), or
/// what an earlier computation left, and the cache is marked computed all the same.
/// With more than three corners the circle is that of the first three; with fewer,
/// computing it throws CInvalidArgException.
#ifndef RVN_FACES_CTRIANGLE_H
#define RVN_FACES_CTRIANGLE_H

/// @addtogroup faces
/// @{

#include "BaseCommon/Export.h"
#include "BaseCommon/faces/C3DFace.h"
#include "BaseCommon/geometry/C3DPoint.h"

/// Triangular face with its cached circumscribed circle in plan.
/// @see CTriangle.h for the cache and the degenerate cases of the circle.
class RVN_API CTriangle : public C3DFace {
public:
    bool m_bCirInit;         ///< the circle has been computed
    double m_dCirR;          ///< its radius, already less 0.001
    C3DPoint* m_pCirCenter;  ///< its centre, owned; z is that of corner 0

    /// No corners, no circle computed yet.
    CTriangle();
    /// Copies the face, the cache flag, the radius and the centre's coordinates.
    CTriangle(const CTriangle& src);
    /// Copies the face, the cache flag, the radius and the centre's coordinates into this
    /// triangle's own centre; self-assignment does nothing.
    CTriangle& operator=(const CTriangle& src);
    ~CTriangle() override;
    /// A heap copy owned by the caller (delete it as a CTriangle or a C3DFace).
    void* clone() override;

    /// Radius of the circumscribed circle in plan, less 0.001.
    ///
    /// The first call (of this or GetCirCenter) computes the circle through the plan
    /// positions of the first three corners and also sets the normal to ((P1 - P0) x
    /// (P2 - P1)) normalised; later calls return the cached value. Corners collinear in plan
    /// give no circle (radius 0 on a new triangle). Fewer than three corners throw
    /// CInvalidArgException.
    double GetCirR();
    /// Centre of the circumscribed circle in plan, at the height of corner 0: the triangle's
    /// own centre point (not a copy). Computed and cached as GetCirR does.
    C3DPoint* GetCirCenter();
    /// PntInFace(*p): 1 inside, 0 on an edge, -1 outside or off the plane. Throws
    /// CInvalidArgException for a null p.
    int IsEncompassesd(C3DPoint* p) const;
    /// The mean of all corners; (0, 0, 0) for a triangle without corners.
    C3DPoint GetTriCentroid() const;
    /// Does nothing: there is no state to reset.
    void Cleanup();

private:
    // Exactly three corners, all at exactly the height of corner 0.
    bool ChenkTriangel() const;
    // Circle through the plan positions of the first three corners (x^2 + y^2 + D x + E y +
    // F = 0 solved with CMatrix::MatInv; no circle when the matrix is singular), the normal
    // ((P1 - P0) x (P2 - P1)) normalised, and the cache flag.
    void InitTriCirCircle();
};

/// @}

#endif  // RVN_FACES_CTRIANGLE_H
