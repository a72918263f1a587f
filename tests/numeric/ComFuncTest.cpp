#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "BaseCommon/numeric/ComFunc.h"

using namespace ComFunc;

TEST(ComFunc, SignRangeTextAndNearestIndex_KeepTheirTieAndEndRules) {
    EXPECT_EQ((std::vector<int>{GetSgn(1e-6), GetSgn(-1e-6), GetSgn(2e-6), GetSgn(-2e-6),
                                IsBetweenAB(1, 1, 2, 0), IsBetweenAB(2, 1, 2, 0),
                                IsBetweenAB(1, 1, 2, 0.001)}),
              (std::vector<int>{0, 0, 1, -1, 0, 0, 1}));  // both ends strict
    // Each row: text, IsNumeric (a '.' and a '-' alone pass), GetSubNum (the last ',' optional).
    const std::tuple<const char*, int, int> texts[] = {
        {"", 0, 0},       {"-12.5", 1, 1}, {"1.2.3", 0, 1}, {"1e5", 0, 1}, {"--1", 0, 1},
        {".", 1, 1},      {"-", 1, 1},     {"1-2", 1, 1},   {"+1", 0, 1},  {"1,2,3", 0, 3},
        {"1,2,3,", 0, 3}, {",", 0, 1},     {"a,,b", 0, 3}};
    for (auto [s, numeric, fields] : texts)
        EXPECT_EQ(std::make_pair(IsNumeric(s), GetSubNum(s, ',')), std::make_pair(numeric, fields))
            << '"' << s << '"';
    // "%g" keeps six significant digits, and the exponent counts as decimals.
    EXPECT_EQ((std::vector<int>{GetDoublePrecision(0.125), GetDoublePrecision(2.0),
                                GetDoublePrecision(1.5e-7), GetDoublePrecision(1234567.0)}),
              (std::vector<int>{3, 0, 5, 9}));
    // Nearest-index searches, each row: table, x, then GetNearestIndex, GetNearestIndexEx
    // (lo, hi), FindIndexInAscendArray.
    const std::vector<double> a = {0, 1, 2, 3}, dup = {0, 1, 1, 2}, one = {5}, none;
    const std::tuple<const std::vector<double>&, double, int, int, int, int> cases[] = {
        {a, -5.0, 0, -1, 0, 0},     {a, 0.0, 0, 0, 1, 0},   {a, 1.0, 1, 1, 2, 1},
        {a, 1.5, 2, 1, 2, 1},       {a, 3.0, 3, 2, 3, 3},   {a, 4.0, 3, 3, -1, 3},
        {a, NAN, -1, -1, -1, -1},   {dup, 1.0, 1, 2, 3, 2}, {one, 5.0, 0, -1, -1, 0},
        {none, 1.0, -1, -1, -1, -1}};
    for (const auto& [t, x, nearest, lo, hi, interval] : cases) {
        const int n = static_cast<int>(t.size());
        int gotLo = 99, gotHi = 99;
        GetNearestIndexEx(x, t.data(), n, gotLo, gotHi);
        EXPECT_EQ(std::make_tuple(GetNearestIndex(x, t.data(), n), gotLo, gotHi,
                                  FindIndexInAscendArray(x, t.data(), n)),
                  std::make_tuple(nearest, lo, hi, interval))
            << "n=" << n << " x=" << x;
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

TEST(ComFunc, SortsMatchTheExchangeSort_FindIntArrayStartsAfterTheStart) {
    std::mt19937 rng(7);
    std::vector<int> v(301);
    CArray<int, int&> down, up;
    for (int& x : v) {
        x = static_cast<int>(rng() % 21) - 10;  // many repeats
        down.Add(x);
        up.Add(x);
    }
    Sort_IntArray(down, 0);
    Sort_IntArray(up, -3);  // any non-zero flag sorts ascending
    EXPECT_EQ(std::vector<int>(down.GetData(), down.GetData() + 301), ExchangeSort(v, false));
    const std::vector<int> ascending = ExchangeSort(v, true);
    EXPECT_EQ(std::vector<int>(up.GetData(), up.GetData() + 301), ascending);
    IntSorting(v.data(), 301);
    EXPECT_EQ(v, ascending);
    // Ten, the largest value, was drawn many times: its first match after index 0 is 1.
    EXPECT_EQ(FindIntArray(down, 10, 0), 1);
    EXPECT_EQ(FindIntArray(down, down[0], -1), 0);
    // A start at or past the end finds nothing, INT_MAX included (its + 1 must not wrap).
    EXPECT_EQ(FindIntArray(down, down[300], 300), -1);
    EXPECT_EQ(FindIntArray(down, down[0], INT_MAX), -1);
    EXPECT_EQ(FindIntArray(down, down[0], INT_MIN), 0);
}

// Each row: A (the upper triangle holds 99s that must be ignored), b, and the x expected; 77
// marks an entry the solver must not write. A variable takes part when |A_ii| > 1, strictly.
TEST(ComFunc, MatrixSolver3x3_EveryMask) {
    const double cases[][15] = {
        {4, 99, 99, 2, 5, 99, 0, 1, 3, 6, 8, 4, 1, 1, 1},     // mask 7
        {-4, 99, 99, 0, 2, 99, 0, 0, 2, -8, 2, 4, 2, 1, 2},   // mask 7, a negative pivot
        {4, 99, 99, 2, 5, 99, 7, 7, 0.5, 6, 7, 9, 1, 1, 0},   // mask 3
        {4, 99, 99, 9, 0.5, 99, 1, 9, 2, 11, 5, 8, 2, 0, 3},  // mask 5
        {0.5, 99, 99, 9, 3, 99, 9, 1, 2, 7, 5, 5, 0, 1, 2},   // mask 6
        {1, 0, 0, 0, -1, 0, 0, 0, 1, 1, 1, 1, 77, 77, 77},    // mask 0: 1 drops
        {2, 0, 0, 0, 1, 0, 0, 0, 0.5, 1, 1, 1, 77, 77, 77},   // mask 1
        {1, 0, 0, 0, 2, 0, 0, 0, 1, 1, 1, 1, 77, 77, 77},     // mask 2
        {0, 0, 0, 0, 0, 0, 0, 0, 5, 1, 1, 1, 77, 77, 77},     // mask 4
    };
    for (const auto& c : cases) {
        double A[3][3], x[3] = {77, 77, 77};
        std::copy(c, c + 9, &A[0][0]);
        MatrixSolver_3x3(A, x, c + 9);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(x[i], c[12 + i], 1e-12) << "case " << &c - cases << ", x" << i;
    }
}
