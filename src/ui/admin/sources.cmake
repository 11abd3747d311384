target_sources(veyra_ui PRIVATE
  admin/message_box.cpp admin/message_box.hpp
  admin/set_name_dialog.cpp admin/set_name_dialog.hpp
)

# The administration dialogs edit through the editing context.
target_sources(veyra_ui PRIVATE
  admin/security_dialog.cpp admin/security_dialog.hpp
  admin/system_setting_dialog.cpp admin/system_setting_dialog.hpp
  admin/copy_dialog.cpp admin/copy_dialog.hpp
)
