#include "admin/copy_dialog.hpp"

#include <utility>

#include "admin/channel_copy.hpp"
#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "editing/channel_name.hpp"
#include "editing/edit_context.hpp"

namespace veyra {

namespace {

constexpr int kColumnWidth = 200;
constexpr int kLeft = 24;

SkinLabel* Caption(const char* text, int x, int y, QWidget* parent) {
  auto* label = new SkinLabel(text, parent);
  label->SetFont("Arial", 14, true);
  label->setGeometry(x, y, 70, 26);
  return label;
}

void Heading(const char* text, int x, QWidget* parent) {
  auto* label = new SkinLabel(text, parent);
  label->SetFont("Arial", 12);
  label->SetTextColor(skin::kTextDim);
  label->setGeometry(x, 12, 178, 20);
}

SkinDropDown* List(int id, int x, int y, QWidget* parent) {
  auto* list = new SkinDropDown(parent);
  list->SetId(id);
  list->setGeometry(x + 74, y, 104, 26);
  return list;
}

// Refills a list with the channels, each as its letter or number and name
// ("A Vocal"), so that two channels of one name can be told apart, and keeps
// its selection where the channel is still there (the first one otherwise).
void FillNames(SkinDropDown* list, const ParameterStore& store, ChannelKind kind, int count) {
  const int current = list->GetCurrentIndex();
  list->ClearEntries();
  for (int i = 0; i < count; ++i) {
    const QString word = kind == ChannelKind::Input ? QString(QChar('A' + i)) : QString::number(i + 1);
    list->AddEntry((word + ' ' + ChannelNameText(store, kind, i)).trimmed());
  }
  list->SetCurrentIndex(current >= 0 && current < count ? current : 0);
}

QString InputName(int channel) {
  return QString("input %1").arg(QChar('A' + channel));
}

}  // namespace

CopyDialog::CopyDialog(EditContext& context, QWidget* parent) : EditorDialog(context, "Copy", parent) {
  setFixedSize(2 * kColumnWidth + 2 * kLeft, 190);
  const int inX = kLeft;
  const int outX = kLeft + kColumnWidth + 12;
  // A heading says which kind each column copies.
  Heading("Inputs", inX, this);
  Heading("Outputs", outX, this);
  Caption("Source:", inX, 40, this);
  Caption("Target:", inX, 80, this);
  Caption("Source:", outX, 40, this);
  Caption("Target:", outX, 80, this);
  inSource_ = List(1278, inX, 40, this);
  inTarget_ = List(1280, inX, 80, this);
  outSource_ = List(1279, outX, 40, this);
  outTarget_ = List(1281, outX, 80, this);

  copyIn_ = new SkinButton("Copy In", this);
  copyIn_->setGeometry(inX + 74, 134, 104, 30);
  copyOut_ = new SkinButton("Copy Out", this);
  copyOut_->setGeometry(outX + 74, 134, 104, 30);
  connect(copyIn_, &SkinButton::clicked, this, &CopyDialog::CopyIn);
  connect(copyOut_, &SkinButton::clicked, this, &CopyDialog::CopyOut);
  Reload();
}

void CopyDialog::Reload() {
  const ParameterStore& store = Context().Store();
  for (const auto& [list, kind] :
       {std::pair{inSource_, ChannelKind::Input}, std::pair{inTarget_, ChannelKind::Input},
        std::pair{outSource_, ChannelKind::Output}, std::pair{outTarget_, ChannelKind::Output}})
    FillNames(list, store, kind, Context().ChannelCount(kind));
}

void CopyDialog::CopyIn() {
  const int source = inSource_->GetCurrentIndex();
  const int target = inTarget_->GetCurrentIndex();
  if (Context().Locked() || source < 0 || target < 0) return;
  const QString label = QString("Copy %1 to %2").arg(InputName(source), InputName(target));
  Context().Apply(label, {}, [source, target](ParameterStore& store, ChangeLog& log) {
    CopyInputSettings(store, source, target);
    for (const CopyMessage& m : CopyInputMessages(store, target)) log.Send({0, m.Block, m.Channel, m.Group});
  });
}

void CopyDialog::CopyOut() {
  const int source = outSource_->GetCurrentIndex();
  const int target = outTarget_->GetCurrentIndex();
  if (Context().Locked() || source < 0 || target < 0) return;
  const QString label = QString("Copy output %1 to output %2").arg(source + 1).arg(target + 1);
  Context().Apply(label, {}, [source, target](ParameterStore& store, ChangeLog& log) {
    CopyOutputSettings(store, source, target);
    for (const CopyMessage& m : CopyOutputMessages(target)) log.Send({0, m.Block, m.Channel, m.Group});
  });
}

QDialog* MakeCopyDialog(EditContext& context, int, QWidget* parent) {
  return new CopyDialog(context, parent);
}

}  // namespace veyra
