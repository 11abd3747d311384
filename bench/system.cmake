# System response: one output changed and the view repainted, against a
# recompute from scratch, on a three-output system at pixel ratio 1.
if(TARGET veyra_paint)
  add_executable(bench_system ${CMAKE_CURRENT_LIST_DIR}/system/system_bench.cpp)
  target_link_libraries(bench_system PRIVATE veyra::paint)
  veyra_warnings(bench_system)
endif()
