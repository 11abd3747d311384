veyra_add_test(veyra_sim_tests
  SOURCES
    sim/connection_test.cpp
    sim/firmware_test.cpp
    sim/options_test.cpp
    sim/programs_test.cpp
  LIBS veyra::sim)
