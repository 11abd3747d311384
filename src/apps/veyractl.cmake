# veyractl: the command-line tool. Its commands live in a library of their
# own so that the tests reach the formatting without starting a process;
# main() only registers the simulator and hands over.
find_package(CLI11 REQUIRED)

add_library(veyra_ctl STATIC
  veyractl/cli_app.cpp
  veyractl/console.cpp
  veyractl/device_commands.cpp
  veyractl/device_session.cpp
  veyractl/eq_commands.cpp
  veyractl/file_commands.cpp
  veyractl/info_report.cpp
  veyractl/list_command.cpp
  veyractl/serve_command.cpp
  veyractl/param_commands.cpp
  veyractl/response_table.cpp
  veyractl/source_file.cpp
  veyractl/system_command.cpp
  veyractl/text_table.cpp
  # check, diff and the check before push and restore
  veyractl/check_commands.cpp
)
add_library(veyra::ctl ALIAS veyra_ctl)
target_include_directories(veyra_ctl PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/veyractl)
target_link_libraries(veyra_ctl PUBLIC veyra::core PRIVATE CLI11::CLI11)
target_compile_definitions(veyra_ctl PRIVATE VEYRA_VERSION="${PROJECT_VERSION}")
veyra_warnings(veyra_ctl)

add_executable(veyractl veyractl/main.cpp)
target_link_libraries(veyractl PRIVATE veyra::ctl veyra::sim)
veyra_warnings(veyractl)
install(TARGETS veyractl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The installation report (PDF) needs Qt Gui: it is part of the tool when the
# build has the painting library (VEYRA_BUILD_GUI=ON).
if(TARGET veyra_paint)
  target_sources(veyra_ctl PRIVATE veyractl/report_command.cpp)
  target_link_libraries(veyra_ctl PRIVATE veyra::paint)
  target_compile_definitions(veyra_ctl PRIVATE VEYRA_WITH_REPORT=1)
endif()
