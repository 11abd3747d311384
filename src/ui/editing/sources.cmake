target_sources(veyra_ui PRIVATE
  editing/window_kind.hpp editing/main_view.hpp editing/refresh_scope.hpp
  editing/prompts.cpp editing/prompts.hpp
  editing/edit_context.cpp editing/edit_context.hpp
  editing/undo_step.cpp editing/undo_step.hpp
  editing/ab_comparison.cpp editing/ab_comparison.hpp
  editing/param_binding.cpp editing/param_binding.hpp
  editing/channel_name.cpp editing/channel_name.hpp
  # the base of every dialog that edits: below all the dialog folders
  editing/editor_dialog.cpp editing/editor_dialog.hpp
  # the question before loading a file that fails the check
  editing/load_question.cpp editing/load_question.hpp
)
