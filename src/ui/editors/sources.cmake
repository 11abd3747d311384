target_sources(veyra_ui PRIVATE
  editors/editor_registry.cpp editors/editor_registry.hpp
  editors/editor_dialog.cpp editors/editor_dialog.hpp
  editors/parts/slider_column.cpp editors/parts/slider_column.hpp
  editors/parts/channel_rows.cpp editors/parts/channel_rows.hpp
  editors/gain_editor.cpp editors/gain_editor.hpp
  editors/delay_panel.cpp editors/delay_panel.hpp
  editors/delay_editor.cpp editors/delay_editor.hpp
  editors/group_editor.cpp editors/group_editor.hpp
  editors/mic_line_editor.cpp editors/mic_line_editor.hpp
)
