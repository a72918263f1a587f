// The text report: model size, panels, and per load case the largest deflection, the pile
// reactions and the equilibrium check.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <ostream>
#include <string>

#include "PileRaft.h"

namespace pileraft {

namespace {

std::string Fmt(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

std::string Fmt(const char* format, ...) {
    char buf[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

}  // namespace

void PrintReport(std::ostream& out, const Plan& plan, const Result& r) {
    out << "rvn-pile-raft: foundation grillage on piles\n\n";
    out << Fmt("Concrete C%g: Ec = %.0f MPa; beams %g x %g m: I = %.5g m^4, J = %.5g m^4\n",
               plan.grade, r.E / 1000.0, plan.b, plan.h, r.I, r.J);
    out << Fmt("Model: %zu beam lines, %zu nodes, %zu elements (at most %g m), %d unknowns\n",
               plan.beams.size(), r.nodes.size(), r.elements.size(), plan.meshLen, r.nDof);
    out << Fmt(
        "Skyline profile: %lld stored entries in plan order, %lld after reverse "
        "Cuthill-McKee renumbering (%.1f%%)\n",
        r.profileInput, r.profileSolved,
        r.profileInput > 0
            ? 100.0 * static_cast<double>(r.profileSolved) / static_cast<double>(r.profileInput)
            : 0.0);

    out << Fmt("\nPanels: %zu\n", r.panels.size());
    out << "   #  corners      area m2   girth m    centroid x, y        columns inside\n";
    for (size_t i = 0; i < r.panels.size(); ++i) {
        const Panel& p = r.panels[i];
        std::string cols;
        for (const ColumnInPanel& c : p.columns) {
            if (!cols.empty())
                cols += ", ";
            cols += Fmt("%d%s", c.column + 1, c.onEdge ? " (edge)" : "");
        }
        out << Fmt("%4zu  %7zu  %11.3f  %8.3f  %9.3f, %-9.3f  %s\n", i + 1, p.corners.size(),
                   p.area, p.girth, p.centroid.x, p.centroid.y, cols.empty() ? "-" : cols.c_str());
    }

    for (size_t lc = 0; lc < r.cases.size(); ++lc) {
        const CaseResult& c = r.cases[lc];
        const Node& at = r.nodes[static_cast<size_t>(c.maxNode)];
        out << Fmt("\nLoad case %zu\n", lc + 1);
        out << Fmt("  largest deflection %.3f mm at (%.3f, %.3f)\n", 1000.0 * c.maxDeflection, at.x,
                   at.y);
        out << "  pile        x        y    reaction kN\n";
        for (size_t i = 0; i < r.piles.size(); ++i)
            out << Fmt("  %4zu %8.3f %8.3f %14.3f\n", i + 1, plan.piles[i].p.x, plan.piles[i].p.y,
                       r.piles[i].reaction[lc]);
        // Relative to the loads' magnitudes, so a case whose loads cancel is judged fairly.
        const double scale = std::fmax(c.grossLoad, 1e-300);
        out << Fmt(
            "  equilibrium: load %.6f kN, reactions %.6f kN, difference %.2e of the "
            "gross load\n",
            c.totalLoad, c.totalReaction, std::fabs(c.totalReaction - c.totalLoad) / scale);
    }
}

}  // namespace pileraft
