#include "app/qt/message_box.h"

#include <QMessageBox>

namespace gui {
namespace {

std::function<void(const QString&)>& Hook() {
  static std::function<void(const QString&)> hook;
  return hook;
}

}  // namespace

void ShowStationMessage(QWidget* parent, const QString& text) {
  if (Hook()) return Hook()(text);
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("ZIROZE01"), text, QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void SetMessageHook(std::function<void(const QString&)> hook) { Hook() = std::move(hook); }

}  // namespace gui
