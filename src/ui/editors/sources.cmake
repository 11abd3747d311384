target_sources(veyra_ui PRIVATE
  editors/editor_registry.cpp editors/editor_registry.hpp
  editors/editor_dialog.cpp editors/editor_dialog.hpp
  editors/parts/slider_column.cpp editors/parts/slider_column.hpp
  editors/parts/channel_rows.cpp editors/parts/channel_rows.hpp
)
# The compressor and limiter editors.
target_sources(veyra_ui PRIVATE
  editors/dynamics_editor.cpp editors/dynamics_editor.hpp
)
