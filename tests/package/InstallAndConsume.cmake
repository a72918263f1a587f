# Installs the built library into a scratch prefix, then configures, builds and runs a
# consumer project that finds it with find_package(rvnBaseCommon CONFIG), and checks the
# pkg-config file points at the same prefix.
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")

execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
  RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "install failed: ${rc}")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -S "${CONSUMER_DIR}" -B "${WORK_DIR}/consumer"
    -G "${GENERATOR}" "-DCMAKE_PREFIX_PATH=${prefix}"
  RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "consumer configure failed: ${rc}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${WORK_DIR}/consumer" RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "consumer build failed: ${rc}")
endif()
execute_process(COMMAND "${WORK_DIR}/consumer/consumer" RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "consumer run failed: ${rc}")
endif()

find_program(PKG_CONFIG pkg-config)
if(PKG_CONFIG)
  file(GLOB pcdir "${prefix}/lib*/pkgconfig")
  set(ENV{PKG_CONFIG_PATH} "${pcdir}")
  execute_process(COMMAND "${PKG_CONFIG}" --cflags --libs rvnBaseCommon
    OUTPUT_VARIABLE flags RESULT_VARIABLE rc OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(rc)
    message(FATAL_ERROR "pkg-config failed: ${rc}")
  endif()
  string(REGEX MATCH "-I([^ ]+)" _ "${flags}")
  file(REAL_PATH "${CMAKE_MATCH_1}" incdir)
  file(REAL_PATH "${prefix}/include" expected)
  if(NOT incdir STREQUAL expected)
    message(FATAL_ERROR "pkg-config reports another prefix: ${flags}")
  endif()
endif()
