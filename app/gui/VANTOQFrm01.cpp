#include "app/gui/VANTOQFrm01.h"

#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QWindow>

#include "app/gui/Dialog.h"
#include "app/gui/command_button.h"
#include "app/gui/layout.h"
#include "app/gui/message_box.h"
#include "app/gui/message_text_box.h"
#include "app/gui/qt_compat.h"
#include "app/gui/station_icon.h"

namespace gui {
namespace {

// The system colour for scroll bars, as the desks' Windows shows it by default.
const QColor kScrollBarColour(200, 200, 200);

void SetColours(QWidget* widget, const QColor& background, const QColor& text = QColor()) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, background);
  if (text.isValid()) palette.setColor(QPalette::WindowText, text);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, QRect place) {
  auto* label = Place(new QLabel(caption, parent), name, place);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

QLineEdit* MakeResultBox(QWidget* parent, const char* name, QRect place) {
  auto* box = Place(new QLineEdit(parent), name, place);
  box->setReadOnly(true);
  return box;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, const QString& initial, QRect place) {
  auto* combo = Place(new QComboBox(parent), name, place);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setCompleter(nullptr);
  combo->setEditText(initial);
  return combo;
}

}  // namespace

VANTOQFrm01::VANTOQFrm01(const settings::PortSettingStore& store, cardservice::CardService& card)
    : QWidget(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      store_(store),
      station_(std::make_unique<app::Station>(*this, store, card)) {
  BuildLayout();
  connect(btnQuery_, &QPushButton::clicked, this, [this] { station_->ClickQuery(); });
  connect(btnClean_, &QPushButton::clicked, this, [this] { station_->ClickClean(); });
  connect(btnSetting_, &QPushButton::clicked, this, [this] { station_->ClickSetting(); });
  connect(btnSAMAuth_, &QPushButton::clicked, this, [this] { station_->ClickSamAuth(); });
  connect(btnWrite_, &QPushButton::clicked, this, [this] { station_->ClickWrite(); });
  btnSetting_->setFocus();
  station_->Load();
}

VANTOQFrm01::~VANTOQFrm01() = default;

void VANTOQFrm01::BuildLayout() {
  setObjectName(QStringLiteral("VANTOQFrm01"));
  setWindowTitle(QStringLiteral("DoravelSerovia"));
  setWindowIcon(QIcon(QPixmap(kStationIcon)));
  setFixedSize(Twips(12330), Twips(9360));
  SetColours(this, QColor(192, 255, 192));

  // The frames come first so that the window's own controls lie in front of them.
  auto* frame1 = Place(new QGroupBox(QStringLiteral("成人預防保健服務資格查詢"), this), "Frame1",
                       TwipRect(240, 120, 11895, 5055));
  auto* frame2 =
      Place(new QGroupBox(QStringLiteral("查詢結果"), this), "Frame2", TwipRect(240, 5400, 11895, 3855));
  for (QWidget* frame : {static_cast<QWidget*>(frame1), static_cast<QWidget*>(frame2)})
    SetColours(frame, palette().color(QPalette::Button));

  QWidget* f1 = frame1;
  auto* label1 = MakeLabel(f1, "Label1", QStringLiteral("醫療院所代號："), TwipRect(480, 720, 2295, 375));
  auto* label2 = MakeLabel(f1, "Label2", QStringLiteral("健保卡卡號："), TwipRect(480, 1920, 2295, 375));
  auto* label3 = MakeLabel(f1, "Label3", QStringLiteral("身份證號："), TwipRect(480, 2520, 2295, 375));
  auto* label4 = MakeLabel(f1, "Label4", QStringLiteral("出生年月日："), TwipRect(480, 3120, 2295, 375));
  auto* label5 = MakeLabel(f1, "Label5", QStringLiteral("安全模組代號："), TwipRect(480, 1320, 2295, 375));
  for (QWidget* label : {label1, label2, label3, label4, label5}) SetColours(label, kScrollBarColour);
  auto* label7 =
      MakeLabel(f1, "Label7",
                QStringLiteral("成人預防保健服務資格查詢程式，僅供確認民眾是否符合成人預防保健實施資格，"
                               "請搭配院內資訊系統進行查詢。"),
                TwipRect(6960, 720, 4695, 2895));
  SetColours(label7, QColor(255, 224, 192), QColor(0, 0, 255));
  MakeLabel(f1, "Label8", QStringLiteral("代碼："), TwipRect(480, 3840, 2295, 495));
  auto* label6 = MakeLabel(frame2, "Label6", QStringLiteral("訊息："), TwipRect(240, 1560, 2055, 495));

  lineBoxes_[app::Box::HospId] = MakeResultBox(f1, "txtHOSPID", TwipRect(2880, 720, 2055, 480));
  lineBoxes_[app::Box::SamId] = MakeResultBox(f1, "txtSAMID", TwipRect(2880, 1320, 2055, 480));
  lineBoxes_[app::Box::CardId] = MakeResultBox(f1, "txtCardID", TwipRect(2880, 1920, 2055, 480));
  lineBoxes_[app::Box::Asid] = MakeResultBox(f1, "txtASID", TwipRect(2880, 2520, 2055, 480));
  lineBoxes_[app::Box::Birthday] = MakeResultBox(f1, "txtBirthday", TwipRect(2880, 3120, 2055, 480));

  btnQuery_ =
      Place(new CommandButton(QStringLiteral("查詢"), f1), "btnQuery", TwipRect(5040, 1320, 1815, 495));
  btnClean_ =
      Place(new CommandButton(QStringLiteral("清除"), f1), "btnClean", TwipRect(5040, 1920, 1815, 495));
  btnSetting_ =
      Place(new CommandButton(QStringLiteral("環境設定"), f1), "btnSetting", TwipRect(5040, 3120, 1815, 495));
  combo2_ = MakeCombo(f1, "Combo2", QStringLiteral("有對話框"), TwipRect(5040, 720, 1815, 480));
  combo1_ = MakeCombo(f1, "Combo1", QStringLiteral("請選擇"), TwipRect(1440, 3840, 8295, 480));

  btnSAMAuth_ = Place(new CommandButton(QStringLiteral("讀卡機認證"), this), "btnSAMAuth",
                      TwipRect(5280, 2640, 1815, 495));
  btnWrite_ =
      Place(new CommandButton(QStringLiteral("寫卡"), this), "btnWrite", TwipRect(10080, 3960, 1815, 495));
  txtMessage_ = Place(new MessageTextBox(this), "txtMessage", TwipRect(3000, 5760, 8895, 3240));

  const std::vector<QWidget*> tabOrder = {btnSetting_,
                                          lineBoxes_[app::Box::HospId],
                                          lineBoxes_[app::Box::CardId],
                                          lineBoxes_[app::Box::Asid],
                                          lineBoxes_[app::Box::Birthday],
                                          lineBoxes_[app::Box::SamId],
                                          btnQuery_,
                                          btnClean_,
                                          txtMessage_,
                                          btnSAMAuth_,
                                          btnWrite_,
                                          combo1_,
                                          combo2_};
  for (size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

  fontResetOrder_ = {btnQuery_,
                     btnClean_,
                     btnSetting_,
                     btnSAMAuth_,
                     label1,
                     label2,
                     label3,
                     label4,
                     label5,
                     label6,
                     label7,
                     lineBoxes_[app::Box::SamId],
                     lineBoxes_[app::Box::HospId],
                     lineBoxes_[app::Box::CardId],
                     lineBoxes_[app::Box::Asid],
                     lineBoxes_[app::Box::Birthday],
                     txtMessage_};
}

void VANTOQFrm01::SetBoxText(app::Box box, const std::u16string& text) {
  if (box == app::Box::Message) return txtMessage_->setText(ToQString(text));
  lineBoxes_.at(box)->setText(ToQString(text));
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
  if (enabled) btnSetting_->setFocus();
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
  for (QWidget* widget : fontResetOrder_) {
    QFont font = widget->font();
    font.setFamily(kFontFamily);
    font.setPointSizeF(kFontPoints);
    widget->setFont(font);
  }
}

}  // namespace gui
