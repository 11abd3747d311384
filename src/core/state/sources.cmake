target_sources(veyra_core PRIVATE
  state/device_text.cpp
  state/models.cpp
  state/parameter_store.cpp
  state/scales.cpp
  state/text_format.cpp
)
