/// @file
/// Owning array of 3D vectors (for instance the normals of a set of faces).
#ifndef RVN_FACES_C3DVECARRAY_H
#define RVN_FACES_C3DVECARRAY_H

/// @addtogroup faces
/// @{

#include "BaseCommon/Export.h"
#include "BaseCommon/faces/CRSTypedPtrArray.h"
#include "BaseCommon/geometry/C3DVec.h"

/// Owning array of C3DVec pointers.
///
/// Owns its vectors by convention: the holder empties it with DeepRemoveAll.
class RVN_API C3DVecArray : public CRSTypedPtrArray<CPtrArray, C3DVec*> {
public:
    /// Empty.
    C3DVecArray() {}
    /// Frees the pointer storage only, not the vectors.
    ~C3DVecArray() override {}
};

/// @}

#endif  // RVN_FACES_C3DVECARRAY_H
