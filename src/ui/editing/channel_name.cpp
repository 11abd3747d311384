#include "editing/channel_name.hpp"

#include "editing/edit_context.hpp"
#include "editing/prompts.hpp"
#include "params/param_table.hpp"

namespace veyra {
DeviceTextError SetChannelName(EditContext& context, ChannelKind kind, int channel, const QString& text) {
  const EncodedDeviceText encoded = EncodeDeviceText(text.toStdString(), kNameBytes);
  if (!encoded.ok()) return encoded.Error;
  StoreChannelName(context, kind, channel, encoded.Bytes);
  return DeviceTextError::None;
}

void StoreChannelName(EditContext& context, ChannelKind kind, int channel, std::string_view bytes) {
  if (bytes.size() > kNameBytes) return;  // the name area holds 8 bytes and a terminator
  if (channel < 0 || channel >= kChannelSlots) return;
  const QString label = QString::fromStdString(ChannelLabel(kind, channel)) + " name";
  context.Apply(label, {}, [=](ParameterStore& store, ChangeLog& log) {
    ChangeChannelName(store, kind, channel, bytes, log);
  });
}

QString ChannelNameText(const ParameterStore& store, ChannelKind kind, int channel) {
  return QString::fromStdString(
      WithChannel(store, kind, channel, [](const auto& c) { return DecodeField(c.Name); }));
}

ChannelNameField::ChannelNameField(EditContext& context, ChannelKind kind, int channel, Refusal refusal,
                                   int fieldNumber, QWidget* parent)
    : ValueEntryField(parent), context_(context), kind_(kind), channel_(channel), refusal_(refusal) {
  Attach(parent, fieldNumber);
  setAlignment(Qt::AlignCenter);
  connect(this, &ValueEntryField::valueEntered, this, &ChannelNameField::Entered);
}

void ChannelNameField::Show(const ParameterStore& store) {
  if (hasFocus() && isModified()) return;
  setText(ChannelNameText(store, kind_, channel_));
}

void ChannelNameField::Entered() {
  setModified(false);  // the refresh that follows a stored name rewrites the field
  const DeviceTextError error = SetChannelName(context_, kind_, channel_, text());
  if (error == DeviceTextError::None) return;  // stored; the refresh rewrote the field
  Show(context_.Store());
  if (refusal_ == Refusal::Silent) return;
  const QString notice = error == DeviceTextError::TooLong
                             ? QString("Name too long.")
                             : QString::fromStdString(DeviceTextErrorMessage(error, kNameBytes));
  context_.Prompts().Notice(window(), notice);
}

}  // namespace veyra
