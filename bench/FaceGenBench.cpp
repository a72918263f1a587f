// Face generation from plan lines: C3DFace::GenFaceByLine against the literal half-edge walk
// that scans every half-edge at every step (the reference of the tests) and against GEOS's
// polygonizer (when it was found at configure time), on grid plans of 100 x 100 and
// 200 x 200 cells and on a realistic plan, lines shuffled and every other one reversed. The
// ratios are printed after the runs, each from timings of the same run (CPU time, the least
// of the repetitions: the machine is shared; the results are freed outside the timing). The
// peak heap of GenFaceByLine beyond its input is measured with a counting allocator.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "BaseCommon/faces/C3DFace.h"
#include "BaseCommon/faces/C3DFaceArray.h"
#include "BaseCommon/faces/C3DLineArray.h"
#include "faces/FaceWalkReference.h"
#include "faces/PlanFixtures.h"

#ifdef RVN_HAVE_GEOS
#include <geos_c.h>
#endif

// --- counting allocator ----------------------------------------------------------------------
// Every global new and delete of the process, the library's included, goes through these, so
// the live and peak byte counts cover all heap use made through operator new.

namespace {
std::atomic<long long> g_liveBytes{0};
std::atomic<long long> g_peakBytes{0};
constexpr size_t kHeader = alignof(std::max_align_t);

void* CountedAlloc(size_t n) {
    void* raw = std::malloc(n + kHeader);
    if (raw == nullptr)
        return nullptr;
    *static_cast<size_t*>(raw) = n;
    const long long live = g_liveBytes += static_cast<long long>(n);
    long long peak = g_peakBytes.load();
    while (live > peak && !g_peakBytes.compare_exchange_weak(peak, live)) {
    }
    return static_cast<char*>(raw) + kHeader;
}

void CountedFree(void* p) {
    if (p == nullptr)
        return;
    void* raw = static_cast<char*>(p) - kHeader;
    g_liveBytes -= static_cast<long long>(*static_cast<size_t*>(raw));
    std::free(raw);
}
}  // namespace

void* operator new(size_t n) {
    void* p = CountedAlloc(n);
    if (p == nullptr)
        throw std::bad_alloc();
    return p;
}
void* operator new[](size_t n) {
    return operator new(n);
}
void* operator new(size_t n, const std::nothrow_t&) noexcept {
    return CountedAlloc(n);
}
void* operator new[](size_t n, const std::nothrow_t&) noexcept {
    return CountedAlloc(n);
}
void operator delete(void* p) noexcept {
    CountedFree(p);
}
void operator delete[](void* p) noexcept {
    CountedFree(p);
}
void operator delete(void* p, size_t) noexcept {
    CountedFree(p);
}
void operator delete[](void* p, size_t) noexcept {
    CountedFree(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    CountedFree(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    CountedFree(p);
}

namespace {

// --- plans ------------------------------------------------------------------------------------

// A storey plan as drawn on n x n square cells at height z: about 8% of the inner lines left
// out (merged panels), a diagonal brace in about 5% of the cells and a short dangling line
// from about 3% of the nodes, each share scaled by `share`. End points are exact, so every
// polygonizer joins them.
inline std::vector<rvn_test::PlanLine> RealisticLines(int n, double pitch, uint64_t seed,
                                                      double share = 1.0, double z = 0.0) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    auto chance = [&](double p) { return u(rng) < p * share; };
    std::vector<rvn_test::PlanLine> v;
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= n; ++j) {
            const double x = i * pitch, y = j * pitch;
            if (i < n && !(j > 0 && j < n && chance(0.08)))
                v.push_back({{x, y, z}, {x + pitch, y, z}});
            if (j < n && !(i > 0 && i < n && chance(0.08)))
                v.push_back({{x, y, z}, {x, y + pitch, z}});
            if (i < n && j < n && chance(0.05))
                v.push_back({{x, y, z}, {x + pitch, y + pitch, z}});
            if (i < n && j < n && chance(0.03))
                v.push_back({{x, y, z}, {x + 0.3 * pitch, y + 0.2 * pitch, z}});
        }
    }
    return v;
}

// Every line of the n x n grid: n (n + 1) in each direction (20 200 lines for n = 100).
inline std::vector<rvn_test::PlanLine> GridLines(int n, double pitch, double z) {
    return RealisticLines(n, pitch, 0, 0.0, z);
}

enum PlanId { kGrid100, kGrid200, kRealistic100, kRealistic200, kPlanCount };
const char* const kPlanNames[kPlanCount] = {"grid100", "grid200", "realistic100", "realistic200"};

std::vector<rvn_test::PlanLine> PlanLines(int id) {
    switch (id) {
        case kGrid100:
            return GridLines(100, 3.0, 0.0);
        case kGrid200:
            return GridLines(200, 3.0, 0.0);
        case kRealistic100:
            return RealisticLines(100, 3.0, 7);
        default:
            return RealisticLines(200, 3.0, 7);
    }
}

// The same shuffled and half-reversed lines for every contender.
struct Plan {
    std::vector<rvn_test::PlanLine> lines;
    C3DLineArray array;
    explicit Plan(int id) {
        std::mt19937_64 rng(20240601);
        std::vector<rvn_test::PlanLine> v = PlanLines(id);
        std::shuffle(v.begin(), v.end(), rng);
        for (size_t i = 0; i < v.size(); i += 2)
            std::swap(v[i].a, v[i].b);
        lines = v;
        rvn_test::EmitLines(v, array, nullptr);
    }
    ~Plan() { array.DeepRemoveAll(); }
};

Plan& GetPlan(int id) {
    static std::unique_ptr<Plan> plans[kPlanCount];
    if (!plans[id])
        plans[id].reset(new Plan(id));
    return *plans[id];
}

// --- contenders ---------------------------------------------------------------------------------

// Each contender is timed making its faces; freeing them again is left out of the timing on
// both sides (it costs GenFaceByLine's caller about a quarter of the generation time).
void BM_GenFaceByLine(benchmark::State& state) {
    const C3DLineArray& lines = GetPlan(static_cast<int>(state.range(0))).array;
    int nFaces = 0;
    for (auto _ : state) {
        C3DFaceArray faces;
        C3DFace::GenFaceByLine(lines, faces);
        nFaces = faces.GetSize();
        state.PauseTiming();
        faces.DeepRemoveAll();
        state.ResumeTiming();
    }
    state.counters["lines"] = lines.GetSize();
    state.counters["faces"] = nFaces;
}

void BM_LiteralWalk(benchmark::State& state) {
    const C3DLineArray& lines = GetPlan(static_cast<int>(state.range(0))).array;
    int nFaces = 0;
    for (auto _ : state) {
        C3DFaceArray faces;
        rvn_test::ReferenceGenFaceByLine(lines, faces);
        nFaces = faces.GetSize();
        state.PauseTiming();
        faces.DeepRemoveAll();
        state.ResumeTiming();
    }
    state.counters["faces"] = nFaces;
}

#ifdef RVN_HAVE_GEOS
// GEOS joins only end points that are exactly equal; the plans' end points are exact.
void BM_GeosPolygonize(benchmark::State& state) {
    const Plan& plan = GetPlan(static_cast<int>(state.range(0)));
    GEOSContextHandle_t ctx = GEOS_init_r();
    std::vector<GEOSGeometry*> geoms;
    for (const rvn_test::PlanLine& l : plan.lines) {
        GEOSCoordSequence* seq = GEOSCoordSeq_create_r(ctx, 2, 2);
        GEOSCoordSeq_setXY_r(ctx, seq, 0, l.a[0], l.a[1]);
        GEOSCoordSeq_setXY_r(ctx, seq, 1, l.b[0], l.b[1]);
        geoms.push_back(GEOSGeom_createLineString_r(ctx, seq));
    }
    int nFaces = 0;
    for (auto _ : state) {
        GEOSGeometry* result =
            GEOSPolygonize_r(ctx, geoms.data(), static_cast<unsigned>(geoms.size()));
        nFaces = GEOSGetNumGeometries_r(ctx, result);
        state.PauseTiming();
        GEOSGeom_destroy_r(ctx, result);
        state.ResumeTiming();
    }
    for (GEOSGeometry* g : geoms)
        GEOSGeom_destroy_r(ctx, g);
    GEOS_finish_r(ctx);
    state.counters["faces"] = nFaces;
}
#endif

double MinOf(const std::vector<double>& v) {
    return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}

void Register() {
    for (int id = 0; id < kPlanCount; ++id) {
        const std::string plan = kPlanNames[id];
        benchmark::RegisterBenchmark(("GenFaceByLine/" + plan).c_str(), BM_GenFaceByLine)
            ->Arg(id)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(7)
            ->ComputeStatistics("min", MinOf)
            ->DisplayAggregatesOnly(true);
#ifdef RVN_HAVE_GEOS
        benchmark::RegisterBenchmark(("GeosPolygonize/" + plan).c_str(), BM_GeosPolygonize)
            ->Arg(id)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(3)
            ->ComputeStatistics("min", MinOf)
            ->DisplayAggregatesOnly(true);
#endif
    }
    // Quadratic: about two seconds at 100 x 100, so timed once.
    benchmark::RegisterBenchmark("LiteralWalk/grid100", BM_LiteralWalk)
        ->Arg(kGrid100)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
}

// Console output as usual; the least CPU time per iteration of every benchmark kept for the
// ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> cpuMs;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred)
                continue;
            const double ms =
                r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e3;
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "min")
                cpuMs[r.run_name.function_name] = ms;
            else if (r.run_type == Run::RT_Iteration && r.repetitions <= 1)
                cpuMs[r.run_name.function_name] = ms;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    double Get(const std::string& name) const {
        const auto it = cpuMs.find(name);
        return it == cpuMs.end() ? 0.0 : it->second;
    }
};

// Peak heap above what was live before the call, during GenFaceByLine on the given plan;
// also the part of it that the returned faces still hold.
void MeasureHeap(int id, double& peakMb, double& outputMb) {
    const C3DLineArray& lines = GetPlan(id).array;
    C3DFaceArray faces;
    const long long before = g_liveBytes.load();
    g_peakBytes.store(before);
    C3DFace::GenFaceByLine(lines, faces);
    peakMb = static_cast<double>(g_peakBytes.load() - before) / (1024.0 * 1024.0);
    outputMb = static_cast<double>(g_liveBytes.load() - before) / (1024.0 * 1024.0);
    faces.DeepRemoveAll();
}

void PrintSummary(const RatioReporter& rep) {
    std::printf("\nGenFaceByLine (least CPU time of the repetitions, ms):\n");
    for (int id = 0; id < kPlanCount; ++id)
        std::printf("  %-13s %8.2f\n", kPlanNames[id],
                    rep.Get(std::string("GenFaceByLine/") + kPlanNames[id]));
    const double g100 = rep.Get("GenFaceByLine/grid100");
    const double g200 = rep.Get("GenFaceByLine/grid200");
    const double literal = rep.Get("LiteralWalk/grid100");
    std::printf("\nRatios (aims in brackets):\n");
    if (g100 > 0 && literal > 0)
        std::printf("  literal walk / GenFaceByLine, grid100        %8.1f  [>= 100]\n",
                    literal / g100);
    if (g100 > 0)
        std::printf("  GenFaceByLine grid200 / grid100              %8.2f  [<= 7]\n", g200 / g100);
#ifdef RVN_HAVE_GEOS
    for (int id = 0; id < kPlanCount; ++id) {
        const std::string p = kPlanNames[id];
        const double ours = rep.Get("GenFaceByLine/" + p);
        const double geos = rep.Get("GeosPolygonize/" + p);
        if (ours > 0 && geos > 0)
            std::printf("  GEOS %s %s / GenFaceByLine, %-13s %8.1f  [>= 10]\n", GEOSversion(),
                        "polygonize", p.c_str(), geos / ours);
    }
#else
    std::printf("  (GEOS not found at configure time: no polygonizer anchor)\n");
#endif
    double peak = 0, output = 0;
    MeasureHeap(kGrid200, peak, output);
    std::printf(
        "\nHeap of GenFaceByLine on grid200 (%d lines), beyond the input:\n"
        "  peak %.2f MB  [<= 16]; the returned faces hold %.2f MB of it after the call\n",
        GetPlan(kGrid200).array.GetSize(), peak, output);
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
