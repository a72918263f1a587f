#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <initializer_list>

#include "BaseCommon/engineering/TableConcrete.h"

using T = TableConcrete;
using Cases = std::initializer_list<std::array<double, 2>>;  // {argument, hand-computed result}
static const TableConcrete kTc;

static void Check(const char* what, double (T::*fn)(double) const, Cases cases) {
    for (const auto& c : cases)
        EXPECT_NEAR((kTc.*fn)(c[0]), c[1], 1e-12 * std::fabs(c[1])) << what << "(" << c[0] << ")";
}

// A stress relation at the cube strength g; cases are {strain, stress}. A NaN strain gives NaN.
static void Check(const char* what, double (T::*fn)(double, double) const, double g, Cases cases) {
    for (const auto& c : cases)
        EXPECT_NEAR((kTc.*fn)(g, c[0]), c[1], 1e-12 * std::fabs(c[1]))
            << what << "(" << g << ", " << c[0] << ")";
    EXPECT_TRUE(std::isnan((kTc.*fn)(g, NAN))) << what;
}

// Cases run: a grade point, between grades, below C15, above C80.
TEST(TableConcrete, LookupsClampOutsideTheTable_CurveParametersBendAtC50) {
    Check("FindFc", &T::FindFc, {{30e6, 14.3e6}, {32.5e6, 15.5e6}, {10e6, 7.2e6}, {90e6, 35.9e6}});
    Check("FindFt", &T::FindFt, {{50e6, 1.89e6}, {47.5e6, 1.845e6}, {0, 0.91e6}, {1e8, 2.22e6}});
    Check("FindFtk", &T::FindFtk, {{80e6, 3.11e6}, {22.5e6, 1.66e6}, {1e6, 1.27e6}});
    Check("FindFck", &T::FindFck, {{15e6, 10e6}, {77.5e6, 48.85e6}, {85e6, 50.2e6}});
    Check("FindEc", &T::FindEc, {{40e6, 32.5e9}, {52e6, 34.9e9}, {-5e6, 22e9}, {85e6, 38e9}});
    // C15 has no fatigue modulus: its 0 is interpolated from.
    Check("FindEc_f", &T::FindEc_f, {{15e6, 0}, {17.5e6, 5.5e9}, {44e6, 15.4e9}, {81e6, 19e9}});
    Check("FindFcuk", &T::FindFcuk, {{14.3e6, 30e6}, {15.5e6, 32.5e6}, {5e6, 15e6}, {4e7, 80e6}});
    // The curve corrections start above C50 and follow fcuk itself past C80; the stress-block
    // coefficients run linearly in fc (not fcuk) between C50 (23.1 MPa) and C80.
    // Raw eps0 at C30 is 0.0019, at C49 0.00195: both raised to 0.002.
    Check("eps0", &T::CalEpsilon_c0_Bend, {{30e6, 0.002}, {49e6, 0.002}, {51e6, 0.002005}});
    Check("eps0", &T::CalEpsilon_c0_Bend, {{80e6, 0.00215}, {90e6, 0.0022}});
    Check("epscu", &T::CalEpsilon_cu_Bend, {{49e6, 0.0033}, {65e6, 0.00315}, {80e6, 0.003}});
    Check("n", &T::Cal_n_Bend, {{30e6, 2}, {62e6, 1.8}, {80e6, 1.5}});
    Check("epst0", &T::CalEpsilon_t0_Bend, {{30e6, 1.43e6 / 30e9}, {10e6, 0.91e6 / 22e9}});
    Check("epst0T", &T::CalEpsilon_t0_Tension, {{32.5e6, 1.5e6 / 30.75e9}});
    Check("epstu", &T::CalEpsilon_tu_Bend, {{30e6, 2.86e6 / 30e9}, {90e6, 4.44e6 / 38e9}});
    Check("alpha1", &T::CalAlfa1, {{30e6, 1}, {50e6, 1}, {50.5e6, 0.99896875}, {65e6, 0.9690625}});
    Check("alpha1", &T::CalAlfa1, {{79e6, 0.94196875}, {80e6, 0.94}, {90e6, 0.94}});
    Check("beta1", &T::CalBeat1, {{30e6, 0.8}, {50e6, 0.8}, {50.5e6, 0.79896875}});
    Check("beta1", &T::CalBeat1, {{65e6, 0.7690625}, {79e6, 0.74196875}, {80e6, 0.74}});
}

TEST(TableConcrete, StressBranchesOnBothSidesOfEachBoundary) {
    const auto Up = [](double x) { return std::nextafter(x, 1.0); };
    // C30: fc 14.3 MPa, eps0 0.002, epscu 0.0033, n 2; a negative strain gives a negative stress.
    Check("sigma_c", &T::CalSigma_c_Bend, 30e6, {{0.001, 10.725e6}, {-0.001, -17.875e6}});
    Check("sigma_c", &T::CalSigma_c_Bend, 30e6, {{0.0019, 14.26425e6}, {0.002, 14.3e6}});
    Check("sigma_c", &T::CalSigma_c_Bend, 30e6, {{Up(0.002), 14.3e6}, {0.0033, 14.3e6}});
    Check("sigma_c", &T::CalSigma_c_Bend, 30e6, {{Up(0.0033), 0}});
    Check("sigma_c", &T::CalSigma_c_Bend, 32.5e6, {{0.001, 11.625e6}});
    // C80: eps0 0.00215, n 1.5; the computed epscu (0.003) is on the plateau, just past is 0.
    const double cu80 = kTc.CalEpsilon_cu_Bend(80e6);
    Check("sigma_c", &T::CalSigma_c_Bend, 80e6,
          {{0.001075, 23207433.277701475}, {0.00215, 35.9e6}});
    Check("sigma_c", &T::CalSigma_c_Bend, 80e6, {{cu80, 35.9e6}, {Up(cu80), 0}});
    // Past C80 fc stays 35.9 MPa but eps0 = 0.0022, n = 4/3, epscu = 0.0029 follow fcuk.
    Check("sigma_c", &T::CalSigma_c_Bend, 90e6,
          {{0.00218, 35831885.81963182}, {0.0028, 35.9e6}, {0.00295, 0}});
    // Tension at C30 (ft 1.43 MPa, Ec 30 GPa): bending keeps ft up to 2 * epst0, pure tension
    // drops to 0 past epst0.
    const double t0 = kTc.CalEpsilon_t0_Bend(30e6);
    Check("sigma_t_bend", &T::CalSigma_t_Bend, 30e6, {{2e-5, 0.6e6}, {-1e-4, -3e6}, {t0, 1.43e6}});
    Check("sigma_t_bend", &T::CalSigma_t_Bend, 30e6,
          {{Up(t0), 1.43e6}, {2 * t0, 1.43e6}, {Up(2 * t0), 0}});
    Check("sigma_t_tension", &T::CalSigma_t_Tension, 30e6,
          {{2e-5, 0.6e6}, {-1e-4, -3e6}, {t0, 1.43e6}, {Up(t0), 0}});
    // Clamped C80 above the table: epst0 = 2.22 / 38000 = 5.84e-5.
    Check("sigma_t_bend", &T::CalSigma_t_Bend, 1e8, {{7e-5, 2.22e6}, {1.2e-4, 0}});
    Check("sigma_t_tension", &T::CalSigma_t_Tension, 1e8, {{5e-5, 1.9e6}, {7e-5, 0}});
}
