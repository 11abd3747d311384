target_sources(veyra_core PRIVATE
  link/frame.cpp
  link/messages.cpp
  link/transport.cpp
  link/transport_builtin.cpp
)
