veyra_add_test(veyra_curves_tests
  SOURCES
    core/curves/filter_design_test.cpp
    core/curves/filter_test.cpp
    core/curves/reference_test.cpp
  LIBS veyra::core)
