// Floor plans made of lines, for the face-generation tests and benchmarks: small random plans
// full of the awkward cases that the half-edge walk meets in practice.
#ifndef RVN_TESTS_FACES_PLANFIXTURES_H
#define RVN_TESTS_FACES_PLANFIXTURES_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "BaseCommon/faces/C3DLineArray.h"
#include "BaseCommon/geometry/C3DLine.h"

namespace rvn_test {

struct PlanLine {
    double a[3];
    double b[3];
};

// Appends the lines to the array as new heap lines (the array owns them); with rng, in random
// order and every other one reversed.
inline void EmitLines(std::vector<PlanLine> v, C3DLineArray& lines, std::mt19937_64* rng) {
    if (rng != nullptr)
        std::shuffle(v.begin(), v.end(), *rng);
    for (size_t i = 0; i < v.size(); ++i) {
        const double *a = v[i].a, *b = v[i].b;
        if (rng != nullptr && i % 2 == 1)
            std::swap(a, b);
        lines.Add(new C3DLine(C3DPoint(a[0], a[1], a[2]), C3DPoint(b[0], b[1], b[2])));
    }
}

// A small random plan for comparing walks: an uneven grid (whole or arbitrary steps; now and
// then microscopic, so that several nodes share a cell of the index, far from the origin, or
// rotated so that every line is oblique) with merged cells, edges split at collinear points,
// diagonals (sometimes crossing), dangling lines and duplicated lines either way round; every
// end jittered by up to 5e-7 per coordinate; shuffled and half reversed. With axisScale, the
// plan is instead drawn at axisScale[0] on x and axisScale[1] on y (after the rotation, with no
// offset), whatever the magnitude: at 1e150 and beyond the jitter vanishes in the rounding, at
// 1e-150 every end joins every other. extraCells widens the grid by that many cells per axis.
inline void RandomPlan(std::mt19937_64& rng, C3DLineArray& lines, const double* axisScale = nullptr,
                       int extraCells = 0) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    auto chance = [&](double p) { return u(rng) < p; };
    const double scale = chance(0.25) ? 2e-6 + 2e-4 * u(rng) : 1.0;
    const double origin = chance(0.25) ? 1e5 + 1e6 * u(rng) : 0.0;
    const double angle = chance(0.4) ? 6.283185307179586 * u(rng) : 0.0;
    const double z = chance(0.5) ? 5.0 : 0.0;
    std::vector<PlanLine> v;
    auto add = [&](double x0, double y0, double x1, double y1) {
        PlanLine l{{x0, y0, z}, {x1, y1, z}};
        for (double* p : {l.a, l.b}) {
            if (axisScale != nullptr) {
                const double x = p[0], y = p[1];
                p[0] = axisScale[0] * (std::cos(angle) * x - std::sin(angle) * y) +
                       (2 * u(rng) - 1) * 5e-7;
                p[1] = axisScale[1] * (std::sin(angle) * x + std::cos(angle) * y) +
                       (2 * u(rng) - 1) * 5e-7;
                p[2] += (2 * u(rng) - 1) * 5e-7;
                continue;
            }
            const double x = scale * p[0], y = scale * p[1];
            p[0] = origin + std::cos(angle) * x - std::sin(angle) * y + (2 * u(rng) - 1) * 5e-7;
            p[1] = origin + std::sin(angle) * x + std::cos(angle) * y + (2 * u(rng) - 1) * 5e-7;
            p[2] += (2 * u(rng) - 1) * 5e-7;
        }
        v.push_back(l);
        if (chance(0.06))
            v.push_back(chance(0.5) ? l
                                    : PlanLine{{l.b[0], l.b[1], l.b[2]}, {l.a[0], l.a[1], l.a[2]}});
    };
    auto edge = [&](double x0, double y0, double x1, double y1) {
        const double t = chance(0.15) ? (chance(0.5) ? 0.5 : u(rng)) : 1.0;
        add(x0, y0, x0 + (x1 - x0) * t, y0 + (y1 - y0) * t);
        if (t < 1.0)  // split at a collinear point
            add(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, x1, y1);
    };
    const bool whole = chance(0.5);
    std::vector<double> xs{0.0}, ys{0.0};
    for (std::vector<double>* c : {&xs, &ys})
        for (int i = 1 + extraCells + static_cast<int>(rng() % 8); i > 0; --i)
            c->push_back(c->back() + (whole ? static_cast<double>(1 + rng() % 3) : 0.3 + u(rng)));
    const size_t nx = xs.size() - 1, ny = ys.size() - 1;
    for (size_t i = 0; i <= nx; ++i) {
        for (size_t j = 0; j <= ny; ++j) {
            const double x = xs[i], y = ys[j];
            const bool inner = i > 0 && i < nx && j > 0 && j < ny;
            if (i < nx && !(inner && chance(0.15)))  // else merged
                edge(x, y, xs[i + 1], y);
            if (j < ny && !(inner && chance(0.15)))
                edge(x, y, x, ys[j + 1]);
            if (i == nx || j == ny)
                continue;
            if (chance(0.15))
                add(x, y, xs[i + 1], ys[j + 1]);
            if (chance(0.05))
                add(xs[i + 1], y, x, ys[j + 1]);
            if (chance(0.1))  // dangling
                add(x, y, x + (xs[i + 1] - x) * u(rng), y + (ys[j + 1] - y) * u(rng));
        }
    }
    EmitLines(v, lines, &rng);
}

}  // namespace rvn_test

#endif  // RVN_TESTS_FACES_PLANFIXTURES_H
