#pragma once

#include <QPushButton>

namespace gui {

// A push button as the desks know it: Enter presses it while it has the focus, and it is never a
// window's default button, so Enter elsewhere presses nothing.
class CommandButton : public QPushButton {
  Q_OBJECT
 public:
  CommandButton(const QString& caption, QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace gui
