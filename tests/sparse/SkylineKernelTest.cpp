// The blocked kernels on profiles shaped around their register tiles and cache blocks, and the
// bit-for-bit agreement of the kernels that fuse multiply and add.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "BaseCommon/matrix/CMatrix.h"
#include "BaseCommon/sparse/CSparseMatrix.h"
#include "BaseCommon/sparse/SkylineKernel.h"
#include "sparse/SkylineReference.h"

using namespace skytest;

namespace {

// Every row holds min(i, band) entries left of the diagonal.
std::vector<int> BandProfile(int n, int band) {
    std::vector<int> D(n);
    for (int i = 0; i < n; ++i)
        D[i] = i == 0 ? 0 : D[i - 1] + std::min(i, band) + 1;
    return D;
}

// Bands on both sides of the 4-, 8-, 12- and 24-row tiles and of the 8-column panels, one that
// spans several strips, both sides of the widest band factorised a strip at a time (224), and
// one wider than a cache block of 256 columns.
const int kBands[] = {0, 1, 7, 8, 9, 23, 24, 25, 100, 224, 225, 300};

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), sizeof(double) * a.size()) == 0;
}

class BlockedKernels : public ::testing::TestWithParam<rvn::SkylineKernel> {
protected:
    void SetUp() override {
        if (!rvn::SetSkylineKernel(GetParam()))
            GTEST_SKIP() << SkipReason(GetParam());
    }
    void TearDown() override { rvn::SetSkylineKernel(rvn::SkylineKernel::Auto); }
};

}  // namespace

// Per band: exact L D L^T data come back to the bit, a random positive definite matrix gives the
// literal recurrence's factors to rounding and solutions that satisfy the system, and a zero
// pivot in the middle leaves exactly what the literal recurrence leaves.
TEST_P(BlockedKernels, BandsAroundTheTileEdgesAndBeyondACacheBlock) {
    std::mt19937 rng(11);
    for (int band : kBands) {
        for (int n : {band + 1, 2 * band + 3, band + 61}) {
            const std::vector<int> D = BandProfile(n, band);
            CSparseMatrix m(n, D.data());
            const std::vector<double> G = FillLdlt(m, D, rng, true);
            ASSERT_EQ(m.Decomposition(n), 1);
            ASSERT_EQ(Elements(m), G) << "band " << band << " n " << n;

            m.ElementBufEmpty();
            FillLdlt(m, D, rng, false);
            const CSparseMatrix k(m);
            std::vector<double> ref = Elements(m);
            ASSERT_EQ(LiteralFactor(ref, D, n), 1);
            CMatrix B(n, 3);
            for (int i = 0; i < n; ++i)
                for (int c = 0; c < 3; ++c)
                    B(i, c) = std::sin(1.0 + i + 7 * c);
            const CMatrix B0(B);
            ASSERT_EQ(m.LdltSolve(n, B), 1);
            const std::vector<double> got = Elements(m);
            for (size_t e = 0; e < ref.size(); ++e)
                ASSERT_LE(std::fabs(got[e] - ref[e]), 1e-13 * std::max(std::fabs(ref[e]), 1.0))
                    << "band " << band << " n " << n << " element " << e;
            const CMatrix KX = k * B;
            for (int i = 0; i < n; ++i)
                for (int c = 0; c < 3; ++c)
                    ASSERT_NEAR(KX(i, c), B0(i, c), 1e-12) << "band " << band << " n " << n;

            const int z = n / 2;
            m.ElementBufEmpty();
            FillLdlt(m, D, rng, true, z);
            ref = Elements(m);
            const int refOk = LiteralFactor(ref, D, n);
            EXPECT_EQ(m.Decomposition(n), refOk);
            EXPECT_EQ(Elements(m), ref) << "zero pivot at " << z << ", band " << band;
        }
    }
}

// The pivot record read back from the factor: indefinite matrices whose pivots span six
// decades and change sign at a few random rows, so that the negative count and the smallest ratio
// |d_i| / |a_ii| (its first row on a tie) move anywhere in a strip or block.
TEST_P(BlockedKernels, PivotRecordAgreesWithTheFactor) {
    std::mt19937 rng(23);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int band : {1, 50, 224, 225, 300}) {
        const int n = band + 150;
        const std::vector<int> D = BandProfile(n, band);
        std::vector<double> G(D[n - 1] + 1);
        for (int i = 0; i < n; ++i) {
            At(G, D, i, i) = (rng() % 32 == 0 ? -1.0 : 1.0) * std::pow(10.0, -6.0 * u(rng));
            for (int k = First(D, i); k < i; ++k)
                At(G, D, i, k) = (2.0 * u(rng) - 1.0) / n * At(G, D, k, k);
        }
        std::vector<double> K = G;  // L D L^T, as FillLdlt forms it
        for (int i = 0; i < n; ++i)
            for (int j = First(D, i); j <= i; ++j)
                for (int k = std::max(First(D, i), First(D, j)); k < j; ++k)
                    At(K, D, i, j) += At(G, D, i, k) * At(G, D, j, k) / At(G, D, k, k);
        CSparseMatrix m(n, D.data());
        Assign(m, K);
        ASSERT_EQ(m.Decomposition(n), 1) << "band " << band;
        int negative = 0, row = -1;
        double ratio = 0.0;
        for (int i = 0; i < n; ++i) {
            const double d = m.m_pdElement[D[i]];
            const double r = std::fabs(d) / std::fabs(K[D[i]]);
            negative += d < 0.0 ? 1 : 0;
            if (row < 0 || r < ratio)
                ratio = r, row = i;
        }
        const CSparseMatrix::PivotInfo& info = m.GetPivotInfo();
        EXPECT_EQ(std::make_tuple(info.m_nNegative, info.m_dMinRatio, info.m_nMinRatioRow),
                  std::make_tuple(negative, ratio, row))
            << "band " << band;
    }
}

// Pivots whose reciprocal overflows (subnormal ones) are divided by instead, in the factor and
// in both solves. Rows 5, 42, 79, ... hold only a pivot of 1e-310 and their couplings to the
// next rows; the solution is all ones, alone and in 1 or 17 columns (vector chunks and a
// leftover), to the same bits.
TEST_P(BlockedKernels, PivotsWithoutAFiniteReciprocalAreDividedBy) {
    const int n = 300, band = 3;
    const std::vector<int> D = BandProfile(n, band);
    std::vector<double> K(D[n - 1] + 1), b(n);
    for (int i = 0; i < n; ++i) {
        const bool tiny = i % 37 == 5;
        At(K, D, i, i) = tiny ? 1e-310 : 8.0;
        b[i] += At(K, D, i, i);
        for (int k = i - band; k < i && k >= 0 && !tiny; ++k) {
            At(K, D, i, k) = k % 37 == 5 ? 1e-310 : -1.0;
            b[i] += At(K, D, i, k);
            b[k] += At(K, D, i, k);
        }
    }
    CSparseMatrix m(n, D.data());
    Assign(m, K);
    std::vector<double> x = b;
    ASSERT_EQ(m.LdltSolve(n, x.data()), 1);
    for (int i = 0; i < n; ++i)
        ASSERT_NEAR(x[i], 1.0, 1e-9) << "row " << i;
    for (int cols : {1, 17}) {
        CMatrix B(n, cols);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < cols; ++c)
                B(i, c) = b[i];
        ASSERT_EQ(m.LdltSolve(n, B), 1);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < cols; ++c)
                ASSERT_EQ(std::memcmp(&B(i, c), &x[i], sizeof(double)), 0)
                    << cols << " columns, column " << c << ", row " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(, BlockedKernels,
                         ::testing::Values(rvn::SkylineKernel::Baseline,
                                           rvn::SkylineKernel::Avx2Fma, rvn::SkylineKernel::Avx512,
                                           rvn::SkylineKernel::Vec8Fma),
                         KernelParamName);

// AVX2 (12 x 4 tile), AVX-512 (24 x 8) and the portable 8-lane kernel: the same factors and
// the same solutions, one vector or many columns, bit for bit, on the band
// profiles above and on random ones.
TEST(FmaKernels, FactorsAndSolutionsEqualToTheBit) {
    std::vector<rvn::SkylineKernel> run;
    std::string skipped;
    for (rvn::SkylineKernel k :
         {rvn::SkylineKernel::Vec8Fma, rvn::SkylineKernel::Avx2Fma, rvn::SkylineKernel::Avx512}) {
        if (rvn::SetSkylineKernel(k))
            run.push_back(k);
        else
            skipped += SkipReason(k) + "; ";
    }
    rvn::SetSkylineKernel(rvn::SkylineKernel::Auto);
    if (run.size() < 2)
        GTEST_SKIP() << "one fused kernel only: " << skipped;
    if (!skipped.empty())
        std::printf("[ SKIPPED  ] %s\n", skipped.c_str());
    std::mt19937 rng(5);
    std::vector<std::vector<int>> profiles;
    for (int band : kBands)
        profiles.push_back(BandProfile(band + 75, band));
    for (int n : {60, 333})
        profiles.push_back(MakeProfile(kVariable, n, rng));
    std::uniform_real_distribution<double> u(-1, 1);
    for (const std::vector<int>& D : profiles) {
        const int n = static_cast<int>(D.size());
        CSparseMatrix k(n, D.data());
        FillLdlt(k, D, rng, false);
        CMatrix B(n, 17);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < 17; ++c)
                B(i, c) = u(rng) * std::ldexp(1.0, c - 8);
        std::vector<double> factors0, x0, cols0;
        for (rvn::SkylineKernel kern : run) {
            rvn::SetSkylineKernel(kern);
            CSparseMatrix m(k);
            CMatrix X(B);
            std::vector<double> x(n);
            for (int i = 0; i < n; ++i)
                x[i] = B(i, 3);
            ASSERT_EQ(m.LdltSolve(n, X), 1);
            ASSERT_EQ(m.LdltSolve(n, x.data()), 1);
            std::vector<double> cols;
            for (int i = 0; i < n; ++i)
                for (int c = 0; c < 17; ++c)
                    cols.push_back(X(i, c));
            rvn::SetSkylineKernel(rvn::SkylineKernel::Auto);
            if (factors0.empty()) {
                factors0 = Elements(m), x0 = x, cols0 = cols;
                continue;
            }
            const std::string what = std::string(rvn::SkylineKernelName(kern)) + " against " +
                                     rvn::SkylineKernelName(run[0]) + ", n " + std::to_string(n);
            EXPECT_TRUE(SameBits(Elements(m), factors0)) << "factors, " << what;
            EXPECT_TRUE(SameBits(x, x0)) << "one vector, " << what;
            EXPECT_TRUE(SameBits(cols, cols0)) << "17 columns, " << what;
        }
    }
}
