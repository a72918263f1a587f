// Test support for the skyline matrix: the literal factorisation as the reference, profile and
// matrix generators and message capture.
#ifndef RVN_TESTS_SPARSE_SKYLINEREFERENCE_H
#define RVN_TESTS_SPARSE_SKYLINEREFERENCE_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "BaseCommon/framework/MessageBox.h"
#include "BaseCommon/sparse/CSparseMatrix.h"
#include "BaseCommon/sparse/SkylineKernel.h"

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

// K = L D L^T in profile D from a factor buffer G (pivots d on the diagonal, g = l d off it),
// the literal recurrence run backwards; a zero pivot at row zeroRow contributes nothing.
inline std::vector<double> Product(std::vector<double> G, const std::vector<int>& D,
                                   int zeroRow = -1) {
    std::vector<double> K = G;
    for (int i = 0; i < static_cast<int>(D.size()); ++i)
        for (int j = First(D, i); j <= i; ++j)
            for (int k = std::max(First(D, i), First(D, j)); k < j; ++k)
                if (k != zeroRow)
                    At(K, D, i, j) += At(G, D, i, k) * At(G, D, j, k) / At(G, D, k, k);
    return K;
}

// Fills m with K = L D L^T in profile D and returns the factor buffer G. exact: l in
// {-1, 0, 1} and d in {1, 2, 4, 8} (0 at row zeroRow), so that every product and quotient of
// either factorisation is exact and both must give back G to the bit. Otherwise |l| < 1 / n and
// d in [1, 2): a random, well-conditioned positive definite matrix.
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
    Assign(m, Product(G, D, zeroRow));
    return G;
}

// The pivot record read back from the factor of m: the negative pivots, and the smallest
// |d_i| / |a_ii| (its first row on a tie), a_ii read from K, the matrix factorised.
inline std::tuple<int, double, int> PivotRecord(const CSparseMatrix& m,
                                                const std::vector<double>& K) {
    int negative = 0, row = -1;
    double ratio = 0.0;
    for (int i = 0; i < m.m_nRow; ++i) {
        const double d = m.m_pdElement[m.m_pnDiag[i]];
        const double r = std::fabs(d) / std::fabs(K[m.m_pnDiag[i]]);
        negative += d < 0.0 ? 1 : 0;
        if (row < 0 || r < ratio)
            ratio = r, row = i;
    }
    return {negative, ratio, row};
}

// Every row holds min(i, band) entries left of the diagonal.
inline std::vector<int> BandProfile(int n, int band) {
    std::vector<int> D(n);
    for (int i = 0; i < n; ++i)
        D[i] = i == 0 ? 0 : D[i - 1] + std::min(i, band) + 1;
    return D;
}

// Bands on both sides of the blocked kernels' 4-, 8-, 12- and 24-row tiles and of their 8-column
// panels, one that spans several strips, both sides of the widest band factorised a strip at a
// time (224), and one wider than a cache block of 256 columns.
const int kBands[] = {0, 1, 7, 8, 9, 23, 24, 25, 100, 224, 225, 300};

// Assembly of element matrices into a skyline profile: the lower triangle by (row, column),
// the profile taken from each row's first non-zero column.
struct Assembly {
    int n;
    std::vector<std::vector<std::pair<int, double>>> rows;
    explicit Assembly(int order) : n(order), rows(order) {}
    void Add(int i, int j, double v) {
        if (j > i)
            std::swap(i, j);
        for (auto& e : rows[i])
            if (e.first == j) {
                e.second += v;
                return;
            }
        rows[i].emplace_back(j, v);
    }
    // k times the bar or spring matrix [c c^T, -c c^T; -c c^T, c c^T] between dof lists a, b.
    void Couple(const std::vector<int>& a, const std::vector<int>& b, const std::vector<double>& c,
                double k) {
        for (size_t p = 0; p < a.size(); ++p)
            for (size_t q = 0; q < a.size(); ++q) {
                const double v = k * c[p] * c[q];
                Add(a[p], a[q], p >= q ? v : 0.0);
                Add(b[p], b[q], p >= q ? v : 0.0);
                Add(a[p], b[q], -v);
            }
    }
    std::vector<int> Profile() const {
        std::vector<int> D(n);
        for (int i = 0; i < n; ++i) {
            int m = i;
            for (const auto& e : rows[i])
                m = std::min(m, e.first);
            D[i] = i == 0 ? 0 : D[i - 1] + i - m + 1;
        }
        return D;
    }
    void Into(CSparseMatrix& m) const {
        const std::vector<int> D = Profile();
        m.Realloc(n, D.data());
        m = 0.0;
        for (int i = 0; i < n; ++i)
            for (const auto& e : rows[i])
                m.m_pdElement[D[i] - (i - e.first)] += e.second;
    }
};

// Unsupported structures (mechanisms), stiffness k() per element. A chain of springs (one dof
// per node); a plane truss plate of nx x ny nodes (x, y per node; bars along the grid and one
// diagonal per cell, stiffness k / length); a grillage of nx x ny nodes (w, slope along x,
// slope along y per node) of beams with bending stiffness k() (EI / L^3 with L = 1) and
// torsion k() / 2. Nodes are numbered row by row, so the vanishing pivot is near the end.
template <class K>
Assembly FreeChain(int n, K k) {
    Assembly a(n);
    for (int i = 0; i + 1 < n; ++i)
        a.Couple({i}, {i + 1}, {1.0}, k());
    return a;
}

template <class K>
Assembly FreePlate(int nx, int ny, K k) {
    Assembly a(2 * nx * ny);
    auto dofs = [&](int x, int y) {
        const int p = 2 * (y * nx + x);
        return std::vector<int>{p, p + 1};
    };
    for (int y = 0; y < ny; ++y)
        for (int x = 0; x < nx; ++x) {
            if (x + 1 < nx)
                a.Couple(dofs(x, y), dofs(x + 1, y), {1.0, 0.0}, k());
            if (y + 1 < ny)
                a.Couple(dofs(x, y), dofs(x, y + 1), {0.0, 1.0}, k());
            if (x + 1 < nx && y + 1 < ny)  // c = s = 1/sqrt(2): k c c^T has entries k / 2
                a.Couple(dofs(x, y), dofs(x + 1, y + 1), {1.0, 1.0}, k() / 2);
        }
    return a;
}

template <class K>
Assembly FreeGrillage(int nx, int ny, K k) {
    Assembly a(3 * nx * ny);
    auto beam = [&](int p, int q, int slope, int twist) {
        const double e = k(), t = k() / 2;
        const int w1 = 3 * p, w2 = 3 * q, r1 = w1 + slope, r2 = w2 + slope;
        // EI / L^3 [12 6 -12 6; 6 4 -6 2; -12 -6 12 -6; 6 2 -6 4] on (w1, r1, w2, r2), L = 1.
        const int d[4] = {w1, r1, w2, r2};
        const double s[4][4] = {{12, 6, -12, 6}, {6, 4, -6, 2}, {-12, -6, 12, -6}, {6, 2, -6, 4}};
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j <= i; ++j)
                a.Add(d[i], d[j], e * s[i][j]);
        a.Couple({w1 + twist}, {w2 + twist}, {1.0}, t);
    };
    for (int y = 0; y < ny; ++y)
        for (int x = 0; x < nx; ++x) {
            const int p = y * nx + x;
            if (x + 1 < nx)
                beam(p, p + 1, 1, 2);
            if (y + 1 < ny)
                beam(p, p + nx, 2, 1);
        }
    return a;
}

// Why a kernel cannot run here, for the skip message.
inline std::string SkipReason(rvn::SkylineKernel k) {
    return std::string(rvn::SkylineKernelName(k)) +
           (k == rvn::SkylineKernel::Avx512
                ? ": the processor lacks AVX-512F or the operating system does not save the "
                  "512-bit registers"
                : ": not supported by this processor");
}

// Each kernel forced for the whole test; one the processor cannot run is skipped.
class ForcedKernel : public ::testing::TestWithParam<rvn::SkylineKernel> {
protected:
    void SetUp() override {
        if (!rvn::SetSkylineKernel(GetParam()))
            GTEST_SKIP() << SkipReason(GetParam());
    }
    void TearDown() override { rvn::SetSkylineKernel(rvn::SkylineKernel::Auto); }
};

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

// gtest parameter name of a kernel: its name with '-' made '_'.
inline std::string KernelParamName(const ::testing::TestParamInfo<rvn::SkylineKernel>& info) {
    std::string s = rvn::SkylineKernelName(info.param);
    std::replace(s.begin(), s.end(), '-', '_');
    return s;
}

}  // namespace skytest

#endif  // RVN_TESTS_SPARSE_SKYLINEREFERENCE_H
