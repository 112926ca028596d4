#pragma once

#include <QWidget>

#include "app/port_dialog.h"

class QLineEdit;
class QScrollBar;

namespace gui {

// The settings dialog: modeless, at a fixed place on the screen, rebuilt at each opening and
// destroyed when it closes.
class Dialog : public QWidget, public app::PortDialogView {
  Q_OBJECT
 public:
  Dialog(const settings::PortSettingStore& store, app::StationView& mainWindow);

  // app::PortDialogView
  void SetPortText(const std::u16string& text) override;
  std::u16string PortText() const override;
  void ShowMessage(const std::u16string& text) override;
  void Close() override;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  app::PortDialog logic_;
  QLineEdit* text1_ = nullptr;
  QScrollBar* vscroll1_ = nullptr;
};

}  // namespace gui
