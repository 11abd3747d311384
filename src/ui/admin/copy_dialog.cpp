#include "admin/copy_dialog.hpp"

#include "admin/channel_copy.hpp"
#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "editing/edit_context.hpp"
#include "state/device_text.hpp"

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

// Refills a list with the channels' names and keeps its selection where the
// channel is still there (the first channel otherwise).
template <typename Channel>
void FillNames(SkinDropDown* list, const Channel* channels, int count) {
  const int current = list->GetCurrentIndex();
  list->ClearEntries();
  for (int i = 0; i < count; ++i) list->AddEntry(QString::fromStdString(DecodeField(channels[i].Name)));
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
  // Both columns list channel names only: a heading says which kind each copies.
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
  FillNames(inSource_, store.Inputs, Context().ChannelCount(ChannelKind::Input));
  FillNames(inTarget_, store.Inputs, Context().ChannelCount(ChannelKind::Input));
  FillNames(outSource_, store.Outputs, Context().ChannelCount(ChannelKind::Output));
  FillNames(outTarget_, store.Outputs, Context().ChannelCount(ChannelKind::Output));
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
