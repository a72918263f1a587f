/// @file
/// Nearest-entry search in a sorted table of doubles.
///
/// The finder borrows the caller's array: it neither copies nor frees it, so the array must
/// outlive every search. All comparisons are exact (no tolerance). A value exactly halfway
/// between two neighbouring entries gives the upper index (the later entry of the array).
/// -1 means that no entry could be chosen: an empty or null array, a NaN, or an array that is
/// not sorted the way the search assumes.
#ifndef RVN_NUMERIC_CALGFINDING_H
#define RVN_NUMERIC_CALGFINDING_H

/// @addtogroup numeric
/// @{

#include "BaseCommon/Export.h"

/// Nearest-entry search in a sorted table of doubles.
/// @see CAlgFinding.h for the contracts that hold for the whole class.
class RVN_API CAlgFinding {
public:
    const double* m_pdArray;  ///< borrowed, m_nCount entries
    int m_nCount;             ///< number of entries; <= 0 means an empty table

    /// A finder without a table (every search gives -1).
    CAlgFinding() : m_pdArray(nullptr), m_nCount(0) {}
    /// A finder over the n entries at array, borrowed (not copied).
    CAlgFinding(const double* array, int n) : m_pdArray(array), m_nCount(n) {}
    /// A finder over the same borrowed array.
    CAlgFinding(const CAlgFinding& f) : m_pdArray(f.m_pdArray), m_nCount(f.m_nCount) {}
    /// Borrows f's array and count.
    CAlgFinding& operator=(const CAlgFinding& f) {
        m_pdArray = f.m_pdArray;
        m_nCount = f.m_nCount;
        return *this;
    }
    /// Forgets the array; frees nothing.
    virtual ~CAlgFinding();

    /// Ascending array a[0..n-1]: x < a[0] gives 0 (strict), x >= a[n-1] gives n-1
    /// (inclusive); otherwise the nearer end of the first interval with a[i] <= x < a[i+1].
    int FindNearest_Ascend(double x) const;
    /// Descending array: x > a[0] gives 0 (strict), x <= a[n-1] gives n-1 (inclusive);
    /// otherwise the nearer end of the first interval with a[i] >= x > a[i+1].
    int FindNearest_Descend(double x) const;
};

/// @}

#endif  // RVN_NUMERIC_CALGFINDING_H
