# The A/B switch on the simulator: the groups that differ against the whole
# live settings, both sent in the same run.
add_executable(bench_ab ${CMAKE_CURRENT_SOURCE_DIR}/ab/main.cpp)
target_link_libraries(bench_ab PRIVATE veyra::sim)
veyra_warnings(bench_ab)
