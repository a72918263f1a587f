/** @file
 * Symbol visibility of librvnBaseCommon.
 * @ingroup library
 *
 * The library is built with hidden visibility: only what is marked here is exported.
 *   RVN_API    classes, data and functions with C++ linkage;
 *   RVN_C_API  functions with the C calling convention, exported under their bare names.
 * This header is valid C as well as C++, because the C-convention header includes it. */
#ifndef RVN_BASECOMMON_EXPORT_H
#define RVN_BASECOMMON_EXPORT_H

/** @addtogroup library
 * @{ */

#if defined(_WIN32)
#if defined(RVN_BUILDING_LIBRARY)
#define RVN_API __declspec(dllexport)
#else
#define RVN_API __declspec(dllimport)
#endif
#else
/** Exports a class, function or datum with C++ linkage from the library. */
#define RVN_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
/** Exports a function with the C calling convention under its bare name. */
#define RVN_C_API extern "C" RVN_API
#else
#define RVN_C_API RVN_API
#endif

/** @} */

#endif /* RVN_BASECOMMON_EXPORT_H */
