target_sources(veyra_core PRIVATE
  files/data_table.cpp
  files/export.cpp
  files/file_io.cpp
  files/filter_import.cpp
  files/filter_text.cpp
  files/store_files.cpp
)
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
target_link_libraries(veyra_core PRIVATE PkgConfig::XLSXWRITER)
# The file check and the settings diff: one walk over the settings' fields.
target_sources(veyra_core PRIVATE
  files/file_check.cpp
  files/group_diff.cpp
  files/settings_diff.cpp
  files/settings_fields.cpp
)
