// Internal to the library (not installed): the factorisation and solution routines of one
// instruction set, and the dispatcher's entry points that CSparseMatrix calls.
//
// Every routine works on the raw skyline arrays: E the element buffer, D the diagonal
// addresses, n the number of leading rows taken part (n <= order). The stored factor format
// is the one documented in CSparseMatrix.h.
#ifndef RVN_SPARSE_DETAIL_SKYLINEOPS_H
#define RVN_SPARSE_DETAIL_SKYLINEOPS_H

#include <cmath>
#include <cstddef>
#include <cstring>

#include "BaseCommon/sparse/CSparseMatrix.h"

namespace rvn {
namespace skyline {

// The vanishing-pivot rule, one implementation for every kernel (SkylineDispatch.cpp), so
// that kernels with equal factors take equal decisions. A pivot d_i has vanished when it is
// exactly 0.0, or when both
//   |d_i| < kKeepRatio |a_ii|   (a_ii the assembled diagonal: fewer than 8 digits are left),
//   |d_i| <= 2 (H + 2) u phi_i, phi_i = sum_{m <= i} |d_m| w_m^2, z = L^-T e_i, w = |L^T| |z|
// hold (u = 2^-53, H the tallest row that z reaches). z is the vector with K z = d_i e_i on
// rows 0 .. i (for a mechanism, its motion), and phi_i bounds z^T dK z for the backward error
// |dK| <= gamma (|K| + |L||D||L^T|) <= 2 gamma |L||D||L^T| of the factorisation: the change
// that rounding can make in d_i, rounding accumulated over every earlier row included (a long
// chain of equal springs drifts by about one rounding per row). The first condition keeps
// every pivot that carries information whatever the rounding analysis says.
// The second costs a sweep over the rows the pivot depends on; these sweeps may visit four
// times the stored elements in all, after which |d_i| <= (h_i + 2) u (|a_ii| + |a_ii - d_i|),
// the rounding of the row's own sums, decides alone.
struct PivotGuard {
    int n;          // rows of the factorisation
    double* zw;     // 2 n doubles for the sweeps (z, then w), allocated at the first one
    double budget;  // stored elements the sweeps may still visit
    // What the judged pivots showed (CSparseMatrix::PivotInfo).
    int zeroRow, negative, minRatioRow;
    double minRatio;
    // Progress report (CSparseMatrix::SetProgressHook); nothing at all when hook is null.
    CSparseMatrix::ProgressHook hook;
    void* user;
    const int* D;
    int counted;   // rows whose work is in `work`
    int percent;   // the last whole percent reported
    double work;   // work of rows 0 .. counted-1
    double total;  // work of all n rows
};

const double kKeepRatio = 1e-8;

// Judges pivot d of row i, a its assembled diagonal. Returns 0 kept, 1 vanished, 2 when the
// sweep must decide (PrecisePivot, with rows 0 .. i final in E). A pivot kept or vanished is
// entered in the guard's record.
int ScreenPivot(PivotGuard& g, const int* D, int i, double d, double a);

// Enters the final pivot d of row i (a its assembled diagonal) in the guard's record.
inline void NotePivot(PivotGuard& g, int i, double d, double a) {
    if (d == 0.0 && g.zeroRow < 0)
        g.zeroRow = i;
    if (d < 0.0)
        ++g.negative;
    const double r = d == 0.0 ? 0.0 : a == 0.0 ? HUGE_VAL : std::fabs(d) / std::fabs(a);
    if (g.minRatioRow < 0 || r < g.minRatio) {
        g.minRatio = r;
        g.minRatioRow = i;
    }
}

// True when the pivots d[0], d[step], ... of rows i0 .. i0+count-1 leave nothing to judge or
// record: each positive, keeping kKeepRatio of its diagonal, and above the smallest ratio so
// far (r < minRatio needs |d| <= minRatio |a| even after rounding, rounding being monotone).
// A NaN pivot fails every comparison and goes the long way.
inline bool PlainPivots(const PivotGuard& g, const double* d, long step, const double* E,
                        const int* D, long i0, int count) {
    if (g.minRatioRow < 0)
        return false;
    bool plain = true;
    for (int r = 0; r < count; ++r) {
        const double di = d[r * step], aa = std::fabs(E[D[i0 + r]]);
        plain &= di > 0.0 && !(di < kKeepRatio * aa) && di > g.minRatio * aa;
    }
    return plain;
}

// ScreenPivot with its common case in line, for the kernels' row-by-row judgement: a pivot
// that kept kKeepRatio of its diagonal (a NaN one included) is kept without a call.
inline int JudgePivot(PivotGuard& g, const int* D, int i, double d, double a) {
    if (d != 0.0 && !(std::fabs(d) < kKeepRatio * std::fabs(a))) {
        NotePivot(g, i, d, a);
        return 0;
    }
    return ScreenPivot(g, D, i, d, a);
}
// The sweep on rows 0 .. i of E; 1 vanished.
int PrecisePivot(PivotGuard& g, const double* E, const int* D, int i, double a);
// Rows 0 .. done-1 are final: calls the hook when they have done another whole percent of
// the work (or all of it). Callers test g.hook first, so that no hook costs no call.
void ReportProgress(PivotGuard& g, int done);

// What the solves of the blocked kernels need besides the factors, allocated once per solve by
// the dispatcher (SolveVector, SolveMatrixRows). The dispatcher fills rec and slow for
// SolveColumns; Solve fills them itself in its forward step.
struct SolveAux {
    double* rec;  // rec[k] = 1 / d_k, or 0 where that is not finite (then divide by d_k)
    int* slow;    // n + 1 entries: slow[k] = rows before k whose reciprocal is not finite
    double* acc;  // n doubles of scratch for the one-vector backward step
};

struct Ops {
    const char* name;
    // Bytes of scratch that Factor needs for the leading n rows of this profile: two windows
    // of (register-tile rows) x (band + a few tiles) and a ring of per-row data over the last
    // band rows, never anything n x n.
    std::size_t (*FactorScratch)(const int* D, int n);
    // Factorises rows 1 .. n-1 (n >= 2) in place, judging every pivot by the guard (a
    // vanished pivot is stored as 0.0). Returns -1 when every row is done, or the first row f
    // that reaches a vanished pivot: rows before f hold their factors, rows from f on are
    // untouched (the caller then redoes row f the literal way, which fails there).
    int (*Factor)(double* E, const int* D, int n, void* scratch, PivotGuard& guard);
    // One right-hand side b[0 .. n-1], overwritten by the solution; 1 solved, 0 on a zero
    // pivot (d_0 before anything is touched, d_i in the forward step after b[i] was reduced).
    // Forms aux.rec and aux.slow on the way (the values the dispatcher forms).
    int (*Solve)(const double* E, const int* D, int n, double* b, const SolveAux& aux);
    // Columns col .. col + width - 1 of the right-hand sides rows[0 .. n-1][...], solved
    // together; every pivot is known to be non-zero. Returns the number of columns done
    // (a multiple of the vector width, possibly 0 when width is below it).
    int (*SolveColumns)(const double* E, const int* D, int n, double* const* rows, int col,
                        int width, const SolveAux& aux);
};

// The portable kernel (SSE2 on x86-64, scalar elsewhere): always present.
const Ops* BaselineOps();
// The AVX2 + FMA kernel, or nullptr when the library was built without it.
const Ops* Avx2FmaOps();
// The 8-lane kernel: over AVX-512F (nullptr when the library was built without it), and the
// same body over a portable 8-lane vector type with a fused multiply-add per lane.
const Ops* Avx512Ops();
const Ops* Vec8FmaOps();

// Entry points of the dispatcher (SkylineDispatch.cpp), with the semantics of Decomposition
// and LdltSolve once the arguments are checked.
// Factorises rows 0 .. n-1 (n >= 1): 1 done, 0 a row reached a vanished pivot. info receives
// what the pivots showed (CSparseMatrix::PivotInfo).
// hook (may be null) and user: the progress report of CSparseMatrix::SetProgressHook.
int FactorRows(double* E, const int* D, int n, CSparseMatrix::PivotInfo& info,
               CSparseMatrix::ProgressHook hook, void* user);
int SolveVector(const double* E, const int* D, int n, double* b);  // 1 solved, 0 zero pivot
// Solves columns 0 .. ncols-1 of rows[0 .. n-1][...]. Returns 1, 0 when d_0 = 0 (nothing
// touched) or -1 when a later pivot is zero (column 0 was carried as far as the literal
// forward step goes, the other columns are untouched).
int SolveMatrixRows(const double* E, const int* D, int n, double* const* rows, int ncols);

}  // namespace skyline
}  // namespace rvn

#endif  // RVN_SPARSE_DETAIL_SKYLINEOPS_H
