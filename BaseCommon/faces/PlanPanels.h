/// @file
/// Every bounded panel of a floor plan drawn as lines: the bounded faces of the planar
/// arrangement of the lines, convex or not, each with its openings.
///
/// Input: the lines meet only at their ends (a caller with crossing lines splits them first,
/// C3DLine::FindCrossPoint gives the points). Ends join as GenFaceByLine joins them: two ends
/// differing by less than 1e-6 in each of x, y and z are one node, and so, transitively, are
/// chains of such ends. Null entries, lines with a non-finite coordinate and lines whose two
/// ends are one node take no part, and neither do lines that are a single point in plan
/// (vertical). Two lines between the same two nodes count once. Panels are found on the plan
/// projection (x, y); the z of the corners is that of the lines.
///
/// What is a panel: each bounded face of the arrangement. A line that bounds no area (a
/// dangling line, a stub reaching into a panel, a beam joining an inner core to the walls
/// around it, a tree of such lines) has the same face on both sides: it is left out of every
/// boundary and not reported. A face whose boundary encloses other lines that do not touch it
/// (an opening, a core, a separate room) gets those as holes: the outer boundary of each such
/// group of lines is one hole of the smallest panel around it. The area inside a hole is made
/// of the group's own panels, reported like any other (an opening drawn as a closed ring is
/// thus a panel of its own: the caller decides which panels carry load). The unbounded face,
/// around the outer boundary of the plan, is not a panel.
///
/// Corners: the nodes of the boundary in order, anticlockwise seen from +z, collinear nodes
/// included; a node where the boundary touches itself appears once per visit. A corner's
/// coordinates are those of the first end (in line order, begin before end) that joined the
/// node. Each panel's normal is the unit Newell normal of its corners: (0, 0, 1) for a
/// horizontal panel, the plane's upward normal for a sloped plane one. Holes are rings of
/// the same kind, their corners also anticlockwise, so the net area of a panel is its
/// GetArea() less that of its holes.
///
/// Order: panels in order of the first line on their boundary (line k runs before line k + 1;
/// along a line before back), the ring starting at that line's node; holes in the order of
/// the panels they belong to.
#ifndef RVN_FACES_PLANPANELS_H
#define RVN_FACES_PLANPANELS_H

/// @addtogroup faces
/// @{

#include "BaseCommon/Export.h"
#include "BaseCommon/faces/C3DFace.h"
#include "BaseCommon/faces/C3DFaceArray.h"
#include "BaseCommon/faces/C3DLineArray.h"
#include "BaseCommon/framework/CArray.h"

namespace rvn {

/// Every bounded panel of a plan drawn as lines, with its holes.
///
/// Appends a new C3DFace to panels for every panel of the lines, a new C3DFace to holes for
/// every hole, and to holeOf, for each hole appended, the index in panels of the panel it
/// belongs to. Existing entries of the three arrays stay; the caller owns the new faces
/// (DeepRemoveAll). Returns the number of panels appended. Beyond 2^30 - 1 lines it throws
/// CMemoryException; if an allocation fails, nothing is appended.
/// @see PlanPanels.h for what a panel and a hole are, the joining of ends, the corners and the
/// order of the results.
RVN_API int GenPanelsByLine(const C3DLineArray& lines, C3DFaceArray& panels, C3DFaceArray& holes,
                            CArray<int, int>& holeOf);

}  // namespace rvn

/// @}

#endif  // RVN_FACES_PLANPANELS_H
