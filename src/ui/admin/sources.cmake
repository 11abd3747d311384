target_sources(veyra_ui PRIVATE
  admin/message_box.cpp admin/message_box.hpp
  admin/set_name_dialog.cpp admin/set_name_dialog.hpp
)
