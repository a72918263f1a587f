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
Profile ProfileOf(const detail::NodeGraph& g, const CouplingGraph& graph,
                  const std::vector<int>& sequence) {
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
    const Profile p = ProfileOf(g, graph, sequence);
    if (band)
        *band = p.band;
    return p.elements;
}

SkylineLayout PlanSkyline(const CouplingGraph& graph, SkylineOrdering ordering) {
    const int n = graph.NodeCount();
    const detail::NodeGraph g =
        detail::BuildNodeGraph(n, graph.ElementNodes(), graph.ElementStart(), graph.Unknowns());
    SkylineLayout out;

    std::vector<int> sequence = Identity(n);
    const Profile given = ProfileOf(g, graph, sequence);
    out.profileBefore = given.elements;
    out.bandBefore = given.band;
    Profile best = given;
    out.ordering = SkylineOrdering::Given;

    // Candidates in the order of preference on equal profiles. The given order competes only
    // when the smallest profile is asked for; otherwise the first candidate is taken as it is.
    bool held = ordering == SkylineOrdering::Given || ordering == SkylineOrdering::Smallest;
    const auto consider = [&](SkylineOrdering which, std::vector<int> candidate) {
        const Profile p = ProfileOf(g, graph, candidate);
        if (!held || p.elements < best.elements) {
            best = p;
            sequence = std::move(candidate);
            out.ordering = which;
            held = true;
        }
    };
    std::vector<detail::GraphPart> parts;
    if (ordering != SkylineOrdering::Given)
        parts = detail::FindParts(g);
    if (ordering == SkylineOrdering::ReverseCuthillMcKee || ordering == SkylineOrdering::Smallest)
        consider(SkylineOrdering::ReverseCuthillMcKee, detail::ReverseCuthillMcKee(g, parts));
    if (ordering == SkylineOrdering::Sloan || ordering == SkylineOrdering::Smallest) {
        // The classic weights (distance 2, degree 1) keep the front moving steadily towards the
        // far end; a heavy degree weight lets it first take the nodes that add the fewest new
        // ones, which is what numbers the inner nodes of beams and the storeys of frames well.
        consider(SkylineOrdering::Sloan, detail::SloanOrder(g, parts, 2, 1));
        consider(SkylineOrdering::Sloan, detail::SloanOrder(g, parts, 1, 8));
    }
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
