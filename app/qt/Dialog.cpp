#include "app/qt/Dialog.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/qt/form_builder.h"
#include "app/qt/message_box.h"

namespace gui {

Dialog::Dialog(const settings::PortSettingStore& store, app::StationView& mainWindow)
    : logic_(*this, store, mainWindow) {
  setAttribute(Qt::WA_DeleteOnClose);
  const FormControls controls = BuildForm(*this, app::forms::SettingsDialog());
  text1_ = controls.Get<QLineEdit>("Text1");
  vscroll1_ = controls.Get<QScrollBar>("VScroll1");
  // The port box only shows the number: whatever reaches it hands the focus to the scroll bar.
  text1_->installEventFilter(this);
  text1_->setContextMenuPolicy(Qt::NoContextMenu);
  text1_->setAcceptDrops(false);

  connect(controls.Get<QPushButton>("OKButton"), &QPushButton::clicked, this, [this] { logic_.ClickOk(); });
  connect(controls.Get<QPushButton>("CancelButton"), &QPushButton::clicked, this,
          [this] { logic_.ClickCancel(); });
  connect(vscroll1_, &QScrollBar::valueChanged, this, [this](int value) { logic_.ScrollChanged(value); });

  vscroll1_->setFocus();
  logic_.Load();
}

void Dialog::SetPortText(const std::u16string& text) {
  text1_->setText(ToQString(text));
  text1_->setCursorPosition(0);
}

std::u16string Dialog::PortText() const { return FromQString(text1_->text()); }

void Dialog::ShowMessage(const std::u16string& text) { ShowStationMessage(this, ToQString(text)); }

void Dialog::Close() { close(); }

bool Dialog::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) vscroll1_->setFocus();
  return QWidget::event(event);
}

bool Dialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == text1_ && event->type() == QEvent::FocusIn) {
    vscroll1_->setFocus();
    return true;
  }
  if (watched == text1_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::InputMethod))
    return true;
  return QWidget::eventFilter(watched, event);
}

void Dialog::closeEvent(QCloseEvent* event) {
  logic_.Unload();
  event->accept();
}

}  // namespace gui
