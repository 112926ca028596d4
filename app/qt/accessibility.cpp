#include "app/qt/accessibility.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "app/qt/message_text_box.h"

namespace gui {
namespace {

// A text box as one run of text: Qt's own interfaces report attribute runs of no length, which a
// screen reader takes as the end of the value. Only a combo's field is editable; Qt calls every line
// edit so, even those the user cannot type into.
class TextBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  TextBoxAccessible(QWidget* box, bool editable)
      : QAccessibleWidget(box, QAccessible::EditableText), editable_(editable) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = editable_;
    state.readOnly = !editable_;
    state.multiLine = Plain() != nullptr;
    return state;
  }
  QString text(QAccessible::Text which) const override {
    if (which == QAccessible::Value) return Text();
    return QAccessibleWidget::text(which);
  }
  // The box is one object: its viewport and hidden scroll bars are nothing to read.
  int childCount() const override { return 0; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }

  // QAccessibleTextInterface
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0) return;
    if (const QPlainTextEdit* plain = Plain()) {
      *startOffset = plain->textCursor().selectionStart();
      *endOffset = plain->textCursor().selectionEnd();
    } else if (Line()->hasSelectedText()) {
      *startOffset = Line()->selectionStart();
      *endOffset = Line()->selectionEnd();
    }
  }
  int selectionCount() const override {
    if (const QPlainTextEdit* plain = Plain()) return plain->textCursor().hasSelection() ? 1 : 0;
    return Line()->hasSelectedText() ? 1 : 0;
  }
  void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
  void removeSelection(int) override { setSelection(0, cursorPosition(), cursorPosition()); }
  void setSelection(int, int startOffset, int endOffset) override {
    if (QPlainTextEdit* plain = Plain()) {
      QTextCursor cursor = plain->textCursor();
      cursor.setPosition(startOffset);
      cursor.setPosition(endOffset, QTextCursor::KeepAnchor);
      plain->setTextCursor(cursor);
    } else {
      Line()->setSelection(startOffset, endOffset - startOffset);
    }
  }
  int cursorPosition() const override {
    if (const QPlainTextEdit* plain = Plain()) return plain->textCursor().position();
    return Line()->cursorPosition();
  }
  void setCursorPosition(int position) override { setSelection(0, position, position); }
  QString text(int startOffset, int endOffset) const override {
    return Text().mid(startOffset, endOffset - startOffset);
  }
  int characterCount() const override { return static_cast<int>(Text().size()); }
  QRect characterRect(int offset) const override {
    if (const QPlainTextEdit* plain = Plain()) {
      QTextCursor cursor(plain->document());
      cursor.setPosition(std::clamp(offset, 0, characterCount()));
      const QRect at = plain->cursorRect(cursor);
      const int width = plain->fontMetrics().horizontalAdvance(Text().mid(offset, 1));
      return QRect(plain->viewport()->mapToGlobal(at.topLeft()), QSize(width, at.height()));
    }
    // A line edit draws its text from the left of its contents, 2 pixels in, from the first
    // character: the station sets every value that way.
    const QLineEdit* line = Line();
    const QFontMetrics metrics = line->fontMetrics();
    const QRect contents = line->contentsRect();
    const int left = contents.left() + 2 + metrics.horizontalAdvance(Text().left(offset));
    const int top = contents.top() + (contents.height() - metrics.height()) / 2;
    return QRect(line->mapToGlobal(QPoint(left, top)),
                 QSize(metrics.horizontalAdvance(Text().mid(offset, 1)), metrics.height()));
  }
  int offsetAtPoint(const QPoint& point) const override {
    if (const QPlainTextEdit* plain = Plain())
      return plain->cursorForPosition(plain->viewport()->mapFromGlobal(point)).position();
    return Line()->cursorPositionAt(Line()->mapFromGlobal(point));
  }
  void scrollToSubstring(int, int) override {}
  QString attributes(int, int* startOffset, int* endOffset) const override {
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
  }

 private:
  QPlainTextEdit* Plain() const { return qobject_cast<QPlainTextEdit*>(widget()); }
  QLineEdit* Line() const { return static_cast<QLineEdit*>(widget()); }
  QString Text() const { return Plain() ? Plain()->toPlainText() : Line()->text(); }

  const bool editable_;
};

class AnnouncementAccessible : public QAccessibleWidget {
 public:
  explicit AnnouncementAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Notification) {}
  QString text(QAccessible::Text which) const override {
    if (which == QAccessible::Name) return widget()->accessibleName();
    return QAccessibleWidget::text(which);
  }
};

QAccessibleInterface* StationAccessible(const QString& className, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget) return nullptr;
  if (className == QLatin1String("gui::VANTOQFrm01"))
    return new QAccessibleWidget(widget, QAccessible::Window);
  if (className == QLatin1String("gui::Dialog")) return new QAccessibleWidget(widget, QAccessible::Dialog);
  if (className == QLatin1String("gui::Announcement")) return new AnnouncementAccessible(widget);
  if (className == QLatin1String("gui::MessageTextBox")) return new TextBoxAccessible(widget, false);
  if (className == QLatin1String("QLineEdit") &&
      (widget->window()->inherits("gui::VANTOQFrm01") || widget->window()->inherits("gui::Dialog")))
    return new TextBoxAccessible(widget, qobject_cast<QComboBox*>(widget->parentWidget()) != nullptr);
  return nullptr;
}

}  // namespace

void InstallAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(StationAccessible);
    return true;
  }();
  (void)installed;
}

Announcement::Announcement(QWidget& window) : QWidget(&window) {
  setObjectName(QStringLiteral("Announcement"));
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setGeometry(0, 0, 0, 0);
}

void Announcement::Say(QWidget& window, const QString& text) {
  // Made at the first text, so that it is never in the window without one.
  auto* announcement = window.findChild<Announcement*>(QString(), Qt::FindDirectChildrenOnly);
  if (!announcement) announcement = new Announcement(window);
  // Shown again for each text, as a screen reader speaks a notification when it appears.
  announcement->hide();
  announcement->setAccessibleName(text);
  announcement->show();
}

}  // namespace gui
