/// @file
/// Owning array of polygon faces (the result of face generation from plan lines).
///
/// The array names C3DFace by pointer only. Its deep operations (DeepCopy, DeepAppend,
/// DeepRemoveAll) clone and delete faces, so the translation unit that calls them includes
/// the face class's header as well.
#ifndef RVN_FACES_C3DFACEARRAY_H
#define RVN_FACES_C3DFACEARRAY_H

/// @addtogroup faces
/// @{

#include "BaseCommon/Export.h"
#include "BaseCommon/faces/CRSTypedPtrArray.h"

// Declared with its export attribute: an instantiation over a hidden class would be hidden.
class RVN_API C3DFace;

// The library holds the one instantiation of the framework's typed array for C3DFace*.
extern template class CTypedPtrArray<CPtrArray, C3DFace*>;

/// Owning array of C3DFace pointers.
///
/// Owns its faces by convention: the holder empties it with DeepRemoveAll.
class RVN_API C3DFaceArray : public CRSTypedPtrArray<CPtrArray, C3DFace*> {
public:
    /// Empty.
    C3DFaceArray();
    /// Frees the pointer storage only, not the faces.
    ~C3DFaceArray() override;
};

/// @}

#endif  // RVN_FACES_C3DFACEARRAY_H
