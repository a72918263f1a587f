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
    CPtrArray();
    ~CPtrArray() override;

    int GetSize() const { return m_arr.GetSize(); }
    int GetCount() const { return m_arr.GetCount(); }
    int GetUpperBound() const { return m_arr.GetUpperBound(); }
    bool IsEmpty() const { return m_arr.IsEmpty(); }
    void SetSize(int nNewSize, int nGrowBy = -1) { m_arr.SetSize(nNewSize, nGrowBy); }
    void RemoveAll() { m_arr.RemoveAll(); }
    void FreeExtra() { m_arr.FreeExtra(); }

    void* GetAt(int i) const { return m_arr.GetAt(i); }
    void SetAt(int i, void* p) { m_arr.SetAt(i, p); }
    void*& ElementAt(int i) { return m_arr.ElementAt(i); }
    void* const& ElementAt(int i) const { return m_arr.ElementAt(i); }
    void*& operator[](int i) { return m_arr.ElementAt(i); }
    void* operator[](int i) const { return m_arr.GetAt(i); }
    void** GetData() { return m_arr.GetData(); }
    const void* const* GetData() const { return m_arr.GetData(); }

    void SetAtGrow(int i, void* p) { m_arr.SetAtGrow(i, p); }
    int Add(void* p) { return m_arr.Add(p); }
    int Append(const CPtrArray& src) { return m_arr.Append(src.m_arr); }
    void Copy(const CPtrArray& src) { m_arr.Copy(src.m_arr); }
    void InsertAt(int i, void* p, int nCount = 1) { m_arr.InsertAt(i, p, nCount); }
    /// Inserts every pointer of another array at nStartIndex.
    void InsertAt(int nStartIndex, CPtrArray* pNewArray);
    void RemoveAt(int i, int nCount = 1) { m_arr.RemoveAt(i, nCount); }

private:
    CArray<void*, void*> m_arr;
};

/// Typed view of a pointer array: the same storage, with TYPE in place of void*.
template <class BASE_CLASS, class TYPE>
class RVN_API CTypedPtrArray : public BASE_CLASS {
public:
    TYPE GetAt(int i) const { return static_cast<TYPE>(BASE_CLASS::GetAt(i)); }
    /// The slot itself. Object pointers share the representation of void* on every platform
    /// the library supports, which is what makes the typed view of one storage possible.
    TYPE& ElementAt(int i) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(i)); }
    void SetAt(int i, TYPE p) { BASE_CLASS::SetAt(i, p); }
    void SetAtGrow(int i, TYPE p) { BASE_CLASS::SetAtGrow(i, p); }
    int Add(TYPE p) { return BASE_CLASS::Add(p); }
    int Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
    void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }
    void InsertAt(int i, TYPE p, int nCount = 1) { BASE_CLASS::InsertAt(i, p, nCount); }
    void InsertAt(int nStartIndex, CTypedPtrArray* pNewArray) {
        BASE_CLASS::InsertAt(nStartIndex, pNewArray);
    }
    TYPE& operator[](int i) { return ElementAt(i); }
    TYPE operator[](int i) const { return GetAt(i); }
    TYPE* GetData() { return reinterpret_cast<TYPE*>(BASE_CLASS::GetData()); }
};

/// @}

#endif  // RVN_FRAMEWORK_CPTRARRAY_H
