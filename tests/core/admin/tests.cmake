veyra_add_test(veyra_admin_tests
  SOURCES
    core/admin/channel_copy_test.cpp
    core/admin/security_lock_test.cpp
  LIBS veyra::core)
