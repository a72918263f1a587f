#include "BaseCommon/engineering/TableConcrete.h"

#include <cmath>

#include "BaseCommon/engineering/detail/GradeLookUp.h"

// Grades C15 ... C80; MPa and GPa of the code's tables written as pascals.
const double TableConcrete::m_adFcuk[14] = {15e6, 20e6, 25e6, 30e6, 35e6, 40e6, 45e6,
                                            50e6, 55e6, 60e6, 65e6, 70e6, 75e6, 80e6};
const double TableConcrete::m_adFck[14] = {10.0e6, 13.4e6, 16.7e6, 20.1e6, 23.4e6, 26.8e6, 29.6e6,
                                           32.4e6, 35.5e6, 38.5e6, 41.5e6, 44.5e6, 47.5e6, 50.2e6};
const double TableConcrete::m_adFc[14] = {7.2e6,  9.6e6,  11.9e6, 14.3e6, 16.7e6, 19.1e6, 21.1e6,
                                          23.1e6, 25.3e6, 27.5e6, 29.7e6, 31.8e6, 33.8e6, 35.9e6};
const double TableConcrete::m_adFtk[14] = {1.27e6, 1.54e6, 1.78e6, 2.01e6, 2.20e6, 2.39e6, 2.51e6,
                                           2.64e6, 2.74e6, 2.85e6, 2.93e6, 2.99e6, 3.05e6, 3.11e6};
const double TableConcrete::m_adFt[14] = {0.91e6, 1.10e6, 1.27e6, 1.43e6, 1.57e6, 1.71e6, 1.80e6,
                                          1.89e6, 1.96e6, 2.04e6, 2.09e6, 2.14e6, 2.18e6, 2.22e6};
const double TableConcrete::m_adEc[14] = {22.0e9, 25.5e9, 28.0e9, 30.0e9, 31.5e9, 32.5e9, 33.5e9,
                                          34.5e9, 35.5e9, 36.0e9, 36.5e9, 37.0e9, 37.5e9, 38.0e9};
const double TableConcrete::m_adEc_f[14] = {0.0,    11.0e9, 12.0e9, 13.0e9, 14.0e9, 15.0e9, 15.5e9,
                                            16.0e9, 16.5e9, 17.0e9, 17.5e9, 18.0e9, 18.5e9, 19.0e9};

namespace {

// Above C50 the code corrects the compression curve for high-strength concrete; d in the
// relations is the cube strength's excess over C50.
constexpr double kFcukC50 = 50e6;
constexpr double kEps0Normal = 0.002;    // strain at peak stress up to C50
constexpr double kEpscuNormal = 0.0033;  // ultimate compressive strain up to C50
constexpr double kExponentNormal = 2.0;  // parabola exponent up to C50
constexpr double kExponentSpan = 60e6;   // n falls by 1 per 60 MPa above C50

// Stress-block coefficients run linearly in fc between the design strengths of C50 and C80.
constexpr double kFcC50 = 23.1e6;
constexpr double kFcC80 = 35.9e6;
constexpr double kFcSpan = 12.8e6;  // kFcC80 - kFcC50, as the code writes it

}  // namespace

TableConcrete::~TableConcrete() = default;

double TableConcrete::FindFt(double fcuk) const {
    return rvn::detail::GradeLookUp(fcuk, m_adFcuk, m_adFt);
}
double TableConcrete::FindFc(double fcuk) const {
    return rvn::detail::GradeLookUp(fcuk, m_adFcuk, m_adFc);
}
double TableConcrete::FindFtk(double fcuk) const {
    return rvn::detail::GradeLookUp(fcuk, m_adFcuk, m_adFtk);
}
double TableConcrete::FindFck(double fcuk) const {
    return rvn::detail::GradeLookUp(fcuk, m_adFcuk, m_adFck);
}
double TableConcrete::FindEc(double fcuk) const {
    return rvn::detail::GradeLookUp(fcuk, m_adFcuk, m_adEc);
}
double TableConcrete::FindEc_f(double fcuk) const {
    return rvn::detail::GradeLookUp(fcuk, m_adFcuk, m_adEc_f);
}
double TableConcrete::FindFcuk(double fc) const {
    return rvn::detail::GradeLookUp(fc, m_adFc, m_adFcuk);
}

double TableConcrete::CalEpsilon_c0_Bend(double fcuk) const {
    const double eps0 = kEps0Normal + 0.5 * (fcuk - kFcukC50) * 1e-11;
    return eps0 < kEps0Normal ? kEps0Normal : eps0;
}

double TableConcrete::CalEpsilon_cu_Bend(double fcuk) const {
    const double epscu = kEpscuNormal - (fcuk - kFcukC50) * 1e-11;
    return epscu > kEpscuNormal ? kEpscuNormal : epscu;
}

double TableConcrete::Cal_n_Bend(double fcuk) const {
    const double n = kExponentNormal - (fcuk - kFcukC50) / kExponentSpan;
    return n > kExponentNormal ? kExponentNormal : n;
}

double TableConcrete::CalSigma_c_Bend(double fcuk, double eps) const {
    // The branches below would send a NaN strain to the crushed branch as a clean 0.
    if (std::isnan(eps))
        return eps;
    const double fc = FindFc(fcuk);
    const double eps0 = CalEpsilon_c0_Bend(fcuk);
    if (eps <= eps0)
        return fc * (1.0 - std::pow(1.0 - eps / eps0, Cal_n_Bend(fcuk)));
    if (eps <= CalEpsilon_cu_Bend(fcuk))
        return fc;
    return 0.0;
}

double TableConcrete::CalAlfa1(double fcuk) const {
    const double fc = FindFc(fcuk);
    if (fc <= kFcC50)
        return 1.0;
    if (fc >= kFcC80)
        return 0.94;
    return 0.94 * (fc - kFcC50) / kFcSpan - (fc - kFcC80) / kFcSpan;
}

double TableConcrete::CalBeat1(double fcuk) const {
    const double fc = FindFc(fcuk);
    if (fc <= kFcC50)
        return 0.8;
    if (fc >= kFcC80)
        return 0.74;
    return 0.74 * (fc - kFcC50) / kFcSpan - 0.8 * (fc - kFcC80) / kFcSpan;
}

double TableConcrete::CalEpsilon_t0_Bend(double fcuk) const {
    return FindFt(fcuk) / FindEc(fcuk);
}

double TableConcrete::CalEpsilon_t0_Tension(double fcuk) const {
    return CalEpsilon_t0_Bend(fcuk);
}

double TableConcrete::CalEpsilon_tu_Bend(double fcuk) const {
    return 2.0 * FindFt(fcuk) / FindEc(fcuk);
}

double TableConcrete::CalSigma_t_Bend(double fcuk, double eps) const {
    if (std::isnan(eps))
        return eps;
    const double ft = FindFt(fcuk);
    const double ec = FindEc(fcuk);
    const double epst0 = ft / ec;
    if (eps <= epst0)
        return eps * ec;
    // Softening plateau at ft up to twice the peak strain, then the section is cracked.
    if (eps <= 2.0 * epst0)
        return ft;
    return 0.0;
}

double TableConcrete::CalSigma_t_Tension(double fcuk, double eps) const {
    if (std::isnan(eps))
        return eps;
    const double ec = FindEc(fcuk);
    const double epst0 = FindFt(fcuk) / ec;
    // In pure tension the member cracks through at the peak strain: no plateau.
    if (eps <= epst0)
        return eps * ec;
    return 0.0;
}
