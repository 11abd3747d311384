# The USB virtual-machine stage (tests/usb/run-vm.sh): this executable runs
# inside the machine, against veyra-sim behind HID gadgets. It is built with
# the other tests but is not one of ctest's: on the host every case would skip.
if(TARGET veyra_ui AND TARGET veyra_sim)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_executable(veyra_usb_tests usb/usb_vm_test.cpp ui/qt_environment.cpp)
  target_link_libraries(veyra_usb_tests PRIVATE veyra::ui veyra::sim Qt6::Test GTest::gtest GTest::gmock
                                                GTest::gtest_main)
  target_include_directories(veyra_usb_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  veyra_warnings(veyra_usb_tests)
  target_compile_definitions(veyra_usb_tests PRIVATE VEYRACTL_EXE="$<TARGET_FILE:veyractl>"
                                                     VEYRA_SIM_EXE="$<TARGET_FILE:veyra-sim>")
  add_dependencies(veyra_usb_tests veyractl veyra-sim)
endif()
