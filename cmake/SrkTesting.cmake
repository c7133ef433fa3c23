# srk_add_gtest(NAME [GUI] SOURCES ... LIBS ... [LABELS ...] [PROPERTIES name value ...])
# Builds one GoogleTest program and registers each of its cases with CTest. Every test
# process gets its own settings, data and runtime folders (tests/support/SrkTestMain.cpp).
# GUI programs get a QApplication on the offscreen platform unless a display is given.
include(GoogleTest)
function(srk_add_gtest name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_GUI)
    set(_main srk_test_main_gui)
  else()
    set(_main srk_test_main)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${_main} GTest::gtest Threads::Threads)
  set(_env
    "SRK_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    "SRK_BINARY_DIR=${CMAKE_BINARY_DIR}"
    "SRK_RESOURCE_DIR=${CMAKE_BINARY_DIR}/bin/resources")
  if(T_GUI)
    list(APPEND _env "QT_QPA_PLATFORM=offscreen")
  endif()
  # The test properties are set from a file of our own that CTest reads after the
  # discovered tests: gtest_discover_tests (CMake 3.25) splits list values such as the
  # environment into separate arguments, which garbles every property after them.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_LIST ${name}_TESTS)
  set(_props "${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake")
  file(WRITE "${_props}"
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT [==[${_env}]==]"
    " LABELS [==[${T_LABELS}]==] ${T_PROPERTIES})\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${_props}")
endfunction()
