target_sources(veyra_core PRIVATE
  admin/security_lock.cpp admin/security_lock.hpp
  admin/system_settings.cpp admin/system_settings.hpp
  admin/channel_copy.cpp admin/channel_copy.hpp
)
