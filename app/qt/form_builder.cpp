#include "app/qt/form_builder.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>

#include <cmath>

#include "app/qt/accessibility.h"
#include "app/qt/command_button.h"
#include "app/qt/drop_down_combo.h"
#include "app/qt/focus_mark.h"
#include "app/qt/message_text_box.h"

namespace gui {
namespace {

using app::forms::Colour;
using app::forms::Control;
using app::forms::ControlKind;

// The system colours for scroll bars and window text, as the desks' Windows shows them by default.
const QColor kScrollBarColour(200, 200, 200);
const QColor kWindowTextColour(0, 0, 0);

void SetBackground(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

QColor ColourOf(const Colour& colour) {
  switch (colour.source) {
    case Colour::Source::Fixed:
      return QColor(colour.rgb.red, colour.rgb.green, colour.rgb.blue);
    case Colour::Source::SystemScrollBar:
      return kScrollBarColour;
    case Colour::Source::SystemWindowText:
      return kWindowTextColour;
    case Colour::Source::PlatformDefault:
      break;
  }
  return QColor();
}

QWidget* MakeButton(const Control& control, QWidget* parent) {
  auto* button = new CommandButton(ToQString(control.text), parent);
  // A button draws its outline from its surroundings' colour: on the green window that outline
  // looked like a focus cue. A button keeps the platform's own colours.
  QPalette palette = QApplication::palette(button);
  palette.setColor(QPalette::Window, palette.color(QPalette::Button));
  button->setPalette(palette);
  return button;
}

QWidget* MakeLabel(const Control& control, QWidget* parent) {
  auto* label = new QLabel(ToQString(control.text), parent);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

QWidget* MakeFrame(const Control& control, QWidget* parent) {
  auto* frame = new QGroupBox(ToQString(control.text), parent);
  // A frame is drawn in the colour of dialogs and buttons, not in its window's background.
  SetBackground(frame, parent->palette().color(QPalette::Button));
  return frame;
}

QWidget* MakeTextBox(const Control& control, QWidget* parent) {
  auto* box = new QLineEdit(ToQString(control.text), parent);
  box->setReadOnly(control.readOnly);
  return box;
}

QWidget* MakeMultiLineTextBox(const Control& control, QWidget* parent) {
  auto* box = new MessageTextBox(parent);
  box->setText(ToQString(control.text));
  box->setReadOnly(control.readOnly);
  return box;
}

QWidget* MakeCombo(const Control& control, QWidget* parent) {
  auto* combo = new DropDownCombo(parent);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setCompleter(nullptr);
  combo->setEditText(ToQString(control.text));
  return combo;
}

QWidget* MakeScrollBar(const Control& control, QWidget* parent) {
  auto* bar = new QScrollBar(Qt::Vertical, parent);
  bar->setRange(control.scroll.minimum, control.scroll.maximum);
  bar->setValue(control.scroll.initial);
  bar->setSingleStep(control.scroll.step);
  bar->setPageStep(control.scroll.step);
  bar->setFocusPolicy(Qt::StrongFocus);
  return bar;
}

QWidget* Make(const Control& control, QWidget* parent) {
  switch (control.kind) {
    case ControlKind::CommandButton:
      return MakeButton(control, parent);
    case ControlKind::Label:
      return MakeLabel(control, parent);
    case ControlKind::Frame:
      return MakeFrame(control, parent);
    case ControlKind::TextBox:
      return MakeTextBox(control, parent);
    case ControlKind::MultiLineTextBox:
      return MakeMultiLineTextBox(control, parent);
    case ControlKind::DropDownCombo:
      return MakeCombo(control, parent);
    case ControlKind::VerticalScrollBar:
      break;
  }
  return MakeScrollBar(control, parent);
}

Qt::WindowFlags FlagsFor(const app::forms::Window& form) {
  // Windows not in the taskbar are dialogs, kept above the window that opened them.
  Qt::WindowFlags flags = (form.inTaskbar ? Qt::Window : Qt::Dialog) | Qt::MSWindowsFixedSizeDialogHint |
                          Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (form.icon) flags |= Qt::WindowSystemMenuHint;
  if (form.closeButton) flags |= Qt::WindowCloseButtonHint;
  if (form.minimizeButton) flags |= Qt::WindowMinimizeButtonHint;
  if (form.maximizeButton) flags |= Qt::WindowMaximizeButtonHint;
  return flags;
}

}  // namespace

int TwipsToPixels(int twips, int dotsPerInch) {
  if (dotsPerInch == 96) return twips / 15;
  return static_cast<int>(static_cast<long long>(twips) * dotsPerInch / 1440);
}

QRect PixelRect(const app::forms::TwipRect& place, int dotsPerInch) {
  return QRect(TwipsToPixels(place.left, dotsPerInch), TwipsToPixels(place.top, dotsPerInch),
               TwipsToPixels(place.width, dotsPerInch), TwipsToPixels(place.height, dotsPerInch));
}

QFont FormFont(const app::forms::Font& font) {
  QFont qfont;
  // Where the family is missing, fonts of the same metrics for Latin text and a Traditional
  // Chinese font, whose punctuation sits in the middle of its cell as readers in Taiwan expect.
  qfont.setFamilies({ToQString(font.family), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                     QStringLiteral("Noto Sans CJK TC"), QStringLiteral("Microsoft JhengHei"),
                     QStringLiteral("AR PL UMing TW")});
  qfont.setPointSizeF(font.points);
  qfont.setWeight(font.bold ? QFont::Bold : QFont::Normal);
  return qfont;
}

int ScreenDotsPerInch(const QWidget& window) {
  const QScreen* screen = window.screen();
  return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInch())) : 96;
}

FormControls BuildForm(QWidget& window, const app::forms::Window& form) {
  InstallAccessibility();
  const int dpi = ScreenDotsPerInch(window);
  window.setWindowFlags(FlagsFor(form));
  window.setObjectName(ToQString(form.name));
  window.setWindowTitle(ToQString(form.caption));
  if (form.icon) window.setWindowIcon(QIcon(QStringLiteral(":/ZIROZE01.ico")));
  const QSize size(TwipsToPixels(form.clientWidth, dpi), TwipsToPixels(form.clientHeight, dpi));
  if (form.screenPlace) {
    window.setGeometry(QRect(
        QPoint(TwipsToPixels(form.screenPlace->first, dpi), TwipsToPixels(form.screenPlace->second, dpi)),
        size));
  }
  window.setFixedSize(size);
  if (const QColor background = ColourOf(form.background); background.isValid())
    SetBackground(&window, background);

  FormControls controls;
  controls.Add(form.name, &window);
  for (const Control& control : form.controls) {
    QWidget* widget = Make(control, controls[control.container]);
    widget->setObjectName(ToQString(control.name));
    widget->setGeometry(PixelRect(control.place, dpi));
    widget->setFont(FormFont(control.font));
    if (const QColor background = ColourOf(control.background); background.isValid())
      SetBackground(widget, background);
    if (const QColor foreground = ColourOf(control.foreground); foreground.isValid()) {
      QPalette palette = widget->palette();
      palette.setColor(QPalette::WindowText, foreground);
      widget->setPalette(palette);
    }
    controls.Add(control.name, widget);
  }
  for (const Control& control : form.controls) {
    if (const std::u16string name = app::forms::SpokenName(form, control); !name.empty()) {
      controls[control.name]->setAccessibleName(ToQString(name));
      // A combo's field is an object of its own to a screen reader.
      if (auto* combo = qobject_cast<QComboBox*>(controls[control.name]); combo && combo->lineEdit())
        combo->lineEdit()->setAccessibleName(ToQString(name));
    }
    if (!control.label.empty())
      if (auto* label = qobject_cast<QLabel*>(controls[control.label]))
        label->setBuddy(controls[control.name]);
  }
  new FocusMark(&window);

  const std::vector<const Control*> tabOrder = app::forms::TabOrder(form);
  for (size_t i = 1; i < tabOrder.size(); ++i)
    QWidget::setTabOrder(controls[tabOrder[i - 1]->name], controls[tabOrder[i]->name]);
  return controls;
}

}  // namespace gui
