// The toolbar under the menu bar: five image buttons without captions
// (commands 1001..1005: open, save, program, connect, disconnect), 32 x 40
// pixels with 24 x 24 images drawn by the program itself.
#pragma once

#include <QImage>
#include <QWidget>
#include <array>

namespace veyra {

class PngButton;

class MainToolbar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kFirstCommand = 1001;
  static constexpr int kButtons = 5;
  static constexpr int kHeight = 44;

  explicit MainToolbar(QWidget* parent = nullptr);

  PngButton* Button(int command) const;
  // The 24 x 24 image of a command's button (at twice the resolution for
  // sharp screens); a null image for a command outside 1001..1005.
  static QImage Icon(int command);

 signals:
  void commandTriggered(int command);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::array<PngButton*, kButtons> buttons_{};
};

}  // namespace veyra
