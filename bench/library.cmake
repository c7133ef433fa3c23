# Library benchmarks (bench/soundbank.sh); sources live with the library.
add_executable(srk_bench_soundbank ${CMAKE_SOURCE_DIR}/browser/library/bench/soundbank_bench.cpp)
target_link_libraries(srk_bench_soundbank PRIVATE srk_library Qt6::Core)
