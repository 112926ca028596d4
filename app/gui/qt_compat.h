#pragma once

// The one place where the front end meets the differences between Qt 5.15 and Qt 6, and where the
// workflows' UTF-16 text becomes QString and back.

#include <QString>
#include <QtGlobal>

#include <string>

namespace gui {

inline QString ToQString(const std::u16string& text) { return QString::fromStdU16String(text); }
inline std::u16string FromQString(const QString& text) { return text.toStdU16String(); }

}  // namespace gui
