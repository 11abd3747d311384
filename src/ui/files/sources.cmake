# The program dialog and the program operations it starts.
target_sources(veyra_ui PRIVATE
  files/preset_operations.cpp files/preset_operations.hpp
  files/program_dialog.cpp files/program_dialog.hpp
)

# The Data View: the parameter table of the live settings or a program, and its export.
target_sources(veyra_ui PRIVATE
  files/data_view.cpp files/data_view.hpp
)

# File > Export report's settings dialog; the report writer itself is in
# veyra_paint (paint.cmake), which the command line links without widgets.
target_sources(veyra_ui PRIVATE
  files/report_dialog.cpp files/report_dialog.hpp
)
