#include "app/qt/drop_down_combo.h"

#include <QAccessibleWidget>

namespace gui {
namespace {

class AccessibleCombo : public QAccessibleWidget {
 public:
  explicit AccessibleCombo(QWidget* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return static_cast<QComboBox*>(widget())->currentText();
    return QAccessibleWidget::text(kind);
  }
};

QAccessibleInterface* MakeAccessible(const QString& className, QObject* object) {
  if (className == QLatin1String("gui::DropDownCombo") && object->isWidgetType())
    return new AccessibleCombo(static_cast<QWidget*>(object));
  return nullptr;
}

}  // namespace

DropDownCombo::DropDownCombo(QWidget* parent) : QComboBox(parent) {
  static const bool installed = (QAccessible::installFactory(MakeAccessible), true);
  (void)installed;
}

}  // namespace gui
