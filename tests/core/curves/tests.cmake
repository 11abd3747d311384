veyra_add_test(veyra_curves_tests
  SOURCES
    core/curves/filter_design_test.cpp
    core/curves/filter_test.cpp
    core/curves/reference_test.cpp
    core/curves/target_curve_test.cpp
    core/curves/eq_fit_test.cpp
    core/curves/system_response_test.cpp
  LIBS veyra::core)
# Where the reference responses live, for runs without VEYRA_TEST_DATA.
target_compile_definitions(veyra_curves_tests PRIVATE
  VEYRA_CURVES_DATA="${CMAKE_CURRENT_LIST_DIR}/../../data/curves")
