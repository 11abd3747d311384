target_sources(veyra_ui PRIVATE
  curves/response_graph.cpp curves/response_graph.hpp
)

# The dynamics editors' transfer-curve plot.
target_sources(veyra_ui PRIVATE
  curves/transfer_curve_view.cpp curves/transfer_curve_view.hpp
)

# The System response window's plot.
target_sources(veyra_ui PRIVATE
  curves/system_graph.cpp curves/system_graph.hpp
)
# The EQ editors' phase strip.
target_sources(veyra_ui PRIVATE
  curves/phase_strip.cpp curves/phase_strip.hpp
)
