// Shared helpers of the dense matrix tests.
#ifndef RVN_TESTS_MATRIX_MATRIXTESTUTIL_H
#define RVN_TESTS_MATRIX_MATRIXTESTUTIL_H

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <random>
#include <string>

#include "BaseCommon/matrix/CMatrix.h"

namespace matrix_test {

// Row-major literal: M(2, 2, {1, 2, 3, 4}).
inline CMatrix M(int rows, int cols, std::initializer_list<double> v) {
    CMatrix m(rows, cols);
    auto it = v.begin();
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            m(i, j) = *it++;
    return m;
}

// Small integers make exact zeros, ties and cancellations likely; the offset breaks
// symmetry so that non-singular matrices are common.
inline CMatrix Random(int rows, int cols, std::mt19937& gen, bool integers = false) {
    std::uniform_real_distribution<double> real(-10.0, 10.0);
    std::uniform_int_distribution<int> small(-3, 3);
    CMatrix m(rows, cols);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            m(i, j) = integers ? small(gen) : real(gen);
    return m;
}

// Equality to the bit (distinguishes -0.0 from 0.0, NaN payloads aside).
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

inline void ExpectOutOfRange(const std::function<void()>& f, int row, int col,
                             const std::string& msg) {
    try {
        f();
        ADD_FAILURE() << "no OutOfRange, expected " << msg;
    } catch (const mtxkit::OutOfRange& e) {
        EXPECT_EQ(e.m_strMsg, msg);
        EXPECT_EQ(e.m_nRow, row) << msg;
        EXPECT_EQ(e.m_nCol, col) << msg;
    }
}

inline void ExpectMisMatch(const std::function<void()>& f, const std::string& msg) {
    try {
        f();
        ADD_FAILURE() << "no MisMatch, expected " << msg;
    } catch (const mtxkit::MisMatch& e) {
        EXPECT_EQ(e.m_strMsg, msg);
    }
}

}  // namespace matrix_test

#endif  // RVN_TESTS_MATRIX_MATRIXTESTUTIL_H
