target_sources(veyra_ui PRIVATE
  controls/skin_button.cpp controls/skin_button.hpp
  controls/skin_slider.cpp controls/skin_slider.hpp
  controls/skin_spin_value.cpp controls/skin_spin_value.hpp
  controls/value_entry_field.cpp controls/value_entry_field.hpp
  controls/skin_drop_list.cpp controls/skin_drop_list.hpp
  controls/skin_drop_down.cpp controls/skin_drop_down.hpp
  controls/skin_label.cpp controls/skin_label.hpp
  controls/png_button.cpp controls/png_button.hpp
  controls/mac_radio_button.cpp controls/mac_radio_button.hpp
  controls/message_box.cpp controls/message_box.hpp
  controls/set_name_dialog.cpp controls/set_name_dialog.hpp
)
