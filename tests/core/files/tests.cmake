veyra_add_test(veyra_files_tests
  SOURCES
    core/files/store_files_test.cpp
    core/files/data_table_test.cpp
    core/files/export_test.cpp
    core/files/filter_text_test.cpp
    core/files/filter_import_test.cpp
    core/files/settings_check_test.cpp
  LIBS veyra::core)
