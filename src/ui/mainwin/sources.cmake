target_sources(veyra_ui PRIVATE
  # which dialog each window kind opens: above all the dialog folders
  mainwin/editor_registry.cpp mainwin/editor_registry.hpp
  mainwin/link_thread.cpp mainwin/link_thread.hpp
  mainwin/device_session.cpp mainwin/device_session.hpp
  mainwin/main_commands.hpp
  mainwin/main_toolbar.cpp mainwin/main_toolbar.hpp
  mainwin/status_area.cpp mainwin/status_area.hpp
  mainwin/ab_controls.cpp mainwin/ab_controls.hpp
  mainwin/about_box.cpp mainwin/about_box.hpp
  mainwin/processor_choice.cpp mainwin/processor_choice.hpp
  mainwin/main_window.cpp mainwin/main_window_commands.cpp mainwin/main_window.hpp
)

# The main window's real dialogs, and File > Export report.
target_sources(veyra_ui PRIVATE
  mainwin/window_prompts.cpp mainwin/window_prompts.hpp
)
