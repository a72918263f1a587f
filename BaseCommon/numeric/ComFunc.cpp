#include "BaseCommon/numeric/ComFunc.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "BaseCommon/sparse/CSparseMatrix.h"

namespace {

// A variable of MatrixSolver_3x3 takes part only when its diagonal exceeds this in magnitude.
constexpr double kSolverDiagMin = 1.0;

// Dead band of GetSgn: values this close to zero count as zero.
constexpr double kSgnTol = 1e-6;

template <class T>
T FindExtreme(const T* a, int n, bool bMax) {
    if (n < 1)
        return T(0);
    T v = a[0];
    for (int i = 1; i < n; ++i) {
        if (bMax ? a[i] > v : a[i] < v)
            v = a[i];
    }
    return v;
}

}  // namespace

namespace ComFunc {

int GetSgn(double x) {
    if (x > kSgnTol)
        return 1;
    if (x < -kSgnTol)
        return -1;
    return 0;
}

void SetZero_int(CArray<int, int&>& a) {
    std::fill_n(a.GetData(), a.GetSize(), 0);
}

void SetZero_double(CArray<double, double&>& a) {
    std::fill_n(a.GetData(), a.GetSize(), 0.0);
}

// The callers' exchange sort leaves the ints in plain sorted order, which is unique for ints;
// std::sort reaches the same order without the quadratic cost on long arrays.
void Sort_IntArray(CArray<int, int&>& a, int nOrder) {
    int* p = a.GetData();
    if (nOrder == 0) {
        std::sort(p, p + a.GetSize(), std::greater<int>());
    } else {
        std::sort(p, p + a.GetSize());
    }
}

void IntSorting(int* a, int n) {
    if (n > 1)
        std::sort(a, a + n);
}

int FindIntArray(const CArray<int, int&>& a, int nValue, int nStart) {
    // nStart + 1 in 64 bits: a start of INT_MAX searches nothing instead of wrapping round
    // to the whole array.
    const long long first = std::max(static_cast<long long>(nStart) + 1, 0LL);
    for (int i = static_cast<int>(std::min<long long>(first, a.GetSize())); i < a.GetSize(); ++i) {
        if (a[i] == nValue)
            return i;
    }
    return -1;
}

int ArrayXchage_double(CArray<double, double&>& a, double* p, int n, int nDirection) {
    if (nDirection == 0) {
        if (n < 0)
            return 0;
        a.RemoveAll();
        a.SetSize(n);
        std::copy(p, p + n, a.GetData());
        return 1;
    }
    if (a.GetSize() != n)
        return 0;
    std::copy(a.GetData(), a.GetData() + n, p);
    return 1;
}

double FindMaxValue(const double* a, int n) {
    return FindExtreme(a, n, true);
}
double FindMinValue(const double* a, int n) {
    return FindExtreme(a, n, false);
}
float FindMaxValue_f(const float* a, int n) {
    return FindExtreme(a, n, true);
}
float FindMinValue_f(const float* a, int n) {
    return FindExtreme(a, n, false);
}

void FindMaxMinValue(const double* a, int nFirst, int nLast, double& dMax, double& dMin) {
    dMax = a[nFirst];
    dMin = a[nFirst];
    for (int i = nFirst + 1; i <= nLast; ++i) {
        if (a[i] > dMax)
            dMax = a[i];
        if (a[i] < dMin)
            dMin = a[i];
    }
}

void CopyArray(const double* pSrc, double* pDst, int n) {
    if (n > 0)
        std::memmove(pDst, pSrc, static_cast<size_t>(n) * sizeof(double));
}

int IsBetweenAB(double x, double a, double b, double dTol) {
    return (a - dTol < x && x < b + dTol) ? 1 : 0;
}

void RemoveRightDot(CString /*str*/) {}

int GetSubNum(const CString& str, char ch) {
    const std::string& s = str.str();
    if (s.empty())
        return 0;
    const int n = static_cast<int>(std::count(s.begin(), s.end(), ch));
    // The last field needs no closing separator.
    return s.back() == ch ? n : n + 1;
}

void GetFormatBuf(CString& str, int n) {
    str.Format("%%.%df", n);
}

int GetNearestIndex(double x, const double* a, int n) {
    if (n < 1)
        return -1;
    if (x < a[0])
        return 0;
    if (x > a[n - 1])
        return n - 1;
    // A one-entry table holding x exactly: that entry is the nearest, as it is for any x
    // beside it.
    if (n < 2)
        return x == a[0] ? 0 : -1;
    for (int k = 0; k + 1 < n; ++k) {
        if (a[k] <= x && x <= a[k + 1])
            return (x - a[k] < a[k + 1] - x) ? k : k + 1;
    }
    return -1;
}

void GetNearestIndexEx(double x, const double* a, int n, int& nLo, int& nHi) {
    nLo = -1;
    nHi = -1;
    if (n < 1)
        return;
    if (x < a[0]) {
        nHi = 0;
        return;
    }
    if (x > a[n - 1]) {
        nLo = n - 1;
        return;
    }
    for (int k = 0; k + 1 < n; ++k) {
        if (a[k] <= x && x <= a[k + 1]) {
            nLo = k;
            nHi = k + 1;
        }
    }
}

int FindIndexInAscendArray(double x, const double* a, int n) {
    if (n < 1)
        return -1;
    if (x < a[0])
        return 0;
    if (x >= a[n - 1])
        return n - 1;
    if (n < 2)
        return -1;
    for (int k = 0; k + 1 < n; ++k) {
        if (a[k] <= x && x < a[k + 1])
            return k;
    }
    return -1;
}

int IsNumeric(const CString& str) {
    const std::string& s = str.str();
    if (s.empty())
        return 0;
    int nDot = 0;
    int nMinus = 0;
    for (const char c : s) {
        if (c == '.') {
            ++nDot;
        } else if (c == '-') {
            ++nMinus;
        } else if (c < '0' || c > '9') {
            return 0;
        }
    }
    return (nDot > 1 || nMinus > 1) ? 0 : 1;
}

int GetDoublePrecision(double v) {
    CString s;
    s.Format("%g", v);
    const int nDot = s.Find('.');
    if (nDot < 0)
        return 0;
    return s.GetLength() - nDot - 1;
}

void MatrixSolver_3x3(const double A[3][3], double* x, const double* b) {
    int nMask = 0;
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(A[i][i]) > kSolverDiagMin)
            nMask |= 1 << i;
    }
    if (nMask == 7) {
        const int anDiag[3] = {0, 2, 5};
        CSparseMatrix K(3, anDiag);
        K.ElementBufRealloc();
        // Both (i, j) and (j, i) address one stored element, so the lower triangle, written
        // last, is the one solved with.
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j)
                K(i, j) = A[i][j];
        }
        CopyArray(b, x, 3);
        K.LdltSolve(3, x);
        return;
    }
    int nDrop = -1;
    if (nMask == 3)
        nDrop = 2;
    if (nMask == 5)
        nDrop = 1;
    if (nMask == 6)
        nDrop = 0;
    if (nDrop < 0)
        return;
    int anKeep[2];
    for (int i = 0, k = 0; i < 3; ++i) {
        if (i != nDrop)
            anKeep[k++] = i;
    }
    const int anDiag[2] = {0, 2};
    CSparseMatrix K(2, anDiag);
    K.ElementBufRealloc();
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c)
            K(r, c) = A[anKeep[r]][anKeep[c]];
    }
    double y[2] = {b[anKeep[0]], b[anKeep[1]]};
    K.LdltSolve(2, y);
    x[anKeep[0]] = y[0];
    x[anKeep[1]] = y[1];
    x[nDrop] = 0.0;
}

}  // namespace ComFunc
