// The panels of a plan: the bounded faces of the planar arrangement of its lines.
//
// The ends are joined into nodes (a hash grid finds the ends within the point tolerance of
// each other), the half-edges leaving each node are sorted by direction, and each face is
// traced by turning, at every node, onto the half-edge next clockwise from the way back:
// bounded faces come out anticlockwise, the unbounded face of each group of connected lines
// clockwise. Lines with the same face on both sides bound no area and are dropped; then
// every group's clockwise outer boundary becomes a hole of the smallest panel of another
// group around it. Each step is linear in the number of lines but the last, which compares
// each inner group with the panels whose box holds it.
#include "BaseCommon/faces/PlanPanels.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "BaseCommon/faces/detail/HalfEdgeWalk.h"
#include "BaseCommon/faces/detail/PointCells.h"
#include "BaseCommon/framework/CException.h"
#include "BaseCommon/geometry/C3DLine.h"
#include "BaseCommon/geometry/C3DVec.h"

namespace rvn {
namespace {

using detail::SamePoint;

// The rings found, as node indices; what the faces are built from once the arrangement's
// working memory is freed.
struct Rings {
    std::vector<double> node;    // x, y, z of each node
    std::vector<int> corner;     // node indices, ring after ring
    std::vector<int> ringStart;  // one more entry than there are rings
    int nPanels = 0;
    std::vector<int> panelRing;  // the ring of each panel, in output order
    std::vector<int> holeRing;   // the ring of each hole, in output order
    std::vector<int> holeOf;     // the panel (0-based) of each hole
};

int Find(std::vector<int>& parent, int i) {
    int r = i;
    while (parent[static_cast<size_t>(r)] != r)
        r = parent[static_cast<size_t>(r)];
    while (parent[static_cast<size_t>(i)] != r) {
        const int up = parent[static_cast<size_t>(i)];
        parent[static_cast<size_t>(i)] = r;
        i = up;
    }
    return r;
}

// The lower root stays the root, so each group's root is its first member.
void Unite(std::vector<int>& parent, int a, int b) {
    a = Find(parent, a);
    b = Find(parent, b);
    if (a < b)
        parent[static_cast<size_t>(b)] = a;
    else if (b < a)
        parent[static_cast<size_t>(a)] = b;
}

// A monotone key of the plan direction (dx, dy) in [0, 4), anticlockwise from +x, without a
// trigonometric call: it orders directions exactly as their angles do, apart from rounding
// near 1e-16 rad, which only lines lying on each other could show.
double DirectionKey(double dx, double dy) {
    const double r = dy / (std::fabs(dx) + std::fabs(dy));
    if (dx >= 0.0)
        return r >= 0.0 ? r : 4.0 + r;
    return 2.0 - r;
}

class Arrangement {
public:
    explicit Arrangement(const C3DLineArray& lines) { Build(lines); }
    Rings Extract();

private:
    void Build(const C3DLineArray& lines);
    void JoinEnds(const std::vector<double>& ends);
    void Localise();
    void SortFans(std::vector<char>& removed);
    // The successor of every half-edge on its face: the half-edge next clockwise from its
    // twin around the node it leads to.
    void LinkFaces();
    // Gives face id f to the whole ring through h.
    void Trace(int h, int f) {
        int cur = h;
        do {
            HalfEdge& e = m_he[static_cast<size_t>(cur)];
            e.face = f;
            cur = e.next;
        } while (cur != h);
    }
    const double* Node(int v) const { return m_node.data() + 3 * static_cast<size_t>(v); }

    std::vector<double> m_node;  // x, y, z of each node
    std::vector<int> m_nodeOf;   // per end (2a, 2a + 1 of active line a): its node
    // Half-edge 2i runs along edge i, 2i + 1 back. What a step along a face reads sits in one
    // record, and a half-edge shares its cache line with its twin: the plan's lines come in
    // no spatial order, so every step is a jump in memory.
    struct HalfEdge {
        int origin;  // start node
        int next;    // successor on its face, -1 once dropped
        int face;
        int orig;  // 2k along the k-th line that takes part, 2k + 1 back
    };
    std::vector<HalfEdge> m_he;
    std::vector<int> m_fanStart;  // per node: its half-edges in m_fan, by direction
    std::vector<int> m_fan;
};

void Arrangement::Build(const C3DLineArray& lines) {
    const int n = lines.GetSize();
    std::vector<double> ends;  // begin x, y, z, end x, y, z of each line that takes part
    ends.reserve(6 * static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) {
        const C3DLine* l = lines.GetAt(k);
        if (l == nullptr || l->GetBgnPnt() == nullptr || l->GetEndPnt() == nullptr)
            continue;
        const C3DPoint& b = *l->GetBgnPnt();
        const C3DPoint& e = *l->GetEndPnt();
        const double p[6] = {b.x, b.y, b.z, e.x, e.y, e.z};
        if (!detail::IsFinite3(p) || !detail::IsFinite3(p + 3) || SamePoint(p, p + 3))
            continue;
        ends.insert(ends.end(), p, p + 6);
    }
    JoinEnds(ends);
    std::vector<double>().swap(ends);

    // Edges: the lines between two different nodes that do not stand vertical in plan.
    const size_t nAct = m_nodeOf.size() / 2;
    m_he.reserve(2 * nAct);
    for (size_t a = 0; a < nAct; ++a) {
        const int u = m_nodeOf[2 * a], v = m_nodeOf[2 * a + 1];
        if (u == v || (Node(u)[0] == Node(v)[0] && Node(u)[1] == Node(v)[1]))
            continue;
        const int k = static_cast<int>(2 * a);
        m_he.push_back({u, -1, -1, k});
        m_he.push_back({v, -1, -1, k + 1});
    }
    std::vector<int>().swap(m_nodeOf);
    Localise();

    std::vector<char> removed(m_he.size() / 2, 0);  // per edge
    SortFans(removed);

    // Faces of every half-edge; then the lines with one face on both sides are dropped and
    // the faces they were on traced again.
    const int nHalf = static_cast<int>(m_he.size());
    LinkFaces();
    int nFaces = 0;
    for (int h = 0; h < nHalf; ++h) {
        if (m_he[static_cast<size_t>(h)].next >= 0 && m_he[static_cast<size_t>(h)].face < 0)
            Trace(h, nFaces++);
    }
    std::vector<char> dirty(static_cast<size_t>(nFaces), 0);
    bool anyBridge = false;
    for (int h = 0; h < nHalf; h += 2) {
        const int f = m_he[static_cast<size_t>(h)].face;
        if (m_he[static_cast<size_t>(h)].next >= 0 && f == m_he[static_cast<size_t>(h) + 1].face) {
            removed[static_cast<size_t>(h / 2)] = 1;
            dirty[static_cast<size_t>(f)] = 1;
            anyBridge = true;
        }
    }
    if (!anyBridge)
        return;
    SortFans(removed);  // the fans without the dropped lines (already in order)
    LinkFaces();
    for (int h = 0; h < nHalf; ++h) {
        int& f = m_he[static_cast<size_t>(h)].face;
        if (f >= 0 && dirty[static_cast<size_t>(f)])
            f = -1;
    }
    for (int h = 0; h < nHalf; ++h) {
        if (m_he[static_cast<size_t>(h)].next >= 0 && m_he[static_cast<size_t>(h)].face < 0)
            Trace(h, nFaces++);
    }
}

void Arrangement::JoinEnds(const std::vector<double>& ends) {
    const int nEnds = static_cast<int>(ends.size() / 3);
    const double* p = ends.data();
    // The ends sorted by the bucket of their cell (counting sort), each with a copy of its
    // coordinates, so that the comparisons below read memory in order.
    detail::CellTable cells(static_cast<size_t>(nEnds) / 4 + 1);
    std::vector<int> slotOf(static_cast<size_t>(nEnds));  // bucket for now
    std::vector<char> straddles(static_cast<size_t>(nEnds));
    // A batch of keys at a time, their table entries fetched before the first is needed.
    constexpr int kBatch = 32;
    uint64_t key[kBatch];
    for (int e0 = 0; e0 < nEnds; e0 += kBatch) {
        const int n = std::min(kBatch, nEnds - e0);
        for (int i = 0; i < n; ++i) {
            bool st = false;
            key[i] = detail::LocateCell(p + 3 * (e0 + i), st);
            straddles[static_cast<size_t>(e0 + i)] = st;
            cells.Prefetch(key[i]);
        }
        for (int i = 0; i < n; ++i)
            slotOf[static_cast<size_t>(e0 + i)] = cells.Insert(key[i]);
    }
    std::vector<int> start(cells.Count() + 1, 0);
    for (const int b : slotOf)
        ++start[static_cast<size_t>(b) + 1];
    for (size_t b = 1; b < start.size(); ++b)
        start[b] += start[b - 1];
    std::vector<int> member(static_cast<size_t>(nEnds));  // end of each slot
    std::vector<double> xyz(3 * static_cast<size_t>(nEnds));
    {
        std::vector<int> fill(start.begin(), start.end() - 1);
        for (int e = 0; e < nEnds; ++e) {
            const int s = fill[static_cast<size_t>(slotOf[static_cast<size_t>(e)])]++;
            slotOf[static_cast<size_t>(e)] = s;
            member[static_cast<size_t>(s)] = e;
            std::copy(p + 3 * e, p + 3 * e + 3, xyz.begin() + 3 * static_cast<ptrdiff_t>(s));
        }
    }

    // Every pair of ends within the tolerance joins, transitively (union-find over the
    // slots): each slot is compared with the earlier slots of its bucket, and an end near a
    // cell face also with the slots of the other cells its tolerance box meets.
    std::vector<int> parent(static_cast<size_t>(nEnds));
    for (int s = 0; s < nEnds; ++s)
        parent[static_cast<size_t>(s)] = s;
    const double* q = xyz.data();
    auto join = [&](int s, int t) {
        if (Find(parent, s) != Find(parent, t) && SamePoint(q + 3 * s, q + 3 * t))
            Unite(parent, s, t);
    };
    const int nBuckets = static_cast<int>(cells.Count());
    for (int b = 0; b < nBuckets; ++b) {
        const int lo = start[static_cast<size_t>(b)], hi = start[static_cast<size_t>(b) + 1];
        for (int s = lo + 1; s < hi; ++s)
            for (int t = lo; t < s; ++t)
                join(s, t);
    }
    for (int s = 0; s < nEnds; ++s) {
        if (!straddles[static_cast<size_t>(member[static_cast<size_t>(s)])])
            continue;
        detail::ForEachNearCell(q + 3 * s, [&](uint64_t key) {
            const int b = cells.Find(key);
            if (b < 0 ||
                (start[static_cast<size_t>(b)] <= s && s < start[static_cast<size_t>(b) + 1]))
                return;  // no such cell, or this end's own
            for (int t = start[static_cast<size_t>(b)]; t < start[static_cast<size_t>(b) + 1]; ++t)
                join(s, t);
        });
    }
    cells.Release();
    std::vector<char>().swap(straddles);
    std::vector<int>().swap(start);
    std::vector<double>().swap(xyz);

    // One node per group, with the coordinates of the group's first end (in line order).
    std::vector<int> firstEnd(static_cast<size_t>(nEnds), INT_MAX);  // per root slot
    for (int s = 0; s < nEnds; ++s) {
        int& f = firstEnd[static_cast<size_t>(Find(parent, s))];
        f = std::min(f, member[static_cast<size_t>(s)]);
    }
    int nNodes = 0;
    for (int s = 0; s < nEnds; ++s) {
        if (parent[static_cast<size_t>(s)] != s)
            continue;
        const int e = firstEnd[static_cast<size_t>(s)];
        m_node.insert(m_node.end(), p + 3 * e, p + 3 * e + 3);
        member[static_cast<size_t>(s)] = nNodes++;  // the root's slot now holds its node
    }
    m_nodeOf.resize(static_cast<size_t>(nEnds));
    for (int e = 0; e < nEnds; ++e)
        m_nodeOf[static_cast<size_t>(e)] = member[static_cast<size_t>(
            parent[static_cast<size_t>(slotOf[static_cast<size_t>(e)])])];
}

// The plan's lines come in any order (drawn, sorted by type, shuffled): numbered as given, the
// nodes of one panel lie far apart in memory, and so do the half-edges, which on a plan of
// some 10^5 lines makes every step along a face a cache miss. The nodes are numbered again
// in Z order on a coarse grid over the plan (about one node per cell), and the half-edges by
// their lower node, so that a face's records lie close together. Counting sorts: linear.
void Arrangement::Localise() {
    const int nNodes = static_cast<int>(m_node.size() / 3);
    if (nNodes == 0)
        return;
    std::vector<int> rank = detail::PlanRank(m_node.data(), 3, nNodes);  // new number
    std::vector<double> node(m_node.size());
    for (int v = 0; v < nNodes; ++v) {
        const int r = rank[static_cast<size_t>(v)];
        for (int a = 0; a < 3; ++a)
            node[3 * static_cast<size_t>(r) + static_cast<size_t>(a)] = Node(v)[a];
    }
    m_node.swap(node);
    std::vector<double>().swap(node);

    // Edges by their lower node.
    const size_t nEdges = m_he.size() / 2;
    std::vector<int> edgeStart(static_cast<size_t>(nNodes) + 1, 0);
    for (HalfEdge& e : m_he)
        e.origin = rank[static_cast<size_t>(e.origin)];
    auto lower = [this](size_t i) { return std::min(m_he[2 * i].origin, m_he[2 * i + 1].origin); };
    for (size_t i = 0; i < nEdges; ++i)
        ++edgeStart[static_cast<size_t>(lower(i)) + 1];
    for (size_t v = 1; v < edgeStart.size(); ++v)
        edgeStart[v] += edgeStart[v - 1];
    std::vector<HalfEdge> he(m_he.size());
    for (size_t i = 0; i < nEdges; ++i) {
        const size_t j = static_cast<size_t>(edgeStart[static_cast<size_t>(lower(i))]++);
        he[2 * j] = m_he[2 * i];
        he[2 * j + 1] = m_he[2 * i + 1];
    }
    m_he.swap(he);
}

void Arrangement::LinkFaces() {
    // Read node by node, so only the writes jump.
    const int nNodes = static_cast<int>(m_node.size() / 3);
    for (int v = 0; v < nNodes; ++v) {
        const int b = m_fanStart[static_cast<size_t>(v)];
        const int d = m_fanStart[static_cast<size_t>(v) + 1] - b;
        for (int i = 0; i < d; ++i) {
            const int h = m_fan[static_cast<size_t>(b + i)];
            m_he[static_cast<size_t>(h ^ 1)].next =
                m_fan[static_cast<size_t>(b + (i == 0 ? d - 1 : i - 1))];
        }
    }
}

void Arrangement::SortFans(std::vector<char>& removed) {
    const int nNodes = static_cast<int>(m_node.size() / 3);
    const int nHalf = static_cast<int>(m_he.size());
    if (m_fan.empty()) {
        // First call: the fans in half-edge order, then each sorted anticlockwise by direction
        // (of equal keys, by far end, then by half-edge), which puts the copies of a line
        // side by side; all but the first copy are dropped.
        m_fanStart.assign(static_cast<size_t>(nNodes) + 1, 0);
        for (const HalfEdge& e : m_he)
            ++m_fanStart[static_cast<size_t>(e.origin) + 1];
        for (size_t v = 1; v < m_fanStart.size(); ++v)
            m_fanStart[v] += m_fanStart[v - 1];
        m_fan.resize(static_cast<size_t>(nHalf));
        std::vector<double> key(static_cast<size_t>(nHalf));
        {
            std::vector<int> fill(m_fanStart.begin(), m_fanStart.end() - 1);
            for (int h = 0; h < nHalf; ++h) {
                const double* a = Node(m_he[static_cast<size_t>(h)].origin);
                const double* b = Node(m_he[static_cast<size_t>(h ^ 1)].origin);
                key[static_cast<size_t>(h)] = DirectionKey(b[0] - a[0], b[1] - a[1]);
                m_fan[static_cast<size_t>(
                    fill[static_cast<size_t>(m_he[static_cast<size_t>(h)].origin)]++)] = h;
            }
        }
        auto before = [&](int g, int h) {
            const double kg = key[static_cast<size_t>(g)], kh = key[static_cast<size_t>(h)];
            if (kg != kh)
                return kg < kh;
            const int tg = m_he[static_cast<size_t>(g ^ 1)].origin,
                      th = m_he[static_cast<size_t>(h ^ 1)].origin;
            return tg != th ? tg < th
                            : m_he[static_cast<size_t>(g)].orig < m_he[static_cast<size_t>(h)].orig;
        };
        for (int v = 0; v < nNodes; ++v) {
            int* f = m_fan.data() + m_fanStart[static_cast<size_t>(v)];
            const int d =
                m_fanStart[static_cast<size_t>(v) + 1] - m_fanStart[static_cast<size_t>(v)];
            // A plan node joins a handful of lines: insertion sort.
            for (int i = 1; i < d; ++i) {
                const int h = f[i];
                int j = i;
                for (; j > 0 && before(h, f[j - 1]); --j)
                    f[j] = f[j - 1];
                f[j] = h;
            }
            for (int i = 1; i < d; ++i) {
                if (m_he[static_cast<size_t>(f[i] ^ 1)].origin ==
                    m_he[static_cast<size_t>(f[i - 1] ^ 1)].origin)
                    removed[static_cast<size_t>(f[i] / 2)] = 1;
            }
        }
    }
    // Drops the removed lines from the fans, keeping their order.
    int w = 0;
    for (int v = 0; v < nNodes; ++v) {
        const int b = m_fanStart[static_cast<size_t>(v)],
                  e = m_fanStart[static_cast<size_t>(v) + 1];
        m_fanStart[static_cast<size_t>(v)] = w;
        for (int i = b; i < e; ++i) {
            const int h = m_fan[static_cast<size_t>(i)];
            if (removed[static_cast<size_t>(h / 2)]) {
                m_he[static_cast<size_t>(h)].next = -1;
                continue;
            }
            m_fan[static_cast<size_t>(w++)] = h;
        }
    }
    m_fanStart[static_cast<size_t>(nNodes)] = w;
}

// A panel's plan box and what the hole search needs of it.
struct Box {
    double x0, y0, x1, y1, area;
    int ring;
    int first;  // the least original half-edge on the ring, which starts there
};

// Boxes by the cells of a grid over their union, about one box per cell; each box is listed
// in every cell it meets, in the order given. When long boxes would be listed too often, there
// is a single cell that lists all.
class BoxGrid {
public:
    explicit BoxGrid(const std::vector<Box>& boxes) {
        const int n = static_cast<int>(boxes.size());
        for (int i = 0; i < n; ++i) {
            const Box& b = boxes[static_cast<size_t>(i)];
            m_x0 = i == 0 ? b.x0 : std::min(m_x0, b.x0);
            m_y0 = i == 0 ? b.y0 : std::min(m_y0, b.y0);
            m_x1 = i == 0 ? b.x1 : std::max(m_x1, b.x1);
            m_y1 = i == 0 ? b.y1 : std::max(m_y1, b.y1);
        }
        m_side = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(n))));
        size_t listed = 0;
        for (const Box& b : boxes) {
            listed += static_cast<size_t>(CellOf(b.x1, m_x0, m_x1) - CellOf(b.x0, m_x0, m_x1) + 1) *
                      static_cast<size_t>(CellOf(b.y1, m_y0, m_y1) - CellOf(b.y0, m_y0, m_y1) + 1);
        }
        if (listed > 16 * static_cast<size_t>(n) + 1024)
            m_side = 1;
        m_start.assign(static_cast<size_t>(m_side) * static_cast<size_t>(m_side) + 1, 0);
        for (int pass = 0; pass < 2; ++pass) {
            std::vector<int> fill;
            if (pass == 1) {
                for (size_t c = 1; c < m_start.size(); ++c)
                    m_start[c] += m_start[c - 1];
                fill.assign(m_start.begin(), m_start.end() - 1);
                m_box.resize(static_cast<size_t>(m_start.back()));
            }
            for (int i = 0; i < n; ++i) {
                const Box& b = boxes[static_cast<size_t>(i)];
                const int cx0 = CellOf(b.x0, m_x0, m_x1), cx1 = CellOf(b.x1, m_x0, m_x1);
                const int cy0 = CellOf(b.y0, m_y0, m_y1), cy1 = CellOf(b.y1, m_y0, m_y1);
                for (int cy = cy0; cy <= cy1; ++cy) {
                    for (int cx = cx0; cx <= cx1; ++cx) {
                        const size_t c = static_cast<size_t>(cy) * static_cast<size_t>(m_side) +
                                         static_cast<size_t>(cx);
                        if (pass == 0)
                            ++m_start[c + 1];
                        else
                            m_box[static_cast<size_t>(fill[c]++)] = i;
                    }
                }
            }
        }
    }
    // The boxes listed in the cell of p, from first to last (exclusive): every box that
    // holds p is among them.
    void Cell(const double* p, const int*& first, const int*& last) const {
        const size_t c =
            static_cast<size_t>(CellOf(p[1], m_y0, m_y1)) * static_cast<size_t>(m_side) +
            static_cast<size_t>(CellOf(p[0], m_x0, m_x1));
        first = m_box.data() + m_start[c];
        last = m_box.data() + m_start[c + 1];
    }

private:
    // Monotone in t, so a box's cells run from the cell of its low side to that of its high
    // side. The fraction of the extent is clamped: an extent wider than the largest double
    // gives inf or NaN.
    int CellOf(double t, double lo, double hi) const {
        double f = (t - lo) / (hi - lo);
        if (!(f > 0.0))
            f = 0.0;
        return std::min(m_side - 1, static_cast<int>(std::min(f, 1.0) * m_side));
    }

    double m_x0 = 0.0, m_y0 = 0.0, m_x1 = 0.0, m_y1 = 0.0;
    int m_side = 1;
    std::vector<int> m_start;  // per cell, one more entry than there are cells
    std::vector<int> m_box;
};

// Crossing test on the plan: p strictly inside the ring, for a point off the ring's lines.
bool InsideRing(const double* p, const std::vector<double>& node, const int* ring, int n) {
    bool inside = false;
    for (int i = 0, j = n - 1; i < n; j = i++) {
        const double* a = node.data() + 3 * static_cast<size_t>(ring[i]);
        const double* b = node.data() + 3 * static_cast<size_t>(ring[j]);
        if ((a[1] > p[1]) != (b[1] > p[1]) &&
            p[0] < a[0] + (b[0] - a[0]) * (p[1] - a[1]) / (b[1] - a[1]))
            inside = !inside;
    }
    return inside;
}

Rings Arrangement::Extract() {
    Rings out;
    const int nHalf = static_cast<int>(m_he.size());
    const int nNodes = static_cast<int>(m_node.size() / 3);
    out.ringStart.push_back(0);
    std::vector<char> done(static_cast<size_t>(nHalf), 0);  // per face id (fewer than nHalf)
    std::vector<Box> panelBox;
    std::vector<int> outer;  // rings that run clockwise: a group's outer boundary
    for (int h = 0; h < nHalf; ++h) {
        if (m_he[static_cast<size_t>(h)].next < 0)
            continue;
        const int f = m_he[static_cast<size_t>(h)].face;
        if (done[static_cast<size_t>(f)])
            continue;
        done[static_cast<size_t>(f)] = 1;
        // Twice the signed area, from the first node so that far-off plans keep their digits.
        const double* o = Node(m_he[static_cast<size_t>(h)].origin);
        double area2 = 0.0;
        Box box{o[0], o[1], o[0], o[1], 0.0, static_cast<int>(out.ringStart.size()) - 1, INT_MAX};
        size_t firstAt = 0;
        int cur = h;
        do {
            const int v = m_he[static_cast<size_t>(cur)].origin;
            if (m_he[static_cast<size_t>(cur)].orig < box.first) {
                box.first = m_he[static_cast<size_t>(cur)].orig;
                firstAt = out.corner.size();
            }
            out.corner.push_back(v);
            const double* a = Node(v);
            const double* b = Node(m_he[static_cast<size_t>(cur ^ 1)].origin);
            area2 += (a[0] - o[0]) * (b[1] - o[1]) - (b[0] - o[0]) * (a[1] - o[1]);
            box.x0 = std::min(box.x0, a[0]);
            box.y0 = std::min(box.y0, a[1]);
            box.x1 = std::max(box.x1, a[0]);
            box.y1 = std::max(box.y1, a[1]);
            cur = m_he[static_cast<size_t>(cur)].next;
        } while (cur != h);
        std::rotate(out.corner.begin() + out.ringStart.back(),
                    out.corner.begin() + static_cast<ptrdiff_t>(firstAt), out.corner.end());
        if (area2 > 0.0) {
            box.area = 0.5 * area2;
            panelBox.push_back(box);
        } else if (area2 < 0.0) {
            outer.push_back(box.ring);
        } else {  // lines lying on each other enclose nothing
            out.corner.resize(static_cast<size_t>(out.ringStart.back()));
            continue;
        }
        out.ringStart.push_back(static_cast<int>(out.corner.size()));
    }
    // The groups of connected lines, when there are several; then the working arrays are done
    // with: free them before the holes are matched and the faces take their room.
    std::vector<int> group;
    if (outer.size() > 1) {
        group.resize(static_cast<size_t>(nNodes));
        for (int v = 0; v < nNodes; ++v)
            group[static_cast<size_t>(v)] = v;
        for (int h = 0; h < nHalf; h += 2) {
            if (m_he[static_cast<size_t>(h)].next >= 0)
                Unite(group, m_he[static_cast<size_t>(h)].origin,
                      m_he[static_cast<size_t>(h) + 1].origin);
        }
    }
    std::vector<HalfEdge>().swap(m_he);
    std::vector<int>().swap(m_fanStart);
    std::vector<int>().swap(m_fan);
    std::vector<char>().swap(done);
    out.nPanels = static_cast<int>(panelBox.size());
    // Panels in the order of their first line: each original half-edge starts at most one
    // ring, so a scatter over them sorts.
    {
        int last = -1;
        for (const Box& b : panelBox)
            last = std::max(last, b.first);
        std::vector<int> at(static_cast<size_t>(last) + 1, -1);
        for (size_t i = 0; i < panelBox.size(); ++i)
            at[static_cast<size_t>(panelBox[i].first)] = static_cast<int>(i);
        std::vector<Box> sorted;
        sorted.reserve(panelBox.size());
        for (const int i : at) {
            if (i >= 0)
                sorted.push_back(panelBox[static_cast<size_t>(i)]);
        }
        panelBox.swap(sorted);
    }

    // Each outer boundary inside a panel of another group is a hole of the smallest such
    // panel; a plan of one group has none.
    if (outer.size() > 1) {
        // The panels whose box can hold a point, by the cell of a coarse grid over the plan,
        // each cell's in panel order; so a plan with thousands of openings (columns drawn as
        // rings, shafts) compares each with a few panels, not with all of them.
        const BoxGrid grid(panelBox);
        std::vector<std::pair<int, int>> holes;  // (panel, ring)
        for (const int r : outer) {
            const int q = out.corner[static_cast<size_t>(out.ringStart[static_cast<size_t>(r)])];
            const double* p = Node(q);
            const int g = Find(group, q);
            int best = -1;
            const int *c = nullptr, *last = nullptr;
            for (grid.Cell(p, c, last); c != last; ++c) {
                const int i = *c;
                const Box& b = panelBox[static_cast<size_t>(i)];
                if (p[0] <= b.x0 || p[0] >= b.x1 || p[1] <= b.y0 || p[1] >= b.y1 ||
                    (best >= 0 && b.area >= panelBox[static_cast<size_t>(best)].area))
                    continue;
                const int* ring = out.corner.data() + out.ringStart[static_cast<size_t>(b.ring)];
                if (Find(group, ring[0]) != g &&
                    InsideRing(p, m_node, ring,
                               out.ringStart[static_cast<size_t>(b.ring) + 1] -
                                   out.ringStart[static_cast<size_t>(b.ring)]))
                    best = i;
            }
            if (best >= 0)
                holes.emplace_back(best, r);
        }
        std::stable_sort(holes.begin(), holes.end(),
                         [](const std::pair<int, int>& a, const std::pair<int, int>& b) {
                             return a.first < b.first;
                         });
        for (const auto& hr : holes) {
            out.holeOf.push_back(hr.first);
            out.holeRing.push_back(hr.second);
        }
    }
    out.panelRing.reserve(panelBox.size());
    for (const Box& b : panelBox)
        out.panelRing.push_back(b.ring);
    out.node.swap(m_node);
    return out;
}

// A new face on the ring's nodes, in the given direction, with its Newell normal.
C3DFace* MakeFace(const Rings& r, int ring, bool reverse) {
    const int begin = r.ringStart[static_cast<size_t>(ring)];
    const int n = r.ringStart[static_cast<size_t>(ring) + 1] - begin;
    const int* c = r.corner.data() + begin;
    std::unique_ptr<C3DFace> face(new C3DFace());
    C3DPointArray& pts = face->m_PntArray;
    // Null slots until filled: if an allocation throws, the face's destructor frees what is
    // there.
    pts.SetSize(n);
    const double* o = r.node.data() + 3 * static_cast<size_t>(c[0]);
    double nx = 0.0, ny = 0.0, nz = 0.0;
    for (int i = 0; i < n; ++i) {
        const int k = reverse ? (n - i) % n : i;
        const int k1 = reverse ? (2 * n - i - 1) % n : (i + 1) % n;
        const double* a = r.node.data() + 3 * static_cast<size_t>(c[k]);
        const double* b = r.node.data() + 3 * static_cast<size_t>(c[k1]);
        pts.ElementAt(i) = new C3DPoint(a[0], a[1], a[2]);
        const double ax = a[0] - o[0], ay = a[1] - o[1], az = a[2] - o[2];
        const double bx = b[0] - o[0], by = b[1] - o[1], bz = b[2] - o[2];
        nx += (ay - by) * (az + bz);
        ny += (az - bz) * (ax + bx);
        nz += (ax - bx) * (ay + by);
    }
    *face->m_pNormalVec = C3DVec(nx, ny, nz).GetNormal();
    return face.release();
}

}  // namespace

int GenPanelsByLine(const C3DLineArray& lines, C3DFaceArray& panels, C3DFaceArray& holes,
                    CArray<int, int>& holeOf) {
    if (lines.GetSize() > detail::kMaxWalkSegments)
        throw CMemoryException();
    const Rings r = Arrangement(lines).Extract();
    const int panels0 = panels.GetSize(), holes0 = holes.GetSize(), holeOf0 = holeOf.GetSize();
    try {
        // The panels are made in the order their rings are stored, which is plan order, so
        // that the rings and their nodes are read in order; each goes straight to its place.
        const int nPanels = static_cast<int>(r.panelRing.size());
        std::vector<int> panelOf(r.ringStart.size() - 1, -1);
        for (int i = 0; i < nPanels; ++i)
            panelOf[static_cast<size_t>(r.panelRing[static_cast<size_t>(i)])] = i;
        panels.SetSize(panels0 + nPanels);  // null entries until made
        for (size_t ring = 0; ring < panelOf.size(); ++ring) {
            if (panelOf[ring] >= 0)
                panels.ElementAt(panels0 + panelOf[ring]) =
                    MakeFace(r, static_cast<int>(ring), false);
        }
        for (size_t i = 0; i < r.holeRing.size(); ++i) {
            std::unique_ptr<C3DFace> f(MakeFace(r, r.holeRing[i], true));
            holes.Add(f.get());
            f.release();
            holeOf.Add(panels0 + r.holeOf[i]);
        }
    } catch (...) {
        // Nothing appended stays behind.
        for (int i = panels.GetSize() - 1; i >= panels0; --i)
            delete panels.GetAt(i);  // null where not made yet
        for (int i = holes.GetSize() - 1; i >= holes0; --i)
            delete holes.GetAt(i);
        panels.SetSize(panels0);
        holes.SetSize(holes0);
        holeOf.SetSize(holeOf0);
        throw;
    }
    return static_cast<int>(r.panelRing.size());
}

}  // namespace rvn
