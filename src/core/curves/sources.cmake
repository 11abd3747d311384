# Response curves of EQ bands and crossover sections. No Qt.
target_sources(veyra_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/channel_curve.cpp
  ${CMAKE_CURRENT_LIST_DIR}/eq_fit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/complex_response.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system_response.cpp
  ${CMAKE_CURRENT_LIST_DIR}/filter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/filter_design.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plot_axes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/target_curve.cpp
)
