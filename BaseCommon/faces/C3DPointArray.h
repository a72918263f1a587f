/// @file
/// Owning array of 3D points, and _AlgC3DPntArray, the borrowing working array that puts
/// collinear points in order. The two are kept together because the working array is only a
/// C3DPointArray with three ordering operations.
#ifndef RVN_FACES_C3DPOINTARRAY_H
#define RVN_FACES_C3DPOINTARRAY_H

/// @addtogroup faces
/// @{

#include "BaseCommon/Export.h"
#include "BaseCommon/faces/CRSTypedPtrArray.h"
#include "BaseCommon/geometry/C3DPoint.h"

// The library holds the one instantiation of each template for C3DPoint*.
extern template class CTypedPtrArray<CPtrArray, C3DPoint*>;
extern template class CRSTypedPtrArray<CPtrArray, C3DPoint*>;

/// Owning array of C3DPoint pointers (also the corner ring of a C3DFace).
///
/// Owns its points by convention: the holder empties it with DeepRemoveAll.
class RVN_API C3DPointArray : public CRSTypedPtrArray<CPtrArray, C3DPoint*> {
public:
    /// Empty.
    C3DPointArray();
    /// Frees the pointer storage only, not the points.
    ~C3DPointArray() override;
};

/// Borrowing working array that puts collinear points in order.
///
/// Holds points it does not own (for instance the end points of two lines while they are put
/// in order): never deep-freed, dropped with its plain destructor.
class RVN_API _AlgC3DPntArray : public C3DPointArray {
public:
    /// Empty.
    _AlgC3DPntArray() {}
    /// Frees the pointer storage only.
    ~_AlgC3DPntArray() override {}

    /// Puts collinear points in order along their line.
    ///
    /// The point farthest from the coordinate origin (the first one on ties) is an outermost
    /// point of a collinear set; the points are then sorted ascending by their distance from
    /// it with a stable bubble sort, so equal distances keep their order. Distances are
    /// Euclidean, compared exactly.
    void SortAlongLine();
    /// Orders the points so that their main coordinate increases from first to last.
    ///
    /// With d = last point - first point, the main axis is z when |d.z| is strictly greater
    /// than both |d.x| and |d.y|, otherwise y when |d.y| >= |d.x|, otherwise x. Reverses the
    /// array when d is negative on that axis. Fewer than two points: nothing.
    void OrientByMainAxis();
    /// Reverses the order of the pointers.
    void Reverse();
};

/// @}

#endif  // RVN_FACES_C3DPOINTARRAY_H
