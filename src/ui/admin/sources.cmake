# The administration dialogs edit through the editing context.
target_sources(veyra_ui PRIVATE
  admin/security_dialog.cpp admin/security_dialog.hpp
  admin/system_setting_dialog.cpp admin/system_setting_dialog.hpp
  admin/copy_dialog.cpp admin/copy_dialog.hpp
)
