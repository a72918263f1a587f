/// @file
/// Typed pointer array that can duplicate, append and free the objects it points at.
///
/// Ownership is a convention, not a destructor: an array filled with objects made by new (or
/// by DeepCopy / DeepAppend) owns them, and its holder empties it with DeepRemoveAll before
/// dropping it. The destructor frees only the pointer storage. An array filled by Add of
/// borrowed pointers, Append or Copy borrows them and is dropped without DeepRemoveAll.
///
/// Element requirement: TYPE is a pointer to a class with a virtual destructor and a virtual
/// clone() that returns a new heap copy as void* (C3DPoint, C3DVec, C3DLine, C3DFace). The deep
/// operations need the element class to be complete where they are called.
#ifndef RVN_FACES_CRSTYPEDPTRARRAY_H
#define RVN_FACES_CRSTYPEDPTRARRAY_H

/// @addtogroup faces
/// @{

#include <climits>

#include "BaseCommon/Export.h"
#include "BaseCommon/framework/CPtrArray.h"

/// Typed pointer array with deep copy, append and free of the objects it points at.
/// @see CRSTypedPtrArray.h for the ownership convention and the element requirement.
template <class BASE_CLASS, class TYPE>
class RVN_API CRSTypedPtrArray : public CTypedPtrArray<BASE_CLASS, TYPE> {
public:
    /// Empty.
    CRSTypedPtrArray();
    /// Frees the pointer storage only, not the objects.
    ~CRSTypedPtrArray() override;

    /// Frees the current objects (DeepRemoveAll), then holds a clone of every element of src
    /// in the same order. Copying an array onto itself changes nothing. Every element of src
    /// must be non-null.
    void DeepCopy(const CRSTypedPtrArray& src);
    /// Appends a clone of every element of src after the existing elements, which stay where
    /// they are. Appending an array to itself appends one clone of each original element.
    /// Every element of src must be non-null. A total count beyond INT_MAX throws
    /// CInvalidArgException and leaves this array as it was.
    void DeepAppend(const CRSTypedPtrArray& src);
    /// Deletes every non-null element, from the last index down to 0, then releases the
    /// pointer storage (count 0).
    void DeepRemoveAll();
    /// Lowest index i > nStart whose element is p (pointer identity, not value); -1 when
    /// there is none. Pass -1 to search from the start; a start below -1 also searches from 0.
    int Find(TYPE p, int nStart) const;
};

template <class BASE_CLASS, class TYPE>
CRSTypedPtrArray<BASE_CLASS, TYPE>::CRSTypedPtrArray() {}

template <class BASE_CLASS, class TYPE>
CRSTypedPtrArray<BASE_CLASS, TYPE>::~CRSTypedPtrArray() {}

template <class BASE_CLASS, class TYPE>
void CRSTypedPtrArray<BASE_CLASS, TYPE>::DeepCopy(const CRSTypedPtrArray& src) {
    // Freeing first would delete the very objects that are to be copied.
    if (&src == this)
        return;
    DeepRemoveAll();
    const int n = src.GetSize();
    // The new slots start null, so if a clone throws, what is already held is still freed by
    // the holder's DeepRemoveAll and the rest is skipped.
    this->SetSize(n, -1);
    for (int i = 0; i < n; ++i)
        this->ElementAt(i) = static_cast<TYPE>(src.GetAt(i)->clone());
}

template <class BASE_CLASS, class TYPE>
void CRSTypedPtrArray<BASE_CLASS, TYPE>::DeepAppend(const CRSTypedPtrArray& src) {
    const int nOld = this->GetSize();
    // Read once: when src is this array its count grows below.
    const int nSrc = src.GetSize();
    // The new count is formed in 64 bits: past INT_MAX the append is impossible and leaves
    // this array as it was.
    const long long nNew = static_cast<long long>(nOld) + nSrc;
    if (nNew > INT_MAX)
        throw CInvalidArgException();
    this->SetSize(static_cast<int>(nNew), -1);
    for (int i = 0; i < nSrc; ++i) {
        this->ElementAt(nOld + i) = static_cast<TYPE>(src.GetAt(i)->clone());
    }
}

template <class BASE_CLASS, class TYPE>
void CRSTypedPtrArray<BASE_CLASS, TYPE>::DeepRemoveAll() {
    for (int i = this->GetSize() - 1; i >= 0; --i) {
        TYPE p = this->GetAt(i);
        this->ElementAt(i) = nullptr;
        delete p;
    }
    this->SetSize(0, -1);
}

template <class BASE_CLASS, class TYPE>
int CRSTypedPtrArray<BASE_CLASS, TYPE>::Find(TYPE p, int nStart) const {
    const int n = this->GetSize();
    if (nStart >= n - 1)
        return -1;
    for (int i = nStart < 0 ? 0 : nStart + 1; i < n; ++i) {
        if (this->GetAt(i) == p)
            return i;
    }
    return -1;
}

/// @}

#endif  // RVN_FACES_CRSTYPEDPTRARRAY_H
