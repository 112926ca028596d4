#include "app/gui/Dialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include "app/gui/command_button.h"
#include "app/gui/layout.h"
#include "app/gui/message_box.h"
#include "app/gui/qt_compat.h"

namespace gui {

Dialog::Dialog(const settings::PortSettingStore& store, app::StationView& mainWindow)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      logic_(*this, store, mainWindow) {
  setObjectName(QStringLiteral("Dialog"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("環境設定"));
  setGeometry(TwipRect(2760, 3750, 6495, 2700));
  setFixedSize(size());

  auto* ok =
      Place(new CommandButton(QStringLiteral("確定"), this), "OKButton", TwipRect(4800, 360, 1455, 375));
  auto* cancel =
      Place(new CommandButton(QStringLiteral("取消"), this), "CancelButton", TwipRect(4800, 840, 1455, 375));
  Place(new QLabel(QStringLiteral("讀卡機連接埠："), this), "Label1", TwipRect(360, 480, 2295, 495));
  vscroll1_ = Place(new QScrollBar(Qt::Vertical, this), "VScroll1", TwipRect(3840, 480, 375, 495));
  vscroll1_->setRange(1, 20);
  vscroll1_->setValue(1);
  vscroll1_->setSingleStep(1);
  vscroll1_->setPageStep(1);
  vscroll1_->setFocusPolicy(Qt::StrongFocus);
  text1_ = Place(new QLineEdit(this), "Text1", TwipRect(2760, 480, 975, 495));
  // The port box only shows the number: whatever reaches it hands the focus to the scroll bar.
  text1_->installEventFilter(this);
  text1_->setContextMenuPolicy(Qt::NoContextMenu);
  text1_->setAcceptDrops(false);
  auto* label2 =
      Place(new QLabel(QStringLiteral("請確定目錄內讀卡機驅動程式 Reader.dll 版本是正確的!!"), this),
            "Label2", TwipRect(360, 1560, 5895, 855));
  label2->setWordWrap(true);
  for (auto* label : findChildren<QLabel*>()) label->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  setTabOrder(ok, cancel);
  setTabOrder(cancel, vscroll1_);
  setTabOrder(vscroll1_, text1_);

  connect(ok, &QPushButton::clicked, this, [this] { logic_.ClickOk(); });
  connect(cancel, &QPushButton::clicked, this, [this] { logic_.ClickCancel(); });
  connect(vscroll1_, &QScrollBar::valueChanged, this, [this](int value) { logic_.ScrollChanged(value); });

  vscroll1_->setFocus();
  logic_.Load();
}

void Dialog::SetPortText(const std::u16string& text) { text1_->setText(ToQString(text)); }

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
