// Renders every control in each of its states, at scale 2, to one PNG strip per
// control in the build tree (ui-renders/), so that the faces can be looked at.
#include <gtest/gtest.h>

#include <QCursor>
#include <QDir>
#include <QPainter>
#include <functional>
#include <vector>

#include "controls/mac_radio_button.hpp"
#include "controls/message_box.hpp"
#include "controls/png_button.hpp"
#include "controls/set_name_dialog.hpp"
#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_drop_list.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_slider.hpp"
#include "controls/skin_spin_value.hpp"
#include "controls/skin_style.hpp"
#include "controls/value_entry_field.hpp"
#include "state/scales.hpp"
#include "ui/ui_test_util.hpp"

namespace veyra {
namespace {

QString RenderPath(const QString& name) {
  QDir().mkpath(VEYRA_RENDER_DIR);
  return QDir(VEYRA_RENDER_DIR).filePath(name);
}

QImage Render(QWidget* widget, qreal scale) {
  QImage image(widget->size() * scale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(skin::kShellBody);
  widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  return image;
}

// A cell: a fresh control made in one of its variants, then put in a state.
// Flags: h = hot (under the pointer), p = pressed, d = disabled, f = focused.
struct Cell {
  const char* label;
  int variant;
  const char* flags = "";
};
using Factory = std::function<QWidget*(QWidget* host, int variant)>;

struct SpinCase {
  int kind, value, max, pointer;  // pointer: 1 over the left arrow, 2 holding the right one
};
const SpinCase kSpins[] = {{kKindDelay, 1, 1470, 0},
                           {kKindLevelDb, 720, 720, 0},
                           {kKindAttackMs, 7, 200, 1},
                           {kKindReleaseMs, 50, 3000, 2}};

const std::vector<std::tuple<const char*, Factory, std::vector<Cell>>>& Rows() {
  static const std::vector<std::tuple<const char*, Factory, std::vector<Cell>>> rows = {
      {"SkinButton",
       [](QWidget* host, int v) {  // 0 up, 1 down, 2 mute down, 3 Chinese caption
         const char* captions[] = {"MIXER", "MIXER", "MUTE", "静音 通道"};
         auto* b = new SkinButton(QString::fromUtf8(captions[v]), host);
         b->resize(76, 26);
         b->SetDown(v == 1 || v == 2);
         if (v == 2) b->SetFaceColors(skin::kFaceUp, skin::kFaceAlert);
         return b;
       },
       {{"up", 0},
        {"hot", 0, "h"},
        {"pressed", 0, "p"},
        {"down", 1},
        {"focused", 0, "f"},
        {"disabled", 0, "d"},
        {"mute down", 2},
        {"Chinese", 3}}},
      {"CMacRadioButton",
       [](QWidget* host, int v) {  // 0 plain, 1 selected, 2 mnemonic caption
         auto* r = new CMacRadioButton(QString::fromUtf8(v == 2 ? "终止(&A)" : "OK"), host);
         r->setAutoExclusive(false);
         r->setChecked(v == 1);
         r->resize(84, 26);
         return r;
       },
       {{"normal", 0}, {"selected", 1}, {"hot", 0, "h"}, {"disabled", 0, "d"}, {"mnemonic", 2}}},
      {"PngButton",
       [](QWidget* host, int v) {  // 0 face only, 1 with a caption, 2 caption without a face
         QImage plug(24, 24, QImage::Format_ARGB32_Premultiplied);
         plug.fill(Qt::transparent);
         QPainter(&plug).fillRect(QRect(6, 8, 12, 9), QColor(230, 236, 240));
         auto* b = new PngButton(host);
         if (v != 2) b->SetImage(plug);
         b->setText(QString::fromUtf8(std::array{"", "连接", "Open"}[v]));
         b->resize(v == 0 ? QSize(32, 40) : QSize(56, 48));
         return b;
       },
       {{"normal", 0}, {"hot", 0, "h"}, {"pressed", 0, "p"}, {"caption", 1}, {"no face", 2}}},
      {"SkinSlider",
       [](QWidget* host, int v) {  // the position; +1000: horizontal, -: with margins 14, 0, 0, 0
         const bool vertical = v < 1000;
         auto* s = new SkinSlider(host);
         s->SetVertical(vertical);
         s->resize(vertical ? QSize(44, 180) : QSize(180, 30));
         s->SetThumbSize(vertical ? 16 : 12, vertical ? 30 : 22);
         if (v < 0) s->SetMargins(14, 0, 0, 0);
         s->SetRange(0, 100);
         s->SetPos(std::abs(v) % 1000);
         return s;
       },
       {{"top", 0}, {"focused", 30, "f"}, {"disabled", 70, "d"}, {"margins", -40}, {"horizontal", 1035}}},
      {"SkinSpinValue",
       [](QWidget* host, int v) {
         const SpinCase& c = kSpins[v];
         auto* s = new SkinSpinValue(host);
         s->resize(96, 20);
         s->SetKind(c.kind);
         s->SetRange(0, c.max);
         s->SetValue(c.value);
         if (c.pointer == 1)
           test::SendMouse(s, QEvent::MouseMove, s->DecrementArrow().center(), Qt::NoButton);
         if (c.pointer == 2) test::SendMouse(s, QEvent::MouseButtonPress, s->IncrementArrow().center());
         return s;
       },
       {{"delay", 0},
        {"level OFF", 1},
        {"left hot", 2},
        {"right held", 3},
        {"focused", 0, "f"},
        {"disabled", 0, "d"}}},
      {"ValueEntryField",
       [](QWidget* host, int v) {
         auto* f = new ValueEntryField(host);
         f->resize(80, 22);
         f->setText(QString::fromUtf8(std::array{"-12.0", "通道A"}[v]));
         return f;
       },
       {{"idle", 0}, {"focused", 0, "f"}, {"name", 1}, {"disabled", 0, "d"}}},
      {"SkinDropDown",
       [](QWidget* host, int v) {  // the selected entry
         auto* d = new SkinDropDown(host);
         for (const char* name : {"Sistel", "Merial", "Orvane"}) d->AddEntry(name);
         d->SetCurrentIndex(v);
         d->resize(120, 26);
         return d;
       },
       {{"closed", 0}, {"hot", 1, "h"}, {"focused", 2, "f"}, {"disabled", 0, "d"}}},
      {"SkinLabel",
       [](QWidget* host, int v) {
         auto* l =
             new SkinLabel(QString::fromUtf8(std::array{"Current Signal", "IN A", "1000Hz",
                                                        "System Status:OnLine", "", "温度 25℃ 通道名称"}[v]),
                           host);
         l->resize(v == 3 ? 150 : 120, 22);
         if (v == 1) l->SetFont("Arial", 16, true);
         if (v == 1 || v == 2) l->SetAlignment(Qt::AlignCenter);
         l->SetFramed(v == 2 || v == 4);
         if (v == 3) l->SetBackground(skin::kWell), l->SetTextColor(QColor(255, 0, 0));
         if (v == 4) l->SetNumberFormat({"Thr:", "dB", 0, -60, 0, 1}), l->SetValue(-60);
         return l;
       },
       {{"transparent", 0},
        {"centred 16px", 1},
        {"framed", 2},
        {"background", 3},
        {"number OFF", 4},
        {"Chinese", 5}}},
  };
  return rows;
}

QImage Strip(const std::vector<std::pair<QString, QImage>>& cells, qreal scale) {
  int width = 18, height = 0;
  for (const auto& [caption, image] : cells) {
    width += std::max(int(image.deviceIndependentSize().width()), 70) + 18;
    height = std::max(height, int(image.deviceIndependentSize().height()) + 44);
  }
  QImage strip(QSize(width, height) * scale, QImage::Format_ARGB32_Premultiplied);
  strip.setDevicePixelRatio(scale);
  strip.fill(skin::kShellBody);
  QPainter painter(&strip);
  painter.setFont(skin::ControlFont(10));
  painter.setPen(skin::kTextDim);
  int x = 18;
  for (const auto& [caption, image] : cells) {
    const int cellWidth = std::max(int(image.deviceIndependentSize().width()), 70);
    painter.drawImage(QPointF(x, 12), image);
    painter.drawText(QRectF(x - 9, 15 + image.deviceIndependentSize().height(), cellWidth + 18, 14),
                     Qt::AlignHCenter | Qt::AlignTop, caption);
    x += cellWidth + 18;
  }
  return strip;
}

TEST(ControlRenders, EveryControlInEachState) {
  QWidget host;
  host.resize(900, 400);
  host.setFocusPolicy(Qt::StrongFocus);  // parks the focus between cells
  host.move(400, 300);                   // away from the pointer: hot looks only where asked for
  QCursor::setPos(0, 0);
  ASSERT_TRUE(test::ShowActive(&host));
  for (const auto& [name, make, cells] : Rows()) {
    std::vector<std::pair<QString, QImage>> cells2x;
    for (const Cell& cell : cells) {
      const QString flags = cell.flags;
      QWidget* control = make(&host, cell.variant);
      if (flags.contains('h')) control->setAttribute(Qt::WA_UnderMouse);
      if (flags.contains('p')) static_cast<QAbstractButton*>(control)->setDown(true);
      control->setEnabled(!flags.contains('d'));
      control->show();
      (flags.contains('f') ? control : &host)->setFocus(Qt::OtherFocusReason);
      QApplication::processEvents();
      cells2x.push_back({cell.label, Render(control, 2)});
      delete control;
    }
    EXPECT_TRUE(Strip(cells2x, 2).save(RenderPath(QString(name) + "@2x.png")));
  }

  // The open list: the button and its pop-up below it, in one picture.
  auto* open = static_cast<SkinDropDown*>(std::get<1>(Rows()[6])(&host, 1));
  open->show();
  open->ShowList();
  QApplication::processEvents();
  SkinDropList* list = open->List();
  list->setAttribute(Qt::WA_UnderMouse);
  test::SendMouse(list, QEvent::MouseMove, list->EntryRect(2).center(), Qt::NoButton);
  EXPECT_TRUE(Strip({{"button", Render(open, 2)}, {"open list", Render(list, 2)}}, 2)
                  .save(RenderPath("SkinDropList@2x.png")));
  list->hide();
}

TEST(ControlRenders, MessageBoxesAndSetName) {
  const std::pair<const char*, unsigned> boxes[] = {
      {"Do you want to save your setting?", 0x23},
      {"This will reset your Device to factory default setting.Are you sure you want to do this?", 0x41},
      {"Lock the device?\nThe front panel will refuse every change.", 0x34},
  };
  for (const auto& [text, style] : boxes) {
    MessageBoxDialog box(text, "Warning", style);
    box.open();
    ASSERT_TRUE(test::ShowActive(&box));
    EXPECT_TRUE(box.grab().save(RenderPath(QString("message_box_%1.png").arg(style, 2, 16, QChar('0')))));
    box.done(kResultCancel);
  }
  SetNameDialog name;
  name.SetName(QString::fromUtf8("通道一二三"));
  name.open();
  ASSERT_TRUE(test::ShowActive(&name));
  name.accept();  // refused: ten bytes
  EXPECT_TRUE(name.grab().save(RenderPath("set_name_refused.png")));
  name.reject();
}

}  // namespace
}  // namespace veyra
