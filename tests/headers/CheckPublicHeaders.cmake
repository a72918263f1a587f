# Compares the headers under BaseCommon/ with the public list of the top-level CMakeLists.txt:
# every header outside a detail/ folder must be listed (or it would silently not be installed),
# and nothing under detail/ may be.
#   cmake -DSOURCE_DIR=<repository> -DLIST_FILE=<one listed path per line> -P CheckPublicHeaders.cmake
cmake_minimum_required(VERSION 3.25)
file(STRINGS "${LIST_FILE}" listed)
file(GLOB_RECURSE found RELATIVE "${SOURCE_DIR}/BaseCommon" "${SOURCE_DIR}/BaseCommon/*.h")
set(errors "")
foreach(h IN LISTS found)
  if(NOT h MATCHES "(^|/)detail/" AND NOT h IN_LIST listed)
    string(APPEND errors "  ${h}: public header missing from RVN_PUBLIC_HEADERS in CMakeLists.txt "
      "(add it there, or move it to its folder's detail/ if it is internal)\n")
  endif()
endforeach()
foreach(h IN LISTS listed)
  if(h MATCHES "(^|/)detail/")
    string(APPEND errors "  ${h}: internal header listed as public\n")
  elseif(NOT EXISTS "${SOURCE_DIR}/BaseCommon/${h}")
    string(APPEND errors "  ${h}: listed but does not exist\n")
  endif()
endforeach()
if(errors)
  message(FATAL_ERROR "public header list out of date:\n${errors}")
endif()
