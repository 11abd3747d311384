target_sources(veyra_ui PRIVATE
  curves/response_graph.cpp curves/response_graph.hpp
)

# The dynamics editors' transfer-curve plot.
target_sources(veyra_ui PRIVATE
  curves/transfer_curve_view.cpp curves/transfer_curve_view.hpp
)
