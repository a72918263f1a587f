/// @file
/// Owning array of 3D line segments (for instance the lines of a floor plan from which faces
/// are generated).
#ifndef RVN_FACES_C3DLINEARRAY_H
#define RVN_FACES_C3DLINEARRAY_H

/// @addtogroup faces
/// @{

#include "BaseCommon/Export.h"
#include "BaseCommon/faces/CRSTypedPtrArray.h"
#include "BaseCommon/geometry/C3DLine.h"

/// Owning array of C3DLine pointers.
///
/// Owns its lines by convention: the holder empties it with DeepRemoveAll.
class RVN_API C3DLineArray : public CRSTypedPtrArray<CPtrArray, C3DLine*> {
public:
    /// Empty.
    C3DLineArray() {}
    /// Frees the pointer storage only, not the lines.
    ~C3DLineArray() override {}
};

/// @}

#endif  // RVN_FACES_C3DLINEARRAY_H
