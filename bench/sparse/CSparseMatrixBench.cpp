// Skyline LDLT on grid Laplacians in natural ordering (full band b), against a literal
// row-by-row factorisation (a division in every term), OpenBLAS dpbtrf / dpbtrs on one thread
// and Eigen's SimplicialLDLT with natural ordering. Every contender is timed inside the same
// benchmark on the same matrix, so the ratios hold even when the shared machine is noisy.
//
// GFLOP/s use flops = 2 * sum_i sum_{j = m_i + 1 .. i} (j - max(m_i, m_j)) for every
// contender (the multiply-adds of the recurrence), so the rates compare times directly.
//
// Ceilings, measured first in the same run: the one-core FMA peak with 256-bit vectors and,
// where the processor and the OS support AVX-512, with 512-bit vectors (Ceiling/fma*), and
// OpenBLAS dgemm at n = 2000 on one thread (Ceiling/dgemm_n2000, the practical ceiling of a
// blocked factorisation). Factor/* reports its rate as fractions of them (frac_peak256,
// frac_peak512, frac_dgemm). FactorWide/* factorises a natural-order grid of band 10 000, whose
// rows no longer fit any cache, against the band-400 grid timed beside it (x_b400).
//
// OpenBLAS picks its kernels by OPENBLAS_CORETYPE when set (this environment sets Haswell, and
// an L2 size). On a processor with AVX-512 run the program a second time with
// `env -u OPENBLAS_L2_SIZE OPENBLAS_CORETYPE=SkylakeX` to measure dgemm and dpbtrf with their
// AVX-512 kernels; the context line openblas_core names the kernels a run used.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "BaseCommon/matrix/CMatrix.h"
#include "BaseCommon/sparse/CSparseMatrix.h"
#include "BaseCommon/sparse/SkylineKernel.h"
#include "sparse/FmaPeak.h"

#ifdef RVN_BENCH_HAVE_OPENBLAS
extern "C" {
void dpbtrf_(const char* uplo, const int* n, const int* kd, double* ab, const int* ldab, int* info);
void dpbtrs_(const char* uplo, const int* n, const int* kd, const int* nrhs, const double* ab,
             const int* ldab, double* b, const int* ldb, int* info);
void dgemm_(const char* ta, const char* tb, const int* m, const int* n, const int* k,
            const double* alpha, const double* a, const int* lda, const double* b, const int* ldb,
            const double* beta, double* c, const int* ldc);
void openblas_set_num_threads(int);
char* openblas_get_corename(void);
}
#endif

#ifdef RVN_BENCH_HAVE_EIGEN
#include <Eigen/OrderingMethods>
#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#endif

namespace {

// Thread CPU time: on a machine shared with other work, time spent descheduled is not
// charged to whichever contender happened to be running.
struct Clock {
    using time_point = double;
    static double now() {
        timespec ts;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
    }
};

double Seconds(double a, double b) {
    return b - a;
}

// A grid Laplacian: 5-point on nx x ny (band nx) or 7-point on nx x ny x nz (band nx * ny),
// stored in the full band (the natural-ordering envelope).
struct Grid {
    const char* name;
    int nx, ny, nz;
    int Band() const { return nz > 1 ? nx * ny : nx; }
    int Order() const { return nx * ny * nz; }
};

// A CMatrix holds at most 4096 rows, so the many-right-hand-side cases are smaller grids.
const Grid kManyGrids[] = {
    {"2d_n4000_b50", 50, 80, 1},
    {"2d_n4000_b200", 200, 20, 1},
    {"3d_n4000_b400", 20, 20, 10},
};

const Grid kGrids[] = {
    {"2d_n20000_b50", 50, 400, 1},
    {"2d_n40000_b200", 200, 200, 1},
    {"2d_n30000_b300", 300, 100, 1},
    {"3d_n20000_b400", 20, 20, 50},
};

struct Problem {
    int n = 0, b = 0;
    std::vector<int> D;
    std::vector<double> values;  // the assembled matrix in skyline order
    double flops = 0.0;

    int First(int i) const { return i == 0 ? 0 : i + 1 - (D[i] - D[i - 1]); }
    double& At(int i, int j) { return values[D[i] - (i - j)]; }  // j <= i inside the band
};

Problem Build(const Grid& g) {
    Problem p;
    p.n = g.Order();
    p.b = g.Band();
    p.D.resize(p.n);
    for (int i = 0; i < p.n; ++i)
        p.D[i] = i == 0 ? 0 : p.D[i - 1] + std::min(i, p.b) + 1;
    p.values.assign(p.D[p.n - 1] + 1, 0.0);
    const int plane = g.nx * g.ny;
    for (int i = 0; i < p.n; ++i) {
        const int x = i % g.nx, y = (i / g.nx) % g.ny;
        p.At(i, i) = g.nz > 1 ? 6.0 : 4.0;
        if (x > 0)
            p.At(i, i - 1) = -1.0;
        if (y > 0)
            p.At(i, i - g.nx) = -1.0;
        if (g.nz > 1 && i >= plane)
            p.At(i, i - plane) = -1.0;
    }
    for (int i = 1; i < p.n; ++i) {
        const int mi = p.First(i);
        for (int j = mi + 1; j <= i; ++j)
            p.flops += 2.0 * (j - std::max(mi, p.First(j)));
    }
    return p;
}

void Load(CSparseMatrix& m, const Problem& p) {
    m.ElementBufEmpty();
    m = 0.0;
    std::memcpy(m.m_pdElement, p.values.data(), sizeof(double) * p.values.size());
}

// The literal recurrence, kept as the reference the blocked kernels are measured against.
void LiteralFactor(std::vector<double>& E, const Problem& p) {
    for (int i = 1; i < p.n; ++i) {
        for (int j = p.First(i) + 1; j <= i; ++j) {
            double s = 0.0;
            for (int k = std::max(p.First(i), p.First(j)); k < j; ++k)
                s += E[p.D[i] - (i - k)] * E[p.D[j] - (j - k)] / E[p.D[k]];
            E[p.D[i] - (i - j)] -= s;
        }
    }
}

double TimeFactor(CSparseMatrix& m, const Problem& p, rvn::SkylineKernel k) {
    rvn::SetSkylineKernel(k);
    Load(m, p);
    const auto t0 = Clock::now();
    const int ok = m.Decomposition(p.n);
    const auto t1 = Clock::now();
    rvn::SetSkylineKernel(rvn::SkylineKernel::Auto);
    if (!ok)
        std::fprintf(stderr, "factorisation failed\n");
    return Seconds(t0, t1);
}

#ifdef RVN_BENCH_HAVE_OPENBLAS
// Band storage of the upper triangle: column j holds rows j - kd .. j, which is our row j.
void LoadBand(std::vector<double>& ab, const Problem& p) {
    const int ld = p.b + 1;
    ab.assign(static_cast<size_t>(ld) * p.n, 0.0);
    for (int j = 0; j < p.n; ++j) {
        const int m = p.First(j);
        for (int i = m; i <= j; ++i)
            ab[static_cast<size_t>(j) * ld + p.b - (j - i)] = p.values[p.D[j] - (j - i)];
    }
}

double TimeDpbtrf(std::vector<double>& ab, const Problem& p) {
    LoadBand(ab, p);
    const int ld = p.b + 1;
    int info = 0;
    const auto t0 = Clock::now();
    dpbtrf_("U", &p.n, &p.b, ab.data(), &ld, &info);
    const auto t1 = Clock::now();
    if (info != 0)
        std::fprintf(stderr, "dpbtrf info %d\n", info);
    return Seconds(t0, t1);
}
#endif

void SetRate(benchmark::State& st, const char* name, double flops, double seconds) {
    st.counters[name] = benchmark::Counter(seconds > 0 ? flops / seconds * 1e-9 : 0.0);
}

// ---------------------------------------------------------------------------------------------
// Ceilings (GFLOP/s), filled by the Ceiling benchmarks, which run first.

struct Ceilings {
    double peak256 = 0, peak512 = 0, dgemm = 0;
} gCeil;

bool HasAvx512() {
    const bool has = rvn::SetSkylineKernel(rvn::SkylineKernel::Avx512);
    rvn::SetSkylineKernel(rvn::SkylineKernel::Auto);
    return has;
}

void PeakLoop(benchmark::State& st, bool wide) {
    const long iters = 20000000;
    double best = 0, sink = 0;
    for (auto _ : st) {
        const auto t0 = Clock::now();
        sink += wide ? fmapeak::Loop512(iters) : fmapeak::Loop256(iters);
        const double t = Seconds(t0, Clock::now());
        st.SetIterationTime(t);
        const double flops =
            static_cast<double>(wide ? fmapeak::Flops512(iters) : fmapeak::Flops256(iters));
        best = std::max(best, flops / t * 1e-9);
    }
    benchmark::DoNotOptimize(sink);
    (wide ? gCeil.peak512 : gCeil.peak256) = best;
    st.counters["GF_peak"] = best;
}

#ifdef RVN_BENCH_HAVE_OPENBLAS
void Dgemm(benchmark::State& st) {
    const int n = 2000;
    std::vector<double> a(static_cast<size_t>(n) * n), b(a.size()), c(a.size(), 0.0);
    for (size_t e = 0; e < a.size(); ++e) {
        a[e] = 1.0 / (1.0 + static_cast<double>(e % 97));
        b[e] = 1.0 / (2.0 + static_cast<double>(e % 89));
    }
    const double one = 1.0, zero = 0.0;
    double best = 0;
    for (auto _ : st) {
        const auto t0 = Clock::now();
        dgemm_("N", "N", &n, &n, &n, &one, a.data(), &n, b.data(), &n, &zero, c.data(), &n);
        const double t = Seconds(t0, Clock::now());
        st.SetIterationTime(t);
        best = std::max(best, 2.0 * n * n * static_cast<double>(n) / t * 1e-9);
    }
    gCeil.dgemm = best;
    st.counters["GF_dgemm"] = best;
}
#endif

// Our rate as fractions of the ceilings measured in this run.
void SetFractions(benchmark::State& st, double gf) {
    if (gCeil.peak256 > 0)
        st.counters["frac_peak256"] = gf / gCeil.peak256;
    if (gCeil.peak512 > 0)
        st.counters["frac_peak512"] = gf / gCeil.peak512;
    if (gCeil.dgemm > 0)
        st.counters["frac_dgemm"] = gf / gCeil.dgemm;
}

// ---------------------------------------------------------------------------------------------

void Factor(benchmark::State& st, const Grid& g) {
    const Problem p = Build(g);
    CSparseMatrix m(p.n, p.D.data());
    std::vector<double> ab;
    double tBest = 0, tBase = 0, tBand = 0;
    for (auto _ : st) {
        const double t = TimeFactor(m, p, rvn::BestSkylineKernel());
        st.SetIterationTime(t);
        tBest += t;
        tBase += TimeFactor(m, p, rvn::SkylineKernel::Baseline);
#ifdef RVN_BENCH_HAVE_OPENBLAS
        tBand += TimeDpbtrf(ab, p);
#endif
    }
    const double it = static_cast<double>(st.iterations());
    SetRate(st, "GF_ours", p.flops, tBest / it);
    SetFractions(st, p.flops / (tBest / it) * 1e-9);
    SetRate(st, "GF_baseline", p.flops, tBase / it);
#ifdef RVN_BENCH_HAVE_OPENBLAS
    SetRate(st, "GF_dpbtrf", p.flops, tBand / it);
    st.counters["x_dpbtrf"] = tBand / tBest;
#endif
    st.counters["x_baseline"] = tBase / tBest;
}

// A band far beyond every cache (rows of 80 kB, the band's rows 800 MB) against the band-400
// grid timed beside it: the blocked factorisation should keep its rate as the band grows.
void FactorWide(benchmark::State& st, const Grid& g) {
    const Problem p = Build(g);
    const Problem ref = Build(kGrids[3]);
    CSparseMatrix m(p.n, p.D.data()), mr(ref.n, ref.D.data());
    for (auto _ : st) {
        const double t = TimeFactor(m, p, rvn::BestSkylineKernel());
        st.SetIterationTime(t);
        double tRef = 1e300;
        for (int r = 0; r < 3; ++r)
            tRef = std::min(tRef, TimeFactor(mr, ref, rvn::BestSkylineKernel()));
        SetRate(st, "GF_ours", p.flops, t);
        SetRate(st, "GF_b400", ref.flops, tRef);
        SetFractions(st, p.flops / t * 1e-9);
        st.counters["x_b400"] = (p.flops / t) / (ref.flops / tRef);
    }
}

const Grid kWideGrid = {"2d_n20000_b10000", 10000, 2, 1};

// The literal version runs once (a second or two); ours runs in the same benchmark.
void FactorVsLiteral(benchmark::State& st, const Grid& g) {
    const Problem p = Build(g);
    CSparseMatrix m(p.n, p.D.data());
    for (auto _ : st) {
        std::vector<double> ref = p.values;
        const auto t0 = Clock::now();
        LiteralFactor(ref, p);
        const double tLit = Seconds(t0, Clock::now());
        double tBest = 1e300;
        for (int r = 0; r < 3; ++r)
            tBest = std::min(tBest, TimeFactor(m, p, rvn::BestSkylineKernel()));
        st.SetIterationTime(tLit);
        double worst = 0.0;
        for (int i = 0; i < p.n; ++i) {
            for (int j = p.First(i); j <= i; ++j) {
                const double want = ref[p.D[i] - (i - j)];
                const double scale =
                    std::max(std::fabs(want), std::sqrt(ref[p.D[i]] * ref[p.D[j]]));
                worst = std::max(worst, std::fabs(m.m_pdElement[p.D[i] - (i - j)] - want) / scale);
            }
        }
        SetRate(st, "GF_literal", p.flops, tLit);
        SetRate(st, "GF_ours", p.flops, tBest);
        st.counters["x_literal"] = tLit / tBest;
        st.counters["maxrel"] = worst;
    }
}

#ifdef RVN_BENCH_HAVE_EIGEN
void FactorEigen(benchmark::State& st, const Grid& g) {
    const Problem p = Build(g);
    std::vector<Eigen::Triplet<double>> trip;
    for (int i = 0; i < p.n; ++i) {
        for (int j = p.First(i); j <= i; ++j) {
            const double v = p.values[p.D[i] - (i - j)];
            if (v != 0.0)
                trip.emplace_back(i, j, v);
        }
    }
    Eigen::SparseMatrix<double> a(p.n, p.n);
    a.setFromTriplets(trip.begin(), trip.end());
    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>, Eigen::Lower, Eigen::NaturalOrdering<int>>
        ldlt;
    ldlt.analyzePattern(a);
    CSparseMatrix m(p.n, p.D.data());
    double tEigen = 0, tBest = 0;
    for (auto _ : st) {
        const auto t0 = Clock::now();
        ldlt.factorize(a);
        const double t = Seconds(t0, Clock::now());
        st.SetIterationTime(t);
        tEigen += t;
        tBest += TimeFactor(m, p, rvn::BestSkylineKernel());
    }
    const double it = static_cast<double>(st.iterations());
    SetRate(st, "GF_eigen", p.flops, tEigen / it);
    st.counters["x_eigen"] = tEigen / tBest;
}
#endif

// One right-hand side on factors made once.
void Solve(benchmark::State& st, const Grid& g) {
    const Problem p = Build(g);
    CSparseMatrix m(p.n, p.D.data());
    TimeFactor(m, p, rvn::BestSkylineKernel());
    std::vector<double> rhs(p.n), x(p.n);
    for (int i = 0; i < p.n; ++i)
        rhs[i] = 1.0 + (i % 7);
#ifdef RVN_BENCH_HAVE_OPENBLAS
    std::vector<double> ab;
    TimeDpbtrf(ab, p);
    const int ld = p.b + 1, one = 1;
#endif
    double tOurs = 0, tBand = 0;
    for (auto _ : st) {
        x = rhs;
        auto t0 = Clock::now();
        m.LdltSolve(p.n, x.data());
        const double t = Seconds(t0, Clock::now());
        st.SetIterationTime(t);
        tOurs += t;
#ifdef RVN_BENCH_HAVE_OPENBLAS
        x = rhs;
        int info = 0;
        t0 = Clock::now();
        dpbtrs_("U", &p.n, &p.b, &one, ab.data(), &ld, x.data(), &p.n, &info);
        tBand += Seconds(t0, Clock::now());
#endif
    }
    st.counters["x_dpbtrs"] = tBand / tOurs;
}

// Many right-hand sides (load cases) in one CMatrix, against the same columns solved one by
// one through the one-vector solve and against dpbtrs with all of them.
void SolveMany(benchmark::State& st, const Grid& g) {
    const int nrhs = 32;
    const Problem p = Build(g);
    CSparseMatrix m(p.n, p.D.data());
    TimeFactor(m, p, rvn::BestSkylineKernel());
    CMatrix rhs(p.n, nrhs);
    for (int i = 0; i < p.n; ++i)
        for (int c = 0; c < nrhs; ++c)
            rhs(i, c) = 1.0 + ((i + 3 * c) % 11);
    std::vector<double> col(p.n);
#ifdef RVN_BENCH_HAVE_OPENBLAS
    std::vector<double> ab, cm(static_cast<size_t>(p.n) * nrhs);
    TimeDpbtrf(ab, p);
    const int ld = p.b + 1;
#endif
    double tMany = 0, tOne = 0, tBand = 0;
    for (auto _ : st) {
        CMatrix x(rhs);
        auto t0 = Clock::now();
        m.LdltSolve(p.n, x);
        const double t = Seconds(t0, Clock::now());
        st.SetIterationTime(t);
        tMany += t;
        t0 = Clock::now();
        for (int c = 0; c < nrhs; ++c) {
            for (int i = 0; i < p.n; ++i)
                col[i] = rhs(i, c);
            m.LdltSolve(p.n, col.data());
            for (int i = 0; i < p.n; ++i)
                x(i, c) = col[i];
        }
        tOne += Seconds(t0, Clock::now());
#ifdef RVN_BENCH_HAVE_OPENBLAS
        for (int c = 0; c < nrhs; ++c)
            for (int i = 0; i < p.n; ++i)
                cm[static_cast<size_t>(c) * p.n + i] = rhs(i, c);
        int info = 0;
        t0 = Clock::now();
        dpbtrs_("U", &p.n, &p.b, &nrhs, ab.data(), &ld, cm.data(), &p.n, &info);
        tBand += Seconds(t0, Clock::now());
#endif
    }
    st.counters["x_one_by_one"] = tOne / tMany;
#ifdef RVN_BENCH_HAVE_OPENBLAS
    st.counters["x_dpbtrs"] = tBand / tMany;
#endif
}

void Register() {
    benchmark::RegisterBenchmark("Ceiling/fma256", PeakLoop, false)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    if (HasAvx512()) {
        benchmark::RegisterBenchmark("Ceiling/fma512", PeakLoop, true)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
    }
#ifdef RVN_BENCH_HAVE_OPENBLAS
    benchmark::RegisterBenchmark("Ceiling/dgemm_n2000", Dgemm)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
#endif
    benchmark::RegisterBenchmark((std::string("FactorWide/") + kWideGrid.name).c_str(), FactorWide,
                                 kWideGrid)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    for (const Grid& g : kGrids) {
        benchmark::RegisterBenchmark((std::string("Factor/") + g.name).c_str(), Factor, g)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0);
        benchmark::RegisterBenchmark((std::string("FactorVsLiteral/") + g.name).c_str(),
                                     FactorVsLiteral, g)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
#ifdef RVN_BENCH_HAVE_EIGEN
        benchmark::RegisterBenchmark((std::string("FactorEigen/") + g.name).c_str(), FactorEigen, g)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2);
#endif
        benchmark::RegisterBenchmark((std::string("Solve/") + g.name).c_str(), Solve, g)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5);
    }
}

void RegisterMany() {
    for (const Grid& g : kManyGrids) {
        benchmark::RegisterBenchmark((std::string("SolveMany32/") + g.name).c_str(), SolveMany, g)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5);
    }
}

std::string CpuName() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("model name", 0) == 0)
            return line.substr(line.find(':') + 2);
    }
    return "unknown";
}

}  // namespace

int main(int argc, char** argv) {
#ifdef RVN_BENCH_HAVE_OPENBLAS
    openblas_set_num_threads(1);
    benchmark::AddCustomContext("openblas_core", openblas_get_corename());
#endif
    benchmark::AddCustomContext("processor", CpuName());
    benchmark::AddCustomContext("skyline_kernel", rvn::SkylineKernelName(rvn::BestSkylineKernel()));
    Register();
    RegisterMany();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
