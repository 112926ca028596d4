#include "app/qt/busy_window.h"

#include <QApplication>
#include <QWindow>

namespace gui {

void BusyWindow::Begin() {
  if (busy_) return;
  busy_ = true;
  // Disabling moves the focus out of the window; it comes back when the work ends.
  focus_ = window_.focusWidget();
  wasEnabled_ = window_.isEnabled();
  wasActive_ = window_.isActiveWindow();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  waitCursor_ = true;
  window_.setEnabled(false);
  qApp->installEventFilter(this);
  // The library blocks the event loop: the window is drawn now, with the boxes just emptied and the
  // working caption, or it would go on showing the last result. Only painting: queued input stays
  // queued until the work ends.
  window_.repaint();
}

void BusyWindow::End() {
  if (!busy_) return;
  // What the user did while the library worked waits in the queue; here it meets a disabled window.
  // The display server's events become input events in one pass and are delivered in the next, so
  // the queue is run until it is empty (or for a moment at most, should something keep filling it).
  QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
  busy_ = false;
  qApp->removeEventFilter(this);
  libraryWindow_ = nullptr;
  if (waitCursor_) QApplication::restoreOverrideCursor();
  waitCursor_ = false;
  window_.setEnabled(wasEnabled_);
  if (focus_ && wasEnabled_) focus_->setFocus();
  // A window the library showed meanwhile took the activation with it when it closed, and a
  // disabled window could not take it back.
  if (wasActive_ && wasEnabled_ && !QApplication::activeWindow()) window_.activateWindow();
}

bool BusyWindow::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (event->type() == QEvent::Show && widget && widget->isWindow() && widget != &window_) {
    // Shown before it is mapped: the window manager keeps a transient window above its parent.
    if (widget->windowHandle() && window_.windowHandle())
      widget->windowHandle()->setTransientParent(window_.windowHandle());
    libraryWindow_ = widget;
    if (waitCursor_) QApplication::restoreOverrideCursor();
    waitCursor_ = false;
  } else if (event->type() == QEvent::WindowActivate && watched == &window_ && libraryWindow_ &&
             libraryWindow_->isVisible()) {
    libraryWindow_->raise();
    libraryWindow_->activateWindow();
  }
  return QObject::eventFilter(watched, event);
}

void BusyWindow::Pause(const std::function<void()>& show) {
  if (!busy_) return show();
  End();
  show();
  Begin();
}

}  // namespace gui
