target_sources(veyra_ui PRIVATE
  curves/graph_layout.cpp curves/graph_layout.hpp
  curves/graph_painter.cpp curves/graph_painter.hpp
  curves/response_graph.cpp curves/response_graph.hpp
)
