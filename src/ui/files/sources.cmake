# The program dialog and the program operations it starts.
target_sources(veyra_ui PRIVATE
  files/preset_operations.cpp files/preset_operations.hpp
  files/program_dialog.cpp files/program_dialog.hpp
)
