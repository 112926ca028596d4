#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

#include "app/qt/busy_window.h"
#include "app/qt/form_builder.h"
#include "app/station.h"
#include "app/station_view.h"

class QComboBox;

namespace gui {

class Dialog;

// The station's main window, built from its description; its behaviour lives in app::Station.
class VANTOQFrm01 : public QWidget, public app::StationView {
  Q_OBJECT
 public:
  VANTOQFrm01(const settings::PortSettingStore& store, cardservice::CardService& card);
  ~VANTOQFrm01() override;

  // app::StationView
  void SetBoxText(app::Box box, const std::u16string& text) override;
  std::u16string ServiceItemText() const override;
  std::u16string CallModeText() const override;
  void AppendListItems(const std::vector<std::u16string>& serviceItems,
                       const std::vector<std::u16string>& callModes) override;
  void ShowMessage(const std::u16string& text) override;
  void SetEnabled(bool enabled) override;
  void OpenSettingsDialog() override;
  void ResetFonts() override;
  void SetCaption(const std::u16string& caption) override;
  void BeginLibraryWork() override;
  void EndLibraryWork() override;

  // Another start of the station: this one comes to the front, restored, its open dialog in front.
  void BringToFront();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // While the settings dialog is open it stays in front and keeps the keyboard.
  void BringDialogForward();

  const settings::PortSettingStore& store_;
  std::unique_ptr<app::Station> station_;
  FormControls controls_;
  QComboBox* combo1_ = nullptr;
  QComboBox* combo2_ = nullptr;
  QPointer<Dialog> dialog_;
  BusyWindow busy_{*this};
};

}  // namespace gui
