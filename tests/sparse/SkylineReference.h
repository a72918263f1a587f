// Test support for the skyline matrix: the literal factorisation as the reference, profile and
// matrix generators and message capture.
#ifndef RVN_TESTS_SPARSE_SKYLINEREFERENCE_H
#define RVN_TESTS_SPARSE_SKYLINEREFERENCE_H

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "BaseCommon/framework/MessageBox.h"
#include "BaseCommon/sparse/CSparseMatrix.h"

namespace skytest {

inline int First(const std::vector<int>& D, int i) {
    return i == 0 ? 0 : i + 1 - (D[i] - D[i - 1]);
}

// Element (i, j), j <= i, of a buffer in profile D.
inline double& At(std::vector<double>& E, const std::vector<int>& D, int i, int j) {
    return E[D[i] - (i - j)];
}

// The recurrence as the factor format defines it: a division in every term, stopping at the
// first term that would divide by a zero pivot. Returns 1 or 0.
inline int LiteralFactor(std::vector<double>& E, const std::vector<int>& D, int n) {
    for (int i = 1; i < n; ++i) {
        for (int j = First(D, i) + 1; j <= i; ++j) {
            double s = 0.0;
            for (int k = std::max(First(D, i), First(D, j)); k < j; ++k) {
                if (At(E, D, k, k) == 0.0)
                    return 0;
                s += At(E, D, i, k) * At(E, D, j, k) / At(E, D, k, k);
            }
            At(E, D, i, j) -= s;
        }
    }
    return 1;
}

// Row heights up to hmax, all of it or random in 1 .. hmax; tallLast makes the last row full.
struct Shape {
    int hmax;
    bool random, tallLast;
};
const Shape kFull{1 << 30, false, false}, kBand{9, false, false}, kTridiagonal{2, false, false},
    kDiagonal{1, false, false}, kVariable{1 << 30, true, false}, kTallLast{5, true, true};

inline std::vector<int> MakeProfile(Shape s, int n, std::mt19937& rng) {
    std::vector<int> D(n);
    for (int i = 0; i < n; ++i) {
        const int cap = std::min(i + 1, s.hmax);
        const int h = s.tallLast && i == n - 1 ? n : s.random ? 1 + int(rng() % cap) : cap;
        D[i] = i == 0 ? 0 : D[i - 1] + h;
    }
    return D;
}

inline std::vector<double> Elements(const CSparseMatrix& m) {
    return std::vector<double>(m.m_pdElement, m.m_pdElement + m.m_pnDiag[m.m_nRow - 1] + 1);
}

inline void Assign(CSparseMatrix& m, const std::vector<double>& E) {
    m = 0.0;
    std::copy(E.begin(), E.end(), m.m_pdElement);
}

// Fills m with K = L D L^T in profile D and returns the factor buffer G (pivots d on the
// diagonal, g = l d off it), the literal recurrence run backwards. exact: l in {-1, 0, 1} and d
// in {1, 2, 4, 8} (0 at row zeroRow), so that every product and quotient of either
// factorisation is exact and both must give back G to the bit. Otherwise |l| < 1 / n and d in
// [1, 2): a random, well-conditioned positive definite matrix.
inline std::vector<double> FillLdlt(CSparseMatrix& m, const std::vector<int>& D, std::mt19937& rng,
                                    bool exact, int zeroRow = -1) {
    const int n = static_cast<int>(D.size());
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> G(D[n - 1] + 1);
    for (int i = 0; i < n; ++i) {
        At(G, D, i, i) = i == zeroRow ? 0.0 : exact ? double(1 << (rng() % 4)) : 1.5 + u(rng) / 2;
        for (int k = First(D, i); k < i; ++k)
            At(G, D, i, k) = (exact ? double(int(rng() % 3) - 1) : u(rng) / n) * At(G, D, k, k);
    }
    std::vector<double> K = G;
    for (int i = 0; i < n; ++i)
        for (int j = First(D, i); j <= i; ++j)
            for (int k = std::max(First(D, i), First(D, j)); k < j; ++k)
                if (k != zeroRow)
                    At(K, D, i, j) += At(G, D, i, k) * At(G, D, j, k) / At(G, D, k, k);
    Assign(m, K);
    return G;
}

// Collects the texts shown through AfxMessageBox while alive.
struct Messages {
    std::vector<std::string> texts;
    MessageBoxHandler previous = SetMessageBoxHandler([this](const char* t, UINT type, UINT help) {
        texts.push_back(t);
        EXPECT_EQ(type, static_cast<UINT>(MB_OK));
        EXPECT_EQ(help, 0u);
        return IDOK;
    });
    ~Messages() { SetMessageBoxHandler(previous); }
};

}  // namespace skytest

#endif  // RVN_TESTS_SPARSE_SKYLINEREFERENCE_H
