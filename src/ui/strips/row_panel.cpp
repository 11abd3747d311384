#include "strips/row_panel.hpp"

#include <QMouseEvent>
#include <algorithm>

#include "controls/skin_label.hpp"
#include "editing/prompts.hpp"
#include "editing/edit_context.hpp"
#include "state/device_text.hpp"
#include "strips/block_buttons.hpp"
#include "strips/channel_actions.hpp"
#include "strips/channel_switches.hpp"
#include "strips/level_meter.hpp"
#include "strips/name_entry.hpp"
#include "strips/routing_buttons.hpp"

namespace veyra {
namespace {

constexpr int kTop = 10;
constexpr int kControlsHeight = 54;
constexpr int kWidestBlock = 54;

}  // namespace

RowPanel::RowPanel(ChannelActions& actions, ChannelKind kind, int channel, QWidget* parent)
    : ChannelPanel(actions, RowTraits(kind), channel, parent) {
  Switches()->SetStacked(true);
  Blocks()->SetColumns(true);
  resize(kind == ChannelKind::Input ? 450 : 574, kHeight);
}

void RowPanel::SetRoutingShown(bool shown) {
  routingShown_ = shown;
  Routing()->setVisible(shown);
  resizeEvent(nullptr);
}

void RowPanel::resizeEvent(QResizeEvent*) {
  const bool input = Kind() == ChannelKind::Input;
  // The output rows' routing buttons stand at their left end, beside the inputs.
  const int x = !input && routingShown_ ? kRoutingWidth : 0;
  const int end = input && routingShown_ ? width() - kRoutingWidth : width();
  Caption()->setGeometry(x + 8, kTop - 2, 22, 28);
  Name()->setGeometry(x + 31, kTop, 64, 24);
  Meter()->setGeometry(x + 11, kTop + 36, 84, 12);
  Switches()->setGeometry(x + 101, kTop, 42, kControlsHeight);
  const int blocksLeft = x + 149;
  const int n = Blocks()->Count();
  const int blockWidth = std::min(kWidestBlock, (end - 8 - blocksLeft - (n - 1) * BlockButtons::kGap) / n);
  Blocks()->setGeometry(blocksLeft, kTop, n * blockWidth + (n - 1) * BlockButtons::kGap, kControlsHeight);
  const int routingLeft = input ? width() - kRoutingWidth + 4 : 8;
  Routing()->setGeometry(routingLeft, kTop, kRoutingWidth - 12, kControlsHeight);
}

void RowPanel::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  if (Actions().Locked()) return;
  const QString current = QString::fromStdString(
      WithChannel(Actions().Store(), Kind(), Channel(), [](const auto& c) { return DecodeField(c.Name); }));
  const std::optional<std::string> name = Actions().Context().Prompts().ChannelName(this, current);
  if (name) Actions().StoreName(Kind(), Channel(), *name);
}

}  // namespace veyra
