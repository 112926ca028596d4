#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

namespace gui {

// Keeps a window from taking input while the card library works: a wait cursor and the window
// disabled. On the way out the clicks and keys queued meanwhile are delivered to the still disabled
// window, which drops them, before the window takes input again with the focus where it was.
// A window the library shows meanwhile waits for the user: it keeps the normal cursor, and stays
// above the station, which hands it the activation a click on the station gives.
class BusyWindow : public QObject {
 public:
  explicit BusyWindow(QWidget& window) : window_(window) {}
  BusyWindow(const BusyWindow&) = delete;
  BusyWindow& operator=(const BusyWindow&) = delete;

  void Begin();
  void End();
  bool busy() const { return busy_; }

  // Runs `show`, a modal message box, with the window as it was before the work began: a child of a
  // disabled window is disabled too, and the box must take its input. The box is modal, so the
  // window still takes none; input queued before the box is dropped first.
  void Pause(const std::function<void()>& show);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& window_;
  bool waitCursor_ = false;
  QPointer<QWidget> libraryWindow_;
  bool busy_ = false;
  bool wasEnabled_ = true;
  bool wasActive_ = false;
  QPointer<QWidget> focus_;
};

}  // namespace gui
