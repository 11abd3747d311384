veyra_add_test(veyra_groups_tests
  SOURCES core/groups/copy_to_group_test.cpp core/groups/group_links_test.cpp
  LIBS veyra::core)
