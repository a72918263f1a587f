// Kernel selection and the literal recurrence.
#include <atomic>
#include <cstddef>
#include <memory>
#include <new>

#include "BaseCommon/sparse/SkylineKernel.h"
#include "BaseCommon/sparse/detail/SkylineOps.h"

namespace rvn {

namespace {

std::atomic<int>& Setting() {
    static std::atomic<int> setting{static_cast<int>(SkylineKernel::Auto)};
    return setting;
}

bool ProcessorHasAvx2Fma() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    // The processor check of the compiler's runtime also requires the operating system to save
    // the 256-bit registers (XCR0), so a kernel chosen here cannot fault.
    static const bool has = skyline::Avx2FmaOps() != nullptr && __builtin_cpu_supports("avx2") &&
                            __builtin_cpu_supports("fma");
    return has;
#else
    return false;
#endif
}

}  // namespace

bool SetSkylineKernel(SkylineKernel kernel) {
    switch (kernel) {
        case SkylineKernel::Auto:
        case SkylineKernel::Literal:
        case SkylineKernel::Baseline:
            break;
        case SkylineKernel::Avx2Fma:
            if (!ProcessorHasAvx2Fma())
                return false;
            break;
        default:
            return false;
    }
    Setting().store(static_cast<int>(kernel));
    return true;
}

SkylineKernel GetSkylineKernel() {
    return static_cast<SkylineKernel>(Setting().load());
}

SkylineKernel BestSkylineKernel() {
    return ProcessorHasAvx2Fma() ? SkylineKernel::Avx2Fma : SkylineKernel::Baseline;
}

const char* SkylineKernelName(SkylineKernel kernel) {
    switch (kernel) {
        case SkylineKernel::Auto:
            return "auto";
        case SkylineKernel::Literal:
            return "literal";
        case SkylineKernel::Baseline:
            return skyline::BaselineOps()->name;
        case SkylineKernel::Avx2Fma:
            return "avx2-fma";
    }
    return "unknown";
}

namespace skyline {

namespace {

inline int FirstCol(const int* D, int i) {
    return i == 0 ? 0 : i + 1 - (D[i] - D[i - 1]);
}

// The blocked kernel for this call, or nullptr for the literal recurrence.
const Ops* Choose(const int* D, int n) {
    SkylineKernel k = GetSkylineKernel();
    if (k == SkylineKernel::Auto) {
        if (D[n - 1] + 1 <= kSkylineLiteralElements)
            return nullptr;
        k = BestSkylineKernel();
    }
    switch (k) {
        case SkylineKernel::Avx2Fma:
            return Avx2FmaOps();
        case SkylineKernel::Baseline:
            return BaselineOps();
        default:
            return nullptr;
    }
}

// Row i of the literal recurrence: for j = m_i + 1 .. i, K(i, j) -= sum over
// k = max(m_i, m_j) .. j-1 of K(i, k) K(j, k) / K(k, k), stopping at the first zero pivot.
int LiteralRow(double* E, const int* D, int i) {
    const int mi = FirstCol(D, i);
    double* rowi = E + D[i] - i;
    for (int j = mi + 1; j <= i; ++j) {
        const int mj = FirstCol(D, j);
        const double* rowj = E + D[j] - j;
        double s = 0.0;
        for (int k = mi > mj ? mi : mj; k < j; ++k) {
            const double dk = E[D[k]];
            if (dk == 0.0)
                return 0;
            s += rowi[k] * rowj[k] / dk;
        }
        rowi[j] -= s;
    }
    return 1;
}

// The literal solution steps on a right-hand side reached through at(i).
template <class At>
int LiteralSolve(const double* E, const int* D, int n, At at) {
    if (E[0] == 0.0)
        return 0;
    at(0) = at(0) / E[0];
    for (int i = 1; i < n; ++i) {
        const double* row = E + D[i] - i;
        double s = 0.0;
        for (int k = FirstCol(D, i); k < i; ++k)
            s += row[k] * at(k);
        at(i) = at(i) - s;
        if (E[D[i]] == 0.0)
            return 0;
        at(i) = at(i) / E[D[i]];
    }
    int last = n - 1;
    for (int i = n - 2; i >= 0; --i) {
        while (last > i && FirstCol(D, last) > i)
            --last;
        const double di = E[D[i]];
        double s = 0.0;
        for (int r = i + 1; r <= last; ++r) {
            if (FirstCol(D, r) <= i)
                s += E[D[r] - (r - i)] * at(r) / di;
        }
        at(i) = at(i) - s;
    }
    return 1;
}

struct FreeAligned {
    void operator()(double* p) const { operator delete[](p, std::align_val_t(64)); }
};
using Scratch = std::unique_ptr<double[], FreeAligned>;

// At least `bytes` of scratch, aligned for the widest vector; null when memory is short.
Scratch AllocScratch(std::size_t bytes) {
    return Scratch(static_cast<double*>(operator new[](bytes ? bytes : 1, std::align_val_t(64),
                                                       std::nothrow)));
}

}  // namespace

int FactorRows(double* E, const int* D, int n) {
    const Ops* ops = Choose(D, n);
    int from = 1;
    if (ops) {
        // Without memory for the scratch the literal recurrence, which needs none, does it.
        Scratch scratch = AllocScratch(ops->FactorScratch(D, n));
        if (scratch) {
            const int failed = ops->Factor(E, D, n, scratch.get());
            if (failed < 0)
                return 1;
            from = failed;
        }
    }
    for (int i = from; i < n; ++i) {
        if (!LiteralRow(E, D, i))
            return 0;
    }
    return 1;
}

int SolveVector(const double* E, const int* D, int n, double* b) {
    const Ops* ops = Choose(D, n);
    if (ops)
        return ops->Solve(E, D, n, b);
    return LiteralSolve(E, D, n, [b](int i) -> double& { return b[i]; });
}

int SolveMatrixRows(const double* E, const int* D, int n, double* const* rows, int ncols) {
    if (E[0] == 0.0)
        return 0;
    int zero = 0;
    for (int i = 1; i < n && !zero; ++i) {
        if (E[D[i]] == 0.0)
            zero = i;
    }
    const Ops* ops = Choose(D, n);
    if (zero || !ops) {
        // Column by column as written; a zero pivot stops in the forward step of column 0.
        for (int c = 0; c < ncols; ++c) {
            if (!LiteralSolve(E, D, n, [rows, c](int i) -> double& { return rows[i][c]; }))
                return -1;
        }
        return 1;
    }
    int c = ops->SolveColumns(E, D, n, rows, 0, ncols);
    if (c < ncols) {
        // The last few columns, narrower than a vector: each through the one-vector kernel.
        Scratch col = AllocScratch(sizeof(double) * static_cast<std::size_t>(n));
        for (; c < ncols; ++c) {
            if (!col) {
                LiteralSolve(E, D, n, [rows, c](int i) -> double& { return rows[i][c]; });
                continue;
            }
            for (int i = 0; i < n; ++i)
                col[i] = rows[i][c];
            ops->Solve(E, D, n, col.get());
            for (int i = 0; i < n; ++i)
                rows[i][c] = col[i];
        }
    }
    return 1;
}

}  // namespace skyline
}  // namespace rvn
