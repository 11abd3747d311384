target_sources(veyra_core PRIVATE
  sync/connection.cpp
  sync/programs.cpp
  sync/sync_session.cpp
)
