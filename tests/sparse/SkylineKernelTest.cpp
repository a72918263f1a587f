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

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), sizeof(double) * a.size()) == 0;
}

class BlockedKernels : public ForcedKernel {};

}  // namespace

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
        const std::vector<double> K = Product(G, D);
        CSparseMatrix m(n, D.data());
        Assign(m, K);
        ASSERT_EQ(m.Decomposition(n), 1) << "band " << band;
        const CSparseMatrix::PivotInfo& info = m.GetPivotInfo();
        EXPECT_EQ(std::make_tuple(info.m_nNegative, info.m_dMinRatio, info.m_nMinRatioRow),
                  PivotRecord(m, K))
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
