# Window benchmarks (bench/listing.sh); sources live with the window.
add_executable(srk_bench_listing ${CMAKE_SOURCE_DIR}/browser/window/bench/listing_bench.cpp)
target_link_libraries(srk_bench_listing PRIVATE srk_window_core Qt6::Core)
