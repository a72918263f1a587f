// The text report: model size, panels, and per load case the largest deflection, the pile
// reactions and the equilibrium check.
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include "PileRaft.h"
#include "Text.h"

namespace pileraft {

namespace {

std::string Where(const Result& r, const Extreme& x, bool element) {
    if (x.element < 0)
        return "-";
    if (!element) {
        const Node& n = r.nodes[static_cast<size_t>(x.element)];
        return Fmt("at (%.3f, %.3f)", n.x, n.y);
    }
    const Element& e = r.elements[static_cast<size_t>(x.element)];
    const Node& n = r.nodes[static_cast<size_t>(x.end == 0 ? e.n1 : e.n2)];
    return Fmt("in element %d at (%.3f, %.3f)", x.element + 1, n.x, n.y);
}

void PrintExtremes(std::ostream& out, const Plan& plan, const Result& r, const CaseResult& c) {
    out << Fmt("  largest deflection  %10.3f mm   %s (%s)\n", 1000.0 * c.deflection.value,
               Where(r, c.deflection, false).c_str(),
               c.deflection.value >= 0.0 ? "settlement" : "uplift");
    if (c.reaction.element >= 0) {
        const Point2& p = plan.piles[static_cast<size_t>(c.reaction.element)].p;
        out << Fmt("  largest reaction    %10.3f kN   at pile %d (%.3f, %.3f)\n", c.reaction.value,
                   c.reaction.element + 1, p.x, p.y);
    }
    out << Fmt("  largest moment      %10.3f kNm  %s\n", c.moment.value,
               Where(r, c.moment, true).c_str());
    out << Fmt("  largest shear       %10.3f kN   %s\n", c.shear.value,
               Where(r, c.shear, true).c_str());
    out << Fmt("  largest torque      %10.3f kNm  %s\n", c.torque.value,
               Where(r, c.torque, true).c_str());
}

void PrintEquilibrium(std::ostream& out, const CaseResult& c) {
    out << Fmt(
        "  equilibrium of force: loads %.6f kN, reactions %.6f kN, difference %.2e of "
        "the gross load\n",
        c.totalLoad, c.totalReaction, ForceError(c));
    out << Fmt(
        "  equilibrium of moment about the plan centre: x axis %.6f / %.6f kNm, y axis "
        "%.6f / %.6f kNm (loads / reactions), difference %.2e of the gross load times "
        "the plan size\n",
        c.loadMomentX, c.reactionMomentX, c.loadMomentY, c.reactionMomentY, MomentError(c));
}

}  // namespace

void PrintReport(std::ostream& out, const Plan& plan, const Result& r, bool summary) {
    out << "rvn-pile-raft: foundation grillage on piles\n";
    if (!plan.title.empty())
        out << plan.title << "\n";
    out << "\n";
    out << Fmt("Concrete C%g: Ec = %.0f MPa; beams %g x %g m: I = %.5g m^4, J = %.5g m^4\n",
               plan.grade, r.E / 1000.0, plan.b, plan.h, r.I, r.J);
    out << Fmt(
        "Model: %zu beam lines, %zu nodes, %zu elements (at most %g m), %d unknowns, "
        "%zu panels, %zu piles, %zu columns, %zu load cases\n",
        plan.beams.size(), r.nodes.size(), r.elements.size(), plan.meshLen, r.nDof, r.panels.size(),
        r.piles.size(), plan.columns.size(), r.cases.size());
    out << Fmt(
        "Skyline profile: %lld stored entries in plan order, %lld after %s renumbering "
        "(%.1f%%)\n",
        r.profileInput, r.profileSolved, r.ordering.c_str(),
        r.profileInput > 0
            ? 100.0 * static_cast<double>(r.profileSolved) / static_cast<double>(r.profileInput)
            : 0.0);
    out << "Signs: loads and deflections downward positive (settlement +, uplift -), pile "
           "reactions\n"
           "  compression +; along an element from its first end to its second: moment "
           "sagging +,\n"
           "  shear V = dM/ds, torque the rate of the cross slope to the element's left "
           "times GJ.\n";

    if (!summary) {
        out << Fmt("\nPanels: %zu\n", r.panels.size());
        out << "   #  corners  openings   net area m2   girth m    centroid x, y        columns "
               "inside\n";
        for (size_t i = 0; i < r.panels.size(); ++i) {
            const Panel& p = r.panels[i];
            std::string cols;
            for (const ColumnInPanel& c : p.columns) {
                if (!cols.empty())
                    cols += ", ";
                cols += Fmt("%d%s", c.column + 1, c.onEdge ? " (edge)" : "");
            }
            out << Fmt("%4zu  %7zu  %8zu  %12.3f  %8.3f  %9.3f, %-9.3f  %s\n", i + 1,
                       p.corners.size(), p.holes.size(), p.area, p.girth, p.centroid.x,
                       p.centroid.y, cols.empty() ? "-" : cols.c_str());
        }
    }

    for (size_t lc = 0; lc < r.cases.size(); ++lc) {
        const CaseResult& c = r.cases[lc];
        const std::string name = CaseName(plan, static_cast<int>(lc));
        if (plan.caseNames.empty())
            out << Fmt("\nLoad case %zu\n", lc + 1);
        else
            out << Fmt("\nLoad case %zu: %s\n", lc + 1, name.c_str());
        PrintExtremes(out, plan, r, c);
        if (!summary) {
            out << "  pile        x        y    reaction kN  settlement mm\n";
            for (size_t i = 0; i < r.piles.size(); ++i)
                out << Fmt("  %4zu %8.3f %8.3f %14.3f %14.3f\n", i + 1, plan.piles[i].p.x,
                           plan.piles[i].p.y, r.piles[i].reaction[lc],
                           1000.0 * r.piles[i].settlement[lc]);
            out << "  element  from x, y           to x, y             "
                   "  M kNm      V kN      T kNm  (first end / second end)\n";
            for (size_t e = 0; e < r.elements.size(); ++e) {
                const Element& el = r.elements[e];
                const EndForces& f = r.forces[lc][e];
                const Node& a = r.nodes[static_cast<size_t>(el.n1)];
                const Node& b = r.nodes[static_cast<size_t>(el.n2)];
                out << Fmt("  %6zu  %8.3f, %-8.3f  %8.3f, %-8.3f %10.3f %9.3f %10.3f\n", e + 1, a.x,
                           a.y, b.x, b.y, f.moment[0], f.shear[0], f.torque[0]);
                out << Fmt("  %47s %10.3f %9.3f %10.3f\n", "", f.moment[1], f.shear[1],
                           f.torque[1]);
            }
        }
        PrintEquilibrium(out, c);
    }
}

}  // namespace pileraft
