/// @file
/// Axis-aligned box given by its centre, its three full edge lengths and a margin, with one
/// question: does a point lie in the box enlarged by the margin on every side. A NaN in the
/// centre, a length, the margin or the point gives 0; infinite lengths or margin hold every
/// point without a NaN.
#ifndef RVN_GEOMETRY_C3DBOX_H
#define RVN_GEOMETRY_C3DBOX_H

/// @addtogroup geometry
/// @{

#include "BaseCommon/Export.h"

class C3DPoint;

/// Axis-aligned box given by its centre, its three full edge lengths and a margin, with one
/// question.
/// @see C3DBox.h for the contracts that hold for the whole class.
class RVN_API C3DBox {
public:
    /// Owned: created by every constructor, deleted by the destructor. Client code may put its
    /// own heap point here (the box then owns it) or null (the box then contains nothing).
    C3DPoint* m_pCenter;
    double m_dLenX;  ///< full edge length along x
    double m_dLenY;  ///< full edge length along y
    double m_dLenZ;  ///< full edge length along z
    double m_dTol;   ///< margin added on every side by PntInRegion

    /// Centre (0, 0, 0), lengths and margin 0.
    C3DBox();
    /// Own centre point with the source's coordinates (null when the source has none).
    C3DBox(const C3DBox& src);
    /// Copies the centre's coordinates and the four doubles unless src is this box; returns
    /// a copy of the result by value.
    C3DBox operator=(const C3DBox& src);
    virtual ~C3DBox();
    /// A heap copy with its own centre, owned by the caller (delete it as a C3DBox).
    virtual void* clone();

    /// 1 when, for x, then y, then z, c - 0.5*L - m_dTol <= p <= c + 0.5*L + m_dTol with c the
    /// centre's coordinate and L the edge length on that axis (both ends included); 0 at the
    /// first axis that fails, and for a null point or a box without a centre.
    int PntInRegion(const C3DPoint* p) const;
};

/// @}

#endif  // RVN_GEOMETRY_C3DBOX_H
