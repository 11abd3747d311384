# veyractl end to end: the built tool runs as a child process, against files,
# the in-process simulator (sim:) and veyra-sim over the TCP report bridge.
veyra_add_test(veyra_ctl_tests
  SOURCES
    apps/veyractl_files_test.cpp
    apps/veyractl_device_test.cpp
    apps/veyractl_eq_test.cpp
    apps/veyractl_admin_test.cpp
    apps/veyractl_param_test.cpp
    apps/veyractl_check_test.cpp
    apps/veyractl_system_test.cpp
    apps/veyractl_apply_test.cpp
    apps/veyractl_list_test.cpp
    apps/veyractl_serve_test.cpp
  LIBS veyra::ctl veyra::sim)
target_compile_definitions(veyra_ctl_tests PRIVATE VEYRACTL_EXE="$<TARGET_FILE:veyractl>"
                                                   VEYRA_SIM_EXE="$<TARGET_FILE:veyra-sim>")
add_dependencies(veyra_ctl_tests veyractl veyra-sim)

# veyractl report, where the tool has it (a build with Qt Gui).
if(TARGET veyra_paint)
  target_sources(veyra_ctl_tests PRIVATE apps/veyractl_report_test.cpp)
endif()
