/// @file
/// Umbrella header: includes every public header of the library.
///
/// rvnBaseCommon: geometry and numerics for structural-engineering design.
/// @ingroup library
#ifndef RVN_BASECOMMON_H
#define RVN_BASECOMMON_H

#include "BaseCommon/Export.h"
#include "BaseCommon/Version.h"
#include "BaseCommon/framework/Framework.h"

// geometry
#include "BaseCommon/geometry/C2DBox.h"
#include "BaseCommon/geometry/C2DPoint.h"
#include "BaseCommon/geometry/C2DVec.h"
#include "BaseCommon/geometry/C3DBox.h"
#include "BaseCommon/geometry/C3DLine.h"
#include "BaseCommon/geometry/C3DPoint.h"
#include "BaseCommon/geometry/C3DVec.h"
#include "BaseCommon/geometry/Tolerance.h"

// owning pointer arrays
#include "BaseCommon/faces/C3DFaceArray.h"
#include "BaseCommon/faces/C3DLineArray.h"
#include "BaseCommon/faces/C3DPointArray.h"
#include "BaseCommon/faces/C3DVecArray.h"
#include "BaseCommon/faces/CRSTypedPtrArray.h"

// polygon faces, triangles and polygon helpers
#include "BaseCommon/faces/C3DFace.h"
#include "BaseCommon/faces/CTriangle.h"
#include "BaseCommon/faces/PlanPanels.h"
#include "BaseCommon/faces/PolyHelpers.h"

// numeric
#include "BaseCommon/numeric/AlgDzzlChazhi.h"
#include "BaseCommon/numeric/AlgLinearMethod.h"
#include "BaseCommon/numeric/AlgTraqArea.h"
#include "BaseCommon/numeric/CAlgFinding.h"
#include "BaseCommon/numeric/ComFunc.h"
#include "BaseCommon/numeric/PlaneCoord.h"
#include "BaseCommon/numeric/ReadTxt.h"

// engineering
#include "BaseCommon/engineering/PileSoilStiff.h"
#include "BaseCommon/engineering/TableConcrete.h"
#include "BaseCommon/engineering/TableSteelBar.h"

// matrix
#include "BaseCommon/matrix/CMatrix.h"
#include "BaseCommon/matrix/Matrix.h"
#include "BaseCommon/matrix/MatrixExceptions.h"
#include "BaseCommon/matrix/PMatrix.h"

// sparse
#include "BaseCommon/sparse/CSparseMatrix.h"
#include "BaseCommon/sparse/SkylineKernel.h"
#include "BaseCommon/sparse/SkylineNumbering.h"

// functions with the C calling convention
#include "BaseCommon/BaseCommonC.h"

#endif  // RVN_BASECOMMON_H
