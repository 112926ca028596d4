#pragma once

#include <QString>
#include <QWidget>

namespace gui {

// What a screen reader is told of the station's windows, beyond what Qt says by itself: the main
// window as a frame and the settings dialog as a dialog; the text boxes read-only, their values
// whole. Installed once, before the first window is built.
void InstallAccessibility();

// Has a screen reader say `text` as it arrives, wherever the keyboard focus is: a notification of
// the window, shown with the text as its name. Nothing of it is drawn.
class Announcement : public QWidget {
  Q_OBJECT
 public:
  static void Say(QWidget& window, const QString& text);

 private:
  explicit Announcement(QWidget& window);
};

}  // namespace gui
