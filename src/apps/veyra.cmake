# veyra: the GUI application.
if(TARGET veyra_ui)
  add_executable(veyra ${CMAKE_CURRENT_SOURCE_DIR}/veyra_main.cpp ${PROJECT_SOURCE_DIR}/resources/veyra.qrc)
  set_target_properties(veyra PROPERTIES AUTORCC ON)
  target_link_libraries(veyra PRIVATE veyra::ui veyra::sim)
  target_compile_definitions(veyra PRIVATE VEYRA_VERSION="${PROJECT_VERSION}")
  veyra_warnings(veyra)

  install(TARGETS veyra RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/resources/veyra.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/veyra.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
endif()
