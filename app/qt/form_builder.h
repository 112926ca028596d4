#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <map>
#include <string>
#include <string_view>

#include "app/forms.h"

namespace gui {

// Twips become pixels here and nowhere else: 15 twips a pixel at 96 dots per inch, 1440 twips an
// inch at any other.
int TwipsToPixels(int twips, int dotsPerInch = 96);
QRect PixelRect(const app::forms::TwipRect& place, int dotsPerInch = 96);

QFont FormFont(const app::forms::Font& font);

// The dots per inch of the screen the window will show on, as its fonts are sized for it.
int ScreenDotsPerInch(const QWidget& window);

inline QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::u16string FromQString(const QString& text) { return text.toStdU16String(); }
inline QString ToQString(std::string_view latin1) {
  return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

// The controls of a window built from its description, by name.
class FormControls {
 public:
  void Add(std::string_view name, QWidget* widget) { widgets_[std::string(name)] = widget; }
  QWidget* operator[](std::string_view name) const { return widgets_.at(std::string(name)); }
  template <typename Widget>
  Widget* Get(std::string_view name) const {
    return static_cast<Widget*>((*this)[name]);
  }

 private:
  std::map<std::string, QWidget*, std::less<>> widgets_;
};

// Gives `window` the description's name, caption, border, size, place and background, and builds
// its controls in their containers with their fonts, colours and tab order.
FormControls BuildForm(QWidget& window, const app::forms::Window& form);

}  // namespace gui
