target_sources(veyra_ui PRIVATE
  editors/parts/slider_column.cpp editors/parts/slider_column.hpp
  editors/parts/channel_rows.cpp editors/parts/channel_rows.hpp
  editors/parts/mode_slider.cpp editors/parts/mode_slider.hpp
  editors/parts/entry_field.cpp editors/parts/entry_field.hpp
  editors/parts/eq_band_column.cpp editors/parts/eq_band_column.hpp
  editors/parts/eq_editor_base.cpp editors/parts/eq_editor_base.hpp
  editors/input_eq_editor.cpp editors/input_eq_editor.hpp
  editors/output_eq_editor.cpp editors/output_eq_editor.hpp
  editors/gain_editor.cpp editors/gain_editor.hpp
  editors/delay_panel.cpp editors/delay_panel.hpp
  editors/delay_editor.cpp editors/delay_editor.hpp
  editors/group_editor.cpp editors/group_editor.hpp
  editors/mic_line_editor.cpp editors/mic_line_editor.hpp
)
# The compressor and limiter editors.
target_sources(veyra_ui PRIVATE
  editors/dynamics_editor.cpp editors/dynamics_editor.hpp
)
# The preview of a filter text import, shared by both EQ editors.
target_sources(veyra_ui PRIVATE
  editors/eq_import_dialog.cpp editors/eq_import_dialog.hpp
)
# The System response (alignment) window.
target_sources(veyra_ui PRIVATE
  editors/system_response_window.cpp editors/system_response_window.hpp
)
