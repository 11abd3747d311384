# Response graph: a drag frame against a full redraw, at pixel ratios 1 and 2.
if(TARGET veyra_ui AND TARGET veyra_sim)
  add_executable(bench_graph ${CMAKE_CURRENT_LIST_DIR}/graph/graph_bench.cpp)
  target_link_libraries(bench_graph PRIVATE veyra::ui veyra::sim)
  veyra_warnings(bench_graph)
endif()
