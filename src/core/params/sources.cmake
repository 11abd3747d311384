target_sources(veyra_core PRIVATE
  params/eq_bands.cpp
  params/param_rules.cpp
  params/param_table.cpp
)
