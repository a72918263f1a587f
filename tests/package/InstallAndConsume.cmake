# Installs the built library into a scratch prefix and moves the prefix elsewhere (the
# package must be relocatable), then builds and runs the consumer program twice: once found
# with find_package(rvnBaseCommon CONFIG), once compiled with the flags of the pkg-config file.
# Each run must print the project version. Internal headers must not be installed: including
# one from the installed tree fails to compile.
file(REMOVE_RECURSE "${WORK_DIR}")
set(staging "${WORK_DIR}/staging")
set(prefix "${WORK_DIR}/moved/prefix")

execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${staging}"
  RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
file(MAKE_DIRECTORY "${WORK_DIR}/moved")
file(RENAME "${staging}" "${prefix}")

file(GLOB_RECURSE installed RELATIVE "${prefix}" "${prefix}/include/*")
set(internal "${installed}")
list(FILTER internal INCLUDE REGEX "/detail/")
if(internal)
  message(FATAL_ERROR "internal headers installed: ${internal}")
endif()

function(run_consumer exe how)
  execute_process(COMMAND "${exe}" RESULT_VARIABLE rc OUTPUT_VARIABLE out)
  if(rc)
    message(FATAL_ERROR "consumer (${how}) run failed: ${rc}\n${out}")
  endif()
  if(NOT out MATCHES "rvnBaseCommon ${VERSION}\n")
    message(FATAL_ERROR "consumer (${how}) did not report version ${VERSION}:\n${out}")
  endif()
endfunction()

execute_process(COMMAND "${CMAKE_COMMAND}" -S "${CONSUMER_DIR}" -B "${WORK_DIR}/consumer"
    -G "${GENERATOR}" "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_COMPILER=${CXX}"
  RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "consumer configure failed: ${rc}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${WORK_DIR}/consumer" RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "consumer build failed: ${rc}")
endif()
run_consumer("${WORK_DIR}/consumer/consumer" find_package)

find_program(PKG_CONFIG pkg-config)
if(NOT PKG_CONFIG)
  message(WARNING "pkg-config not found: the pkg-config half of the consumer test is skipped")
  return()
endif()
file(GLOB pcdir "${prefix}/lib*/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "${pcdir}")
foreach(what cflags libs)
  execute_process(COMMAND "${PKG_CONFIG}" --${what} rvnBaseCommon
    OUTPUT_VARIABLE ${what} RESULT_VARIABLE rc OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(rc)
    message(FATAL_ERROR "pkg-config --${what} failed: ${rc}")
  endif()
  separate_arguments(${what} UNIX_COMMAND "${${what}}")
endforeach()
string(REGEX MATCH "-L([^;]+)" _ "${libs}")
set(libdir "${CMAKE_MATCH_1}")
execute_process(COMMAND "${CXX}" -std=c++17 ${cflags} "${CONSUMER_DIR}/main.cpp"
    -o "${WORK_DIR}/consumer-pc" ${libs} "-Wl,-rpath,${libdir}"
  RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc)
  message(FATAL_ERROR "consumer build with pkg-config flags failed: ${rc}\n${err}")
endif()
run_consumer("${WORK_DIR}/consumer-pc" pkg-config)

file(WRITE "${WORK_DIR}/internal.cpp" "#include \"BaseCommon/matrix/detail/DenseKernels.h\"\n")
execute_process(COMMAND "${CXX}" -std=c++17 ${cflags} -fsyntax-only "${WORK_DIR}/internal.cpp"
  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(NOT rc)
  message(FATAL_ERROR "an internal header compiles from the installed tree")
endif()
