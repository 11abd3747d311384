veyra_add_test(veyra_state_tests
  SOURCES
    core/state/parameter_store_test.cpp
    core/state/scales_test.cpp
    core/state/device_text_test.cpp
  LIBS veyra::core)
