/// @file
/// The framework layer in one include: string, arrays, objects and run-time classes,
/// exceptions, files and archives, message box.
#ifndef RVN_FRAMEWORK_FRAMEWORK_H
#define RVN_FRAMEWORK_FRAMEWORK_H

/// @addtogroup framework
/// @{

#include "BaseCommon/framework/CArchive.h"
#include "BaseCommon/framework/CArray.h"
#include "BaseCommon/framework/CException.h"
#include "BaseCommon/framework/CFile.h"
#include "BaseCommon/framework/CObject.h"
#include "BaseCommon/framework/CPtrArray.h"
#include "BaseCommon/framework/CString.h"
#include "BaseCommon/framework/MessageBox.h"
#include "BaseCommon/framework/Types.h"

/// @}

#endif  // RVN_FRAMEWORK_FRAMEWORK_H
