/* The functions of rvnBaseCommon with the C calling convention, exported under their bare
 * names. This header is valid C (C99) and C++. */
#ifndef RVN_BASECOMMON_C_H
#define RVN_BASECOMMON_C_H

#include "BaseCommon/Export.h"

#endif /* RVN_BASECOMMON_C_H */
