veyra_add_test(veyra_sim_tests
  SOURCES
    sim/firmware_test.cpp
    sim/options_test.cpp
  LIBS veyra::sim)
