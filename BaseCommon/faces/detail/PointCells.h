// Internal: the hash grid over end points shared by the face walk (HalfEdgeWalk) and the panel
// arrangement (PlanPanels). Points are bucketed by the cell of a fixed grid that contains them,
// so that every point that can equal a given one within the point tolerance is found in that
// cell or, for a point near a cell face, in the few cells around it. Nothing here is exported.
#ifndef RVN_FACES_DETAIL_POINTCELLS_H
#define RVN_FACES_DETAIL_POINTCELLS_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "BaseCommon/geometry/Tolerance.h"

namespace rvn {
namespace detail {

// Edge of a grid cell, 2^-12 (about 2.4e-4, some 240 times the joining tolerance). The box
// searched around a point reaches kReach to each side; a point farther than that from every
// cell face finds all the points that can join it in its own cell, which is the case for
// about 98% of arbitrary coordinates per axis and for all round ones (see CellIndex). Points
// closer together than a cell share it: only the exact test sets them apart, at some cost in
// time for plans drawn at that scale.
constexpr double kCellSize = 1.0 / 4096.0;
// Half-width of the searched box. Twice the tolerance: a point q that passes the strict test
// |q - p| < 1e-6 lies in [fl(p - 2e-6), fl(p + 2e-6)] whatever the magnitude of p, so the
// rounding of the box bounds never loses a joining point.
constexpr double kReach = 2.0 * kTolPoint;
// Cell indices are clamped so that the conversion to an integer is defined for every finite
// coordinate; points beyond 2e14 share the border cells, which costs time, not results.
constexpr double kCellLimit = 1e18;

// Cells are centred on the multiples of kCellSize, so round coordinates (whole millimetres,
// centimetres or metres: the usual plan grid) lie well inside a cell, not on a face.
inline int64_t CellIndex(double v) {
    // Any monotone map of the coordinate will do (see kReach); a product is cheaper than a
    // quotient.
    const double t = v * (1.0 / kCellSize) + 0.5;
    if (t < -kCellLimit)
        return -static_cast<int64_t>(kCellLimit);
    if (t > kCellLimit)
        return static_cast<int64_t>(kCellLimit);
    // floor(t) by truncation: exact below the clamp, and cheaper than std::floor on the
    // baseline instruction set.
    const int64_t i = static_cast<int64_t>(t);
    return static_cast<double>(i) > t ? i - 1 : i;
}

// Quick answer to "does the searched box stay in the cell": below 2^30 cells from the origin
// the rounding of the scaled coordinate and of p -+ kReach stays under 1e-6 of a cell, so a
// point whose position in its cell is at least twice the reach from both faces cannot
// straddle. Elsewhere the exact test decides.
constexpr double kQuickRange = 1073741824.0;
constexpr double kQuickMargin = 2.0 * kReach / kCellSize;

inline uint64_t Mix(uint64_t h) {
    h ^= h >> 30;
    h *= 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 27;
    h *= 0x94d049bb133111ebULL;
    h ^= h >> 31;
    return h;
}

// Two cells with the same key share one bucket; the exact point test sorts them out, so a
// collision costs time only.
inline uint64_t CellKey(int64_t cx, int64_t cy, int64_t cz) {
    return Mix(static_cast<uint64_t>(cx) * 0x9e3779b97f4a7c15ULL +
               static_cast<uint64_t>(cy) * 0xc2b2ae3d27d4eb4fULL +
               static_cast<uint64_t>(cz) * 0x165667b19e3779f9ULL);
}

// The key of p's cell; straddles tells whether the box of points that can join p reaches
// beyond that cell.
inline uint64_t LocateCell(const double* p, bool& straddles) {
    int64_t c[3];
    straddles = false;
    for (int a = 0; a < 3; ++a) {
        c[a] = CellIndex(p[a]);
        if (straddles)
            continue;
        const double t = p[a] * (1.0 / kCellSize) + 0.5;
        const double inCell = t - static_cast<double>(c[a]);
        if (std::fabs(t) < kQuickRange && inCell >= kQuickMargin && inCell <= 1.0 - kQuickMargin)
            continue;
        straddles = CellIndex(p[a] - kReach) != c[a] || CellIndex(p[a] + kReach) != c[a];
    }
    return CellKey(c[0], c[1], c[2]);
}

// Calls visit(key) for the key of every cell that the box of points able to join p meets
// (up to two cells per axis). Two cells under one key are visited twice.
template <class Visit>
void ForEachNearCell(const double* p, Visit visit) {
    int64_t lo[3], hi[3];
    for (int a = 0; a < 3; ++a) {
        lo[a] = CellIndex(p[a] - kReach);
        hi[a] = CellIndex(p[a] + kReach);
    }
    for (int64_t cx = lo[0]; cx <= hi[0]; ++cx)
        for (int64_t cy = lo[1]; cy <= hi[1]; ++cy)
            for (int64_t cz = lo[2]; cz <= hi[2]; ++cz)
                visit(CellKey(cx, cy, cz));
}

inline bool IsFinite3(const double* p) {
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

// The point test of C3DPoint::operator==.
inline bool SamePoint(const double* p, const double* q) {
    return std::fabs(p[0] - q[0]) < kTolPoint && std::fabs(p[1] - q[1]) < kTolPoint &&
           std::fabs(p[2] - q[2]) < kTolPoint;
}

// Spreads the low 16 bits of v to the even bit positions.
inline uint32_t SpreadBits(uint32_t v) {
    v &= 0xffffu;
    v = (v | (v << 8)) & 0x00ff00ffu;
    v = (v | (v << 4)) & 0x0f0f0f0fu;
    v = (v | (v << 2)) & 0x33333333u;
    v = (v | (v << 1)) & 0x55555555u;
    return v;
}

// New numbers 0 .. n - 1 for n plan points (point i at xy[stride * i], xy[stride * i + 1]) that
// take them in Z order over a coarse grid on their box, about one point per grid cell: records
// stored in that order lie close together in memory when their points lie close together on
// the plan (the corners of most panels within a few records), so that tracing a panel touches
// a few cache lines however the lines were drawn or sorted. A counting sort: linear.
inline std::vector<int> PlanRank(const double* xy, size_t stride, int n) {
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
    for (int i = 0; i < n; ++i) {
        const double* p = xy + stride * static_cast<size_t>(i);
        x0 = i == 0 ? p[0] : std::fmin(x0, p[0]);
        x1 = i == 0 ? p[0] : std::fmax(x1, p[0]);
        y0 = i == 0 ? p[1] : std::fmin(y0, p[1]);
        y1 = i == 0 ? p[1] : std::fmax(y1, p[1]);
    }
    // A power of two, side * side at least n, at most 2^16.
    uint32_t side = 1;
    while (side < 65536u && static_cast<uint64_t>(side) * side < static_cast<uint64_t>(n))
        side *= 2;
    // The fraction of the box, clamped: a box wider than the largest double gives inf or NaN.
    auto cellOf = [side](double t, double lo, double hi) {
        double f = (t - lo) / (hi - lo);
        if (!(f > 0.0))
            f = 0.0;
        const uint32_t c = static_cast<uint32_t>(std::fmin(f, 1.0) * side);
        return c < side ? c : side - 1;
    };
    std::vector<int> rank(static_cast<size_t>(n));  // grid cell, then new number
    std::vector<int> start(static_cast<size_t>(side) * side + 1, 0);
    for (int i = 0; i < n; ++i) {
        const double* p = xy + stride * static_cast<size_t>(i);
        const uint32_t c =
            SpreadBits(cellOf(p[0], x0, x1)) | (SpreadBits(cellOf(p[1], y0, y1)) << 1);
        rank[static_cast<size_t>(i)] = static_cast<int>(c);
        ++start[static_cast<size_t>(c) + 1];
    }
    for (size_t c = 1; c < start.size(); ++c)
        start[c] += start[c - 1];
    for (int& r : rank)
        r = start[static_cast<size_t>(r)]++;
    return rank;
}

// Open addressing from cell keys to bucket numbers 0, 1, 2, ... in order of first insertion.
// Kept at most half full, so that probes stay short; each entry holds its key beside its
// bucket, so that a probe reads one cache line (the cells come in no spatial order: nearly
// every probe is a miss).
class CellTable {
public:
    // Room for about `expected` cells before the first growth.
    explicit CellTable(size_t expected) {
        size_t cap = 16;
        while (cap < 2 * expected)
            cap *= 2;
        m_entry.assign(cap, Entry{0, -1});
        m_mask = cap - 1;
    }
    size_t Count() const { return m_count; }
    // The bucket of key, or -1.
    int Find(uint64_t key) const {
        for (size_t s = key & m_mask; m_entry[s].bucket >= 0; s = (s + 1) & m_mask) {
            if (m_entry[s].key == key)
                return m_entry[s].bucket;
        }
        return -1;
    }
    // A hint to fetch the entry where the search for key starts, ahead of Find or Insert.
    void Prefetch(uint64_t key) const {
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(m_entry.data() + (key & m_mask));
#else
        (void)key;
#endif
    }
    // The bucket of key, a new one when the key is new.
    int Insert(uint64_t key) {
        size_t s = key & m_mask;
        for (; m_entry[s].bucket >= 0; s = (s + 1) & m_mask) {
            if (m_entry[s].key == key)
                return m_entry[s].bucket;
        }
        if (2 * (m_count + 1) > m_entry.size()) {
            Grow();
            s = key & m_mask;
            while (m_entry[s].bucket >= 0)
                s = (s + 1) & m_mask;
        }
        const int bucket = static_cast<int>(m_count++);
        m_entry[s] = Entry{key, bucket};
        return bucket;
    }
    // Frees the table (the bucket numbers already handed out stay valid for the caller).
    void Release() {
        std::vector<Entry>().swap(m_entry);
        m_count = 0;
        m_mask = 0;
    }

private:
    struct Entry {
        uint64_t key;
        int bucket;  // -1: free
    };

    void Grow() {
        std::vector<Entry> old(2 * m_entry.size(), Entry{0, -1});
        old.swap(m_entry);
        m_mask = m_entry.size() - 1;
        for (const Entry& e : old) {
            if (e.bucket < 0)
                continue;
            size_t s = e.key & m_mask;
            while (m_entry[s].bucket >= 0)
                s = (s + 1) & m_mask;
            m_entry[s] = e;
        }
    }

    std::vector<Entry> m_entry;
    size_t m_count = 0;
    size_t m_mask = 0;
};

}  // namespace detail
}  // namespace rvn

#endif  // RVN_FACES_DETAIL_POINTCELLS_H
