target_sources(veyra_ui PRIVATE
  shell/gdiplus_guard.cpp shell/gdiplus_guard.hpp
  shell/application_shell.cpp shell/application_shell.hpp
)
