# srk_add_gtest(NAME SOURCES... LIBS ... [LABELS ...])
# Builds one GoogleTest program and registers its cases with CTest. Every test runs
# with its own settings, data and runtime folders so that no user's files are touched.
include(GoogleTest)
function(srk_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  set(_env
    "XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home/config"
    "XDG_DATA_HOME=${CMAKE_BINARY_DIR}/test-home/data"
    "XDG_STATE_HOME=${CMAKE_BINARY_DIR}/test-home/state"
    "QT_QPA_PLATFORM=offscreen"
    "SRK_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    "SRK_BINARY_DIR=${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "${_env}" LABELS "${T_LABELS}")
endfunction()
