# srk_add_fuzzer(NAME SOURCES ... [LIBS ...] [DEFINES ...])
# A libFuzzer target built with AddressSanitizer and UndefinedBehaviorSanitizer (clang only).
# Fuzz targets are not part of the normal build: configure a separate build folder with
# CC=clang CXX=clang++ -DSRK_FUZZ=ON; scripts/test.sh runs each one briefly on its seeds.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "SRK_FUZZ=ON needs clang: configure with CC=clang CXX=clang++")
endif()
set(SRK_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)

function(srk_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS;DEFINES" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/..)
  target_compile_options(${name} PRIVATE ${SRK_FUZZ_FLAGS})
  target_link_options(${name} PRIVATE ${SRK_FUZZ_FLAGS})
  if(F_LIBS)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
  endif()
  if(F_DEFINES)
    target_compile_definitions(${name} PRIVATE ${F_DEFINES})
  endif()
endfunction()
