#pragma once

#include <QLocale>

namespace gui {

// Qt's own texts (the buttons of message boxes, the context menus of the text boxes) in the desk's
// language, from Qt's translations. A desk whose language Qt has no translation for gets the
// Traditional Chinese one, the language of every other text of the station. False when neither is
// installed: Qt's texts then stay English.
bool InstallQtTranslation(const QLocale& desk);

}  // namespace gui
