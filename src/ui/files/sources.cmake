# The Data View: the parameter table of the live settings or a program, and its export.
target_sources(veyra_ui PRIVATE
  files/data_view.cpp files/data_view.hpp
)
