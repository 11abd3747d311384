# veyra-sim: the simulated processor served on the TCP report bridge.
find_package(CLI11 REQUIRED)
add_executable(veyra-sim ${CMAKE_CURRENT_SOURCE_DIR}/veyra-sim/main.cpp)
target_link_libraries(veyra-sim PRIVATE veyra::sim CLI11::CLI11)
veyra_warnings(veyra-sim)
install(TARGETS veyra-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
