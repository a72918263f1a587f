// CMatrix shape-editing sequences decoded from bytes, with the arithmetic and measures in
// between, ToCDouble of the matrix at hand, and the complex PMatrix against a vector model. Only
// mtxkit::OutOfRange and mtxkit::MisMatch may come out; after every operation, thrown or not, the
// matrix keeps its shape invariant (as many rows as the row count, each as long as the column
// count), which every later access relies on.
//
// Sizes stay moderate: the growing operations (AddRow, InsertRow, Join, ...) are not limited by
// the library, so the target keeps each dimension below kMaxDim by skipping a growth that
// would pass it; indices and the counts of refusing operations are arbitrary ints.
//
// Then, from the same bytes, two oracles. At orders 1 to 7 with entries on a grid of halves,
// every product of the expansion is exact, so Det must equal this file's own permutation sum
// exactly, a singular matrix must be refused by Inverse, and Inverse must be the exact
// adjugate over the determinant to two roundings. At orders up to 64, on diagonally dominant
// (well-conditioned) matrices, Inverse * A and MatInv's result * A must be the identity to
// rounding, and Det must match an independent elimination (MatInv also with the rows scaled
// far apart); a matrix with a repeated row has a determinant of zero (to the expansion's
// rounding through order 16, exactly above), above order 16 no Inverse, and no MatInv at all.
#include <algorithm>
#include <climits>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "BaseCommon/BaseCommon.h"
#include "ByteReader.h"

namespace {

constexpr int kMaxDim = 24;
// Order limit of the oracles below.
constexpr int kMaxOracleOrder = 64;
// Orders through which Det and Inverse evaluate the cofactor expansion as written.
constexpr int kCofactorOrder = 16;
// Above this order Det, Inverse and CondNumber switch from the cofactor tables (2^n memory)
// to elimination; both sides of the switch are reached below kMaxDim.
constexpr int kMaxOps = 48;

// The row storage is protected; a pointer to the member, taken in a derived class, reads it
// on any CMatrix.
struct RowsOf : CMatrix {
    static constexpr auto kRows = &RowsOf::m_vecData;
};

void CheckShape(const CMatrix& m) {
    const std::vector<std::vector<double>>& rows = m.*RowsOf::kRows;
    FUZZ_CHECK(m.GetRow() >= 0 && m.GetCol() >= 0);
    FUZZ_CHECK(static_cast<int>(rows.size()) == m.GetRow());
    for (const std::vector<double>& row : rows)
        FUZZ_CHECK(static_cast<int>(row.size()) == m.GetCol());
}

bool Fits(long long rows, long long cols) {
    return rows >= 0 && cols >= 0 && rows <= kMaxDim && cols <= kMaxDim;
}

// InsertRow / InsertCol grow to at most max(n + count, pos + count), unbounded but for a
// target beyond INT_MAX, which they refuse. Let through what stays small and what is refused.
bool GrowthAllowed(int n, int pos, int count) {
    const long long target = static_cast<long long>(pos < n ? n : pos) + count;
    return target <= kMaxDim || target > INT_MAX;
}

void Fill(CMatrix& m, ByteReader& in) {
    for (int i = 0; i < m.GetRow(); ++i)
        for (int j = 0; j < m.GetCol(); ++j)
            m(i, j) = in.Real();
}

// Index arrays for GetBlock / DelBlock / BlockEqual: small counts, arbitrary entries.
std::vector<int> Indices(ByteReader& in, int count) {
    std::vector<int> v(static_cast<size_t>(count) + 1);
    for (int& x : v)
        x = in.Index();
    return v;
}

using Complex = std::complex<double>;
using ComplexRows = std::vector<std::vector<Complex>>;

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameBits(const Complex& a, const Complex& b) {
    return SameBits(a.real(), b.real()) && SameBits(a.imag(), b.imag());
}

void CheckPMatrix(const mtxkit::PMatrix<Complex>& p, const ComplexRows& model) {
    FUZZ_CHECK(p.GetRowSize() == static_cast<int>(model.size()));
    for (int i = 0; i < p.GetRowSize(); ++i) {
        const std::vector<Complex>& row = model[static_cast<size_t>(i)];
        FUZZ_CHECK(p.GetColSize() == static_cast<int>(row.size()));
        for (int j = 0; j < p.GetColSize(); ++j)
            FUZZ_CHECK(SameBits(p.GetValue(i, j), row[static_cast<size_t>(j)]));
    }
}

// Whether a size is refused (outside 0 ... 4096); sizes accepted but larger than kMaxDim are
// not asked for, so that no step allocates much.
bool SizeRefused(int n) {
    return n < 0 || n > mtxkit::kMaxMatrixSize;
}

bool SizeWanted(int n) {
    return SizeRefused(n) || n <= kMaxDim;
}

// ToCDouble gives (a(i, j), +0.0) in the same shape.
void CheckToCDouble(const CMatrix& m) {
    const mtxkit::PMatrix<Complex> c = m.ToCDouble();
    ComplexRows model(static_cast<size_t>(m.GetRow()));
    for (int i = 0; i < m.GetRow(); ++i)
        for (int j = 0; j < m.GetCol(); ++j)
            model[static_cast<size_t>(i)].push_back(Complex(m(i, j), 0.0));
    CheckPMatrix(c, model);
    FUZZ_CHECK(c.GetColSize() == m.GetCol());
}

// The complex companion matrix against a vector of rows: construction, SetValue, Resize,
// copies and moves, with indices and sizes anywhere; a refusal throws OutOfRange with the
// documented message and index pair and changes nothing; a moved-from matrix is 0 x 0.
void PMatrixSteps(ByteReader& in) {
    auto fill = [&in] { return Complex(in.Real(), in.Real()); };
    int r = in.Index(), c = in.Index();
    if (!SizeWanted(r) || !SizeWanted(c))
        return;
    const Complex f0 = fill();
    mtxkit::PMatrix<Complex> p;
    ComplexRows model;
    try {
        p = mtxkit::PMatrix<Complex>(r, c, f0);
        FUZZ_CHECK(!SizeRefused(r) && !SizeRefused(c));
        model.assign(static_cast<size_t>(r), std::vector<Complex>(static_cast<size_t>(c), f0));
    } catch (const mtxkit::OutOfRange& e) {
        FUZZ_CHECK(e.m_strMsg == "at Resize");
        FUZZ_CHECK(SizeRefused(r) ? e.m_nRow == r && e.m_nCol == -1
                                  : e.m_nRow == -1 && e.m_nCol == c);
    }
    CheckPMatrix(p, model);
    for (int k = 0; k < 8 && !in.Empty(); ++k) {
        switch (in.Byte() % 4) {
            case 0: {
                const int i = in.Index(), j = in.Index();
                const Complex v = fill();
                const bool inside = i >= 0 && i < p.GetRowSize() && j >= 0 && j < p.GetColSize();
                try {
                    p.SetValue(i, j, v);
                    FUZZ_CHECK(inside);
                    model[static_cast<size_t>(i)][static_cast<size_t>(j)] = v;
                } catch (const mtxkit::OutOfRange& e) {
                    FUZZ_CHECK(!inside && e.m_strMsg == "at SetValue");
                }
                break;
            }
            case 1: {
                r = in.Index();
                c = in.Index();
                if (!SizeWanted(r) || !SizeWanted(c))
                    break;
                const Complex v = fill();
                try {
                    p.Resize(r, c, v);
                    FUZZ_CHECK(!SizeRefused(r) && !SizeRefused(c));
                    model.assign(static_cast<size_t>(r),
                                 std::vector<Complex>(static_cast<size_t>(c), v));
                } catch (const mtxkit::OutOfRange& e) {
                    FUZZ_CHECK(e.m_strMsg == "at Resize" && (SizeRefused(r) || SizeRefused(c)));
                }
                break;
            }
            case 2: {
                mtxkit::PMatrix<Complex> copy(p);
                CheckPMatrix(copy, model);
                mtxkit::PMatrix<Complex> other;
                other = copy;
                const mtxkit::PMatrix<Complex>& self = copy;
                copy = self;  // self-assignment keeps it
                CheckPMatrix(copy, model);
                CheckPMatrix(other, model);
                break;
            }
            default: {
                mtxkit::PMatrix<Complex> moved(std::move(p));
                CheckPMatrix(moved, model);
                CheckPMatrix(p, ComplexRows());  // NOLINT: a moved-from matrix is 0 x 0
                p = std::move(moved);
                CheckPMatrix(moved, ComplexRows());  // NOLINT
                break;
            }
        }
        CheckPMatrix(p, model);
    }
}

void Step(CMatrix& a, CMatrix& b, ByteReader& in) {
    CMatrix& m = in.Byte() % 4 == 0 ? b : a;
    const CMatrix& other = &m == &a ? b : a;
    const uint8_t op = in.Byte();
    switch (op % 42) {
        case 0: {
            const int r = in.Index(), c = in.Index();
            if ((r > kMaxDim && r <= mtxkit::kMaxMatrixSize) ||
                (c > kMaxDim && c <= mtxkit::kMaxMatrixSize))
                break;
            m.Realloc(r, c);
            Fill(m, in);
            break;
        }
        case 1:
            m.SetValue(in.Index(), in.Index(), in.Real());
            break;
        case 2:
            if (Fits(m.GetRow() + 1, m.GetCol()))
                m.AddRow(in.Real());
            break;
        case 3:
            if (Fits(m.GetRow(), m.GetCol() + 1))
                m.AddCol(in.Real());
            break;
        case 4:
            m.DeleteRow(in.Index());
            break;
        case 5:
            m.DeleteCol(in.Index());
            break;
        case 6:
            if (Fits(m.GetRow() + 1, m.GetCol()))
                m.InsrtRow(in.Index(), in.Real());
            break;
        case 7:
            if (Fits(m.GetRow(), m.GetCol() + 1))
                m.InsrtCol(in.Index(), in.Real());
            break;
        case 8: {
            const int pos = in.Index(), count = in.Index();
            if (GrowthAllowed(m.GetRow(), pos, count))
                m.InsertRow(pos, count);
            break;
        }
        case 9: {
            const int pos = in.Index(), count = in.Index();
            if (GrowthAllowed(m.GetCol(), pos, count))
                m.InsertCol(pos, count);
            break;
        }
        case 10:
            m.DelRow(in.Index(), in.Index());
            break;
        case 11:
            m.DelCol(in.Index(), in.Index());
            break;
        case 12:
            m.GetPart(in.Index(), in.Index(), in.Index(), in.Index());
            break;
        case 13: {
            CMatrix& x = in.Byte() % 2 ? a : b;
            CMatrix& y = in.Byte() % 2 ? a : b;
            if (Fits(x.GetRow() + y.GetRow(), x.GetCol() + y.GetCol()))
                m.Join(x, y);
            break;
        }
        case 14:
        case 15: {
            const int nr = in.Range(0, 6), nc = in.Range(0, 6);
            std::vector<int> r = Indices(in, nr), c = Indices(in, nc);
            CMatrix& dst = in.Byte() % 2 ? m : b;
            if (op % 42 == 14)
                m.GetBlock(dst, nr, nc, r.data(), c.data());
            else
                m.DelBlock(dst, nr, nc, r.data(), c.data());
            break;
        }
        case 16: {
            const int n = in.Range(-1, 6);
            std::vector<int> idx = Indices(in, n < 0 ? 0 : n);
            CMatrix src(other);
            m.BlockEqual(src, n, idx.data());
            break;
        }
        case 17:
            m.SwapRow(in.Index(), in.Index());
            break;
        case 18:
            m.SwapCol(in.Index(), in.Index());
            break;
        case 19:
            m.Trans(in.Byte() % 2 ? m : other);
            break;
        case 20: {
            std::vector<double> v(static_cast<size_t>(in.Range(0, kMaxDim)));
            for (double& x : v)
                x = in.Real();
            if (in.Byte() % 2)
                m.SetRowVector(in.Index(), v);
            else
                m.SetColVector(in.Index(), v);
            break;
        }
        case 21: {
            const std::vector<double> v =
                in.Byte() % 2 ? m.GetRowVector(in.Index()) : m.GetColVector(in.Index());
            (void)v;
            break;
        }
        case 22:
            m = in.Byte() % 2 ? m.GetRow(in.Index()) : m.GetCol(in.Index());
            break;
        case 23:
            m = m.GetAij(in.Index(), in.Index());
            break;
        case 24:
            m.MatInv();
            break;
        case 25:
            m = m.Inverse();
            break;
        case 26:
            (void)m.Det();
            break;
        case 27:
            (void)m.Rank();
            break;
        case 28:
            (void)m.Radius();
            break;
        case 29:
            (void)m.CondNumber();
            break;
        case 30:
            (void)m.Trace();
            (void)m.Norm(in.Index());
            break;
        case 31:
            m.Unit(in.Index());
            m.Diag();
            break;
        case 32: {
            switch (in.Byte() % 4) {
                case 0:
                    m = m + other;
                    break;
                case 1:
                    m -= other;
                    break;
                case 2:
                    if (Fits(m.GetRow(), other.GetCol()))
                        m = m * other;
                    break;
                default:
                    m *= in.Real();
                    break;
            }
            break;
        }
        case 33: {
            // The power is a loop count (t - 1 products); keep it short, but let negative
            // powers through to their refusal.
            const int t = in.Index();
            if (t <= 16)
                m ^= t;
            break;
        }
        case 34: {
            const C3DVec v(in.Real(), in.Real(), in.Real());
            (void)(m * v);
            (void)(v * m);
            break;
        }
        case 35: {
            const C2DVec v(in.Real(), in.Real());
            (void)(m * v);
            (void)(v * m);
            break;
        }
        case 36:
            m = in.Real();
            break;
        case 37: {
            // Counts up to 4096 are accepted: keep the accepted ones small.
            const int r = in.Index(), c = in.Index();
            if ((r > kMaxDim && r <= mtxkit::kMaxMatrixSize) ||
                (c > kMaxDim && c <= mtxkit::kMaxMatrixSize))
                break;
            m.Resize(r, c, in.Real());
            break;
        }
        case 38:
            (void)(m == other);
            break;
        case 39:
            CheckToCDouble(m);
            break;
        case 40:
            PMatrixSteps(in);
            break;
        default:
            m = m.Turn();
            break;
    }
}

// ---- oracles -------------------------------------------------------------------------------

// Determinant of an integer matrix (entries doubled halves) by the permutation sum, exact in
// 64 bits for orders up to 7 with entries below 16 in magnitude.
long long PermutationDet(const std::vector<long long>& a, int n) {
    std::vector<int> p(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        p[static_cast<size_t>(i)] = i;
    long long det = 0;
    do {
        long long prod = 1;
        for (int i = 0; i < n; ++i)
            prod *= a[static_cast<size_t>(i * n + p[static_cast<size_t>(i)])];
        int inversions = 0;
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                inversions += p[static_cast<size_t>(i)] > p[static_cast<size_t>(j)];
        det += inversions % 2 ? -prod : prod;
    } while (std::next_permutation(p.begin(), p.end()));
    return det;
}

std::vector<long long> Minor(const std::vector<long long>& a, int n, int r, int c) {
    std::vector<long long> m;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (i != r && j != c)
                m.push_back(a[static_cast<size_t>(i * n + j)]);
    return m;
}

template <class F>
bool Refused(F&& f) {
    try {
        f();
    } catch (const mtxkit::MisMatch&) {
        return true;
    }
    return false;
}

void ExactOracle(ByteReader& in) {
    const int n = in.Range(1, 7);
    std::vector<long long> twice(static_cast<size_t>(n * n));
    CMatrix A(n, n);
    // Half the time a repeated row or a scaled one, so that singular matrices are common.
    const int copyFrom = in.Byte() % 2 ? in.Range(0, n - 1) : -1;
    const int copyTo = in.Range(0, n - 1);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            long long v = in.Range(-8, 7);
            if (i == copyTo && copyFrom >= 0 && copyFrom != copyTo)
                v = twice[static_cast<size_t>(copyFrom * n + j)] * (copyFrom % 2 ? -1 : 1);
            twice[static_cast<size_t>(i * n + j)] = v;
            A(i, j) = v * 0.5;
        }
    const long long det2n = PermutationDet(twice, n);  // det(2A) = 2^n det(A)
    const double det = std::ldexp(static_cast<double>(det2n), -n);
    FUZZ_CHECK(A.Det() == det);
    if (n == 1 || det2n == 0) {
        FUZZ_CHECK(Refused([&] { (void)A.Inverse(); }));
        return;
    }
    const CMatrix inv = A.Inverse();
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            // inv(j, i) = (-1)^(i+j) det(minor_ij) / det; the minors of 2A carry 2^(n-1).
            const long long m2 = PermutationDet(Minor(twice, n, i, j), n - 1);
            const double adj = std::ldexp(static_cast<double>((i + j) % 2 ? -m2 : m2), -(n - 1));
            const double want = adj / det;
            FUZZ_CHECK(std::fabs(inv(j, i) - want) <= 4.5e-16 * std::fabs(want));
        }
}

// Determinant by elimination with partial pivoting, written out here as the reference.
double EliminationDet(std::vector<double> a, int n) {
    double det = 1.0;
    for (int k = 0; k < n; ++k) {
        int p = k;
        for (int i = k + 1; i < n; ++i)
            if (std::fabs(a[static_cast<size_t>(i * n + k)]) >
                std::fabs(a[static_cast<size_t>(p * n + k)]))
                p = i;
        if (p != k) {
            for (int j = 0; j < n; ++j)
                std::swap(a[static_cast<size_t>(k * n + j)], a[static_cast<size_t>(p * n + j)]);
            det = -det;
        }
        const double piv = a[static_cast<size_t>(k * n + k)];
        det *= piv;
        for (int i = k + 1; i < n; ++i) {
            const double f = a[static_cast<size_t>(i * n + k)] / piv;
            for (int j = k; j < n; ++j)
                a[static_cast<size_t>(i * n + j)] -= f * a[static_cast<size_t>(k * n + j)];
        }
    }
    return det;
}

void CheckIdentity(const CMatrix& inv, const CMatrix& A, int n) {
    FUZZ_CHECK(inv.GetRow() == n && inv.GetCol() == n);
    const CMatrix P = inv * A;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            FUZZ_CHECK(std::fabs(P(i, j) - (i == j ? 1.0 : 0.0)) <= 1e-12 * n);
}

void DominantOracle(ByteReader& in) {
    const int n = in.Range(1, kMaxOracleOrder);
    // Scale any power of two: the checks are relative.
    const double scale = std::ldexp(1.0, in.Range(-8, 8));
    CMatrix A(n, n);
    std::vector<double> flat(static_cast<size_t>(n * n));
    for (int i = 0; i < n; ++i) {
        double off = 0.0;
        for (int j = 0; j < n; ++j) {
            if (j == i)
                continue;
            // Most entries small, so that dominance stays cheap.
            const double v = in.Byte() % 4 ? 0.0 : in.Range(-64, 63) / 64.0;
            A(i, j) = v * scale;
            off += std::fabs(v);
        }
        A(i, i) = (in.Byte() % 2 ? -1.0 : 1.0) * (off + 0.5 + in.Byte() / 64.0) * scale;
    }
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            flat[static_cast<size_t>(i * n + j)] = A(i, j);
    const double det = A.Det(), ref = EliminationDet(flat, n);
    // Inverse is refused when the determinant is exactly 0.0, also when a well-conditioned
    // matrix's determinant underflows: checked where the determinant is a normal number.
    if (std::isfinite(ref) && std::fabs(ref) > 1e-290) {
        // Both are products of n pivots, each within a few roundings.
        FUZZ_CHECK(std::fabs(det - ref) <= 1e-12 * n * std::fabs(ref));
        if (n >= 2) {
            CheckIdentity(A.Inverse(), A, n);
            CMatrix B(A);
            FUZZ_CHECK(B.MatInv() == 1);
            CheckIdentity(B, A, n);
            // Rows scaled by powers of two far apart: as regular as before, and MatInv, whose
            // singularity test is relative to each row, still inverts it. (Only the status:
            // the scaling changes the pivot order, and so the accuracy, of the elimination.)
            CMatrix G(A);
            for (int i = 0; i < n; ++i) {
                const double f = std::ldexp(1.0, in.Range(-40, 40));
                for (int j = 0; j < n; ++j)
                    G(i, j) *= f;
            }
            FUZZ_CHECK(G.MatInv() == 1);
        }
    }

    // A repeated row. Through order 16 the cofactor expansion is evaluated as written, so its
    // determinant is zero to the rounding of the expansion (Hadamard's bound, the product of
    // the row lengths, is its scale); above, the pivoted elimination counts pivots at rounding
    // level as zero: the determinant is exactly zero and there is no inverse. MatInv refuses
    // it at every order and leaves it as it was.
    if (n >= 2) {
        const int r = in.Range(0, n - 1), t = (r + 1 + in.Range(0, n - 2)) % n;
        CMatrix S(A);
        for (int j = 0; j < n; ++j)
            S(t, j) = S(r, j);
        CMatrix T(S);
        FUZZ_CHECK(T.MatInv() == 0);
        FUZZ_CHECK(T == S);
        if (n <= kCofactorOrder) {
            double hadamard = 1.0;
            for (int i = 0; i < n; ++i) {
                double row = 0.0;
                for (int j = 0; j < n; ++j)
                    row += S(i, j) * S(i, j);
                hadamard *= std::sqrt(row);
            }
            FUZZ_CHECK(std::fabs(S.Det()) <= 64.0 * n * 2.2e-16 * hadamard);
        } else {
            FUZZ_CHECK(S.Det() == 0.0);
            FUZZ_CHECK(Refused([&] { (void)S.Inverse(); }));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    CMatrix a(in.Range(0, 6), in.Range(0, 6));
    CMatrix b(in.Range(0, 6), in.Range(0, 6));
    Fill(a, in);
    Fill(b, in);
    for (int k = 0; k < kMaxOps && !in.Empty(); ++k) {
        try {
            Step(a, b, in);
        } catch (const mtxkit::OutOfRange& e) {
            FUZZ_CHECK(e.m_strMsg.compare(0, 3, "at ") == 0);
        } catch (const mtxkit::MisMatch& e) {
            FUZZ_CHECK(!e.m_strMsg.empty());
        }
        CheckShape(a);
        CheckShape(b);
    }

    ByteReader again(data, size);
    ExactOracle(again);
    DominantOracle(again);
    return 0;
}
