#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <QWindow>

#include <thread>

#include "app/forms.h"
#include "app/qt/VANTOQFrm01.h"
#include "app/qt/accessibility.h"
#include "app/qt/focus_mark.h"
#include "app/qt/form_builder.h"
#include "app/qt/message_box.h"
#include "app/qt/message_text_box.h"
#include "app/qt/qt_translation.h"
#include "app/qt/single_station.h"
#include "cardservice/card_library.h"
#include "settings/program_directory.h"
#include "tests/support/recording_card_service.h"
#include "tests/support/station_fixture.h"

namespace {

using testing_support::SettingsFile;
using testing_support::TempDir;

// The real windows, offscreen, with the message boxes answered by the test.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest() {
    gui::SetMessageHook([this](const QString& text) { messages << text; });
  }
  ~WindowTest() override {
    gui::SetMessageHook(nullptr);
    if (auto* dialog = OpenDialog()) delete dialog;
  }

  void Start(std::optional<std::string> settingsFile, cardservice::CardService* service = nullptr) {
    window.reset();
    std::filesystem::remove(store.FilePath());
    if (settingsFile) dir.Write("VANTOQuery.ini", *settingsFile);
    window = std::make_unique<gui::VANTOQFrm01>(store, service ? *service : card);
    window->show();
  }
  template <typename T = QWidget>
  T* Control(const char* name) const {
    auto* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  static QWidget* OpenDialog() {
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->objectName() == QLatin1String("Dialog") && top->isVisible()) return top;
    return nullptr;
  }
  template <typename T>
  static T* DialogControl(const char* name) {
    return OpenDialog()->findChild<T*>(QString::fromLatin1(name));
  }
  static QStringList Items(QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
  }

  TempDir dir;
  settings::PortSettingStore store{dir.path()};
  std::vector<std::string> events;
  testing_support::RecordingCardService card{events};
  std::unique_ptr<gui::VANTOQFrm01> window;
  QStringList messages;
};

const QStringList kServiceItems = {
    QStringLiteral("21：40歲以上未滿65歲者，每三年補助乙次"),
    QStringLiteral("22：65歲以上者，每年補助乙次"),
    QStringLiteral("25：罹患小兒麻痺且年在35歲以上者，每年補助乙次"),
    QStringLiteral("27：身分別為原住民且55歲以上未滿65歲，每一年補助乙次"),
    QStringLiteral("YB：退掛"),
};

TEST_F(WindowTest, StartsWithEmptyBoxesAndFilledLists) {
  for (const auto& file : {std::optional<std::string>(SettingsFile("3")), std::optional<std::string>()}) {
    SCOPED_TRACE(file ? "port stored" : "no settings file");
    Start(file);
    EXPECT_EQ(window->objectName(), QStringLiteral("VANTOQFrm01"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("DoravelSerovia"));
    EXPECT_EQ(window->size(), QSize(822, 624));
    EXPECT_EQ(Control<QComboBox>("Combo1")->currentText(), QStringLiteral("請選擇"));
    EXPECT_EQ(Items(Control<QComboBox>("Combo1")), kServiceItems);
    EXPECT_EQ(Control<QComboBox>("Combo2")->currentText(), QStringLiteral("有對話框"));
    EXPECT_EQ(Items(Control<QComboBox>("Combo2")),
              (QStringList{QStringLiteral("有對話框"), QStringLiteral("無對話框")}));
    for (const char* box : {"txtHOSPID", "txtSAMID", "txtCardID", "txtASID", "txtBirthday"}) {
      EXPECT_TRUE(Control<QLineEdit>(box)->text().isEmpty()) << box;
      EXPECT_TRUE(Control<QLineEdit>(box)->isReadOnly()) << box;
    }
    EXPECT_EQ(window->isEnabled(), file.has_value());
    EXPECT_EQ(OpenDialog() != nullptr, !file.has_value());
    if (auto* dialog = OpenDialog()) dialog->close();
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(messages.isEmpty());
  }
}

TEST_F(WindowTest, ControlsSitWhereTheDesignPutsThem) {
  Start(SettingsFile("3"));
  const struct {
    const char* name;
    QRect place;
    const char* parent;
  } rows[] = {
      {"Frame1", {16, 8, 793, 337}, "VANTOQFrm01"},
      {"Frame2", {16, 360, 793, 257}, "VANTOQFrm01"},
      {"btnSAMAuth", {352, 176, 121, 33}, "VANTOQFrm01"},
      {"btnWrite", {672, 264, 121, 33}, "VANTOQFrm01"},
      {"txtMessage", {200, 384, 593, 216}, "VANTOQFrm01"},
      {"btnQuery", {336, 88, 121, 33}, "Frame1"},
      {"Label7", {464, 48, 313, 193}, "Frame1"},
      {"Combo1", {96, 256, 553, 32}, "Frame1"},
      {"Label6", {16, 104, 137, 33}, "Frame2"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    QWidget* control = Control(row.name);
    EXPECT_EQ(control->geometry(), row.place);
    EXPECT_EQ(control->parentWidget()->objectName(), QString::fromLatin1(row.parent));
    EXPECT_EQ(control->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(control->font().pointSizeF(), 13.5);
  }
  EXPECT_EQ(Control<QLabel>("Label7")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_EQ(window->palette().color(QPalette::Window), QColor(192, 255, 192));
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  EXPECT_EQ(QApplication::focusWidget(), Control("btnSetting"));
}

// Whatever the description holds, each window has: a front end that leaves a control out, puts it in
// another container or place, or loses it from the tab order fails here.
TEST_F(WindowTest, WindowsHoldEveryDescribedControl) {
  using app::forms::ControlKind;
  const std::map<ControlKind, const char*> qtClass = {
      {ControlKind::CommandButton, "QPushButton"},
      {ControlKind::Label, "QLabel"},
      {ControlKind::Frame, "QGroupBox"},
      {ControlKind::TextBox, "QLineEdit"},
      {ControlKind::MultiLineTextBox, "QPlainTextEdit"},
      {ControlKind::DropDownCombo, "QComboBox"},
      {ControlKind::VerticalScrollBar, "QScrollBar"},
  };
  Start(SettingsFile("3"));
  Control<QPushButton>("btnSetting")->click();
  for (const auto* form : {&app::forms::MainWindow(), &app::forms::SettingsDialog()}) {
    QWidget* top = form == &app::forms::MainWindow() ? window.get() : OpenDialog();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->objectName(), gui::ToQString(form->name));
    EXPECT_EQ(top->windowTitle(), gui::ToQString(form->caption));
    EXPECT_EQ(top->size(),
              QSize(gui::TwipsToPixels(form->clientWidth), gui::TwipsToPixels(form->clientHeight)));
    for (const auto& control : form->controls) {
      SCOPED_TRACE(std::string(control.name));
      auto* widget = top->findChild<QWidget*>(gui::ToQString(control.name));
      ASSERT_NE(widget, nullptr);
      EXPECT_TRUE(widget->inherits(qtClass.at(control.kind))) << widget->metaObject()->className();
      EXPECT_EQ(widget->parentWidget()->objectName(), gui::ToQString(control.container));
      EXPECT_EQ(widget->geometry(), gui::PixelRect(control.place));
    }
    // The focus chain visits the described controls in their tab order.
    std::vector<std::string> chain;
    for (QWidget* next = top->nextInFocusChain(); next != top; next = next->nextInFocusChain()) {
      const std::string name = next->objectName().toStdString();
      if (app::forms::FindControl(*form, name) && (next->focusPolicy() & Qt::TabFocus)) chain.push_back(name);
    }
    std::vector<std::string> expected;
    for (const auto* control : app::forms::TabOrder(*form)) expected.emplace_back(control->name);
    const auto first = std::find(chain.begin(), chain.end(), expected.front());
    ASSERT_NE(first, chain.end());
    std::rotate(chain.begin(), first, chain.end());
    EXPECT_EQ(chain, expected) << form->name;
  }
}

TEST_F(WindowTest, ClearEmptiesTheBoxesAndKeepsTheLists) {
  Start(SettingsFile("3"));
  card.bytes["csGetHospID"] = "3501200000";
  card.status["vantoGetAdultPrevent"] = 3333;
  Control<QPushButton>("btnQuery")->click();
  EXPECT_EQ(Control<QLineEdit>("txtHOSPID")->text(), QStringLiteral("3501200000"));
  EXPECT_TRUE(Control<gui::MessageTextBox>("txtMessage")->text().contains(QStringLiteral("\r\n")));
  Control<QComboBox>("Combo1")->setEditText(QStringLiteral("typed"));
  Control<QPushButton>("btnClean")->click();
  for (const char* box : {"txtHOSPID", "txtSAMID", "txtCardID", "txtASID", "txtBirthday"})
    EXPECT_TRUE(Control<QLineEdit>(box)->text().isEmpty()) << box;
  EXPECT_TRUE(Control<gui::MessageTextBox>("txtMessage")->text().isEmpty());
  EXPECT_TRUE(Control<gui::MessageTextBox>("txtMessage")->toPlainText().isEmpty());
  EXPECT_EQ(Control<QComboBox>("Combo1")->currentText(), QStringLiteral("typed"));
  EXPECT_EQ(Control<QComboBox>("Combo1")->count(), 5);
}

TEST_F(WindowTest, ResetFontsTouchesOnlyItsSeventeenControls) {
  Start(SettingsFile("3"));
  QFont other(QStringLiteral("Courier"));
  other.setPointSize(9);
  for (const char* name : {"btnQuery", "txtMessage", "Label7", "btnWrite", "Label8", "Combo1", "Frame1"})
    Control(name)->setFont(other);
  Control<QPushButton>("btnClean")->click();
  for (const char* name : {"btnQuery", "txtMessage", "Label7"}) {
    EXPECT_EQ(Control(name)->font().family(), QStringLiteral("MS Sans Serif")) << name;
    EXPECT_EQ(Control(name)->font().pointSizeF(), 13.5) << name;
  }
  for (const char* name : {"btnWrite", "Label8", "Combo1", "Frame1"})
    EXPECT_EQ(Control(name)->font().family(), QStringLiteral("Courier")) << name;
}

TEST_F(WindowTest, DialogStepsFromOneWhateverIsStored) {
  Start(SettingsFile("7"));
  Control<QPushButton>("btnSetting")->click();
  ASSERT_NE(OpenDialog(), nullptr);
  EXPECT_FALSE(window->isEnabled());
  EXPECT_EQ(OpenDialog()->windowTitle(), QStringLiteral("環境設定"));
  EXPECT_EQ(OpenDialog()->geometry(), QRect(184, 250, 433, 180));
  auto* text1 = DialogControl<QLineEdit>("Text1");
  auto* scroll = DialogControl<QScrollBar>("VScroll1");
  EXPECT_EQ(text1->text(), QStringLiteral("7"));
  scroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(text1->text(), QStringLiteral("2"));
  for (int i = 0; i < 30; ++i) scroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(text1->text(), QStringLiteral("20"));
  for (int i = 0; i < 30; ++i) scroll->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(text1->text(), QStringLiteral("1"));
  scroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  DialogControl<QPushButton>("OKButton")->click();
  EXPECT_EQ(OpenDialog(), nullptr);
  EXPECT_TRUE(window->isEnabled());
  EXPECT_EQ(dir.Read("VANTOQuery.ini"), SettingsFile("2"));
}

TEST_F(WindowTest, DialogLeavesWithoutWriting) {
  const struct {
    const char* name;
    std::optional<std::string> file;
    const char* how;
    int warnings;
  } rows[] = {
      {"cancel, nothing stored", std::nullopt, "CancelButton", 1},
      {"cancel, port stored", SettingsFile("4"), "CancelButton", 0},
      {"close box, nothing stored", std::nullopt, nullptr, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    messages.clear();
    Start(row.file);
    if (!OpenDialog()) Control<QPushButton>("btnSetting")->click();
    ASSERT_NE(OpenDialog(), nullptr);
    if (row.how) {
      DialogControl<QPushButton>(row.how)->click();
    } else {
      OpenDialog()->close();
    }
    EXPECT_EQ(OpenDialog(), nullptr);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(messages.size(), row.warnings);
    EXPECT_EQ(std::filesystem::exists(store.FilePath()), row.file.has_value());
  }
}

TEST_F(WindowTest, FocusNeverStaysInThePortBox) {
  Start(SettingsFile("7"));
  Control<QPushButton>("btnSetting")->click();
  QWidget* dialog = OpenDialog();
  QApplication::setActiveWindow(dialog);
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
  auto* text1 = DialogControl<QLineEdit>("Text1");
  EXPECT_EQ(QApplication::focusWidget(), DialogControl<QScrollBar>("VScroll1"));
  QTest::mouseClick(text1, Qt::LeftButton);
  text1->setFocus();
  EXPECT_EQ(QApplication::focusWidget(), DialogControl<QScrollBar>("VScroll1"));
  QTest::keyClicks(text1, "99");
  EXPECT_EQ(text1->text(), QStringLiteral("7"));
  // Enter and Escape press nothing while the scroll bar has the focus.
  QTest::keyClick(DialogControl<QScrollBar>("VScroll1"), Qt::Key_Return);
  QTest::keyClick(DialogControl<QScrollBar>("VScroll1"), Qt::Key_Escape);
  EXPECT_EQ(OpenDialog(), dialog);
}

TEST_F(WindowTest, ReopeningReloadsThePortBox) {
  Start(SettingsFile("7"));
  Control<QPushButton>("btnSetting")->click();
  DialogControl<QScrollBar>("VScroll1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  OpenDialog()->close();
  dir.Write("VANTOQuery.ini", SettingsFile("9"));
  Control<QPushButton>("btnSetting")->click();
  EXPECT_EQ(DialogControl<QLineEdit>("Text1")->text(), QStringLiteral("9"));
  EXPECT_EQ(DialogControl<QScrollBar>("VScroll1")->value(), 1);
}

TEST_F(WindowTest, SetBoxesShowTheirFirstCharacter) {
  Start(SettingsFile("3"));
  card.bytes["csGetHospID"] = "3501200000";
  card.bytes["csGetCardNo"] = "100000000001";
  card.bytes["hisGetBasicData"] =
      std::string("000012345678") + std::string(20, ' ') + "A123456789" + "0550815";
  Control<QPushButton>("btnQuery")->click();
  for (const char* name : {"txtHOSPID", "txtSAMID", "txtCardID", "txtASID", "txtBirthday"}) {
    SCOPED_TRACE(name);
    auto* box = Control<QLineEdit>(name);
    EXPECT_FALSE(box->text().isEmpty());
    EXPECT_EQ(box->cursorPosition(), 0);
  }
  // With the metric-compatible fallback a 12-digit value fits its box whole: the box less its frame
  // and the edit's margins. Chinese punctuation comes from the Traditional Chinese font.
  const QFont font = Control("txtSAMID")->font();
  if (QFontInfo(font).family() != QStringLiteral("Liberation Sans"))
    GTEST_SKIP() << "Liberation Sans missing";
  EXPECT_LE(QFontMetrics(font).horizontalAdvance(QStringLiteral("100000000001")),
            Control("txtSAMID")->width() - 8);
  QTextLayout layout(QStringLiteral("，。、"), font);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  for (const QGlyphRun& run : layout.glyphRuns())
    EXPECT_EQ(run.rawFont().familyName(), QStringLiteral("Noto Sans CJK TC"));
}

TEST_F(WindowTest, OpenDialogStaysInFrontAndKeepsTheMainWindowOpen) {
  Start(std::nullopt);
  QWidget* dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
  for (int attempt = 0; attempt < 2; ++attempt) {
    window->activateWindow();
    QTest::qWait(20);
    EXPECT_EQ(QApplication::activeWindow(), dialog);
    EXPECT_EQ(QApplication::focusWidget(), DialogControl<QScrollBar>("VScroll1"));
  }
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  DialogControl<QPushButton>("CancelButton")->click();
  EXPECT_TRUE(window->close());
}

TEST_F(WindowTest, ScreenReadersHearEachControlByItsLabel) {
  Start(SettingsFile("3"));
  Control<QPushButton>("btnSetting")->click();
  const struct {
    const char* name;
    const char* buddyOf;  // the label whose buddy the control is
    QString spoken;
  } rows[] = {
      {"txtHOSPID", "Label1", QStringLiteral("醫療院所代號")},
      {"txtSAMID", "Label5", QStringLiteral("安全模組代號")},
      {"txtCardID", "Label2", QStringLiteral("健保卡卡號")},
      {"txtASID", "Label3", QStringLiteral("身份證號")},
      {"txtBirthday", "Label4", QStringLiteral("出生年月日")},
      {"txtMessage", "Label6", QStringLiteral("訊息")},
      {"Combo1", "Label8", QStringLiteral("代碼")},
      {"Combo2", nullptr, QStringLiteral("查詢方式")},
      {"VScroll1", "Label1", QStringLiteral("讀卡機連接埠")},
      {"Text1", nullptr, QStringLiteral("讀卡機連接埠")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const bool inDialog = window->findChild<QWidget*>(QString::fromLatin1(row.name)) == nullptr;
    QWidget* control = inDialog ? DialogControl<QWidget>(row.name) : Control(row.name);
    ASSERT_NE(control, nullptr);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), row.spoken);
    if (!row.buddyOf) continue;
    auto* label = inDialog ? DialogControl<QLabel>(row.buddyOf) : Control<QLabel>(row.buddyOf);
    EXPECT_EQ(label->buddy(), control);
  }
}

// Each window by its kind, the boxes read-only and read whole, the verdict spoken where it arrives.
TEST_F(WindowTest, ScreenReadersReadValuesWholeAndHearTheVerdict) {
  Start(SettingsFile("3"));
  card.ScriptEligiblePatient();
  Control<QPushButton>("btnQuery")->click();
  Control<QPushButton>("btnSetting")->click();
  const auto accessible = [](QWidget* widget) { return QAccessible::queryAccessibleInterface(widget); };
  EXPECT_EQ(accessible(window.get())->role(), QAccessible::Window);
  EXPECT_EQ(accessible(OpenDialog())->role(), QAccessible::Dialog);
  for (QWidget* box : {Control("txtCardID"), DialogControl<QWidget>("Text1")}) {
    EXPECT_TRUE(accessible(box)->state().readOnly);
    EXPECT_FALSE(accessible(box)->state().editable);
    int start = -1, end = -1;
    accessible(box)->textInterface()->attributes(0, &start, &end);
    EXPECT_EQ(end - start, accessible(box)->textInterface()->characterCount());
  }
  auto* spoken = window->findChild<gui::Announcement*>();
  ASSERT_NE(spoken, nullptr);
  EXPECT_EQ(accessible(spoken)->role(), QAccessible::Notification);
  EXPECT_TRUE(accessible(spoken)->text(QAccessible::Name).startsWith(QStringLiteral("3000：")));
}

TEST_F(WindowTest, MessageBoxShowsItsTitleWholeInTheStationsFont) {
  Start(SettingsFile("3"));
  for (const QString& text : {QStringLiteral("寫卡完成：0"), QStringLiteral("成功")}) {
    SCOPED_TRACE(text.toStdString());
    const auto box = gui::MakeStationMessageBox(window.get(), text);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("ZIROZE01"));
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_TRUE(box->button(QMessageBox::Ok)->icon().isNull());
    EXPECT_EQ(box->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(box->font().pointSizeF(), 13.5);
    // Room for the title and the window manager's buttons beside it.
    const int title = QFontMetrics(QApplication::font()).horizontalAdvance(box->windowTitle());
    EXPECT_GE(box->sizeHint().width(), title + 100);
  }
}

// Qt's own texts in Chinese too: on a Taiwanese desk, and on one whose language Qt has no texts for.
TEST_F(WindowTest, MessageBoxButtonInChinese) {
  for (const QLocale& desk : {QLocale(QLocale::Chinese, QLocale::Taiwan), QLocale::c()}) {
    ASSERT_TRUE(gui::InstallQtTranslation(desk));
    EXPECT_EQ(gui::MakeStationMessageBox(nullptr, QStringLiteral("成功"))->button(QMessageBox::Ok)->text(),
              QStringLiteral("確定"));
  }
}

TEST_F(WindowTest, FocusMarkFollowsTheFocusAlone) {
  Start(SettingsFile("3"));
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  auto* mark = window->findChild<gui::FocusMark*>();
  ASSERT_NE(mark, nullptr);
  for (const char* name : {"btnSetting", "Combo1", "btnSAMAuth", "txtMessage"}) {
    SCOPED_TRACE(name);
    Control(name)->setFocus();
    EXPECT_TRUE(mark->isVisible());
    const QRect place(Control(name)->mapTo(window.get(), QPoint(0, 0)), Control(name)->size());
    EXPECT_TRUE(mark->geometry().contains(place));
    EXPECT_FALSE(mark->geometry().adjusted(8, 8, -8, -8).contains(place));
  }
  // Buttons on the green window have no green outline of their own that could pass for the mark.
  for (const char* name : {"btnSAMAuth", "btnWrite"})
    EXPECT_NE(Control(name)->palette().color(QPalette::Window), QColor(192, 255, 192)) << name;
}

// Input to the main window as the display server hands it over: queued, and routed to a control
// only when it is delivered.
void QueueInput(QWidget* window, QWidget* control, const char* input) {
  QWindow* handle = window->windowHandle();
  if (std::string_view(input) == "click") {
    const QPointF at = control->mapTo(window, control->rect().center());
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QCoreApplication::postEvent(
          handle,
          new QMouseEvent(type, at, control->mapToGlobal(control->rect().center()), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier));
    }
    return;
  }
  const int key = std::string_view(input) == "Space" ? Qt::Key_Space : Qt::Key_Return;
  const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QStringLiteral("\r");
  for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
    QCoreApplication::postEvent(handle, new QKeyEvent(type, key, Qt::NoModifier, text));
}

// A click, Space or Enter on a button runs its workflow once: the same input made again while the
// library works is dropped, whether it waits in the queue until the call returns or a window of the
// library delivers it meanwhile; afterwards the focus is back on the button and the next input counts.
TEST_F(WindowTest, InputWhileTheLibraryWorksIsDropped) {
  const auto calls = [this](std::string_view name) {
    return std::count_if(events.begin(), events.end(),
                         [name](const std::string& e) { return e.starts_with(name); });
  };
  for (const auto& button : testing_support::kLibraryButtons) {
    for (const char* input : {"click", "Space", "Enter"}) {
      for (const bool nestedLoop : {false, true}) {
        SCOPED_TRACE(std::string(button.button) + " " + input +
                     (nestedLoop ? " through a nested loop" : " queued"));
        events.clear();
        Start(SettingsFile("3"));
        Control<QComboBox>("Combo1")->setEditText(kServiceItems[0]);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QWidget* target = Control(button.button);
        target->setFocus();
        bool inside = false;
        card.whileInside = [&](const std::string& operation) {
          if (operation != button.firstCall || inside) return;
          inside = true;
          EXPECT_FALSE(window->isEnabled());
          const QCursor* cursor = QApplication::overrideCursor();
          EXPECT_EQ(cursor ? cursor->shape() : Qt::ArrowCursor, Qt::WaitCursor);
          QueueInput(window.get(), target, input);
          if (nestedLoop) QCoreApplication::processEvents();
        };
        if (std::string_view(input) == "click") {
          QTest::mouseClick(target, Qt::LeftButton);
        } else {
          QTest::keyClick(target, std::string_view(input) == "Space" ? Qt::Key_Space : Qt::Key_Return);
        }
        QCoreApplication::processEvents();
        EXPECT_TRUE(inside);
        EXPECT_EQ(calls(button.firstCall), 1);
        EXPECT_TRUE(window->isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::focusWidget(), target);

        card.whileInside = nullptr;
        QTest::keyClick(target, Qt::Key_Space);
        EXPECT_EQ(calls(button.firstCall), 2);
      }
    }
  }
}

// The library blocks the event loop: the emptied boxes are on the screen before its first call.
TEST_F(WindowTest, EmptiedBoxesAreShownWhileTheLibraryWorks) {
  Start(SettingsFile("3"));
  card.ScriptEligiblePatient();
  Control<QPushButton>("btnQuery")->click();
  QCoreApplication::processEvents();
  QImage shown;
  card.whileInside = [&](const std::string& operation) {
    if (operation == "csOpenCom") shown = window->screen()->grabWindow(window->winId()).toImage();
  };
  Control<QPushButton>("btnQuery")->click();
  QWidget* box = Control("txtCardID");
  const QRect inside = QRect(box->mapTo(window.get(), QPoint(0, 0)), box->size()).adjusted(4, 4, -4, -4);
  const QImage part = shown.copy(inside);
  EXPECT_EQ(part.size(), inside.size());
  for (int y = 0; y < part.height(); ++y)
    for (int x = 0; x < part.width(); ++x) ASSERT_EQ(part.pixel(x, y), part.pixel(0, 0)) << x << "," << y;
}

// A message box shown while the library work runs takes its input and shows the normal cursor; the
// window is busy again until the work ends.
TEST_F(WindowTest, MessageBoxDuringTheWorkTakesItsInput) {
  gui::SetMessageHook(nullptr);
  Start(SettingsFile("3"));
  card.status["csOpenCom"] = -1;  // "開啟 COM Port 失敗" before csCloseCom
  card.whileInside = [&](const std::string& operation) {
    if (operation == "csCloseCom") {
      EXPECT_FALSE(window->isEnabled());
    }
  };
  bool answered = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    poll.stop();
    EXPECT_EQ(box->text(), QStringLiteral("開啟 COM Port 失敗"));
    EXPECT_TRUE(box->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    answered = box->isEnabled();
    // A box that takes no input would hold the test forever.
    if (box->isEnabled()) {
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    } else {
      box->done(0);
    }
  });
  poll.start(10);
  Control<QPushButton>("btnQuery")->click();
  EXPECT_TRUE(answered);
  EXPECT_EQ(events, (std::vector<std::string>{"csOpenCom(2)", "csCloseCom()"}));
  EXPECT_TRUE(window->isEnabled());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The simulator's own window runs its message loop inside the interactive eligibility call: clicks
// and keys on 查詢 that reach the station through it start no second query, and the query ends
// with its verdict once the window is closed.
TEST_F(WindowTest, InputThroughTheLibrarysOwnWindowStartsNothing) {
  using cardservice::CardLibrary;
  std::filesystem::copy_file(settings::FileBeside(settings::ProgramDirectory(), CardLibrary::FileName()),
                             dir.path() / CardLibrary::FileName());
  dir.Write("cardsim.ini", "[eligibility]\nwindow = yes\n");
  CardLibrary library(settings::FileBeside(dir.path(), CardLibrary::FileName()));
  Start(SettingsFile("1"), &library);
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QWidget* query = Control("btnQuery");
  query->setFocus();

  std::map<QWidget*, int> seen;  // the library's windows, with the ticks each has been open
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() != QLatin1String("VANTOCSAPI") || !top->isVisible()) continue;
      const int ticks = seen[top]++;
      if (ticks == 0) {
        EXPECT_FALSE(window->isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the library's window waits for a click
        for (const char* input : {"click", "Space", "Enter"}) QueueInput(window.get(), query, input);
      } else if (ticks == 3) {
        QTest::mouseClick(static_cast<QMessageBox*>(top)->button(QMessageBox::Ok), Qt::LeftButton);
      }
    }
  });
  poll.start(20);
  QTest::mouseClick(query, Qt::LeftButton);
  poll.stop();
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_TRUE(Control<gui::MessageTextBox>("txtMessage")->text().startsWith(QStringLiteral("3000：")));
  EXPECT_TRUE(window->isEnabled());
  // Active again, with the focus where it was.
  EXPECT_TRUE(QTest::qWaitForWindowActive(window.get(), 1000));
  EXPECT_EQ(QApplication::focusWidget(), query);
  window.reset();  // before the library it uses
}

// A second start finds the running station and asks it to the front; once it is gone, a start runs.
TEST(SingleStation, SecondStartAsksTheFirstToTheFront) {
  TempDir folder;
  const QString path = QString::fromStdString(folder.path().string());
  auto first = std::make_unique<gui::SingleStation>(path);
  ASSERT_TRUE(first->Claim());
  int asked = 0;
  QObject::connect(first.get(), &gui::SingleStation::FrontRequested, [&] { ++asked; });
  std::thread second([&] { EXPECT_FALSE(gui::SingleStation(path).Claim()); });
  EXPECT_TRUE(QTest::qWaitFor([&] { return asked == 1; }, 3000));
  second.join();
  first.reset();
  EXPECT_TRUE(gui::SingleStation(path).Claim());
}

// The README's picture of the station after a query, made when ZIROZE_SCREENSHOT_DIR names a folder.
TEST_F(WindowTest, Screenshot) {
  const QString folder = qEnvironmentVariable("ZIROZE_SCREENSHOT_DIR");
  if (folder.isEmpty()) GTEST_SKIP() << "ZIROZE_SCREENSHOT_DIR not set";
  Start(SettingsFile("3"));
  card.ScriptEligiblePatient();
  Control<QPushButton>("btnQuery")->click();
  EXPECT_TRUE(window->grab().save(folder + QStringLiteral("/linux-station.png")));
}

TEST(TwipsToPixels, WholePixelsAtEveryScreenDensity) {
  const struct {
    int twips, dpi, pixels;
  } rows[] = {
      {12330, 96, 822}, {2055, 96, 137},    {9360, 96, 624},  {12330, 120, 1027},
      {9360, 120, 780}, {12330, 144, 1233}, {9360, 144, 936}, {2055, 192, 274},
  };
  for (const auto& row : rows)
    EXPECT_EQ(gui::TwipsToPixels(row.twips, row.dpi), row.pixels) << row.twips << " twips at " << row.dpi;
}

}  // namespace

int main(int argc, char** argv) {
  // The windows are tested offscreen unless a platform is asked for.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
