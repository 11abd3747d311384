# GUI tests run headless (QT_QPA_PLATFORM=offscreen, set by veyra_add_test).
# Pictures taken by the tests and the program's screenshot runs land here.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/ui-renders)
if(TARGET veyra_ui)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  veyra_add_test(veyra_ui_tests
    SOURCES
      ui/qt_environment.cpp
      ui/slider_test.cpp
      ui/buttons_test.cpp
      ui/spin_value_test.cpp
      ui/entry_field_test.cpp
      ui/drop_down_test.cpp
      ui/label_test.cpp
      ui/message_box_test.cpp
      ui/shell_test.cpp
      ui/render_test.cpp
    LIBS veyra::ui Qt6::Test)
  # The rendered control faces land here, to be looked at.
  target_compile_definitions(veyra_ui_tests PRIVATE VEYRA_RENDER_DIR="${CMAKE_BINARY_DIR}/ui-renders")
endif()

# The application itself starts, shows its main window, saves it and ends.
if(TARGET veyra)
  add_test(NAME veyra_starts_and_closes
           COMMAND veyra --screenshot ${CMAKE_BINARY_DIR}/ui-renders/veyra_start.png)
  set_tests_properties(veyra_starts_and_closes PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 30)
endif()

# The main window, its link thread and its commands on the real stack against
# the simulated processor.
if(TARGET veyra_ui AND TARGET veyra_sim)
  veyra_add_test(veyra_mainwin_tests
    SOURCES
      ui/qt_environment.cpp
      ui/link_thread_test.cpp
      ui/main_window_test.cpp
      ui/strips_test.cpp
      ui/undo_test.cpp
      ui/ab_comparison_test.cpp
      ui/dynamics_editor_test.cpp
      ui/eq_editors_test.cpp
      ui/program_dialog_test.cpp
      ui/level_editors_test.cpp
      ui/group_editor_test.cpp
      ui/device_session_test.cpp
      ui/scripted_changes_test.cpp
      ui/admin_dialogs_test.cpp
      ui/load_question_test.cpp
      ui/system_window_test.cpp
      ui/typed_and_live_test.cpp
      ui/wholesale_test.cpp
      ui/narrow_refresh_test.cpp
    LIBS veyra::ui veyra::sim Qt6::Test)
endif()

# With a device it connects first, then takes the picture.
if(TARGET veyra)
  add_test(NAME veyra_screenshot_on_a_demo_device
           COMMAND veyra --device sim:orvane,fast --screenshot ${CMAKE_BINARY_DIR}/ui-renders/veyra_demo.png)
  set_tests_properties(veyra_screenshot_on_a_demo_device PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 30)
endif()

# A picture of another routing view, chosen once the connection has ended.
if(TARGET veyra)
  add_test(NAME veyra_screenshot_of_the_routing_lines
           COMMAND veyra --device sim:merial,fast --view lines --screenshot ${CMAKE_BINARY_DIR}/ui-renders/veyra_lines.png)
  set_tests_properties(veyra_screenshot_of_the_routing_lines PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 30)
  add_test(NAME veyra_refuses_an_unknown_view COMMAND veyra --view sideways --screenshot ${CMAKE_BINARY_DIR}/ui-renders/none.png)
  set_tests_properties(veyra_refuses_an_unknown_view PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" WILL_FAIL TRUE TIMEOUT 30)
endif()

# An editor that is not there is refused before the window opens.
if(TARGET veyra)
  add_test(NAME veyra_refuses_an_unknown_editor COMMAND veyra --open no-such-editor --screenshot ${CMAKE_BINARY_DIR}/ui-renders/none.png)
  set_tests_properties(veyra_refuses_an_unknown_editor PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                       PASS_REGULAR_EXPRESSION "no editor named 'no-such-editor'" TIMEOUT 30)
endif()

# The response graph on a real store.
if(TARGET veyra_ui)
  veyra_add_test(veyra_curves_ui_tests
    SOURCES
      ui/qt_environment.cpp
      ui/response_graph_test.cpp
    LIBS veyra::ui Qt6::Test)
endif()

# The dynamics editors and the System response window open from the command
# line on a demo device and are pictured.
if(TARGET veyra)
  foreach(editor compressor:A limiter:3 system:A)
    string(REPLACE ":" "_" shot ${editor})
    add_test(NAME veyra_opens_${shot}
             COMMAND veyra --device sim:sistel,fast --open ${editor} --screenshot ${CMAKE_BINARY_DIR}/ui-renders/${shot}.png)
    set_tests_properties(veyra_opens_${shot} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 30)
  endforeach()
endif()

# The Program dialog over a demo device, as the operator opens it.
if(TARGET veyra)
  add_test(NAME veyra_screenshot_of_the_program_dialog
           COMMAND veyra --device sim:sistel,fast --open program --screenshot ${CMAKE_BINARY_DIR}/ui-renders/veyra_program.png)
  set_tests_properties(veyra_screenshot_of_the_program_dialog PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 30)
endif()

# The installation report on Qt Gui alone, read back with poppler's tools.
if(TARGET veyra_paint)
  veyra_add_test(veyra_report_tests
    SOURCES ui/report_test.cpp
    LIBS veyra::paint)
endif()

# File > Export report through scripted prompts (needs UseTestDevice from main_window_test.cpp).
if(TARGET veyra_mainwin_tests)
  target_sources(veyra_mainwin_tests PRIVATE ui/report_export_test.cpp)
  target_compile_definitions(veyra_mainwin_tests PRIVATE VEYRA_RENDER_DIR="${CMAKE_BINARY_DIR}/ui-renders")
endif()

# The widget folders include downwards only.
add_test(NAME veyra_ui_folder_layers
         COMMAND ${CMAKE_COMMAND} -DUI_DIR=${PROJECT_SOURCE_DIR}/src/ui -P ${CMAKE_CURRENT_SOURCE_DIR}/ui/folder_layers.cmake)
