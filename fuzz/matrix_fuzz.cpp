// CMatrix shape-editing sequences decoded from bytes, with the arithmetic and measures in
// between. Only mtxkit::OutOfRange and mtxkit::MisMatch may come out; after every operation,
// thrown or not, the matrix keeps its shape invariant (as many rows as the row count, each
// as long as the column count), which every later access relies on.
//
// Sizes stay small: the growing operations (AddRow, InsertRow, Join, ...) are not limited by
// the library, so the target keeps each dimension below kMaxDim by skipping a growth that
// would pass it; indices and the counts of refusing operations are arbitrary ints.
#include <climits>
#include <cstdint>
#include <vector>

#include "BaseCommon/BaseCommon.h"
#include "ByteReader.h"

namespace {

constexpr int kMaxDim = 24;
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

void Step(CMatrix& a, CMatrix& b, ByteReader& in) {
    CMatrix& m = in.Byte() % 4 == 0 ? b : a;
    const CMatrix& other = &m == &a ? b : a;
    const uint8_t op = in.Byte();
    switch (op % 40) {
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
        case 14: {
            const int nr = in.Range(0, 6), nc = in.Range(0, 6);
            std::vector<int> r = Indices(in, nr), c = Indices(in, nc);
            CMatrix& dst = in.Byte() % 2 ? m : b;
            m.GetBlock(dst, nr, nc, r.data(), c.data());
            break;
        }
        case 15: {
            const int nr = in.Range(0, 6), nc = in.Range(0, 6);
            std::vector<int> r = Indices(in, nr), c = Indices(in, nc);
            CMatrix& dst = in.Byte() % 2 ? m : b;
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
        default:
            m = m.Turn();
            break;
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
    return 0;
}
