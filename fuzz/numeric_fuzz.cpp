// Table searches, interpolation, number and text helpers, material tables and the spreading
// of pile and soil springs, on decoded tables (ascending, descending, unsorted, with repeats,
// NaN and infinities) and arguments. Nothing may throw, read outside the arrays passed or
// leak; every index comes back inside its documented range.
#include <cstdint>
#include <vector>

#include "BaseCommon/BaseCommon.h"
#include "ByteReader.h"

namespace {

constexpr int kMaxTable = 16;

std::vector<double> Table(ByteReader& in) {
    std::vector<double> t(static_cast<size_t>(in.Range(0, kMaxTable)));
    double v = in.Real();
    for (double& x : t) {
        // Mostly ascending steps, so that the searches get past their first comparisons.
        if (in.Byte() < 200)
            v += in.Range(0, 4) * 0.5;
        else
            v = in.Real();
        x = v;
    }
    return t;
}

void Searches(ByteReader& in) {
    const std::vector<double> t = Table(in);
    const int n = static_cast<int>(t.size());
    const double* a = n ? t.data() : nullptr;
    const double x = in.Real();
    const int i = ComFunc::GetNearestIndex(x, a, n);
    FUZZ_CHECK(i >= -1 && i < (n > 0 ? n : 1));
    int lo = 0, hi = 0;
    ComFunc::GetNearestIndexEx(x, a, n, lo, hi);
    FUZZ_CHECK(lo >= -1 && lo < (n > 0 ? n : 1) && hi >= -1 && hi < (n > 0 ? n : 1));
    const int k = ComFunc::FindIndexInAscendArray(x, a, n);
    FUZZ_CHECK(k >= -1 && k < (n > 0 ? n : 1));
    const CAlgFinding f(a, n);
    const int up = f.FindNearest_Ascend(x), down = f.FindNearest_Descend(x);
    FUZZ_CHECK(up >= -1 && up < (n > 0 ? n : 1) && down >= -1 && down < (n > 0 ? n : 1));
    if (n > 0) {
        (void)ComFunc::FindMaxValue(a, n);
        (void)ComFunc::FindMinValue(a, n);
        double mx = 0, mn = 0;
        ComFunc::FindMaxMinValue(a, in.Range(0, n - 1), in.Range(0, n - 1), mx, mn);
    }

    const std::vector<double> y = Table(in);
    const int m = n < static_cast<int>(y.size()) ? n : static_cast<int>(y.size());
    const AlgLinearMethod lin(m ? t.data() : nullptr, m ? y.data() : nullptr, m);
    (void)lin.CalcuValY(x);
    (void)lin.CalcuArea(x);
    AlgLinearMethod copy(lin);
    copy = lin;
}

void Helpers(ByteReader& in) {
    (void)ComFunc::GetSgn(in.Real());
    (void)ComFunc::IsBetweenAB(in.Real(), in.Real(), in.Real(), in.Real());
    const int p = ComFunc::GetDoublePrecision(in.Real());
    FUZZ_CHECK(p >= 0);
    const CString s(in.Text(32));
    (void)ComFunc::IsNumeric(s);
    FUZZ_CHECK(ComFunc::GetSubNum(s, static_cast<char>(in.Byte())) >= 0);
    CString fmt;
    ComFunc::GetFormatBuf(fmt, in.Index());
    std::vector<int> ints(static_cast<size_t>(in.Range(0, kMaxTable)));
    for (int& v : ints)
        v = in.Index();
    ComFunc::IntSorting(ints.data(), static_cast<int>(ints.size()));
    for (size_t k = 1; k < ints.size(); ++k)
        FUZZ_CHECK(ints[k - 1] <= ints[k]);
    double A[3][3], x[3] = {0, 0, 0}, b[3];
    for (auto& row : A)
        for (double& v : row)
            v = in.Real();
    for (double& v : b)
        v = in.Real();
    ComFunc::MatrixSolver_3x3(A, x, b);
}

void Materials(ByteReader& in) {
    const TableConcrete c;
    const double fcuk = in.Byte() % 2 ? in.Real() : in.Range(10, 85) * 1e6;
    const double eps = in.Real() * 1e-3;
    (void)c.FindFt(fcuk);
    (void)c.FindFc(fcuk);
    (void)c.FindEc(fcuk);
    (void)c.FindEc_f(fcuk);
    (void)c.FindFcuk(fcuk);
    (void)c.CalSigma_c_Bend(fcuk, eps);
    (void)c.CalSigma_t_Bend(fcuk, eps);
    (void)c.CalSigma_t_Tension(fcuk, eps);
    (void)c.CalAlfa1(fcuk);
    (void)c.CalBeat1(fcuk);
    const TableSteelBar s;
    (void)s.Find_fy(fcuk);
    (void)s.Find_Es(fcuk);
    (void)s.Find_fyk(fcuk);
    (void)s.Getfyk_iGrade(in.Index());
}

void Springs(ByteReader& in) {
    const int kind = in.Range(-1, 3);
    const int nodes = in.Range(0, 5);
    double xy[10], pnt[2], out[5] = {0, 0, 0, 0, 0};
    for (double& v : xy)
        v = in.Real();
    for (double& v : pnt)
        v = in.Real();
    const int r = PileStiffEq(kind, nodes, xy, pnt, in.Real(), out);
    FUZZ_CHECK(r == 0 || r == 1);
    FUZZ_CHECK(SoilStiffEq(kind, nodes, xy, in.Real(), out) == 1);
    double sum = 0.0;
    CalcuPileR(nodes, xy, out, &sum);
    CalcuSoilR(nodes, xy, out, in.Real(), &sum);
    double w[3];
    (void)AlgDzzlChazhi(xy, pnt, w);
    (void)CalcuArea(xy, nodes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    for (int k = 0; k < 8 && !in.Empty(); ++k) {
        switch (in.Byte() % 4) {
            case 0:
                Searches(in);
                break;
            case 1:
                Helpers(in);
                break;
            case 2:
                Materials(in);
                break;
            default:
                Springs(in);
                break;
        }
    }
    return 0;
}
