#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

namespace gui {

// The windows were designed in twips; 15 twips make one pixel at 96 dots per inch.
constexpr int Twips(int twips) { return twips / 15; }
inline QRect TwipRect(int left, int top, int width, int height) {
  return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

inline const QString kFontFamily = QStringLiteral("MS Sans Serif");
constexpr double kFontPoints = 13.5;

inline QFont StationFont() {
  QFont font(kFontFamily);
  font.setPointSizeF(kFontPoints);
  font.setWeight(QFont::Normal);
  return font;
}

// A control with its name, its place in its container and the station's font.
template <typename Widget>
Widget* Place(Widget* widget, const char* name, QRect place) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(place);
  widget->setFont(StationFont());
  return widget;
}

}  // namespace gui
