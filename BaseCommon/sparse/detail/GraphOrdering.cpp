#include "BaseCommon/sparse/detail/GraphOrdering.h"

#include <algorithm>
#include <limits>

namespace rvn {
namespace detail {

NodeGraph BuildNodeGraph(int n, const std::vector<int>& elementNodes,
                         const std::vector<std::int64_t>& elementStart,
                         const std::vector<int>& weight) {
    NodeGraph g;
    g.n = n;
    const size_t nn = static_cast<size_t>(n);
    const size_t nElements = elementStart.empty() ? 0 : elementStart.size() - 1;
    // seen[v] == e + 1 while element e is processed: repeated nodes of one element count once.
    std::vector<std::int64_t> seen(nn, 0);
    std::vector<int> distinct;
    // The weighted nodes of element e, each once, into distinct.
    auto CollectDistinct = [&](size_t e) {
        distinct.clear();
        for (std::int64_t k = elementStart[e]; k < elementStart[e + 1]; ++k) {
            const int v = elementNodes[static_cast<size_t>(k)];
            if (weight[static_cast<size_t>(v)] != 0 &&
                seen[static_cast<size_t>(v)] != static_cast<std::int64_t>(e) + 1) {
                seen[static_cast<size_t>(v)] = static_cast<std::int64_t>(e) + 1;
                distinct.push_back(v);
            }
        }
    };

    // First pass: an upper bound of every node's degree (duplicates across elements included).
    std::vector<std::int64_t> count(nn + 1, 0);
    for (size_t e = 0; e < nElements; ++e) {
        CollectDistinct(e);
        for (int v : distinct)
            count[static_cast<size_t>(v) + 1] += static_cast<std::int64_t>(distinct.size()) - 1;
    }
    for (size_t v = 0; v < nn; ++v)
        count[v + 1] += count[v];

    // Second pass: every pair, then duplicates dropped row by row.
    std::vector<int> pairs(static_cast<size_t>(count[nn]));
    std::vector<std::int64_t> fill(count.begin(), count.end() - 1);
    std::fill(seen.begin(), seen.end(), 0);
    for (size_t e = 0; e < nElements; ++e) {
        CollectDistinct(e);
        for (int v : distinct)
            for (int w : distinct)
                if (w != v)
                    pairs[static_cast<size_t>(fill[static_cast<size_t>(v)]++)] = w;
    }
    std::fill(seen.begin(), seen.end(), -1);
    g.start.assign(nn + 1, 0);
    g.adj.reserve(pairs.size());
    for (size_t v = 0; v < nn; ++v) {
        for (std::int64_t k = count[v]; k < count[v + 1]; ++k) {
            const int w = pairs[static_cast<size_t>(k)];
            if (seen[static_cast<size_t>(w)] != static_cast<std::int64_t>(v)) {
                seen[static_cast<size_t>(w)] = static_cast<std::int64_t>(v);
                g.adj.push_back(w);
            }
        }
        g.start[v + 1] = static_cast<std::int64_t>(g.adj.size());
    }
    return g;
}

namespace {

// Rooted level structures over the nodes not yet numbered. A stamp per node marks the nodes of
// the current search, so no array is cleared between searches.
class LevelSearch {
public:
    explicit LevelSearch(const NodeGraph& g)
        : m_g(g), m_stamp(static_cast<size_t>(g.n), 0), m_level(static_cast<size_t>(g.n), 0) {}

    // Breadth-first from root over nodes with numbered[v] == 0. Gives up (false) as soon as a
    // level holds maxWidth nodes or more. On success nodes() holds the visit order, and
    // levelStart() where each level begins (one entry more than levels).
    bool Search(int root, const std::vector<char>& numbered, std::int64_t maxWidth) {
        ++m_current;
        m_nodes.clear();
        m_levelStart.assign(1, 0);
        m_nodes.push_back(root);
        m_stamp[static_cast<size_t>(root)] = m_current;
        m_level[static_cast<size_t>(root)] = 0;
        size_t begin = 0;
        while (begin < m_nodes.size()) {
            const size_t end = m_nodes.size();
            if (static_cast<std::int64_t>(end - begin) >= maxWidth)
                return false;
            m_levelStart.push_back(static_cast<std::int64_t>(end));
            const int next = static_cast<int>(m_levelStart.size()) - 1;
            for (size_t q = begin; q < end; ++q) {
                const int v = m_nodes[q];
                for (std::int64_t k = m_g.start[v]; k < m_g.start[v + 1]; ++k) {
                    const int w = m_g.adj[static_cast<size_t>(k)];
                    if (m_stamp[static_cast<size_t>(w)] != m_current &&
                        !numbered[static_cast<size_t>(w)]) {
                        m_stamp[static_cast<size_t>(w)] = m_current;
                        m_level[static_cast<size_t>(w)] = next;
                        m_nodes.push_back(w);
                    }
                }
            }
            begin = end;
        }
        return true;
    }

    const std::vector<int>& Nodes() const { return m_nodes; }
    int Depth() const { return static_cast<int>(m_levelStart.size()) - 1; }
    std::int64_t Width() const {
        std::int64_t w = 0;
        for (size_t l = 0; l + 1 < m_levelStart.size(); ++l)
            w = std::max(w, m_levelStart[l + 1] - m_levelStart[l]);
        return w;
    }
    // Level of a node reached by the last successful search.
    int Level(int v) const { return m_level[static_cast<size_t>(v)]; }
    std::vector<int> LastLevel() const {
        return std::vector<int>(m_nodes.begin() + m_levelStart[m_levelStart.size() - 2],
                                m_nodes.end());
    }

private:
    const NodeGraph& m_g;
    std::vector<std::int64_t> m_stamp;
    std::vector<int> m_level;
    std::int64_t m_current = 0;
    std::vector<int> m_nodes;
    std::vector<std::int64_t> m_levelStart;
};

// The two ends of a pseudo-diameter of the part holding seed (George and Liu's search, with
// Sloan's shrinking of the last level): start from the least-degree node of the part; while
// one of the least-degree nodes of the deepest level roots a deeper level structure, move
// there; the end is the candidate whose level structure is narrowest. At most five candidates
// are tried per step (one per distinct degree first), which bounds the cost on regular meshes
// where the last level is long.
void PseudoDiameter(const NodeGraph& g, int seed, const std::vector<char>& numbered,
                    LevelSearch& search, int& start, int& end, std::vector<int>& part) {
    const auto byDegree = [&g](int a, int b) {
        return g.Degree(a) != g.Degree(b) ? g.Degree(a) < g.Degree(b) : a < b;
    };
    const std::int64_t unlimited = std::numeric_limits<std::int64_t>::max();
    search.Search(seed, numbered, unlimited);
    part = search.Nodes();
    start = *std::min_element(part.begin(), part.end(), byDegree);
    if (start != seed)
        search.Search(start, numbered, unlimited);
    end = start;
    for (;;) {
        const int depth = search.Depth();
        std::vector<int> last = search.LastLevel();
        std::sort(last.begin(), last.end(), byDegree);
        std::vector<int> candidates;
        for (size_t i = 0; i < last.size() && candidates.size() < 5; ++i)
            if (i == 0 || g.Degree(last[i]) != g.Degree(last[i - 1]))
                candidates.push_back(last[i]);
        for (size_t i = 0; i < last.size() && candidates.size() < 5; ++i)
            if (std::find(candidates.begin(), candidates.end(), last[i]) == candidates.end())
                candidates.push_back(last[i]);
        std::int64_t narrowest = unlimited;
        bool deeper = false;
        end = candidates.front();
        for (int c : candidates) {
            if (!search.Search(c, numbered, narrowest))
                continue;
            if (search.Depth() > depth) {
                start = c;
                deeper = true;
                break;
            }
            if (search.Width() < narrowest) {
                narrowest = search.Width();
                end = c;
            }
        }
        if (!deeper)
            return;
        // The search from the new start is the last one run.
    }
}

// Max-heap of node priorities with increase-key, holding only the nodes of the front.
class FrontQueue {
public:
    explicit FrontQueue(int n) : m_pos(static_cast<size_t>(n), -1) {}

    bool Empty() const { return m_heap.empty(); }
    bool Contains(int v) const { return m_pos[static_cast<size_t>(v)] >= 0; }

    void Push(int v, const std::vector<std::int64_t>& prio) {
        m_pos[static_cast<size_t>(v)] = static_cast<int>(m_heap.size());
        m_heap.push_back(v);
        Up(m_heap.size() - 1, prio);
    }
    void Raised(int v, const std::vector<std::int64_t>& prio) {
        Up(static_cast<size_t>(m_pos[static_cast<size_t>(v)]), prio);
    }
    int Pop(const std::vector<std::int64_t>& prio) {
        const int top = m_heap.front();
        m_pos[static_cast<size_t>(top)] = -1;
        const int last = m_heap.back();
        m_heap.pop_back();
        if (!m_heap.empty()) {
            m_heap[0] = last;
            m_pos[static_cast<size_t>(last)] = 0;
            Down(0, prio);
        }
        return top;
    }

private:
    // Higher priority first; among equals the lower node number, so the order is reproducible.
    static bool Before(int a, int b, const std::vector<std::int64_t>& prio) {
        const std::int64_t pa = prio[static_cast<size_t>(a)], pb = prio[static_cast<size_t>(b)];
        return pa != pb ? pa > pb : a < b;
    }
    void Place(size_t i, int v) {
        m_heap[i] = v;
        m_pos[static_cast<size_t>(v)] = static_cast<int>(i);
    }
    void Up(size_t i, const std::vector<std::int64_t>& prio) {
        const int v = m_heap[i];
        while (i > 0) {
            const size_t parent = (i - 1) / 2;
            if (!Before(v, m_heap[parent], prio))
                break;
            Place(i, m_heap[parent]);
            i = parent;
        }
        Place(i, v);
    }
    void Down(size_t i, const std::vector<std::int64_t>& prio) {
        const int v = m_heap[i];
        const size_t n = m_heap.size();
        for (;;) {
            size_t child = 2 * i + 1;
            if (child >= n)
                break;
            if (child + 1 < n && Before(m_heap[child + 1], m_heap[child], prio))
                ++child;
            if (!Before(m_heap[child], v, prio))
                break;
            Place(i, m_heap[child]);
            i = child;
        }
        Place(i, v);
    }

    std::vector<int> m_heap;
    std::vector<int> m_pos;
};

}  // namespace

std::vector<GraphPart> FindParts(const NodeGraph& g) {
    std::vector<GraphPart> parts;
    std::vector<char> found(static_cast<size_t>(g.n), 0);
    LevelSearch search(g);
    std::vector<int> part;
    for (int seed = 0; seed < g.n; ++seed) {
        if (found[static_cast<size_t>(seed)])
            continue;
        GraphPart p;
        PseudoDiameter(g, seed, found, search, p.start, p.end, part);
        for (int v : part)
            found[static_cast<size_t>(v)] = 1;
        parts.push_back(p);
    }
    return parts;
}

std::vector<int> ReverseCuthillMcKee(const NodeGraph& g, const std::vector<GraphPart>& parts) {
    const auto byDegree = [&g](int a, int b) {
        return g.Degree(a) != g.Degree(b) ? g.Degree(a) < g.Degree(b) : a < b;
    };
    std::vector<int> sequence;
    sequence.reserve(static_cast<size_t>(g.n));
    std::vector<char> numbered(static_cast<size_t>(g.n), 0);
    std::vector<int> next;
    for (const GraphPart& part : parts) {
        // Cuthill-McKee from the start: each node's unnumbered neighbours by increasing degree.
        const int start = part.start;
        size_t q = sequence.size();
        sequence.push_back(start);
        numbered[static_cast<size_t>(start)] = 1;
        for (; q < sequence.size(); ++q) {
            const int v = sequence[q];
            next.clear();
            for (std::int64_t k = g.start[v]; k < g.start[v + 1]; ++k) {
                const int w = g.adj[static_cast<size_t>(k)];
                if (!numbered[static_cast<size_t>(w)]) {
                    numbered[static_cast<size_t>(w)] = 1;
                    next.push_back(w);
                }
            }
            std::sort(next.begin(), next.end(), byDegree);
            sequence.insert(sequence.end(), next.begin(), next.end());
        }
    }
    // Reversing puts each node after the neighbours that reach furthest back, which shortens
    // the rows (the skyline counts from the first column of each row).
    std::reverse(sequence.begin(), sequence.end());
    return sequence;
}

std::vector<int> SloanOrder(const NodeGraph& g, const std::vector<GraphPart>& parts, int w1,
                            int w2) {
    enum : char { kInactive, kPreactive, kActive, kNumbered };
    const size_t nn = static_cast<size_t>(g.n);
    std::vector<int> sequence;
    sequence.reserve(nn);
    std::vector<char> numbered(nn, 0);
    std::vector<char> state(nn, kInactive);
    std::vector<std::int64_t> prio(nn, 0);
    LevelSearch search(g);
    FrontQueue queue(g.n);

    // Lowers the current degree of w by one: w2 more priority.
    const auto raise = [&](int w) {
        prio[static_cast<size_t>(w)] += w2;
        if (queue.Contains(w))
            queue.Raised(w, prio);
    };
    const auto enter = [&](int w) {
        state[static_cast<size_t>(w)] = kPreactive;
        queue.Push(w, prio);
    };

    for (const GraphPart& part : parts) {
        const int start = part.start, end = part.end;
        // Priority: far from the end (so the front moves towards it) and few new neighbours
        // (the degree counts the node itself, as its own unknowns join the front too).
        search.Search(end, numbered, std::numeric_limits<std::int64_t>::max());
        for (int v : search.Nodes())
            prio[static_cast<size_t>(v)] = static_cast<std::int64_t>(w1) * search.Level(v) -
                                           static_cast<std::int64_t>(w2) * (g.Degree(v) + 1);
        enter(start);
        while (!queue.Empty()) {
            const int v = queue.Pop(prio);
            if (state[static_cast<size_t>(v)] == kPreactive) {
                for (std::int64_t k = g.start[v]; k < g.start[v + 1]; ++k) {
                    const int w = g.adj[static_cast<size_t>(k)];
                    if (state[static_cast<size_t>(w)] == kNumbered)
                        continue;
                    raise(w);
                    if (state[static_cast<size_t>(w)] == kInactive)
                        enter(w);
                }
            }
            state[static_cast<size_t>(v)] = kNumbered;
            numbered[static_cast<size_t>(v)] = 1;
            sequence.push_back(v);
            // Neighbours waiting at the front's edge become active: their own neighbours lose a
            // new node each and enter the front's edge.
            for (std::int64_t k = g.start[v]; k < g.start[v + 1]; ++k) {
                const int w = g.adj[static_cast<size_t>(k)];
                if (state[static_cast<size_t>(w)] != kPreactive)
                    continue;
                raise(w);
                state[static_cast<size_t>(w)] = kActive;
                for (std::int64_t m = g.start[w]; m < g.start[w + 1]; ++m) {
                    const int x = g.adj[static_cast<size_t>(m)];
                    if (state[static_cast<size_t>(x)] == kNumbered)
                        continue;
                    raise(x);
                    if (state[static_cast<size_t>(x)] == kInactive)
                        enter(x);
                }
            }
        }
    }
    return sequence;
}

}  // namespace detail
}  // namespace rvn
