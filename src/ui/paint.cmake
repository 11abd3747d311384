# veyra_paint: what paints without widgets, on Qt Gui alone, so that the
# command line can write a report with no display: the skin's colours and
# fonts, the response graph's layout and painter, and the installation report.
# veyra_ui builds its controls and graph on it.
find_package(Qt6 REQUIRED COMPONENTS Gui)

add_library(veyra_paint STATIC
  controls/skin_style.cpp controls/skin_style.hpp
  curves/graph_layout.cpp curves/graph_layout.hpp
  curves/graph_painter.cpp curves/graph_painter.hpp
  curves/system_plot.cpp curves/system_plot.hpp
  report/installation_report.cpp report/installation_report.hpp
  report/report_flow.cpp report/report_flow.hpp
  report/report_sections.cpp report/report_sections.hpp
  report/report_system.cpp report/report_system.hpp
)
add_library(veyra::paint ALIAS veyra_paint)
target_include_directories(veyra_paint PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(veyra_paint PUBLIC veyra::core Qt6::Gui)
veyra_warnings(veyra_paint)
