veyra_add_test(veyra_params_tests
  SOURCES core/params/param_table_test.cpp core/params/eq_bands_test.cpp core/params/param_script_test.cpp core/params/filter_rule_test.cpp
  LIBS veyra::core)
