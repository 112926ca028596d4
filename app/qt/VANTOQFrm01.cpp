#include "app/qt/VANTOQFrm01.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "app/qt/Dialog.h"
#include "app/qt/accessibility.h"
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
  if (auto* message = qobject_cast<MessageTextBox*>(control)) {
    message->setText(ToQString(text));
    // The verdict and the authentication's outcome are spoken as they arrive: the focus stays on the
    // button that was pressed.
    if (!text.empty()) Announcement::Say(*this, message->toPlainText());
    return;
  }
  auto* line = static_cast<QLineEdit*>(control);
  line->setText(ToQString(text));
  // From the first character, as a Windows edit box shows a text just set: a value wider than the
  // box would otherwise show its end and cut its first digit.
  line->setCursorPosition(0);
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

void VANTOQFrm01::ShowMessage(const std::u16string& text) {
  busy_.Pause([&] { ShowStationMessage(this, ToQString(text)); });
}

void VANTOQFrm01::BeginLibraryWork() { busy_.Begin(); }

void VANTOQFrm01::EndLibraryWork() { busy_.End(); }

void VANTOQFrm01::SetEnabled(bool enabled) {
  setEnabled(enabled);
  // Back from the settings dialog the focus goes to btnSetting: first in tab order, and the button
  // that opened the dialog.
  if (enabled) controls_["btnSetting"]->setFocus();
}

void VANTOQFrm01::OpenSettingsDialog() {
  dialog_ = new Dialog(store_, *this);
  // Kept above the main window and out of the taskbar, without being disabled along with it.
  winId();
  dialog_->winId();
  if (dialog_->windowHandle() && windowHandle()) dialog_->windowHandle()->setTransientParent(windowHandle());
  dialog_->show();
  BringDialogForward();
}

void VANTOQFrm01::BringToFront() {
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
  BringDialogForward();
}

void VANTOQFrm01::BringDialogForward() {
  if (!dialog_) return;
  dialog_->raise();
  dialog_->activateWindow();
}

void VANTOQFrm01::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // At first start the dialog opened before this window was shown on top of it.
  if (dialog_) QTimer::singleShot(0, this, [this] { BringDialogForward(); });
}

void VANTOQFrm01::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && dialog_) BringDialogForward();
}

void VANTOQFrm01::closeEvent(QCloseEvent* event) {
  // The open settings dialog disables the window, and a disabled window cannot be closed.
  if (!isEnabled()) return event->ignore();
  QWidget::closeEvent(event);
}

void VANTOQFrm01::SetCaption(const std::u16string& caption) { setWindowTitle(ToQString(caption)); }

void VANTOQFrm01::ResetFonts() {
  const QFont station = FormFont(app::forms::StationFont());
  for (std::string_view name : app::forms::ResetFontsControls()) {
    QWidget* widget = controls_[name];
    // Only the family and the size: the other attributes stay as they are.
    QFont font = widget->font();
    font.setFamilies(station.families());
    font.setPointSizeF(station.pointSizeF());
    widget->setFont(font);
  }
}

}  // namespace gui
