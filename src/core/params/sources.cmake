target_sources(veyra_core PRIVATE
  params/param_rules.cpp
  params/param_table.cpp
)
