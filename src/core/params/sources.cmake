target_sources(veyra_core PRIVATE
  params/eq_bands.cpp
  params/param_change.cpp
  params/param_rules.cpp
  params/param_script.cpp
  params/param_table.cpp
)
