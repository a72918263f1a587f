// Internal to the library (not installed): the factorisation and solution routines of one
// instruction set, and the dispatcher's entry points that CSparseMatrix calls.
//
// Every routine works on the raw skyline arrays: E the element buffer, D the diagonal
// addresses, n the number of leading rows taken part (n <= order). The stored factor format
// is the one documented in CSparseMatrix.h.
#ifndef RVN_SPARSE_DETAIL_SKYLINEOPS_H
#define RVN_SPARSE_DETAIL_SKYLINEOPS_H

#include <cstddef>
#include <cstring>

namespace rvn {
namespace skyline {

struct Ops {
    const char* name;
    // Bytes of scratch that Factor needs for the leading n rows of this profile: two windows
    // of (register-tile rows) x (band + a few tiles) and a ring of per-row data over the last
    // band rows, never anything n x n.
    std::size_t (*FactorScratch)(const int* D, int n);
    // Factorises rows 1 .. n-1 (n >= 2) in place. Returns -1 when every row is done, or the
    // first row f that reaches a zero pivot: rows before f hold their factors, rows from f on
    // are untouched (the caller then redoes row f the literal way, which fails there).
    int (*Factor)(double* E, const int* D, int n, void* scratch);
    // One right-hand side b[0 .. n-1], overwritten by the solution; 1 solved, 0 on a zero
    // pivot (d_0 before anything is touched, d_i in the forward step after b[i] was reduced).
    int (*Solve)(const double* E, const int* D, int n, double* b);
    // Columns col .. col + width - 1 of the right-hand sides rows[0 .. n-1][...], solved
    // together; every pivot is known to be non-zero. Returns the number of columns done
    // (a multiple of the vector width, possibly 0 when width is below it).
    int (*SolveColumns)(const double* E, const int* D, int n, double* const* rows, int col,
                        int width);
};

// The portable kernel (SSE2 on x86-64, scalar elsewhere): always present.
const Ops* BaselineOps();
// The AVX2 + FMA kernel, or nullptr when the library was built without it.
const Ops* Avx2FmaOps();

// Entry points of the dispatcher (SkylineDispatch.cpp), with the semantics of Decomposition
// and LdltSolve once the arguments are checked.
int FactorRows(double* E, const int* D, int n);                    // 1 done, 0 zero pivot
int SolveVector(const double* E, const int* D, int n, double* b);  // 1 solved, 0 zero pivot
// Solves columns 0 .. ncols-1 of rows[0 .. n-1][...]. Returns 1, 0 when d_0 = 0 (nothing
// touched) or -1 when a later pivot is zero (column 0 was carried as far as the literal
// forward step goes, the other columns are untouched).
int SolveMatrixRows(const double* E, const int* D, int n, double* const* rows, int ncols);

}  // namespace skyline
}  // namespace rvn

#endif  // RVN_SPARSE_DETAIL_SKYLINEOPS_H
