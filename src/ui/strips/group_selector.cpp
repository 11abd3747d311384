#include "strips/group_selector.hpp"

#include "state/device_text.hpp"
#include "strips/channel_actions.hpp"

namespace veyra {

GroupSelector::GroupSelector(ChannelActions& actions, ChannelKind kind, int channel, QWidget* parent)
    : SkinDropDown(parent), actions_(actions), kind_(kind), channel_(channel) {
  SetId(kId);
  setFocusPolicy(Qt::NoFocus);
  connect(this, &SkinDropDown::selectionChanged, this,
          [this] { actions_.SetGroup(kind_, channel_, GetCurrentIndex()); });
}

QStringList GroupSelector::Entries(const ParameterStore& store, ChannelKind kind) {
  QStringList entries{"NONE"};
  int number = 1;
  for (const ChannelGroup& group : GroupsOf(store, kind)) {
    const QString name = QString::fromStdString(DecodeField(group.Name));
    entries << (name.isEmpty() ? QString("Group %1").arg(number) : name);
    ++number;
  }
  return entries;
}

void GroupSelector::Show(const ParameterStore& store) {
  const QStringList entries = Entries(store, kind_);
  bool same = Count() == entries.size();
  for (int k = 0; same && k < entries.size(); ++k) same = EntryText(k) == entries[k];
  if (!same) {
    const QSignalBlocker quiet(this);
    ClearEntries();
    for (const QString& entry : entries) AddEntry(entry);
  }
  const uint32_t number = WithChannel(store, kind_, channel_, [](const auto& c) { return c.GroupNumber; });
  const QSignalBlocker quiet(this);
  SetCurrentIndex(number <= kChannelSlots ? static_cast<int>(number) : -1);
}

}  // namespace veyra
