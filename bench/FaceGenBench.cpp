// Panels from plan lines, like against like: rvn::GenPanelsByLine (every bounded face, with
// holes) against GEOS's polygonizer and CGAL's 2-D arrangement, which find the same faces
// (each compiled in only when found at configure time; the panel count, and with GEOS the
// total area, are checked against ours); C3DFace::GenFaceByLine against the literal half-edge
// walk that scans every half-edge at every step (the reference of the tests), and against
// GEOS as before. Plans: grids of 100 x 100 and 200 x 200 cells, realistic storeys of both
// sizes, and a storey of L-shaped bays; lines shuffled and every other one reversed. The
// ratios are printed after the runs, each from timings of the same run: every contender is
// timed on single calls, the same number of them, with the calls of all contenders
// interleaved in random order (unless --benchmark_enable_random_interleaving=false is given),
// so that slow and fast phases of a shared machine fall on all sides alike; a ratio is of the
// least CPU times (the median's ratio is printed beside it). Results are freed outside the
// timing, the heap settled after them (see SettleHeap). The peak heap of both functions beyond
// their input is measured afterwards with a counting allocator, which counts nothing while the
// contenders are timed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cmath>
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
#include "BaseCommon/faces/PlanPanels.h"
#include "faces/FaceWalkReference.h"
#include "faces/PlanFixtures.h"

#ifdef RVN_HAVE_GEOS
#include <geos_c.h>
#endif
#ifdef RVN_HAVE_CGAL
#include <CGAL/Arr_segment_traits_2.h>
#include <CGAL/Arrangement_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#endif

// --- counting allocator ----------------------------------------------------------------------
// Every global new and delete of the process, the library's included, goes through these, so
// the live and peak byte counts cover all heap use made through operator new.

namespace {
// Counting is switched on only to measure the heap: while the contenders are timed, an
// allocation costs them the same header on every side and no atomic update (a few hundred
// thousand of those per call would weigh on the contender that allocates most, not on its
// algorithm). Blocks freed while counting that were allocated before are subtracted: they
// lower the live count as they lower the real heap.
std::atomic<bool> g_counting{false};
std::atomic<long long> g_liveBytes{0};
std::atomic<long long> g_peakBytes{0};
constexpr size_t kHeader = alignof(std::max_align_t);

void* CountedAlloc(size_t n) {
    void* raw = std::malloc(n + kHeader);
    if (raw == nullptr)
        return nullptr;
    *static_cast<size_t*>(raw) = n;
    if (g_counting.load(std::memory_order_relaxed)) {
        const long long live = g_liveBytes += static_cast<long long>(n);
        long long peak = g_peakBytes.load();
        while (live > peak && !g_peakBytes.compare_exchange_weak(peak, live)) {
        }
    }
    return static_cast<char*>(raw) + kHeader;
}

void CountedFree(void* p) {
    if (p == nullptr)
        return;
    void* raw = static_cast<char*>(p) - kHeader;
    if (g_counting.load(std::memory_order_relaxed))
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

// A storey of n x n cells grouped in 2 x 2 bays: in each bay three cells form one L-shaped
// panel (the two inner lines between them left out) and the fourth, turned at random, is a
// panel of its own; a short stub from about 3% of the nodes.
inline std::vector<rvn_test::PlanLine> LBayLines(int n, double pitch, uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<rvn_test::PlanLine> v;
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= n; ++j) {
            const double x = i * pitch, y = j * pitch;
            // Lines through the middle of a bay exist only beside its separate cell.
            const bool midX = i % 2 == 1, midY = j % 2 == 1;
            const int bay = (i / 2) * n + j / 2;
            const int corner =
                static_cast<int>((static_cast<uint64_t>(bay) * 0x9e3779b97f4a7c15ULL ^ seed) >> 62);
            const bool cellLeft = (corner & 1) == 0, cellLow = (corner & 2) == 0;
            if (i < n && !(midY && (i % 2 == 0) != cellLeft))
                v.push_back({{x, y, 0}, {x + pitch, y, 0}});
            if (j < n && !(midX && (j % 2 == 0) != cellLow))
                v.push_back({{x, y, 0}, {x, y + pitch, 0}});
            if (i < n && j < n && u(rng) < 0.03)
                v.push_back({{x, y, 0}, {x + 0.3 * pitch, y + 0.2 * pitch, 0}});
        }
    }
    return v;
}

enum PlanId { kGrid100, kGrid200, kRealistic100, kRealistic200, kLBay, kPlanCount };
const char* const kPlanNames[kPlanCount] = {"grid100", "grid200", "realistic100", "realistic200",
                                            "lbay100"};

std::vector<rvn_test::PlanLine> PlanLines(int id) {
    switch (id) {
        case kGrid100:
            return GridLines(100, 3.0, 0.0);
        case kGrid200:
            return GridLines(200, 3.0, 0.0);
        case kRealistic100:
            return RealisticLines(100, 3.0, 7);
        case kRealistic200:
            return RealisticLines(200, 3.0, 7);
        default:
            return LBayLines(100, 3.0, 11);
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

// After a contender's results are freed (untimed), one large block taken and given back: the
// allocator then merges the many small blocks just freed there, untimed too, rather than in
// whichever contender's call comes next (glibc defers that merging to the next large request;
// after GEOS's millions of objects it would land on a call of another contender). The same
// after each contender's untimed set-up. Every contender starts each call from a heap settled
// alike.
void SettleHeap() {
    void* p = std::malloc(1 << 20);
    benchmark::DoNotOptimize(p);
    std::free(p);
}

// Each contender is timed making its faces; freeing them again is left out of the timing on
// both sides (it costs GenFaceByLine's caller about a quarter of the generation time).
void BM_GenFaceByLine(benchmark::State& state) {
    const C3DLineArray& lines = GetPlan(static_cast<int>(state.range(0))).array;
    int nFaces = 0;
    SettleHeap();
    for (auto _ : state) {
        C3DFaceArray faces;
        C3DFace::GenFaceByLine(lines, faces);
        nFaces = faces.GetSize();
        state.PauseTiming();
        faces.DeepRemoveAll();
        SettleHeap();
        state.ResumeTiming();
    }
    state.counters["lines"] = lines.GetSize();
    state.counters["faces"] = nFaces;
}

// What each all-panels contender found, for the check that they found the same panels.
struct Found {
    int panels = -1;
    double area = 0.0;  // net: panels less their holes
};
Found g_ours[kPlanCount], g_geos[kPlanCount], g_cgal[kPlanCount];

void BM_GenPanelsByLine(benchmark::State& state) {
    const int id = static_cast<int>(state.range(0));
    const C3DLineArray& lines = GetPlan(id).array;
    SettleHeap();
    for (auto _ : state) {
        C3DFaceArray panels, holes;
        CArray<int, int> holeOf;
        const int n = rvn::GenPanelsByLine(lines, panels, holes, holeOf);
        state.PauseTiming();
        Found f;
        f.panels = n;
        for (int i = 0; i < panels.GetSize(); ++i)
            f.area += panels.GetAt(i)->GetArea();
        for (int i = 0; i < holes.GetSize(); ++i)
            f.area -= holes.GetAt(i)->GetArea();
        g_ours[id] = f;
        panels.DeepRemoveAll();
        holes.DeepRemoveAll();
        SettleHeap();
        state.ResumeTiming();
    }
    state.counters["panels"] = g_ours[id].panels;
}

void BM_LiteralWalk(benchmark::State& state) {
    const C3DLineArray& lines = GetPlan(static_cast<int>(state.range(0))).array;
    int nFaces = 0;
    SettleHeap();
    for (auto _ : state) {
        C3DFaceArray faces;
        rvn_test::ReferenceGenFaceByLine(lines, faces);
        nFaces = faces.GetSize();
        state.PauseTiming();
        faces.DeepRemoveAll();
        SettleHeap();
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
    const int id = static_cast<int>(state.range(0));
    SettleHeap();
    for (auto _ : state) {
        GEOSGeometry* result =
            GEOSPolygonize_r(ctx, geoms.data(), static_cast<unsigned>(geoms.size()));
        state.PauseTiming();
        Found f;
        f.panels = GEOSGetNumGeometries_r(ctx, result);
        for (int i = 0; i < f.panels; ++i) {
            double a = 0.0;
            GEOSArea_r(ctx, GEOSGetGeometryN_r(ctx, result, i), &a);
            f.area += a;
        }
        g_geos[id] = f;
        GEOSGeom_destroy_r(ctx, result);
        SettleHeap();
        state.ResumeTiming();
    }
    for (GEOSGeometry* g : geoms)
        GEOSGeom_destroy_r(ctx, g);
    GEOS_finish_r(ctx);
    state.counters["faces"] = g_geos[id].panels;
}
#endif

#ifdef RVN_HAVE_CGAL
// The arrangement of the same segments, inserted as non-crossing curves (they meet only at
// their ends, which lets CGAL skip the search for crossings: its fastest way in), with exact
// predicates and inexact constructions. Its bounded faces are our panels.
using CgalKernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using CgalTraits = CGAL::Arr_segment_traits_2<CgalKernel>;
using CgalArrangement = CGAL::Arrangement_2<CgalTraits>;

void BM_CgalArrangement(benchmark::State& state) {
    const int id = static_cast<int>(state.range(0));
    std::vector<CgalTraits::X_monotone_curve_2> segs;
    for (const rvn_test::PlanLine& l : GetPlan(id).lines)
        segs.emplace_back(CgalKernel::Point_2(l.a[0], l.a[1]), CgalKernel::Point_2(l.b[0], l.b[1]));
    SettleHeap();
    for (auto _ : state) {
        std::unique_ptr<CgalArrangement> arr(new CgalArrangement());
        CGAL::insert_non_intersecting_curves(*arr, segs.begin(), segs.end());
        state.PauseTiming();
        g_cgal[id].panels =
            static_cast<int>(arr->number_of_faces() - arr->number_of_unbounded_faces());
        arr.reset();
        SettleHeap();
        state.ResumeTiming();
    }
    state.counters["faces"] = g_cgal[id].panels;
}
#endif

double MinOf(const std::vector<double>& v) {
    return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}

// Calls timed per contender and plan, each a repetition of one iteration: every side, and
// every plan size, gets as many chances at the machine's fast phases. GEOS takes over a second
// a call on the 200 x 200 plans, which sets the budget (the whole run about two minutes).
constexpr int kCalls = 25;

void Register() {
    auto add = [](const std::string& name, void (*fn)(benchmark::State&), int id) {
        benchmark::RegisterBenchmark(name.c_str(), fn)
            ->Arg(id)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Repetitions(kCalls)
            ->ComputeStatistics("min", MinOf)
            ->DisplayAggregatesOnly(true);
    };
    for (int id = 0; id < kPlanCount; ++id) {
        const std::string plan = kPlanNames[id];
        add("GenFaceByLine/" + plan, BM_GenFaceByLine, id);
        add("GenPanelsByLine/" + plan, BM_GenPanelsByLine, id);
#ifdef RVN_HAVE_GEOS
        add("GeosPolygonize/" + plan, BM_GeosPolygonize, id);
#endif
#ifdef RVN_HAVE_CGAL
        add("CgalArrangement/" + plan, BM_CgalArrangement, id);
#endif
    }
    // Quadratic: about two seconds at 100 x 100, so timed once.
    benchmark::RegisterBenchmark("LiteralWalk/grid100", BM_LiteralWalk)
        ->Arg(kGrid100)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
}

// Console output as usual; the least and the median CPU time per call of every benchmark kept
// for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> cpuMs, medianMs;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred)
                continue;
            const double ms =
                r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e3;
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "min")
                cpuMs[r.run_name.function_name] = ms;
            else if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medianMs[r.run_name.function_name] = ms;
            else if (r.run_type == Run::RT_Iteration && r.repetitions <= 1)
                cpuMs[r.run_name.function_name] = ms;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    double Get(const std::string& name) const { return Find(cpuMs, name); }
    double Median(const std::string& name) const { return Find(medianMs, name); }

private:
    static double Find(const std::map<std::string, double>& m, const std::string& name) {
        const auto it = m.find(name);
        return it == m.end() ? 0.0 : it->second;
    }
};

// Peak heap above what was live before the call, during gen on the given plan; also the part
// of it that the returned faces still hold.
template <class Gen>
void MeasureHeap(int id, Gen gen, double& peakMb, double& outputMb) {
    const C3DLineArray& lines = GetPlan(id).array;
    C3DFaceArray faces, holes;
    CArray<int, int> holeOf;
    g_counting.store(true);
    const long long before = g_liveBytes.load();
    g_peakBytes.store(before);
    gen(lines, faces, holes, holeOf);
    peakMb = static_cast<double>(g_peakBytes.load() - before) / (1024.0 * 1024.0);
    outputMb = static_cast<double>(g_liveBytes.load() - before) / (1024.0 * 1024.0);
    g_counting.store(false);
    faces.DeepRemoveAll();
    holes.DeepRemoveAll();
}

bool SamePanels(const Found& a, const Found& b) {
    return a.panels == b.panels && std::fabs(a.area - b.area) <= 1e-9 * std::fabs(b.area);
}

void PrintSummary(const RatioReporter& rep) {
    std::printf("\nLeast CPU time of the repetitions, ms:\n  %-13s %13s %15s", "plan",
                "GenFaceByLine", "GenPanelsByLine");
#ifdef RVN_HAVE_GEOS
    std::printf(" %14s", "GEOS");
#endif
#ifdef RVN_HAVE_CGAL
    std::printf(" %14s", "CGAL");
#endif
    std::printf("\n");
    for (int id = 0; id < kPlanCount; ++id) {
        const std::string p = kPlanNames[id];
        std::printf("  %-13s %13.2f %15.2f", p.c_str(), rep.Get("GenFaceByLine/" + p),
                    rep.Get("GenPanelsByLine/" + p));
#ifdef RVN_HAVE_GEOS
        std::printf(" %14.2f", rep.Get("GeosPolygonize/" + p));
#endif
#ifdef RVN_HAVE_CGAL
        std::printf(" %14.2f", rep.Get("CgalArrangement/" + p));
#endif
        std::printf("\n");
    }
    const double g100 = rep.Get("GenFaceByLine/grid100");
    const double g200 = rep.Get("GenFaceByLine/grid200");
    const double p100 = rep.Get("GenPanelsByLine/grid100");
    const double p200 = rep.Get("GenPanelsByLine/grid200");
    const double literal = rep.Get("LiteralWalk/grid100");
    std::printf("\nRatios (aims in brackets):\n");
    if (g100 > 0 && literal > 0)
        std::printf("  literal walk / GenFaceByLine, grid100             %8.1f  [>= 100]\n",
                    literal / g100);
    if (g100 > 0)
        std::printf(
            "  GenFaceByLine grid200 / grid100                   %8.2f  [<= 4.5]"
            "  (medians %.2f)\n",
            g200 / g100, rep.Median("GenFaceByLine/grid200") / rep.Median("GenFaceByLine/grid100"));
    if (p100 > 0)
        std::printf("  GenPanelsByLine grid200 / grid100                 %8.2f  [<= 4.5]\n",
                    p200 / p100);
    for (int id = 0; id < kPlanCount; ++id) {
        const std::string p = kPlanNames[id];
        const double face = rep.Get("GenFaceByLine/" + p);
        const double ours = rep.Get("GenPanelsByLine/" + p);
        (void)face;
        (void)ours;
#ifdef RVN_HAVE_GEOS
        const double geos = rep.Get("GeosPolygonize/" + p);
        if (ours > 0 && geos > 0)
            std::printf("  GEOS %s polygonize / GenPanelsByLine, %-13s %6.1f  [>= 10]  %s\n",
                        GEOSversion(), p.c_str(), geos / ours,
                        SamePanels(g_ours[id], g_geos[id]) ? "same panels" : "PANELS DIFFER");
        if (face > 0 && geos > 0)
            std::printf(
                "  GEOS polygonize / GenFaceByLine, %-13s       %8.1f  [>= 20]"
                "  (medians %.1f)\n",
                p.c_str(), geos / face,
                rep.Median("GeosPolygonize/" + p) / rep.Median("GenFaceByLine/" + p));
#endif
#ifdef RVN_HAVE_CGAL
        const double cgal = rep.Get("CgalArrangement/" + p);
        if (ours > 0 && cgal > 0)
            std::printf("  CGAL %s arrangement / GenPanelsByLine, %-13s %6.1f  [>= 3]  %s\n",
                        CGAL_VERSION_STR, p.c_str(), cgal / ours,
                        g_ours[id].panels == g_cgal[id].panels ? "same count" : "COUNTS DIFFER");
#endif
        std::printf("    %-13s %d panels, net area %.6g\n", p.c_str(), g_ours[id].panels,
                    g_ours[id].area);
    }
#ifndef RVN_HAVE_GEOS
    std::printf("  (GEOS not found at configure time: no polygonizer anchor)\n");
#endif
#ifndef RVN_HAVE_CGAL
    std::printf("  (CGAL not found at configure time: no arrangement anchor)\n");
#endif
    double peak = 0, output = 0;
    MeasureHeap(
        kGrid200,
        [](const C3DLineArray& l, C3DFaceArray& f, C3DFaceArray&, CArray<int, int>&) {
            C3DFace::GenFaceByLine(l, f);
        },
        peak, output);
    std::printf(
        "\nHeap on grid200 (%d lines), beyond the input:\n"
        "  GenFaceByLine   peak %.2f MB  [<= 13.6]; the returned faces hold %.2f MB\n",
        GetPlan(kGrid200).array.GetSize(), peak, output);
    MeasureHeap(kGrid200, rvn::GenPanelsByLine, peak, output);
    std::printf("  GenPanelsByLine peak %.2f MB  [<= 13.6]; the returned faces hold %.2f MB\n",
                peak, output);
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    // Interleaved unless the command line says otherwise (a later flag wins).
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> args(argv, argv + argc);
    args.insert(args.begin() + 1, interleave);
    int nArgs = static_cast<int>(args.size());
    benchmark::Initialize(&nArgs, args.data());
    if (benchmark::ReportUnrecognizedArguments(nArgs, args.data()))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
