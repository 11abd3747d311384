# Response curve recomputation against a plain std::complex evaluation.
add_executable(bench_curves ${CMAKE_CURRENT_LIST_DIR}/curves/curves_bench.cpp)
target_link_libraries(bench_curves PRIVATE veyra::core)
veyra_warnings(bench_curves)
