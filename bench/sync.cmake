# The Orvane connection sequence on the simulator: our link against the
# original fixed-sleep polling and against the simulator's modelled floor.
add_executable(bench_sync ${CMAKE_CURRENT_SOURCE_DIR}/sync/main.cpp)
target_link_libraries(bench_sync PRIVATE veyra::sim)
veyra_warnings(bench_sync)
