veyra_add_test(veyra_link_tests
  SOURCES
    core/link/frame_test.cpp
    core/link/messages_test.cpp
  LIBS veyra::core)
