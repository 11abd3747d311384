// A command button whose face is an image (the main window's command and
// toolbar buttons), lit on hover, with an optional caption under the image.
#pragma once

#include <QAbstractButton>
#include <QImage>

namespace veyra {

class PngButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit PngButton(QWidget* parent = nullptr);

  // Loads the face from a file or a resource path (":/..."). A missing or
  // undecodable image leaves the button without a face and returns false.
  bool LoadImage(const QString& path);
  void SetImage(const QImage& image);
  bool HasImage() const { return !image_.isNull(); }
  bool IsHot() const { return underMouse(); }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

}  // namespace veyra
