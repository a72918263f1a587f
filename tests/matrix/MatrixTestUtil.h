// Shared helpers of the dense matrix tests.
#ifndef RVN_TESTS_MATRIX_MATRIXTESTUTIL_H
#define RVN_TESTS_MATRIX_MATRIXTESTUTIL_H

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <random>
#include <string>
#include <tuple>
#include <utility>

#include "BaseCommon/matrix/CMatrix.h"

namespace matrix_test {

// Row-major literal: M(2, 2, {1, 2, 3, 4}).
inline CMatrix M(int rows, int cols, std::initializer_list<double> v) {
    CMatrix m(rows, cols);
    for (int k = 0; k < rows * cols; ++k)
        m(k / cols, k % cols) = v.begin()[k];
    return m;
}

// Reals in [-10, 10), or integers in -3 .. 3, which make exact zeros and cancellations likely.
inline CMatrix Random(int n, std::mt19937& gen, bool integers = false) {
    std::uniform_real_distribution<double> u(-10.0, 10.0);
    CMatrix m(n, n);
    for (int k = 0; k < n * n; ++k)
        m(k / n, k % n) = integers ? double(int(gen() % 7) - 3) : u(gen);
    return m;
}

// Equality to the bit (-0.0 differs from 0.0).
inline bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

inline ::testing::AssertionResult SameBits(const CMatrix& a, const CMatrix& b) {
    if (a.GetRow() != b.GetRow() || a.GetCol() != b.GetCol())
        return ::testing::AssertionFailure() << "shapes differ";
    for (int i = 0; i < a.GetRow(); ++i)
        for (int j = 0; j < a.GetCol(); ++j)
            if (!SameBits(a(i, j), b(i, j)))
                return ::testing::AssertionFailure()
                       << "(" << i << ", " << j << "): " << a(i, j) << " vs " << b(i, j);
    return ::testing::AssertionSuccess();
}

// Marks a fault that is a MisMatch (a shape, a singular matrix): it has no index pair.
constexpr int kMisMatch = INT_MIN + 1;

// Runs f and expects mtxkit::OutOfRange with msg and the pair (row, col), or mtxkit::MisMatch
// with msg when row is kMisMatch.
inline void ExpectFault(const std::function<void()>& f, const std::string& msg, int row = kMisMatch,
                        int col = kMisMatch) {
    try {
        f();
        ADD_FAILURE() << "no fault, expected " << msg;
    } catch (const mtxkit::OutOfRange& e) {
        EXPECT_EQ(std::make_tuple(e.m_strMsg, e.m_nRow, e.m_nCol), std::make_tuple(msg, row, col));
    } catch (const mtxkit::MisMatch& e) {
        EXPECT_EQ(std::make_pair(e.m_strMsg, row), std::make_pair(msg, kMisMatch));
    }
}

}  // namespace matrix_test

#endif  // RVN_TESTS_MATRIX_MATRIXTESTUTIL_H
