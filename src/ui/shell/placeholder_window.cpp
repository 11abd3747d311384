#include "shell/placeholder_window.hpp"

#include <QIcon>
#include <QPainter>

#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "shell/application_shell.hpp"
#include "state/models.hpp"
#include "state/parameter_store.hpp"

namespace veyra {

PlaceholderMainWindow::PlaceholderMainWindow(ParameterStore& store, QWidget* parent)
    : QWidget(parent), store_(store) {
  setWindowTitle("Veyra QL Series Loudspeaker Control System");
  setWindowIcon(QIcon(":/icons/veyra.png"));
  resize(1000, 560);
  InstallArialFont();  // the main window's initialisation registers the controls' font

  auto* brand = new SkinLabel("VEYRA QL", this);
  brand->SetFont("Arial", 20, true);
  brand->SetAlignment(Qt::AlignCenter);
  brand->setGeometry(0, 14, kSideWidth, 28);
  auto* series = new SkinLabel("LOUDSPEAKER PROCESSOR", this);
  series->SetFont("Arial", 9, true);
  series->SetTextColor(QColor(214, 224, 229));
  series->SetAlignment(Qt::AlignCenter);
  series->setGeometry(0, 42, kSideWidth, 14);

  model_ = new SkinDropDown(this);
  model_->SetId(1339);
  model_->setGeometry(15, 78, kSideWidth - 30, 26);
  for (const ModelInfo& model : Models())
    model_->AddEntry(QString::fromUtf8(model.Name.data(), model.Name.size()));
  model_->SetCurrentIndex(store_.CurrentModel - 1);
  connect(model_, &SkinDropDown::selectionChanged, this,
          [this] { SwitchModel(store_, model_->GetCurrentIndex() + 1); });

  int y = 124;
  for (const char* caption : {"MATRIX", "MIXER", "INPUT GROUP", "OUTPUT GROUP"}) {
    auto* button = new SkinButton(caption, this);
    button->setGeometry(15, y, kSideWidth - 30, 28);
    y += 36;
  }
  mixButton_ = new SkinButton("MIX BUTTON", this);
  mixButton_->setGeometry(15, y + 8, kSideWidth - 30, 28);
  mixButton_->SetDown(1);
  connect(mixButton_, &SkinButton::clicked, this, [this] { mixButton_->SetDown(!mixButton_->GetDown()); });

  auto* view = new SkinLabel("Current Signal Routing View:", this);
  view->SetFont("Arial", 16, true);
  view->setGeometry(kSideWidth + 20, 16, 420, 24);
  auto* device = new SkinLabel("Device 1-Mixer View", this);
  device->SetFont("Arial", 12);
  device->SetTextColor(QColor(214, 224, 229));
  device->setGeometry(kSideWidth + 20, 42, 420, 18);

  status_ = new SkinLabel("System Status:OffLine", this);
  status_->SetFont("Arial", 12, true);
  status_->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
  status_->setGeometry(width() - 260, height() - 30, 240, 20);
}

void PlaceholderMainWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(QRect(0, 0, kSideWidth, height()), skin::kShellSide);
  painter.fillRect(QRect(kSideWidth, 0, width() - kSideWidth, height()), skin::kShellBody);
}

void PlaceholderMainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  status_->move(width() - 260, height() - 30);
}

}  // namespace veyra
