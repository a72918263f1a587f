/// @file
/// Axis-parallel rectangle given by two owned corner points. The first corner is the lower
/// bound (smaller coordinates): width and height are second minus first, and a box built with
/// its corners swapped contains no point. A NaN corner or point coordinate gives 0; infinite
/// corners hold every finite point (the bounds are strict: an infinite point is outside).
#ifndef RVN_GEOMETRY_C2DBOX_H
#define RVN_GEOMETRY_C2DBOX_H

/// @addtogroup geometry
/// @{

#include "BaseCommon/Export.h"

class C2DPoint;

/// Axis-parallel rectangle given by two owned corner points.
/// @see C2DBox.h for the contracts that hold for the whole class.
class RVN_API C2DBox {
public:
    C2DPoint* m_pFirst;   ///< owned
    C2DPoint* m_pSecond;  ///< owned

    C2DBox();
    /// Corners (x1, y1), the lower bound, and (x2, y2), the upper bound (not reordered).
    C2DBox(double x1, double y1, double x2, double y2);
    /// Own corner points with b's coordinates.
    C2DBox(const C2DBox& b);
    /// Assigns both corners' coordinates (nothing on self-assignment) and returns a copy.
    C2DBox operator=(const C2DBox& b);
    virtual ~C2DBox();
    /// A heap deep copy owned by the caller.
    virtual void* clone();

    /// second.x - first.x (negative for swapped corners).
    double GetWidth() const;
    /// second.y - first.y (negative for swapped corners).
    double GetHeight() const;
    /// first - 1e-6 < (x, y) < second + 1e-6 on both axes, all four comparisons strict.
    int PntInRegion(double x, double y) const;
};

/// @}

#endif  // RVN_GEOMETRY_C2DBOX_H
