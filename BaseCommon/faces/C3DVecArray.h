// Owning array of 3D vectors (for instance the normals of a set of faces).
#ifndef RVN_FACES_C3DVECARRAY_H
#define RVN_FACES_C3DVECARRAY_H

#include "BaseCommon/Export.h"
#include "BaseCommon/faces/CRSTypedPtrArray.h"
#include "BaseCommon/geometry/C3DVec.h"

// Owns its vectors by convention: the holder empties it with DeepRemoveAll.
class RVN_API C3DVecArray : public CRSTypedPtrArray<CPtrArray, C3DVec*> {
public:
    C3DVecArray() {}
    ~C3DVecArray() override {}
};

#endif  // RVN_FACES_C3DVECARRAY_H
