// Floor plans made of lines, for the face-generation tests and benchmarks: regular grids,
// a realistic storey plan, and small random plans full of the awkward cases that the
// half-edge walk meets in practice.
#ifndef RVN_TESTS_FACES_PLANFIXTURES_H
#define RVN_TESTS_FACES_PLANFIXTURES_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "BaseCommon/faces/C3DLineArray.h"
#include "BaseCommon/geometry/C3DLine.h"

namespace rvn_test {

struct PlanLine {
    double a[3];
    double b[3];
};

// Appends the lines to the array as new heap lines (the array owns them), in random order
// and every other one reversed when rng is given.
inline void EmitLines(std::vector<PlanLine> v, C3DLineArray& lines, std::mt19937_64* rng) {
    if (rng != nullptr)
        std::shuffle(v.begin(), v.end(), *rng);
    for (size_t i = 0; i < v.size(); ++i) {
        const PlanLine& l = v[i];
        const C3DPoint a(l.a[0], l.a[1], l.a[2]);
        const C3DPoint b(l.b[0], l.b[1], l.b[2]);
        const bool reverse = rng != nullptr && i % 2 == 1;
        lines.Add(reverse ? new C3DLine(b, a) : new C3DLine(a, b));
    }
}

// n x n square cells of the given pitch at height z: n (n + 1) lines in each direction, one
// between each pair of neighbouring nodes (20 200 lines for n = 100). End points are exact.
inline std::vector<PlanLine> GridLines(int n, double pitch, double z) {
    std::vector<PlanLine> v;
    v.reserve(static_cast<size_t>(2 * n * (n + 1)));
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= n; ++j) {
            const double x = i * pitch;
            const double y = j * pitch;
            if (i < n)
                v.push_back({{x, y, z}, {x + pitch, y, z}});
            if (j < n)
                v.push_back({{x, y, z}, {x, y + pitch, z}});
        }
    }
    return v;
}

// A storey plan as drawn: the n x n grid with about 8% of the inner lines left out (merged
// panels), a diagonal brace in about 5% of the cells and a short dangling line from about 3%
// of the nodes. End points are exact, so every polygonizer joins them.
inline std::vector<PlanLine> RealisticLines(int n, double pitch, uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<PlanLine> v;
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= n; ++j) {
            const double x = i * pitch;
            const double y = j * pitch;
            if (i < n && !(j > 0 && j < n && u(rng) < 0.08))
                v.push_back({{x, y, 0.0}, {x + pitch, y, 0.0}});
            if (j < n && !(i > 0 && i < n && u(rng) < 0.08))
                v.push_back({{x, y, 0.0}, {x, y + pitch, 0.0}});
            if (i < n && j < n && u(rng) < 0.05)
                v.push_back({{x, y, 0.0}, {x + pitch, y + pitch, 0.0}});
            if (i < n && j < n && u(rng) < 0.03)
                v.push_back({{x, y, 0.0}, {x + 0.3 * pitch, y + 0.2 * pitch, 0.0}});
        }
    }
    return v;
}

// A small random plan for comparing walks: an uneven grid (round, arbitrary, microscopic or
// far-from-origin coordinates, sometimes rotated so that every line is oblique) with merged
// cells, edges split at collinear points, diagonals (sometimes crossing), dangling lines,
// duplicated lines either way round, lines shorter than the tolerance, now and then a null
// entry or a line with a non-finite coordinate; end points jittered by up to 5e-7 in each
// coordinate, a few by about 1e-6 (either side of the joining tolerance); shuffled and half
// reversed.
inline void RandomPlan(std::mt19937_64& rng, C3DLineArray& lines) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    auto chance = [&](double p) { return u(rng) < p; };
    const int nx = 1 + static_cast<int>(rng() % 8);
    const int ny = 1 + static_cast<int>(rng() % 8);
    const int kind = static_cast<int>(rng() % 4);
    double scale = 1.0;
    double origin = 0.0;
    if (kind == 1)
        scale = 0.37 + 2.9 * u(rng);
    if (kind == 2)
        scale = 2e-6 + 2e-4 * u(rng);  // several nodes in one cell of the index
    if (kind == 3)
        origin = 1e5 + 1e6 * u(rng);
    const double z = chance(0.3) ? 5.0 : (chance(0.5) ? 0.0 : 3.0 * u(rng));
    const double angle = chance(0.4) ? 6.283185307179586 * u(rng) : 0.0;
    std::vector<double> xs(static_cast<size_t>(nx + 1)), ys(static_cast<size_t>(ny + 1));
    for (size_t i = 1; i < xs.size(); ++i)
        xs[i] =
            xs[i - 1] + scale * (kind == 0 ? 1.0 + static_cast<double>(rng() % 3) : u(rng) + 0.3);
    for (size_t j = 1; j < ys.size(); ++j)
        ys[j] =
            ys[j - 1] + scale * (kind == 0 ? 1.0 + static_cast<double>(rng() % 3) : u(rng) + 0.3);

    auto jitter = [&]() {
        if (chance(0.02))  // about the joining tolerance: joins or not by the last bits
            return (chance(0.5) ? 1.0 : -1.0) * (1e-6 + (u(rng) - 0.5) * 4e-12);
        return (2.0 * u(rng) - 1.0) * 5e-7;
    };
    std::vector<PlanLine> v;
    auto add = [&](double x0, double y0, double x1, double y1) {
        const double c = std::cos(angle), s = std::sin(angle);
        PlanLine l{{origin + c * x0 - s * y0, origin + s * x0 + c * y0, z},
                   {origin + c * x1 - s * y1, origin + s * x1 + c * y1, z}};
        for (int k = 0; k < 3; ++k) {
            l.a[k] += jitter();
            l.b[k] += jitter();
        }
        v.push_back(l);
        if (chance(0.06))
            v.push_back(chance(0.5) ? l
                                    : PlanLine{{l.b[0], l.b[1], l.b[2]}, {l.a[0], l.a[1], l.a[2]}});
    };
    auto edge = [&](double x0, double y0, double x1, double y1) {
        if (chance(0.15)) {  // split at a collinear point
            const double t = chance(0.5) ? 0.5 : u(rng);
            const double xm = x0 + (x1 - x0) * t, ym = y0 + (y1 - y0) * t;
            add(x0, y0, xm, ym);
            add(xm, ym, x1, y1);
        } else {
            add(x0, y0, x1, y1);
        }
    };
    for (int i = 0; i <= nx; ++i) {
        for (int j = 0; j <= ny; ++j) {
            const double x = xs[static_cast<size_t>(i)], y = ys[static_cast<size_t>(j)];
            const bool inner = i > 0 && i < nx && j > 0 && j < ny;
            if (i < nx && !(inner && chance(0.15)))
                edge(x, y, xs[static_cast<size_t>(i + 1)], y);
            if (j < ny && !(inner && chance(0.15)))
                edge(x, y, x, ys[static_cast<size_t>(j + 1)]);
            if (i < nx && j < ny) {
                const double x1 = xs[static_cast<size_t>(i + 1)],
                             y1 = ys[static_cast<size_t>(j + 1)];
                if (chance(0.15))
                    add(x, y, x1, y1);
                if (chance(0.05))
                    add(x1, y, x, y1);
                if (chance(0.1))
                    add(x, y, x + (x1 - x) * u(rng), y + (y1 - y) * u(rng));
                if (chance(0.03))
                    add(x, y, x + 3e-7, y - 2e-7);  // shorter than the tolerance
            }
        }
    }
    if (chance(0.1)) {
        const double bad = chance(0.5) ? std::numeric_limits<double>::quiet_NaN()
                                       : std::numeric_limits<double>::infinity();
        PlanLine l = v[rng() % v.size()];
        l.b[rng() % 3] = bad;
        v.push_back(l);
    }
    EmitLines(v, lines, &rng);
    if (chance(0.05))
        lines.InsertAt(static_cast<int>(rng() % static_cast<uint64_t>(lines.GetSize() + 1)),
                       static_cast<C3DLine*>(nullptr));
}

}  // namespace rvn_test

#endif  // RVN_TESTS_FACES_PLANFIXTURES_H
