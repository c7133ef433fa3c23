# Seeker benchmarks (bench/scan.sh, bench/deep-scan.sh, bench/filter.sh): one program with a
# subcommand per benchmark; its source lives with the Seeker.
add_executable(srk_bench_seeker ${CMAKE_SOURCE_DIR}/browser/seeker/bench/seeker_bench.cpp)
target_link_libraries(srk_bench_seeker PRIVATE srk_seeker Qt6::Core)
