#include "BaseCommon/framework/CPtrArray.h"

IMPLEMENT_DYNAMIC(CPtrArray, CObject)

CPtrArray::CPtrArray() = default;

CPtrArray::~CPtrArray() = default;

void CPtrArray::InsertAt(int nStartIndex, CPtrArray* pNewArray) {
    if (!pNewArray || nStartIndex < 0)
        throw CInvalidArgException();
    const int n = pNewArray->GetSize();
    if (n == 0)
        return;
    if (pNewArray == this) {
        // Inserting an array into itself: take a snapshot first so the shift cannot
        // overwrite what is still to be copied.
        CArray<void*, void*> snapshot(m_arr);
        m_arr.InsertAt(nStartIndex, nullptr, n);
        for (int i = 0; i < n; ++i)
            m_arr.SetAt(nStartIndex + i, snapshot.GetAt(i));
        return;
    }
    m_arr.InsertAt(nStartIndex, nullptr, n);
    for (int i = 0; i < n; ++i)
        m_arr.SetAt(nStartIndex + i, pNewArray->GetAt(i));
}
