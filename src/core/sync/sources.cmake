target_sources(veyra_core PRIVATE
  sync/changed_groups.cpp
  sync/connection.cpp
  sync/programs.cpp
  sync/sync_session.cpp
)
