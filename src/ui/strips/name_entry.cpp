#include "strips/name_entry.hpp"

#include "editing/prompts.hpp"
#include "editing/edit_context.hpp"
#include "strips/channel_actions.hpp"

namespace veyra {

NameEntry::NameEntry(ChannelActions& actions, ChannelKind kind, int channel, Refusal refusal, int fieldNumber,
                     QWidget* parent)
    : ValueEntryField(parent), actions_(actions), kind_(kind), channel_(channel), refusal_(refusal) {
  Attach(parent, fieldNumber);
  setAlignment(Qt::AlignCenter);
  connect(this, &ValueEntryField::valueEntered, this, &NameEntry::Entered);
}

void NameEntry::Show(const ParameterStore& store) {
  if (hasFocus() && isModified()) return;
  setText(QString::fromStdString(
      WithChannel(store, kind_, channel_, [](const auto& c) { return DecodeField(c.Name); })));
}

void NameEntry::Entered() {
  setModified(false);  // the refresh that follows a stored name rewrites the field
  const DeviceTextError error = actions_.SetName(kind_, channel_, text());
  if (error == DeviceTextError::None) return;  // stored; the refresh rewrote the field
  Show(actions_.Store());
  if (refusal_ == Refusal::Silent) return;
  const QString notice = error == DeviceTextError::TooLong
                             ? QString("Name too long.")
                             : QString::fromStdString(DeviceTextErrorMessage(error, kNameBytes));
  actions_.Context().Prompts().Notice(window(), notice);
}

}  // namespace veyra
