#include "app/qt/focus_mark.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QPainter>

namespace gui {
namespace {

constexpr int kWidth = 2;
const QColor kColour(0, 0, 160);

}  // namespace

FocusMark::FocusMark(QWidget* window) : QFocusFrame(window), window_(window) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  hide();
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { Follow(now); });
}

void FocusMark::Follow(QWidget* focused) {
  // An editable combo's field is part of the combo.
  if (focused && qobject_cast<QComboBox*>(focused->parentWidget())) focused = focused->parentWidget();
  if (marked_) marked_->removeEventFilter(this);
  marked_ = nullptr;
  if (!focused || focused->window() != window_ || focused == window_ || !focused->parentWidget()) {
    hide();
    return;
  }
  marked_ = focused;
  marked_->installEventFilter(this);
  const QRect place(focused->mapTo(window_, QPoint(0, 0)), focused->size());
  setGeometry(place.adjusted(-kWidth - 1, -kWidth - 1, kWidth + 1, kWidth + 1));
  raise();
  show();
}

bool FocusMark::eventFilter(QObject* watched, QEvent* event) {
  if (watched == marked_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
    Follow(marked_);
  return QFocusFrame::eventFilter(watched, event);
}

void FocusMark::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QPen pen(kColour, kWidth);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  painter.drawRect(QRectF(rect()).adjusted(kWidth / 2.0, kWidth / 2.0, -kWidth / 2.0, -kWidth / 2.0));
}

}  // namespace gui
