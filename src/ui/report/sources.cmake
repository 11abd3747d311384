# The report's settings dialog; the report writer itself is in veyra_paint
# (paint.cmake), which the command line links without widgets.
target_sources(veyra_ui PRIVATE
  report/report_dialog.cpp report/report_dialog.hpp
)
