#include "app/qt/message_box.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include "app/qt/form_builder.h"

namespace gui {
namespace {

const QString kTitle = QStringLiteral("ZIROZE01");

std::function<void(const QString&)>& Hook() {
  static std::function<void(const QString&)> hook;
  return hook;
}

}  // namespace

std::unique_ptr<QMessageBox> MakeStationMessageBox(QWidget* parent, const QString& text) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok, parent);
  box->setTextFormat(Qt::PlainText);
  box->setFont(FormFont(app::forms::StationFont()));
  box->button(QMessageBox::Ok)->setIcon(QIcon());
  // A message box sizes itself to its text alone, so a short text cut the title. The title bar
  // also holds the window manager's buttons: room for three of them beside the title.
  const QFontMetrics metrics(box->font());
  const int titleWidth = metrics.horizontalAdvance(kTitle) + 3 * metrics.height() * 2;
  if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
    grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(),
                  0, 1, grid->columnCount());
  }
  return box;
}

void ShowStationMessage(QWidget* parent, const QString& text) {
  if (Hook()) return Hook()(text);
  MakeStationMessageBox(parent, text)->exec();
}

void SetMessageHook(std::function<void(const QString&)> hook) { Hook() = std::move(hook); }

}  // namespace gui
