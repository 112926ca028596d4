#pragma once

#include <QPlainTextEdit>

namespace gui {

// The multi-line, read-only result box: CR LF starts a new line, long lines wrap at the box's width,
// no scroll bars. `text` is the text exactly as the station set it, line breaks included.
class MessageTextBox : public QPlainTextEdit {
  Q_OBJECT
  Q_PROPERTY(QString text READ text WRITE setText)
 public:
  explicit MessageTextBox(QWidget* parent);

  QString text() const { return text_; }
  void setText(const QString& text);

 private:
  QString text_;
};

}  // namespace gui
