#pragma once

#include <QWidget>

#include <map>
#include <memory>

#include "app/station.h"
#include "app/station_view.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace gui {

class MessageTextBox;

// The station's main window. Its layout, in twips of the original design, maps to pixels at 15
// twips a pixel; its behaviour lives in app::Station.
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

 private:
  void BuildLayout();

  const settings::PortSettingStore& store_;
  std::unique_ptr<app::Station> station_;

  QPushButton* btnQuery_ = nullptr;
  QPushButton* btnClean_ = nullptr;
  QPushButton* btnSetting_ = nullptr;
  QPushButton* btnSAMAuth_ = nullptr;
  QPushButton* btnWrite_ = nullptr;
  QComboBox* combo1_ = nullptr;
  QComboBox* combo2_ = nullptr;
  std::map<app::Box, QLineEdit*> lineBoxes_;
  MessageTextBox* txtMessage_ = nullptr;
  std::vector<QWidget*> fontResetOrder_;
};

}  // namespace gui
