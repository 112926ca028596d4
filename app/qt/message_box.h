#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace gui {

// The station's one kind of message box: modal, the text alone, one OK button, no icon, titled
// with the program's title. Returns when the user has closed it.
void ShowStationMessage(QWidget* parent, const QString& text);

// Tests answer the boxes themselves: while a hook is set, it receives each text instead of a box.
void SetMessageHook(std::function<void(const QString&)> hook);

}  // namespace gui
