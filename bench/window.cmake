# Window benchmarks (bench/listing.sh); sources live with the window.
add_executable(srk_bench_listing ${CMAKE_SOURCE_DIR}/browser/window/bench/listing_bench.cpp)
target_link_libraries(srk_bench_listing PRIVATE srk_window_core Qt6::Core)
add_executable(srk_bench_click_latency ${CMAKE_SOURCE_DIR}/browser/window/bench/click_latency_bench.cpp)
target_include_directories(srk_bench_click_latency PRIVATE ${CMAKE_SOURCE_DIR}/browser/audio/bench)
target_link_libraries(srk_bench_click_latency PRIVATE srk_window)
