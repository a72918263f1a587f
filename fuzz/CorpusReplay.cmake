# The committed fuzz corpora replayed by the ordinary test run: each fuzz/<name>_fuzz.cpp is
# built with the test compiler and fuzz/replay_main.cpp in place of libFuzzer, and a test feeds
# it every file of fuzz/corpus/<name>/. Included from tests/CMakeLists.txt.
file(GLOB RVN_REPLAY_SOURCES CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/fuzz/*_fuzz.cpp")
# The replaying main is the same for every target: compiled once.
add_library(rvnFuzzReplayMain OBJECT "${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp")
target_compile_options(rvnFuzzReplayMain PRIVATE ${RVN_WARNINGS})
foreach(src IN LISTS RVN_REPLAY_SOURCES)
  get_filename_component(name "${src}" NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" corpus "${name}")
  # The plan target drives the example program's library.
  if(corpus STREQUAL "plan" AND NOT TARGET rvnPileRaftCore)
    continue()
  endif()
  add_executable(${name}_replay "${src}")
  target_link_libraries(${name}_replay PRIVATE rvnFuzzReplayMain rvn::BaseCommon)
  target_include_directories(${name}_replay PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  if(corpus STREQUAL "plan")
    target_link_libraries(${name}_replay PRIVATE rvnPileRaftCore)
  endif()
  target_compile_options(${name}_replay PRIVATE ${RVN_WARNINGS})
  add_test(NAME fuzz_corpus.${corpus}
    COMMAND ${name}_replay "${PROJECT_SOURCE_DIR}/fuzz/corpus/${corpus}")
endforeach()
