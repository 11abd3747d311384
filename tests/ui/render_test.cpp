// Renders every control in each of its states, at scale 1 and 2, to PNG sheets
// in the build tree (ui-renders/), so that the faces can be looked at.
#include <gtest/gtest.h>

#include <QCursor>
#include <QDir>
#include <QPainter>
#include <QPainterPath>
#include <functional>
#include <vector>

#include "admin/message_box.hpp"
#include "admin/set_name_dialog.hpp"
#include "controls/mac_radio_button.hpp"
#include "controls/png_button.hpp"
#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_drop_list.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_slider.hpp"
#include "controls/skin_spin_value.hpp"
#include "controls/skin_style.hpp"
#include "controls/value_entry_field.hpp"
#include "shell/placeholder_window.hpp"
#include "state/parameter_store.hpp"
#include "state/scales.hpp"
#include "ui/ui_test_util.hpp"

namespace veyra {
namespace {

QString RenderPath(const QString& name) {
  QDir().mkpath(VEYRA_RENDER_DIR);
  return QDir(VEYRA_RENDER_DIR).filePath(name);
}

QImage Render(QWidget* widget, qreal scale, const QColor& under) {
  QImage image(widget->size() * scale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(under);
  widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  return image;
}

// A sheet of control renders: one row per control, one cell per state.
class Sheet {
 public:
  Sheet() {
    host_.resize(900, 400);
    host_.setFocusPolicy(Qt::StrongFocus);  // parks the focus between cells
    host_.move(400, 300);                   // away from the pointer: hot looks only where asked for
    QCursor::setPos(0, 0);
    test::ShowActive(&host_);
  }
  QWidget* Host() { return &host_; }

  void Row(const QString& title) { rows_.push_back({title, {}}); }
  // Renders the control now, in the state it is in; focus is given first when asked.
  void Cell(const QString& caption, QWidget* control, bool focus = false) {
    control->show();
    if (focus) {
      control->setFocus(Qt::OtherFocusReason);
    } else {
      host_.setFocus(Qt::OtherFocusReason);
    }
    QApplication::processEvents();
    rows_.back().cells.push_back(
        {caption, Render(control, 1, skin::kShellBody), Render(control, 2, skin::kShellBody)});
    control->hide();
  }

  QImage Compose(qreal scale) const {
    const int titleWidth = 130;
    int width = 0;
    int height = 16;
    for (const RowData& row : rows_) {
      int x = titleWidth;
      int rowHeight = 0;
      for (const CellData& cell : row.cells) {
        x += std::max(static_cast<int>(cell.image1.deviceIndependentSize().width()), 70) + 18;
        rowHeight = std::max(rowHeight, static_cast<int>(cell.image1.deviceIndependentSize().height()));
      }
      width = std::max(width, x);
      height += rowHeight + 34;
    }
    QImage sheet(QSize(width, height) * scale, QImage::Format_ARGB32_Premultiplied);
    sheet.setDevicePixelRatio(scale);
    QPainter painter(&sheet);
    painter.fillRect(QRect(0, 0, titleWidth - 12, height), skin::kShellSide);
    painter.fillRect(QRect(titleWidth - 12, 0, width, height), skin::kShellBody);
    int y = 16;
    for (const RowData& row : rows_) {
      int x = titleWidth;
      int rowHeight = 0;
      for (const CellData& cell : row.cells) {
        const QImage& image = scale > 1 ? cell.image2 : cell.image1;
        painter.drawImage(QPointF(x, y), image);
        const int cellWidth = std::max(static_cast<int>(cell.image1.deviceIndependentSize().width()), 70);
        rowHeight = std::max(rowHeight, static_cast<int>(cell.image1.deviceIndependentSize().height()));
        painter.setFont(skin::ControlFont(10));
        painter.setPen(skin::kTextDim);
        painter.drawText(QRectF(x - 9, y + image.deviceIndependentSize().height() + 3, cellWidth + 18, 14),
                         Qt::AlignHCenter | Qt::AlignTop, cell.caption);
        x += cellWidth + 18;
      }
      painter.setFont(skin::ControlFont(12, true));
      painter.setPen(Qt::white);
      painter.drawText(QRectF(10, y, titleWidth - 28, rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                       row.title);
      y += rowHeight + 34;
    }
    return sheet;
  }

  void Save(const QString& name) const {
    EXPECT_TRUE(Compose(1).save(RenderPath(name + ".png")));
    EXPECT_TRUE(Compose(2).save(RenderPath(name + "@2x.png")));
  }

 private:
  struct CellData {
    QString caption;
    QImage image1;
    QImage image2;
  };
  struct RowData {
    QString title;
    std::vector<CellData> cells;
  };
  QWidget host_;
  std::vector<RowData> rows_;
};

QImage ToolbarGlyph() {
  // A plug: what the connection button shows.
  QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(230, 236, 240));
  painter.drawRoundedRect(QRectF(6, 8, 12, 9), 2, 2);
  painter.drawRect(QRectF(8, 3, 2, 6));
  painter.drawRect(QRectF(14, 3, 2, 6));
  painter.setBrush(skin::kAccent);
  painter.drawRect(QRectF(11, 17, 2, 5));
  return image;
}

TEST(ControlRenders, EveryControlInEachState) {
  Sheet sheet;
  QWidget* host = sheet.Host();

  sheet.Row("SkinButton");
  const auto button = [&](const QString& caption, int down, const std::function<void(SkinButton*)>& state) {
    auto* b = new SkinButton(caption, host);
    b->resize(76, 26);
    b->SetDown(down);
    if (state) state(b);
    return b;
  };
  sheet.Cell("up", button("MIXER", 0, {}));
  sheet.Cell("up hot", button("MIXER", 0, [](SkinButton* b) { b->setAttribute(Qt::WA_UnderMouse); }));
  sheet.Cell("pressed", button("MIXER", 0, [](SkinButton* b) { b->setDown(true); }));
  sheet.Cell("down", button("MIXER", 1, {}));
  sheet.Cell("down hot", button("MIXER", 1, [](SkinButton* b) { b->setAttribute(Qt::WA_UnderMouse); }));
  sheet.Cell("focused", button("MIXER", 0, {}), true);
  sheet.Cell("disabled", button("MIXER", 0, [](SkinButton* b) { b->setEnabled(false); }));
  sheet.Cell("disabled down", button("MIXER", 1, [](SkinButton* b) { b->setEnabled(false); }));
  sheet.Cell("mute down",
             button("MUTE", 1, [](SkinButton* b) { b->SetFaceColors(skin::kFaceUp, skin::kFaceAlert); }));
  sheet.Cell("phase down",
             button("PHASE", 1, [](SkinButton* b) { b->SetFaceColors(skin::kFaceUp, skin::kFaceAmber); }));
  sheet.Cell("Chinese", button(QString::fromUtf8("静音 通道"), 0, {}));

  sheet.Row("CMacRadioButton");
  const auto radio = [&](const QString& caption, const std::function<void(CMacRadioButton*)>& state) {
    auto* r = new CMacRadioButton(caption, host);
    r->setAutoExclusive(false);
    r->resize(84, 26);
    if (state) state(r);
    return r;
  };
  sheet.Cell("normal", radio("NO", {}));
  sheet.Cell("selected", radio("YES", [](CMacRadioButton* r) { r->setChecked(true); }));
  sheet.Cell("hot", radio("Cancel", [](CMacRadioButton* r) { r->setAttribute(Qt::WA_UnderMouse); }));
  sheet.Cell("pressed", radio("OK", [](CMacRadioButton* r) { r->setDown(true); }));
  sheet.Cell("disabled", radio("OK", [](CMacRadioButton* r) { r->setEnabled(false); }));
  sheet.Cell("mnemonic", radio(QString::fromUtf8("终止(&A)"), {}));

  sheet.Row("PngButton");
  const auto png = [&](const QString& caption, QSize size, const std::function<void(PngButton*)>& state) {
    auto* p = new PngButton(host);
    p->SetImage(ToolbarGlyph());
    p->setText(caption);
    p->resize(size);
    if (state) state(p);
    return p;
  };
  sheet.Cell("normal", png("", {32, 40}, {}));
  sheet.Cell("hot", png("", {32, 40}, [](PngButton* p) { p->setAttribute(Qt::WA_UnderMouse); }));
  sheet.Cell("pressed", png("", {32, 40}, [](PngButton* p) { p->setDown(true); }));
  sheet.Cell("disabled", png("", {32, 40}, [](PngButton* p) { p->setEnabled(false); }));
  sheet.Cell("caption", png(QString::fromUtf8("连接"), {56, 48}, {}));
  sheet.Cell("caption hot",
             png("Connect", {56, 48}, [](PngButton* p) { p->setAttribute(Qt::WA_UnderMouse); }));
  sheet.Cell("no face", png("Open", {56, 48}, [](PngButton* p) { p->SetImage(QImage()); }));

  sheet.Row("SkinSlider");
  const auto fader = [&](bool vertical, int pos, const std::function<void(SkinSlider*)>& state) {
    auto* s = new SkinSlider(host);
    s->SetVertical(vertical);
    s->resize(vertical ? QSize(44, 180) : QSize(180, 30));
    s->SetThumbSize(vertical ? 16 : 12, vertical ? 30 : 22);
    s->SetRange(0, 100);
    s->SetPos(pos);
    if (state) state(s);
    return s;
  };
  sheet.Cell("top", fader(true, 0, {}));
  sheet.Cell("middle", fader(true, 50, {}));
  sheet.Cell("bottom", fader(true, 100, {}));
  sheet.Cell("focused", fader(true, 30, {}), true);
  sheet.Cell("disabled", fader(true, 70, [](SkinSlider* s) { s->setEnabled(false); }));
  sheet.Cell("margins 14,0,0,0", fader(true, 40, [](SkinSlider* s) { s->SetMargins(14, 0, 0, 0); }));
  sheet.Cell("horizontal", fader(false, 35, {}));
  sheet.Cell("horizontal focused", fader(false, 80, {}), true);

  sheet.Row("SkinSpinValue");
  const auto spin = [&](int kind, int value, int max, const std::function<void(SkinSpinValue*)>& state) {
    auto* v = new SkinSpinValue(host);
    v->resize(96, 20);
    v->SetKind(kind);
    v->SetRange(0, max);
    v->SetValue(value);
    if (state) state(v);
    return v;
  };
  sheet.Cell("delay", spin(kKindDelay, 1, 1470, {}));
  sheet.Cell("frequency", spin(kKindFrequency4, 1000, 30000, {}));
  sheet.Cell("ratio", spin(kKindRatio, 4, 40, {}));
  sheet.Cell("level OFF", spin(kKindLevelDb, 720, 720, {}));
  sheet.Cell("left hot", spin(kKindAttackMs, 7, 200, [](SkinSpinValue* v) {
               test::SendMouse(v, QEvent::MouseMove, v->DecrementArrow().center(), Qt::NoButton);
             }));
  sheet.Cell("right held", spin(kKindReleaseMs, 50, 3000, [](SkinSpinValue* v) {
               test::SendMouse(v, QEvent::MouseButtonPress, v->IncrementArrow().center());
             }));
  sheet.Cell("focused", spin(kKindQ, 99, 200, {}), true);
  sheet.Cell("disabled", spin(kKindGain, 600, 1200, [](SkinSpinValue* v) { v->setEnabled(false); }));
  sheet.Cell("other kind", spin(0, 1, 10, {}));

  sheet.Row("ValueEntryField");
  const auto field = [&](const QString& text, const std::function<void(ValueEntryField*)>& state) {
    auto* f = new ValueEntryField(host);
    f->resize(80, 22);
    f->setText(text);
    if (state) state(f);
    return f;
  };
  sheet.Cell("idle", field("-12.0", {}));
  sheet.Cell("focused", field("20000", {}), true);
  sheet.Cell("full", field("12345678", {}));
  sheet.Cell("name", field(QString::fromUtf8("通道A"), {}));
  sheet.Cell("disabled", field("0.3", [](ValueEntryField* f) { f->setEnabled(false); }));

  sheet.Row("SkinDropDown");
  const auto drop = [&](int index, const std::function<void(SkinDropDown*)>& state) {
    auto* d = new SkinDropDown(host);
    for (const char* name : {"Sistel", "Merial", "Orvane"}) d->AddEntry(name);
    d->SetCurrentIndex(index);
    d->resize(120, 26);
    if (state) state(d);
    return d;
  };
  sheet.Cell("closed", drop(0, {}));
  sheet.Cell("hot", drop(1, [](SkinDropDown* d) { d->setAttribute(Qt::WA_UnderMouse); }));
  sheet.Cell("focused", drop(2, {}), true);
  sheet.Cell("disabled", drop(0, [](SkinDropDown* d) { d->setEnabled(false); }));
  sheet.Cell("no entry", drop(-1, {}));

  sheet.Row("SkinLabel");
  const auto label = [&](const QString& text, const std::function<void(SkinLabel*)>& state) {
    auto* l = new SkinLabel(text, host);
    l->resize(120, 22);
    if (state) state(l);
    return l;
  };
  sheet.Cell("transparent", label("Current Signal", {}));
  sheet.Cell("centred 16px", label("IN A", [](SkinLabel* l) {
               l->SetFont("Arial", 16, true);
               l->SetAlignment(Qt::AlignCenter);
             }));
  sheet.Cell("framed", label("1000Hz", [](SkinLabel* l) {
               l->SetFramed(true);
               l->SetAlignment(Qt::AlignCenter);
             }));
  sheet.Cell("background", label("System Status:OnLine", [](SkinLabel* l) {
               l->resize(150, 22);
               l->SetBackground(skin::kWell);
               l->SetTextColor(QColor(255, 0, 0));
             }));
  sheet.Cell("number OFF", label("", [](SkinLabel* l) {
               l->SetNumberFormat({"Thr:", "dB", 0, -60, 0, 1});
               l->SetValue(-60);
               l->SetFramed(true);
             }));
  sheet.Cell("Chinese", label(QString::fromUtf8("温度 25℃ 通道名称"), {}));
  sheet.Cell("disabled", label("COMP", [](SkinLabel* l) { l->setEnabled(false); }));
  sheet.Save("controls");

  // The open list: the button and its pop-up below it, in one picture.
  SkinDropDown* open = drop(1, {});
  open->move(0, 0);
  open->show();
  open->ShowList();
  QApplication::processEvents();
  SkinDropList* list = open->List();
  list->setAttribute(Qt::WA_UnderMouse);
  test::SendMouse(list, QEvent::MouseMove, list->EntryRect(2).center(), Qt::NoButton);
  for (qreal scale : {1.0, 2.0}) {
    QImage image(QSize(open->width() + 24, open->height() + list->height() + 24) * scale,
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(skin::kShellBody);
    QPainter painter(&image);
    painter.drawImage(QPointF(12, 12), Render(open, scale, skin::kShellBody));
    painter.drawImage(QPointF(12, 12 + open->height() + 1), Render(list, scale, skin::kShellBody));
    painter.end();
    EXPECT_TRUE(image.save(RenderPath(scale > 1 ? "drop_list_open@2x.png" : "drop_list_open.png")));
  }
  list->hide();
}

TEST(ControlRenders, MessageBoxesAndSetName) {
  struct Box {
    const char* file;
    const char* text;
    unsigned style;
  };
  const Box boxes[] = {
      {"message_question", "Do you want to save your setting?", 0x23},
      {"message_info",
       "This will reset your Device to factory default setting.Are you sure you want to do this?", 0x41},
      {"message_error", "The device did not answer.", 0x12},
      {"message_exclamation", "Lock the device?\nThe front panel will refuse every change.", 0x34},
      {"message_plain", "Save Successfully.", 0x00},
      {"message_retry", "Cannot connect!", 0x05},
  };
  for (const Box& b : boxes) {
    MessageBoxDialog box(b.text, "Warning", b.style);
    box.open();
    ASSERT_TRUE(test::ShowActive(&box));
    EXPECT_TRUE(box.grab().save(RenderPath(QString(b.file) + ".png")));
    box.done(kResultCancel);
  }
  SetNameDialog name;
  name.SetName(QString::fromUtf8("通道一二三"));
  name.open();
  ASSERT_TRUE(test::ShowActive(&name));
  name.accept();  // refused: ten bytes
  EXPECT_TRUE(name.grab().save(RenderPath("set_name_refused.png")));
  name.SetName("IN A");
  name.Field()->setFocus();
  EXPECT_TRUE(name.grab().save(RenderPath("set_name.png")));
  name.reject();

  ParameterStore store;
  PlaceholderMainWindow window(store);
  window.show();
  EXPECT_TRUE(window.grab().save(RenderPath("main_window_placeholder.png")));
}

}  // namespace
}  // namespace veyra
