/// @file
/// Numbering of the unknowns of a model for skyline storage, and the diagonal addresses that
/// CSparseMatrix takes.
///
/// The work of a skyline LDLT grows with the square of the row heights, and the storage with
/// their sum (the profile), so the numbering of the unknowns decides whether a model can be
/// solved at all: a 60 x 60-bay pile raft of 33 123 unknowns holds 184 million elements in the
/// order its nodes were generated and 6.1 million after renumbering. This header takes the
/// couplings of a model, finds a numbering with a small profile and returns the diagonal
/// addresses D of that numbering, computed in 64-bit arithmetic and refused when the element
/// buffer would exceed what an int address can reach.
///
/// The model. A CouplingGraph has nodes 0 .. nNodes-1; node v carries u_v >= 0 unknowns
/// (3 for a grillage node, 6 for a space-frame node, 1 when every unknown is a node of its
/// own). Unknowns are numbered node by node: the original (input) numbering gives node v the
/// unknowns first_v .. first_v + u_v - 1 with first_v = u_0 + ... + u_{v-1}, and a renumbering
/// keeps the unknowns of a node together and in their order, so that an element routine
/// writes unknown j of node v at Unknown(v, j). The unknowns of one node are taken as coupled
/// to each other; an element couples every unknown of every node it joins.
///
/// The profile. Row r of the matrix stores the columns from its first coupled unknown up to the
/// diagonal; its height is r - first column + 1, D[r] is the sum of the heights of rows
/// 0 .. r minus one, and the profile is D[n-1] + 1 elements. The band is the largest height
/// minus one.
///
/// Orderings, node by node:
/// - Given: the caller's node order;
/// - ReverseCuthillMcKee: breadth-first from a pseudo-peripheral node (George and Liu), the
///   neighbours of each node by increasing degree, the order reversed;
/// - Sloan: Sloan's profile and wavefront reduction: a front that advances from one end of a
///   pseudo-diameter to the other, taking next the node that adds the fewest new unknowns to
///   the front, tried with two weightings (distance 2 and degree 1, and distance 1 and
///   degree 8);
/// - Smallest: all of the above, keeping the one with the smallest profile (ties go to the
///   earlier one in this list): the least memory;
/// - Fastest (default): the given order, reverse Cuthill-McKee and Sloan's with the classic
///   weights; among those whose profile is at most reverse Cuthill-McKee's, the one with the
///   least estimated factorisation work (ties as above), or, when that one could not be
///   addressed, the smallest profile of all. The estimate counts the operations on the
///   profile widened so that no row starts before a later one: the blocked LDLT kernels run
///   at that envelope's speed, so a numbering whose rows now and then fall back far can store
///   30% less than reverse Cuthill-McKee and yet take four times as long to factorise (Sloan's
///   with a heavy degree weight on a grillage; a frame numbered storey by storey).
///
/// Smallest never gives a profile above the given order's nor reverse Cuthill-McKee's, Fastest
/// never one above reverse Cuthill-McKee's.
/// Each connected part is numbered on its own, one after the other; nodes coupled to nothing
/// come out as parts of one node. The cost is linear in the number of couplings times a small
/// factor (a logarithm for the priority queue); nothing of size n x n is formed.
///
/// Failure. A node outside 0 .. nNodes-1 in AddElement or AddCoupling is refused (false, and
/// the element is not added). PlanSkyline returns status TooLarge, an explanatory message and
/// empty diag when the chosen profile exceeds 2^31 - 1 elements or the model has more than
/// 2^31 - 1 unknowns; the profiles and bands are still reported, so a caller can say by how
/// much.
#ifndef RVN_SPARSE_SKYLINENUMBERING_H
#define RVN_SPARSE_SKYLINENUMBERING_H

/// @addtogroup sparse
/// @{

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "BaseCommon/Export.h"

namespace rvn {

/// How PlanSkyline numbers the nodes (see SkylineNumbering.h for each ordering).
enum class SkylineOrdering : int {
    Given = 0,                ///< the caller's node order
    ReverseCuthillMcKee = 1,  ///< reverse Cuthill-McKee from a pseudo-peripheral node
    Sloan = 2,                ///< Sloan's front, the smaller profile of its two weightings
    Smallest = 3,             ///< the smallest profile of all the orderings
    Fastest = 4               ///< the least estimated work within reverse Cuthill-McKee's profile
};

/// Outcome of PlanSkyline.
enum class SkylineStatus : int {
    Ok = 0,       ///< the layout is complete
    TooLarge = 1  ///< profile or number of unknowns beyond 2^31 - 1: diag is empty
};

/// Largest element buffer (and number of unknowns) that an int diagonal address can reach.
constexpr long long kSkylineMaxElements = 2147483647LL;

/// The nodes of a model, their unknowns and the elements that couple them.
/// @see SkylineNumbering.h for how unknowns are numbered node by node.
class RVN_API CouplingGraph {
public:
    /// nNodes nodes (a negative count gives none) with unknownsPerNode unknowns each (a
    /// negative count is taken as 0). No elements.
    CouplingGraph(int nNodes, int unknownsPerNode);
    /// One node per entry, with that many unknowns (a negative count is taken as 0).
    explicit CouplingGraph(const std::vector<int>& unknownsPerNode);

    /// Adds an element joining the count nodes listed at nodes: all of their unknowns are
    /// coupled.
    /// Repeated nodes and repeated elements are harmless. False (nothing added) when a node is
    /// out of range, count is negative, or nodes is null with count > 0.
    bool AddElement(const int* nodes, int count);
    /// Adds an element joining the listed nodes, as AddElement(const int*, int).
    bool AddElement(std::initializer_list<int> nodes);
    /// Adds an element joining nodes a and b, as AddElement; false when either is out of range.
    bool AddCoupling(int a, int b);

    /// Number of nodes.
    int NodeCount() const { return static_cast<int>(m_unknowns.size()); }
    /// Number of unknowns of a node (not range-checked: 0 <= node < NodeCount()).
    int UnknownsOf(int node) const { return m_unknowns[static_cast<size_t>(node)]; }
    /// Number of unknowns of every node, in node order.
    const std::vector<int>& Unknowns() const { return m_unknowns; }
    /// Total number of unknowns, in 64-bit so that an oversized model can be reported.
    long long UnknownCount() const;

    /// The nodes of every element, element after element.
    const std::vector<int>& ElementNodes() const { return m_elementNodes; }
    /// Where each element starts in ElementNodes(), and after the last its end: one entry
    /// more than there are elements (a new graph holds the single entry 0).
    const std::vector<std::int64_t>& ElementStart() const { return m_elementStart; }

private:
    std::vector<int> m_unknowns;
    std::vector<int> m_elementNodes;
    std::vector<std::int64_t> m_elementStart;
};

/// The numbering PlanSkyline chose and the diagonal addresses of the result.
struct SkylineLayout {
    /// Ok, or TooLarge when the layout was refused.
    SkylineStatus status = SkylineStatus::Ok;
    std::string message;  ///< why the layout was refused; empty when status is Ok
    /// The ordering used: Given, ReverseCuthillMcKee or Sloan (the one Smallest or Fastest
    /// chose), also when refused.
    SkylineOrdering ordering = SkylineOrdering::Given;
    /// Number of unknowns, the order of the matrix; 0 when refused.
    int unknownCount = 0;

    /// nodePosition[v]: place of node v in the new node order (0 to nNodes-1); empty when
    /// refused.
    std::vector<int> nodePosition;
    /// firstUnknown[v]: new number of the first unknown of node v (see Unknown()); empty when
    /// refused.
    std::vector<int> firstUnknown;
    /// newUnknown[old]: new number of each unknown of the original numbering; empty when
    /// refused.
    std::vector<int> newUnknown;
    /// Diagonal addresses of the new numbering, ready for CSparseMatrix(unknownCount,
    /// diag.data()); empty when refused.
    std::vector<int> diag;

    long long profileBefore = 0;  ///< stored elements in the original numbering
    long long profileAfter = 0;   ///< stored elements in the new numbering
    long long bandBefore = 0;     ///< largest row height minus one, original numbering
    long long bandAfter = 0;      ///< the same, new numbering

    /// New number of unknown j of node v (not range-checked; the layout must not be refused).
    int Unknown(int node, int j) const { return firstUnknown[static_cast<size_t>(node)] + j; }
};

/// Numbers the unknowns of graph with the given ordering and computes the diagonal addresses
/// of the result. A profile or number of unknowns beyond kSkylineMaxElements gives status
/// TooLarge with its message, the profiles and bands, and empty vectors.
RVN_API SkylineLayout PlanSkyline(const CouplingGraph& graph,
                                  SkylineOrdering ordering = SkylineOrdering::Fastest);

/// Profile (stored elements) and, into *band when band is not null, the band of the node order
/// nodePosition (nodePosition[v] the place of node v, a permutation of 0 to nNodes-1; anything
/// else gives -1 for both), without forming D.
RVN_API long long SkylineProfile(const CouplingGraph& graph, const std::vector<int>& nodePosition,
                                 long long* band = nullptr);

/// The name of an ordering, for reports: "given", "reverse Cuthill-McKee", "Sloan", "smallest",
/// "fastest" ("unknown" for a value outside the enumeration).
RVN_API const char* SkylineOrderingName(SkylineOrdering ordering);

}  // namespace rvn

/// @}

#endif  // RVN_SPARSE_SKYLINENUMBERING_H
