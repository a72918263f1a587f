// CSparseMatrix from arbitrary bytes: profiles (valid, and broken in every way a caller can
// break them), assembly through element access, arithmetic, copies, DeleteLastLine, products
// with a CMatrix, factorisation and solution (one and many right-hand sides) with each kernel.
// Nothing may throw, read or write outside the buffers, or leak; every refusal is a message, which
// the target swallows. After every operation the object holds a valid profile and a buffer of the
// profile's size.
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
    return 0;
}
