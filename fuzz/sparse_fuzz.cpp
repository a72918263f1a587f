// CSparseMatrix from arbitrary bytes: profiles (valid, and broken in every way a caller can
// break them), assembly through element access, arithmetic, copies, DeleteLastLine, products
// with a CMatrix, factorisation and solution (one and many right-hand sides) with each kernel.
// Nothing may throw, read or write outside the buffers, or leak; every refusal is a message, which
// the target swallows. After every operation the object holds a valid profile and a buffer of the
// profile's size.
//
// Then, from the same bytes, an oracle: a matrix of order up to kOracleOrder in a profile of any
// shape goes through every kernel and through this file's own literal recurrence. Each kernel
// must agree with it: the same status wherever the recurrence's smallest pivot is clearly away
// from rounding, factors within a rounding bound of the recurrence's, and on diagonally
// dominant matrices solutions whose residual is at rounding level.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "BaseCommon/BaseCommon.h"
#include "BaseCommon/sparse/SkylineKernel.h"
#include "ByteReader.h"

namespace {

constexpr int kMaxOrder = 40;
constexpr int kMaxOps = 64;

// Row heights: mostly valid (1 ... i + 1), sometimes anything.
std::vector<int> Profile(ByteReader& in, int n) {
    std::vector<int> d(static_cast<size_t>(n));
    long long addr = 0;
    for (int i = 0; i < n; ++i) {
        const uint8_t b = in.Byte();
        if (i == 0)
            addr = b < 250 ? 0 : in.Index();
        else if (b < 240)
            addr += 1 + b % (i + 1);
        else
            addr = in.Index();
        // A row after an address near INT_MAX wraps, as a caller's own arithmetic would.
        d[static_cast<size_t>(i)] = static_cast<int>(static_cast<uint32_t>(addr));
    }
    return d;
}

void CheckState(const CSparseMatrix& s) {
    FUZZ_CHECK(s.m_nRow >= 1 && s.m_pnDiag && s.m_pdElement);
    FUZZ_CHECK(s.m_pnDiag[0] == 0);
    for (int i = 1; i < s.m_nRow; ++i) {
        const int h = s.m_pnDiag[i] - s.m_pnDiag[i - 1];
        FUZZ_CHECK(h >= 1 && h <= i + 1);
    }
    FUZZ_CHECK(s.m_bBufEmpty == 0 || s.m_bBufEmpty == 1);
    FUZZ_CHECK(s.m_bDecomposed == 0 || s.m_bDecomposed == 1);
}

// A right-hand side as long as the order (the caller's part of the contract), with n taken
// from the input so that the refusals are reached too.
int Solve(CSparseMatrix& s, ByteReader& in) {
    const int n = in.Byte() % 8 == 0 ? in.Index() : s.GetRow();
    std::vector<double> b(static_cast<size_t>(s.GetRow()));
    for (double& x : b)
        x = in.Real();
    return s.LdltSolve(n, in.Byte() % 16 == 0 ? nullptr : b.data());
}

// Several right-hand sides at once: B with a row count near the order (too few is refused)
// and a few columns.
int SolveMany(CSparseMatrix& s, ByteReader& in) {
    const int n = in.Byte() % 8 == 0 ? in.Index() : s.GetRow();
    const int rows = s.GetRow() + in.Range(-2, 1);
    CMatrix B(rows < 0 ? 0 : rows, in.Range(0, 5));
    for (int i = 0; i < B.GetRow(); ++i)
        for (int j = 0; j < B.GetCol(); ++j)
            B(i, j) = in.Real();
    return s.LdltSolve(n, B);
}

void Product(const CSparseMatrix& s, ByteReader& in) {
    const int rows = s.GetRow() + in.Range(-1, 1);
    CMatrix B(rows < 0 ? 0 : rows, in.Range(0, 4));
    for (int i = 0; i < B.GetRow(); ++i)
        for (int j = 0; j < B.GetCol(); ++j)
            B(i, j) = in.Real();
    const CMatrix r = s * B;
    FUZZ_CHECK((r.GetRow() == B.GetRow() && r.GetCol() == B.GetCol()) ||
               (r.GetRow() == 0 && r.GetCol() == 0));
}

void Step(CSparseMatrix& a, CSparseMatrix& b, ByteReader& in) {
    CSparseMatrix& s = in.Byte() % 4 == 0 ? b : a;
    CSparseMatrix& other = &s == &a ? b : a;
    switch (in.Byte() % 18) {
        case 0: {
            const int n = in.Range(-1, kMaxOrder);
            std::vector<int> d = Profile(in, n < 1 ? 1 : n);
            s.Realloc(n, in.Byte() % 32 == 0 ? nullptr : d.data());
            break;
        }
        case 1:
            s.ElementBufEmpty();
            break;
        case 2:
            s.ElementBufRealloc();
            break;
        case 3:
        case 4:
        case 5: {
            // Assembly: a few element contributions, inside and outside the profile.
            const int k = in.Range(1, 8);
            for (int t = 0; t < k; ++t) {
                const int i = in.Byte() < 240 ? in.Range(0, s.GetRow() - 1) : in.Index();
                const int j = in.Byte() < 240 ? in.Range(0, s.GetRow() - 1) : in.Index();
                s(i, j) += in.Real();
            }
            break;
        }
        case 6: {
            // Diagonally dominant fill, so that the solver runs to its end as well.
            s = 0.0;
            for (int i = 0; i < s.GetRow(); ++i) {
                s(i, i) = 4.0 * s.GetRow() + in.Range(0, 3);
                if (i > 0)
                    s(i, i - 1) = -1.0;
            }
            break;
        }
        case 7:
            s = in.Real();
            break;
        case 8:
            s *= in.Real();
            break;
        case 9:
            s += other;
            break;
        case 10:
            s = other;
            break;
        case 11: {
            const CSparseMatrix copy(other);
            s = copy;
            break;
        }
        case 12:
            s.DeleteLastLine();
            break;
        case 13:
            s.Decomposition(in.Byte() % 8 == 0 ? in.Index() : s.GetRow());
            break;
        case 14:
            SolveMany(s, in);
            break;
        case 15:
            Product(s, in);
            break;
        default:
            Solve(s, in);
            break;
    }
}

const rvn::SkylineKernel kKernels[] = {rvn::SkylineKernel::Auto, rvn::SkylineKernel::Literal,
                                       rvn::SkylineKernel::Baseline, rvn::SkylineKernel::Avx2Fma};

// ---- oracle --------------------------------------------------------------------------------

constexpr int kOracleOrder = 300;
constexpr long long kOracleWork = 120000;

struct Skyline {
    int n;
    std::vector<int> D;
    int First(int i) const { return i == 0 ? 0 : i + 1 - (D[i] - D[i - 1]); }
    size_t At(int i, int j) const { return static_cast<size_t>(D[i] - (i - j)); }
};

// Row heights of one of several shapes: full, banded, tridiagonal, diagonal, random, arrow
// (every row reaches column 0) or a tall last row.
Skyline OracleProfile(ByteReader& in) {
    Skyline s;
    s.n = in.Range(1, kOracleOrder);
    s.D.resize(static_cast<size_t>(s.n));
    const int shape = in.Byte() % 7;
    const int band = in.Range(1, 24);
    long long work = 0;
    for (int i = 0; i < s.n; ++i) {
        int h;
        switch (shape) {
            case 0:
            case 5:
                h = i + 1;
                break;
            case 1:
                h = std::min(i + 1, band);
                break;
            case 2:
                h = std::min(i + 1, 2);
                break;
            case 3:
                h = 1;
                break;
            case 6:
                h = i == s.n - 1 ? i + 1 : std::min(i + 1, band);
                break;
            default:
                h = 1 + in.Byte() % (i + 1);
                break;
        }
        // The factorisation costs about the sum of the squared heights: the order stops where
        // that would pass kOracleWork, so full profiles stay near order 70 and narrow ones
        // reach kOracleOrder.
        work += static_cast<long long>(h) * h;
        if (work > kOracleWork && i > 0) {
            s.n = i;
            s.D.resize(static_cast<size_t>(i));
            break;
        }
        s.D[static_cast<size_t>(i)] = i == 0 ? 0 : s.D[static_cast<size_t>(i) - 1] + h;
    }
    return s;
}

// The recurrence as the factor format defines it, a division in every term, stopping where it
// would divide by a zero pivot. S receives, per stored element, |K_ij| plus the sum of the
// magnitudes of the terms subtracted from it: the scale of the element's rounding error.
int LiteralFactor(const Skyline& s, std::vector<double>& G, std::vector<double>& S) {
    S.assign(G.size(), 0.0);
    for (size_t k = 0; k < G.size(); ++k)
        S[k] = std::fabs(G[k]);
    for (int i = 1; i < s.n; ++i) {
        for (int j = s.First(i) + 1; j <= i; ++j) {
            double sum = 0.0, mag = 0.0;
            for (int k = std::max(s.First(i), s.First(j)); k < j; ++k) {
                const double d = G[s.At(k, k)];
                if (d == 0.0)
                    return 0;
                const double t = G[s.At(i, k)] * G[s.At(j, k)] / d;
                sum += t;
                mag += std::fabs(t);
            }
            G[s.At(i, j)] -= sum;
            S[s.At(i, j)] += mag;
        }
    }
    return 1;
}

// The smallest |d_i| / S_ii: how far the factorisation is from a pivot at rounding level.
double SmallestPivotRatio(const Skyline& s, const std::vector<double>& G,
                          const std::vector<double>& S) {
    double r = 1.0;
    for (int i = 0; i < s.n; ++i) {
        const double scale = S[s.At(i, i)];
        r = std::min(r, scale > 0.0 ? std::fabs(G[s.At(i, i)]) / scale : 0.0);
    }
    return r;
}

// K x for the full symmetric matrix stored in E, and the magnitudes |K| |x| + |b| per row.
void Residual(const Skyline& s, const std::vector<double>& E, const std::vector<double>& x,
              const std::vector<double>& b, std::vector<double>& r, std::vector<double>& scale) {
    r.assign(static_cast<size_t>(s.n), 0.0);
    scale.assign(static_cast<size_t>(s.n), 0.0);
    for (int i = 0; i < s.n; ++i) {
        for (int j = s.First(i); j <= i; ++j) {
            const double k = E[s.At(i, j)];
            r[static_cast<size_t>(i)] += k * x[static_cast<size_t>(j)];
            scale[static_cast<size_t>(i)] += std::fabs(k * x[static_cast<size_t>(j)]);
            if (j != i) {
                r[static_cast<size_t>(j)] += k * x[static_cast<size_t>(i)];
                scale[static_cast<size_t>(j)] += std::fabs(k * x[static_cast<size_t>(i)]);
            }
        }
    }
    for (int i = 0; i < s.n; ++i) {
        r[static_cast<size_t>(i)] -= b[static_cast<size_t>(i)];
        scale[static_cast<size_t>(i)] += std::fabs(b[static_cast<size_t>(i)]);
    }
}

void Oracle(ByteReader& in) {
    const Skyline s = OracleProfile(in);
    const size_t count = static_cast<size_t>(s.D[static_cast<size_t>(s.n) - 1]) + 1;
    // Diagonally dominant (positive definite, well conditioned) or values of a coarse grid,
    // which make singular and nearly singular matrices common.
    const bool dominant = in.Byte() % 2 == 0;
    std::vector<double> E(count, 0.0);
    for (int i = 0; i < s.n; ++i)
        for (int j = s.First(i); j < i; ++j)
            E[s.At(i, j)] = in.Range(-16, 15) * (dominant ? 0.25 : 0.5);
    if (dominant) {
        std::vector<double> rowSum(static_cast<size_t>(s.n), 0.0);
        for (int i = 0; i < s.n; ++i)
            for (int j = s.First(i); j < i; ++j) {
                rowSum[static_cast<size_t>(i)] += std::fabs(E[s.At(i, j)]);
                rowSum[static_cast<size_t>(j)] += std::fabs(E[s.At(i, j)]);
            }
        for (int i = 0; i < s.n; ++i)
            E[s.At(i, i)] = rowSum[static_cast<size_t>(i)] + 1.0 + in.Byte() % 8;
    } else {
        for (int i = 0; i < s.n; ++i)
            E[s.At(i, i)] = in.Range(-16, 15) * 0.5;
    }
    std::vector<double> b(static_cast<size_t>(s.n));
    for (double& v : b)
        v = in.Range(-16, 15) * 0.5;

    std::vector<double> G = E, S;
    const int refStatus = LiteralFactor(s, G, S);
    const double ratio = refStatus ? SmallestPivotRatio(s, G, S) : 0.0;
    // A pivot below about 1e-8 of its scale may be rounding noise that one kernel reaches as
    // an exact zero and another does not; above it every kernel must factorise.
    const bool clear = refStatus == 1 && ratio > 1e-8;

    // Auto is one of the others, by size.
    for (const rvn::SkylineKernel k :
         {rvn::SkylineKernel::Literal, rvn::SkylineKernel::Baseline, rvn::SkylineKernel::Avx2Fma}) {
        if (!rvn::SetSkylineKernel(k))
            continue;
        CSparseMatrix m(s.n, s.D.data());
        m = 0.0;
        std::copy(E.begin(), E.end(), m.m_pdElement);
        const int status = m.Decomposition(s.n);
        if (clear)
            FUZZ_CHECK(status == 1);
        if (status == 1 && clear) {
            // Each element's error grows with the terms subtracted from it (S), and an earlier
            // pivot's error is amplified about 1 / ratio on its way.
            const double tol = 64.0 * s.n * 2.2e-16 / ratio;
            for (size_t e = 0; e < count; ++e)
                FUZZ_CHECK(std::fabs(m.m_pdElement[e] - G[e]) <= tol * S[e]);
        }
        if (!dominant)
            continue;
        // Solved for one and for several right-hand sides with the factors just made.
        FUZZ_CHECK(status == 1);
        std::vector<double> x = b;
        FUZZ_CHECK(m.LdltSolve(s.n, x.data()) == 1);
        std::vector<double> r, scale;
        Residual(s, E, x, b, r, scale);
        for (int i = 0; i < s.n; ++i)
            FUZZ_CHECK(std::fabs(r[static_cast<size_t>(i)]) <=
                       64.0 * s.n * 2.2e-16 * scale[static_cast<size_t>(i)]);
        CMatrix B(s.n, 3);
        for (int i = 0; i < s.n; ++i)
            for (int c = 0; c < 3; ++c)
                B(i, c) = c == 1 ? b[static_cast<size_t>(i)] : (i + c) % 5 - 2.0;
        FUZZ_CHECK(m.LdltSolve(s.n, B) == 1);
        // The factors are reused: column 1 is b again and must give x to rounding.
        for (int i = 0; i < s.n; ++i)
            FUZZ_CHECK(std::fabs(B(i, 1) - x[static_cast<size_t>(i)]) <=
                       1e-12 * (1.0 + std::fabs(x[static_cast<size_t>(i)])));
    }
    rvn::SetSkylineKernel(rvn::SkylineKernel::Auto);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const MessageBoxHandler quiet = [](const char*, UINT, UINT) { return IDOK; };
    static const bool installed = (SetMessageBoxHandler(quiet), true);
    (void)installed;

    ByteReader in(data, size);
    // Avx2Fma is refused on a processor without it; the setting then stays as it was.
    rvn::SetSkylineKernel(kKernels[in.Byte() % 4]);
    const int n = in.Range(0, kMaxOrder);
    const std::vector<int> d = Profile(in, n < 1 ? 1 : n);
    CSparseMatrix a(n, d.data());
    CSparseMatrix b;
    if (in.Byte() % 2)
        b = a;
    for (int k = 0; k < kMaxOps && !in.Empty(); ++k) {
        Step(a, b, in);
        CheckState(a);
        CheckState(b);
    }
    rvn::SetSkylineKernel(rvn::SkylineKernel::Auto);

    ByteReader again(data, size);
    Oracle(again);
    return 0;
}
