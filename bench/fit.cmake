# Fitting filter lists into six bands: the error against copying the first
# six, and the time against one evaluation of six bands.
add_executable(bench_fit ${CMAKE_CURRENT_LIST_DIR}/fit/fit_bench.cpp)
target_link_libraries(bench_fit PRIVATE veyra::core)
target_compile_definitions(bench_fit PRIVATE
  VEYRA_FILTER_FIXTURES="${CMAKE_CURRENT_LIST_DIR}/../tests/data/filters")
veyra_warnings(bench_fit)
