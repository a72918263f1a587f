// One spatial index for every search of the model: items (points, segments) kept in the
// square cells of a uniform grid, hashed so that only occupied cells take memory. Searching
// a box visits the items in the cells it touches, each once; a box that touches more cells
// than there are items is answered by a scan of the items' boxes instead, so no search costs
// more than a scan.
#ifndef RVN_EXAMPLES_PILERAFT_SPATIALHASH_H
#define RVN_EXAMPLES_PILERAFT_SPATIALHASH_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace pileraft {

struct Box {
    double x0, y0, x1, y1;
    bool Overlaps(const Box& o) const {
        return x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1;
    }
};

class SpatialHash {
public:
    explicit SpatialHash(double cell) : m_cell(cell) {}

    int Size() const { return static_cast<int>(m_boxes.size()); }

    // A point item; returns its id (ids count up from 0).
    int AddPoint(double x, double y) {
        const int id = NewItem(Box{x, y, x, y});
        Cover(id, m_boxes[id]);
        return id;
    }

    // A segment item, widened by pad: it is entered in the cells along it, not in every cell
    // of its bounding box, so a long diagonal line costs cells in proportion to its length.
    int AddSegment(double ax, double ay, double bx, double by, double pad) {
        const int id = NewItem(Widen(
            Box{std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)}, pad));
        ForParts(ax, ay, bx, by, pad, [&](const Box& part) { Cover(id, part); });
        return id;
    }

    // Calls visit(id) once for every item whose cells the box touches (a superset of the
    // items that overlap it; the caller makes the exact test).
    template <class F>
    void Query(const Box& box, F visit) const {
        ++m_query;
        Visit(box, visit);
    }

    // As Query, for the cells along a segment widened by pad.
    template <class F>
    void QuerySegment(double ax, double ay, double bx, double by, double pad, F visit) const {
        ++m_query;
        ForParts(ax, ay, bx, by, pad, [&](const Box& part) { Visit(part, visit); });
    }

private:
    // Cell indices are clamped so that the conversion to an integer is defined for every
    // finite coordinate; beyond the clamp all cells merge, which only costs time.
    static constexpr double kCellLimit = 1e15;

    std::int64_t CellOf(double v) const {
        const double t = std::floor(v / m_cell);
        if (!(t > -kCellLimit))
            return -static_cast<std::int64_t>(kCellLimit);
        if (t > kCellLimit)
            return static_cast<std::int64_t>(kCellLimit);
        return static_cast<std::int64_t>(t);
    }
    static std::uint64_t Key(std::int64_t cx, std::int64_t cy) {
        return static_cast<std::uint64_t>(cx) * 0x9E3779B97F4A7C15ull ^
               static_cast<std::uint64_t>(cy);
    }
    static Box Widen(const Box& b, double pad) {
        return Box{b.x0 - pad, b.y0 - pad, b.x1 + pad, b.y1 + pad};
    }

    int NewItem(const Box& box) {
        m_boxes.push_back(box);
        m_stamp.push_back(0);
        return static_cast<int>(m_boxes.size()) - 1;
    }

    void Cover(int id, const Box& part) {
        for (std::int64_t i = CellOf(part.x0); i <= CellOf(part.x1); ++i)
            for (std::int64_t j = CellOf(part.y0); j <= CellOf(part.y1); ++j) {
                std::vector<int>& cell = m_cells[Key(i, j)];
                if (cell.empty() || cell.back() != id)
                    cell.push_back(id);
            }
    }

    // The segment in pieces no longer than a cell, each as its widened box.
    template <class F>
    void ForParts(double ax, double ay, double bx, double by, double pad, F f) const {
        const double len = std::hypot(bx - ax, by - ay);
        const double parts = std::min(std::ceil(len / m_cell), 1e6);
        const int n = parts >= 1.0 ? static_cast<int>(parts) : 1;
        for (int k = 0; k < n; ++k) {
            const double t0 = static_cast<double>(k) / n, t1 = static_cast<double>(k + 1) / n;
            const double x0 = ax + t0 * (bx - ax), y0 = ay + t0 * (by - ay);
            const double x1 = k + 1 == n ? bx : ax + t1 * (bx - ax);
            const double y1 = k + 1 == n ? by : ay + t1 * (by - ay);
            f(Widen(Box{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)},
                    pad));
        }
    }

    template <class F>
    void Visit(const Box& box, F& visit) const {
        const std::int64_t i0 = CellOf(box.x0), i1 = CellOf(box.x1);
        const std::int64_t j0 = CellOf(box.y0), j1 = CellOf(box.y1);
        const double cells =
            (static_cast<double>(i1 - i0) + 1.0) * (static_cast<double>(j1 - j0) + 1.0);
        if (cells > static_cast<double>(m_boxes.size())) {
            for (int id = 0; id < static_cast<int>(m_boxes.size()); ++id)
                if (m_stamp[id] != m_query && m_boxes[id].Overlaps(box)) {
                    m_stamp[id] = m_query;
                    visit(id);
                }
            return;
        }
        for (std::int64_t i = i0; i <= i1; ++i)
            for (std::int64_t j = j0; j <= j1; ++j) {
                const auto it = m_cells.find(Key(i, j));
                if (it == m_cells.end())
                    continue;
                for (int id : it->second)
                    if (m_stamp[id] != m_query) {
                        m_stamp[id] = m_query;
                        visit(id);
                    }
            }
    }

    double m_cell;
    std::unordered_map<std::uint64_t, std::vector<int>> m_cells;
    std::vector<Box> m_boxes;
    mutable std::vector<unsigned> m_stamp;
    mutable unsigned m_query = 0;
};

}  // namespace pileraft

#endif  // RVN_EXAMPLES_PILERAFT_SPATIALHASH_H
