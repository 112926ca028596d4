#pragma once

#include <QString>

#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

namespace gui {

// The station's one kind of message box: modal, the text alone in the station's font, one OK
// button without an icon, no message icon, titled with the program's title and wide enough to
// show that title whole.
std::unique_ptr<QMessageBox> MakeStationMessageBox(QWidget* parent, const QString& text);

// Shows the box and returns when the user has closed it.
void ShowStationMessage(QWidget* parent, const QString& text);

// Tests answer the boxes themselves: while a hook is set, it receives each text instead of a box.
void SetMessageHook(std::function<void(const QString&)> hook);

}  // namespace gui
