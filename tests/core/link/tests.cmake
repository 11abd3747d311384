veyra_add_test(veyra_link_tests
  SOURCES
    core/link/frame_test.cpp
    core/link/messages_test.cpp
    core/link/device_link_test.cpp
    core/link/transport_test.cpp
    core/link/usb_address_test.cpp
  LIBS veyra::core)
