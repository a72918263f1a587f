// Dense matrices: Det and Inverse against the plain recursive cofactor expansion, and MatInv
// and the product against Eigen (when it was found at configure time). The ratios are printed
// after the runs, each from timings of the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
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

// The cofactor expansion along the first row, recursing on column lists instead of copied
// minors: the straightforward n! algorithm without its allocation cost.
double RecursiveDet(const std::vector<double>& a, int n, int row, std::vector<int>& cols) {
    const int k = static_cast<int>(cols.size());
    if (k == 1)
        return a[row * n + cols[0]];
    if (k == 2)
        return a[row * n + cols[0]] * a[(row + 1) * n + cols[1]] -
               a[row * n + cols[1]] * a[(row + 1) * n + cols[0]];
    double sum = 0.0;
    double sign = 1.0;
    for (int p = 0; p < k; ++p) {
        const int c = cols[p];
        cols.erase(cols.begin() + p);
        sum += sign * a[row * n + c] * RecursiveDet(a, n, row + 1, cols);
        cols.insert(cols.begin() + p, c);
        sign = -sign;
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
    for (auto _ : state) {
        std::vector<int> cols;
        for (int c = 0; c < n; ++c)
            cols.push_back(c);
        benchmark::DoNotOptimize(RecursiveDet(a, n, 0, cols));
    }
}

// n^2 minors, each by the recursive expansion, then scaled by 1/det: the adjugate inverse.
void BM_RecursiveInverse(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> a = Flat(RandomMatrix(n, 2));
    for (auto _ : state) {
        std::vector<int> all;
        for (int c = 0; c < n; ++c)
            all.push_back(c);
        const double d = RecursiveDet(a, n, 0, all);
        std::vector<double> inv(static_cast<size_t>(n * n));
        std::vector<double> minor(static_cast<size_t>((n - 1) * (n - 1)));
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                for (int r = 0, mr = 0; r < n; ++r) {
                    if (r == i)
                        continue;
                    for (int c = 0, mc = 0; c < n; ++c)
                        if (c != j)
                            minor[mr * (n - 1) + mc++] = a[r * n + c];
                    ++mr;
                }
                std::vector<int> cols;
                for (int c = 0; c < n - 1; ++c)
                    cols.push_back(c);
                const double sign = (i + j) % 2 ? -1.0 : 1.0;
                inv[j * n + i] = sign * RecursiveDet(minor, n - 1, 0, cols) * (1.0 / d);
            }
        benchmark::DoNotOptimize(inv.data());
    }
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

BENCHMARK(BM_Det)->DenseRange(3, 14)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Inverse)->DenseRange(3, 14)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecursiveDet)->DenseRange(9, 10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecursiveInverse)->DenseRange(9, 10)->Unit(benchmark::kMicrosecond);
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
        "\nDet / Inverse against the recursive expansion at order 10 (speed-up, "
        "target >= 1000 from order 10 on):\n");
    const double det10 = rep.Get("BM_RecursiveDet/10");
    const double inv10 = rep.Get("BM_RecursiveInverse/10");
    for (int n = 10; n <= 14; ++n) {
        const std::string o = std::to_string(n);
        const double d = rep.Get("BM_Det/" + o);
        const double v = rep.Get("BM_Inverse/" + o);
        if (d > 0 && v > 0 && det10 > 0 && inv10 > 0)
            std::printf("  order %2d: Det %10.0fx   Inverse %10.0fx\n", n, det10 / d, inv10 / v);
    }
    const double det9 = rep.Get("BM_RecursiveDet/9");
    const double inv9 = rep.Get("BM_RecursiveInverse/9");
    if (det9 > 0 && inv9 > 0 && rep.Get("BM_Det/9") > 0 && rep.Get("BM_Inverse/9") > 0)
        std::printf("  order  9 against order 9: Det %.0fx   Inverse %.0fx\n",
                    det9 / rep.Get("BM_Det/9"), inv9 / rep.Get("BM_Inverse/9"));
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

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
