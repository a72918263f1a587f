// Plan picture: panels shaded, beams coloured by deflection, piles as circles whose area is
// proportional to their reaction, columns as squares. North (+y) is up.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include "PileRaft.h"

namespace pileraft {

namespace {

// A blue-cyan-green-yellow-red ramp for a value in [0, 1] (0: no deflection, 1: the largest).
std::string Colour(double t) {
    static const double stops[5][3] = {
        {40, 70, 200}, {30, 170, 210}, {60, 180, 80}, {235, 200, 40}, {215, 50, 40}};
    t = std::min(1.0, std::max(0.0, t)) * 4.0;
    const int i = std::min(3, static_cast<int>(t));
    const double f = t - i;
    int c[3];
    for (int k = 0; k < 3; ++k)
        c[k] = static_cast<int>(stops[i][k] + f * (stops[i + 1][k] - stops[i][k]) + 0.5);
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c[0], c[1], c[2]);
    return buf;
}

}  // namespace

void WriteSvg(std::ostream& out, const Plan& plan, const Result& r, int loadCase) {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (const Node& n : r.nodes) {
        x0 = std::min(x0, n.x);
        y0 = std::min(y0, n.y);
        x1 = std::max(x1, n.x);
        y1 = std::max(y1, n.y);
    }
    const double span = std::max({x1 - x0, y1 - y0, 1e-9});
    const double scale = 900.0 / span;  // pixels per metre
    const double margin = 60.0;
    const double width = (x1 - x0) * scale + 2 * margin;
    const double height = (y1 - y0) * scale + 2 * margin + 60.0;
    auto px = [&](double x) { return margin + (x - x0) * scale; };
    auto py = [&](double y) { return margin + (y1 - y) * scale; };
    char buf[512];
    auto put = [&](const char* s) { out << s; };

    std::snprintf(buf, sizeof buf,
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
                  "viewBox=\"0 0 %.0f %.0f\" font-family=\"sans-serif\">\n"
                  "<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n",
                  width, height, width, height);
    put(buf);

    for (const Panel& p : r.panels) {
        out << "<polygon fill=\"#dde6f0\" stroke=\"none\" points=\"";
        for (const Point2& c : p.corners) {
            std::snprintf(buf, sizeof buf, "%.2f,%.2f ", px(c.x), py(c.y));
            put(buf);
        }
        out << "\"/>\n";
    }

    const std::vector<double>& w = r.w[static_cast<size_t>(loadCase)];
    double wmax = 0.0;
    for (double v : w)
        wmax = std::max(wmax, std::fabs(v));
    for (const Element& e : r.elements) {
        const double t = wmax > 0.0 ? 0.5 * (std::fabs(w[e.n1]) + std::fabs(w[e.n2])) / wmax : 0.0;
        std::snprintf(buf, sizeof buf,
                      "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"%s\" "
                      "stroke-width=\"5\" stroke-linecap=\"round\"/>\n",
                      px(r.nodes[e.n1].x), py(r.nodes[e.n1].y), px(r.nodes[e.n2].x),
                      py(r.nodes[e.n2].y), Colour(t).c_str());
        put(buf);
    }

    double rmax = 0.0;
    for (const PileResult& p : r.piles)
        rmax = std::max(rmax, std::fabs(p.reaction[static_cast<size_t>(loadCase)]));
    for (size_t i = 0; i < r.piles.size(); ++i) {
        const double R = r.piles[i].reaction[static_cast<size_t>(loadCase)];
        const double radius = rmax > 0.0 ? 4.0 + 14.0 * std::sqrt(std::fabs(R) / rmax) : 4.0;
        const Point2& at = plan.piles[i].p;
        std::snprintf(
            buf, sizeof buf,
            "<circle cx=\"%.2f\" cy=\"%.2f\" r=\"%.2f\" fill=\"%s\" fill-opacity=\"0.75\" "
            "stroke=\"black\"><title>pile %zu: %.1f kN</title></circle>\n"
            "<text x=\"%.2f\" y=\"%.2f\" font-size=\"11\">%.0f</text>\n",
            px(at.x), py(at.y), radius, R >= 0.0 ? "#f0a030" : "#a040c0", i + 1, R,
            px(at.x) + radius + 2, py(at.y) - radius - 2, R);
        put(buf);
    }
    for (size_t i = 0; i < plan.columns.size(); ++i) {
        const Point2& at = plan.columns[i].p;
        std::snprintf(buf, sizeof buf,
                      "<rect x=\"%.2f\" y=\"%.2f\" width=\"10\" height=\"10\" fill=\"black\">"
                      "<title>column %zu: %.1f kN</title></rect>\n",
                      px(at.x) - 5, py(at.y) - 5, i + 1,
                      plan.columns[i].loads[static_cast<size_t>(loadCase)]);
        put(buf);
    }

    for (int i = 0; i < 20; ++i) {
        std::snprintf(buf, sizeof buf,
                      "<rect x=\"%.1f\" y=\"%.0f\" width=\"12.5\" height=\"10\" fill=\"%s\"/>\n",
                      margin + 12.5 * i, height - 48.0, Colour(i / 19.0).c_str());
        put(buf);
    }
    std::snprintf(buf, sizeof buf,
                  "<text x=\"%.0f\" y=\"%.0f\" font-size=\"15\">Load case %d: deflection from "
                  "0 (blue) to %.2f mm (red); piles sized by reaction, kN</text>\n</svg>\n",
                  margin, height - 20.0, loadCase + 1, 1000.0 * wmax);
    put(buf);
}

}  // namespace pileraft
