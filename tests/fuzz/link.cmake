veyra_add_fuzzer(fuzz_link_reply SOURCES link_reply_fuzz.cpp LIBS veyra::core)
veyra_warnings(fuzz_link_reply)
