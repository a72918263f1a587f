// Test support for the skyline matrix: the literal factorisation as the reference, profile
// and matrix generators, message capture and a kernel guard.
#ifndef RVN_TESTS_SPARSE_SKYLINEREFERENCE_H
#define RVN_TESTS_SPARSE_SKYLINEREFERENCE_H

#include <cmath>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "BaseCommon/framework/MessageBox.h"
#include "BaseCommon/sparse/CSparseMatrix.h"
#include "BaseCommon/sparse/SkylineKernel.h"

namespace rvn {
// Names the kernel in test output.
inline void PrintTo(SkylineKernel k, std::ostream* os) {
    *os << SkylineKernelName(k);
}
}  // namespace rvn

namespace skytest {

inline int First(const std::vector<int>& D, int i) {
    return i == 0 ? 0 : i + 1 - (D[i] - D[i - 1]);
}

// The recurrence exactly as the factor format defines it: a division in every term, a zero
// pivot stops at the first term that would divide by it. Returns 1 or 0.
inline int LiteralFactor(std::vector<double>& E, const std::vector<int>& D, int n) {
    for (int i = 1; i < n; ++i) {
        for (int j = First(D, i) + 1; j <= i; ++j) {
            double s = 0.0;
            for (int k = std::max(First(D, i), First(D, j)); k < j; ++k) {
                if (E[D[k]] == 0.0)
                    return 0;
                s += E[D[i] - (i - k)] * E[D[j] - (j - k)] / E[D[k]];
            }
            E[D[i] - (i - j)] -= s;
        }
    }
    return 1;
}

// Row heights up to hmax: all of it, or random in 1 .. hmax; tallLast makes the last row full.
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

// Fills m (profile D) with a random symmetric, strictly diagonally dominant matrix: symmetric
// positive definite with pivots well away from 0.
inline void FillSpd(CSparseMatrix& m, const std::vector<int>& D, std::mt19937& rng) {
    const int n = static_cast<int>(D.size());
    m = 0.0;
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> rowSum(n, 1.0);
    for (int i = 0; i < n; ++i) {
        for (int j = First(D, i); j < i; ++j) {
            const double v = u(rng);
            m(i, j) = v;
            rowSum[i] += std::fabs(v);
            rowSum[j] += std::fabs(v);
        }
    }
    for (int i = 0; i < n; ++i)
        m(i, i) = rowSum[i];
}

// K = L D L^T with l in {-1, 0, 1} and pivots in {1, 2, 4, 8} (or 0 at row zeroRow): every
// product and quotient of both factorisations is exact, so they must agree bit for bit and
// reproduce L and D. Returns the expected factor buffer.
inline std::vector<double> FillExact(CSparseMatrix& m, const std::vector<int>& D, std::mt19937& rng,
                                     int zeroRow = -1) {
    const int n = static_cast<int>(D.size());
    std::vector<double> G(D[n - 1] + 1, 0.0);
    for (int i = 0; i < n; ++i) {
        G[D[i]] = i == zeroRow ? 0.0 : double(1 << (rng() % 4));
        for (int k = First(D, i); k < i; ++k)
            G[D[i] - (i - k)] = double(int(rng() % 3) - 1);
    }
    m = 0.0;
    for (int i = 0; i < n; ++i) {
        for (int j = First(D, i); j <= i; ++j) {
            double s = 0.0;
            for (int k = std::max(First(D, i), First(D, j)); k <= j; ++k) {
                const double lik = k == i ? 1.0 : G[D[i] - (i - k)];
                const double ljk = k == j ? 1.0 : G[D[j] - (j - k)];
                s += lik * G[D[k]] * ljk;
            }
            m(i, j) = s;
        }
    }
    for (int i = 0; i < n; ++i) {
        for (int k = First(D, i); k < i; ++k)
            G[D[i] - (i - k)] *= G[D[k]];  // g = l d
    }
    return G;
}

inline std::vector<double> Elements(const CSparseMatrix& m) {
    return std::vector<double>(m.m_pdElement, m.m_pdElement + m.m_pnDiag[m.m_nRow - 1] + 1);
}

// Collects the texts shown through AfxMessageBox while alive.
struct Messages {
    std::vector<std::string> texts;
    MessageBoxHandler previous;
    Messages() {
        previous = SetMessageBoxHandler([this](const char* t, UINT type, UINT help) {
            texts.push_back(t);
            EXPECT_EQ(type, static_cast<UINT>(MB_OK));
            EXPECT_EQ(help, 0u);
            return IDOK;
        });
    }
    ~Messages() { SetMessageBoxHandler(previous); }
    std::string Only() const {
        return texts.size() == 1 ? texts[0] : "<" + std::to_string(texts.size()) + " messages>";
    }
};

// Runs the scope with one kernel and restores the previous choice.
struct KernelScope {
    rvn::SkylineKernel previous = rvn::GetSkylineKernel();
    bool ok;
    explicit KernelScope(rvn::SkylineKernel k) : ok(rvn::SetSkylineKernel(k)) {}
    ~KernelScope() { rvn::SetSkylineKernel(previous); }
};

inline std::vector<rvn::SkylineKernel> Kernels() {
    std::vector<rvn::SkylineKernel> ks = {rvn::SkylineKernel::Literal,
                                          rvn::SkylineKernel::Baseline};
    if (rvn::BestSkylineKernel() == rvn::SkylineKernel::Avx2Fma)
        ks.push_back(rvn::SkylineKernel::Avx2Fma);
    return ks;
}

}  // namespace skytest

#endif  // RVN_TESTS_SPARSE_SKYLINEREFERENCE_H
