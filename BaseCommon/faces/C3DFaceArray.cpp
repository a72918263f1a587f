#include "BaseCommon/faces/C3DFaceArray.h"

template class CTypedPtrArray<CPtrArray, C3DFace*>;
// The members that do not touch a face; the deep operations are instantiated where the face
// class is complete.
template CRSTypedPtrArray<CPtrArray, C3DFace*>::CRSTypedPtrArray();
template CRSTypedPtrArray<CPtrArray, C3DFace*>::~CRSTypedPtrArray();
template int CRSTypedPtrArray<CPtrArray, C3DFace*>::Find(C3DFace*, int) const;

C3DFaceArray::C3DFaceArray() = default;

C3DFaceArray::~C3DFaceArray() = default;
