// A stand-in main window: the program's frame with its two fills, the view
// buttons, the model selector and the status line, until the full main
// window takes its place.
#pragma once

#include <QWidget>

namespace veyra {

struct ParameterStore;
class SkinButton;
class SkinDropDown;
class SkinLabel;

class PlaceholderMainWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kSideWidth = 150;

  explicit PlaceholderMainWindow(ParameterStore& store, QWidget* parent = nullptr);

  SkinDropDown* ModelSelector() const { return model_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  ParameterStore& store_;
  SkinDropDown* model_;
  SkinButton* mixButton_;
  SkinLabel* status_;
};

}  // namespace veyra
