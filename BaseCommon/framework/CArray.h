/// @file
/// Growable value array of the framework layer (CArray<int, int&>, CArray<double, double&>,
/// CArray<bool, bool&> and the like). Elements are contiguous; GetData() points at them.
/// Every indexed access outside [0, size) throws CInvalidArgException; a failed allocation
/// throws CMemoryException. New elements are value-initialised (0, 0.0, false).
/// Counts are ints: every count an operation derives (index plus count, size plus count) is
/// formed in 64 bits first, and one that leaves [0, INT_MAX] throws CInvalidArgException.
/// An operation that throws leaves the array as it was.
#ifndef RVN_FRAMEWORK_CARRAY_H
#define RVN_FRAMEWORK_CARRAY_H

/// @addtogroup framework
/// @{

#include <algorithm>
#include <climits>
#include <memory>
#include <new>
#include <utility>

#include "BaseCommon/framework/CException.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
/// Growable value array of the framework layer (CArray<int, int&>, CArray<double, double&>,
/// CArray<bool, bool&> and the like).
/// @see CArray.h for the contracts that hold for the whole class.
class CArray {
public:
    CArray() = default;
    /// A copy of other's elements.
    CArray(const CArray& other) { Copy(other); }
    /// Replaces the elements with a copy of other's.
    CArray& operator=(const CArray& other) {
        if (this != &other)
            Copy(other);
        return *this;
    }
    /// Takes other's storage; other is left empty.
    CArray(CArray&& other) noexcept { Swap(other); }
    /// Frees this array's storage and takes other's; other is left empty.
    CArray& operator=(CArray&& other) noexcept {
        if (this != &other) {
            RemoveAll();
            Swap(other);
        }
        return *this;
    }
    ~CArray() = default;

    /// Number of elements.
    int GetSize() const { return m_nSize; }
    /// Number of elements (same as GetSize).
    int GetCount() const { return m_nSize; }
    /// Index of the last element, -1 when empty.
    int GetUpperBound() const { return m_nSize - 1; }
    /// True when the array has no element.
    bool IsEmpty() const { return m_nSize == 0; }

    /// New count; nGrowBy >= 0 sets the growth step, -1 keeps it. Shrinking to 0 frees storage.
    /// New elements are value-initialised; a negative count throws CInvalidArgException.
    void SetSize(int nNewSize, int nGrowBy = -1) {
        if (nNewSize < 0)
            throw CInvalidArgException();
        if (nNewSize == 0) {
            if (nGrowBy >= 0)
                m_nGrowBy = nGrowBy;
            m_pData.reset();
            m_nSize = m_nMaxSize = 0;
            return;
        }
        if (nNewSize > m_nMaxSize)
            Reserve(nNewSize, NextCapacity(nNewSize, nGrowBy >= 0 ? nGrowBy : m_nGrowBy));
        if (nGrowBy >= 0)
            m_nGrowBy = nGrowBy;
        for (int i = m_nSize; i < nNewSize; ++i)
            m_pData[i] = TYPE();
        m_nSize = nNewSize;
    }
    /// Empties the array and frees its storage.
    void RemoveAll() { SetSize(0, -1); }
    /// Releases storage beyond the current count.
    void FreeExtra() {
        if (m_nSize < m_nMaxSize)
            Reallocate(m_nSize);
    }

    /// Element at index i (bounds-checked).
    const TYPE& GetAt(int i) const { return m_pData[Check(i)]; }
    /// Replaces the element at index i (bounds-checked).
    void SetAt(int i, ARG_TYPE v) { m_pData[Check(i)] = v; }
    /// The element at index i, writable (bounds-checked).
    TYPE& ElementAt(int i) { return m_pData[Check(i)]; }
    /// The element at index i (bounds-checked).
    const TYPE& ElementAt(int i) const { return m_pData[Check(i)]; }
    /// The element at index i, writable (bounds-checked).
    TYPE& operator[](int i) { return ElementAt(i); }
    /// The element at index i (bounds-checked).
    const TYPE& operator[](int i) const { return GetAt(i); }
    /// The contiguous elements (GetSize() of them); null when the array has no storage.
    /// Valid until the next operation that changes the count.
    TYPE* GetData() { return m_pData.get(); }
    /// The contiguous elements (GetSize() of them); null when the array has no storage.
    const TYPE* GetData() const { return m_pData.get(); }

    /// Stores v at index i, growing the array (value-initialised elements) when i is past the
    /// end; v may refer into this array. A negative index throws CInvalidArgException.
    void SetAtGrow(int i, ARG_TYPE v) {
        if (i < 0)
            throw CInvalidArgException();
        TYPE copy = v;  // v may refer into this array
        if (i >= m_nSize)
            SetSize(CheckedCount(static_cast<long long>(i) + 1), -1);
        m_pData[i] = std::move(copy);
    }
    /// Appends v (which may refer into this array); returns its index.
    int Add(ARG_TYPE v) {
        const int i = m_nSize;
        SetAtGrow(i, v);
        return i;
    }
    /// Appends a copy of src's elements; returns the index of the first one. Appending an
    /// array to itself throws CInvalidArgException.
    int Append(const CArray& src) {
        const int old = m_nSize;
        if (this == &src)
            throw CInvalidArgException();
        SetSize(CheckedCount(static_cast<long long>(old) + src.m_nSize), -1);
        std::copy(src.m_pData.get(), src.m_pData.get() + src.m_nSize, m_pData.get() + old);
        return old;
    }
    /// Makes this array an element-wise copy of src (nothing happens for src == *this).
    void Copy(const CArray& src) {
        if (this == &src)
            return;
        SetSize(src.m_nSize, -1);
        std::copy(src.m_pData.get(), src.m_pData.get() + src.m_nSize, m_pData.get());
    }

    /// Inserts nCount copies of v at index i; an index past the end grows the array first.
    /// A negative index or count throws CInvalidArgException; a count of 0 does nothing.
    void InsertAt(int i, ARG_TYPE v, int nCount = 1) {
        if (i < 0 || nCount < 0)
            throw CInvalidArgException();
        if (nCount == 0)
            return;
        TYPE copy = v;
        const int old = m_nSize;
        if (i >= old) {
            SetSize(CheckedCount(static_cast<long long>(i) + nCount), -1);
        } else {
            SetSize(CheckedCount(static_cast<long long>(old) + nCount), -1);
            std::move_backward(m_pData.get() + i, m_pData.get() + old,
                               m_pData.get() + old + nCount);
        }
        std::fill(m_pData.get() + i, m_pData.get() + i + nCount, copy);
    }
    /// Removes nCount elements from index i; a range outside the array (or a negative index or
    /// count) throws CInvalidArgException and changes nothing. Storage is kept.
    void RemoveAt(int i, int nCount = 1) {
        if (i < 0 || nCount < 0 || static_cast<long long>(i) + nCount > m_nSize)
            throw CInvalidArgException();
        std::move(m_pData.get() + i + nCount, m_pData.get() + m_nSize, m_pData.get() + i);
        m_nSize -= nCount;
    }

private:
    /// A count formed from two ints, as an int; outside [0, INT_MAX] the request is impossible.
    static int CheckedCount(long long n) {
        if (n < 0 || n > INT_MAX)
            throw CInvalidArgException();
        return static_cast<int>(n);
    }
    int Check(int i) const {
        if (i < 0 || i >= m_nSize)
            throw CInvalidArgException();
        return i;
    }
    /// Largest grow-by step honoured: a step is a hint for the slack beyond the count asked
    /// for, and a caller's huge step must not turn one Add into gigabytes.
    static constexpr long long kMaxGrowStep = 1LL << 16;

    int NextCapacity(int nNeeded, int nGrowBy) const {
        // Geometric growth keeps repeated Add linear overall; an explicit grow-by step
        // is honoured as a minimum, up to kMaxGrowStep.
        const long long step = std::min<long long>(nGrowBy, kMaxGrowStep);
        long long cap = m_nMaxSize + std::max<long long>({4LL, m_nMaxSize / 2LL, step});
        if (cap < nNeeded)
            cap = nNeeded;
        if (cap > INT_MAX)
            cap = INT_MAX;
        return static_cast<int>(cap);
    }
    /// The slack beyond nNeeded is only a convenience: when it cannot be had, exactly nNeeded.
    void Reserve(int nNeeded, int nCap) {
        try {
            Reallocate(nCap);
        } catch (const CMemoryException&) {
            if (nCap == nNeeded)
                throw;
            Reallocate(nNeeded);
        }
    }
    void Reallocate(int nCap) {
        std::unique_ptr<TYPE[]> p;
        try {
            p.reset(new TYPE[static_cast<size_t>(nCap)]());
        } catch (const std::bad_alloc&) {
            throw CMemoryException();
        }
        std::move(m_pData.get(), m_pData.get() + std::min(m_nSize, nCap), p.get());
        m_pData = std::move(p);
        m_nMaxSize = nCap;
    }
    void Swap(CArray& o) noexcept {
        std::swap(m_pData, o.m_pData);
        std::swap(m_nSize, o.m_nSize);
        std::swap(m_nMaxSize, o.m_nMaxSize);
        std::swap(m_nGrowBy, o.m_nGrowBy);
    }

    std::unique_ptr<TYPE[]> m_pData;
    int m_nSize = 0;
    int m_nMaxSize = 0;
    int m_nGrowBy = 0;
};

/// @}

#endif  // RVN_FRAMEWORK_CARRAY_H
