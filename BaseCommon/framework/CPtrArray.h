/// @file
/// Untyped pointer array of the framework layer and its typed wrapper. The arrays hold
/// pointers only: they never create or delete what the pointers point at. Every indexed
/// access outside [0, size) throws CInvalidArgException.
#ifndef RVN_FRAMEWORK_CPTRARRAY_H
#define RVN_FRAMEWORK_CPTRARRAY_H

/// @addtogroup framework
/// @{

#include "BaseCommon/Export.h"
#include "BaseCommon/framework/CArray.h"
#include "BaseCommon/framework/CObject.h"

/// Untyped pointer array of the framework layer and its typed wrapper.
/// @see CPtrArray.h for the contracts that hold for the whole class.
class RVN_API CPtrArray : public CObject {
    DECLARE_DYNAMIC(CPtrArray)
public:
    /// An empty array.
    CPtrArray();
    /// Frees the slots only; the objects pointed at are left alone.
    ~CPtrArray() override;

    /// Number of pointers held.
    int GetSize() const { return m_arr.GetSize(); }
    /// Number of pointers held (same as GetSize).
    int GetCount() const { return m_arr.GetCount(); }
    /// Index of the last pointer, -1 when empty.
    int GetUpperBound() const { return m_arr.GetUpperBound(); }
    /// True when the array holds no pointer.
    bool IsEmpty() const { return m_arr.IsEmpty(); }
    /// New count, new slots null; nGrowBy >= 0 sets the growth step, -1 keeps it. A negative
    /// count throws CInvalidArgException. Dropped pointers are not deleted.
    void SetSize(int nNewSize, int nGrowBy = -1) { m_arr.SetSize(nNewSize, nGrowBy); }
    /// Empties the array and frees its storage; the objects pointed at are not deleted.
    void RemoveAll() { m_arr.RemoveAll(); }
    /// Releases storage beyond the current count.
    void FreeExtra() { m_arr.FreeExtra(); }

    /// Pointer at index i (bounds-checked).
    void* GetAt(int i) const { return m_arr.GetAt(i); }
    /// Replaces the pointer at index i (bounds-checked); the old one is not deleted.
    void SetAt(int i, void* p) { m_arr.SetAt(i, p); }
    /// The slot at index i (bounds-checked).
    void*& ElementAt(int i) { return m_arr.ElementAt(i); }
    /// The slot at index i (bounds-checked).
    void* const& ElementAt(int i) const { return m_arr.ElementAt(i); }
    /// The slot at index i (bounds-checked).
    void*& operator[](int i) { return m_arr.ElementAt(i); }
    /// Pointer at index i (bounds-checked).
    void* operator[](int i) const { return m_arr.GetAt(i); }
    /// The contiguous slots (GetSize() of them); null when the array has no storage.
    void** GetData() { return m_arr.GetData(); }
    /// The contiguous slots (GetSize() of them); null when the array has no storage.
    const void* const* GetData() const { return m_arr.GetData(); }

    /// Stores p at index i, growing the array with null slots when i is past the end; a
    /// negative index throws CInvalidArgException.
    void SetAtGrow(int i, void* p) { m_arr.SetAtGrow(i, p); }
    /// Appends p; returns its index.
    int Add(void* p) { return m_arr.Add(p); }
    /// Appends the pointers of src (not the objects); returns the index of the first one.
    /// Appending an array to itself throws CInvalidArgException.
    int Append(const CPtrArray& src) { return m_arr.Append(src.m_arr); }
    /// Makes this array hold the same pointers as src (a shallow copy).
    void Copy(const CPtrArray& src) { m_arr.Copy(src.m_arr); }
    /// Inserts nCount copies of p at index i; an index past the end grows the array first
    /// with null slots. A negative index or count throws CInvalidArgException.
    void InsertAt(int i, void* p, int nCount = 1) { m_arr.InsertAt(i, p, nCount); }
    /// Inserts every pointer of another array at nStartIndex (the array itself is allowed).
    /// A null array or a negative index throws CInvalidArgException.
    void InsertAt(int nStartIndex, CPtrArray* pNewArray);
    /// Removes nCount pointers from index i without deleting what they point at; a range
    /// outside the array throws CInvalidArgException and changes nothing.
    void RemoveAt(int i, int nCount = 1) { m_arr.RemoveAt(i, nCount); }

private:
    CArray<void*, void*> m_arr;
};

/// Typed view of a pointer array: the same storage, with TYPE in place of void*.
template <class BASE_CLASS, class TYPE>
class RVN_API CTypedPtrArray : public BASE_CLASS {
public:
    /// Pointer at index i (bounds-checked).
    TYPE GetAt(int i) const { return static_cast<TYPE>(BASE_CLASS::GetAt(i)); }
    /// The slot at index i (bounds-checked), typed.
    /// Object pointers share the representation of void* on every platform the library
    /// supports, which is what makes the typed view of one storage possible.
    TYPE& ElementAt(int i) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(i)); }
    /// Replaces the pointer at index i (bounds-checked); the old one is not deleted.
    void SetAt(int i, TYPE p) { BASE_CLASS::SetAt(i, p); }
    /// Stores p at index i, growing the array with null slots when i is past the end.
    void SetAtGrow(int i, TYPE p) { BASE_CLASS::SetAtGrow(i, p); }
    /// Appends p; returns its index.
    int Add(TYPE p) { return BASE_CLASS::Add(p); }
    /// Appends the pointers of src (not the objects); returns the index of the first one.
    int Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
    /// Makes this array hold the same pointers as src (a shallow copy).
    void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }
    /// Inserts nCount copies of p at index i; an index past the end grows the array first.
    void InsertAt(int i, TYPE p, int nCount = 1) { BASE_CLASS::InsertAt(i, p, nCount); }
    /// Inserts every pointer of another array at nStartIndex (the array itself is allowed).
    void InsertAt(int nStartIndex, CTypedPtrArray* pNewArray) {
        BASE_CLASS::InsertAt(nStartIndex, pNewArray);
    }
    /// The slot at index i (bounds-checked).
    TYPE& operator[](int i) { return ElementAt(i); }
    /// Pointer at index i (bounds-checked).
    TYPE operator[](int i) const { return GetAt(i); }
    /// The contiguous slots (GetSize() of them), typed; null when there is no storage.
    TYPE* GetData() { return reinterpret_cast<TYPE*>(BASE_CLASS::GetData()); }
};

/// @}

#endif  // RVN_FRAMEWORK_CPTRARRAY_H
