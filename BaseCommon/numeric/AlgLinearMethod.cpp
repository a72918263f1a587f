#include "BaseCommon/numeric/AlgLinearMethod.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>

namespace {

// Abscissa tolerance of CalcuArea: a piece of polyline narrower than this adds no area.
constexpr double kTolAreaAbscissa = 1e-6;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

AlgLinearMethod::AlgLinearMethod(const double* X, const double* Y, int n)
    : m_pdX(nullptr), m_pdY(nullptr), m_nNum(0) {
    if (n <= 0 || X == nullptr || Y == nullptr)
        return;
    // Both arrays are held until the second allocation has succeeded, so a failed
    // allocation leaks neither.
    std::unique_ptr<double[]> x(new double[n]);
    std::unique_ptr<double[]> y(new double[n]);
    std::copy(X, X + n, x.get());
    std::copy(Y, Y + n, y.get());
    m_pdX = x.release();
    m_pdY = y.release();
    m_nNum = n;
}

AlgLinearMethod::AlgLinearMethod(const AlgLinearMethod& m)
    : AlgLinearMethod(m.m_pdX, m.m_pdY, m.m_nNum) {}

AlgLinearMethod& AlgLinearMethod::operator=(const AlgLinearMethod& m) {
    // Copy first, then swap: self-assignment is harmless and a failed allocation leaves
    // this object unchanged.
    AlgLinearMethod copy(m);
    std::swap(m_pdX, copy.m_pdX);
    std::swap(m_pdY, copy.m_pdY);
    std::swap(m_nNum, copy.m_nNum);
    return *this;
}

AlgLinearMethod::~AlgLinearMethod() {
    delete[] m_pdX;
    delete[] m_pdY;
}

double AlgLinearMethod::CalcuValY(double x) const {
    const int n = m_nNum;
    if (n <= 0)
        return kNaN;
    const double* X = m_pdX;
    const double* Y = m_pdY;
    if (x < X[0])
        return Y[0];
    if (x > X[n - 1])
        return Y[n - 1];
    if (n == 1)
        return Y[0];
    for (int i = 0; i + 1 < n; ++i) {
        // Exact hits return the tabulated value itself, untouched by the interpolation's
        // rounding, and keep a repeated abscissa (a step in the table) from dividing by zero.
        if (X[i] == x)
            return Y[i];
        if (X[i + 1] == x)
            return Y[i + 1];
        if (X[i] < x && x < X[i + 1]) {
            return Y[i] + (x - X[i]) * (Y[i + 1] - Y[i]) / (X[i + 1] - X[i]);
        }
    }
    // Within [X[0], X[n-1]] some segment always brackets x; only a NaN gets here.
    return kNaN;
}

double AlgLinearMethod::CalcuArea(double x) const {
    const int n = m_nNum;
    if (n <= 0)
        return kNaN;
    const double* X = m_pdX;
    const double* Y = m_pdY;
    double acc = 0.0;
    int i = 0;
    for (; i + 1 < n; ++i) {
        if (x - X[i] < kTolAreaAbscissa)
            break;
        if (x - X[i + 1] <= kTolAreaAbscissa)
            break;
        acc += (Y[i] + Y[i + 1]) * (X[i + 1] - X[i]) * 0.5;
    }
    const double d = x - X[i];
    if (d <= kTolAreaAbscissa)
        return acc;
    // Past the last node i is n-1 and CalcuValY(x) is the clamped Y[n-1], so the partial
    // trapezoid is the rectangle Y[n-1] * d under the clamped value.
    return acc + (Y[i] + CalcuValY(x)) * d * 0.5;
}
