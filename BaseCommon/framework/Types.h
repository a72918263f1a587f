/// @file
/// Plain integer and string typedefs of the application framework, kept only where a
/// signature of the library or its callers needs them.
#ifndef RVN_FRAMEWORK_TYPES_H
#define RVN_FRAMEWORK_TYPES_H

/// @addtogroup framework
/// @{

#include <cstdint>

typedef unsigned int UINT;    ///< Unsigned int.
typedef int BOOL;             ///< Truth value as int: TRUE (1) or FALSE (0).
typedef std::uint8_t BYTE;    ///< 8-bit unsigned.
typedef std::uint16_t WORD;   ///< 16-bit unsigned.
typedef std::uint32_t DWORD;  ///< 32-bit unsigned.
typedef std::int32_t LONG;    ///< 32-bit signed.
typedef const char* LPCTSTR;  ///< Narrow C string (the library has no wide-character build).
typedef const char* LPCSTR;   ///< Narrow C string.

#ifndef TRUE
/// BOOL true.
#define TRUE 1
#endif
#ifndef FALSE
/// BOOL false.
#define FALSE 0
#endif

/// @}

#endif  // RVN_FRAMEWORK_TYPES_H
