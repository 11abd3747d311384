target_sources(veyra_core PRIVATE
  groups/channel_kind.cpp
  groups/copy_to_group.cpp
  groups/group_links.cpp
)
