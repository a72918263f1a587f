/** @file
 * The functions of rvnBaseCommon with the C calling convention, exported under their bare
 * names. Each is declared once, in its subsystem's header; this header gathers those headers
 * and is valid C (C99) and C++.
 * @ingroup library */
#ifndef RVN_BASECOMMON_C_H
#define RVN_BASECOMMON_C_H

#include "BaseCommon/Export.h"
#include "BaseCommon/Version.h"

/* Area of a plan polygon, diagonal crossing and girths of a quadrilateral. */
#include "BaseCommon/faces/PolyHelpers.h"

/* Triangle interpolation weights; plane coordinate helpers (member angles folded into
 * (-90, 90] degrees, plan directions and order, point lists turned about z, bounding boxes,
 * squared distances). */
#include "BaseCommon/numeric/AlgDzzlChazhi.h"
#include "BaseCommon/numeric/PlaneCoord.h"

/* Pile and soil springs spread onto element nodes, and reactions summed back. */
#include "BaseCommon/engineering/PileSoilStiff.h"

#endif /* RVN_BASECOMMON_C_H */
