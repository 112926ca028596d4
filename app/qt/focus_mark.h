#pragma once

#include <QFocusFrame>
#include <QPointer>

namespace gui {

// A plain frame around the control that has the keyboard focus in its window, from the start and
// whatever moved the focus there: the style's own cue shows only after Tab was pressed, and a
// scroll bar shows none at all. A focus frame, which a screen reader does not count among the
// window's objects; it follows the focus on its own.
class FocusMark : public QFocusFrame {
  Q_OBJECT
 public:
  explicit FocusMark(QWidget* window);

  // The control the mark surrounds, or nullptr while it is hidden.
  QWidget* marked() const { return marked_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Follow(QWidget* focused);

  QWidget* window_;
  QPointer<QWidget> marked_;
};

}  // namespace gui
