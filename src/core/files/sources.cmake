target_sources(veyra_core PRIVATE
  files/data_table.cpp
  files/export.cpp
  files/file_io.cpp
  files/filter_text.cpp
  files/store_files.cpp
)
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
target_link_libraries(veyra_core PRIVATE PkgConfig::XLSXWRITER)
