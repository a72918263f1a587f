// Kernel selection and the literal recurrence.
#include <atomic>
#include <cmath>
#include <cstddef>
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <cpuid.h>
#endif
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

// AVX-512F in the processor, and an operating system that saves the 512-bit state: XCR0 must
// enable the SSE, AVX, opmask, upper-256 and high-16 register states (bits 1, 2, 5, 6, 7),
// or the first instruction that touches a zmm register faults or loses data on a context
// switch. The compiler's own processor check is not relied on for the second part.
bool ProcessorHasAvx512() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    static const bool has = [] {
        if (skyline::Avx512Ops() == nullptr || !ProcessorHasAvx2Fma())
            return false;
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & (1u << 27)))  // OSXSAVE: XGETBV usable
            return false;
        if (!__get_cpuid_count(7, 0, &a, &b, &c, &d) || !(b & (1u << 16)))  // AVX512F
            return false;
        unsigned xcr0 = 0, xcr0High = 0;
        __asm__ volatile("xgetbv" : "=a"(xcr0), "=d"(xcr0High) : "c"(0));
        (void)xcr0High;
        return (xcr0 & 0xE6u) == 0xE6u;
    }();
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
        case SkylineKernel::Vec8Fma:
            break;
        case SkylineKernel::Avx2Fma:
            if (!ProcessorHasAvx2Fma())
                return false;
            break;
        case SkylineKernel::Avx512:
            if (!ProcessorHasAvx512())
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
    if (ProcessorHasAvx512())
        return SkylineKernel::Avx512;
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
        case SkylineKernel::Avx512:
            return "avx512f";
        case SkylineKernel::Vec8Fma:
            return "portable8-fma";
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
        case SkylineKernel::Avx512:
            return Avx512Ops();
        case SkylineKernel::Vec8Fma:
            return Vec8FmaOps();
        case SkylineKernel::Baseline:
            return BaselineOps();
        default:
            return nullptr;
    }
}

// Row i of the literal recurrence: for j = m_i + 1 .. i, K(i, j) -= sum over
// k = max(m_i, m_j) .. j-1 of K(i, k) K(j, k) / K(k, k), stopping at the first zero pivot.
// The pivot is then judged by the guard.
int LiteralRow(double* E, const int* D, int i, PivotGuard& guard) {
    const int mi = FirstCol(D, i);
    double* rowi = E + D[i] - i;
    for (int j = mi + 1; j < i; ++j) {  // the diagonal below, then its pivot judged
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
    const double a = rowi[i];
    double s = 0.0;
    for (int k = mi; k < i; ++k) {
        const double dk = E[D[k]];
        if (dk == 0.0)
            return 0;
        s += rowi[k] * rowi[k] / dk;
    }
    rowi[i] -= s;
    int verdict = ScreenPivot(guard, D, i, rowi[i], a);
    if (verdict == 2)
        verdict = PrecisePivot(guard, E, D, i, a);
    if (verdict == 1)
        rowi[i] = 0.0;
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

// Rows 1 .. n-1 (n >= 2); the failing row or -1.
int FactorAll(double* E, const int* D, int n, PivotGuard& guard) {
    const Ops* ops = Choose(D, n);
    int from = 1;
    if (ops) {
        // Without memory for the scratch the literal recurrence, which needs none, does it.
        Scratch scratch = AllocScratch(ops->FactorScratch(D, n));
        if (scratch) {
            const int failed = ops->Factor(E, D, n, scratch.get(), guard);
            if (failed < 0)
                return -1;
            from = failed;
        }
    }
    for (int i = from; i < n; ++i) {
        if (!LiteralRow(E, D, i, guard))
            return i;
        if (guard.hook)
            ReportProgress(guard, i + 1);
    }
    return -1;
}

const double kUnit = 0x1p-53;  // unit roundoff of double

}  // namespace

int ScreenPivot(PivotGuard& g, const int* D, int i, double d, double a) {
    int verdict = 0;
    const double ad = std::fabs(d), aa = std::fabs(a);
    if (d == 0.0) {
        verdict = 1;
    } else if (ad < kKeepRatio * aa) {  // a NaN pivot, which is not zero, is kept
        if (g.budget > 0.0)
            return 2;
        const int h = i == 0 ? 1 : D[i] - D[i - 1];
        verdict = ad <= (h + 2) * kUnit * (aa + std::fabs(a - d)) ? 1 : 0;
    }
    NotePivot(g, i, verdict ? 0.0 : d, a);
    return verdict;
}

int PrecisePivot(PivotGuard& g, const double* E, const int* D, int i, double a) {
    if (!g.zw)
        g.zw = new (std::nothrow) double[2 * static_cast<std::size_t>(g.n)]();
    if (!g.zw) {
        g.budget = 0.0;  // no memory for the sweep: the local bound decides
        return ScreenPivot(g, D, i, E[D[i]], a);
    }
    // z = L^-T e_i by columns of L^T (rows of the profile), from row i upwards; w gathers
    // |L^T| |z| on the way. Both are left zero for the next sweep.
    double* z = g.zw;
    double* w = g.zw + g.n;
    z[i] = 1.0;
    int lo = i, hmax = 1;
    double phi = 0.0, visited = 0.0;
    for (int q = i; q >= lo; --q) {
        const double zq = z[q];
        const double wq = w[q] + std::fabs(zq);
        z[q] = 0.0;
        w[q] = 0.0;
        phi += std::fabs(E[D[q]]) * wq * wq;
        if (zq == 0.0)
            continue;
        const int m = FirstCol(D, q);
        hmax = q - m + 1 > hmax ? q - m + 1 : hmax;
        lo = m < lo ? m : lo;
        const double* row = E + D[q] - q;
        for (int k = m; k < q; ++k) {
            const double dk = E[D[k]];
            if (dk == 0.0)
                continue;
            const double lz = row[k] / dk * zq;
            z[k] -= lz;
            w[k] += std::fabs(lz);
        }
        visited += q - m;
    }
    g.budget -= visited;
    const double d = E[D[i]];
    const int verdict = std::fabs(d) <= 2.0 * (hmax + 2) * kUnit * phi ? 1 : 0;
    NotePivot(g, i, verdict ? 0.0 : d, a);
    return verdict;
}

namespace {

// The multiply-adds of row i, about half its height squared; each row counts at least 1 so
// that a diagonal matrix reports as it goes.
inline double RowWork(const int* D, int i) {
    const double h = i == 0 ? 1.0 : D[i] - D[i - 1];
    return 0.5 * h * (h - 1.0) + 1.0;
}

}  // namespace

void ReportProgress(PivotGuard& g, int done) {
    for (; g.counted < done; ++g.counted)
        g.work += RowWork(g.D, g.counted);
    int percent = done >= g.n ? 100 : static_cast<int>(100.0 * g.work / g.total);
    if (percent > 99 && done < g.n)
        percent = 99;
    if (percent > g.percent) {
        g.percent = percent;
        g.hook(g.user, done, g.n);
    }
}

int FactorRows(double* E, const int* D, int n, CSparseMatrix::PivotInfo& info,
               CSparseMatrix::ProgressHook hook, void* user) {
    PivotGuard guard{n,   nullptr, 4.0 * (D[n - 1] + 1.0), -1, 0, -1, 1.0, hook, user, D, 0, 0,
                     0.0, 0.0};
    if (hook) {
        for (int i = 0; i < n; ++i)
            guard.total += RowWork(D, i);
    }
    NotePivot(guard, 0, E[0], E[0]);
    const int failRow = n >= 2 ? FactorAll(E, D, n, guard) : -1;
    if (hook && n < 2)
        ReportProgress(guard, n);
    delete[] guard.zw;
    info.m_nRows = n;
    info.m_bFailed = failRow >= 0 ? 1 : 0;
    info.m_nFailRow = failRow;
    info.m_nZeroRow = guard.zeroRow;
    info.m_nNegative = guard.negative;
    info.m_dMinRatio = guard.minRatio;
    info.m_nMinRatioRow = guard.minRatioRow;
    return failRow < 0 ? 1 : 0;
}

namespace {

// The reciprocals of the pivots and the one-vector scratch for the blocked solves: 2 n doubles
// and n + 1 ints in one allocation; empty when memory is short (the literal steps then solve).
// The reciprocals are formed here only for the many-column solve (fill): the one-vector solve
// forms them in its forward step.
class AuxMemory {
public:
    AuxMemory(const double* E, const int* D, int n, bool fill)
        : block_(new (std::nothrow) double[2 * static_cast<std::size_t>(n) + n / 2 + 1]) {
        if (!block_)
            return;
        double* rec = block_.get();
        int* slow = reinterpret_cast<int*>(rec + 2 * static_cast<std::size_t>(n));
        aux_.rec = rec;
        aux_.slow = slow;
        aux_.acc = rec + n;
        slow[0] = 0;
        for (int k = 0; fill && k < n; ++k) {
            const double r = 1.0 / E[D[k]];
            const bool finite = r - r == 0.0;
            rec[k] = finite ? r : 0.0;
            slow[k + 1] = slow[k] + (finite ? 0 : 1);
        }
    }
    explicit operator bool() const { return static_cast<bool>(block_); }
    const SolveAux& Aux() const { return aux_; }

private:
    std::unique_ptr<double[]> block_;
    SolveAux aux_{};
};

}  // namespace

int SolveVector(const double* E, const int* D, int n, double* b) {
    const Ops* ops = Choose(D, n);
    if (ops) {
        const AuxMemory aux(E, D, n, false);
        if (aux)
            return ops->Solve(E, D, n, b, aux.Aux());
    }
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
    const AuxMemory aux(E, D, ops && !zero ? n : 0, true);
    if (zero || !ops || !aux) {
        // Column by column as written; a zero pivot stops in the forward step of column 0.
        for (int c = 0; c < ncols; ++c) {
            if (!LiteralSolve(E, D, n, [rows, c](int i) -> double& { return rows[i][c]; }))
                return -1;
        }
        return 1;
    }
    // Every column gets the same bits whichever way it goes: the vector chunks, or the
    // one-vector kernel for the last few columns, narrower than a vector.
    int c = ops->SolveColumns(E, D, n, rows, 0, ncols, aux.Aux());
    if (c < ncols) {
        Scratch col = AllocScratch(sizeof(double) * static_cast<std::size_t>(n));
        for (; c < ncols; ++c) {
            if (!col) {
                // Without memory for the copy: the written steps, in place.
                LiteralSolve(E, D, n, [rows, c](int i) -> double& { return rows[i][c]; });
                continue;
            }
            for (int i = 0; i < n; ++i)
                col[i] = rows[i][c];
            ops->Solve(E, D, n, col.get(), aux.Aux());
            for (int i = 0; i < n; ++i)
                rows[i][c] = col[i];
        }
    }
    return 1;
}

}  // namespace skyline
}  // namespace rvn
