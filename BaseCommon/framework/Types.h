/// @file
/// Plain integer and string typedefs of the application framework, kept only where a
/// signature of the library or its callers needs them.
#ifndef RVN_FRAMEWORK_TYPES_H
#define RVN_FRAMEWORK_TYPES_H

/// @addtogroup framework
/// @{

#include <cstdint>

typedef unsigned int UINT;
typedef int BOOL;
typedef std::uint8_t BYTE;
typedef std::uint16_t WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef const char* LPCTSTR;
typedef const char* LPCSTR;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

/// @}

#endif  // RVN_FRAMEWORK_TYPES_H
