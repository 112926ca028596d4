#include "app/qt/VANTOQFrm01.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

#include "app/qt/Dialog.h"
#include "app/qt/message_box.h"
#include "app/qt/message_text_box.h"

namespace gui {

VANTOQFrm01::VANTOQFrm01(const settings::PortSettingStore& store, cardservice::CardService& card)
    : store_(store),
      station_(std::make_unique<app::Station>(*this, store, card)),
      controls_(BuildForm(*this, app::forms::MainWindow())),
      combo1_(controls_.Get<QComboBox>("Combo1")),
      combo2_(controls_.Get<QComboBox>("Combo2")) {
  const auto onClick = [this](std::string_view button, void (app::Station::*handler)()) {
    connect(controls_.Get<QPushButton>(button), &QPushButton::clicked, this,
            [this, handler] { (station_.get()->*handler)(); });
  };
  onClick("btnQuery", &app::Station::ClickQuery);
  onClick("btnClean", &app::Station::ClickClean);
  onClick("btnSetting", &app::Station::ClickSetting);
  onClick("btnSAMAuth", &app::Station::ClickSamAuth);
  onClick("btnWrite", &app::Station::ClickWrite);
  controls_["btnSetting"]->setFocus();
  station_->Load();
}

VANTOQFrm01::~VANTOQFrm01() = default;

void VANTOQFrm01::SetBoxText(app::Box box, const std::u16string& text) {
  QWidget* control = controls_[app::forms::BoxControl(box)];
  if (auto* message = qobject_cast<MessageTextBox*>(control)) return message->setText(ToQString(text));
  static_cast<QLineEdit*>(control)->setText(ToQString(text));
}

std::u16string VANTOQFrm01::ServiceItemText() const { return FromQString(combo1_->currentText()); }

std::u16string VANTOQFrm01::CallModeText() const { return FromQString(combo2_->currentText()); }

void VANTOQFrm01::AppendListItems(const std::vector<std::u16string>& serviceItems,
                                  const std::vector<std::u16string>& callModes) {
  // Appending selects nothing: the fields keep showing their initial texts.
  auto append = [](QComboBox* combo, const std::vector<std::u16string>& items) {
    const QString shown = combo->currentText();
    for (const auto& item : items) combo->addItem(ToQString(item));
    combo->setCurrentIndex(-1);
    combo->setEditText(shown);
  };
  append(combo1_, serviceItems);
  append(combo2_, callModes);
}

void VANTOQFrm01::ShowMessage(const std::u16string& text) { ShowStationMessage(this, ToQString(text)); }

void VANTOQFrm01::SetEnabled(bool enabled) {
  setEnabled(enabled);
  // Back from the settings dialog the focus goes to btnSetting: first in tab order, and the button
  // that opened the dialog.
  if (enabled) controls_["btnSetting"]->setFocus();
}

void VANTOQFrm01::OpenSettingsDialog() {
  auto* dialog = new Dialog(store_, *this);
  // Kept above the main window and out of the taskbar, without being disabled along with it.
  winId();
  dialog->winId();
  if (dialog->windowHandle() && windowHandle()) dialog->windowHandle()->setTransientParent(windowHandle());
  dialog->show();
}

void VANTOQFrm01::ResetFonts() {
  const QFont station = FormFont(app::forms::StationFont());
  for (std::string_view name : app::forms::ResetFontsControls()) {
    QWidget* widget = controls_[name];
    // Only the family and the size: the other attributes stay as they are.
    QFont font = widget->font();
    font.setFamily(station.family());
    font.setPointSizeF(station.pointSizeF());
    widget->setFont(font);
  }
}

}  // namespace gui
