// A channel's name: at most kNameBytes bytes of device text in a name area
// that keeps its terminator. The strips, the row panels, the Set Name path
// and the delay editor all store names through these, so the limit and the
// message that carries a name are one rule.
#pragma once

#include <QString>
#include <string_view>

#include "controls/value_entry_field.hpp"
#include "groups/channel_kind.hpp"
#include "state/device_text.hpp"

namespace veyra {

class EditContext;

// A typed name: stored and sent (Name message) when it fits the name area,
// else refused (the error says why) and the store keeps the old one.
DeviceTextError SetChannelName(EditContext& context, ChannelKind kind, int channel, const QString& text);
// A name already in device text; one that does not fit changes nothing.
void StoreChannelName(EditContext& context, ChannelKind kind, int channel, std::string_view bytes);
QString ChannelNameText(const ParameterStore& store, ChannelKind kind, int channel);

// A channel's name field. Enter stores a name that fits and sends it; a
// longer one is refused, with "Name too long." (Tell) or silently, and the
// field shows the stored name again.
class ChannelNameField : public ValueEntryField {
  Q_OBJECT

 public:
  enum class Refusal { Tell, Silent };

  ChannelNameField(EditContext& context, ChannelKind kind, int channel, Refusal refusal, int fieldNumber,
                   QWidget* parent);

  // The stored name; a name being typed is left alone.
  void Show(const ParameterStore& store);
  int Channel() const { return channel_; }

 private:
  void Entered();

  EditContext& context_;
  ChannelKind kind_;
  int channel_;
  Refusal refusal_;
};

}  // namespace veyra
