# Audio engine benchmarks (bench/render.sh, bench/start-latency.sh); sources live with the engine.
add_executable(srk_bench_render ${CMAKE_SOURCE_DIR}/browser/audio/bench/render_bench.cpp)
target_link_libraries(srk_bench_render PRIVATE srk_audio)
add_executable(srk_bench_start_latency ${CMAKE_SOURCE_DIR}/browser/audio/bench/start_latency_bench.cpp)
target_link_libraries(srk_bench_start_latency PRIVATE srk_audio)
