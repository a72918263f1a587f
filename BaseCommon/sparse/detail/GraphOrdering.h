// Node graphs and the node orderings behind SkylineNumbering.h (internal).
#ifndef RVN_SPARSE_DETAIL_GRAPHORDERING_H
#define RVN_SPARSE_DETAIL_GRAPHORDERING_H

#include <cstdint>
#include <vector>

namespace rvn {
namespace detail {

// Symmetric adjacency in compressed rows: the neighbours of v are
// adj[start[v] .. start[v+1]), each once, v itself never.
struct NodeGraph {
    int n = 0;
    std::vector<std::int64_t> start;
    std::vector<int> adj;

    int Degree(int v) const { return static_cast<int>(start[v + 1] - start[v]); }
};

// Couples every pair of nodes of each element; elementStart has one entry more than there are
// elements. Nodes must lie in 0 .. n-1; a node with weight[v] == 0 (a node without unknowns,
// such as a fixed support) takes part in no coupling. Linear in the sum of k^2 over elements of
// k nodes.
NodeGraph BuildNodeGraph(int n, const std::vector<int>& elementNodes,
                         const std::vector<std::int64_t>& elementStart,
                         const std::vector<int>& weight);

// A connected part of the graph, given by the two ends of a pseudo-diameter.
struct GraphPart {
    int start = 0;
    int end = 0;
};

// The connected parts, in the order of their lowest node, each with its pseudo-diameter.
std::vector<GraphPart> FindParts(const NodeGraph& g);

// Orderings return the sequence of nodes in their new order (a permutation of 0 .. n-1); the
// parts are numbered one after another.
std::vector<int> ReverseCuthillMcKee(const NodeGraph& g, const std::vector<GraphPart>& parts);
// Sloan's ordering with distance weight w1 and degree weight w2 (the classic choice is 2, 1).
std::vector<int> SloanOrder(const NodeGraph& g, const std::vector<GraphPart>& parts, int w1,
                            int w2);

}  // namespace detail
}  // namespace rvn

#endif  // RVN_SPARSE_DETAIL_GRAPHORDERING_H
