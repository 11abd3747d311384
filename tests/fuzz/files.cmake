veyra_add_fuzzer(fuzz_files SOURCES files_fuzzer.cpp LIBS veyra::core)
veyra_warnings(fuzz_files)
veyra_add_fuzzer(fuzz_filter_text SOURCES filter_text_fuzzer.cpp LIBS veyra::core)
veyra_warnings(fuzz_filter_text)
