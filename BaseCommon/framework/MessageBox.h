/// @file
/// Message box of the framework layer. There is no window here: AfxMessageBox passes the
/// text to the installed handler, by default one line on standard error answered with IDOK.
#ifndef RVN_FRAMEWORK_MESSAGEBOX_H
#define RVN_FRAMEWORK_MESSAGEBOX_H

/// @addtogroup framework
/// @{

#include <functional>

#include "BaseCommon/Export.h"
#include "BaseCommon/framework/Types.h"

/// Button and icon flags of AfxMessageBox's nType (the default handler ignores them).
enum : UINT {
    MB_OK = 0x00000000u,
    MB_OKCANCEL = 0x00000001u,
    MB_YESNO = 0x00000004u,
    MB_ICONERROR = 0x00000010u,
    MB_ICONSTOP = MB_ICONERROR,
    MB_ICONQUESTION = 0x00000020u,
    MB_ICONWARNING = 0x00000030u,
    MB_ICONINFORMATION = 0x00000040u
};

/// Answers a message box handler returns.
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

/// A message box handler: receives the text (never null), the flags and the help id, and
/// returns the answer (IDOK, IDYES, ...).
using MessageBoxHandler = std::function<int(const char* text, UINT nType, UINT nIDHelp)>;

/// Shows text through the installed handler and returns its answer. The default handler
/// writes "rvnBaseCommon: <text>" as one line on standard error and answers IDOK; a null
/// text is shown as an empty one.
RVN_API int AfxMessageBox(const char* text, UINT nType = MB_OK, UINT nIDHelp = 0);

/// Installs h and returns the previous handler; nullptr restores the default. The handler is
/// one for the whole process: install it before other threads show messages.
RVN_API MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler h);

/// @}

#endif  // RVN_FRAMEWORK_MESSAGEBOX_H
