#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "BaseCommon/numeric/ComFunc.h"

using namespace ComFunc;

TEST(ComFunc, SignAndRange_EndsAreStrict) {
    EXPECT_EQ(GetSgn(1e-6), 0);
    EXPECT_EQ(GetSgn(-1e-6), 0);
    EXPECT_EQ(GetSgn(2e-6), 1);
    EXPECT_EQ(GetSgn(-2e-6), -1);
    EXPECT_EQ(IsBetweenAB(1.0, 1.0, 2.0, 0.0), 0);
    EXPECT_EQ(IsBetweenAB(2.0, 1.0, 2.0, 0.0), 0);
    EXPECT_EQ(IsBetweenAB(1.0, 1.0, 2.0, 0.001), 1);
}

TEST(ComFunc, TextHelpers_KeepTheirQuirks) {
    using Cases = std::vector<std::pair<const char*, int>>;
    const Cases numeric = {{"", 0},  {"-12.5", 1}, {"1.2.3", 0}, {"1e5", 0}, {"--1", 0},
                           {".", 1}, {"-", 1},     {"1-2", 1},   {"+1", 0},  {" 1", 0}};
    for (auto [s, want] : numeric)
        EXPECT_EQ(IsNumeric(s), want) << '"' << s << '"';
    const Cases fields = {{"1,2,3", 3}, {"1,2,3,", 3}, {"", 0}, {",", 1}, {"a,,b", 3}};
    for (auto [s, want] : fields)
        EXPECT_EQ(GetSubNum(s, ','), want) << '"' << s << '"';
    // "%g" keeps six significant digits, and the exponent counts as decimals.
    for (auto [v, want] : std::vector<std::pair<double, int>>{
             {0.125, 3}, {2.0, 0}, {1.5e-7, 5}, {1e-7, 0}, {1234567.0, 9}, {-0.5, 1}})
        EXPECT_EQ(GetDoublePrecision(v), want) << v;
    CString fmt("old");
    GetFormatBuf(fmt, 12);
    EXPECT_EQ(fmt, "%.12f");
}

// Each row: table, x, then GetNearestIndex, GetNearestIndexEx (lo, hi), FindIndexInAscendArray.
TEST(ComFunc, NearestIndexSearches_TieAndEndRules) {
    const std::vector<double> a = {0, 1, 2, 3}, dup = {0, 1, 1, 2}, one = {5}, none;
    const std::tuple<const std::vector<double>&, double, int, int, int, int> cases[] = {
        {a, -5.0, 0, -1, 0, 0},  {a, 0.0, 0, 0, 1, 0},       {a, 1.0, 1, 1, 2, 1},
        {a, 1.4, 1, 1, 2, 1},    {a, 1.5, 2, 1, 2, 1},       {a, 2.9, 3, 2, 3, 2},
        {a, 3.0, 3, 2, 3, 3},    {a, 4.0, 3, 3, -1, 3},      {a, NAN, -1, -1, -1, -1},
        {dup, 1.0, 1, 2, 3, 2},  {one, 5.0, 0, -1, -1, 0},  {one, 4.0, 0, -1, 0, 0},
        {one, 6.0, 0, 0, -1, 0}, {none, 1.0, -1, -1, -1, -1}};
    for (const auto& [t, x, nearest, lo, hi, interval] : cases) {
        const int n = static_cast<int>(t.size());
        SCOPED_TRACE(testing::Message() << "n=" << n << " x=" << x);
        EXPECT_EQ(GetNearestIndex(x, t.data(), n), nearest);
        int gotLo = 99, gotHi = 99;
        GetNearestIndexEx(x, t.data(), n, gotLo, gotHi);
        EXPECT_EQ(std::make_pair(gotLo, gotHi), std::make_pair(lo, hi));
        EXPECT_EQ(FindIndexInAscendArray(x, t.data(), n), interval);
    }
}

// The exchange sort the callers were written against, as the reference.
static std::vector<int> ExchangeSort(std::vector<int> a, bool bAscend) {
    for (size_t i = 0; i < a.size(); ++i)
        for (size_t j = i + 1; j < a.size(); ++j)
            if (bAscend ? a[i] > a[j] : a[i] < a[j])
                std::swap(a[i], a[j]);
    return a;
}

TEST(ComFunc, Sorts_MatchTheExchangeSort) {
    std::mt19937 rng(7);
    for (int n : {0, 1, 2, 301}) {
        std::vector<int> v(static_cast<size_t>(n));
        CArray<int, int&> down, up;
        for (int& x : v) {
            x = static_cast<int>(rng() % 21) - 10;  // many repeats
            down.Add(x);
            up.Add(x);
        }
        Sort_IntArray(down, 0);
        Sort_IntArray(up, -3);  // any non-zero flag sorts ascending
        EXPECT_EQ(std::vector<int>(down.GetData(), down.GetData() + n), ExchangeSort(v, false));
        EXPECT_EQ(std::vector<int>(up.GetData(), up.GetData() + n), ExchangeSort(v, true));
        IntSorting(v.data(), n);
        EXPECT_EQ(v, ExchangeSort(v, true));
    }
}

TEST(ComFunc, ArraySearchesExchangeAndExtremes) {
    CArray<int, int&> ia;
    for (int x : {5, 7, 5})
        ia.Add(x);
    EXPECT_EQ(FindIntArray(ia, 5, 0), 2);  // strictly after the start index
    EXPECT_EQ(FindIntArray(ia, 5, -1), 0);

    CArray<double, double&> a;
    double p[3] = {1.0, 2.0, 3.0};
    a.Add(p[2]);
    EXPECT_EQ(ArrayXchage_double(a, p, 2, 0), 1);  // earlier contents are replaced
    a[0] = 7.0;
    EXPECT_EQ(ArrayXchage_double(a, p, 3, 1), 0);  // size mismatch: nothing copied out
    EXPECT_EQ(p[0], 1.0);
    EXPECT_EQ(ArrayXchage_double(a, p, 2, -1), 1);
    EXPECT_EQ(std::vector<double>(p, p + 3), (std::vector<double>{7, 2, 3}));

    const double v[] = {0, 5, 4, -1};
    double mx = 0, mn = 0;
    FindMaxMinValue(v, 0, 2, mx, mn);
    EXPECT_EQ(std::make_pair(mx, mn), std::make_pair(5.0, 0.0));
    EXPECT_EQ(FindMinValue(v, 4), -1.0);
    EXPECT_EQ(FindMaxValue(v, 0), 0.0);
}

// Each row: A (the upper triangle holds 99s that must be ignored), b, and the x expected; 77
// marks an entry the solver must not write.
TEST(ComFunc, MatrixSolver3x3_EveryMask) {
    using M = std::vector<double>;
    const std::tuple<const char*, M, M, M> cases[] = {
        {"mask 7", {4, 99, 99, 2, 5, 99, 0, 1, 3}, {6, 8, 4}, {1, 1, 1}},
        {"mask 7, negative pivot", {-4, 99, 99, 0, 2, 99, 0, 0, 2}, {-8, 2, 4}, {2, 1, 2}},
        {"mask 3", {4, 99, 99, 2, 5, 99, 7, 7, 0.5}, {6, 7, 9}, {1, 1, 0}},
        {"mask 5", {4, 99, 99, 9, 0.5, 99, 1, 9, 2}, {11, 5, 8}, {2, 0, 3}},
        {"mask 5, diagonal", {4, 0, 0, 0, 0.5, 0, 0, 0, 2}, {8, 1, 6}, {2, 0, 3}},
        {"mask 6", {0.5, 99, 99, 9, 3, 99, 9, 1, 2}, {7, 5, 5}, {0, 1, 2}},
        {"mask 0: a diagonal of exactly 1 drops",
         {1, 0, 0, 0, -1, 0, 0, 0, 1},
         {1, 1, 1},
         M(3, 77)},
        {"mask 1", {2, 0, 0, 0, 1, 0, 0, 0, 0.5}, {1, 1, 1}, M(3, 77)},
        {"mask 2", {1, 0, 0, 0, 2, 0, 0, 0, 1}, {1, 1, 1}, M(3, 77)},
        {"mask 4", {0, 0, 0, 0, 0, 0, 0, 0, 5}, {1, 1, 1}, M(3, 77)},
    };
    for (const auto& [name, a, b, want] : cases) {
        double A[3][3];
        for (int i = 0; i < 9; ++i)
            A[i / 3][i % 3] = a[static_cast<size_t>(i)];
        double x[3] = {77, 77, 77};
        MatrixSolver_3x3(A, x, b.data());
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(x[i], want[static_cast<size_t>(i)], 1e-12) << name << ", x" << i;
    }
}
