// The example program's plan reader and model over arbitrary text: ReadPlan either refuses
// with InputError or gives a plan; a plan of bounded size goes through Analyse, which either
// refuses (InputError for geometry it cannot take, AnalysisError for a mechanism) or gives a
// model whose every load case balances, the piles carrying the loads to rounding, with finite
// deflections; the report and the picture are then written. No other exception may come out.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "ByteReader.h"
#include "PileRaft.h"

namespace {

// Limits that keep one input's work bounded: lines, piles, columns and the elements the
// mesh length makes of the beams.
constexpr size_t kMaxBeams = 24;
constexpr size_t kMaxPoints = 40;
constexpr int kMaxCases = 6;
constexpr double kMaxElements = 400.0;

bool Finite(const pileraft::Point2& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Bounded: a plan whose analysis would take long or whose numbers are not finite is only read.
bool Analysable(const pileraft::Plan& plan) {
    if (plan.beams.size() > kMaxBeams || plan.piles.size() > kMaxPoints ||
        plan.columns.size() > kMaxPoints || plan.nCases > kMaxCases)
        return false;
    if (!(plan.meshLen > 0.0) || !std::isfinite(plan.meshLen))
        return false;
    double elements = 0.0;
    for (const pileraft::BeamLine& b : plan.beams) {
        if (!Finite(b.a) || !Finite(b.b))
            return false;
        // Crossings split the lines as well: count each line's pieces generously.
        elements += std::hypot(b.b.x - b.a.x, b.b.y - b.a.y) / plan.meshLen + plan.beams.size();
    }
    return elements <= kMaxElements;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream in(text);
    pileraft::Plan plan;
    pileraft::Result r;
    try {
        plan = pileraft::ReadPlan(in);
        if (!Analysable(plan))
            return 0;
        r = pileraft::Analyse(plan);
    } catch (const pileraft::InputError& e) {
        FUZZ_CHECK(e.what()[0] != '\0');
        return 0;
    } catch (const pileraft::AnalysisError& e) {
        FUZZ_CHECK(e.what()[0] != '\0');
        return 0;
    }
    FUZZ_CHECK(static_cast<int>(r.cases.size()) == plan.nCases);
    FUZZ_CHECK(r.piles.size() == plan.piles.size());
    for (int lc = 0; lc < plan.nCases; ++lc) {
        const pileraft::CaseResult& c = r.cases[static_cast<size_t>(lc)];
        FUZZ_CHECK(std::isfinite(c.totalLoad) && std::isfinite(c.totalReaction));
        // The reactions are the pile springs times the solved deflections: they balance the
        // applied loads to the rounding of the solve.
        FUZZ_CHECK(std::fabs(c.totalLoad - c.totalReaction) <= 1e-6 * c.grossLoad + 1e-9);
        FUZZ_CHECK(std::isfinite(c.maxDeflection));
        for (const double w : r.w[static_cast<size_t>(lc)])
            FUZZ_CHECK(std::isfinite(w));
    }
    std::ostringstream report, svg;
    pileraft::PrintReport(report, plan, r);
    if (plan.nCases > 0)
        pileraft::WriteSvg(svg, plan, r, 0);
    FUZZ_CHECK(!report.str().empty());
    return 0;
}
