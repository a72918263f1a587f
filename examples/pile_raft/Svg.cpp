// Plan picture of one load case: panels shaded and numbered, beams coloured by deflection on
// a diverging map centred at zero (settlement red, uplift blue) with a ticked colour bar,
// piles as circles whose area follows their reaction (filled in compression, open in
// tension), columns as squares with their load, axes in metres and a scale bar. Symbols
// follow the plan's scale and labels are placed only where they overlap nothing placed
// before them, most important first, so the picture reads at any plan size. North (+y) is up.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "PileRaft.h"
#include "SpatialHash.h"
#include "Text.h"

namespace pileraft {

namespace {

// Layout, pixels: the plan fits a box of kPlanW x kPlanH between the margins.
constexpr double kPlanW = 740.0, kPlanH = 640.0;
constexpr double kLeft = 70.0, kTop = 78.0, kRight = 260.0, kBottom = 78.0;
constexpr double kFont = 11.0;

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

// Diverging map for t in [-1, 1]: blue for uplift (t < 0), a mid grey that stays visible on
// the white page at 0, red for settlement (t > 0).
std::string Colour(double t) {
    static const double stops[5][3] = {
        {33, 102, 172}, {120, 170, 210}, {170, 170, 170}, {235, 140, 100}, {178, 24, 43}};
    t = (std::min(1.0, std::max(-1.0, t)) + 1.0) * 2.0;
    const int i = std::min(3, static_cast<int>(t));
    const double f = t - i;
    int c[3];
    for (int k = 0; k < 3; ++k)
        c[k] = static_cast<int>(stops[i][k] + f * (stops[i + 1][k] - stops[i][k]) + 0.5);
    return Fmt("#%02x%02x%02x", c[0], c[1], c[2]);
}

// A step of 1, 2 or 5 times a power of ten, at least min.
double NiceStep(double min) {
    if (!(min > 0.0))
        return 1.0;
    const double p = std::pow(10.0, std::floor(std::log10(min)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * p >= min)
            return m * p;
    return 10.0 * p;
}

// Where a panel's number goes: its centroid when that lies on the panel (not in an opening,
// not outside an L or a U), else the middle of the widest stretch of the panel along the
// horizontal through the centroid.
Point2 LabelPoint(const Panel& p) {
    const double y = p.centroid.y;
    std::vector<double> xs;  // where the horizontal crosses the rings, edges half-open in y
    auto cross = [&](const std::vector<Point2>& ring) {
        for (size_t i = 0; i < ring.size(); ++i) {
            const Point2& a = ring[i];
            const Point2& b = ring[(i + 1) % ring.size()];
            if ((a.y > y) != (b.y > y))
                xs.push_back(a.x + (y - a.y) / (b.y - a.y) * (b.x - a.x));
        }
    };
    cross(p.corners);
    for (const std::vector<Point2>& hole : p.holes)
        cross(hole);
    std::sort(xs.begin(), xs.end());
    double best = -1.0, at = p.centroid.x;
    for (size_t k = 0; k + 1 < xs.size(); k += 2) {
        if (xs[k] <= p.centroid.x && p.centroid.x <= xs[k + 1])
            return p.centroid;
        if (xs[k + 1] - xs[k] > best) {
            best = xs[k + 1] - xs[k];
            at = 0.5 * (xs[k] + xs[k + 1]);
        }
    }
    return {at, y};
}

// Labels are placed greedily: one is drawn only when its box overlaps no box drawn before.
class Labels {
public:
    // Labels stay inside the frame.
    Labels(std::ostream& out, const Box& frame) : m_out(out), m_frame(frame), m_hash(40.0) {}

    // Reserves a box (a symbol) that later labels must avoid.
    void Block(const Box& b) {
        m_boxes.push_back(b);
        m_hash.AddSegment(b.x0, b.y0, b.x1, b.y1, 0.0);
    }

    // Text with its left end at (x, y baseline); tries the given anchors in order.
    bool Place(const std::vector<std::pair<double, double>>& anchors, const std::string& text,
               const char* style) {
        const double w = 0.6 * kFont * static_cast<double>(text.size()), h = kFont;
        for (const auto& a : anchors) {
            const Box b{a.first - 1, a.second - h, a.first + w + 1, a.second + 2};
            bool clear = b.x0 >= m_frame.x0 && b.x1 <= m_frame.x1 && b.y0 >= m_frame.y0 &&
                         b.y1 <= m_frame.y1;
            m_hash.Query(b, [&](int id) {
                if (m_boxes[id].Overlaps(b))
                    clear = false;
            });
            if (!clear)
                continue;
            Block(b);
            m_text += Fmt("<text x=\"%.1f\" y=\"%.1f\" %s>%s</text>\n", a.first, a.second, style,
                          Escape(text).c_str());
            ++m_placed;
            return true;
        }
        return false;
    }
    int Placed() const { return m_placed; }
    // The labels, drawn after every symbol so that they stay on top.
    void Write() const { m_out << m_text; }

private:
    std::ostream& m_out;
    std::string m_text;
    Box m_frame;
    SpatialHash m_hash;
    std::vector<Box> m_boxes;
    int m_placed = 0;
};

}  // namespace

void WriteSvg(std::ostream& out, const Plan& plan, const Result& r, int loadCase) {
    const size_t lc = static_cast<size_t>(loadCase);
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (const Node& n : r.nodes) {
        x0 = std::min(x0, n.x);
        y0 = std::min(y0, n.y);
        x1 = std::max(x1, n.x);
        y1 = std::max(y1, n.y);
    }
    const double spanX = std::max(x1 - x0, 1e-9), spanY = std::max(y1 - y0, 1e-9);
    const double scale = std::min(kPlanW / spanX, kPlanH / spanY);  // pixels per metre
    const double planW = std::max(spanX * scale, 120.0), planH = std::max(spanY * scale, 40.0);
    // Centred in the plan box when one direction is short.
    const double ox = kLeft + 0.5 * (planW - spanX * scale),
                 oy = kTop + 0.5 * (planH - spanY * scale);
    const double width = kLeft + planW + kRight, height = kTop + planH + kBottom;
    auto px = [&](double x) { return ox + (x - x0) * scale; };
    auto py = [&](double y) { return oy + (y1 - y) * scale; };
    // Typical distance between piles in pixels: symbols stay within a fraction of it.
    const double plotArea = std::max(spanX * spanY, spanX * spanX * 1e-2);
    const double spacing =
        std::sqrt(plotArea / std::max<double>(1.0, static_cast<double>(r.piles.size()))) * scale;

    out << Fmt(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
        "viewBox=\"0 0 %.0f %.0f\" font-family=\"sans-serif\" font-size=\"%.0f\">\n"
        "<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n",
        width, height, width, height, kFont);
    const std::string caseName = CaseName(plan, loadCase);
    const std::string title = (plan.title.empty() ? std::string("Pile raft") : plan.title) +
                              " \u2014 load case " + std::to_string(loadCase + 1) +
                              (plan.caseNames.empty() ? "" : ": " + caseName);
    out << Fmt("<text x=\"%.0f\" y=\"28\" font-size=\"17\" font-weight=\"bold\">%s</text>\n", kLeft,
               Escape(title).c_str());
    out << Fmt(
        "<text x=\"%.0f\" y=\"48\" font-size=\"12\" fill=\"#444\">Beams coloured by "
        "deflection (settlement +, uplift \u2212); piles sized by reaction; P pile, C "
        "column (load kN), # panel, numbered as in the report</text>\n",
        kLeft);

    // Axes: ticks in metres along the bottom and the left, with faint grid lines.
    const double stepX = NiceStep(70.0 / scale), stepY = NiceStep(45.0 / scale);
    std::string grid, ticks;
    for (double x = std::ceil(x0 / stepX) * stepX; x <= x1 + 1e-9 * stepX; x += stepX) {
        grid += Fmt("M%.1f %.1fV%.1f", px(x), oy, oy + spanY * scale);
        ticks += Fmt("M%.1f %.1fv6", px(x), oy + spanY * scale + 4);
        out << Fmt("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\">%g</text>\n", px(x),
                   oy + spanY * scale + 22, std::fabs(x) < 1e-9 * stepX ? 0.0 : x);
    }
    for (double y = std::ceil(y0 / stepY) * stepY; y <= y1 + 1e-9 * stepY; y += stepY) {
        grid += Fmt("M%.1f %.1fH%.1f", ox, py(y), ox + spanX * scale);
        ticks += Fmt("M%.1f %.1fh6", ox - 10, py(y));
        out << Fmt("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"end\">%g</text>\n", ox - 14,
                   py(y) + 4, std::fabs(y) < 1e-9 * stepY ? 0.0 : y);
    }
    out << "<path d=\"" << grid << "\" stroke=\"#eee\" fill=\"none\"/>\n";
    out << "<path d=\"" << ticks << "\" stroke=\"#555\" fill=\"none\"/>\n";
    out << Fmt("<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\" fill=\"#444\">x, m</text>\n",
               ox + 0.5 * spanX * scale, oy + spanY * scale + 40);
    out << Fmt("<text x=\"%.1f\" y=\"%.1f\" fill=\"#444\">y, m</text>\n", ox - 50, oy - 12);
    // Scale bar: about a fifth of the plan's width.
    const double bar = NiceStep(0.18 * planW / scale);
    const double bx = kLeft, by = height - 16;
    out << Fmt(
        "<path d=\"M%.1f %.1fh%.1fM%.1f %.1fv-6M%.1f %.1fv-6\" stroke=\"black\" "
        "stroke-width=\"2\" fill=\"none\"/>\n"
        "<text x=\"%.1f\" y=\"%.1f\">%g m</text>\n",
        bx, by, bar * scale, bx, by, bx + bar * scale, by, bx + bar * scale + 6, by, bar);

    const double cbX = kLeft + planW + 80, cbY = kTop + 10, cbH = std::min(260.0, planH - 20);
    Labels labels(out, Box{ox - 4, kTop - 16, cbX - 20, oy + spanY * scale + 3});
    // Panels, each one path of its outer ring and its openings, so that the openings stay
    // unshaded (even-odd fill: every ring, outer or opening, flips inside and outside).
    auto ring = [&](const std::vector<Point2>& pts) {
        std::string d;
        for (const Point2& c : pts)
            d += Fmt("%s%.1f %.1f", d.empty() ? "M" : "L", px(c.x), py(c.y));
        return d.empty() ? d : d + "Z";
    };
    for (const Panel& p : r.panels) {
        std::string d = ring(p.corners);
        for (const std::vector<Point2>& hole : p.holes)
            d += ring(hole);
        out << "<path class=\"panel\" fill=\"#e8edf3\" fill-rule=\"evenodd\" stroke=\"none\" d=\""
            << d << "\"/>\n";
    }
    // Beams, coloured by the mean deflection of their ends.
    const std::vector<double>& w = r.w[lc];
    double wmax = 0.0;
    for (double v : w)
        wmax = std::max(wmax, std::fabs(v));
    const double beamWidth = std::min(6.0, std::max(1.5, plan.b * scale));
    for (const Element& e : r.elements) {
        const double t = wmax > 0.0 ? 0.5 * (w[e.n1] + w[e.n2]) / wmax : 0.0;
        out << Fmt(
            "<line class=\"beam\" x1=\"%.1f\" y1=\"%.1f\" x2=\"%.1f\" y2=\"%.1f\" "
            "stroke=\"%s\" stroke-width=\"%.1f\" stroke-linecap=\"round\"/>\n",
            px(r.nodes[e.n1].x), py(r.nodes[e.n1].y), px(r.nodes[e.n2].x), py(r.nodes[e.n2].y),
            Colour(t).c_str(), beamWidth);
    }

    // The largest deflection is labelled first: it may cover symbols, never other labels.
    const char* kHalo = "stroke=\"white\" stroke-width=\"3\" paint-order=\"stroke\"";
    std::vector<std::pair<double, double>> anchors;
    auto around = [&](double x, double y, double rad, double textW) {
        return std::vector<std::pair<double, double>>{{x + rad + 2, y - rad - 1},
                                                      {x + rad + 2, y + rad + kFont},
                                                      {x - rad - 2 - textW, y - rad - 1},
                                                      {x - rad - 2 - textW, y + rad + kFont}};
    };
    auto textWidth = [](const std::string& s) {
        return 0.6 * kFont * static_cast<double>(s.size());
    };
    const CaseResult& cr = r.cases[lc];
    if (cr.deflection.element >= 0) {
        const Node& n = r.nodes[static_cast<size_t>(cr.deflection.element)];
        out << Fmt("<path d=\"M%.1f %.1fl5 -9h-10z\" fill=\"black\"/>\n", px(n.x), py(n.y) - 4);
        const std::string t = Fmt("largest %.2f mm", 1000.0 * cr.deflection.value);
        labels.Place(around(px(n.x), py(n.y) - 8, 4, textWidth(t)), t,
                     Fmt("font-weight=\"bold\" %s", kHalo).c_str());
    }
    // Piles: area proportional to the reaction, the largest a third of the pile spacing.
    double rmax = 0.0;
    for (const PileResult& p : r.piles)
        rmax = std::max(rmax, std::fabs(p.reaction[lc]));
    const double rBig = std::min(16.0, std::max(1.5, 0.25 * spacing));
    std::vector<double> radius(r.piles.size());
    for (size_t i = 0; i < r.piles.size(); ++i) {
        const double R = r.piles[i].reaction[lc];
        radius[i] = rmax > 0.0 ? std::max(1.5, rBig * std::sqrt(std::fabs(R) / rmax)) : 1.5;
        const Point2& at = plan.piles[i].p;
        out << Fmt(
            "<circle class=\"pile\" cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\" %s><title>pile "
            "%zu: %.1f kN, settlement %.2f mm</title></circle>\n",
            px(at.x), py(at.y), radius[i],
            R >= 0.0 ? "fill=\"#333\" fill-opacity=\"0.4\" stroke=\"black\" "
                       "stroke-width=\"0.7\""
                     : "fill=\"none\" stroke=\"#7b3294\" stroke-width=\"1.5\"",
            i + 1, R, 1000.0 * r.piles[i].settlement[lc]);
        labels.Block({px(at.x) - radius[i], py(at.y) - radius[i], px(at.x) + radius[i],
                      py(at.y) + radius[i]});
    }
    // Columns: squares a little smaller than the largest pile.
    const double half = std::min(4.0, std::max(1.0, 0.08 * spacing));
    for (size_t i = 0; i < plan.columns.size(); ++i) {
        const Point2& at = plan.columns[i].p;
        out << Fmt(
            "<rect class=\"column\" x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" "
            "fill=\"black\"><title>column %zu: %.1f kN</title></rect>\n",
            px(at.x) - half, py(at.y) - half, 2 * half, 2 * half, i + 1, plan.columns[i].loads[lc]);
        labels.Block({px(at.x) - half, py(at.y) - half, px(at.x) + half, py(at.y) + half});
    }

    // Labels, most telling first: the largest deflection, piles by reaction, columns by
    // load, panels by area.
    std::vector<size_t> idx(r.piles.size());
    for (size_t i = 0; i < idx.size(); ++i)
        idx[i] = i;
    std::stable_sort(idx.begin(), idx.end(), [&](size_t a, size_t b) {
        return std::fabs(r.piles[a].reaction[lc]) > std::fabs(r.piles[b].reaction[lc]);
    });
    for (size_t i : idx) {
        const std::string t = Fmt("P%zu %.0f", i + 1, r.piles[i].reaction[lc]);
        const Point2& at = plan.piles[i].p;
        labels.Place(around(px(at.x), py(at.y), radius[i], textWidth(t)), t,
                     Fmt("fill=\"#222\" %s", kHalo).c_str());
    }
    idx.resize(plan.columns.size());
    for (size_t i = 0; i < idx.size(); ++i)
        idx[i] = i;
    std::stable_sort(idx.begin(), idx.end(), [&](size_t a, size_t b) {
        return std::fabs(plan.columns[a].loads[lc]) > std::fabs(plan.columns[b].loads[lc]);
    });
    for (size_t i : idx) {
        const std::string t = Fmt("C%zu %.0f", i + 1, plan.columns[i].loads[lc]);
        const Point2& at = plan.columns[i].p;
        std::vector<std::pair<double, double>> near =
            around(px(at.x), py(at.y), half, textWidth(t));
        for (const auto& a : around(px(at.x), py(at.y), half + rBig, textWidth(t)))
            near.push_back(a);
        labels.Place(near, t, Fmt("fill=\"#0b4f8a\" %s", kHalo).c_str());
    }
    idx.resize(r.panels.size());
    for (size_t i = 0; i < idx.size(); ++i)
        idx[i] = i;
    std::stable_sort(idx.begin(), idx.end(),
                     [&](size_t a, size_t b) { return r.panels[a].area > r.panels[b].area; });
    for (size_t i : idx) {
        const std::string t = Fmt("#%zu", i + 1);
        const Point2 c = LabelPoint(r.panels[i]);
        labels.Place({{px(c.x) - 0.5 * textWidth(t), py(c.y) + 4}}, t,
                     "fill=\"#8a96a8\" font-style=\"italic\"");
    }

    // Colour bar with ticks in mm, settlement at the top.
    const double cbW = 16.0;
    out << Fmt("<text x=\"%.1f\" y=\"%.1f\" font-weight=\"bold\">Deflection, mm</text>\n", cbX - 10,
               cbY - 12);
    for (int i = 0; i < 40; ++i) {
        const double t = 1.0 - (i + 0.5) / 20.0;
        out << Fmt("<rect x=\"%.1f\" y=\"%.2f\" width=\"%.0f\" height=\"%.2f\" fill=\"%s\"/>\n",
                   cbX, cbY + i * cbH / 40.0, cbW, cbH / 40.0 + 0.3, Colour(t).c_str());
    }
    out << Fmt(
        "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.0f\" height=\"%.1f\" fill=\"none\" "
        "stroke=\"#555\"/>\n",
        cbX, cbY, cbW, cbH);
    const double wmm = 1000.0 * wmax;
    if (wmm > 0.0) {
        const double step = NiceStep(wmm / 4.0);
        std::string tk;
        for (double v = -std::floor(wmm / step) * step; v <= wmm + 1e-9 * step; v += step) {
            const double y = cbY + (0.5 - 0.5 * v / wmm) * cbH;
            tk += Fmt("M%.1f %.1fh5", cbX + cbW, y);
            out << Fmt("<text x=\"%.1f\" y=\"%.1f\">%g</text>\n", cbX + cbW + 8, y + 4,
                       std::fabs(v) < 1e-9 * step ? 0.0 : v);
        }
        out << "<path d=\"" << tk << "\" stroke=\"#555\"/>\n";
    }
    out << Fmt("<text x=\"%.1f\" y=\"%.1f\" fill=\"#b2182b\">settlement</text>\n", cbX + cbW + 52,
               cbY + 12);
    out << Fmt("<text x=\"%.1f\" y=\"%.1f\" fill=\"#2166ac\">uplift</text>\n", cbX + cbW + 52,
               cbY + cbH - 4);
    out << Fmt("<text x=\"%.1f\" y=\"%.1f\" fill=\"#444\">range \u00b1%.2f</text>\n", cbX - 10,
               cbY + cbH + 20, wmm);

    // Legend of the pile symbols at the size of the largest reaction.
    double ly = cbY + cbH + 58;
    out << Fmt("<text x=\"%.1f\" y=\"%.1f\" font-weight=\"bold\">Pile reaction</text>\n", cbX - 10,
               ly - 14);
    out << Fmt(
        "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\" fill=\"#333\" fill-opacity=\"0.4\" "
        "stroke=\"black\" stroke-width=\"0.7\"/><text x=\"%.1f\" y=\"%.1f\">compression</text>\n",
        cbX + 8, ly + rBig, rBig, cbX + 2 * rBig + 14, ly + rBig + 4);
    ly += 2 * rBig + 12;
    out << Fmt(
        "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%.1f\" fill=\"none\" stroke=\"#7b3294\" "
        "stroke-width=\"1.5\"/><text x=\"%.1f\" y=\"%.1f\">tension</text>\n",
        cbX + 8, ly + rBig, rBig, cbX + 2 * rBig + 14, ly + rBig + 4);
    ly += 2 * rBig + 20;
    out << Fmt("<text x=\"%.1f\" y=\"%.1f\" fill=\"#444\">largest circle %.0f kN</text>\n",
               cbX - 10, ly, rmax);
    out << Fmt(
        "<rect x=\"%.1f\" y=\"%.1f\" width=\"10\" height=\"10\" fill=\"black\"/>"
        "<text x=\"%.1f\" y=\"%.1f\">column</text>\n",
        cbX + 3, ly + 14, cbX + 2 * rBig + 14, ly + 23);
    out << Fmt("<text x=\"%.1f\" y=\"%.1f\" fill=\"#444\">%d of %zu labels shown</text>\n",
               cbX - 10, ly + 48, labels.Placed(),
               r.piles.size() + plan.columns.size() + r.panels.size() + 1);
    labels.Write();
    out << "</svg>\n";
}

}  // namespace pileraft
