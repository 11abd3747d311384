target_sources(veyra_core PRIVATE
  link/device_link.cpp
  link/bridge_server.cpp
  link/frame.cpp
  link/hid_transport.cpp
  link/hotplug.cpp
  link/messages.cpp
  link/tcp_transport.cpp
  link/transcript.cpp
  link/transport.cpp
  link/transport_builtin.cpp
  link/usb_address.cpp
)

# hidapi (hidraw backend) and libudev ship pkg-config files only on Debian.
pkg_check_modules(VEYRA_HIDAPI REQUIRED IMPORTED_TARGET GLOBAL hidapi-hidraw)
pkg_check_modules(VEYRA_UDEV REQUIRED IMPORTED_TARGET GLOBAL libudev)
target_link_libraries(veyra_core PRIVATE PkgConfig::VEYRA_HIDAPI PkgConfig::VEYRA_UDEV)

# Lets the logged-in user open the processor's hidraw node (see README).
set(VEYRA_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING "Where the udev rule is installed (relative to the prefix)")
install(FILES ${PROJECT_SOURCE_DIR}/packaging/70-veyra-ql.rules DESTINATION ${VEYRA_UDEV_RULES_DIR})
