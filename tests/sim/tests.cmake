veyra_add_test(veyra_sim_tests
  SOURCES
    sim/admin_test.cpp
    sim/changed_groups_test.cpp
    sim/connection_test.cpp
    sim/firmware_test.cpp
    sim/options_test.cpp
    sim/programs_test.cpp
    sim/soak_test.cpp
  LIBS veyra::sim)

# veyra-sim itself, over the TCP report bridge.
veyra_add_test(veyra_sim_bridge_tests
  SOURCES sim/bridge_test.cpp
  LIBS veyra::sim)
target_compile_definitions(veyra_sim_bridge_tests PRIVATE VEYRA_SIM_EXE="$<TARGET_FILE:veyra-sim>")
add_dependencies(veyra_sim_bridge_tests veyra-sim)
