// A panel's name field. Enter stores a name that fits the device's 8 bytes
// and sends it; a longer one is refused, with "Name too long." on the strips
// and silently on the row panels, and the field shows the stored name again.
#pragma once

#include "controls/value_entry_field.hpp"
#include "groups/channel_kind.hpp"

namespace veyra {

class ChannelActions;

class NameEntry : public ValueEntryField {
  Q_OBJECT

 public:
  enum class Refusal { Tell, Silent };

  NameEntry(ChannelActions& actions, ChannelKind kind, int channel, Refusal refusal, int fieldNumber,
            QWidget* parent);

  // The stored name; a name being typed is left alone.
  void Show(const ParameterStore& store);

 private:
  void Entered();

  ChannelActions& actions_;
  ChannelKind kind_;
  int channel_;
  Refusal refusal_;
};

}  // namespace veyra
