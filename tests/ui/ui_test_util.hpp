// Helpers of the GUI tests: synthetic input and an event counter.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

namespace veyra::test {

inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons held = Qt::LeftButton) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

inline void SendWheel(QWidget* widget, int delta) {
  const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
  QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &event);
}

// Shows a window and makes it the active one, so that focus works.
inline bool ShowActive(QWidget* window) {
  window->show();
  window->activateWindow();
  QApplication::setActiveWindow(window);
  return QTest::qWaitForWindowActive(window, 1000);
}

// Counts the events of one type that reach a widget.
class EventCounter : public QObject {
 public:
  EventCounter(QWidget* widget, QEvent::Type type) : type_(type) { widget->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == type_) ++count;
    return false;
  }

 private:
  QEvent::Type type_;
};

}  // namespace veyra::test
