#pragma once

#include <QComboBox>

namespace gui {

// An editable drop-down list that screen readers announce by its own name. Qt names an editable
// combo by its current text on Linux, so "請選擇" would be read instead of what the list is for;
// here the name is the accessible name and the text is the value.
class DropDownCombo : public QComboBox {
  Q_OBJECT
 public:
  explicit DropDownCombo(QWidget* parent);
};

}  // namespace gui
