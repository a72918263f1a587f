// Dense matrices: Det and Inverse against the plain recursive cofactor expansion (and checked
// against it to the bit, which sets the exit status), and MatInv and the product against
// Eigen (when it was found at configure time). The ratios are printed after the runs, each
// from timings of the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "BaseCommon/matrix/CMatrix.h"

#ifdef RVN_HAVE_EIGEN
#include <Eigen/Dense>
#endif

namespace {

// Diagonally dominant, so inverting back and forth stays well conditioned.
CMatrix RandomMatrix(int n, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    CMatrix m(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            m(i, j) = u(gen) + (i == j ? n : 0.0);
    return m;
}

// The cofactor expansion along the first row, written out recursively on lists of columns
// (rows row, row + 1, ... of the row-major n x n a): the straightforward (k!) algorithm
// without the cost of copying minors, and the same operations in the same order as the
// expansion that Det evaluates.
double RecursiveDet(const double* a, int n, int row, const int* cols, int k) {
    const double* top = a + row * n;
    if (k == 1)
        return top[cols[0]];
    if (k == 2)
        return top[cols[0]] * top[n + cols[1]] - top[cols[1]] * top[n + cols[0]];
    double sum = 0.0;
    double sign = 1.0;
    int sub[32];
    for (int p = 0; p < k; ++p, sign = -sign) {
        for (int q = 0; q < k - 1; ++q)
            sub[q] = cols[q < p ? q : q + 1];
        sum += sign * top[cols[p]] * RecursiveDet(a, n, row + 1, sub, k - 1);
    }
    return sum;
}

std::vector<double> Flat(const CMatrix& m) {
    std::vector<double> v;
    for (int i = 0; i < m.GetRow(); ++i)
        for (int j = 0; j < m.GetCol(); ++j)
            v.push_back(m(i, j));
    return v;
}

double RecursiveDet(const std::vector<double>& a, int n) {
    std::vector<int> cols(static_cast<size_t>(n));
    for (int c = 0; c < n; ++c)
        cols[static_cast<size_t>(c)] = c;
    return RecursiveDet(a.data(), n, 0, cols.data(), n);
}

// n^2 minors, each copied out and expanded recursively, then the adjugate scaled by 1/det:
// the written inverse, row-major.
std::vector<double> RecursiveInverse(const std::vector<double>& a, int n) {
    const double d = RecursiveDet(a, n);
    std::vector<double> inv(static_cast<size_t>(n * n));
    std::vector<double> minor(static_cast<size_t>((n - 1) * (n - 1)));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            size_t m = 0;
            for (int r = 0; r < n; ++r)
                for (int c = 0; c < n; ++c)
                    if (r != i && c != j)
                        minor[m++] = a[static_cast<size_t>(r * n + c)];
            const double sign = (i + j) % 2 ? -1.0 : 1.0;
            inv[static_cast<size_t>(j * n + i)] = sign * RecursiveDet(minor, n - 1) * (1.0 / d);
        }
    return inv;
}

void BM_Det(benchmark::State& state) {
    const CMatrix m = RandomMatrix(static_cast<int>(state.range(0)), 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(m.Det());
}

void BM_Inverse(benchmark::State& state) {
    const CMatrix m = RandomMatrix(static_cast<int>(state.range(0)), 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(m.Inverse());
}

void BM_RecursiveDet(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> a = Flat(RandomMatrix(n, 1));
    for (auto _ : state)
        benchmark::DoNotOptimize(RecursiveDet(a, n));
}

// The last recursive inverse of each order, kept for the bitwise check after the runs (at
// order 12 it costs a minute).
std::map<int, std::vector<double>> g_recursiveInverse;

void BM_RecursiveInverse(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> a = Flat(RandomMatrix(n, 2));
    std::vector<double> inv;
    for (auto _ : state) {
        inv = RecursiveInverse(a, n);
        benchmark::DoNotOptimize(inv.data());
    }
    g_recursiveInverse[n] = inv;
}

// Inverting in place each round: the matrix alternates between A and its inverse.
void BM_MatInv(benchmark::State& state) {
    CMatrix m = RandomMatrix(static_cast<int>(state.range(0)), 3);
    for (auto _ : state) {
        benchmark::DoNotOptimize(m.MatInv());
        benchmark::ClobberMemory();
    }
}

void BM_Product(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const CMatrix a = RandomMatrix(n, 4);
    const CMatrix b = RandomMatrix(n, 5);
    for (auto _ : state)
        benchmark::DoNotOptimize(a * b);
}

#ifdef RVN_HAVE_EIGEN
Eigen::MatrixXd ToEigen(const CMatrix& m) {
    Eigen::MatrixXd e(m.GetRow(), m.GetCol());
    for (int i = 0; i < m.GetRow(); ++i)
        for (int j = 0; j < m.GetCol(); ++j)
            e(i, j) = m(i, j);
    return e;
}

void BM_EigenInverse(benchmark::State& state) {
    Eigen::MatrixXd m = ToEigen(RandomMatrix(static_cast<int>(state.range(0)), 3));
    for (auto _ : state) {
        m = m.inverse().eval();
        benchmark::DoNotOptimize(m.data());
        benchmark::ClobberMemory();
    }
}

void BM_EigenProduct(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const Eigen::MatrixXd a = ToEigen(RandomMatrix(n, 4));
    const Eigen::MatrixXd b = ToEigen(RandomMatrix(n, 5));
    for (auto _ : state) {
        Eigen::MatrixXd c = a * b;
        benchmark::DoNotOptimize(c.data());
    }
}
#endif

const std::vector<int64_t> kAnchorOrders = {4, 12, 100, 256};

void Orders(benchmark::internal::Benchmark* b, const std::vector<int64_t>& orders) {
    for (int64_t n : orders)
        b->Arg(n);
}

// Orders 17 and 100: the completely pivoted LU that takes over above the expansion.
BENCHMARK(BM_Det)->DenseRange(3, 17)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Inverse)->DenseRange(3, 17)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecursiveDet)->DenseRange(10, 12)->Unit(benchmark::kMillisecond);
// The recursive inverse of order 12 takes 144 expansions of order 11: seconds per round.
BENCHMARK(BM_RecursiveInverse)->DenseRange(10, 11)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecursiveInverse)->Arg(12)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatInv)->Apply([](auto* b) { Orders(b, kAnchorOrders); })
    -> Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Product)
    ->Apply([](auto* b) { Orders(b, kAnchorOrders); }) -> Unit(benchmark::kMicrosecond);
#ifdef RVN_HAVE_EIGEN
BENCHMARK(BM_EigenInverse)
    ->Apply([](auto* b) { Orders(b, kAnchorOrders); }) -> Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EigenProduct)
    ->Apply([](auto* b) { Orders(b, kAnchorOrders); }) -> Unit(benchmark::kMicrosecond);
#endif

// Console output as usual, and the CPU time per iteration of every benchmark kept for the
// ratios: the median when repetitions are asked for, else the single run. CPU time rather
// than wall time, because these machines are shared and a preempted run inflates wall time.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred)
                continue;
            const double ns =
                r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e9;
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                m_median[r.run_name.str()] = ns;
            else if (r.run_type == Run::RT_Iteration)
                m_single[r.benchmark_name()] = ns;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // 0 when the benchmark did not run (filtered out).
    double Get(const std::string& name) const {
        const auto m = m_median.find(name);
        if (m != m_median.end())
            return m->second;
        const auto s = m_single.find(name);
        return s == m_single.end() ? 0.0 : s->second;
    }

private:
    std::map<std::string, double> m_median;
    std::map<std::string, double> m_single;
};

void PrintRatios(const RatioReporter& rep) {
    std::printf(
        "\nDet / Inverse against the recursive expansion of the same order (speed-up, aim "
        ">= 1000):\n");
    for (int n = 10; n <= 12; ++n) {
        const std::string o = "/" + std::to_string(n);
        const double d = rep.Get("BM_Det" + o), rd = rep.Get("BM_RecursiveDet" + o);
        const double v = rep.Get("BM_Inverse" + o);
        double rv = rep.Get("BM_RecursiveInverse" + o);
        if (rv == 0.0)
            rv = rep.Get("BM_RecursiveInverse" + o + "/iterations:1");
        if (d > 0 && rd > 0)
            std::printf("  order %2d: Det %10.0fx", n, rd / d);
        if (v > 0 && rv > 0)
            std::printf("   Inverse %10.0fx", rv / v);
        if ((d > 0 && rd > 0) || (v > 0 && rv > 0))
            std::printf("\n");
    }
#ifdef RVN_HAVE_EIGEN
    std::printf(
        "\nAgainst Eigen %d.%d.%d (time ratio ours / Eigen; aims: MatInv <= 2, "
        "product <= 3 at 256):\n",
        EIGEN_WORLD_VERSION, EIGEN_MAJOR_VERSION, EIGEN_MINOR_VERSION);
    for (int64_t n : kAnchorOrders) {
        const std::string o = std::to_string(n);
        const double inv = rep.Get("BM_MatInv/" + o);
        const double eigenInv = rep.Get("BM_EigenInverse/" + o);
        const double prod = rep.Get("BM_Product/" + o);
        const double eigenProd = rep.Get("BM_EigenProduct/" + o);
        if (inv > 0 && eigenInv > 0 && prod > 0 && eigenProd > 0)
            std::printf("  order %3d: MatInv / inverse() %5.2f   operator* / product %5.2f\n",
                        static_cast<int>(n), inv / eigenInv, prod / eigenProd);
    }
#else
    std::printf("\nEigen was not found: no anchor for MatInv and the product.\n");
#endif
}

// The timings above compare like with like only if the two give the same numbers: Det and
// Inverse against the recursive expansion at orders 10 to 12, to the bit. A difference makes
// the program fail.
int CheckSameBits() {
    int failures = 0;
    for (int n = 10; n <= 12; ++n) {
        const CMatrix m = RandomMatrix(n, 2);
        const std::vector<double> a = Flat(m);
        const double d = m.Det(), rd = RecursiveDet(a, n);
        if (std::memcmp(&d, &rd, sizeof d) != 0) {
            std::printf("order %d: Det %.17g, recursive expansion %.17g\n", n, d, rd);
            ++failures;
        }
        // Order 12 only when its benchmark ran (a filtered run leaves it to the unit tests).
        const auto kept = g_recursiveInverse.find(n);
        if (kept == g_recursiveInverse.end() && n == 12)
            continue;
        const std::vector<double> inv = Flat(m.Inverse());
        const std::vector<double> rinv =
            kept != g_recursiveInverse.end() ? kept->second : RecursiveInverse(a, n);
        if (std::memcmp(inv.data(), rinv.data(), inv.size() * sizeof(double)) != 0) {
            std::printf("order %d: Inverse differs from the adjugate by recursive expansion\n", n);
            ++failures;
        }
    }
    std::printf("\nBitwise check against the recursive expansion, orders 10-12: %s\n",
                failures == 0 ? "same bits" : "DIFFERENT");
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    return CheckSameBits();
}
