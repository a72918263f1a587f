#include "BaseCommon/sparse/SkylineNumbering.h"

#include <algorithm>
#include <numeric>

#include "BaseCommon/sparse/detail/GraphOrdering.h"

namespace rvn {

CouplingGraph::CouplingGraph(int nNodes, int unknownsPerNode)
    : m_unknowns(static_cast<size_t>(std::max(nNodes, 0)), std::max(unknownsPerNode, 0)),
      m_elementStart(1, 0) {}

CouplingGraph::CouplingGraph(const std::vector<int>& unknownsPerNode)
    : m_unknowns(unknownsPerNode), m_elementStart(1, 0) {
    for (int& u : m_unknowns)
        u = std::max(u, 0);
}

bool CouplingGraph::AddElement(const int* nodes, int count) {
    if (count < 0 || (count > 0 && nodes == nullptr))
        return false;
    for (int k = 0; k < count; ++k)
        if (nodes[k] < 0 || nodes[k] >= NodeCount())
            return false;
    m_elementNodes.insert(m_elementNodes.end(), nodes, nodes + count);
    m_elementStart.push_back(static_cast<std::int64_t>(m_elementNodes.size()));
    return true;
}

bool CouplingGraph::AddElement(std::initializer_list<int> nodes) {
    return AddElement(nodes.begin(), static_cast<int>(nodes.size()));
}

bool CouplingGraph::AddCoupling(int a, int b) {
    const int nodes[2] = {a, b};
    return AddElement(nodes, 2);
}

long long CouplingGraph::UnknownCount() const {
    long long total = 0;
    for (int u : m_unknowns)
        total += u;
    return total;
}

namespace {

struct Profile {
    long long elements = 0;
    long long band = 0;
    double work = 0.0;  // operations of the monotone envelope (see ProfileOf)
};

// First unknown of every node when the nodes follow sequence (64-bit: a model may have more
// unknowns than an int holds, and is then refused rather than wrapped).
std::vector<long long> FirstUnknowns(const CouplingGraph& graph, const std::vector<int>& sequence) {
    std::vector<long long> first(sequence.size());
    long long next = 0;
    for (int v : sequence) {
        first[static_cast<size_t>(v)] = next;
        next += graph.UnknownsOf(v);
    }
    return first;
}

// The first column reached by node v's rows: its own first unknown or that of a coupled node,
// whichever is lower (nodes without unknowns are coupled to nothing).
long long FirstColumn(const detail::NodeGraph& g, const std::vector<long long>& first, int v) {
    long long lowest = first[static_cast<size_t>(v)];
    for (std::int64_t k = g.start[v]; k < g.start[v + 1]; ++k) {
        lowest = std::min(lowest, first[static_cast<size_t>(g.adj[static_cast<size_t>(k)])]);
    }
    return lowest;
}

// Node v's u rows start u unknowns apart on the diagonal and all at the same column, so their
// heights are h, h + 1, ..., h + u - 1 with h = first_v - lowest + 1.
//
// The work estimate counts the operations of the factorisation on the monotone envelope: each
// row widened to start no later than any row after it. Blocked kernels, which finish a dozen rows
// at a time over their common columns and stream the rows above them, run on a profile at about
// the speed of that envelope; a numbering whose rows fall back far now and then (a node left
// behind by the front) costs several times its own operation count. Measured on grillages and
// frames, the estimate ranks orderings as their factorisation times do.
Profile ProfileOf(const detail::NodeGraph& g, const CouplingGraph& graph,
                  const std::vector<int>& sequence, bool withWork) {
    const std::vector<long long> first = FirstUnknowns(graph, sequence);
    Profile p;
    for (int v = 0; v < g.n; ++v) {
        const long long u = graph.UnknownsOf(v);
        if (u == 0)
            continue;
        const long long h = first[static_cast<size_t>(v)] - FirstColumn(g, first, v) + 1;
        p.elements += u * h + u * (u - 1) / 2;
        p.band = std::max(p.band, h + u - 2);
    }
    const long long total = graph.UnknownCount();
    if (!withWork || total > kSkylineMaxElements)
        return p;
    // Column counts of the envelope: a row starting at column m adds one to columns m .. row-1.
    std::vector<long long> count(static_cast<size_t>(total) + 1, 0);
    long long reach = total;  // lowest first column of the rows after the current node
    for (size_t q = sequence.size(); q-- > 0;) {
        const int v = sequence[q];
        const long long u = graph.UnknownsOf(v);
        if (u == 0)
            continue;
        reach = std::min(reach, FirstColumn(g, first, v));
        const long long row0 = first[static_cast<size_t>(v)];
        // Rows row0 .. row0 + u - 1 all start at reach.
        count[static_cast<size_t>(reach)] += u;
        for (long long r = row0; r < row0 + u; ++r)
            count[static_cast<size_t>(r)] -= 1;
    }
    long long run = 0;
    for (long long j = 0; j < total; ++j) {
        run += count[static_cast<size_t>(j)];
        p.work += static_cast<double>(run) * static_cast<double>(run + 1);
    }
    return p;
}

std::vector<int> Identity(int n) {
    std::vector<int> s(static_cast<size_t>(n));
    std::iota(s.begin(), s.end(), 0);
    return s;
}

}  // namespace

const char* SkylineOrderingName(SkylineOrdering ordering) {
    switch (ordering) {
        case SkylineOrdering::Given:
            return "given";
        case SkylineOrdering::ReverseCuthillMcKee:
            return "reverse Cuthill-McKee";
        case SkylineOrdering::Sloan:
            return "Sloan";
        case SkylineOrdering::Smallest:
            return "smallest";
        case SkylineOrdering::Fastest:
            return "fastest";
    }
    return "unknown";
}

long long SkylineProfile(const CouplingGraph& graph, const std::vector<int>& nodePosition,
                         long long* band) {
    const int n = graph.NodeCount();
    std::vector<int> sequence(static_cast<size_t>(n), -1);
    bool permutation = nodePosition.size() == static_cast<size_t>(n);
    for (int v = 0; permutation && v < n; ++v) {
        const int p = nodePosition[static_cast<size_t>(v)];
        if (p < 0 || p >= n || sequence[static_cast<size_t>(p)] >= 0)
            permutation = false;
        else
            sequence[static_cast<size_t>(p)] = v;
    }
    if (!permutation) {
        if (band)
            *band = -1;
        return -1;
    }
    const detail::NodeGraph g =
        detail::BuildNodeGraph(n, graph.ElementNodes(), graph.ElementStart(), graph.Unknowns());
    const Profile p = ProfileOf(g, graph, sequence, false);
    if (band)
        *band = p.band;
    return p.elements;
}

SkylineLayout PlanSkyline(const CouplingGraph& graph, SkylineOrdering ordering) {
    const int n = graph.NodeCount();
    const detail::NodeGraph g =
        detail::BuildNodeGraph(n, graph.ElementNodes(), graph.ElementStart(), graph.Unknowns());
    SkylineLayout out;

    // Every candidate the ordering asks for, in the order that wins ties.
    struct Candidate {
        SkylineOrdering which;
        std::vector<int> sequence;
        Profile profile;
    };
    const bool all = ordering == SkylineOrdering::Smallest || ordering == SkylineOrdering::Fastest;
    std::vector<Candidate> candidates;
    candidates.push_back({SkylineOrdering::Given, Identity(n), {}});
    std::vector<detail::GraphPart> parts;
    if (ordering != SkylineOrdering::Given)
        parts = detail::FindParts(g);
    if (all || ordering == SkylineOrdering::ReverseCuthillMcKee)
        candidates.push_back(
            {SkylineOrdering::ReverseCuthillMcKee, detail::ReverseCuthillMcKee(g, parts), {}});
    if (all || ordering == SkylineOrdering::Sloan) {
        // The classic weights (distance 2, degree 1) keep the front moving steadily towards the
        // far end; a heavy degree weight lets it first take the nodes that add the fewest new
        // ones, which gives the smallest profiles of grillages and frames.
        candidates.push_back({SkylineOrdering::Sloan, detail::SloanOrder(g, parts, 2, 1), {}});
        // Its rows fall back far now and then, which makes it slow to factorise: Fastest leaves
        // it out.
        if (ordering != SkylineOrdering::Fastest)
            candidates.push_back({SkylineOrdering::Sloan, detail::SloanOrder(g, parts, 1, 8), {}});
    }
    for (Candidate& c : candidates)
        c.profile = ProfileOf(g, graph, c.sequence, ordering == SkylineOrdering::Fastest);

    // Given, RCM: the one asked for. Sloan: the smaller of its two. Smallest: the smallest
    // profile. Fastest: among the candidates whose profile is at most RCM's, the least work;
    // when that one cannot be addressed, the smallest profile of all.
    size_t pick = candidates.size() - 1;
    if (ordering == SkylineOrdering::Sloan) {
        pick = candidates[2].profile.elements < candidates[1].profile.elements ? 2 : 1;
    } else if (all) {
        size_t smallest = 0;
        for (size_t k = 1; k < candidates.size(); ++k)
            if (candidates[k].profile.elements < candidates[smallest].profile.elements)
                smallest = k;
        pick = smallest;
        if (ordering == SkylineOrdering::Fastest) {
            const long long bound = candidates[1].profile.elements;
            for (size_t k = 0; k < candidates.size(); ++k)
                if (candidates[k].profile.elements <= bound &&
                    (candidates[pick].profile.elements > bound ||
                     candidates[k].profile.work < candidates[pick].profile.work ||
                     (candidates[k].profile.work == candidates[pick].profile.work && k < pick)))
                    pick = k;
            if (candidates[pick].profile.elements > kSkylineMaxElements) {
                candidates.push_back(
                    {SkylineOrdering::Sloan, detail::SloanOrder(g, parts, 1, 8), {}});
                candidates.back().profile = ProfileOf(g, graph, candidates.back().sequence, false);
                if (candidates.back().profile.elements < candidates[smallest].profile.elements)
                    smallest = candidates.size() - 1;
                pick = smallest;
            }
        }
    }
    out.profileBefore = candidates[0].profile.elements;
    out.bandBefore = candidates[0].profile.band;
    out.ordering = candidates[pick].which;
    const Profile best = candidates[pick].profile;
    const std::vector<int> sequence = std::move(candidates[pick].sequence);
    out.profileAfter = best.elements;
    out.bandAfter = best.band;

    const long long unknowns = graph.UnknownCount();
    if (unknowns > kSkylineMaxElements || best.elements > kSkylineMaxElements) {
        out.status = SkylineStatus::TooLarge;
        out.message = unknowns > kSkylineMaxElements
                          ? "the model has " + std::to_string(unknowns) +
                                " unknowns, more than a skyline matrix can number (2147483647)"
                          : "the skyline profile would hold " + std::to_string(best.elements) +
                                " elements (" + SkylineOrderingName(out.ordering) +
                                " ordering), more than a skyline matrix can address "
                                "(2147483647)";
        return out;
    }

    out.unknownCount = static_cast<int>(unknowns);
    out.nodePosition.assign(static_cast<size_t>(n), 0);
    for (int p = 0; p < n; ++p)
        out.nodePosition[static_cast<size_t>(sequence[static_cast<size_t>(p)])] = p;
    const std::vector<long long> first = FirstUnknowns(graph, sequence);
    out.firstUnknown.assign(first.begin(), first.end());
    out.newUnknown.reserve(static_cast<size_t>(unknowns));
    for (int v = 0; v < n; ++v)
        for (int j = 0; j < graph.UnknownsOf(v); ++j)
            out.newUnknown.push_back(out.firstUnknown[static_cast<size_t>(v)] + j);

    // Rows in the new order: node after node, each node's rows one after another.
    out.diag.resize(static_cast<size_t>(unknowns));
    long long d = -1;
    size_t row = 0;
    for (int v : sequence) {
        const int u = graph.UnknownsOf(v);
        if (u == 0)
            continue;
        const long long h = first[static_cast<size_t>(v)] - FirstColumn(g, first, v) + 1;
        for (int j = 0; j < u; ++j) {
            d += h + j;
            out.diag[row++] = static_cast<int>(d);
        }
    }
    return out;
}

}  // namespace rvn
