// Table searches, interpolation, number and text helpers, material tables and the spreading
// of pile and soil springs, on decoded tables (ascending, descending, unsorted, with repeats,
// NaN and infinities) and arguments. Nothing may throw, read outside the arrays passed or
// leak; every index comes back inside its documented range. The array helpers are checked
// against standard-library models, the plane helpers (squared distances, trapezoid area,
// rectangle moments) by their symmetries.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
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

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

// The array helpers against standard-library models: sorts against std::sort, the search
// against a scan, the exchange both ways, extremes against std::minmax_element (NaN-free
// arrays), the copy (overlapping too) against memmove.
void Arrays(ByteReader& in) {
    CArray<int, int&> ints;
    std::vector<int> model(static_cast<size_t>(in.Range(0, kMaxTable)));
    for (int& v : model) {
        v = in.Index();
        ints.Add(v);
    }
    const int n = static_cast<int>(model.size());
    const int value =
        in.Byte() % 2 && n > 0 ? model[static_cast<size_t>(in.Range(0, n - 1))] : in.Index();
    const int start = in.Index();
    int want = -1;
    for (long long i = (start < -1 ? -1LL : start) + 1; i < n && want < 0; ++i)
        if (model[static_cast<size_t>(i)] == value)
            want = static_cast<int>(i);
    FUZZ_CHECK(ComFunc::FindIntArray(ints, value, start) == want);
    const int order = in.Index();
    ComFunc::Sort_IntArray(ints, order);
    if (order == 0)
        std::sort(model.begin(), model.end(), std::greater<int>());
    else
        std::sort(model.begin(), model.end());
    FUZZ_CHECK(ints.GetSize() == n);
    for (int i = 0; i < n; ++i)
        FUZZ_CHECK(ints[i] == model[static_cast<size_t>(i)]);
    ComFunc::SetZero_int(ints);
    FUZZ_CHECK(ints.GetSize() == n);
    for (int i = 0; i < n; ++i)
        FUZZ_CHECK(ints[i] == 0);

    std::vector<double> t = Table(in);
    const int m = static_cast<int>(t.size());
    CArray<double, double&> arr;
    arr.SetSize(in.Range(0, 3));
    // Counts up to the table's length, or negative ones (refused).
    const int count = in.Byte() % 8 != 0 ? in.Range(0, m) : in.Byte() % 2 ? INT_MIN : -1;
    const int got = ComFunc::ArrayXchage_double(arr, m ? t.data() : nullptr, count, 0);
    FUZZ_CHECK(got == (count >= 0 ? 1 : 0));
    if (got) {
        FUZZ_CHECK(arr.GetSize() == count);
        for (int i = 0; i < count; ++i)
            FUZZ_CHECK(SameBits(arr[i], t[static_cast<size_t>(i)]));
        std::vector<double> back(static_cast<size_t>(m) + 1, -1.0);
        const int want2 = in.Byte() % 4 == 0 ? in.Range(0, m) : count;
        FUZZ_CHECK(ComFunc::ArrayXchage_double(arr, back.data(), want2, 1) ==
                   (want2 == count ? 1 : 0));
        for (int i = 0; i < want2 && want2 == count; ++i)
            FUZZ_CHECK(SameBits(back[static_cast<size_t>(i)], t[static_cast<size_t>(i)]));
        ComFunc::SetZero_double(arr);
        for (int i = 0; i < arr.GetSize(); ++i)
            FUZZ_CHECK(SameBits(arr[i], 0.0));
    }

    std::vector<float> f(t.begin(), t.end());
    const float* fa = m ? f.data() : nullptr;
    const float fmax = ComFunc::FindMaxValue_f(fa, m), fmin = ComFunc::FindMinValue_f(fa, m);
    const bool nan = std::any_of(f.begin(), f.end(), [](float v) { return std::isnan(v); });
    if (m == 0)
        FUZZ_CHECK(fmax == 0.0f && fmin == 0.0f);
    else if (!nan) {
        const auto mm = std::minmax_element(f.begin(), f.end());
        FUZZ_CHECK(fmax == *mm.second && fmin == *mm.first);
    }

    // Copy into a buffer holding the table twice, to a place that may overlap the source.
    std::vector<double> buf(t);
    buf.insert(buf.end(), t.begin(), t.end());
    std::vector<double> ref(buf);
    const int from = m ? in.Range(0, m) : 0, to = m ? in.Range(0, m) : 0;
    ComFunc::CopyArray(buf.data() + from, buf.data() + to, m);
    if (m > 0)
        std::memmove(ref.data() + to, ref.data() + from, sizeof(double) * static_cast<size_t>(m));
    for (size_t i = 0; i < buf.size(); ++i)
        FUZZ_CHECK(SameBits(buf[i], ref[i]));

    const CString s(in.Text(16));
    const CString keep(s);
    ComFunc::RemoveRightDot(s);
    FUZZ_CHECK(s == keep);
}

// Plane helpers with a symmetry to check: squared distances do not depend on the order of the
// points and the 2D one is the 3D one at equal heights; a trapezoid's area does not depend on
// which parallel side comes first; swapping a rectangle's sides swaps its two moments.
void Plane(ByteReader& in) {
    const double x1 = in.Real(), y1 = in.Real(), x2 = in.Real(), y2 = in.Real(), z = in.Real();
    const double d2 = Distpf_2d(x1, y1, x2, y2);
    FUZZ_CHECK(!(d2 < 0.0));
    FUZZ_CHECK(SameBits(d2, Distpf_2d(x2, y2, x1, y1)));
    if (std::isfinite(z))
        FUZZ_CHECK(SameBits(d2, Distpf_3d(x1, y1, z, x2, y2, z)));
    FUZZ_CHECK(SameBits(Distpf_3d(x1, y1, z, x2, y2, x1), Distpf_3d(x2, y2, x1, x1, y1, z)));

    const AlgTraqArea a(in.Real(), in.Real(), in.Real());
    AlgTraqArea b(a.m_dB, a.m_dA, a.m_dH);
    FUZZ_CHECK(SameBits(a.Calculate(), b.Calculate()));
    b = a;
    const AlgTraqArea c(b);
    FUZZ_CHECK(SameBits(a.Calculate(), c.Calculate()));

    const double w = in.Real(), h = in.Real();
    const int type = in.Index();
    double ix = 0, iy = 0, j = 0, jx = 0, jy = 0, jj = 0;
    RectFunc::CalcuInertia(w, h, type, ix, iy, j);
    RectFunc::CalcuInertia(h, w, type, jx, jy, jj);
    FUZZ_CHECK(SameBits(ix, jy) && SameBits(iy, jx));
    if (type == 0)
        FUZZ_CHECK(SameBits(j, ix + iy) && SameBits(jj, j));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    for (int k = 0; k < 8 && !in.Empty(); ++k) {
        switch (in.Byte() % 6) {
            case 0:
                Searches(in);
                break;
            case 1:
                Helpers(in);
                break;
            case 2:
                Materials(in);
                break;
            case 3:
                Springs(in);
                break;
            case 4:
                Arrays(in);
                break;
            default:
                Plane(in);
                break;
        }
    }
    return 0;
}
