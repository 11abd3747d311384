target_sources(veyra_ui PRIVATE
  strips/panel_traits.cpp strips/panel_traits.hpp
  strips/channel_texts.cpp strips/channel_texts.hpp
  strips/channel_actions.cpp strips/channel_actions.hpp
  strips/strip_style.cpp strips/strip_style.hpp
  strips/level_meter.cpp strips/level_meter.hpp
  strips/gain_control.cpp strips/gain_control.hpp
  strips/channel_switches.cpp strips/channel_switches.hpp
  strips/routing_buttons.cpp strips/routing_buttons.hpp
  strips/name_entry.cpp strips/name_entry.hpp
  strips/group_selector.cpp strips/group_selector.hpp
  strips/block_buttons.cpp strips/block_buttons.hpp
  strips/channel_panel.cpp strips/channel_panel.hpp
  strips/channel_strip.cpp strips/channel_strip.hpp
  strips/row_panel.cpp strips/row_panel.hpp
  strips/routing_views.cpp strips/routing_views.hpp
)
