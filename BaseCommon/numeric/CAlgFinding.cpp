#include "BaseCommon/numeric/CAlgFinding.h"

CAlgFinding::~CAlgFinding() {
    m_pdArray = nullptr;
    m_nCount = 0;
}

int CAlgFinding::FindNearest_Ascend(double x) const {
    if (m_pdArray == nullptr || m_nCount <= 0)
        return -1;
    const double* a = m_pdArray;
    const int n = m_nCount;
    if (x < a[0])
        return 0;
    if (x >= a[n - 1])
        return n - 1;
    for (int i = 0; i + 1 < n; ++i) {
        if (a[i] <= x && x < a[i + 1])
            return (x - a[i] < a[i + 1] - x) ? i : i + 1;
    }
    return -1;
}

int CAlgFinding::FindNearest_Descend(double x) const {
    if (m_pdArray == nullptr || m_nCount <= 0)
        return -1;
    const double* a = m_pdArray;
    const int n = m_nCount;
    if (x > a[0])
        return 0;
    if (x <= a[n - 1])
        return n - 1;
    for (int i = 0; i + 1 < n; ++i) {
        if (a[i] >= x && x > a[i + 1])
            return (a[i] - x < x - a[i + 1]) ? i : i + 1;
    }
    return -1;
}
